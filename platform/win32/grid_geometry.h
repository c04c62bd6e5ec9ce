// The arithmetic of the grid control, apart from any window: where each cell
// is on the screen for a given scroll position, which cell a point hits,
// which rows and columns a rectangle touches (so that painting visits only
// the visible ones, whatever the row count), how far to scroll to bring a
// cell into view, and where the navigation keys move the current cell.
//
// Rows scroll by whole rows below the fixed header row; columns scroll by
// pixels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace korvid::platform {

class GridModel;

// Twips (1440 to the inch) to pixels at `dpi`, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);
// Pixels to twips at `dpi`, rounded to the nearest twip.
int PixelsToTwips(int pixels, int dpi);

struct GridCell {
    int row = -1;
    int col = -1;
    bool operator==(const GridCell& other) const { return row == other.row && col == other.col; }
};

struct GridScroll {
    int topRow = 1;   // first scrollable row shown under the fixed rows
    int xOffset = 0;  // pixels scrolled to the left
    bool operator==(const GridScroll& other) const {
        return topRow == other.topRow && xOffset == other.xOffset;
    }
};

// A half-open range [first, last) of rows or columns.
struct GridSpan {
    int first = 0;
    int last = 0;
    int Count() const { return last > first ? last - first : 0; }
};

class GridGeometry {
public:
    GridGeometry(std::vector<int> columnWidths, int rowHeight, int rows, int fixedRows,
                 int clientWidth, int clientHeight);

    int Rows() const { return rows_; }
    int Cols() const { return static_cast<int>(lefts_.size()) - 1; }
    int FixedRows() const { return fixedRows_; }
    int RowHeight() const { return rowHeight_; }
    int TotalWidth() const { return lefts_.back(); }
    int ColumnWidth(int col) const { return lefts_[col + 1] - lefts_[col]; }

    // Data rows that fit wholly under the fixed rows (at least 1).
    int PageRows() const;
    int MaxTopRow() const;
    int MaxXOffset() const;
    GridScroll Clamp(GridScroll scroll) const;

    // Client rectangle of a cell; empty when the row is scrolled out of view.
    RECT CellRect(GridCell cell, GridScroll scroll) const;
    // The cell under a client point, or {-1, -1} outside every cell.
    GridCell HitTest(POINT point, GridScroll scroll) const;
    // Scrollable rows whose band meets client rows [top, bottom).
    GridSpan DataRowsIn(int top, int bottom, GridScroll scroll) const;
    // Columns that meet client columns [left, right).
    GridSpan ColsIn(int left, int right, GridScroll scroll) const;
    // The scroll position nearest to `scroll` that shows `cell` wholly (as far
    // as the client area allows).
    GridScroll ScrollToShow(GridCell cell, GridScroll scroll) const;

private:
    std::vector<int> lefts_;  // left edge of each column, unscrolled, and the total width
    int rowHeight_;
    int rows_;
    int fixedRows_;
    int clientWidth_;
    int clientHeight_;
};

// Navigation keys (arrows, Page Up/Down, Home, End; with Ctrl, Home and End
// go to the first and the last data cell). The current cell stays in the
// data rows; other keys leave it where it is.
GridCell NavigateGrid(UINT key, bool ctrl, GridCell current, int rows, int cols, int fixedRows,
                      int pageRows);

// The mouse wheel: `delta` (WHEEL_DELTA a notch, positive when the wheel
// turns away from the person) scrolls `rowsPerNotch` rows a notch, towards
// the top for positive; a part of a notch waits in `remainder`. Unclamped.
GridScroll WheelScroll(GridScroll scroll, int delta, int rowsPerNotch, int& remainder);

// The whole grid as text: cells joined by TAB, every row ended by CR LF.
std::wstring GridAsText(const GridModel& model);

}  // namespace korvid::platform
