#include "GClass/Rect2.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/AssertRecorder.h"

namespace {

using testsupport::AssertRecorder;
using testsupport::kAssertsActive;

struct DivideCase {
    const char* name;
    gfx::Rect rect;
    int cols;
    int rows;
    std::vector<int> lefts;  // per column
    std::vector<int> tops;   // per row
    int cellWidth;
    int cellHeight;
};

const DivideCase kDivideCases[] = {
    {"FourByThree", {0, 0, 100, 60}, 4, 3, {0, 25, 50, 75}, {0, 20, 40}, 25, 20},
    {"TenIntoThree", {0, 0, 10, 10}, 3, 1, {0, 3, 6}, {0}, 3, 10},
    {"ElevenIntoThree", {0, 0, 11, 10}, 3, 1, {0, 3, 7}, {0}, 3, 10},
    {"Offset", {20, 30, 120, 90}, 2, 2, {20, 70}, {30, 60}, 50, 30},
    {"RowsSpreadToo", {5, 0, 6, 11}, 1, 3, {5}, {0, 3, 7}, 1, 3},
    {"MoreCellsThanPixels", {0, 0, 2, 2}, 4, 1, {0, 0, 1, 1}, {0}, 0, 2},
};

class Rect2Divide : public testing::TestWithParam<DivideCase> {};

TEST_P(Rect2Divide, CellsSitAtTheirSpreadOriginsWithEqualSizes) {
    const DivideCase& c = GetParam();
    CRect2 grid;
    grid.SetRect(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom);
    grid.Divide(c.cols, c.rows);

    EXPECT_EQ(grid.GetCols(), c.cols);
    EXPECT_EQ(grid.GetRows(), c.rows);
    ASSERT_EQ(grid.GetCellCount(), c.cols * c.rows);
    for (int row = 0; row < c.rows; ++row) {
        for (int col = 0; col < c.cols; ++col) {
            const gfx::Rect expected{c.lefts[col], c.tops[row], c.lefts[col] + c.cellWidth,
                                     c.tops[row] + c.cellHeight};
            EXPECT_EQ(grid.GetCell(col, row), expected) << "col " << col << " row " << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Rect2Divide, testing::ValuesIn(kDivideCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Rect2, LastCellOfFourByThreeEndsAtTheCorner) {
    CRect2 grid(0, 0, 100, 60);
    grid.Divide(4, 3);
    EXPECT_EQ(grid.GetCell(3, 2), (gfx::Rect{75, 40, 100, 60}));
}

// Which pixel columns of a row the cells cover, as a string of '#' and '.'.
std::string CoveredColumns(const CRect2& grid) {
    std::string covered(static_cast<std::size_t>(grid.Width()), '.');
    for (int col = 0; col < grid.GetCols(); ++col) {
        const gfx::Rect cell = grid.GetCell(col, 0);
        for (int x = cell.left; x < cell.right; ++x) {
            covered[static_cast<std::size_t>(x - grid.GetLeft())] = '#';
        }
    }
    return covered;
}

TEST(Rect2, RemainderLeavesSinglePixelColumnsUncovered) {
    CRect2 ten(0, 0, 10, 10);
    ten.Divide(3, 1);
    EXPECT_EQ(CoveredColumns(ten), "#########.");
    CRect2 eleven(0, 0, 11, 10);
    eleven.Divide(3, 1);
    EXPECT_EQ(CoveredColumns(eleven), "######.###.");
}

TEST(Rect2, CellsNeverOverlapAndStayInside) {
    for (int width = 1; width <= 23; ++width) {
        for (int cols = 1; cols <= 7; ++cols) {
            CRect2 grid(-5, 3, -5 + width, 3 + width + 2);
            grid.Divide(cols, 2);
            ASSERT_EQ(grid.GetCellCount(), cols * 2);
            for (int row = 0; row < 2; ++row) {
                for (int col = 0; col < cols; ++col) {
                    const gfx::Rect cell = grid.GetCell(col, row);
                    EXPECT_EQ(cell.Width(), width / cols);
                    EXPECT_GE(cell.left, grid.GetLeft());
                    EXPECT_LE(cell.right, grid.GetRight());
                    EXPECT_LE(cell.bottom, grid.GetBottom());
                    if (col > 0) {
                        EXPECT_GE(cell.left, grid.GetCell(col - 1, row).right)
                            << width << " / " << cols;
                    }
                }
            }
        }
    }
}

TEST(Rect2, SecondDivideReplacesEveryCell) {
    CRect2 grid(0, 0, 100, 60);
    grid.Divide(4, 3);
    grid.Divide(2, 5);
    EXPECT_EQ(grid.GetCellCount(), 10);
    EXPECT_EQ(grid.GetCell(1, 4), (gfx::Rect{50, 48, 100, 60}));
}

TEST(Rect2, NonPositiveCountsChangeNothing) {
    const std::pair<int, int> bad[] = {{0, 5}, {5, 0}, {-1, 3}, {3, -2}, {0, 0}};
    for (const auto& [cols, rows] : bad) {
        CRect2 grid(0, 0, 100, 60);
        grid.Divide(4, 3);
        AssertRecorder asserts;
        grid.Divide(cols, rows);
        EXPECT_EQ(asserts.Count(), kAssertsActive ? 1 : 0) << cols << " x " << rows;
        EXPECT_EQ(grid.GetCols(), 4);
        EXPECT_EQ(grid.GetRows(), 3);
        EXPECT_EQ(grid.GetCellCount(), 12);
        EXPECT_EQ(grid.GetCell(3, 2), (gfx::Rect{75, 40, 100, 60}));
    }
}

TEST(Rect2, ColumnPastTheLastAddressesTheNextRow) {
    CRect2 grid(0, 0, 90, 20);
    grid.Divide(3, 2);
    EXPECT_EQ(grid.GetCell(3, 0), grid.GetCell(0, 1));
}

TEST(Rect2, CellOutsideTheGridIsEmptyAndAsserts) {
    CRect2 grid(0, 0, 90, 20);
    grid.Divide(3, 2);
    const std::pair<int, int> outside[] = {{0, 2}, {-1, 0}, {6, 0}, {0, -1}, {1 << 30, 1 << 30}};
    for (const auto& [col, row] : outside) {
        AssertRecorder asserts;
        EXPECT_EQ(grid.GetCell(col, row), gfx::Rect{}) << col << ", " << row;
        EXPECT_EQ(asserts.Count(), kAssertsActive ? 1 : 0);
    }
    CRect2 undivided(0, 0, 10, 10);
    AssertRecorder asserts;
    EXPECT_EQ(undivided.GetCell(0, 0), gfx::Rect{});
    EXPECT_EQ(asserts.Count(), kAssertsActive ? 1 : 0);
}

TEST(Rect2, DefaultRectangleIsEmptyAndUndivided) {
    CRect2 grid;
    EXPECT_EQ(grid.GetRect(), gfx::Rect{});
    EXPECT_EQ(grid.GetCols(), 0);
    EXPECT_EQ(grid.GetRows(), 0);
    EXPECT_EQ(grid.GetCellCount(), 0);
}

TEST(Rect2, SetRectAndInitLeaveTheCellsUntilTheNextDivide) {
    CRect2 grid(0, 0, 100, 60);
    grid.Divide(4, 3);
    grid.SetRect(10, 10, 20, 20);
    EXPECT_EQ(grid.GetRect(), (gfx::Rect{10, 10, 20, 20}));
    EXPECT_EQ(grid.Width(), 10);
    EXPECT_EQ(grid.GetCell(3, 2), (gfx::Rect{75, 40, 100, 60}));
    grid.Init();
    EXPECT_EQ(grid.GetCols(), 0);
    EXPECT_EQ(grid.GetCellCount(), 12);
    grid.Divide(1, 1);
    EXPECT_EQ(grid.GetCell(0, 0), (gfx::Rect{10, 10, 20, 20}));
}

}  // namespace
