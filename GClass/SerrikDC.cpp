#include "GClass/SerrikDC.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "GClass/SerrikDrawTool.h"
#include "platform/graphics/ScopedSelect.h"
#include "platform/system/Assert.h"

namespace {

constexpr gfx::Colour kLightEdge = 0xFAFAFA;
constexpr gfx::Colour kDarkEdge = 0x262626;
constexpr unsigned kTextFormat = gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE;
// The polygons' full turn: slightly short of 2 pi, so the closing gap is a little wider.
constexpr double kFullTurn = 6.28304;

__extension__ using Int128 = __int128;  // products of coordinates never overflow

// Sums of coordinates are taken in 64 bits and clamped to the int range: a shape far off the
// surface stays off it, and no arithmetic overflows.
int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// (a + b) / 2, truncated toward zero, for any two ints.
int Midpoint(int a, int b) {
    return static_cast<int>((std::int64_t{a} + b) / 2);
}

// The box (x - r, y - r, x + r, y + r).
gfx::Rect CircleBox(int x, int y, int r) {
    return {ClampToInt(std::int64_t{x} - r), ClampToInt(std::int64_t{y} - r),
            ClampToInt(std::int64_t{x} + r), ClampToInt(std::int64_t{y} + r)};
}

// One axis of a checker's grid as CRect2 divides it: `count` cells of `cell` pixels, cell i
// starting at from + extent * i / count, multiplied before dividing. [first, end) are the
// cells that reach 0 .. surface - 1.
struct CheckerAxis {
    CheckerAxis(int from, int to, int cellSize, int surface)
        : from(from),
          extent(std::int64_t{to} - from),
          count(extent / cellSize),
          cell(count > 0 ? extent / count : 0),
          first(FirstAt(1 - cell)),
          end(FirstAt(surface)) {}

    std::int64_t Origin(std::int64_t i) const {
        return from + static_cast<std::int64_t>(Int128{extent} * i / count);
    }
    // The first cell starting at or after `x` (count when none): origins never decrease.
    std::int64_t FirstAt(std::int64_t x) const {
        std::int64_t lo = 0;
        std::int64_t hi = std::max<std::int64_t>(count, 0);
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (Origin(mid) >= x) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
        return lo;
    }

    std::int64_t from;
    std::int64_t extent;
    std::int64_t count;
    std::int64_t cell;
    std::int64_t first;
    std::int64_t end;
};

// Each channel of `colour` scaled by f, truncated.
gfx::Colour ScaleColour(gfx::Colour colour, double f) {
    const int red = static_cast<int>(gfx::RedOf(colour) * f) & 0xFF;
    const int green = static_cast<int>(gfx::GreenOf(colour) * f) & 0xFF;
    const int blue = static_cast<int>(gfx::BlueOf(colour) * f) & 0xFF;
    return static_cast<gfx::Colour>(red | green << 8 | blue << 16);
}

}  // namespace

CSerrikDC::CSerrikDC(gfx::DeviceContext* pDC, int bXor) : m_pDC(pDC), m_bXor(bXor) {
    SYS_ASSERT(pDC != nullptr);
}

void CSerrikDC::DrawRect(gfx::Rect rc, gfx::Colour penColour, gfx::Colour brushColour) {
    CSerrikFillTool tool(m_pDC, penColour, brushColour, m_bXor);
    m_pDC->Rectangle(rc);
}

void CSerrikDC::DrawRaisedPanel(gfx::Rect rc, gfx::Colour faceColour) {
    DrawPanel(rc, faceColour, kLightEdge, kDarkEdge);
}

void CSerrikDC::DrawSunkenPanel(gfx::Rect rc, gfx::Colour faceColour) {
    DrawPanel(rc, faceColour, kDarkEdge, kLightEdge);
}

void CSerrikDC::DrawPanel(gfx::Rect rc, gfx::Colour faceColour, gfx::Colour topLeft,
                          gfx::Colour bottomRight) {
    {
        CSerrikFillTool tool(m_pDC, faceColour, faceColour, m_bXor);
        m_pDC->Rectangle(rc);
    }
    // Edges never XOR, lie one pixel outside the fill at right and bottom, and skip (R, T).
    {
        CSerrikFillTool tool(m_pDC, topLeft, topLeft, 0);
        m_pDC->MoveTo(rc.left, rc.bottom);
        m_pDC->LineTo(rc.left, rc.top);
        m_pDC->LineTo(rc.right, rc.top);
    }
    {
        CSerrikFillTool tool(m_pDC, bottomRight, bottomRight, 0);
        m_pDC->MoveTo(rc.left, rc.bottom);
        m_pDC->LineTo(rc.right, rc.bottom);
        m_pDC->LineTo(rc.right, rc.top);
    }
}

