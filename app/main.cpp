#include <cstdio>
#include <string>

#include "app/Tolvane.h"
#include "app/res/TolvaneResources.h"
#include "platform/window/Video.h"

int main() {
    InstallTolvaneResources();
    std::string error;
    if (!ui::InitVideo(&error)) {
        std::fprintf(stderr,
                     "tolvane: cannot open a window: %s; a display is needed (set DISPLAY, or "
                     "run under xvfb-run)\n",
                     error.c_str());
        return 1;
    }
    theApp.InitInstance();
    ui::ShutdownVideo();
    return theApp.ExitCode();
}
