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

sys::ControlTemplate Control(Shown shown, int id, sys::ControlKind kind, const char* text, int x,
                             int y, int cx, int cy) {
    const bool on = shown == Shown::Yes;
    return {id, kind, text, x, y, cx, cy, /*visible=*/on, /*enabled=*/on};
}

sys::ControlTemplate Icon(int iconId, int x, int y, int cx, int cy) {
    sys::ControlTemplate icon =
        Control(Shown::Yes, kNoId, sys::ControlKind::Icon, "", x, y, cx, cy);
    icon.icon = iconId;
    return icon;
}

// Both dialogs use the same font.
sys::DialogTemplate Dialog(int id, int cx, int cy, const char* caption,
                           std::vector<sys::ControlTemplate> controls) {
    return {id, cx, cy, caption, kDialogFont, kDialogPoints, std::move(controls)};
}

std::vector<sys::DialogTemplate> MakeDialogs() {
    return {
        Dialog(
            IDD_TOLVANE_DIALOG, 311, 239, "Tolvane",
            {
                Control(Shown::No, IDC_STATIC_TITLE, sys::ControlKind::Static, "Title", 47, 35, 210,
                        40),
                Control(Shown::No, IDC_BUTTON_START, sys::ControlKind::Button, "Start", 108, 99, 87,
                        28),
                Control(Shown::No, IDOK, sys::ControlKind::DefaultButton, "Exit", 109, 145, 87, 28),
                Control(Shown::No, IDC_BUTTON_STOP, sys::ControlKind::Button, "Stop", 240, 218, 71,
                        21),
                Control(Shown::No, IDC_STATIC_AREA, sys::ControlKind::Static, "描画エリア", 0, 0,
                        312, 217),
            }),
        Dialog(IDD_ABOUTBOX, 235, 55, "Tolvaneのﾊﾞｰｼﾞｮﾝ情報",
               {
                   Icon(IDR_MAINFRAME, 11, 17, 20, 20),
                   Control(Shown::Yes, kNoId, sys::ControlKind::Static, "Tolvane Version 1.0", 40,
                           10, 119, 8),
                   Control(Shown::Yes, kNoId, sys::ControlKind::Static, "Copyright (C) 2026", 40,
                           25, 119, 8),
                   Control(Shown::Yes, IDOK, sys::ControlKind::DefaultButton, "OK", 178, 7, 50, 14),
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
