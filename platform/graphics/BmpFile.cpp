#include "platform/graphics/BmpFile.h"

#include <algorithm>
#include <fstream>

namespace gfx {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint32_t Get16(std::span<const std::uint8_t> d, std::size_t at) {
    return d[at] | (static_cast<std::uint32_t>(d[at + 1]) << 8);
}

std::uint32_t Get32(std::span<const std::uint8_t> d, std::size_t at) {
    return Get16(d, at) | (Get16(d, at + 2) << 16);
}

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;  // BITMAPINFOHEADER; later versions only add to it
// Far beyond any resource, and small enough that no size computation below can overflow.
constexpr std::int64_t kMaxSide = 1 << 14;

}  // namespace

std::vector<std::uint8_t> EncodeBmp(int width, int height, int bpp,
                                    std::span<const std::uint32_t> palette,
                                    const std::function<std::uint32_t(int x, int y)>& pixel) {
    const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(width) * bpp + 31) / 32) * 4;
    const std::uint32_t offset =
        kFileHeader + kInfoHeader + 4 * static_cast<std::uint32_t>(palette.size());
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.reserve(offset + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageBytes);
    Put32(out, 0);  // reserved
    Put32(out, offset);
    Put32(out, kInfoHeader);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom row first
    Put16(out, 1);                                   // planes
    Put16(out, static_cast<std::uint32_t>(bpp));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 3780);  // 96 dots per inch, in dots per metre
    Put32(out, 3780);
    Put32(out, static_cast<std::uint32_t>(palette.size()));
    Put32(out, 0);
    for (std::uint32_t rgb : palette) {
        Put32(out, rgb & 0xFFFFFF);  // blue, green, red, reserved
    }
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixel(x, y);
            if (bpp == 4) {
                if (x % 2 == 0) {
                    out.push_back(static_cast<std::uint8_t>(v << 4));
                } else {
                    out.back() = static_cast<std::uint8_t>(out.back() | (v & 0xF));
                }
            } else if (bpp == 8) {
                out.push_back(static_cast<std::uint8_t>(v));
            } else if (bpp == 24) {
                Put16(out, v & 0xFFFF);
                out.push_back(static_cast<std::uint8_t>(v >> 16));
            } else {
                Put32(out, v);
            }
        }
        out.resize(rowStart + rowBytes, 0);
    }
    return out;
}

bool SaveBmp(const Bitmap& bitmap, const std::string& path) {
    if (bitmap.IsNull()) {
        return false;
    }
    const std::vector<std::uint8_t> out =
        EncodeBmp(bitmap.Width(), bitmap.Height(), 24, {}, [&](int x, int y) {
            const Colour c = bitmap.Row(y)[x];
            return (RedOf(c) << 16) | (GreenOf(c) << 8) | BlueOf(c);
        });
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

bool DecodeBmp(std::span<const std::uint8_t> data, DecodedBmp& out) {
    out = DecodedBmp();
    if (data.size() < kFileHeader + kInfoHeader || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const std::uint32_t pixelsAt = Get32(data, 10);
    const std::uint32_t infoSize = Get32(data, 14);
    const std::int64_t width = static_cast<std::int32_t>(Get32(data, 18));
    const std::int64_t signedHeight = static_cast<std::int32_t>(Get32(data, 22));
    const std::uint32_t bpp = Get16(data, 28);
    const std::uint32_t compression = Get32(data, 30);
    const std::uint32_t coloursUsed = Get32(data, 46);
    const bool bottomUp = signedHeight > 0;
    const std::int64_t height = bottomUp ? signedHeight : -signedHeight;
    if (infoSize < kInfoHeader || infoSize > data.size() - kFileHeader || compression != 0 ||
        width <= 0 || width > kMaxSide || height <= 0 || height > kMaxSide ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)) {
        return false;
    }
    std::vector<Colour> palette;
    if (bpp <= 8) {
        const std::size_t entries = coloursUsed != 0 ? coloursUsed : std::size_t{1} << bpp;
        const std::size_t at = kFileHeader + infoSize;
        if (entries > 256 || at + entries * 4 > data.size()) {
            return false;
        }
        for (std::size_t i = 0; i < entries; ++i) {
            palette.push_back(Rgb(data[at + i * 4 + 2], data[at + i * 4 + 1], data[at + i * 4]));
        }
    }
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    if (pixelsAt > data.size() ||
        rowBytes * static_cast<std::size_t>(height) > data.size() - pixelsAt) {
        return false;
    }
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    DecodedBmp decoded{Bitmap(w, h),
                       std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, 0xFF)};
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const std::size_t row =
            pixelsAt + rowBytes * static_cast<std::size_t>(bottomUp ? h - 1 - y : y);
        Colour* colours = decoded.colours.Row(y);
        std::uint8_t* alpha = decoded.alpha.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            if (bpp <= 8) {
                const std::size_t bit = static_cast<std::size_t>(x) * bpp;
                const unsigned shift = 8 - bpp - bit % 8;
                const std::size_t index = (data[row + bit / 8] >> shift) & ((1u << bpp) - 1);
                if (index >= palette.size()) {
                    return false;
                }
                colours[x] = palette[index];
            } else {
                const std::size_t at = row + static_cast<std::size_t>(x) * (bpp / 8);
                colours[x] = Rgb(data[at + 2], data[at + 1], data[at]);
                if (bpp == 32) {
                    alpha[x] = data[at + 3];
                    anyAlpha = anyAlpha || alpha[x] != 0;
                }
            }
        }
    }
    if (bpp == 32 && !anyAlpha) {
        std::fill(decoded.alpha.begin(), decoded.alpha.end(), std::uint8_t{0xFF});
    }
    out = std::move(decoded);
    return true;
}

}  // namespace gfx
