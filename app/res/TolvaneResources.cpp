#include "app/res/TolvaneResources.h"

#include <utility>
#include <vector>

#include "app/res/EmbeddedBitmaps.h"
#include "app/res/resource.h"

namespace {

constexpr const char* kDialogFont = "ＭＳ Ｐゴシック";
constexpr int kDialogPoints = 9;
constexpr int kNoId = -1;  // static texts of the About box that nothing looks up

// Controls of the main window are layout only: hidden, disabled rectangles. The About box's
// are shown and enabled.
enum class Shown : bool { No = false, Yes = true };

sys::ControlTemplate Control(Shown shown, int id, const char* kind, const char* text, int x, int y,
                             int cx, int cy) {
    const bool on = shown == Shown::Yes;
    return {id, kind, text, x, y, cx, cy, /*visible=*/on, /*enabled=*/on};
}

// Both dialogs use the same font.
sys::DialogTemplate Dialog(int id, int cx, int cy, const char* caption,
                           std::vector<sys::ControlTemplate> controls) {
    return {id, cx, cy, caption, kDialogFont, kDialogPoints, std::move(controls)};
}

std::vector<sys::DialogTemplate> MakeDialogs() {
    return {
        Dialog(IDD_TOLVANE_DIALOG, 311, 239, "Tolvane",
               {
                   Control(Shown::No, IDC_STATIC_TITLE, "static", "Title", 47, 35, 210, 40),
                   Control(Shown::No, IDC_BUTTON_START, "button", "Start", 108, 99, 87, 28),
                   Control(Shown::No, IDOK, "defbutton", "Exit", 109, 145, 87, 28),
                   Control(Shown::No, IDC_BUTTON_STOP, "button", "Stop", 240, 218, 71, 21),
                   Control(Shown::No, IDC_STATIC_AREA, "static", "描画エリア", 0, 0, 312, 217),
               }),
        // An icon control's text is the id of the icon it shows.
        Dialog(IDD_ABOUTBOX, 235, 55, "Tolvaneのﾊﾞｰｼﾞｮﾝ情報",
               {
                   Control(Shown::Yes, kNoId, "icon", "128", 11, 17, 20, 20),
                   Control(Shown::Yes, kNoId, "static", "Tolvane Version 1.0", 40, 10, 119, 8),
                   Control(Shown::Yes, kNoId, "static", "Copyright (C) 2026", 40, 25, 119, 8),
                   Control(Shown::Yes, IDOK, "defbutton", "OK", 178, 7, 50, 14),
               }),
    };
}

const sys::StringResource kStrings[] = {
    {IDS_ABOUTBOX, "Tolvane のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
};

}  // namespace

const sys::ResourceTable& TolvaneResources() {
    static const std::vector<sys::DialogTemplate> dialogs = MakeDialogs();
    static const sys::ResourceTable table{EmbeddedBitmaps(), kStrings, dialogs};
    return table;
}

void InstallTolvaneResources() {
    sys::InstallResources(&TolvaneResources());
}
