#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Types.h"

namespace sys {

// What a dialog control is; the window layer draws and clicks each kind its own way.
enum class ControlKind {
    Static,         // a line of text
    Button,         // a push button
    DefaultButton,  // the push button Enter presses
    Icon,           // an icon bitmap, drawn at its own size
};

// One control of a dialog template; its rectangle is in dialog units.
struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0;
    bool visible = false;
    bool enabled = false;
    int icon = 0;  // the bitmap an Icon control shows
};

struct DialogTemplate {
    int id = 0;
    int cx = 0, cy = 0;  // client size in dialog units
    std::string caption;
    std::string fontFace;
    int fontPoints = 9;
    std::vector<ControlTemplate> controls;
};

struct BitmapResource {
    int id;
    std::span<const std::uint8_t> bmp;  // a complete BMP file
};

struct StringResource {
    int id;
    const char* text;  // UTF-8
};

// Everything a program embeds; the program installs its table once at start-up.
struct ResourceTable {
    std::span<const BitmapResource> bitmaps;  // icons are bitmaps too
    std::span<const StringResource> strings;
    std::span<const DialogTemplate> dialogs;
};

void InstallResources(const ResourceTable* table);

// The string, or "" when there is none with that id.
std::string LoadString(int id);
// The template, or nullptr.
const DialogTemplate* FindDialog(int id);
// The embedded BMP file, or an empty span.
std::span<const std::uint8_t> FindBitmapData(int id);
// Decodes bitmap `id` into 32-bit Colour pixels. Returns false (and leaves `out` empty) when
// the bitmap is missing or cannot be decoded.
bool LoadBitmap(int id, gfx::Bitmap& out);
// Decodes bitmap `id` as an icon is drawn: `image` holds its colours with every transparent
// pixel (alpha below one half) black, `mask` is white where it is transparent and black where
// it is opaque. A bitmap without alpha is opaque throughout. Returns false (and leaves both
// empty) as LoadBitmap does.
bool LoadIcon(int id, gfx::Bitmap& image, gfx::Bitmap& mask);

// Dialog units to pixels with the base units 6 x 12 (x * 6 / 4, y * 12 / 8), each edge
// rounded half away from zero as MulDiv does.
int MulDiv(int number, int numerator, int denominator);
gfx::Rect DialogUnitsToPixels(int x, int y, int cx, int cy);

}  // namespace sys
