#pragma once

#include "GClass/SerrikList.h"
#include "platform/graphics/Types.h"

// An integer rectangle that divides itself into a grid of equal cells, kept row-major:
// the cell in column j and row i sits at index i x cols + j.
//
// Every cell has the truncated size (width / cols) x (height / rows); its origin is the
// multiplied-then-divided position, so the remainder is spread over the grid and single
// pixel columns or rows may stay uncovered between cells and at the far edge.
//
// A grid is undivided (counts 0, no cells) until a valid Divide, then divided. Init resets
// the counts only; the cells go with the next Divide or the destructor.
class CRect2 {
public:
    // An empty rectangle (0, 0, 0, 0), left for SetRect.
    CRect2();
    CRect2(int left, int top, int right, int bottom);
    virtual ~CRect2();
    CRect2(const CRect2&) = delete;
    CRect2& operator=(const CRect2&) = delete;

    // Sets the counts to 0; leaves the rectangle and the cells alone.
    void Init();
    // Sets the rectangle only: existing cells keep their coordinates until the next Divide.
    void SetRect(int left, int top, int right, int bottom);

    gfx::Rect GetRect() const { return m_rect; }
    int GetLeft() const { return m_rect.left; }
    int GetTop() const { return m_rect.top; }
    int GetRight() const { return m_rect.right; }
    int GetBottom() const { return m_rect.bottom; }
    int Width() const { return m_rect.right - m_rect.left; }
    int Height() const { return m_rect.bottom - m_rect.top; }

    int GetCols() const { return m_nCols; }
    int GetRows() const { return m_nRows; }
    int GetCellCount() const { return m_listCell.GetCount(); }

    // Replaces the cells by a cols x rows grid. Non-positive counts fail a debug assertion
    // and change nothing.
    void Divide(int cols, int rows);
    // The cell at index row x cols + col; the column is not range-checked on its own, so a
    // column one past the last addresses the next row's first cell. An index outside the
    // grid fails a debug assertion and gives an empty rectangle.
    gfx::Rect GetCell(int col, int row) const;

private:
    gfx::Rect m_rect;
    int m_nCols = 0;
    int m_nRows = 0;
    // Fetching a cell takes the list's lock, hence mutable.
    mutable CSerrikList<gfx::Rect> m_listCell;
};
