#include <cstdio>
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
#ifdef _WIN32
        std::fprintf(stderr,
                     "tolvane: the game's faces, ipag.ttf and ipagp.ttf, are not beside "
                     "tolvane.exe, and its text needs them\n");
#else
        std::fprintf(stderr,
                     "tolvane: no font is installed, and the game's text needs one (install the "
                     "fonts-ipafont-gothic package)\n");
#endif
        return 1;
    }
    bool lost = false;
    {
        const ui::VideoSession video;
        if (!video.Ok()) {
            std::fprintf(stderr,
                         "tolvane: cannot open a window: %s; a display is needed (set DISPLAY, "
                         "or run under xvfb-run)\n",
                         video.Error().c_str());
            return 1;
        }
        theApp.InitInstance();
        lost = ui::DisplayLost();
    }  // the display is closed here, before the game says why it ended
    if (lost) {
        std::fprintf(stderr, "tolvane: the connection to the display was lost; the game ended\n");
        return 1;
    }
    return theApp.ExitCode();
}
