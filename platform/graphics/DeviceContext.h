#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GdiObjects.h"
#include "platform/graphics/Types.h"

namespace gfx {

// Raster mix modes for pen and brush drawing.
constexpr int R2_XORPEN = 7;
constexpr int R2_COPYPEN = 13;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Block-transfer raster operations.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;   // dest = src
constexpr std::uint32_t SRCPAINT = 0x00EE0086;  // dest = dest | src
constexpr std::uint32_t SRCAND = 0x008800C6;    // dest = dest & src

// Text format flags; the game uses DT_CENTER | DT_VCENTER | DT_SINGLELINE (0x25).
// Every text is drawn as one line; without DT_CENTER / DT_RIGHT it starts at the left edge,
// without DT_VCENTER / DT_BOTTOM at the top edge.
constexpr unsigned DT_LEFT = 0x00;
constexpr unsigned DT_TOP = 0x00;
constexpr unsigned DT_CENTER = 0x01;
constexpr unsigned DT_RIGHT = 0x02;
constexpr unsigned DT_VCENTER = 0x04;
constexpr unsigned DT_BOTTOM = 0x08;
constexpr unsigned DT_SINGLELINE = 0x20;

class Coverage;
struct Rasterisers;

// A software device context with the drawing rules of the desktop graphics interface it
// replaces. It draws into the bitmap selected into it (and nothing when none is), clipped to
// that bitmap. It owns none of the objects selected into it.
//
// A new context has a black 1-px pen, a white brush, a default font, copy mode, opaque
// background mode, a white background colour, black text and the current position (0, 0).
//
// Shapes: Rectangle and Ellipse outline the pixels of their box without its right column and
// bottom row and fill them with the brush; a wider pen is centred on that outline, so it
// reaches outside the box. A 1-px line leaves out its end point; a wider pen draws a line
// with rounded ends, both included. Polygon fills by the alternate (even-odd) rule. Pen and
// brush drawing both go through the raster mix mode; where a pen lies over a brush, the
// brush is painted first (Shapes.cpp states each rule where it is applied, and its
// rasterisers, one file each, name the algorithms).
class DeviceContext {
public:
    DeviceContext();
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // Makes this a fresh memory context (default state, nothing selected).
    bool CreateCompatibleDC(const DeviceContext* target);
    void DeleteDC();

    // Selecting returns the previously selected object (never null: the stock objects).
    Bitmap* SelectObject(Bitmap* bitmap);
    Pen* SelectObject(Pen* pen);
    Brush* SelectObject(Brush* brush);
    Font* SelectObject(Font* font);
    Bitmap* GetBitmap() const { return bitmap_; }

    // Only R2_COPYPEN and R2_XORPEN exist here; another mode is refused (returns 0, the mode
    // stays). Otherwise returns the previous mode.
    int SetROP2(int mode);
    int GetROP2() const { return rop2_; }
    Colour SetBkColor(Colour c);
    Colour GetBkColor() const { return bkColour_; }
    int SetBkMode(int mode);
    int GetBkMode() const { return bkMode_; }
    Colour SetTextColor(Colour c);
    Colour GetTextColor() const { return textColour_; }

    Point MoveTo(int x, int y);  // returns the previous position
    Point GetCurrentPosition() const { return pos_; }
    void LineTo(int x, int y);

    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const Rect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const Rect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
    // The elliptic arc of the box, counter-clockwise from the radial through (x1, y1) to the
    // radial through (x2, y2), drawn with the pen. Equal points draw the whole ellipse.
    void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    void Polygon(const Point* points, int count);

    // Ignores the raster mix mode, as the desktop interface does. Returns the colour set, or
    // kInvalidColour outside the surface.
    Colour SetPixel(int x, int y, Colour c);
    Colour GetPixel(int x, int y) const;  // kInvalidColour outside the surface

    // Copies w x h pixels from `src` at (xSrc, ySrc) to (x, y) with SRCCOPY, SRCPAINT or
    // SRCAND, clipped to both surfaces. Returns false for an unknown operation or no bitmap.
    bool BitBlt(int x, int y, int w, int h, const DeviceContext* src, int xSrc, int ySrc,
                std::uint32_t rop);

    // Draws one line of text in `rect` with the selected font and text colour. With
    // DT_CENTER | DT_VCENTER | DT_SINGLELINE the text is centred on the font's ascent+descent
    // box and clipped to the rectangle. Glyphs are greyscale-antialiased; with a transparent
    // background only glyph pixels change, with an opaque one the text box is first filled
    // with the background colour. Returns the text height in pixels, or with DT_VCENTER or
    // DT_BOTTOM the distance from the rectangle's top to the bottom of the text.
    int DrawText(const std::string& utf8, const Rect& rect, unsigned format);
    // Width and height of one line of text in the selected font.
    Point GetTextExtent(const std::string& utf8) const;

private:
    void Reset();
    const Font& CurrentFont() const;
    Rect SurfaceRect() const { return {0, 0, bitmap_->Width(), bitmap_->Height()}; }
    // Pen and brush drawing: every pixel goes through the raster mix mode, clipped to the
    // surface. A shape calls these at most once per pixel.
    void PaintPixel(int x, int y, Colour c);
    void PaintSpan(int y, int x0, int x1, Colour c);  // pixels x0..x1-1 of row y
    void FillBlock(const Rect& r, Colour c);
    void Paint(const Coverage& coverage);

    Bitmap* bitmap_;
    Pen* pen_;
    Brush* brush_;
    Font* font_;  // nullptr: the stock font, resolved on first use
    int rop2_;
    int bkMode_;
    Colour bkColour_;
    Colour textColour_;
    Point pos_;
    std::unique_ptr<Rasterisers> rasterisers_;  // the shapes' scratch space, kept between calls
};

}  // namespace gfx
