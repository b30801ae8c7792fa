// Face lookup through fontconfig and glyph rasterising through FreeType, cached for the
// process. Every FreeType and fontconfig call runs under one lock: fonts are used on the
// user-interface thread, but nothing stops two threads from drawing text at once.
// Built with TOLVANE_FONT_DIR (the browser build, which has no fontconfig), the lookup
// chooses among the faces bundled in that folder instead; on Windows, among those compiled
// into the program.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <span>
#include <unordered_map>
#include <utility>

#include "platform/graphics/FontEngine.h"
#include "platform/graphics/GdiObjects.h"

#if defined(TOLVANE_FONT_DIR) || defined(_WIN32)
#define TOLVANE_BUNDLED_FACES
#endif

#if defined(_WIN32) && !defined(TOLVANE_FONT_DIR)
#include "platform/graphics/EmbeddedFaces.h"
#endif
#include <ft2build.h>
#include FT_FREETYPE_H
#ifndef TOLVANE_BUNDLED_FACES
#include <fontconfig/fontconfig.h>
#else
#include FT_MODULE_H
#endif
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#ifdef TOLVANE_BUNDLED_FACES
// The modules a TrueType face needs, from the FreeType linked in: its driver (with the
// bytecode hinter), the SFNT tables and the greyscale renderer. Only these are linked into a
// page, where every other format's module would be downloaded for nothing.
extern "C" {
extern const FT_Module_Class tt_driver_class;
extern const FT_Module_Class sfnt_module_class;
extern const FT_Module_Class ft_smooth_renderer_class;
}
#endif

namespace gfx {

// Releases a FreeType or fontconfig handle through `Release`, as a std::unique_ptr deleter.
template <auto Release>
struct ReleaseWith {
    template <typename T>
    void operator()(T* handle) const {
        Release(handle);
    }
};

// A resolved face. It and its caches belong to the font engine and are used only under the
// engine's lock.
struct FontFace {
    std::string family;  // the installed family name, e.g. "IPAGothic"
    std::string file;
    int index = 0;
    std::unique_ptr<FT_FaceRec_, ReleaseWith<FT_Done_Face>> face;
    std::unordered_map<int, LineMetrics> metrics;  // by pixel height
    // By pixel height << 21 | code point. Glyphs are shared, so clearing the cache never
    // pulls one from under a line being drawn.
    std::unordered_map<std::uint32_t, std::shared_ptr<const Glyph>> glyphs;
};

namespace {

constexpr int kMaxPixelHeight = 2047;     // fits the glyph key; larger sizes are drawn at it
constexpr std::size_t kMaxGlyphs = 4096;  // per face; the cache starts over beyond it

std::uint32_t GlyphKey(int pixelHeight, char32_t c) {
    return static_cast<std::uint32_t>(pixelHeight) << 21 | (c & 0x1FFFFF);
}

// The faces are never closed: the engine lives until the process ends, so a font in a
// static object can still draw while statics are destroyed.
class FontEngine {
public:
    std::mutex mutex;

    std::shared_ptr<FontFace> Resolve(const std::string& name) {
        if (const auto it = byName_.find(name); it != byName_.end()) {
            return it->second;
        }
        std::shared_ptr<FontFace> face = Lookup(name);
        byName_[name] = face;
        return face;
    }

private:
#ifdef TOLVANE_BUNDLED_FACES
    // The bundled faces by family, each under the name a page's cut-down copy has, or under
    // its own. The first is also the Japanese, the monospace and the last-resort face, the
    // order fontconfig's fallbacks find it in on the desktop.
    struct Bundled {
        std::string_view family;
        std::string_view files[2];
    };
    static constexpr Bundled kBundled[] = {
        {"IPAGothic", {"tolvane-gothic.ttf", "ipag.ttf"}},
        {"IPAPGothic", {"tolvane-pgothic.ttf", "ipagp.ttf"}},
    };

    std::shared_ptr<FontFace> Lookup(const std::string& name) {
        const std::string_view family = FamilyFor(name);
        for (const Bundled& b : kBundled) {
            if (SameName(b.family, family)) {
                if (auto face = OpenBundled(b)) {
                    return face;
                }
            }
        }
        for (const Bundled& b : kBundled) {
            if (auto face = OpenBundled(b)) {
                return face;
            }
        }
        return nullptr;
    }

#ifdef TOLVANE_FONT_DIR
    std::shared_ptr<FontFace> OpenBundled(const Bundled& b) {
        for (std::string_view file : b.files) {
            if (auto face = Open(std::string(TOLVANE_FONT_DIR) + "/" + std::string(file), 0,
                                 std::string(b.family))) {
                return face;
            }
        }
        return nullptr;
    }
#else
    // No path at all: a folder the system's code page cannot spell opens the same.
    std::shared_ptr<FontFace> OpenBundled(const Bundled& b) {
        for (std::string_view file : b.files) {
            for (const EmbeddedFace& e : EmbeddedFaces()) {
                if (e.file == file) {
                    return Open(std::string(file), 0, std::string(b.family), e.data);
                }
            }
        }
        return nullptr;
    }
#endif
#else
    using Accept = std::function<bool(FcPattern*)>;
    using Pattern = std::unique_ptr<FcPattern, ReleaseWith<FcPatternDestroy>>;

