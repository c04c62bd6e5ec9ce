#include "platform/grid_model.h"

#include <stdexcept>

namespace korvid::platform {

namespace {
constexpr int kDefaultColumnTwips = 1200;
// More cells than this changed while held: one repaint of everything.
constexpr size_t kHeldCells = 256;
}  // namespace

GridModel::GridModel(int rows, int cols)
    : cols_(cols),
      cells_(rows, std::vector<std::wstring>(cols)),
      widths_(cols, kDefaultColumnTwips) {}

void GridModel::SetRows(int rows) {
    if (rows < 0) throw std::out_of_range("grid row count");
    cells_.resize(rows, std::vector<std::wstring>(cols_));
    if (row_ >= rows) row_ = rows > 0 ? rows - 1 : 0;
    Notify(Change::Kind::Rows, rows, 0);
}

const std::wstring& GridModel::TextMatrix(int row, int col) const {
    return cells_.at(row).at(col);
}

void GridModel::SetTextMatrix(int row, int col, std::wstring text) {
    std::wstring& cell = cells_.at(row).at(col);
    if (cell == text) return;
    cell = std::move(text);
    Notify(Change::Kind::Cell, row, col);
}

void GridModel::SetRow(int row) {
    if (row < 0 || row >= Rows()) throw std::out_of_range("grid row");
    if (row == row_) return;
    row_ = row;
    Notify(Change::Kind::CurrentCell, row_, col_);
}

void GridModel::SetCol(int col) {
    if (col < 0 || col >= cols_) throw std::out_of_range("grid column");
    if (col == col_) return;
    col_ = col;
    Notify(Change::Kind::CurrentCell, row_, col_);
}

void GridModel::SetColWidth(int col, int twips) {
    widths_.at(col) = twips;
    Notify(Change::Kind::ColumnWidth, 0, col);
}

void GridModel::Notify(Change::Kind kind, int row, int col) {
    if (!observer_) return;
    if (held_ == 0) {
        observer_(Change{kind, row, col});
        return;
    }
    switch (kind) {
        case Change::Kind::Rows: pending_.rows = true; break;
        case Change::Kind::CurrentCell: pending_.current = true; break;
        case Change::Kind::ColumnWidth:
        case Change::Kind::Layout: pending_.layout = true; break;
        case Change::Kind::Cell:
            if (pending_.layout) break;
            if (pending_.cells.size() == kHeldCells) {
                pending_.layout = true;
                pending_.cells.clear();
            } else {
                pending_.cells.emplace_back(row, col);
            }
            break;
    }
}

void GridModel::Release() {
    if (--held_ == 0) Tell();
}

void GridModel::Tell() {
    Pending pending = std::exchange(pending_, Pending{});
    if (!observer_) return;
    // Cells of rows that are gone by now are not told.
    if (pending.rows) observer_(Change{Change::Kind::Rows, Rows(), 0});
    if (pending.layout) observer_(Change{Change::Kind::Layout, 0, 0});
    for (const auto& [row, col] : pending.cells) {
        if (row < Rows()) observer_(Change{Change::Kind::Cell, row, col});
    }
    if (pending.current) observer_(Change{Change::Kind::CurrentCell, row_, col_});
}

}  // namespace korvid::platform
