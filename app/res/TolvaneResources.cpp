#include "app/res/TolvaneResources.h"

#include <vector>

#include "app/res/EmbeddedBitmaps.h"
#include "app/res/resource.h"

namespace {

constexpr const char* kDialogFont = "ＭＳ Ｐゴシック";

// Controls of the main window are layout only: hidden, disabled rectangles.
sys::ControlTemplate Layout(int id, const char* kind, const char* text, int x, int y, int cx,
                            int cy) {
    return {id, kind, text, x, y, cx, cy, /*visible=*/false, /*enabled=*/false};
}

sys::ControlTemplate Shown(int id, const char* kind, const char* text, int x, int y, int cx,
                           int cy) {
    return {id, kind, text, x, y, cx, cy, /*visible=*/true, /*enabled=*/true};
}

constexpr int kNoId = -1;  // static texts of the About box that nothing looks up

std::vector<sys::DialogTemplate> MakeDialogs() {
    sys::DialogTemplate main;
    main.id = IDD_TOLVANE_DIALOG;
    main.cx = 311;
    main.cy = 239;
    main.caption = "Tolvane";
    main.fontFace = kDialogFont;
    main.fontPoints = 9;
    main.controls = {
        Layout(IDC_STATIC_TITLE, "static", "Title", 47, 35, 210, 40),
        Layout(IDC_BUTTON_START, "button", "Start", 108, 99, 87, 28),
        Layout(IDOK, "defbutton", "Exit", 109, 145, 87, 28),
        Layout(IDC_BUTTON_STOP, "button", "Stop", 240, 218, 71, 21),
        Layout(IDC_STATIC_AREA, "static", "描画エリア", 0, 0, 312, 217),
    };

    sys::DialogTemplate about;
    about.id = IDD_ABOUTBOX;
    about.cx = 235;
    about.cy = 55;
    about.caption = "Tolvaneのﾊﾞｰｼﾞｮﾝ情報";
    about.fontFace = kDialogFont;
    about.fontPoints = 9;
    // An icon control's text is the id of the icon it shows.
    about.controls = {
        Shown(kNoId, "icon", "128", 11, 17, 20, 20),
        Shown(kNoId, "static", "Tolvane Version 1.0", 40, 10, 119, 8),
        Shown(kNoId, "static", "Copyright (C) 2026 The Tolvane developers", 40, 25, 119, 8),
        Shown(IDOK, "defbutton", "OK", 178, 7, 50, 14),
    };
    return {main, about};
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
