#include "app/DialogLayout.h"

#include "app/res/resource.h"
#include "platform/system/Resources.h"

void LayOutWorld(CGameEvent& world, const std::function<gfx::Rect(int id)>& controlRect) {
    const gfx::Rect field = controlRect(IDC_STATIC_AREA);
    world.SetFieldRect(field.left, field.top, field.right, field.bottom);
    const gfx::Rect start = controlRect(IDC_BUTTON_START);
    world.SetStartRect(start.left, start.top, start.right, start.bottom);
    const gfx::Rect stop = controlRect(IDC_BUTTON_STOP);
    world.SetStopRect(stop.left, stop.top, stop.right, stop.bottom);
    const gfx::Rect exit = controlRect(IDOK);
    world.SetExitRect(exit.left, exit.top, exit.right, exit.bottom);
    const gfx::Rect title = controlRect(IDC_STATIC_TITLE);
    world.SetTitleRect(title.left, title.top, title.right, title.bottom);
}

void LayOutWorldFromTemplate(CGameEvent& world) {
    const sys::DialogTemplate* dialog = sys::FindDialog(IDD_TOLVANE_DIALOG);
    LayOutWorld(world, [dialog](int id) {
        if (dialog != nullptr) {
            for (const sys::ControlTemplate& c : dialog->controls) {
                if (c.id == id) {
                    return sys::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy);
                }
            }
        }
        return gfx::Rect{};
    });
}
