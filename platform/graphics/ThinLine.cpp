// Bresenham's line algorithm, in its exact integer form: one pixel per step along the major
// axis, the minor coordinate the nearest to the true line. It reproduces the desktop
// interface's 1-px line, which leaves out its end point and, on an exact tie, takes the
// smaller minor coordinate whichever way the line runs, so a line and its reverse paint the
// same pixels.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/graphics/Rasterisers.h"

namespace gfx {

// Only the steps whose major and minor coordinates both fall inside the clip are walked
// (the minor one never falls back along the line, so they are one run, found by division).
ThinLine::ThinLine(Point a, Point b, const Rect& clip) {
    const std::int64_t dx = std::int64_t{b.x} - a.x;
    const std::int64_t dy = std::int64_t{b.y} - a.y;
    const std::int64_t n = std::max(std::abs(dx), std::abs(dy));
    if (n == 0 || clip.IsEmpty()) {
        return;
    }
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? std::abs(dy) : std::abs(dx);
    const std::int64_t origin = xMajor ? a.x : a.y;
    const int step = xMajor ? sx : sy;
    const std::int64_t lo = xMajor ? clip.left : clip.top;
    const std::int64_t hi = (xMajor ? clip.right : clip.bottom) - 1;
    std::int64_t first = step > 0 ? lo - origin : origin - hi;
    std::int64_t last = step > 0 ? hi - origin : origin - lo;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, n - 1);
    // The nearest minor coordinate at step i is floor((2 i minorDelta + c) / 2n); the tie
    // rule is in c.
    const int minorSign = xMajor ? sy : sx;
    const std::int64_t c = minorSign > 0 ? n - 1 : n;
    const std::int64_t den = 2 * n;
    const std::int64_t minorOrigin = xMajor ? a.y : a.x;
    const std::int64_t minorLo = xMajor ? clip.top : clip.left;
    const std::int64_t minorHi = (xMajor ? clip.bottom : clip.right) - 1;
    const std::int64_t least = minorSign > 0 ? minorLo - minorOrigin : minorOrigin - minorHi;
    const std::int64_t most = minorSign > 0 ? minorHi - minorOrigin : minorOrigin - minorLo;
    if (minorDelta == 0) {
        if (least > 0 || most < 0) {
            return;
        }
    } else {
        // minor(i) >= least from i = ceil((least den - c) / 2 minorDelta) on, and
        // minor(i) <= most up to ceil(((most + 1) den - c) / 2 minorDelta) - 1.
        const auto ceilDiv = [](Int128 p, Int128 q) {
            return p >= 0 ? (p + q - 1) / q : -(-p / q);
        };
        const Int128 twice = Int128{2} * minorDelta;
        const Int128 from = std::max<Int128>(first, ceilDiv(Int128{least} * den - c, twice));
        const Int128 to = std::min<Int128>(last, ceilDiv((Int128{most} + 1) * den - c, twice) - 1);
        if (from > to) {
            return;
        }
        first = static_cast<std::int64_t>(from);
        last = static_cast<std::int64_t>(to);
    }
    const Int128 start = Int128{2} * first * minorDelta + c;
    // Both coordinates of every step from first to last lie inside the clip.
    xMajor_ = xMajor;
    majorStep_ = step;
    minorSign_ = minorSign;
    major_ = static_cast<int>(origin + step * first);
    minor_ = static_cast<int>(minorOrigin + minorSign * static_cast<std::int64_t>(start / den));
    rest_ = static_cast<std::int64_t>(start % den);
    den_ = den;
    minorStep_ = 2 * minorDelta / den;
    restStep_ = 2 * minorDelta % den;
    count_ = std::max<std::int64_t>(last - first + 1, 0);
}

}  // namespace gfx
