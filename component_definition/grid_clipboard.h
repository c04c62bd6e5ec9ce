// The grid's exchange with the clipboard as tab-separated text.
#pragma once

#include <string>

#include "platform/grid_model.h"

namespace korvid::component_definition {

// The whole grid, header row included: TAB between cells, CR after each row.
std::wstring GridClipboardText(const platform::GridModel& grid);
void CopyGridToClipboard(const platform::GridModel& grid);

// Fills the grid from the clipboard from row 1, column 0, with one row per
// CR-ended line; a text without CR goes into the current cell.
void PasteIntoGrid(platform::GridModel& grid);

}  // namespace korvid::component_definition
