#include <string>

#include "GClass/SerrikDC.h"
#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "app/window/Tolvane.h"
#include "platform/graphics/GdiObjects.h"
#include "platform/system/Resources.h"
#include "platform/window/Video.h"

namespace {

// Every face name falls back to any installed face, so only a system without a single font
// leaves a name unresolved; the game would then run without any text at all.
bool FacesAvailable() {
    const sys::DialogTemplate* main = sys::FindDialog(IDD_TOLVANE_DIALOG);
    for (const std::string& name :
         {std::string(CSerrikDC::kTextFace), main != nullptr ? main->fontFace : std::string()}) {
        if (gfx::Font(90, name).FamilyName().empty()) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main() {
    InstallTolvaneResources();
    if (!FacesAvailable()) {
        ui::ReportFailure(
#ifdef _WIN32
            "the game's faces inside tolvane.exe cannot be read, and its text needs them",
#else
            "no font is installed, and the game's text needs one (install the "
            "fonts-ipafont-gothic package)",
#endif
            "Tolvane cannot start because the fonts inside tolvane.exe are damaged; please "
            "download the game again.");
        return 1;
    }
    bool lost = false;
    {
        const ui::VideoSession video;
        if (!video.Ok()) {
#ifdef _WIN32
            CTolvaneApp::ReportNoWindow(video.Error());
#else
            ui::ReportFailure("cannot open a window: " + video.Error() +
                                  "; a display is needed (set DISPLAY, or run under xvfb-run)",
                              "");
#endif
            return 1;
        }
        theApp.InitInstance();
        lost = ui::DisplayLost();
    }  // the display is closed here, before the game says why it ended
    if (lost) {
        ui::ReportFailure("the connection to the display was lost; the game ended",
                          "Tolvane lost its window's connection to the screen and had to close.");
        return 1;
    }
    return theApp.ExitCode();
}
