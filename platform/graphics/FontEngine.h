#pragma once

// Internal to platform/graphics: the text engine's interface. Font.cpp implements it with
// faces resolved through fontconfig and glyphs rasterised by FreeType, both cached for the
// life of the process; a page implements it from glyphs rasterised at build time
// (baked/BakedText.cpp). FontFace is each implementation's own.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/GdiObjects.h"

namespace gfx {

// One glyph's box, `width` x `height`, placed `left` pixels right of the pen position and
// `top` pixels above the baseline, and once rasterised its greyscale coverage 0..255.
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;        // pixels to the next pen position
    bool rendered = false;  // coverage holds the box's pixels
    std::vector<std::uint8_t> coverage;
};

// The vertical metrics of a face at one pixel height.
struct LineMetrics {
    int ascent = 0;   // pixels above the baseline
    int descent = 0;  // pixels below it
};

// One line of text laid out from pen position 0 on the baseline.
struct TextRun {
    struct Placed {
        int penX = 0;
        char32_t code = 0;
        std::shared_ptr<const Glyph> glyph;  // its box; rasterised only if it was before
    };
    std::vector<Placed> glyphs;
    int width = 0;        // sum of the advances
    int ascent = 0;       // pixels above the baseline
    int descent = 0;      // pixels below it
    int pixelHeight = 0;  // the em the glyphs were laid out at
};

// The face for a requested name: the alias table, then the name itself, then any Japanese
// face, then any monospace face, then any face at all. nullptr when none exists.
std::shared_ptr<FontFace> ResolveFace(const std::string& name);

// Lays the text out at the em `pixelHeight`, measuring (and caching in `face`) the glyphs it
// has not met yet, under the engine's lock. Nothing is rasterised here.
TextRun LayoutText(FontFace& face, int pixelHeight, std::u32string_view text);

// The coverage of `part` (in the glyph's own pixels, 0,0 its top-left) of a glyph laid out in
// `run`, as a glyph of its own placed as the part lies. A small glyph is rasterised whole and
// cached; of a large one only the part is, so text far larger than the surface costs what
// the surface shows.
std::shared_ptr<const Glyph> RenderGlyph(FontFace& face, const TextRun& run,
                                         const TextRun::Placed& placed, const Rect& part);

// Undecodable bytes become U+FFFD each.
std::u32string DecodeUtf8(std::string_view utf8);

// The family a requested face name stands for: the alias table's stand-in for the faces the
// game names ("ＭＳ ゴシック" is "IPAGothic"), or the name itself.
std::string_view FamilyFor(std::string_view requested);

// Whether two names are the same, ASCII letters compared without case.
bool SameName(std::string_view a, std::string_view b);

}  // namespace gfx
