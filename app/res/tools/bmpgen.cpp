// Build-time tool: turns the text pixel art of app/res into the game's BMP resources and a C++
// source that embeds their bytes, so the program itself reads no files.
//
//   bmpgen <out-dir> <out.cpp> <bird0.txt> <bird1.txt> <icon.txt>
//   bmpgen --icons <out-dir> <icon.txt> <size>...
//   bmpgen --ico <out.ico> <icon.txt> <size>...
//
// Each chick frame gives two bitmaps: a 4-bit mask (white where the chick is, grey on its halo
// pixels, black elsewhere) and an 8-bit colour image (the chick on the frame's background).
// Both come from the same characters, so the mask's white area is always exactly the colour
// image's non-background area. The icon is a 32-bit BMP whose fourth byte is alpha.
//
// With --icons it writes the icon as <size>.png for each size instead, scaled with nearest
// neighbour so the pixel art stays crisp, for the desktop's icon theme; with --ico, all of them
// in one Windows icon file, for the Windows program's icon resource.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/res/resource.h"
#include "app/res/tools/PngFile.h"
#include "platform/graphics/BmpFile.h"

namespace {

enum class Role { Chick, Background, Halo, Transparent };

struct Ink {
    std::uint32_t rgb = 0;  // 0xRRGGBB, as written in the art
    Role role = Role::Chick;
};

struct Art {
    std::string path;
    std::vector<char> order;  // palette characters in the order written
    std::map<char, Ink> palette;
    std::vector<std::string> rows;

    int Width() const { return rows.empty() ? 0 : static_cast<int>(rows[0].size()); }
    int Height() const { return static_cast<int>(rows.size()); }
    const Ink& At(int x, int y) const { return palette.at(rows[y][x]); }
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw std::runtime_error(where + ": " + what);
}

// Format: '#' starts a comment line; "palette" opens lines "<char> <RRGGBB> <name>", where the
// names "background", "halo" and "transparent" give a role and any other name is a chick
// colour; "pixels" opens the rows, one text line per pixel row.
Art ReadArt(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        Fail(path, "cannot open");
    }
    Art art;
    art.path = path;
    enum { None, Palette, Pixels } section = None;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string where = path + ":" + std::to_string(lineNo);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line == "palette") {
            section = Palette;
            continue;
        }
        if (line == "pixels") {
            section = Pixels;
            continue;
        }
        if (section == Palette) {
            std::istringstream words(line.substr(1));
            std::string hex, name;
            words >> hex >> name;
            if (line.size() < 2 || line[1] != ' ' || hex.size() != 6 ||
                hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
                name.empty()) {
                Fail(where, "expected \"<char> <RRGGBB> <name>\"");
            }
            Ink ink;
            ink.rgb = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
            ink.role = name == "background"    ? Role::Background
                       : name == "halo"        ? Role::Halo
                       : name == "transparent" ? Role::Transparent
                                               : Role::Chick;
            if (!art.palette.emplace(line[0], ink).second) {
                Fail(where, std::string("character '") + line[0] + "' defined twice");
            }
            art.order.push_back(line[0]);
        } else if (section == Pixels) {
            for (char c : line) {
                if (art.palette.count(c) == 0) {
                    Fail(where, std::string("character '") + c + "' is not in the palette");
                }
            }
            if (!art.rows.empty() && line.size() != art.rows[0].size()) {
                Fail(where, "row length differs from the first row");
            }
            art.rows.push_back(line);
        } else {
            Fail(where, "text before \"palette\"");
        }
    }
    if (art.rows.empty()) {
        Fail(path, "no pixels");
    }
    return art;
}

void RequireSize(const Art& art, int width, int height) {
    if (art.Width() != width || art.Height() != height) {
        Fail(art.path, "must be " + std::to_string(width) + " x " + std::to_string(height));
    }
}

