// Text of the device context: one line laid out by the font engine, aligned in a rectangle
// as a box of its advance width by the font's ascent plus descent, then blended glyph by
// glyph into the surface, clipped to the rectangle.

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/FontEngine.h"
#include "platform/graphics/Raster.h"

namespace gfx {

namespace {

// Coverage 0 leaves the pixel as it is and 255 gives the text colour exactly; between them
// each channel is (dst (255 - alpha) + text alpha + 127) / 255. The three channels are worked
// at once in 16-bit lanes of one 64-bit word (no lane passes 65407), and x / 255 is
// (x + 1 + (x >> 8)) >> 8, exact in that range.
Colour Blend(Colour dst, Colour text, unsigned alpha) {
    if (alpha == 255) {
        return text;
    }
    const auto lanes = [](Colour c) {
        return std::uint64_t{c & 0xFF} | std::uint64_t{(c >> 8) & 0xFF} << 16 |
               std::uint64_t{(c >> 16) & 0xFF} << 32;
    };
    constexpr std::uint64_t kOnes = 0x0000'0001'0001'0001;
    constexpr std::uint64_t kLow = 0x0000'00FF'00FF'00FF;
    const std::uint64_t x = lanes(dst) * (255 - alpha) + lanes(text) * alpha + 127 * kOnes;
    const std::uint64_t q = ((x + kOnes + ((x >> 8) & kLow)) >> 8) & kLow;
    return static_cast<Colour>((q & 0xFF) | ((q >> 8) & 0xFF00) | ((q >> 16) & 0xFF0000));
}

TextRun Layout(const Font& font, const std::string& utf8) {
    if (!font.Face()) {
        return {};
    }
    return LayoutText(*font.Face(), font.PixelHeight(), DecodeUtf8(utf8));
}

}  // namespace

Point DeviceContext::GetTextExtent(const std::string& utf8) const {
    const TextRun run = Layout(CurrentFont(), utf8);
    return {run.width, run.ascent + run.descent};
}

int DeviceContext::DrawText(const std::string& utf8, const Rect& rect, unsigned format) {
    const TextRun run = Layout(CurrentFont(), utf8);
    const int height = run.ascent + run.descent;
    // Placed in 64 bits: a rectangle may span the whole int range.
    std::int64_t left64 = rect.left;
    if (format & DT_CENTER) {
        left64 += FloorDiv(std::int64_t{rect.right} - rect.left - run.width, 2);
    } else if (format & DT_RIGHT) {
        left64 = std::int64_t{rect.right} - run.width;
    }
    // Horizontally a half pixel of slack goes right of the text, vertically above it.
    std::int64_t top64 = rect.top;
    if (format & DT_VCENTER) {
        top64 += CeilDiv(std::int64_t{rect.bottom} - rect.top - height, 2);
    } else if (format & DT_BOTTOM) {
        top64 = std::int64_t{rect.bottom} - height;
    }
    // The height of the text, or with DT_VCENTER or DT_BOTTOM how far below the rectangle's
    // top the text ends.
    const int result = (format & (DT_VCENTER | DT_BOTTOM))
                           ? static_cast<int>(std::clamp<std::int64_t>(top64 + height - rect.top,
                                                                       INT_MIN, INT_MAX))
                           : height;
    const Rect clip = rect.Intersect(SurfaceRect());
    // Text far from the clip draws nothing (the margin leaves room for glyphs that reach out
    // of their line box); text near it lies where int arithmetic is safe.
    const std::int64_t margin = 2 * std::int64_t{height} + 64;
    if (clip.IsEmpty() || left64 >= clip.right + margin ||
        left64 + run.width + margin <= clip.left || top64 >= clip.bottom + margin ||
        top64 + height + margin <= clip.top) {
        return result;
    }
    const int left = static_cast<int>(left64);
    const int top = static_cast<int>(top64);
    if (bkMode_ == OPAQUE) {
        const Rect box = Rect{left, top, left + run.width, top + height}.Intersect(clip);
        for (int y = box.top; y < box.bottom; ++y) {
            std::fill_n(bitmap_->Row(y) + box.left, box.Width(), bkColour_);
        }
    }
    const int baseline = top + run.ascent;
    for (const TextRun::Placed& placed : run.glyphs) {
        // Only the part of a glyph inside the clip is rasterised, if any.
        const Glyph& box = *placed.glyph;
        const int boxX = left + placed.penX + box.left;
        const int boxY = baseline - box.top;
        const Rect part = Rect{boxX, boxY, boxX + box.width, boxY + box.height}.Intersect(clip);
        if (part.IsEmpty()) {
            continue;
        }
        const std::shared_ptr<const Glyph> glyph =
            RenderGlyph(*CurrentFont().Face(), run, placed, part.Offset(-boxX, -boxY));
        const Glyph& g = *glyph;
        const int gx = left + placed.penX + g.left;
        const int gy = baseline - g.top;
        const Rect area = Rect{gx, gy, gx + g.width, gy + g.height}.Intersect(clip);
        for (int y = area.top; y < area.bottom; ++y) {
            const std::uint8_t* coverage =
                g.coverage.data() + static_cast<std::size_t>(y - gy) * g.width + (area.left - gx);
            Colour* row = bitmap_->Row(y) + area.left;
            for (int i = 0; i < area.Width(); ++i) {
                if (coverage[i] != 0) {
                    row[i] = Blend(row[i], textColour_, coverage[i]);
                }
            }
        }
    }
    return result;
}

}  // namespace gfx
