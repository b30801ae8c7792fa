#pragma once

// Glyphs rasterised at build time (bake_glyphs.cpp writes the data, BakedText.cpp draws from
// it): every character the game draws, at every size it draws it, by face. A glyph's
// coverage is its box's rows, each byte a coverage value, except that 0 and 255 are followed
// by how many of them follow one another (1 to 255): most of a glyph is empty or full.

#include <cstddef>
#include <cstdint>

namespace gfx::baked {

struct BakedGlyph {
    char32_t code;
    std::int16_t left;  // as gfx::Glyph's
    std::int16_t top;
    std::int16_t width;
    std::int16_t height;
    std::int16_t advance;
    std::uint32_t coverage;  // where its coverage starts in kCoverage
};

// One pixel height of a face: its line metrics and its glyphs, kGlyphs[first, first + count)
// in code point order.
struct BakedSize {
    int pixelHeight;
    int ascent;
    int descent;
    std::uint32_t first;
    std::uint32_t count;
};

// A face's sizes, kSizes[first, first + count); the first face is also the face for any name
// that is not one of theirs.
struct BakedFace {
    const char* family;
    std::uint32_t first;
    std::uint32_t count;
};

extern const std::uint8_t kCoverage[];
extern const BakedGlyph kGlyphs[];
extern const BakedSize kSizes[];
extern const BakedFace kFaces[];
extern const std::size_t kFaceCount;

}  // namespace gfx::baked
