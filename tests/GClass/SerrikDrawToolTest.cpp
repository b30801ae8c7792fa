#include "GClass/SerrikDrawTool.h"

#include <gtest/gtest.h>

#include "tests/support/Canvas.h"

namespace {

using testsupport::Canvas;

// The pen and brush currently selected, read by selecting probes and putting them back.
gfx::Pen* SelectedPen(gfx::DeviceContext& dc) {
    gfx::Pen probe;
    gfx::Pen* current = dc.SelectObject(&probe);
    dc.SelectObject(current);
    return current;
}

gfx::Brush* SelectedBrush(gfx::DeviceContext& dc) {
    gfx::Brush probe;
    gfx::Brush* current = dc.SelectObject(&probe);
    dc.SelectObject(current);
    return current;
}

// A context with pen and brush of the caller's selected, white background, in `rop` mode.
struct ToolFixture {
    explicit ToolFixture(int rop) : surface(8, 8, 0x102030) {
        surface.dc.SelectObject(&pen);
        surface.dc.SelectObject(&brush);
        surface.dc.SetBkColor(0xFFFFFF);
        surface.dc.SetROP2(rop);
    }
    void ExpectRestored() {
        EXPECT_EQ(SelectedPen(surface.dc), &pen);
        EXPECT_EQ(SelectedBrush(surface.dc), &brush);
        EXPECT_EQ(surface.dc.GetBkColor(), 0x000000u);
        EXPECT_EQ(surface.dc.GetROP2(), gfx::R2_COPYPEN);
    }

    Canvas surface;
    gfx::Pen pen{3, 0x0000FF};
    gfx::Brush brush{0x00FF00};
};

TEST(SerrikDrawTool, FillToolSelectsOnePixelPenAndBrushThenRestores) {
    ToolFixture f(gfx::R2_COPYPEN);
    {
        CSerrikFillTool tool(&f.surface.dc, 0x112233, 0x445566, 0);
        const gfx::Pen* pen = SelectedPen(f.surface.dc);
        const gfx::Brush* brush = SelectedBrush(f.surface.dc);
        EXPECT_NE(pen, &f.pen);
        EXPECT_EQ(pen->Width(), 1);
        EXPECT_EQ(pen->GetColour(), 0x112233u);
        EXPECT_EQ(brush->GetColour(), 0x445566u);
        EXPECT_EQ(f.surface.dc.GetBkColor(), 0x000000u);
        EXPECT_EQ(f.surface.dc.GetROP2(), gfx::R2_COPYPEN);
    }
    f.ExpectRestored();
}

TEST(SerrikDrawTool, LineToolTakesItsWidth) {
    const std::pair<int, int> widths[] = {{0, 1}, {1, 1}, {2, 2}, {7, 7}};
    for (const auto& [given, drawn] : widths) {
        ToolFixture f(gfx::R2_COPYPEN);
        {
            CSerrikLineTool tool(&f.surface.dc, 0xABCDEF, 0x010203, given, 0);
            EXPECT_EQ(SelectedPen(f.surface.dc)->Width(), drawn);
            EXPECT_EQ(SelectedPen(f.surface.dc)->GetColour(), 0xABCDEFu);
            EXPECT_EQ(SelectedBrush(f.surface.dc)->GetColour(), 0x010203u);
        }
        f.ExpectRestored();
    }
}

TEST(SerrikDrawTool, XorFlagHoldsForTheToolsLifetimeOnly) {
    ToolFixture f(gfx::R2_COPYPEN);
    {
        CSerrikFillTool tool(&f.surface.dc, 0, 0, 1);
        EXPECT_EQ(f.surface.dc.GetROP2(), gfx::R2_XORPEN);
    }
    f.ExpectRestored();
}

TEST(SerrikDrawTool, ToolWithoutXorEndsAnEarlierXorMode) {
    ToolFixture f(gfx::R2_XORPEN);
    {
        CSerrikLineTool tool(&f.surface.dc, 0, 0, 1, 0);
        // Without the flag the tool leaves the mode alone while it lives.
        EXPECT_EQ(f.surface.dc.GetROP2(), gfx::R2_XORPEN);
    }
    f.ExpectRestored();
}

TEST(SerrikDrawTool, XorDrawingTwiceLeavesThePixels) {
    Canvas s(12, 12, 0);
    s.FillPattern();
    const auto before = s.Pixels();
    for (int pass = 0; pass < 2; ++pass) {
        CSerrikFillTool tool(&s.dc, 0x00FFFF, 0xFF00FF, 1);
        s.dc.Rectangle(2, 2, 10, 10);
        if (pass == 0) {
            EXPECT_NE(s.Pixels(), before);
        }
    }
    EXPECT_EQ(s.Pixels(), before);
    EXPECT_EQ(s.dc.GetROP2(), gfx::R2_COPYPEN);
}

TEST(SerrikDrawTool, NestedToolsRestoreInTurn) {
    ToolFixture f(gfx::R2_COPYPEN);
    {
        CSerrikFillTool outer(&f.surface.dc, 0x111111, 0x222222, 1);
        gfx::Pen* outerPen = SelectedPen(f.surface.dc);
        gfx::Brush* outerBrush = SelectedBrush(f.surface.dc);
        {
            CSerrikLineTool inner(&f.surface.dc, 0x333333, 0x444444, 4, 0);
            EXPECT_NE(SelectedPen(f.surface.dc), outerPen);
        }
        EXPECT_EQ(SelectedPen(f.surface.dc), outerPen);
        EXPECT_EQ(SelectedBrush(f.surface.dc), outerBrush);
        // The inner tool's copy mode ends the outer tool's XOR.
        EXPECT_EQ(f.surface.dc.GetROP2(), gfx::R2_COPYPEN);
    }
    f.ExpectRestored();
}

TEST(SerrikDrawTool, RestoresWhenItsScopeUnwinds) {
    ToolFixture f(gfx::R2_COPYPEN);
    try {
        CSerrikFillTool tool(&f.surface.dc, 0x123456, 0x654321, 1);
        throw -1;
    } catch (int) {
    }
    f.ExpectRestored();
}

}  // namespace