void CSerrikDC::DrawChecker(gfx::Rect rc, gfx::Colour first, gfx::Colour second, int cellSize) {
    if (cellSize <= 0) {
        return;
    }
    // The grid CRect2 lays out, in 64 bits, of which only the cells that reach the surface are
    // drawn: a rectangle far larger than the surface costs what the surface costs.
    const CheckerAxis across(rc.left, rc.right, cellSize, m_pDC->GetBitmap()->Width());
    const CheckerAxis down(rc.top, rc.bottom, cellSize, m_pDC->GetBitmap()->Height());
    // A cell larger than the rectangle leaves no whole cell: nothing to draw.
    if (across.count < 1 || down.count < 1) {
        return;
    }
    // Cells never overlap, so each colour's cells are drawn with one tool of their own.
    for (int parity = 0; parity < 2; ++parity) {
        const gfx::Colour colour = parity == 0 ? first : second;
        CSerrikFillTool tool(m_pDC, colour, colour, m_bXor);
        for (std::int64_t row = down.first; row < down.end; ++row) {
            for (std::int64_t col = across.first; col < across.end; ++col) {
                if ((row + col) % 2 == parity) {
                    m_pDC->Rectangle(ClampToInt(across.Origin(col)), ClampToInt(down.Origin(row)),
                                     ClampToInt(across.Origin(col) + across.cell),
                                     ClampToInt(down.Origin(row) + down.cell));
                }
            }
        }
    }
}

void CSerrikDC::DrawLine(int x1, int y1, int x2, int y2, gfx::Colour colour, int penWidth) {
    CSerrikLineTool tool(m_pDC, colour, colour, penWidth, m_bXor);
    m_pDC->MoveTo(x1, y1);
    m_pDC->LineTo(x2, y2);
}

void CSerrikDC::DrawFrame(int x1, int y1, int x2, int y2, gfx::Colour colour, int penWidth) {
    CSerrikLineTool tool(m_pDC, colour, 0x000000, penWidth, m_bXor);
    m_pDC->MoveTo(x1, y1);
    m_pDC->LineTo(x2, y1);
    m_pDC->LineTo(x2, y2);
    m_pDC->LineTo(x1, y2);
    m_pDC->LineTo(x1, y1);
}

void CSerrikDC::DrawCircle(int x, int y, int r, gfx::Colour penColour, gfx::Colour brushColour) {
    CSerrikFillTool tool(m_pDC, penColour, brushColour, m_bXor);
    m_pDC->Ellipse(CircleBox(x, y, r));
}

void CSerrikDC::DrawCircle(gfx::Point centre, int r, gfx::Colour penColour,
                           gfx::Colour brushColour) {
    DrawCircle(centre.x, centre.y, r, penColour, brushColour);
}

void CSerrikDC::DrawEllipse(gfx::Rect rc, gfx::Colour penColour, gfx::Colour brushColour) {
    CSerrikFillTool tool(m_pDC, penColour, brushColour, m_bXor);
    m_pDC->Ellipse(rc);
}

void CSerrikDC::DrawCircleOutline(int x, int y, int r, gfx::Colour colour) {
    DrawEllipseOutline(CircleBox(x, y, r), colour);
}

void CSerrikDC::DrawEllipseOutline(gfx::Rect rc, gfx::Colour colour) {
    CSerrikLineTool tool(m_pDC, colour, colour, 1, m_bXor);
    // Equal start and end points make the arc the whole ellipse.
    const int cx = Midpoint(rc.left, rc.right);
    m_pDC->Arc(rc.left, rc.top, rc.right, rc.bottom, cx, rc.top, cx, rc.top);
}

