// The data behind the form's grid control: cell texts, row and column
// counts, the current cell and column widths in twips. The form logic works
// on this model only; the window's grid control paints it and is told of
// every change through the observer, so it repaints only what changed.
//
// While notices are held (HeldNotices), changes are gathered and told once
// the hold ends: a load that walks the current cell over every cell and sets
// every column's width then costs the control one layout, not one scroll and
// one scroll-bar update per step.
#pragma once

#include <functional>
#include <utility>
#include <string>
#include <vector>

namespace korvid::platform {

class GridModel {
public:
    // What changed, for the control that shows the model.
    struct Change {
        // Layout: column widths or many cells changed at once; re-read and
        // repaint everything.
        enum class Kind { Cell, CurrentCell, Rows, ColumnWidth, Layout } kind;
        int row = 0;
        int col = 0;
    };
    using Observer = std::function<void(const Change&)>;

    GridModel(int rows, int cols);

    int Rows() const { return static_cast<int>(cells_.size()); }
    int Cols() const { return cols_; }
    // Rows beyond the new count are removed, new rows are empty.
    void SetRows(int rows);

    const std::wstring& TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, std::wstring text);

    int Row() const { return row_; }
    int Col() const { return col_; }
    void SetRow(int row);
    void SetCol(int col);
    // Text of the current cell.
    const std::wstring& Text() const { return TextMatrix(row_, col_); }
    void SetText(std::wstring text) { SetTextMatrix(row_, col_, std::move(text)); }

    int ColWidth(int col) const { return widths_.at(col); }
    void SetColWidth(int col, int twips);

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // Holds the observer's notices from construction to destruction (holds
    // nest); then tells what changed: rows, layout, cells, current cell.
    class HeldNotices {
    public:
        explicit HeldNotices(GridModel& model) : model_(model) { ++model_.held_; }
        // The notices only repaint: a failure to tell them loses no data.
        ~HeldNotices() {
            try {
                model_.Release();
            } catch (...) {
            }
        }
        HeldNotices(const HeldNotices&) = delete;
        HeldNotices& operator=(const HeldNotices&) = delete;

    private:
        GridModel& model_;
    };

    // Tells what changed so far while notices are held; they stay held.
    void TellHeld() {
        if (held_ > 0) Tell();
    }

private:
    // What changed while notices were held.
    struct Pending {
        bool rows = false;
        bool layout = false;
        bool current = false;
        std::vector<std::pair<int, int>> cells;
    };

    void Notify(Change::Kind kind, int row, int col);
    void Release();
    void Tell();

    int cols_;
    std::vector<std::vector<std::wstring>> cells_;
    std::vector<int> widths_;
    int row_ = 1;
    int col_ = 0;
    Observer observer_;
    int held_ = 0;
    Pending pending_;
};

}  // namespace korvid::platform
