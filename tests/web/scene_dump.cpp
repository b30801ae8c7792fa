// Draws the title screen, a stage announcement and a game scene of the world into a memory
// surface laid out as the main dialog is, prints every pixel row in hexadecimal (so two
// builds compare with diff) and the rectangles a test clicks, then times the game-scene paint.
//
//   scene_dump [paints] [--no-dump]    rows on stdout, "paint <ms>" on stderr

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/BirdEvent.h"
#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/system/Resources.h"
#include "tests/web/PictureDump.h"

namespace {

constexpr gfx::Colour kFace = 0xF0F0F0;  // what the window erases to

gfx::Rect ControlRect(const sys::DialogTemplate& dialog, int id) {
    for (const sys::ControlTemplate& c : dialog.controls) {
        if (c.id == id) {
            return sys::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy);
        }
    }
    std::fprintf(stderr, "scene_dump: no control %d\n", id);
    std::exit(1);
}

bool g_dump = true;

void PrintRect(const char* name, const gfx::Rect& r) {
    if (g_dump) {
        dump::PrintRect(name, r);
    }
}

void Dump(const char* name, const gfx::Bitmap& surface) {
    if (g_dump) {
        dump::PrintPicture(name, surface);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int paints = argc > 1 ? std::atoi(argv[1]) : 200;
    g_dump = !(argc > 2 && std::string(argv[2]) == "--no-dump");
    InstallTolvaneResources();
    const sys::DialogTemplate* dialog = sys::FindDialog(IDD_TOLVANE_DIALOG);
    if (!dialog) {
        std::fprintf(stderr, "scene_dump: no main dialog\n");
        return 1;
    }
    const gfx::Rect client = sys::DialogUnitsToPixels(0, 0, dialog->cx, dialog->cy);
    gfx::Bitmap surface(client.right, client.bottom, kFace);
    gfx::DeviceContext dc;
    dc.SelectObject(&surface);

    CBirdEvent world;
    const auto set = [&](auto setter, int id) {
        const gfx::Rect rc = ControlRect(*dialog, id);
        (world.*setter)(rc.left, rc.top, rc.right, rc.bottom);
    };
    set(&CBirdEvent::SetFieldRect, IDC_STATIC_AREA);
    set(&CBirdEvent::SetStartRect, IDC_BUTTON_START);
    set(&CBirdEvent::SetStopRect, IDC_BUTTON_STOP);
    set(&CBirdEvent::SetExitRect, IDOK);
    set(&CBirdEvent::SetTitleRect, IDC_STATIC_TITLE);
    world.SetTitleText("Kovalo");
    const std::pair<const char*, int> controls[] = {{"field", IDC_STATIC_AREA},
                                                    {"start", IDC_BUTTON_START},
                                                    {"stop", IDC_BUTTON_STOP},
                                                    {"exit", IDOK}};
    for (const auto& [name, id] : controls) {
        PrintRect(name, ControlRect(*dialog, id));
    }
    if (const sys::DialogTemplate* about = sys::FindDialog(IDD_ABOUTBOX)) {
        PrintRect("about", sys::DialogUnitsToPixels(0, 0, about->cx, about->cy));
        PrintRect("about-ok", ControlRect(*about, IDOK));
    }

    world.Paint(&dc, "");
    Dump("title", surface);

    // The scenes have the chick, the band and the labels only; whole games, obstacles and
    // all, are the recorded replays' (tests/replay).
    world.SetPlaying();
    world.SetStageText("Stage1 / 5");
    world.PlaceBird();
    world.Paint(&dc, "Stage1");
    Dump("announce", surface);
    world.SetStageText("Stage1");
    world.Paint(&dc, "Go!!");
    Dump("scene", surface);

    // A page's code runs first in the browser's quick translation, and in its optimised one
    // only once that is made, on a thread of its own: the first batch of paints includes that
    // while, the second times the paint as it runs for the rest of a game. Both are printed.
    const auto timeBatch = [&] {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < paints; ++i) {
            world.Paint(&dc, "Go!!");
        }
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        return elapsed.count() / paints;
    };
    const double first = timeBatch();
    const double steady = timeBatch();
    std::fprintf(stderr, "paint %.4f ms (%d paints, after %d that took %.4f ms each)\n", steady,
                 paints, paints, first);
    return 0;
}
