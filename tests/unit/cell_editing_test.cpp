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
    // The window makes the clicked cell current, forwards the click and then
    // the box's focus event.
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
    // Keys in the box; a key the handler does not consume reaches the box as
    // an edit control applies it: replacing the selection, Backspace deleting.
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
        switch (end) {
            case End::Enter: Type(L"\r"); break;
            case End::Escape: Type(L"\x1b"); break;
            case End::Accept: Form().OnValidClick(Window()); break;
            case End::Cancel: Form().OnCancelClick(Window()); break;
        }
    }
};

TEST_F(CellEditingTest, EachEndingLeavesItsOutcomeInTheCell) {
    struct Case {
        const char* proves;
        int col;
        const wchar_t* before;
        const wchar_t* keys;
        End end;
        const wchar_t* cell;
        const wchar_t* box;
        int colAfter;
    };
    const Case cases[] = {
        {"number, Enter: typing replaces the selected text", 4, L"12.5", L"7", End::Enter, L"7", L"", 4},
        {"text, Enter: the live copy stays", 4, L"", L"abc", End::Enter, L"abc", L"", 4},
        {"text, accept: the cell is emptied", 4, L"", L"abc", End::Accept, L"", L"abc", 4},
        {"number, accept", 4, L"", L" 45 ", End::Accept, L" 45 ", L"", 4},
        {"Escape: the live copy stays", 4, L"", L"45", End::Escape, L"45", L"", 4},
        {"cancel: the live copy stays", 4, L"", L"45", End::Cancel, L"45", L"", 4},
        {"CAS text, accept: taken, next column", 1, L"", L"64-17-5", End::Accept, L"64-17-5", L"", 2},
        {"CAS text, Enter: live copy, same column", 1, L"", L"64-17-5", End::Enter, L"64-17-5", L"", 1},
        {"CAS, accept of nothing: empty text, next column", 1, L"9", L"\b", End::Accept, L"", L"", 2},
        {"name column accepts numbers only", 0, L"", L"Water", End::Accept, L"", L"Water", 0},
        {"Backspace, Enter: the box decides", 4, L"", L"123\b", End::Enter, L"12", L"", 4},
    };
    for (const Case& c : cases) {
        ResetModule();
        Grid().SetTextMatrix(1, c.col, c.before);
        Click(1, c.col);
        Type(c.keys);
        Finish(c.end);
        EXPECT_EQ(Grid().TextMatrix(1, c.col), c.cell) << c.proves;
        EXPECT_EQ(State().changefeild.text, c.box) << c.proves;
        EXPECT_EQ(Grid().Col(), c.colAfter) << c.proves;
        EXPECT_EQ(State().changefeild.background, EditBackground::Idle) << c.proves;
        EXPECT_EQ(State().focus, FormFocus::Grid) << c.proves;
    }
}

TEST_F(CellEditingTest, KeysStartAnEditOutsideTheNameColumn) {
    struct Case {
        int col;
        const wchar_t* cell;
        int key;
        bool starts;
        const wchar_t* box;
        int selStart, selLength;  // a key that begins the text leaves the caret after it
    };
    const Case cases[] = {
        {0, L"", '5', false, L"", 0, 0},  {0, L"Water", 'x', false, L"", 0, 0},
        {6, L"", '5', true, L"5", 1, 0},  {6, L"3", '5', true, L"3", 0, 1},
        {6, L"", 13, true, L"", 0, 0},    {6, L"3", 13, true, L"3", 0, 1},
        {6, L"45", 13, true, L"45", 0, 2},
    };
    for (const Case& c : cases) {
        ResetModule();
        Grid().SetCol(c.col);
        Grid().SetTextMatrix(1, c.col, c.cell);
        GridKey(c.key);
        const auto& box = State().changefeild;
        EXPECT_EQ(Form().EditCol(), c.col);
        EXPECT_EQ(State().focus, c.starts ? FormFocus::EditBox : FormFocus::None) << c.col << c.key;
        EXPECT_EQ(box.background, c.starts ? EditBackground::Editing : EditBackground::Initial);
        EXPECT_EQ(box.text, c.box) << c.col << " " << c.key;
        // The focus shows the text in black; a cell's text is wholly selected.
        EXPECT_EQ(box.blackText, c.starts);
        EXPECT_EQ(box.selStart, c.selStart) << c.col << " " << c.key;
        EXPECT_EQ(box.selLength, c.selLength) << c.col << " " << c.key;
        EXPECT_EQ(Grid().TextMatrix(1, c.col), c.cell) << "a key alone writes no cell";
    }
}

TEST_F(CellEditingTest, AKeyThatBeginsTheTextIsKeptByTheKeysAfterIt) {
    struct Case {
        const char* proves;
        const wchar_t* before;  // the cell when the first key comes
        const wchar_t* keys;    // the first one pressed in the grid, the rest in the box
        End end;
        const wchar_t* cell;
    };
    const Case cases[] = {
        {"typing into an empty cell keeps every key", L"", L"Alkane", End::Enter, L"Alkane"},
        {"a number typed from the grid", L"", L"45.5", End::Accept, L"45.5"},
        {"a filled cell drops the first key and its text is replaced", L"3", L"x12", End::Enter, L"12"},
    };
    for (const Case& c : cases) {
        ResetModule();
        Grid().SetCol(6);
        Grid().SetTextMatrix(1, 6, c.before);
        GridKey(c.keys[0]);
        Type(c.keys + 1);
        Finish(c.end);
        EXPECT_EQ(Grid().TextMatrix(1, 6), c.cell) << c.proves;
    }
    // After a key-begun edit, a click still selects the whole text of its cell.
    Grid().SetTextMatrix(2, 6, L"12.5");
    GridKey('9');
    Click(2, 6);
    EXPECT_EQ(State().changefeild.selStart, 0);
    EXPECT_EQ(State().changefeild.selLength, 4);
}

TEST_F(CellEditingTest, AcceptBeforeAnyEditEmptiesTheCurrentCell) {
    Grid().SetCol(3);
    Grid().SetTextMatrix(1, 3, L"CH4");
    Form().OnValidClick(Window());
    EXPECT_EQ(Grid().TextMatrix(1, 3), L"");
    EXPECT_EQ(Grid().Col(), 3) << "editCol is 0 before the first edit";
}

TEST_F(CellEditingTest, ANewEditLeavesTheEarlierCellWithItsLiveCopy) {
    Grid().SetTextMatrix(2, 5, L"9");
    Click(1, 4);
    Type(L"4");
    Click(2, 5);
    EXPECT_EQ(Grid().TextMatrix(1, 4), L"4");
    EXPECT_EQ(State().changefeild.text, L"9");
    EXPECT_EQ(Form().EditCol(), 5);
    // Typing over the selected "9": the cell gets the text before the key
    // plus the key, until the next key brings it in line with the box.
    Type(L"1");
    EXPECT_EQ(Grid().TextMatrix(2, 5), L"91");
    Type(L"2");
    EXPECT_EQ(Grid().TextMatrix(2, 5), L"12");
}

}  // namespace
}  // namespace korvid::testing
