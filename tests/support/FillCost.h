#pragma once

// The unit of the drawing layer's cost guards: what filling a whole surface costs, measured in
// the same process just before what it is compared with. A machine slowed by other work slows
// the fill and the call alike, so "costs at most N fills" holds under any load, where a fixed
// number of milliseconds does not.

#include <time.h>

#include <algorithm>
#include <functional>
#include <limits>

#include "platform/graphics/DeviceContext.h"

namespace testsupport {

// CPU time of the calling thread, in ms: time spent waiting for a core does not count.
inline double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The surface the unit fills: the game's client area.
inline constexpr int kFillWidth = 467;
inline constexpr int kFillHeight = 359;

// CPU ms of one fill of the whole surface with a brush, the least of a few batches: a batch
// that a switch of threads interrupted does not count.
inline double SurfaceFillMs() {
    constexpr int kBatches = 5;
    constexpr int kFillsPerBatch = 8;
    gfx::Bitmap bitmap(kFillWidth, kFillHeight, 0x102030);
    gfx::Brush brush(0x00FF00);
    gfx::DeviceContext dc;
    dc.SelectObject(&bitmap);
    dc.SelectObject(&brush);
    dc.SetROP2(gfx::R2_XORPEN);  // every fill changes every pixel: no work is ever done already
    double best = std::numeric_limits<double>::max();
    for (int b = 0; b < kBatches; ++b) {
        const double start = ThreadCpuMs();
        for (int i = 0; i < kFillsPerBatch; ++i) {
            dc.Rectangle(-1, -1, kFillWidth + 1, kFillHeight + 1);
        }
        best = std::min(best, (ThreadCpuMs() - start) / kFillsPerBatch);
    }
    return best;
}

// What `call` costs in fills of the surface, each try against a fill measured just before it:
// the least of `tries`, as a try that other work interrupted says nothing of the call.
inline double CostInFills(const std::function<void()>& call, int tries = 3) {
    double best = std::numeric_limits<double>::max();
    for (int t = 0; t < tries; ++t) {
        const double fill = SurfaceFillMs();
        const double start = ThreadCpuMs();
        call();
        best = std::min(best, (ThreadCpuMs() - start) / fill);
    }
    return best;
}

}  // namespace testsupport
