// Editing grid cells through the edit box: how an edit starts and what each
// way of ending it leaves in the cell and the box.
#include <gtest/gtest.h>

#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

using platform::EditBackground;
using platform::FormFocus;

enum class End { Enter, Accept, Escape, Cancel };

class CellEditingTest : public FormTest {
protected:
    // Keys in the box; one the handler does not consume reaches the box as an
    // edit control applies it: replacing the selection, Backspace deleting.
    void Type(const std::wstring& keys) {
        for (wchar_t key : keys) {
            if (Form().OnEditKeyPress(Window(), key) || key == 27) continue;
            auto& box = State().changefeild;
            size_t start = std::min<size_t>(box.selStart, box.text.size());
            size_t length = std::min<size_t>(box.selLength, box.text.size() - start);
            if (key == 8 && length == 0 && start > 0) {
                --start;
                length = 1;
            }
            Form().OnEditTextChange(
                Window(), std::wstring(box.text).replace(start, length, key == 8 ? 0 : 1, key));
            box.selStart = static_cast<int>(start + (key == 8 ? 0 : 1));
            box.selLength = 0;
        }
    }
};

TEST_F(CellEditingTest, EachWayOfStartingAndEndingAnEditLeavesItsOutcome) {
    struct Case {
        const char* proves;
        int col;
        const wchar_t *before,
            *keys;  // keys after a click on the cell; with gridKey, the first in the grid
        bool gridKey;
        End end;
        const wchar_t *cell, *box;
        int colAfter;
    };
    const Case cases[] = {
        {"number, Enter: typing replaces the selected text", 4, L"12.5", L"7", false, End::Enter,
         L"7", L"", 4},
        {"text in a number column, accept: the cell is emptied", 4, L"", L"abc", false, End::Accept,
         L"", L"abc", 4},
        {"Escape: the live copy stays", 4, L"", L"45", false, End::Escape, L"45", L"", 4},
        {"cancel: the live copy stays", 4, L"", L"45", false, End::Cancel, L"45", L"", 4},
        {"CAS text, accept: taken, next column", 1, L"", L"64-17-5", false, End::Accept, L"64-17-5",
         L"", 2},
        {"name column accepts numbers only", 0, L"", L"Water", false, End::Accept, L"", L"Water",
         0},
        {"Backspace, Enter", 4, L"", L"123\b", false, End::Enter, L"12", L"", 4},
        {"a key in the grid begins the text of an empty cell", 6, L"", L"Alkane", true, End::Enter,
         L"Alkane", L"", 6},
        {"a key on a filled cell selects its text", 6, L"3", L"x12", true, End::Enter, L"12", L"",
         6},
        {"Enter in the grid on an empty cell types nothing", 6, L"", L"\r45", true, End::Accept,
         L"45", L"", 6},
        {"a key in the name column starts nothing", 0, L"", L"x", true, End::Enter, L"", L"", 0},
    };
    for (const Case& c : cases) {
        ResetModule();
        Grid().SetCol(c.col);
        Grid().SetTextMatrix(1, c.col, c.before);
        if (c.gridKey) {
            Form().OnGridKeyPress(Window(), c.keys[0]);
        } else {
            Form().OnGridClick(Window());
        }
        if (State().focus == FormFocus::EditBox)
            Form().OnEditGotFocus(Window());  // as the window does
        Type(c.keys + (c.gridKey ? 1 : 0));
        if (c.end == End::Enter) Type(L"\r");
        if (c.end == End::Escape) Type(L"\x1b");
        if (c.end == End::Accept) Form().OnValidClick(Window());
        if (c.end == End::Cancel) Form().OnCancelClick(Window());
        EXPECT_EQ(Grid().TextMatrix(1, c.col), c.cell) << c.proves;
        EXPECT_EQ(State().changefeild.text, c.box) << c.proves;
        EXPECT_EQ(Grid().Col(), c.colAfter) << c.proves;
        if (c.col != 0 || !c.gridKey) {
            EXPECT_EQ(State().changefeild.background, EditBackground::Idle) << c.proves;
            EXPECT_EQ(State().focus, FormFocus::Grid) << c.proves;
        }
    }
}

}  // namespace
}  // namespace korvid::testing