void CSerrikDC::DrawTriangle(gfx::Rect rc, gfx::Colour colour, int direction) {
    const int cx = Midpoint(rc.left, rc.right);
    const int cy = Midpoint(rc.top, rc.bottom);
    gfx::Point points[3];
    switch (direction) {
        case 0:
            points[0] = {cx, rc.top};
            points[1] = {rc.left, rc.bottom};
            points[2] = {rc.right, rc.bottom};
            break;
        case 1:
            points[0] = {rc.left, rc.top};
            points[1] = {rc.right, cy};
            points[2] = {rc.left, rc.bottom};
            break;
        case 2:
            points[0] = {rc.right, rc.top};
            points[1] = {rc.left, cy};
            points[2] = {rc.right, rc.bottom};
            break;
        case 3:
            // Not the downward triangle its number suggests: the left-pointing one again.
            points[0] = {rc.right, rc.top};
            points[1] = {rc.right, rc.bottom};
            points[2] = {rc.left, cy};
            break;
        default:
            return;
    }
    FillPolygon(points, 3, colour);
}

void CSerrikDC::DrawPentagon(gfx::Rect rc, gfx::Colour colour) {
    gfx::Point points[5];
    PolygonVertices(rc, 5, points);
    FillPolygon(points, 5, colour);
}

void CSerrikDC::DrawPolygon(gfx::Rect rc, gfx::Colour colour, int n) {
    if (n < 3) {
        return;
    }
    std::vector<gfx::Point> points(static_cast<std::size_t>(n));
    PolygonVertices(rc, n, points.data());
    FillPolygon(points.data(), n, colour);
}

void CSerrikDC::PolygonVertices(gfx::Rect rc, int n, gfx::Point* out) {
    const std::int64_t width = std::int64_t{rc.right} - rc.left;
    const std::int64_t height = std::int64_t{rc.bottom} - rc.top;
    const std::int64_t halfWidth = width / 2;
    const std::int64_t halfHeight = height / 2;
    for (int i = 0; i < n; ++i) {
        const double angle = i * kFullTurn / n;
        out[i].x = ClampToInt(rc.left + static_cast<std::int64_t>(
                                            static_cast<double>(halfWidth) +
                                            std::cos(angle) * static_cast<double>(width) / 2.0));
        out[i].y = ClampToInt(rc.top + static_cast<std::int64_t>(
                                           static_cast<double>(halfHeight) +
                                           std::sin(angle) * static_cast<double>(height) / 2.0));
    }
}

void CSerrikDC::FillPolygon(const gfx::Point* points, int count, gfx::Colour colour) {
    // Selected directly, not through a tool: raster mode and background colour stay as found.
    gfx::Pen pen(1, colour);
    gfx::Brush brush(colour);
    const gfx::ScopedSelect<gfx::Pen> withPen(*m_pDC, &pen);
    const gfx::ScopedSelect<gfx::Brush> withBrush(*m_pDC, &brush);
    m_pDC->Polygon(points, count);
}

void CSerrikDC::DrawGradientH(gfx::Rect rc, gfx::Colour colour) {
    DrawGradient(rc, colour, true);
}

void CSerrikDC::DrawGradientV(gfx::Rect rc, gfx::Colour colour) {
    DrawGradient(rc, colour, false);
}

// One line per column (row), and only those on the surface: a box far larger than the
// surface costs what the surface costs. The current position ends where the last line of the
// whole box would have left it.
void CSerrikDC::DrawGradient(gfx::Rect rc, gfx::Colour colour, bool across) {
    const int from = across ? rc.left : rc.top;
    const int to = across ? rc.right : rc.bottom;
    if (to <= from) {
        return;
    }
    const double length = static_cast<double>(std::int64_t{to} - from);
    const gfx::Bitmap& surface = *m_pDC->GetBitmap();
    const int end = std::min(to, across ? surface.Width() : surface.Height());
    for (int i = std::max(from, 0); i < end; ++i) {
        // (i - from) / length: black at the first line, never the full colour.
        const gfx::Colour c =
            ScaleColour(colour, static_cast<double>(std::int64_t{i} - from) / length);
        if (across) {
            DrawGradientLine(i, rc.top, i, rc.bottom, c);
        } else {
            DrawGradientLine(rc.left, i, rc.right, i, c);
        }
    }
    if (across) {
        m_pDC->MoveTo(rc.right - 1, rc.bottom);
    } else {
        m_pDC->MoveTo(rc.right, rc.bottom - 1);
    }
}

