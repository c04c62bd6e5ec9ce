// Editing a grid cell through the form's edit box: the box's two background
// states, its selection on focus, and the accept button's rules.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/definition_form_ui.h"
#include "platform/grid_model.h"

namespace korvid::component_definition {

// The CAS number column: the accept button takes any text there.
constexpr int kCasColumn = 1;

// The number test of an edit: the locale's text-to-number conversion accepts
// the whole text (blanks around it allowed); the empty text is no number.
bool IsNumberText(std::wstring_view text);

// When the box receives the focus: black text, the whole text selected.
void SelectEditText(platform::EditBoxState& box);

// The accept button: a number goes into the current cell; a non-number
// empties the cell, except in the CAS column, which takes it and moves the
// current cell one column on. The grid gets the focus.
void ValidateEditedCell(platform::GridModel& grid, platform::EditBoxState& box, int16_t& editCol,
                        platform::FormFocus& focus);

}  // namespace korvid::component_definition
