#pragma once

// The game's world with the main dialog's layout, and the window surface it paints into, as
// the dialog's paint handler has them: shared by the benchmarks and the paint profile.

#include "app/BirdEvent.h"
#include "app/DialogLayout.h"
#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "bench/Baseline.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/system/Resources.h"

namespace bench {

struct Scene {
    CBirdEvent world;
    gfx::Bitmap windowBitmap{kFrameWidth, kFrameHeight};
    gfx::DeviceContext window;

    Scene() {
        InstallTolvaneResources();
        LayOutWorldFromTemplate(world);
        world.SetTitleText("Kovalo");
        window.SelectObject(&windowBitmap);
    }

    // The busiest picture of a game: stage 5's thirty blocks, the chick and a status text.
    void StartStageFive() {
        world.SetPlaying();
        world.SetStageText("Stage5 / 5");
        world.PlaceBird();
        world.CreateObstacles(30);
    }
    void PaintTitle() { world.Paint(&window, ""); }
    void PaintGame() { world.Paint(&window, "Go!!"); }
};

}  // namespace bench