    std::shared_ptr<FontFace> Lookup(const std::string& name) {
        if (!fontconfigReady_) {
            if (!FcInit()) {
                return nullptr;
            }
            // fontconfig keeps parts of its configuration behind encoded pointers that leak
            // checkers cannot follow; releasing it at exit keeps their reports clean. Nothing
            // here holds fontconfig objects between calls.
            std::atexit([] { FcFini(); });
            fontconfigReady_ = true;
        }
        const std::string family(FamilyFor(name));
        if (!family.empty()) {
            const auto isFamily = [&](FcPattern* match) {
                FcChar8* value = nullptr;
                for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch;
                     ++i) {
                    if (SameName(reinterpret_cast<const char*>(value), family)) {
                        return true;
                    }
                }
                return false;
            };
            if (auto face = Match(FC_FAMILY, family.c_str(), isFamily)) {
                return face;
            }
        }
        const auto isJapanese = [](FcPattern* match) {
            FcLangSet* langs = nullptr;
            return FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
                   FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) !=
                       FcLangDifferentLang;
        };
        if (auto face = Match(FC_LANG, "ja", isJapanese)) {
            return face;
        }
        const auto isMonospace = [](FcPattern* match) {
            int spacing = FC_PROPORTIONAL;
            return FcPatternGetInteger(match, FC_SPACING, 0, &spacing) == FcResultMatch &&
                   spacing != FC_PROPORTIONAL;
        };
        if (auto face = Match(FC_FAMILY, "monospace", isMonospace)) {
            return face;
        }
        return Match(nullptr, nullptr, [](FcPattern*) { return true; });
    }

    // fontconfig's best face for one property, when `accept` takes it and FreeType opens it.
    std::shared_ptr<FontFace> Match(const char* object, const char* value, const Accept& accept) {
        const Pattern pattern(FcPatternCreate());
        if (!pattern) {
            return nullptr;
        }
        if (object) {
            FcPatternAddString(pattern.get(), object, reinterpret_cast<const FcChar8*>(value));
        }
        FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        int index = 0;
        if (!match || !accept(match.get()) ||
            FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch ||
            FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch) {
            return nullptr;
        }
        FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
        return Open(reinterpret_cast<const char*>(file), index,
                    reinterpret_cast<const char*>(family));
    }

    bool fontconfigReady_ = false;
#endif

    // Opens `file`, or the face in `data` under that name when given.
    std::shared_ptr<FontFace> Open(const std::string& file, int index, const std::string& family,
                                   std::span<const unsigned char> data = {}) {
        const auto key = std::make_pair(file, index);
        if (const auto it = byFile_.find(key); it != byFile_.end()) {
            return it->second;
        }
        if (!library_) {
            FT_Library library = nullptr;
            if (!NewLibrary(&library)) {
                return nullptr;
            }
            library_.reset(library);
        }
        auto face = std::make_shared<FontFace>();
        FT_Face ft = nullptr;
        if ((data.empty()
                 ? FT_New_Face(library_.get(), file.c_str(), index, &ft)
                 : FT_New_Memory_Face(library_.get(), data.data(),
                                      static_cast<FT_Long>(data.size()), index, &ft)) != 0) {
            return nullptr;
        }
        face->face.reset(ft);
        face->family = family;
        face->file = file;
        face->index = index;
        byFile_[key] = face;
        return face;
    }

#ifdef TOLVANE_BUNDLED_FACES
    static bool NewLibrary(FT_Library* library) {
        static FT_MemoryRec_ memory{
            nullptr,
            [](FT_Memory, long size) { return std::malloc(static_cast<std::size_t>(size)); },
            [](FT_Memory, void* block) { std::free(block); },
            [](FT_Memory, long, long size, void* block) {
                return std::realloc(block, static_cast<std::size_t>(size));
            },
        };
        if (FT_New_Library(&memory, library) != 0) {
            return false;
        }
        for (const FT_Module_Class* module :
             {&tt_driver_class, &sfnt_module_class, &ft_smooth_renderer_class}) {
            if (FT_Add_Module(*library, module) != 0) {
                FT_Done_Library(*library);
                return false;
            }
        }
        FT_Set_Default_Properties(*library);
        return true;
    }
    // Released without the memory above, which is not the library's to free.
    using LibraryOwner = std::unique_ptr<FT_LibraryRec_, ReleaseWith<FT_Done_Library>>;
#else
    static bool NewLibrary(FT_Library* library) {
        return FT_Init_FreeType(library) == 0;
    }
    using LibraryOwner = std::unique_ptr<FT_LibraryRec_, ReleaseWith<FT_Done_FreeType>>;
#endif

