// A fixed number of whole paints of one of the game's scenes, for callgrind's instruction
// counts (scripts/bench --callgrind): one paint first so that fonts and caches are ready,
// then the counted ones inside ProfiledPaints, which callgrind alone collects.
//
//   paint_profile title|game [paints]

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/Scene.h"

namespace {

__attribute__((noinline)) void ProfiledPaints(bench::Scene& scene, bool game, int paints) {
    for (int i = 0; i < paints; ++i) {
        if (game) {
            scene.PaintGame();
        } else {
            scene.PaintTitle();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "title") != 0 && std::strcmp(argv[1], "game") != 0)) {
        std::fprintf(stderr, "usage: paint_profile title|game [paints]\n");
        return 2;
    }
    const bool game = std::strcmp(argv[1], "game") == 0;
    const int paints = argc > 2 ? std::atoi(argv[2]) : 100;
    bench::Scene scene;
    if (game) {
        scene.StartStageFive();
    }
    if (game) {
        scene.PaintGame();
    } else {
        scene.PaintTitle();
    }
    ProfiledPaints(scene, game, paints);
    std::printf("%d paints profiled\n", paints);
    return 0;
}
