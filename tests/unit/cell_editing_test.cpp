// Editing grid cells through the edit box: how an edit starts and what each
// way of ending it leaves in the cell.
#include <gtest/gtest.h>

#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

using platform::EditBackground;
using platform::FormFocus;

enum class End { Enter, Accept, Escape, Cancel };

class CellEditingTest : public FormTest {
protected:
    // The window makes the clicked cell current, forwards the click, then the box's focus.
    void Click(int row, int col) {
        Grid().SetRow(row);
        Grid().SetCol(col);
        Form().OnGridClick(Window());
        FocusBoxIfAsked();
    }
    void GridKey(int key) {
        Form().OnGridKeyPress(Window(), key);
        FocusBoxIfAsked();
    }
    void FocusBoxIfAsked() {
        if (State().focus == FormFocus::EditBox) Form().OnEditGotFocus(Window());
    }
    // Keys in the box; one the handler does not consume reaches the box as an
    // edit control applies it: replacing the selection, Backspace deleting.
    void Type(const std::wstring& keys) {
        for (wchar_t key : keys) {
            if (Form().OnEditKeyPress(Window(), key) || key == 27) continue;
            auto& box = State().changefeild;
            std::wstring text = box.text;
            size_t start = std::min<size_t>(box.selStart, text.size());
            size_t length = std::min<size_t>(box.selLength, text.size() - start);
            if (key == 8 && length == 0 && start > 0) {
                --start;
                length = 1;
            }
            text.replace(start, length, key == 8 ? 0 : 1, key);
            Form().OnEditTextChange(Window(), text);
            box.selStart = static_cast<int>(start + (key == 8 ? 0 : 1));
            box.selLength = 0;
        }
    }
    void Finish(End end) {
        if (end == End::Enter) Type(L"\r");
        if (end == End::Escape) Type(L"\x1b");
        if (end == End::Accept) Form().OnValidClick(Window());
        if (end == End::Cancel) Form().OnCancelClick(Window());
    }
};

TEST_F(CellEditingTest, EachEndingLeavesItsOutcomeInTheCell) {
    struct Case {
        const char* proves;
        int col;
        const wchar_t* before;
        const wchar_t* keys;  // from a click on the cell, or from the grid when gridKey
        bool gridKey;
        End end;
        const wchar_t* cell;
        const wchar_t* box;
        int colAfter;
    };
    const Case cases[] = {
        {"number, Enter: typing replaces the selected text", 4, L"12.5", L"7", false, End::Enter, L"7", L"", 4},
        {"text, Enter: the live copy stays", 4, L"", L"abc", false, End::Enter, L"abc", L"", 4},
        {"text in a number column, accept: the cell is emptied", 4, L"", L"abc", false, End::Accept, L"", L"abc", 4},
        {"number, accept", 4, L"", L" 45 ", false, End::Accept, L" 45 ", L"", 4},
        {"Escape: the live copy stays", 4, L"", L"45", false, End::Escape, L"45", L"", 4},
        {"cancel: the live copy stays", 4, L"", L"45", false, End::Cancel, L"45", L"", 4},
        {"CAS text, accept: taken, next column", 1, L"", L"64-17-5", false, End::Accept, L"64-17-5", L"", 2},
        {"CAS, accept of nothing: next column", 1, L"9", L"\b", false, End::Accept, L"", L"", 2},
        {"name column accepts numbers only", 0, L"", L"Water", false, End::Accept, L"", L"Water", 0},
        {"Backspace, Enter", 4, L"", L"123\b", false, End::Enter, L"12", L"", 4},
        {"typing from the grid into an empty cell keeps every key", 6, L"", L"Alkane", true, End::Enter, L"Alkane", L"", 6},
        {"a key on a filled cell is dropped, the text replaced", 6, L"3", L"x12", true, End::Enter, L"12", L"", 6},
        {"Enter on an empty cell types nothing", 6, L"", L"\r45", true, End::Accept, L"45", L"", 6},
    };
    for (const Case& c : cases) {
        ResetModule();
        Grid().SetTextMatrix(1, c.col, c.before);
        if (c.gridKey) {
            Grid().SetCol(c.col);
            GridKey(c.keys[0]);
            Type(c.keys + 1);
        } else {
            Click(1, c.col);
            Type(c.keys);
        }
        Finish(c.end);
        EXPECT_EQ(Grid().TextMatrix(1, c.col), c.cell) << c.proves;
        EXPECT_EQ(State().changefeild.text, c.box) << c.proves;
        EXPECT_EQ(Grid().Col(), c.colAfter) << c.proves;
        EXPECT_EQ(State().changefeild.background, EditBackground::Idle) << c.proves;
        EXPECT_EQ(State().focus, FormFocus::Grid) << c.proves;
    }
}

TEST_F(CellEditingTest, KeysInTheGridStartAnEditOutsideTheNameColumn) {
    struct Case {
        int col;
        const wchar_t* cell;
        int key;
        bool starts;
        const wchar_t* box;
        int selStart, selLength;  // a key that begins the text leaves the caret after it
    };
    const Case cases[] = {
        {0, L"", '5', false, L"", 0, 0}, {0, L"Water", 'x', false, L"", 0, 0},
        {6, L"", '5', true, L"5", 1, 0}, {6, L"3", '5', true, L"3", 0, 1},
        {6, L"", 13, true, L"", 0, 0},   {6, L"45", 13, true, L"45", 0, 2},
    };
    for (const Case& c : cases) {
        ResetModule();
        Grid().SetCol(c.col);
        Grid().SetTextMatrix(1, c.col, c.cell);
        GridKey(c.key);
        const auto& box = State().changefeild;
        EXPECT_EQ(State().focus, c.starts ? FormFocus::EditBox : FormFocus::None) << c.col << " " << c.key;
        EXPECT_EQ(box.background, c.starts ? EditBackground::Editing : EditBackground::Initial);
        EXPECT_EQ(box.text, c.box) << c.col << " " << c.key;
        EXPECT_EQ(box.selStart, c.selStart) << c.col << " " << c.key;
        EXPECT_EQ(box.selLength, c.selLength) << c.col << " " << c.key;
        EXPECT_EQ(Grid().TextMatrix(1, c.col), c.cell) << "a key alone writes no cell";
    }
}

TEST_F(CellEditingTest, ANewEditLeavesTheEarlierCellWithItsLiveCopy) {
    Grid().SetTextMatrix(2, 5, L"9");
    Click(1, 4);
    Type(L"4");
    Click(2, 5);
    EXPECT_EQ(Grid().TextMatrix(1, 4), L"4");
    EXPECT_EQ(State().changefeild.text, L"9");
    Type(L"12");
    EXPECT_EQ(Grid().TextMatrix(2, 5), L"12");
}

}  // namespace
}  // namespace korvid::testing
