// Build-time tool: rasterises, with the desktop's own text engine (fontconfig's faces,
// FreeType), every character the game draws at every size it draws it, and writes them as a
// source of BakedGlyphs.h's data, from which a page draws the same pixels without FreeType.
//
//   bake_glyphs <out.cpp> (<characters, UTF-8> <face name>=<tenths of a point>[,<tenths>...])...
//
// Each face is baked at its sizes with the characters of the file before it.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/graphics/FontEngine.h"
#include "platform/graphics/GdiObjects.h"

namespace {

// One face's sizes, each with its glyphs.
struct Size {
    gfx::TextRun run;
    std::vector<std::shared_ptr<const gfx::Glyph>> glyphs;
};

// The coverage in BakedGlyphs.h's runs.
void Encode(const std::vector<std::uint8_t>& coverage, std::vector<std::uint8_t>& out) {
    for (std::size_t i = 0; i < coverage.size();) {
        const std::uint8_t value = coverage[i];
        if (value != 0 && value != 255) {
            out.push_back(value);
            ++i;
            continue;
        }
        std::size_t n = 1;
        while (n < 255 && i + n < coverage.size() && coverage[i + n] == value) {
            ++n;
        }
        out.push_back(value);
        out.push_back(static_cast<std::uint8_t>(n));
        i += n;
    }
}

}  // namespace

// The characters of a UTF-8 file, sorted, each once.
std::u32string ReadCharacters(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::u32string characters = gfx::DecodeUtf8(utf8);
    std::sort(characters.begin(), characters.end());
    characters.erase(std::unique(characters.begin(), characters.end()), characters.end());
    return characters;
}

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr,
                     "usage: %s <out.cpp> (<characters> <face>=<tenths>[,<tenths>]...)...\n",
                     argv[0]);
        return 2;
    }
    // By family (two names may stand for one), in the order first named; sizes by pixel height.
    std::vector<std::string> families;
    std::map<std::string, std::map<int, Size>> faces;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::u32string characters = ReadCharacters(argv[i]);
        const std::string arg = argv[i + 1];
        const std::size_t equals = arg.rfind('=');
        if (equals == std::string::npos) {
            std::fprintf(stderr, "bake_glyphs: %s is not <face>=<tenths>\n", argv[i + 1]);
            return 2;
        }
        const std::string name = arg.substr(0, equals);
        std::istringstream sizes(arg.substr(equals + 1));
        for (std::string tenths; std::getline(sizes, tenths, ',');) {
            const gfx::Font font(std::stoi(tenths), name);
            if (!font.Face()) {
                std::fprintf(stderr, "bake_glyphs: no face for %s\n", name.c_str());
                return 1;
            }
            const std::string family = font.FamilyName();
            if (std::find(families.begin(), families.end(), family) == families.end()) {
                families.push_back(family);
            }
            Size& size = faces[family][font.PixelHeight()];
            size.run = gfx::LayoutText(*font.Face(), font.PixelHeight(), characters);
            size.glyphs.clear();
            for (const gfx::TextRun::Placed& placed : size.run.glyphs) {
                const gfx::Glyph& box = *placed.glyph;
                size.glyphs.push_back(gfx::RenderGlyph(*font.Face(), size.run, placed,
                                                       gfx::Rect{0, 0, box.width, box.height}));
            }
        }
    }

    std::vector<std::uint8_t> coverage;
    std::ostringstream glyphs, sizes, names;
    std::size_t glyphCount = 0, sizeCount = 0;
    for (const std::string& family : families) {
        names << "    {\"" << family << "\", " << sizeCount << ", " << faces[family].size()
              << "},\n";
        for (const auto& [pixelHeight, size] : faces[family]) {
            sizes << "    {" << pixelHeight << ", " << size.run.ascent << ", " << size.run.descent
                  << ", " << glyphCount << ", " << size.glyphs.size() << "},\n";
            ++sizeCount;
            for (std::size_t i = 0; i < size.glyphs.size(); ++i) {
                const gfx::Glyph& g = *size.glyphs[i];
                glyphs << "    {" << static_cast<unsigned long>(size.run.glyphs[i].code) << ", "
                       << g.left << ", " << g.top << ", " << g.width << ", " << g.height << ", "
                       << g.advance << ", " << coverage.size() << "},\n";
                Encode(g.coverage, coverage);
                ++glyphCount;
            }
        }
    }
    std::ostringstream out;
    out << "// Written by bake_glyphs at build time.\n"
           "#include \"platform/graphics/baked/BakedGlyphs.h\"\n\n"
           "namespace gfx::baked {\n\n"
           "const std::uint8_t kCoverage[] = {";
    for (std::size_t i = 0; i < coverage.size(); ++i) {
        out << (i % 24 == 0 ? "\n    " : " ") << static_cast<int>(coverage[i]) << ",";
    }
    out << "\n};\n\nconst BakedGlyph kGlyphs[] = {\n"
        << glyphs.str() << "};\n\nconst BakedSize kSizes[] = {\n"
        << sizes.str() << "};\n\nconst BakedFace kFaces[] = {\n"
        << names.str() << "};\n\nconst std::size_t kFaceCount = " << families.size()
        << ";\n\n}  // namespace gfx::baked\n";
    std::ofstream(argv[1], std::ios::binary) << out.str();
    std::printf("bake_glyphs: %zu glyphs in %zu sizes of %zu faces, %zu bytes of coverage\n",
                glyphCount, sizeCount, families.size(), coverage.size());
    return 0;
}