void CSerrikDC::DrawGradientLine(int x1, int y1, int x2, int y2, gfx::Colour colour) {
    gfx::Pen pen(1, colour);
    const gfx::ScopedSelect<gfx::Pen> withPen(*m_pDC, &pen);
    m_pDC->MoveTo(x1, y1);
    m_pDC->LineTo(x2, y2);
}

void CSerrikDC::DrawTextAt(int x, int y, const std::string& text, int size, gfx::Colour colour) {
    // The box's side is the size in tenths of a point read as pixels: 20 points, 200 pixels.
    const std::int64_t left = std::int64_t{x} - size / 2;
    const std::int64_t top = std::int64_t{y} - size / 2;
    DrawTextBox(
        {ClampToInt(left), ClampToInt(top), ClampToInt(left + size), ClampToInt(top + size)}, text,
        size, colour);
}

void CSerrikDC::DrawTextInRect(gfx::Rect rc, const std::string& text, int size,
                               gfx::Colour colour) {
    DrawTextBox(rc, text, size, colour);
}

void CSerrikDC::DrawTextBox(gfx::Rect box, const std::string& text, int size, gfx::Colour colour) {
    gfx::Font font(size, kTextFace);
    const gfx::ScopedSelect<gfx::Font> withFont(*m_pDC, &font);
    const gfx::Colour oldColour = m_pDC->SetTextColor(colour);
    // Not restored: after any text the context stays in transparent mode.
    m_pDC->SetBkMode(gfx::TRANSPARENT);
    m_pDC->DrawText(text, box, kTextFormat);
    m_pDC->SetTextColor(oldColour);
}

void CSerrikDC::SetPixelAt(int x, int y, gfx::Colour colour) {
    m_pDC->SetPixel(x, y, colour);
}

void CSerrikDC::SetPixelAt(gfx::Point pt, gfx::Colour colour) {
    SetPixelAt(pt.x, pt.y, colour);
}

void CSerrikDC::FillArea(gfx::Rect rc, int x, int y, gfx::Colour colour) {
    // The fill stays inside its rectangle: a seed outside it paints nothing.
    if (!rc.Contains(x, y)) {
        return;
    }
    const gfx::Colour target = m_pDC->GetPixel(x, y);
    // Off the surface every pixel reads as the invalid colour, so the walk would never end.
    if (target == gfx::kInvalidColour) {
        return;
    }
    FillRun(x, y, rc, +1, target, colour);
    FillRun(x, y, rc, -1, target, colour);
}

void CSerrikDC::FillRun(int x, int y, gfx::Rect rc, int dir, gfx::Colour target,
                        gfx::Colour colour) {
    const int left = rc.left;
    const int right = rc.right;
    // Each step hands on to exactly one next row, so a loop visits the rows in the same order
    // as a recursion would, without one stack frame per row. The walk ends at the rectangle's
    // top or bottom as it does at a row whose midpoint differs.
    for (;;) {
        int leftEnd = x;
        while (leftEnd > left && m_pDC->GetPixel(leftEnd, y) == target) {
            m_pDC->SetPixel(leftEnd, y, colour);
            --leftEnd;
        }
        int rightEnd = x + 1;
        while (rightEnd < right && m_pDC->GetPixel(rightEnd, y) == target) {
            m_pDC->SetPixel(rightEnd, y, colour);
            ++rightEnd;
        }
        const int mid = (leftEnd + rightEnd) / 2;
        const int next = dir == 1 ? y + 1 : y - 1;
        if (next < rc.top || next >= rc.bottom || m_pDC->GetPixel(mid, next) != target) {
            return;
        }
        x = mid;
        y = next;
    }
}

void CSerrikDC::SetAnchor(int x, int y) {
    m_ptAnchor = {x, y};
}

void CSerrikDC::SetAnchor(gfx::Point pt) {
    m_ptAnchor = pt;
}

void CSerrikDC::DrawLineFromAnchor(int x, int y, gfx::Colour colour, int penWidth) {
    CSerrikLineTool tool(m_pDC, colour, colour, penWidth, m_bXor);
    m_pDC->MoveTo(m_ptAnchor.x, m_ptAnchor.y);
    m_pDC->LineTo(x, y);
}

void CSerrikDC::DrawLineFromAnchor(gfx::Point pt, gfx::Colour colour, int penWidth) {
    DrawLineFromAnchor(pt.x, pt.y, colour, penWidth);
}
