#pragma once

#include <string>

#include "platform/graphics/DeviceContext.h"

// A light drawing wrapper over a device context that somebody else owns: each operation
// brings its own pen, brush or font, draws one shape or one line of text and releases what it
// created, leaving the context's pen, brush and font as it found them. Lasting changes: after
// an operation that uses a drawing tool the context is in copy mode with a black background
// colour; after a text operation its background mode is transparent.
//
// Operations with a drawing tool draw in XOR when the context was built with the XOR flag;
// the panel edges, triangles, polygons, gradients, pixels and the seed fill never do.
class CSerrikDC {
public:
    // The face every text is drawn in (UTF-8; the platform maps it to an installed gothic face).
    static constexpr const char* kTextFace = "ＭＳ ゴシック";

    // `pDC` must not be null (debug assertion). The anchor starts at (0, 0).
    CSerrikDC(gfx::DeviceContext* pDC, int bXor);
    virtual ~CSerrikDC() = default;

    // Outlined in the pen colour and filled with the brush colour, right column and bottom
    // row left out.
    void DrawRect(gfx::Rect rc, gfx::Colour penColour, gfx::Colour brushColour);
    // A face-coloured rectangle with a light top-left edge and a dark bottom-right edge.
    void DrawRaisedPanel(gfx::Rect rc, gfx::Colour faceColour);
    // As the raised panel with the edge colours swapped.
    void DrawSunkenPanel(gfx::Rect rc, gfx::Colour faceColour);
    // Cells of about `cellSize` pixels laid out by CRect2, the first colour where row + column
    // is even. A non-positive cell size draws nothing.
    void DrawChecker(gfx::Rect rc, gfx::Colour first, gfx::Colour second, int cellSize);

    void DrawLine(int x1, int y1, int x2, int y2, gfx::Colour colour, int penWidth);
    // The closed outline through (x1, y1), (x2, y1), (x2, y2) and (x1, y2).
    void DrawFrame(int x1, int y1, int x2, int y2, gfx::Colour colour, int penWidth);
    // A filled ellipse in the box (x - r, y - r, x + r, y + r).
    void DrawCircle(int x, int y, int r, gfx::Colour penColour, gfx::Colour brushColour);
    void DrawCircle(gfx::Point centre, int r, gfx::Colour penColour, gfx::Colour brushColour);
    void DrawEllipse(gfx::Rect rc, gfx::Colour penColour, gfx::Colour brushColour);
    void DrawCircleOutline(int x, int y, int r, gfx::Colour colour);
    void DrawEllipseOutline(gfx::Rect rc, gfx::Colour colour);

    // Direction 0 points up, 1 right, 2 and 3 left; any other direction draws nothing.
    void DrawTriangle(gfx::Rect rc, gfx::Colour colour, int direction);
    void DrawPentagon(gfx::Rect rc, gfx::Colour colour);
    // A regular polygon inscribed in the rectangle; fewer than 3 vertices draw nothing.
    void DrawPolygon(gfx::Rect rc, gfx::Colour colour, int n);
    // The n vertices of DrawPolygon, the first at the right edge halfway down, then clockwise
    // on the screen. `out` receives n points.
    static void PolygonVertices(gfx::Rect rc, int n, gfx::Point* out);

    // From black at the left (top) edge towards the colour, (W - 1) / W of it at the last
    // column (row).
    void DrawGradientH(gfx::Rect rc, gfx::Colour colour);
    void DrawGradientV(gfx::Rect rc, gfx::Colour colour);

    // One line of text, `size` in tenths of a point, centred on (x, y) and clipped to a square
    // whose side is `size` taken as pixels.
    void DrawTextAt(int x, int y, const std::string& text, int size, gfx::Colour colour);
    // One line of text centred in the rectangle and clipped to it.
    void DrawTextInRect(gfx::Rect rc, const std::string& text, int size, gfx::Colour colour);

    void SetPixelAt(int x, int y, gfx::Colour colour);
    void SetPixelAt(gfx::Point pt, gfx::Colour colour);

    // Fills with `colour` the pixels of the seed's colour, one run per row strictly between
    // rc.left and rc.right, following each run's midpoint downwards and then upwards until
    // a midpoint pixel differs or the walk reaches rc.top or rc.bottom: no pixel outside rc
    // changes. A seed outside rc or off the surface draws nothing.
    void FillArea(gfx::Rect rc, int x, int y, gfx::Colour colour);

    // Stores the start point of the following DrawLineFromAnchor calls; draws nothing.
    void SetAnchor(int x, int y);
    void SetAnchor(gfx::Point pt);
    // A line from the anchor, which stays where it is: consecutive calls draw a fan.
    void DrawLineFromAnchor(int x, int y, gfx::Colour colour, int penWidth);
    void DrawLineFromAnchor(gfx::Point pt, gfx::Colour colour, int penWidth);

private:
    void DrawPanel(gfx::Rect rc, gfx::Colour faceColour, gfx::Colour topLeft,
                   gfx::Colour bottomRight);
    // A filled polygon with a pen and brush selected directly: no tool, raster mode untouched.
    void FillPolygon(const gfx::Point* points, int count, gfx::Colour colour);
    // Lines across (columns) or down (rows) the rectangle.
    void DrawGradient(gfx::Rect rc, gfx::Colour colour, bool across);
    void DrawGradientLine(int x1, int y1, int x2, int y2, gfx::Colour colour);
    void DrawTextBox(gfx::Rect box, const std::string& text, int size, gfx::Colour colour);
    // One row step of FillArea: paints the run through (x, y), then moves on to the next
    // row in direction `dir` while the run's midpoint there has the target colour.
    void FillRun(int x, int y, gfx::Rect rc, int dir, gfx::Colour target, gfx::Colour colour);

    gfx::DeviceContext* m_pDC;
    int m_bXor;
    gfx::Point m_ptAnchor;
};
