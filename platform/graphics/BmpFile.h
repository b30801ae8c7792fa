#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"

namespace gfx {

// An uncompressed bottom-up BMP file (BITMAPINFOHEADER, BI_RGB) of `bpp` 4, 8, 24 or 32 bits.
// `pixel(x, y)` gives a palette index (4 and 8 bits) or the pixel as 0xAARRGGBB (24 and 32
// bits; alpha is written at 32 bits only). Palette entries are 0xRRGGBB. Rows are padded to
// four bytes.
std::vector<std::uint8_t> EncodeBmp(int width, int height, int bpp,
                                    std::span<const std::uint32_t> palette,
                                    const std::function<std::uint32_t(int x, int y)>& pixel);

// Writes the bitmap as an uncompressed 24-bit BMP file. Returns false for an empty bitmap or
// when the file cannot be written.
bool SaveBmp(const Bitmap& bitmap, const std::string& path);

// A BMP file decoded: its colours, and an alpha value per pixel (row-major, top row first).
struct DecodedBmp {
    Bitmap colours;
    std::vector<std::uint8_t> alpha;
};

// Decodes an uncompressed BMP file of 1, 4, 8, 24 or 32 bits per pixel, bottom-up or
// top-down. A 32-bit file's fourth byte is its alpha, unless every one is zero (files that
// leave it unused); every other file is opaque. Returns false for anything else, a truncated
// file or a palette index outside the palette.
bool DecodeBmp(std::span<const std::uint8_t> data, DecodedBmp& out);

}  // namespace gfx