// The frame's background colour; also checks that no chick colour could be mistaken for it,
// which would make the mask and the colour image disagree.
std::uint32_t BackgroundOf(const Art& art) {
    int count = 0;
    std::uint32_t background = 0;
    for (const auto& [c, ink] : art.palette) {
        if (ink.role == Role::Background) {
            background = ink.rgb;
            ++count;
        } else if (ink.role == Role::Transparent) {
            Fail(art.path, "a chick frame has no transparent colour");
        }
    }
    if (count != 1) {
        Fail(art.path, "needs exactly one background colour");
    }
    for (const auto& [c, ink] : art.palette) {
        if (ink.role == Role::Halo && ink.rgb != background) {
            Fail(art.path, "a halo colour must equal the background");
        }
        if (ink.role == Role::Chick && ink.rgb == background) {
            Fail(art.path, std::string("chick colour '") + c + "' equals the background");
        }
    }
    return background;
}

// The 16-colour palette the masks use; black, grey and white are the ones they draw with.
const std::vector<std::uint32_t> kVgaPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr std::uint32_t kMaskBlack = 0;
constexpr std::uint32_t kMaskGrey = 8;
constexpr std::uint32_t kMaskWhite = 15;

std::vector<std::uint8_t> MaskBmp(const Art& art) {
    return gfx::EncodeBmp(art.Width(), art.Height(), 4, kVgaPalette, [&](int x, int y) {
        switch (art.At(x, y).role) {
            case Role::Chick:
                return kMaskWhite;
            case Role::Halo:
                return kMaskGrey;
            default:
                return kMaskBlack;
        }
    });
}

std::vector<std::uint8_t> ColourBmp(const Art& art) {
    // Index 0 is the background (halo pixels too); the chick's colours follow in palette order.
    std::vector<std::uint32_t> palette{BackgroundOf(art)};
    std::map<char, std::uint32_t> index;
    for (char c : art.order) {
        const Ink& ink = art.palette.at(c);
        if (ink.role != Role::Chick) {
            index[c] = 0;
            continue;
        }
        std::uint32_t i = 0;
        while (i < palette.size() && (i == 0 || palette[i] != ink.rgb)) {
            ++i;
        }
        if (i == palette.size()) {
            palette.push_back(ink.rgb);
        }
        index[c] = i;
    }
    palette.resize(256, 0);
    return gfx::EncodeBmp(art.Width(), art.Height(), 8, palette,
                          [&](int x, int y) { return index.at(art.rows[y][x]); });
}

std::vector<std::uint8_t> IconBmp(const Art& art) {
    for (const auto& [c, ink] : art.palette) {
        if (ink.role == Role::Background || ink.role == Role::Halo) {
            Fail(art.path, "the icon uses \"transparent\", not background or halo");
        }
    }
    // Transparent pixels keep their colour, so a reader that ignores alpha still shows a
    // tidy square.
    return gfx::EncodeBmp(art.Width(), art.Height(), 32, {}, [&](int x, int y) {
        const Ink& ink = art.At(x, y);
        const std::uint32_t alpha = ink.role == Role::Transparent ? 0x00 : 0xFF;
        return (alpha << 24) | ink.rgb;
    });
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        Fail(path, "cannot write");
    }
}

// The icon at size x size, each pixel taken from the art pixel it falls in.
std::vector<std::uint8_t> IconPng(const Art& art, int size) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Ink& ink = art.At(x * art.Width() / size, y * art.Height() / size);
            const std::uint8_t alpha = ink.role == Role::Transparent ? 0x00 : 0xFF;
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(ink.rgb >> 16),
                                     static_cast<std::uint8_t>(ink.rgb >> 8),
                                     static_cast<std::uint8_t>(ink.rgb), alpha});
        }
    }
    return png::Encode(size, size, rgba);
}

// A Windows icon file of PNG images, one per size (at most 256): the 6-byte header, a
// 16-byte entry per image (a width or height of 256 written as 0), then the images.
std::vector<std::uint8_t> IconFile(
    const std::vector<std::pair<int, std::vector<std::uint8_t>>>& pngs) {
    std::vector<std::uint8_t> out;
    const auto le = [&out](std::uint32_t x, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
        }
    };
    le(0, 2);
    le(1, 2);  // an icon
    le(static_cast<std::uint32_t>(pngs.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pngs.size());
    for (const auto& [size, png] : pngs) {
        le(size % 256, 1);
        le(size % 256, 1);
        le(0, 2);   // no palette, reserved
        le(1, 2);   // planes
        le(32, 2);  // bits per pixel
        le(static_cast<std::uint32_t>(png.size()), 4);
        le(offset, 4);
        offset += static_cast<std::uint32_t>(png.size());
    }
    for (const auto& image : pngs) {
        out.insert(out.end(), image.second.begin(), image.second.end());
    }
    return out;
}

