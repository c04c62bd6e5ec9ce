// Cell editing: a click or a key in the grid starts an edit in the edit box;
// Enter, Escape, the accept and the cancel button end it. While the user
// types, every key also copies the box's text into the current cell.
#include "component_definition/cell_editing.h"

#include "component_definition/mo_def_frm.h"
#include "platform/platform.h"

namespace korvid::component_definition {

namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kNameColumn = 0;

// Back to idle: the box shows the idle colour and the grid has the focus.
void EndEdit(platform::EditBoxState& box, platform::FormFocus& focus) {
    box.background = platform::EditBackground::Idle;
    focus = platform::FormFocus::Grid;
}

}  // namespace

bool IsNumberText(std::wstring_view text) {
    double ignored = 0.0;
    return !text.empty() && platform::CurrentPlatform().ParseNumber(text, &ignored);
}

void SelectEditText(platform::EditBoxState& box) {
    box.blackText = true;
    box.selStart = 0;
    box.selLength = static_cast<int>(box.text.size());
}

void ValidateEditedCell(platform::GridModel& grid, platform::EditBoxState& box, int16_t& editCol,
                        platform::FormFocus& focus) {
    if (IsNumberText(box.text)) {
        grid.SetText(box.text);
        box.text.clear();
    } else if (editCol != kCasColumn) {
        grid.SetText(std::wstring());  // the box keeps the rejected text
    } else {
        grid.SetText(box.text);
        box.text.clear();
        grid.SetCol(editCol + 1);
    }
    EndEdit(box, focus);
}

// --- The form's events -----------------------------------------------------------

void MODefFrm::OnGridClick(platform::FormWindow&) {
    editCol_ = static_cast<int16_t>(state_.grid.Col());
    state_.focus = platform::FormFocus::EditBox;
    state_.changefeild.text = state_.grid.Text();
    state_.changefeild.background = platform::EditBackground::Editing;
    keyBeganText_ = false;
}

void MODefFrm::OnGridKeyPress(platform::FormWindow&, int charCode) {
    // Enter starts an edit like any other key, without a character; no
    // column total is run.
    editCol_ = static_cast<int16_t>(state_.grid.Col());
    if (editCol_ == kNameColumn) return;
    auto& box = state_.changefeild;
    state_.focus = platform::FormFocus::EditBox;
    box.text = state_.grid.Text();
    // The key begins the text of an empty cell; a filled cell drops it.
    keyBeganText_ = box.text.empty() && charCode != kEnter;
    if (keyBeganText_) box.text.assign(1, static_cast<wchar_t>(charCode));
    box.background = platform::EditBackground::Editing;
}

void MODefFrm::OnEditGotFocus(platform::FormWindow&) {
    auto& box = state_.changefeild;
    SelectEditText(box);
    if (keyBeganText_) {
        // The key is the first character of the new text: the caret follows it.
        box.selStart = static_cast<int>(box.text.size());
        box.selLength = 0;
        keyBeganText_ = false;
    }
}

bool MODefFrm::OnEditKeyPress(platform::FormWindow&, int charCode) {
    auto& box = state_.changefeild;
    switch (charCode) {
        case kEnter:
            if (IsNumberText(box.text)) state_.grid.SetText(box.text);
            box.text.clear();
            EndEdit(box, state_.focus);
            return true;
        case kEscape:
            box.text.clear();
            EndEdit(box, state_.focus);
            return false;
        default:
            // The live copy: the cell follows plain typing at the end of the text.
            state_.grid.SetText(box.text + static_cast<wchar_t>(charCode));
            return false;
    }
}

void MODefFrm::OnEditTextChange(platform::FormWindow&, const std::wstring& text) {
    state_.changefeild.text = text;
}

void MODefFrm::OnValidClick(platform::FormWindow&) {
    ValidateEditedCell(state_.grid, state_.changefeild, editCol_, state_.focus);
}

void MODefFrm::OnCancelClick(platform::FormWindow&) {
    state_.changefeild.text.clear();
    EndEdit(state_.changefeild, state_.focus);
}

}  // namespace korvid::component_definition