    // Before the caches, so it would outlive the faces they hold.
    LibraryOwner library_;
    std::map<std::string, std::shared_ptr<FontFace>> byName_;
    std::map<std::pair<std::string, int>, std::shared_ptr<FontFace>> byFile_;
};

FontEngine& Engine() {
    static FontEngine* engine = new FontEngine;  // never destroyed, see FontEngine
    return *engine;
}

// The cell above and below the baseline as the desktop interface reports it for a font
// whose em is `pixelHeight`: the face's Windows ascent and descent scaled to the em, or
// FreeType's rounded metrics when the face has no such table. Called under the lock with
// the size set.
LineMetrics MetricsOf(FontFace& face, int pixelHeight) {
    if (const auto it = face.metrics.find(pixelHeight); it != face.metrics.end()) {
        return it->second;
    }
    LineMetrics m;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face.face.get(), FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && face.face->units_per_EM > 0) {
        const double scale = static_cast<double>(pixelHeight) / face.face->units_per_EM;
        m.ascent = static_cast<int>(std::lround(os2->usWinAscent * scale));
        m.descent = static_cast<int>(std::lround(os2->usWinDescent * scale));
    } else {
        m.ascent = static_cast<int>(face.face->size->metrics.ascender >> 6);
        m.descent = static_cast<int>(-face.face->size->metrics.descender >> 6);
    }
    face.metrics.emplace(pixelHeight, m);
    return m;
}

// Glyphs up to this many pixels are rasterised whole and kept; larger ones are rasterised
// part by part as they are drawn, and only their boxes are kept.
constexpr int kCachedGlyphPixels = 128 * 128;

// The box and advance of one glyph, from its loaded outline: what the rasteriser will fill.
// An empty box when the face cannot load the glyph. Called under the lock with the size set.
Glyph Measure(FontFace& face, char32_t codePoint) {
    Glyph glyph;
    if (FT_Load_Char(face.face.get(), codePoint, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) {
        glyph.rendered = true;  // nothing to draw
        return glyph;
    }
    const FT_GlyphSlot slot = face.face->glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.height = static_cast<int>(slot->bitmap.rows);
    glyph.rendered = glyph.width == 0 || glyph.height == 0;
    return glyph;
}

// Rasterises one glyph whole (greyscale, from the outline even where the face has bitmaps);
// an empty one when the face cannot. Called under the lock with the size set.
std::shared_ptr<const Glyph> Rasterise(FontFace& face, char32_t codePoint) {
    auto glyph = std::make_shared<Glyph>();
    glyph->rendered = true;
    if (FT_Load_Char(face.face.get(), codePoint,
                     FT_LOAD_RENDER | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) {
        return glyph;
    }
    const FT_GlyphSlot slot = face.face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph->width = static_cast<int>(bitmap.width);
    glyph->height = static_cast<int>(bitmap.rows);
    glyph->coverage.resize(static_cast<std::size_t>(glyph->width) * glyph->height);
    for (int y = 0; y < glyph->height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph->width; ++x) {
            std::uint8_t value = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                value = static_cast<std::uint8_t>(
                    bitmap.num_grays == 256 ? row[x] : row[x] * 255 / (bitmap.num_grays - 1));
            } else if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                value = (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
            }
            glyph->coverage[static_cast<std::size_t>(y) * glyph->width + x] = value;
        }
    }
    return glyph;
}

