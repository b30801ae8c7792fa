#include "GClass/SerrikDrawTool.h"

CSerrikDrawTool::CSerrikDrawTool(gfx::DeviceContext* pDC, int bXor) : m_pDC(pDC) {
    if (bXor != 0) {
        m_pDC->SetROP2(gfx::R2_XORPEN);
    }
}

void CSerrikDrawTool::SelectTools(gfx::Colour penColour, int penWidth, gfx::Colour brushColour) {
    // Nothing restores the background colour: after any tool it stays black.
    m_pDC->SetBkColor(0x000000);
    m_pen.CreatePen(penWidth, penColour);
    m_brush.CreateSolidBrush(brushColour);
    m_penSelection.emplace(*m_pDC, &m_pen);
    m_brushSelection.emplace(*m_pDC, &m_brush);
}

CSerrikDrawTool::~CSerrikDrawTool() {
    m_brushSelection.reset();
    m_penSelection.reset();
    // Copy mode whether or not this tool set XOR, so a tool also ends an outer tool's XOR.
    m_pDC->SetROP2(gfx::R2_COPYPEN);
}

CSerrikFillTool::CSerrikFillTool(gfx::DeviceContext* pDC, gfx::Colour penColour,
                                 gfx::Colour brushColour, int bXor)
    : CSerrikDrawTool(pDC, bXor) {
    SelectTools(penColour, 1, brushColour);
}

CSerrikLineTool::CSerrikLineTool(gfx::DeviceContext* pDC, gfx::Colour penColour,
                                 gfx::Colour brushColour, int penWidth, int bXor)
    : CSerrikDrawTool(pDC, bXor) {
    SelectTools(penColour, penWidth, brushColour);
}
