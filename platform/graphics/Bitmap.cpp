#include "platform/graphics/Bitmap.h"

#include <algorithm>

namespace gfx {

Bitmap::Bitmap(int width, int height, Colour fill) {
    if (width > 0 && height > 0) {
        width_ = width;
        height_ = height;
        pixels_.assign(static_cast<std::size_t>(width) * height, fill);
    }
}

bool Bitmap::CreateCompatibleBitmap(const DeviceContext* /*target*/, int width, int height) {
    DeleteObject();
    if (width <= 0 || height <= 0) {
        return false;
    }
    *this = Bitmap(width, height, 0);
    return true;
}

void Bitmap::DeleteObject() {
    width_ = 0;
    height_ = 0;
    pixels_.clear();
    pixels_.shrink_to_fit();
}

Colour Bitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return kInvalidColour;
    }
    return Row(y)[x];
}

void Bitmap::SetPixel(int x, int y, Colour c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        Row(y)[x] = c;
    }
}

void Bitmap::Fill(Colour c) {
    std::fill(pixels_.begin(), pixels_.end(), c);
}

}  // namespace gfx