// Rasterises `part` of a glyph whose whole box is `whole`: the outline is moved so that the
// part's top-left pixel lands on the target's, and the rasteriser clips to the target. It
// sums each pixel's area from the outline itself, and carries what lies left of the target
// into its first column, so every pixel comes out as in the whole glyph. Outlines that
// overlap themselves are rasterised another way by FreeType, so those are cut from the
// whole glyph. Called under the lock with the size set.
std::shared_ptr<const Glyph> RasterisePart(FontFace& face, char32_t codePoint, const Glyph& whole,
                                           const Rect& part) {
    auto glyph = std::make_shared<Glyph>();
    glyph->left = whole.left + part.left;
    glyph->top = whole.top - part.top;
    glyph->width = part.Width();
    glyph->height = part.Height();
    glyph->advance = whole.advance;
    glyph->rendered = true;
    glyph->coverage.assign(static_cast<std::size_t>(glyph->width) * glyph->height, 0);
    if (FT_Load_Char(face.face.get(), codePoint, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0 ||
        face.face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        return glyph;
    }
    const FT_GlyphSlot slot = face.face->glyph;
    FT_Outline& outline = slot->outline;
    if (outline.flags & FT_OUTLINE_OVERLAP) {
        const std::shared_ptr<const Glyph> full = Rasterise(face, codePoint);
        for (int y = 0; y < glyph->height; ++y) {
            std::copy_n(full->coverage.data() +
                            static_cast<std::size_t>(y + part.top) * full->width + part.left,
                        glyph->width,
                        glyph->coverage.data() + static_cast<std::size_t>(y) * glyph->width);
        }
        return glyph;
    }
    // The rasteriser counts rows up from the target's bottom edge.
    FT_Outline_Translate(&outline, -64 * static_cast<FT_Pos>(glyph->left),
                         64 * static_cast<FT_Pos>(glyph->height - glyph->top));
    FT_Bitmap target{};
    target.rows = static_cast<unsigned>(glyph->height);
    target.width = static_cast<unsigned>(glyph->width);
    target.pitch = glyph->width;
    target.buffer = glyph->coverage.data();
    target.num_grays = 256;
    target.pixel_mode = FT_PIXEL_MODE_GRAY;
    FT_Raster_Params params{};
    params.target = &target;
    params.source = &outline;
    params.flags = FT_RASTER_FLAG_AA;
    if (FT_Outline_Render(slot->library, &outline, &params) != 0) {
        std::fill(glyph->coverage.begin(), glyph->coverage.end(), 0);
    }
    return glyph;
}

}  // namespace

std::shared_ptr<FontFace> ResolveFace(const std::string& name) {
    FontEngine& engine = Engine();
    std::lock_guard lock(engine.mutex);
    return engine.Resolve(name);
}

TextRun LayoutText(FontFace& face, int pixelHeight, std::u32string_view text) {
    pixelHeight = std::clamp(pixelHeight, 1, kMaxPixelHeight);
    TextRun run;
    run.pixelHeight = pixelHeight;
    std::lock_guard lock(Engine().mutex);
    if (FT_Set_Pixel_Sizes(face.face.get(), 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
        return run;
    }
    const LineMetrics metrics = MetricsOf(face, pixelHeight);
    run.ascent = metrics.ascent;
    run.descent = metrics.descent;
    int pen = 0;
    for (const char32_t c : text) {
        if (c < 0x20 || c == 0x7F) {
            continue;  // control characters take no room on a single line
        }
        const std::uint32_t key = GlyphKey(pixelHeight, c);
        auto it = face.glyphs.find(key);
        if (it == face.glyphs.end()) {
            if (face.glyphs.size() >= kMaxGlyphs) {
                face.glyphs.clear();
            }
            it = face.glyphs.emplace(key, std::make_shared<const Glyph>(Measure(face, c))).first;
        }
        run.glyphs.push_back({pen, c, it->second});
        pen += it->second->advance;
    }
    run.width = pen;
    return run;
}

std::shared_ptr<const Glyph> RenderGlyph(FontFace& face, const TextRun& run,
                                         const TextRun::Placed& placed, const Rect& part) {
    const Glyph& whole = *placed.glyph;
    if (whole.rendered) {
        return placed.glyph;
    }
    std::lock_guard lock(Engine().mutex);
    if (FT_Set_Pixel_Sizes(face.face.get(), 0, static_cast<FT_UInt>(run.pixelHeight)) != 0) {
        return std::make_shared<const Glyph>();
    }
    if (std::int64_t{whole.width} * whole.height > kCachedGlyphPixels) {
        return part == Rect{0, 0, whole.width, whole.height}
                   ? Rasterise(face, placed.code)
                   : RasterisePart(face, placed.code, whole, part);
    }
    const std::uint32_t key = GlyphKey(run.pixelHeight, placed.code);
    const auto it = face.glyphs.find(key);
    if (it != face.glyphs.end() && it->second->rendered) {
        return it->second;
    }
    std::shared_ptr<const Glyph> glyph = Rasterise(face, placed.code);
    if (it != face.glyphs.end()) {
        it->second = glyph;
    }
    return glyph;
}

std::string Font::FamilyName() const {
    return face_ ? face_->family : std::string();
}

}  // namespace gfx
