#include "GClass/Rect2.h"

#include "platform/system/Assert.h"

namespace {

// Origin offset of grid line `index` of `count` over `extent`, multiplied before dividing so
// the remainder spreads over the grid; 64-bit so large rectangles cannot overflow.
int Spread(int extent, int index, int count) {
    return static_cast<int>(static_cast<long long>(extent) * index / count);
}

}  // namespace

CRect2::CRect2() {
    Init();
}

CRect2::CRect2(int left, int top, int right, int bottom) {
    SetRect(left, top, right, bottom);
    Init();
}

CRect2::~CRect2() {
    m_listCell.DeleteAll();
}

void CRect2::Init() {
    m_nCols = 0;
    m_nRows = 0;
}

void CRect2::SetRect(int left, int top, int right, int bottom) {
    m_rect = {left, top, right, bottom};
}

void CRect2::Divide(int cols, int rows) {
    SYS_ASSERT(cols >= 1 && rows >= 1);
    if (cols < 1 || rows < 1) {
        return;
    }
    m_listCell.DeleteAll();
    m_nCols = cols;
    m_nRows = rows;

    const int width = Width();
    const int height = Height();
    const int cellWidth = width / cols;
    const int cellHeight = height / rows;
    for (int i = 0; i < rows; ++i) {
        const int top = m_rect.top + Spread(height, i, rows);
        for (int j = 0; j < cols; ++j) {
            const int left = m_rect.left + Spread(width, j, cols);
            gfx::Rect* cell = m_listCell.AddNew();
            if (cell == nullptr) {
                return;  // no memory: the cells from here on are missing, never misplaced
            }
            *cell = {left, top, left + cellWidth, top + cellHeight};
        }
    }
}

gfx::Rect CRect2::GetCell(int col, int row) const {
    // 64-bit so that an absurd column or row is simply outside, not an overflow.
    const long long index = static_cast<long long>(row) * m_nCols + col;
    const gfx::Rect* cell = index >= 0 && index < m_listCell.GetCount()
                                ? m_listCell.GetAt(static_cast<int>(index))
                                : nullptr;
    SYS_ASSERT(cell != nullptr);
    return cell != nullptr ? *cell : gfx::Rect{};
}
