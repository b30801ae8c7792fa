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

// The pixels of one shape inside a clip box and the ink each one takes. Shapes made of
// overlapping parts (a polygon's edges and fill, a wide pen's dots and bodies) are marked
// here first and painted afterwards, so each pixel is written once with what the parts add
// up to. The desktop interface paints a shape's brush first and its pen over it: in XOR
// mode a pixel under both becomes dst ^ brush ^ pen, and a pixel that two 1-px lines of one
// outline pass is inverted twice. A wide pen's stroke is one area, painted once, and its
// brush leaves that area out.
class Coverage {
public:
    enum Cell : std::uint8_t {
        kBrush = 1,   // under the brush
        kPenOdd = 2,  // passed by an odd number of 1-px lines (or stroked)
        kPen = 4,     // under the pen at all
        kStroke = 8,  // under a wide pen's stroke
    };

    explicit Coverage(const Rect& box)
        : box_(box.IsEmpty() ? Rect{} : box),
          cells_(static_cast<std::size_t>(box_.Width()) * box_.Height(), 0) {}

    const Rect& Box() const { return box_; }

    // The brush over x0..x1-1 of row y, except where a wide pen has stroked.
    void MarkBrush(int y, std::int64_t x0, std::int64_t x1) {
        ForSpan(y, x0, x1, [](std::uint8_t& c) {
            if (!(c & kStroke)) {
                c |= kBrush;
            }
        });
    }
    // One pixel of a 1-px line.
    void MarkLine(int x, int y) {
        if (box_.Contains(x, y)) {
            std::uint8_t& c = At(x, y);
            c = static_cast<std::uint8_t>((c ^ kPenOdd) | kPen);
        }
    }
    // x0..x1-1 of row y under a wide pen's stroke.
    void MarkStroke(int y, std::int64_t x0, std::int64_t x1) {
        ForSpan(y, x0, x1, [](std::uint8_t& c) { c = kPenOdd | kPen | kStroke; });
    }

    // Calls f(y, x0, x1, cell) for every run of equal, marked cells, row by row.
    template <class F>
    void ForEachRun(F&& f) const {
        for (int y = box_.top; y < box_.bottom; ++y) {
            const std::uint8_t* row = &cells_[Index(box_.left, y)];
            const int width = box_.Width();
            for (int i = 0; i < width;) {
                const std::uint8_t cell = row[i];
                int end = i + 1;
                while (end < width && row[end] == cell) {
                    ++end;
                }
                if (cell != 0) {
                    f(y, box_.left + i, box_.left + end, cell);
                }
                i = end;
            }
        }
    }

private:
    template <class Op>
    void ForSpan(int y, std::int64_t x0, std::int64_t x1, Op op) {
        if (y < box_.top || y >= box_.bottom) {
            return;
        }
        const int from = static_cast<int>(std::max<std::int64_t>(x0, box_.left));
        const int to = static_cast<int>(std::min<std::int64_t>(x1, box_.right));
        for (int x = from; x < to; ++x) {
            op(At(x, y));
        }
    }
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y - box_.top) * box_.Width() + (x - box_.left);
    }
    std::uint8_t& At(int x, int y) { return cells_[Index(x, y)]; }

    Rect box_;
    std::vector<std::uint8_t> cells_;
};

}  // namespace gfx
