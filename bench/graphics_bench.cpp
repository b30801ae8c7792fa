// The software device context against the plain copy of one frame.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/Baseline.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/ScopedSelect.h"

namespace {

using bench::kFrameHeight;
using bench::kFrameWidth;

void FrameCopy_memcpy(benchmark::State& state) {
    std::vector<gfx::Colour> from(static_cast<std::size_t>(kFrameWidth) * kFrameHeight, 0xDEBD89);
    std::vector<gfx::Colour> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(gfx::Colour));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(from.size() * 4));
}
BENCHMARK(FrameCopy_memcpy);

// A surface and its context, with a pen and brush of the sky colour selected.
struct Surface {
    gfx::Bitmap bitmap{kFrameWidth, kFrameHeight};
    gfx::DeviceContext dc;
    gfx::Pen pen{1, 0xDEBD89};
    gfx::Brush brush{0xDEBD89};
    Surface() {
        dc.SelectObject(&bitmap);
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
    }
};

// What every paint of the game does first: fill the whole off-screen surface, then copy it
// to the window's surface.
void FillAndCopyFrame(benchmark::State& state) {
    Surface back, window;
    for (auto _ : state) {
        back.dc.Rectangle(0, 0, kFrameWidth, kFrameHeight);
        window.dc.BitBlt(0, 0, kFrameWidth, kFrameHeight, &back.dc, 0, 0, gfx::SRCCOPY);
        benchmark::DoNotOptimize(window.bitmap.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FillAndCopyFrame);

void FillFrame_Rectangle(benchmark::State& state) {
    Surface back;
    for (auto _ : state) {
        back.dc.Rectangle(0, 0, kFrameWidth, kFrameHeight);
        benchmark::DoNotOptimize(back.bitmap.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FillFrame_Rectangle);

void CopyFrame_BitBlt(benchmark::State& state) {
    Surface back, window;
    for (auto _ : state) {
        window.dc.BitBlt(0, 0, kFrameWidth, kFrameHeight, &back.dc, 0, 0, gfx::SRCCOPY);
        benchmark::DoNotOptimize(window.bitmap.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CopyFrame_BitBlt);

// The largest text of the game, centred in the field, with a font made per call as the
// game makes it.
void DrawText_GameOver400(benchmark::State& state) {
    Surface back;
    back.dc.SetBkMode(gfx::TRANSPARENT);
    for (auto _ : state) {
        gfx::Font font(400, "ＭＳ ゴシック");
        const gfx::ScopedSelect<gfx::Font> withFont(back.dc, &font);
        back.dc.DrawText("Game Over!!", {0, 0, kFrameWidth, kFrameHeight},
                         gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
        benchmark::DoNotOptimize(back.bitmap.Data());
    }
}
BENCHMARK(DrawText_GameOver400);

}  // namespace
