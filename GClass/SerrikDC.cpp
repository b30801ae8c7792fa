#include "GClass/SerrikDC.h"

#include <cmath>
#include <vector>

#include "GClass/Rect2.h"
#include "GClass/SerrikDrawTool.h"
#include "platform/system/Assert.h"

namespace {

constexpr gfx::Colour kLightEdge = 0xFAFAFA;
constexpr gfx::Colour kDarkEdge = 0x262626;
constexpr unsigned kTextFormat = gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE;
// The polygons' full turn: slightly short of 2 pi, so the closing gap is a little wider.
constexpr double kFullTurn = 6.28304;

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
    CRect2 grid;
    grid.SetRect(rc.left, rc.top, rc.right, rc.bottom);
    const int cols = grid.Width() / cellSize;
    const int rows = grid.Height() / cellSize;
    // A cell larger than the rectangle leaves no whole cell: nothing to draw, and no grid to
    // ask for one.
    if (cols < 1 || rows < 1) {
        return;
    }
    grid.Divide(cols, rows);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            const gfx::Colour colour = (row + col) % 2 == 0 ? first : second;
            DrawRect(grid.GetCell(col, row), colour, colour);
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
    m_pDC->Ellipse(x - r, y - r, x + r, y + r);
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
    DrawEllipseOutline({x - r, y - r, x + r, y + r}, colour);
}

void CSerrikDC::DrawEllipseOutline(gfx::Rect rc, gfx::Colour colour) {
    CSerrikLineTool tool(m_pDC, colour, colour, 1, m_bXor);
    // Equal start and end points make the arc the whole ellipse.
    const int cx = (rc.left + rc.right) / 2;
    m_pDC->Arc(rc.left, rc.top, rc.right, rc.bottom, cx, rc.top, cx, rc.top);
}

void CSerrikDC::DrawTriangle(gfx::Rect rc, gfx::Colour colour, int direction) {
    const int cx = (rc.left + rc.right) / 2;
    const int cy = (rc.top + rc.bottom) / 2;
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
    const int halfWidth = rc.Width() / 2;
    const int halfHeight = rc.Height() / 2;
    for (int i = 0; i < n; ++i) {
        const double angle = i * kFullTurn / n;
        out[i].x = rc.left + static_cast<int>(halfWidth + std::cos(angle) * rc.Width() / 2.0);
        out[i].y = rc.top + static_cast<int>(halfHeight + std::sin(angle) * rc.Height() / 2.0);
    }
}

void CSerrikDC::FillPolygon(const gfx::Point* points, int count, gfx::Colour colour) {
    // Selected directly, not through a tool: raster mode and background colour stay as found.
    gfx::Pen pen(1, colour);
    gfx::Brush brush(colour);
    gfx::Pen* oldPen = m_pDC->SelectObject(&pen);
    gfx::Brush* oldBrush = m_pDC->SelectObject(&brush);
    m_pDC->Polygon(points, count);
    m_pDC->SelectObject(oldPen);
    m_pDC->SelectObject(oldBrush);
    pen.DeleteObject();
    brush.DeleteObject();
}

void CSerrikDC::DrawGradientH(gfx::Rect rc, gfx::Colour colour) {
    const int width = rc.Width();
    for (int x = rc.left; x < rc.right; ++x) {
        // (x - L) / W: black at the left edge, never the full colour.
        const double f = static_cast<double>(width - (rc.right - x)) / static_cast<double>(width);
        DrawGradientLine(x, rc.top, x, rc.bottom, ScaleColour(colour, f));
    }
}

void CSerrikDC::DrawGradientV(gfx::Rect rc, gfx::Colour colour) {
    const int height = rc.Height();
    for (int y = rc.top; y < rc.bottom; ++y) {
        const double f =
            static_cast<double>(height - (rc.bottom - y)) / static_cast<double>(height);
        DrawGradientLine(rc.left, y, rc.right, y, ScaleColour(colour, f));
    }
}

void CSerrikDC::DrawGradientLine(int x1, int y1, int x2, int y2, gfx::Colour colour) {
    gfx::Pen pen(1, colour);
    gfx::Pen* oldPen = m_pDC->SelectObject(&pen);
    m_pDC->MoveTo(x1, y1);
    m_pDC->LineTo(x2, y2);
    m_pDC->SelectObject(oldPen);
    pen.DeleteObject();
}

void CSerrikDC::DrawTextAt(int x, int y, const std::string& text, int size, gfx::Colour colour) {
    // The box's side is the size in tenths of a point read as pixels: 20 points, 200 pixels.
    const int left = x - size / 2;
    const int top = y - size / 2;
    DrawTextBox({left, top, left + size, top + size}, text, size, colour);
}

void CSerrikDC::DrawTextInRect(gfx::Rect rc, const std::string& text, int size,
                               gfx::Colour colour) {
    DrawTextBox(rc, text, size, colour);
}

void CSerrikDC::DrawTextBox(gfx::Rect box, const std::string& text, int size, gfx::Colour colour) {
    gfx::Font font(size, kTextFace);
    gfx::Font* oldFont = m_pDC->SelectObject(&font);
    const gfx::Colour oldColour = m_pDC->SetTextColor(colour);
    // Not restored: after any text the context stays in transparent mode.
    m_pDC->SetBkMode(gfx::TRANSPARENT);
    m_pDC->DrawText(text, box, kTextFormat);
    m_pDC->SetTextColor(oldColour);
    m_pDC->SelectObject(oldFont);
    font.DeleteObject();
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
