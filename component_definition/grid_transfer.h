// Moving components between the form's grid and the component table: the
// grid's rows below the header are the components, its 17 columns the
// fields of ComponentRecord in order.
#pragma once

#include "platform/definition_form_ui.h"
#include "platform/grid_model.h"

namespace korvid::component_definition {

struct Module1State;

// Margin added to the widest text of a column, in twips.
constexpr int kColumnMarginTwips = 210;

// Replaces the component table by the grid's named rows (column 0 not empty),
// in grid order without gaps, plus one fresh record after them.
void ReadGridIntoTable(Module1State& module, const platform::GridModel& grid);

// Writes components 0..g_numComponents-1 into rows 1..g_numComponents. Empty
// family/formula texts and zero numbers leave their cells as they were.
void FillGridFromTable(const Module1State& module, platform::GridModel& grid);

// Every column as wide as its widest text (header included) plus the margin;
// afterwards the current cell is the last row of the last column.
void AutoSizeGridColumns(platform::GridModel& grid, platform::FormWindow& window);

}  // namespace korvid::component_definition
