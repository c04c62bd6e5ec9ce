#include "platform/win32/grid_geometry.h"

#include <algorithm>

#include "platform/grid_model.h"

namespace korvid::platform {

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

int PixelsToTwips(int pixels, int dpi) { return dpi > 0 ? MulDiv(pixels, 1440, dpi) : 0; }

GridGeometry::GridGeometry(std::vector<int> columnWidths, int rowHeight, int rows,
                           int fixedRows, int clientWidth, int clientHeight)
    : rowHeight_(std::max(1, rowHeight)),
      rows_(std::max(0, rows)),
      fixedRows_(std::clamp(fixedRows, 0, std::max(0, rows))),
      clientWidth_(std::max(0, clientWidth)),
      clientHeight_(std::max(0, clientHeight)) {
    lefts_.reserve(columnWidths.size() + 1);
    int x = 0;
    lefts_.push_back(x);
    for (int width : columnWidths) {
        x += std::max(0, width);
        lefts_.push_back(x);
    }
}

int GridGeometry::PageRows() const {
    return std::max(1, (clientHeight_ - fixedRows_ * rowHeight_) / rowHeight_);
}

int GridGeometry::MaxTopRow() const { return std::max(fixedRows_, rows_ - PageRows()); }

int GridGeometry::MaxXOffset() const { return std::max(0, TotalWidth() - clientWidth_); }

GridScroll GridGeometry::Clamp(GridScroll scroll) const {
    return GridScroll{std::clamp(scroll.topRow, fixedRows_, MaxTopRow()),
                      std::clamp(scroll.xOffset, 0, MaxXOffset())};
}

RECT GridGeometry::CellRect(GridCell cell, GridScroll scroll) const {
    if (cell.row < 0 || cell.row >= rows_ || cell.col < 0 || cell.col >= Cols()) return RECT{};
    int top;
    if (cell.row < fixedRows_) {
        top = cell.row * rowHeight_;
    } else if (cell.row >= scroll.topRow) {
        top = (fixedRows_ + cell.row - scroll.topRow) * rowHeight_;
        if (top >= clientHeight_) return RECT{};
    } else {
        return RECT{};
    }
    const int left = lefts_[cell.col] - scroll.xOffset;
    return RECT{left, top, lefts_[cell.col + 1] - scroll.xOffset, top + rowHeight_};
}

GridCell GridGeometry::HitTest(POINT point, GridScroll scroll) const {
    if (point.x < 0 || point.y < 0 || point.x >= clientWidth_ || point.y >= clientHeight_) {
        return GridCell{};
    }
    const int band = point.y / rowHeight_;
    const int row = band < fixedRows_ ? band : scroll.topRow + band - fixedRows_;
    const int x = point.x + scroll.xOffset;
    if (row >= rows_ || x >= TotalWidth()) return GridCell{};
    // The column whose [left, right) holds x.
    const auto next = std::upper_bound(lefts_.begin(), lefts_.end(), x);
    return GridCell{row, static_cast<int>(next - lefts_.begin()) - 1};
}

GridSpan GridGeometry::DataRowsIn(int top, int bottom, GridScroll scroll) const {
    const int dataTop = fixedRows_ * rowHeight_;
    top = std::max(top, dataTop);
    bottom = std::min(bottom, clientHeight_);
    if (bottom <= top) return GridSpan{scroll.topRow, scroll.topRow};
    const int first = scroll.topRow + (top - dataTop) / rowHeight_;
    const int last = scroll.topRow + (bottom - dataTop + rowHeight_ - 1) / rowHeight_;
    return GridSpan{std::min(first, rows_), std::min(last, rows_)};
}

GridSpan GridGeometry::ColsIn(int left, int right, GridScroll scroll) const {
    left = std::max(left, 0) + scroll.xOffset;
    right = std::min(right, clientWidth_) + scroll.xOffset;
    if (right <= left) return GridSpan{};
    const int first = static_cast<int>(std::upper_bound(lefts_.begin(), lefts_.end(), left) -
                                       lefts_.begin()) - 1;
    const int last = static_cast<int>(std::lower_bound(lefts_.begin(), lefts_.end(), right) -
                                      lefts_.begin());
    return GridSpan{std::clamp(first, 0, Cols()), std::clamp(last, 0, Cols())};
}

GridScroll GridGeometry::ScrollToShow(GridCell cell, GridScroll scroll) const {
    GridScroll result = Clamp(scroll);
    if (cell.row >= fixedRows_ && cell.row < rows_) {
        if (cell.row < result.topRow) {
            result.topRow = cell.row;
        } else if (cell.row >= result.topRow + PageRows()) {
            result.topRow = cell.row - PageRows() + 1;
        }
    }
    if (cell.col >= 0 && cell.col < Cols()) {
        const int left = lefts_[cell.col];
        const int right = lefts_[cell.col + 1];
        if (right - result.xOffset > clientWidth_) result.xOffset = right - clientWidth_;
        // A column wider than the client shows its left edge.
        if (left < result.xOffset) result.xOffset = left;
    }
    return Clamp(result);
}

GridCell NavigateGrid(UINT key, bool ctrl, GridCell current, int rows, int cols, int fixedRows,
                      int pageRows) {
    if (rows <= fixedRows || cols <= 0) return current;
    const int firstRow = fixedRows;
    const int lastRow = rows - 1;
    GridCell next = current;
    switch (key) {
        case VK_UP: next.row -= 1; break;
        case VK_DOWN: next.row += 1; break;
        case VK_LEFT: next.col -= 1; break;
        case VK_RIGHT: next.col += 1; break;
        case VK_PRIOR: next.row -= std::max(1, pageRows); break;
        case VK_NEXT: next.row += std::max(1, pageRows); break;
        case VK_HOME:
            next.col = 0;
            if (ctrl) next.row = firstRow;
            break;
        case VK_END:
            next.col = cols - 1;
            if (ctrl) next.row = lastRow;
            break;
        default: return current;
    }
    next.row = std::clamp(next.row, firstRow, lastRow);
    next.col = std::clamp(next.col, 0, cols - 1);
    return next;
}

GridScroll WheelScroll(GridScroll scroll, int delta, int rowsPerNotch, int& remainder) {
    remainder += delta;
    const int notches = remainder / WHEEL_DELTA;
    remainder -= notches * WHEEL_DELTA;
    scroll.topRow -= notches * rowsPerNotch;
    return scroll;
}

std::wstring GridAsText(const GridModel& model) {
    size_t size = 0;
    for (int row = 0; row < model.Rows(); ++row) {
        for (int col = 0; col < model.Cols(); ++col) size += model.TextMatrix(row, col).size() + 1;
        size += 1;
    }
    std::wstring text;
    text.reserve(size);
    for (int row = 0; row < model.Rows(); ++row) {
        for (int col = 0; col < model.Cols(); ++col) {
            if (col > 0) text += L'\t';
            text += model.TextMatrix(row, col);
        }
        text += L"\r\n";
    }
    return text;
}

}  // namespace korvid::platform
