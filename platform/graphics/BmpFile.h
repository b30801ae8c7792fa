#pragma once

#include <string>

#include "platform/graphics/Bitmap.h"

namespace gfx {

// Writes the bitmap as an uncompressed 24-bit BMP file. Returns false for an empty bitmap or
// when the file cannot be written.
bool SaveBmp(const Bitmap& bitmap, const std::string& path);

}  // namespace gfx
