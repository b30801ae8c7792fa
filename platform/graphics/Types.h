#pragma once

#include <cstdint>

namespace gfx {

// A colour is the 32-bit value 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23, top byte 0.
// Surfaces store exactly this value per pixel, so OR, AND and XOR raster operations are plain
// bitwise operations on it.
using Colour = std::uint32_t;

// What GetPixel reports outside a surface.
constexpr Colour kInvalidColour = 0xFFFFFFFF;

constexpr Colour Rgb(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// An integer rectangle. Left and top are inside it, right and bottom are NOT: (0, 0, 10, 5)
// covers columns 0..9 and rows 0..4. Keep this in mind everywhere a rectangle is filled,
// hit-tested or copied; every "right column and bottom row left out" rule follows from it.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(int x, int y) const {
        return left <= x && x < right && top <= y && y < bottom;
    }
    constexpr bool Contains(Point p) const { return Contains(p.x, p.y); }
    constexpr Point Centre() const { return {(left + right) / 2, (top + bottom) / 2}; }
    constexpr Rect Offset(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // The overlap of two rectangles; empty (IsEmpty) when they do not overlap.
    constexpr Rect Intersect(const Rect& o) const {
        Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top,
               right < o.right ? right : o.right, bottom < o.bottom ? bottom : o.bottom};
        return r.IsEmpty() ? Rect{} : r;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace gfx
