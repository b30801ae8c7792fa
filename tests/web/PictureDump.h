#pragma once

// The text form in which the dump programs print what they draw: a picture is a line with its
// name and size, then one line per pixel row with six hexadecimal digits (0xBBGGRR) per pixel,
// so two builds' pictures compare with diff and the browser test reads them back; a rectangle
// is one line with its name and edges.

#include <cstdio>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Types.h"

namespace dump {

inline void PrintRect(const char* name, const gfx::Rect& r) {
    std::printf("rect %s %d %d %d %d\n", name, r.left, r.top, r.right, r.bottom);
}

inline void PrintPicture(const char* name, const gfx::Bitmap& surface) {
    std::printf("%s %dx%d\n", name, surface.Width(), surface.Height());
    std::string row;
    for (int y = 0; y < surface.Height(); ++y) {
        row.clear();
        for (int x = 0; x < surface.Width(); ++x) {
            char pixel[8];
            std::snprintf(pixel, sizeof pixel, "%06X", surface.GetPixel(x, y));
            row += pixel;
        }
        std::printf("%s\n", row.c_str());
    }
}

}  // namespace dump
