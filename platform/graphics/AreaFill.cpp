// Scanline area fill by prefix sums of edge crossings (an accumulation buffer): an edge adds
// its weight at its crossing of every row, and each row is added up from the left. It
// reproduces the desktop interface's polygon fill by the alternate (even-odd) rule, with a
// pixel inside an edge's run when its centre is, so the left and top edges of a shape are
// inside it and the right and bottom ones are not.
//
// A polygon's alternate fill is where the sum of its edges (weight 1) is odd; a wide pen's
// stroke, the union of convex pieces, is where the sum of their outlines (weight +1 on a
// piece's left side, -1 on its right) is above zero. Each edge and span costs the rows it
// crosses inside the box, however many there are and however they overlap.
//
// An edge owns its upper end and not its lower one, and a crossing at x counts from column
// ceil(x). Crossings left of the box all count from its left column and those right of it
// not at all, which leaves every sum the same inside the box.

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/graphics/Rasterisers.h"

namespace gfx {

void AreaFill::Begin(const Rect& box) {
    box_ = box.IsEmpty() ? Rect{} : box;
    width_ = static_cast<std::size_t>(box_.Width());
    // The vectors keep their capacity: a frame of shapes allocates once.
    cells_.assign(width_ * static_cast<std::size_t>(box_.Height()), 0);
    left_.assign(static_cast<std::size_t>(box_.Height()) + 1, 0);
}

void AreaFill::AddEdge(Vec p, Vec q, int weight) {
    if (p.y == q.y) {
        return;
    }
    if (p.y > q.y) {
        std::swap(p, q);
    }
    const std::int64_t first = std::max<std::int64_t>(p.y, box_.top);
    const std::int64_t end = std::min<std::int64_t>(q.y, box_.bottom);
    if (first >= end) {
        return;
    }
    const std::int64_t den = q.y - p.y;
    const std::int64_t dx = q.x - p.x;
    // The crossing moves one way along the edge, so its rows fall into a run left of the
    // box (added once, to the left column's running sum), a run inside it (stepped row by
    // row) and a run right of it (left out). Each boundary is computed from the line to
    // within a row (where the crossing passes column x, for x the box's left edge or its
    // last column), then settled exactly.
    const auto crossingAt = [&](std::int64_t y) {
        const Int128 num = Int128{y - p.y} * dx;
        return p.x + (num >= 0 ? (num + den - 1) / den : -((-num) / den));
    };
    const auto firstWhere = [&](auto&& holds, std::int64_t atX) {
        if (dx == 0) {
            return holds(first) ? first : end;
        }
        const Int128 estimate = p.y + Int128{atX - p.x} * den / dx;
        std::int64_t y = static_cast<std::int64_t>(std::clamp<Int128>(estimate, first, end));
        while (y > first && holds(y - 1)) {
            --y;
        }
        while (y < end && !holds(y)) {
            ++y;
        }
        return y;
    };
    std::int64_t insideFrom = first;
    std::int64_t insideTo = end;
    if (dx >= 0) {
        insideFrom =
            firstWhere([&](std::int64_t y) { return crossingAt(y) > box_.left; }, box_.left);
        insideTo = std::max(insideFrom,
                            firstWhere([&](std::int64_t y) { return crossingAt(y) >= box_.right; },
                                       box_.right - 1));
        AddLeft(first, insideFrom, weight);
    } else {
        insideFrom =
            firstWhere([&](std::int64_t y) { return crossingAt(y) < box_.right; }, box_.right - 1);
        insideTo = std::max(
            insideFrom,
            firstWhere([&](std::int64_t y) { return crossingAt(y) <= box_.left; }, box_.left));
        AddLeft(insideTo, end, weight);
    }
    if (insideFrom >= insideTo) {
        return;
    }
    // The crossing, ceil(num / den), as a quotient and a remainder stepped row by row.
    const Int128 num = Int128{insideFrom - p.y} * dx;
    const Int128 ceil = num >= 0 ? (num + den - 1) / den : -((-num) / den);
    std::int64_t x = p.x + static_cast<std::int64_t>(ceil) - box_.left;
    std::int64_t rest = static_cast<std::int64_t>(ceil * den - num);
    const std::int64_t step = FloorDiv(dx, den);
    const std::int64_t stepRest = dx - step * den;
    std::int32_t* cell = &cells_[static_cast<std::size_t>(insideFrom - box_.top) * width_];
    for (std::int64_t y = insideFrom; y < insideTo; ++y) {
        cell[x] += weight;
        cell += width_;
        x += step;
        rest -= stepRest;
        if (rest < 0) {
            x += 1;
            rest += den;
        }
    }
}

void AreaFill::AddSpan(int y, std::int64_t x0, std::int64_t x1) {
    if (y < box_.top || y >= box_.bottom || x0 >= x1 || x1 <= box_.left || x0 >= box_.right) {
        return;
    }
    const std::size_t row = static_cast<std::size_t>(y - box_.top);
    if (x0 <= box_.left) {
        AddLeft(y, std::int64_t{y} + 1, 1);
    } else {
        cells_[row * width_ + static_cast<std::size_t>(x0 - box_.left)] += 1;
    }
    if (x1 < box_.right) {
        cells_[row * width_ + static_cast<std::size_t>(x1 - box_.left)] -= 1;
    }
}

// Rows from..to-1 of the left column.
void AreaFill::AddLeft(std::int64_t from, std::int64_t to, int weight) {
    if (from < to) {
        left_[static_cast<std::size_t>(from - box_.top)] += weight;
        left_[static_cast<std::size_t>(to - box_.top)] -= weight;
    }
}

bool AreaFill::Everywhere(Rule rule) const {
    std::int64_t left = 0;
    for (std::size_t row = 0; row + 1 < left_.size(); ++row) {
        left += left_[row];
        std::int64_t sum = left;
        const std::int32_t* cell = &cells_[row * width_];
        for (std::size_t i = 0; i < width_; ++i) {
            sum += cell[i];
            if (!Takes(rule, sum)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace gfx
