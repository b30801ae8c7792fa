#include "platform/graphics/BmpFile.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace gfx {

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

bool SaveBmp(const Bitmap& bitmap, const std::string& path) {
    if (bitmap.IsNull()) {
        return false;
    }
    constexpr std::uint32_t kHeaderSize = 14 + 40;
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(h);

    std::vector<std::uint8_t> out;
    out.reserve(kHeaderSize + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, kHeaderSize + imageSize);
    Put32(out, 0);  // reserved
    Put32(out, kHeaderSize);
    Put32(out, 40);  // BITMAPINFOHEADER
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h));  // positive: bottom row first
    Put16(out, 1);                              // planes
    Put16(out, 24);                             // bits per pixel
    Put32(out, 0);                              // no compression
    Put32(out, imageSize);
    Put32(out, 3780);  // 96 dots per inch, in dots per metre
    Put32(out, 3780);
    Put32(out, 0);  // no palette
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const Colour* row = bitmap.Row(y);
        for (int x = 0; x < w; ++x) {
            out.push_back(static_cast<std::uint8_t>(BlueOf(row[x])));
            out.push_back(static_cast<std::uint8_t>(GreenOf(row[x])));
            out.push_back(static_cast<std::uint8_t>(RedOf(row[x])));
        }
        out.resize(out.size() + (stride - static_cast<std::uint32_t>(w) * 3), 0);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

}  // namespace gfx
