// Whole paints of the game's window, as the dialog's paint handler makes them.

#include <benchmark/benchmark.h>

#include "bench/Scene.h"

namespace {

void PaintTitleScreen(benchmark::State& state) {
    bench::Scene scene;
    for (auto _ : state) {
        scene.PaintTitle();
        benchmark::DoNotOptimize(scene.windowBitmap.Data());
    }
}
BENCHMARK(PaintTitleScreen);

void PaintGameScene_30Blocks(benchmark::State& state) {
    bench::Scene scene;
    scene.StartStageFive();
    for (auto _ : state) {
        scene.PaintGame();
        benchmark::DoNotOptimize(scene.windowBitmap.Data());
    }
}
BENCHMARK(PaintGameScene_30Blocks);

}  // namespace
