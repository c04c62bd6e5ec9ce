#include "component_definition/grid_transfer.h"

#include <algorithm>

#include "component_definition/module_state.h"
#include "platform/platform.h"

namespace korvid::component_definition {

void ReadGridIntoTable(Module1State& module, const platform::GridModel& grid) {
    auto& platform = platform::CurrentPlatform();
    const int rows = grid.Rows();
    int named = 0;
    for (int r = 1; r < rows; ++r) {
        if (!grid.TextMatrix(r, 0).empty()) ++named;
    }
    // One fresh record more than the named rows: the last one stays fresh.
    module.g_components.assign(static_cast<size_t>(named) + 1, ComponentRecord{});
    size_t k = 0;
    for (int r = 1; r < rows; ++r) {
        if (grid.TextMatrix(r, 0).empty()) continue;
        ComponentRecord& record = module.g_components[k++];
        for (int c = 0; c < kTextFields; ++c) TextField(record, c) = grid.TextMatrix(r, c);
        for (int c = kTextFields; c < kRecordFields; ++c) {
            double number = 0.0;
            // Text that is no number leaves the field at 0.
            if (platform.ParseNumber(grid.TextMatrix(r, c), &number))
                SetNumberField(record, c, number);
        }
    }
    module.g_numComponents = named;
}

void FillGridFromTable(const Module1State& module, platform::GridModel& grid) {
    auto& platform = platform::CurrentPlatform();
    // Within what both the table and the grid hold.
    const int count = std::min({static_cast<int>(module.g_numComponents),
                                static_cast<int>(module.g_components.size()), grid.Rows() - 1});
    for (int k = 0; k < count; ++k) {
        const ComponentRecord& record = module.g_components[static_cast<size_t>(k)];
        const int r = k + 1;
        grid.SetTextMatrix(r, 0, record.name);
        grid.SetTextMatrix(r, 1, record.cas);
        if (!record.family.empty()) grid.SetTextMatrix(r, 2, record.family);
        if (!record.formula.empty()) grid.SetTextMatrix(r, 3, record.formula);
        for (int c = kTextFields; c < kRecordFields; ++c) {
            const double value = NumberField(record, c);
            if (value != 0.0) grid.SetTextMatrix(r, c, platform.FormatNumber(value));
        }
    }
}

void AutoSizeGridColumns(platform::GridModel& grid, platform::FormWindow& window) {
    for (int c = 0; c < grid.Cols(); ++c) {
        int widest = 0;
        for (int r = 0; r < grid.Rows(); ++r) {
            grid.SetRow(r);
            grid.SetCol(c);
            widest = std::max(widest, window.TextWidthTwips(grid.Text()));
        }
        grid.SetColWidth(c, widest + kColumnMarginTwips);
    }
}

}  // namespace korvid::component_definition
