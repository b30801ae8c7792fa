#pragma once

#include <vector>

#include "platform/graphics/Types.h"

namespace gfx {

class DeviceContext;

// A block of 32-bit pixels (Colour values), row-major, top row first. It owns its pixels;
// a DeviceContext draws into whichever bitmap is selected into it.
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Colour fill = 0);

    // Replaces the pixels with a black width x height block, as a bitmap compatible with
    // `target` (every surface here has the same 32-bit format, so `target` only documents
    // intent). Returns false for a non-positive size, leaving the bitmap empty.
    bool CreateCompatibleBitmap(const DeviceContext* target, int width, int height);
    // Releases the pixels; the bitmap is empty afterwards.
    void DeleteObject();

    bool IsNull() const { return pixels_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    Colour* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const Colour* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    Colour* Data() { return pixels_.data(); }
    const Colour* Data() const { return pixels_.data(); }

    // kInvalidColour outside the bitmap.
    Colour GetPixel(int x, int y) const;
    // Does nothing outside the bitmap.
    void SetPixel(int x, int y, Colour c);
    void Fill(Colour c);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Colour> pixels_;
};

}  // namespace gfx
