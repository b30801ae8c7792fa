// The page's text engine: glyphs rasterised at build time by the desktop's (BakedGlyphs.h),
// so a page draws the desktop's pixels without FreeType or the faces' files. It draws what the
// game draws: a character or a size that was not baked takes no room and shows nothing.

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/graphics/FontEngine.h"
#include "platform/graphics/baked/BakedGlyphs.h"

namespace gfx {

struct FontFace {
    const baked::BakedFace* baked = nullptr;
    // Decoded glyphs by pixel height << 21 | code point, used under the lock.
    std::unordered_map<std::uint32_t, std::shared_ptr<const Glyph>> glyphs;
};

namespace {

std::mutex& Lock() {
    static std::mutex* mutex = new std::mutex;  // never destroyed: statics may draw at exit
    return *mutex;
}

std::shared_ptr<const Glyph> Decode(const baked::BakedGlyph& b) {
    auto glyph = std::make_shared<Glyph>();
    glyph->left = b.left;
    glyph->top = b.top;
    glyph->width = b.width;
    glyph->height = b.height;
    glyph->advance = b.advance;
    glyph->rendered = true;
    const std::size_t size = static_cast<std::size_t>(b.width) * b.height;
    glyph->coverage.reserve(size);
    for (const std::uint8_t* in = baked::kCoverage + b.coverage; glyph->coverage.size() < size;) {
        const std::uint8_t value = *in++;
        const std::size_t n = value == 0 || value == 255 ? *in++ : 1;
        glyph->coverage.insert(glyph->coverage.end(), n, value);
    }
    return glyph;
}

}  // namespace

std::shared_ptr<FontFace> ResolveFace(const std::string& name) {
    static const auto* faces = [] {
        auto* all = new std::vector<std::shared_ptr<FontFace>>;
        for (std::size_t i = 0; i < baked::kFaceCount; ++i) {
            all->push_back(std::make_shared<FontFace>(FontFace{&baked::kFaces[i], {}}));
        }
        return all;
    }();
    const std::string_view family = FamilyFor(name);
    for (const std::shared_ptr<FontFace>& face : *faces) {
        if (SameName(face->baked->family, family)) {
            return face;
        }
    }
    return faces->empty() ? nullptr : faces->front();
}

TextRun LayoutText(FontFace& face, int pixelHeight, std::u32string_view text) {
    TextRun run;
    run.pixelHeight = pixelHeight;
    const baked::BakedSize* begin = baked::kSizes + face.baked->first;
    const baked::BakedSize* size =
        std::find_if(begin, begin + face.baked->count,
                     [&](const baked::BakedSize& s) { return s.pixelHeight == pixelHeight; });
    if (size == begin + face.baked->count) {
        return run;
    }
    run.ascent = size->ascent;
    run.descent = size->descent;
    const baked::BakedGlyph* first = baked::kGlyphs + size->first;
    const baked::BakedGlyph* last = first + size->count;
    std::lock_guard lock(Lock());
    int pen = 0;
    for (const char32_t c : text) {
        const baked::BakedGlyph* b = std::lower_bound(
            first, last, c,
            [](const baked::BakedGlyph& g, char32_t code) { return g.code < code; });
        if (b == last || b->code != c) {
            continue;
        }
        const std::uint32_t key = static_cast<std::uint32_t>(pixelHeight) << 21 | c;
        auto it = face.glyphs.find(key);
        if (it == face.glyphs.end()) {
            it = face.glyphs.emplace(key, Decode(*b)).first;
        }
        run.glyphs.push_back({pen, c, it->second});
        pen += it->second->advance;
    }
    run.width = pen;
    return run;
}

std::shared_ptr<const Glyph> RenderGlyph(FontFace&, const TextRun&, const TextRun::Placed& placed,
                                         const Rect&) {
    return placed.glyph;  // every one is whole
}

std::string Font::FamilyName() const {
    return face_ ? face_->baked->family : std::string();
}

}  // namespace gfx
