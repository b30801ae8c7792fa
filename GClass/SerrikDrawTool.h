#pragma once

#include <optional>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/ScopedSelect.h"

// Prepares a device context for one drawing operation: selects a solid pen and a solid brush
// of its own, sets the background colour to black and, on request, XOR drawing. Its
// destructor selects the previous pen and brush again and leaves the context in copy mode,
// whatever mode it was in before. Lives on the stack of one drawing call; tools may nest.
class CSerrikDrawTool {
public:
    virtual ~CSerrikDrawTool();
    CSerrikDrawTool(const CSerrikDrawTool&) = delete;
    CSerrikDrawTool& operator=(const CSerrikDrawTool&) = delete;

protected:
    // Remembers the context; a non-zero flag switches it to XOR pen.
    CSerrikDrawTool(gfx::DeviceContext* pDC, int bXor);
    // Black background, then a pen and a brush of the tool's own, selected in that order.
    void SelectTools(gfx::Colour penColour, int penWidth, gfx::Colour brushColour);

private:
    gfx::DeviceContext* m_pDC;
    gfx::Brush m_brush;
    gfx::Pen m_pen;
    // Declared after the objects they select, so they put the previous ones back first.
    std::optional<gfx::ScopedSelect<gfx::Pen>> m_penSelection;
    std::optional<gfx::ScopedSelect<gfx::Brush>> m_brushSelection;
};

// A 1-pixel pen and a brush: outlined, filled shapes.
class CSerrikFillTool : public CSerrikDrawTool {
public:
    CSerrikFillTool(gfx::DeviceContext* pDC, gfx::Colour penColour, gfx::Colour brushColour,
                    int bXor);
    ~CSerrikFillTool() override = default;
};

// A pen of a given width (0 or 1 draws 1-pixel lines) and a brush: lines and outlines.
class CSerrikLineTool : public CSerrikDrawTool {
public:
    CSerrikLineTool(gfx::DeviceContext* pDC, gfx::Colour penColour, gfx::Colour brushColour,
                    int penWidth, int bXor);
    ~CSerrikLineTool() override = default;
};
