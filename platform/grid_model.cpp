#include "platform/grid_model.h"

#include <stdexcept>

namespace korvid::platform {

namespace {
constexpr int kDefaultColumnTwips = 1200;
}

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

void GridModel::Notify(Change::Kind kind, int row, int col) const {
    if (observer_) observer_(Change{kind, row, col});
}

}  // namespace korvid::platform
