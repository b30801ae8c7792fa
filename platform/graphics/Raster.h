#pragma once

// Internal to platform/graphics: the raster mix mode and the pixel set of one shape.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Types.h"

namespace gfx {

// The one place where pen and brush drawing meets a pixel.
constexpr Colour Mix(int rop2, Colour dst, Colour src) {
    return rop2 == R2_XORPEN ? dst ^ src : src;
}

// Floor and ceiling of a / b for b > 0 (integer division truncates toward zero instead).
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
constexpr std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return -FloorDiv(-a, b);
}

// Columns x0..x1-1 of one row; empty when x0 >= x1.
struct Span {
    int x0 = 0;
    int x1 = 0;
    bool Empty() const { return x0 >= x1; }
};

// One row of a filled shape: the pen covers `shape` except `fill`, which the brush covers.
struct FilledRow {
    Span shape;
    Span fill;
};

// The pixels of one shape inside a clip box, each marked at most once as pen or brush (pen
// wins). Shapes made of overlapping parts (a polygon's edges and fill, a thick line's caps)
// are marked here first and painted afterwards, so no pixel is touched twice and XOR drawing
// shows the whole shape.
class Coverage {
public:
    enum Ink : std::uint8_t { kNone = 0, kBrush = 1, kPen = 2 };

    explicit Coverage(const Rect& box)
        : box_(box.IsEmpty() ? Rect{} : box),
          cells_(static_cast<std::size_t>(box_.Width()) * box_.Height(), kNone) {}

    const Rect& Box() const { return box_; }

    void Mark(int x, int y, Ink ink) {
        if (box_.Contains(x, y)) {
            std::uint8_t& cell = At(x, y);
            cell = std::max<std::uint8_t>(cell, ink);
        }
    }
    // Marks x0..x1-1 of row y.
    void MarkSpan(int y, int x0, int x1, Ink ink) {
        if (y < box_.top || y >= box_.bottom) {
            return;
        }
        for (int x = std::max(x0, box_.left), end = std::min(x1, box_.right); x < end; ++x) {
            std::uint8_t& cell = At(x, y);
            cell = std::max<std::uint8_t>(cell, ink);
        }
    }
    Ink Get(int x, int y) const {
        return box_.Contains(x, y) ? static_cast<Ink>(cells_[Index(x, y)]) : kNone;
    }

    // Calls f(y, x0, x1, ink) for every run of equally marked pixels, row by row.
    template <class F>
    void ForEachRun(F&& f) const {
        for (int y = box_.top; y < box_.bottom; ++y) {
            int x = box_.left;
            while (x < box_.right) {
                const Ink ink = Get(x, y);
                int end = x + 1;
                while (end < box_.right && Get(end, y) == ink) {
                    ++end;
                }
                if (ink != kNone) {
                    f(y, x, end, ink);
                }
                x = end;
            }
        }
    }

private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y - box_.top) * box_.Width() + (x - box_.left);
    }
    std::uint8_t& At(int x, int y) { return cells_[Index(x, y)]; }

    Rect box_;
    std::vector<std::uint8_t> cells_;
};

// Paints the rows of `box` on the surface, each as rowAt(y) gives it: the brush part once, the
// pen parts on either side of it once each.
template <class RowAt>
void DeviceContext::PaintFilledRows(const Rect& box, RowAt&& rowAt) {
    const Rect rows = box.Intersect(SurfaceRect());
    const Colour pen = pen_->GetColour();
    const Colour brush = brush_->GetColour();
    for (int y = rows.top; y < rows.bottom; ++y) {
        const FilledRow row = rowAt(y);
        if (row.fill.Empty()) {
            PaintSpan(y, row.shape.x0, row.shape.x1, pen);
        } else {
            PaintSpan(y, row.shape.x0, row.fill.x0, pen);
            PaintSpan(y, row.fill.x0, row.fill.x1, brush);
            PaintSpan(y, row.fill.x1, row.shape.x1, pen);
        }
    }
}

}  // namespace gfx
