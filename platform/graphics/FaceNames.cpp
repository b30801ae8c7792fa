// What every text engine shares: the face names the game asks for, a font's face by its name
// and the decoding of UTF-8 texts.

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/graphics/FontEngine.h"

namespace gfx {

namespace {

// The faces the game names, mapped to their metric-compatible stand-ins.
constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS Gothic", "IPAGothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"MS PGothic", "IPAPGothic"},
};

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view FamilyFor(std::string_view requested) {
    for (const auto& [name, family] : kAliases) {
        if (SameName(name, requested)) {
            return family;
        }
    }
    return requested;
}

std::u32string DecodeUtf8(std::string_view utf8) {
    constexpr char32_t kReplacement = 0xFFFD;
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            c = lead & 0x1F;
            min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            c = lead & 0x0F;
            min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            c = lead & 0x07;
            min = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t n = 1;
        for (; n <= static_cast<std::size_t>(extra); ++n) {
            if (i + n >= utf8.size() || (static_cast<unsigned char>(utf8[i + n]) & 0xC0) != 0x80) {
                break;
            }
            c = c << 6 | (static_cast<unsigned char>(utf8[i + n]) & 0x3F);
        }
        const bool complete = n == static_cast<std::size_t>(extra) + 1;
        const bool valid = complete && c >= min && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        out.push_back(valid ? c : kReplacement);
        i += n;  // a broken sequence is replaced once, up to the byte that broke it
    }
    return out;
}

bool Font::CreatePointFont(int pointTenths, const std::string& face) {
    pixelHeight_ = PointTenthsToPixels(pointTenths);
    face_ = ResolveFace(face);
    return face_ != nullptr;
}

}  // namespace gfx
