// Whole paints of the game's window, as the dialog's paint handler makes them.

#include <benchmark/benchmark.h>

#include "app/BirdEvent.h"
#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "bench/Baseline.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/system/Resources.h"

namespace {

// The world with the main dialog's layout, and the window surface it paints into.
struct Scene {
    CBirdEvent world;
    gfx::Bitmap windowBitmap{bench::kFrameWidth, bench::kFrameHeight};
    gfx::DeviceContext window;

    Scene() {
        InstallTolvaneResources();
        const sys::DialogTemplate* dialog = sys::FindDialog(IDD_TOLVANE_DIALOG);
        for (const sys::ControlTemplate& c : dialog->controls) {
            const gfx::Rect r = sys::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy);
            switch (c.id) {
                case IDC_STATIC_AREA:
                    world.SetFieldRect(r.left, r.top, r.right, r.bottom);
                    break;
                case IDC_STATIC_TITLE:
                    world.SetTitleRect(r.left, r.top, r.right, r.bottom);
                    break;
                case IDC_BUTTON_START:
                    world.SetStartRect(r.left, r.top, r.right, r.bottom);
                    break;
                case IDC_BUTTON_STOP:
                    world.SetStopRect(r.left, r.top, r.right, r.bottom);
                    break;
                case IDOK:
                    world.SetExitRect(r.left, r.top, r.right, r.bottom);
                    break;
            }
        }
        world.SetTitleText("Kovalo");
        window.SelectObject(&windowBitmap);
    }
};

void PaintTitleScreen(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.world.Paint(&scene.window, "");
        benchmark::DoNotOptimize(scene.windowBitmap.Data());
    }
}
BENCHMARK(PaintTitleScreen);

// The busiest picture of a game: stage 5's thirty blocks, the chick and a status text.
void PaintGameScene_30Blocks(benchmark::State& state) {
    Scene scene;
    scene.world.SetPlaying();
    scene.world.SetStageText("Stage5 / 5");
    scene.world.PlaceBird();
    scene.world.CreateObstacles(30);
    for (auto _ : state) {
        scene.world.Paint(&scene.window, "Go!!");
        benchmark::DoNotOptimize(scene.windowBitmap.Data());
    }
}
BENCHMARK(PaintGameScene_30Blocks);

}  // namespace
