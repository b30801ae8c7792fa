#pragma once

// A minimal PNG encoder for the build-time tools: 8-bit RGBA, no filtering, zlib's deflate.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace png {

// `rgba` holds width x height pixels, rows top to bottom, 4 bytes each (red, green, blue, alpha).
inline std::vector<std::uint8_t> Encode(int width, int height,
                                        const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto u32 = [](std::vector<std::uint8_t>& v, std::uint32_t x) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            v.push_back(static_cast<std::uint8_t>(x >> shift));
        }
    };
    auto chunk = [&](const char* type, const std::vector<std::uint8_t>& data) {
        u32(out, static_cast<std::uint32_t>(data.size()));
        const std::size_t typeAt = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        u32(out, static_cast<std::uint32_t>(
                     crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt))));
    };

    std::vector<std::uint8_t> header;
    u32(header, static_cast<std::uint32_t>(width));
    u32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    chunk("IHDR", header);

    // Each row starts with its filter type, 0 (none).
    std::vector<std::uint8_t> raw;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> zlib(packedSize);
    if (compress2(zlib.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
        Z_OK) {
        throw std::runtime_error("PNG: compression failed");
    }
    zlib.resize(packedSize);
    chunk("IDAT", zlib);
    chunk("IEND", {});
    return out;
}

}  // namespace png