// --icons: <size>.png in the folder for each size; --ico: one icon file of them all.
int WriteIcons(int argc, char** argv) {
    const bool ico = std::string(argv[1]) == "--ico";
    if (argc < 5) {
        std::cerr << "usage: bmpgen --icons <out-dir> <icon.txt> <size>...\n"
                  << "       bmpgen --ico <out.ico> <icon.txt> <size>...\n";
        return 2;
    }
    const Art icon = ReadArt(argv[3]);
    RequireSize(icon, 32, 32);
    std::vector<std::pair<int, std::vector<std::uint8_t>>> pngs;
    for (int i = 4; i < argc; ++i) {
        const int size = std::stoi(argv[i]);
        if (size < 1 || size > (ico ? 256 : 1024)) {
            Fail(argv[i], "icon size out of range");
        }
        pngs.emplace_back(size, IconPng(icon, size));
        if (!ico) {
            WriteFile(std::string(argv[2]) + "/" + argv[i] + ".png", pngs.back().second);
        }
    }
    if (ico) {
        WriteFile(argv[2], IconFile(pngs));
    }
    return 0;
}

struct Output {
    int id;
    std::vector<std::uint8_t> bytes;
};

std::string EmbeddingSource(const std::vector<Output>& outputs) {
    std::ostringstream s;
    s << "// Generated by app/res/tools/bmpgen from the pixel art in app/res. Do not edit.\n\n"
      << "#include \"app/res/EmbeddedBitmaps.h\"\n\n"
      << "namespace {\n\n";
    for (const Output& o : outputs) {
        s << "const std::uint8_t kBitmap" << o.id << "[" << o.bytes.size() << "] = {";
        for (std::size_t i = 0; i < o.bytes.size(); ++i) {
            s << (i % 16 == 0 ? "\n   " : "");
            char hex[8];
            std::snprintf(hex, sizeof hex, " 0x%02X,", o.bytes[i]);
            s << hex;
        }
        s << "\n};\n\n";
    }
    s << "const sys::BitmapResource kBitmaps[] = {\n";
    for (const Output& o : outputs) {
        s << "    {" << o.id << ", kBitmap" << o.id << "},\n";
    }
    s << "};\n\n}  // namespace\n\n"
      << "std::span<const sys::BitmapResource> EmbeddedBitmaps() { return kBitmaps; }\n";
    return s.str();
}

// The game's resources: the BMP files and the source that embeds them.
int WriteResources(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: bmpgen <out-dir> <out.cpp> <bird0.txt> <bird1.txt> <icon.txt>\n";
        return 2;
    }
    const std::string outDir = argv[1];
    const Art frame0 = ReadArt(argv[3]);
    const Art frame1 = ReadArt(argv[4]);
    const Art icon = ReadArt(argv[5]);
    RequireSize(frame0, 40, 40);
    RequireSize(frame1, 40, 40);
    RequireSize(icon, 32, 32);

    const std::vector<Output> outputs = {
        {IDR_MAINFRAME, IconBmp(icon)},    {IDB_BIRD_MASK0, MaskBmp(frame0)},
        {IDB_BIRD_MASK1, MaskBmp(frame1)}, {IDB_BIRD0, ColourBmp(frame0)},
        {IDB_BIRD1, ColourBmp(frame1)},
    };
    for (const Output& o : outputs) {
        WriteFile(outDir + "/" + std::to_string(o.id) + ".bmp", o.bytes);
    }
    const std::string source = EmbeddingSource(outputs);
    WriteFile(argv[2], std::vector<std::uint8_t>(source.begin(), source.end()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc > 1 && (std::string(argv[1]) == "--icons" || std::string(argv[1]) == "--ico")) {
            return WriteIcons(argc, argv);
        }
        return WriteResources(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "bmpgen: " << e.what() << "\n";
        return 1;
    }
}
