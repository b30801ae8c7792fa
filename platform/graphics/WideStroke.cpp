// A wide pen's stroke as the Minkowski sum of the path and the pen's round dot: the dot at
// every point and a parallelogram body along every segment, their union scan-converted by
// the nonzero rule of an AreaFill. It reproduces the desktop interface's wide solid pen:
// centred on the path, w pixels across a horizontal or vertical line, with round ends.
//
// A body's long sides lie half the width from the centre line. The exact offset (w/2) n,
// for the unit normal n on the side where x (for a horizontal line y) grows, is rounded away
// from the line on that side and to the nearest (halves up) on the other, so a horizontal or
// vertical line is w pixels across from y - w/2 (x - w/2) and a 45-degree line of width 3 is
// 6 pixels wide in each row.
//
// The pieces are added up in one AreaFill, where each row of a piece costs a step or two,
// and the union marked when the stroke is finished, so each pixel is marked once however
// many dots and bodies cover it. Once every pixel of the coverage box is covered (looked at
// after 16 segments, then after twice as many each time), further pieces are not even laid
// out. A pen far wider than the surface, or a path of thousands of points, costs what the
// surface costs.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/graphics/Rasterisers.h"

namespace gfx {

namespace {

// Wider pens than this are clamped: nothing real comes near them, and the exact arithmetic
// stays inside 128 bits.
constexpr int kMaxPenWidth = 1 << 15;

// The rows of a wide pen's dot: the filled w x w ellipse with its top-left at (-w/2, -w/2)
// (w = 3 is a plus, even widths lean up and left; below 3 a square). Spans are inclusive.
std::vector<Span> DotRows(int w) {
    if (w < 3) {
        return std::vector<Span>(static_cast<std::size_t>(w), Span{0, w - 1});
    }
    return EllipseOutline::OfThisThread().Loop(Rect{0, 0, w, w}).Rows();
}

// Smallest k >= 0 with (2k + offset) sqrt(s) >= num, for num >= 0: ceilings of
// num / (2 sqrt(s)) shifted by half a step, exactly.
std::int64_t CeilHalfSteps(Int128 num, Int128 s, int offset) {
    const long double estimate =
        (static_cast<long double>(num) / std::sqrt(static_cast<long double>(s)) - offset) / 2;
    std::int64_t k = std::max<std::int64_t>(0, static_cast<std::int64_t>(estimate) - 2);
    const auto reaches = [&](std::int64_t k) {
        const Int128 m = 2 * Int128{k} + offset;
        return m >= 0 && m * m * s >= num * num;
    };
    while (!reaches(k)) {
        ++k;
    }
    while (k > 0 && reaches(k - 1)) {
        --k;
    }
    return k;
}

}  // namespace

int Reach(int width) {
    return std::min(width, kMaxPenWidth) / 2 + 2;
}

void WideStroke::Begin(Coverage& coverage, int width) {
    coverage_ = &coverage;
    width_ = std::min(width, kMaxPenWidth);
    // The dot takes a walk of its whole outline, which the strokes of one pen (a frame's
    // four lines) need only once.
    if (width_ != dotWidth_) {
        dot_ = DotRows(width_);
        dotWidth_ = width_;
    }
    sums_.Begin(coverage.Box());
    segments_ = 0;
    nextCheck_ = 16;
    whole_ = false;
    lastDot_.reset();
}

void WideStroke::Finish() {
    sums_.ForEachRun(AreaFill::Rule::kUnion,
                     [&](int y, int x0, int x1) { coverage_->MarkStroke(y, x0, x1); });
}

// Only the dot's rows inside the coverage box are taken; a path's segments share their ends,
// so a dot just taken is not taken again.
void WideStroke::Dot(Point c) {
    if (lastDot_ && *lastDot_ == c) {
        return;
    }
    lastDot_ = c;
    const std::int64_t left = std::int64_t{c.x} - width_ / 2;
    const std::int64_t top = std::int64_t{c.y} - width_ / 2;
    const Rect& box = coverage_->Box();
    const auto first = static_cast<std::size_t>(
        std::clamp<std::int64_t>(box.top - top, 0, static_cast<std::int64_t>(dot_.size())));
    const auto end = static_cast<std::size_t>(
        std::clamp<std::int64_t>(box.bottom - top, 0, static_cast<std::int64_t>(dot_.size())));
    for (std::size_t i = first; i < end; ++i) {
        sums_.AddSpan(static_cast<int>(top + static_cast<std::int64_t>(i)), left + dot_[i].x0,
                      left + dot_[i].x1 + 1);
    }
}

void WideStroke::Segment(Point a, Point b) {
    // Nothing of a segment reaches further than the pen's reach from its ends.
    const Rect& box = coverage_->Box();
    const std::int64_t reach = Reach(width_);
    if (Whole() || std::max(a.x, b.x) + reach < box.left ||
        std::min<std::int64_t>(a.x, b.x) - reach >= box.right ||
        std::max(a.y, b.y) + reach < box.top ||
        std::min<std::int64_t>(a.y, b.y) - reach >= box.bottom) {
        return;
    }
    Dot(a);
    Dot(b);
    const std::int64_t dx = std::int64_t{b.x} - a.x;
    const std::int64_t dy = std::int64_t{b.y} - a.y;
    if (dx == 0 && dy == 0) {
        return;
    }
    Vec normal{-dy, dx};
    if (normal.x < 0 || (normal.x == 0 && normal.y < 0)) {
        normal = {-normal.x, -normal.y};
    }
    const Int128 lengthSquared = Int128{dx} * dx + Int128{dy} * dy;
    // For a normal component u the exact offset is w u / (2 L).
    const auto away = [&](std::int64_t u) {
        const std::int64_t k = CeilHalfSteps(Int128{width_} * std::abs(u), lengthSquared, 0);
        return u < 0 ? -k : k;
    };
    const auto nearest = [&](std::int64_t u) {  // of the negated offset, halves up
        if (u > 0) {
            return -CeilHalfSteps(Int128{width_} * u, lengthSquared, 1);
        }
        // floor(v + 1/2) for v = w |u| / (2 L): one below the first k with (2k - 1) L > w |u|.
        const Int128 num = Int128{width_} * -u;
        std::int64_t k = CeilHalfSteps(num, lengthSquared, -1);
        const Int128 m = 2 * Int128{k} - 1;
        return m * m * lengthSquared > num * num ? k - 1 : k;
    };
    const Vec near{away(normal.x), away(normal.y)};
    const Vec far{nearest(normal.x), nearest(normal.y)};
    const Vec body[] = {{a.x + near.x, a.y + near.y},
                        {b.x + near.x, b.y + near.y},
                        {b.x + far.x, b.y + far.y},
                        {a.x + far.x, a.y + far.y}};
    // A parallelogram, convex: its side going down and its side going up are its right and
    // left sides, which way round its turning says (none when it has no area).
    Int128 area2 = 0;
    for (int i = 0; i < 4; ++i) {
        const Vec& p = body[i];
        const Vec& q = body[(i + 1) % 4];
        area2 += Int128{p.x} * q.y - Int128{q.x} * p.y;
    }
    if (area2 != 0) {
        for (int i = 0; i < 4; ++i) {
            const Vec& p = body[i];
            const Vec& q = body[(i + 1) % 4];
            sums_.AddEdge(p, q, (q.y > p.y) == (area2 > 0) ? -1 : 1);
        }
    }
    if (++segments_ == nextCheck_) {
        nextCheck_ *= 2;
        whole_ = sums_.Everywhere(AreaFill::Rule::kUnion);
    }
}

}  // namespace gfx
