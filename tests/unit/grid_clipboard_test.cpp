// Copy and Paste of the grid through the clipboard.
#include <gtest/gtest.h>

#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

class GridClipboardTest : public FormTest {};

std::wstring Line(int cells, const std::wstring& prefix) {
    std::wstring line;
    for (int c = 0; c < cells; ++c) line += (c ? L"\t" : L"") + prefix + std::to_wstring(c);
    return line + L"\r\n";
}

TEST_F(GridClipboardTest, CopyFromTheMenuPutsEveryCellOnTheClipboard) {
    std::wstring expected =
        L"Name \tCAS number \tFamily\tSum Formula \tTB\tPC\tTC\tOmega\tMolecular Weigth\tParachor\t"
        L"Cp0\tCp1\tCp2\tCp3\tCp4\tEnthalpy Of Formation\tLiquid Density (25\u00B0C)\r"
        L"Methane" + std::wstring(15, L'\t') + L"\t-1\r";
    for (int r = 2; r < 10; ++r) expected += std::wstring(16, L'\t') + L"\r";
    platform_.popupChoice = 1;
    platform_.formScripts.push_back([](auto& state, auto& handler, auto& window) {
        state.grid.SetTextMatrix(1, 0, L"Methane");
        state.grid.SetTextMatrix(1, 16, L"-1");
        handler.OnGridMouseDown(window, 1);  // the left button shows no menu
        handler.OnGridMouseDown(window, 2);
        state.closed = true;
    });
    Form().ShowModal();
    EXPECT_EQ(platform_.popupsShown, 1);
    EXPECT_EQ(platform_.clipboard.value_or(L"none"), expected);
}

TEST_F(GridClipboardTest, PasteFillsRowsFromTheFirstDataRow) {
    struct Case {
        const char* proves;
        std::optional<std::wstring> clipboard;
        int rows;
        std::vector<Cell> cells;
        size_t messages;
    };
    const Case cases[] = {
        {"three spreadsheet lines of 17 cells", Line(17, L"a") + Line(17, L"b") + Line(17, L"c"), 4,
         {{0, 0, L"Name "}, {1, 0, L"a0"}, {2, 8, L"b8"}, {3, 16, L"c16"}}, 0},
        {"two lines of two cells", Line(2, L"a") + Line(2, L"b"), 3,
         {{1, 1, L"a1"}, {2, 0, L"b0"}, {2, 2, L"old"}}, 0},
        {"18 cells per line: size error after the resize", Line(18, L"a") + Line(18, L"b"), 3,
         {{1, 0, L"old"}}, 1},
        {"a final line without CR is not pasted", L"a\tb\r\nc\td", 2, {{1, 0, L"a"}, {1, 1, L"b"}}, 0},
        {"a short line keeps the cells it lacks", Line(3, L"a") + Line(3, L"b") + L"x\r\n" + Line(3, L"c") + Line(3, L"d"),
         6, {{3, 0, L"x"}, {3, 1, L"old"}, {4, 2, L"c2"}}, 0},
        {"unicode stays exact", L"\u00C4thanol\t\u6C34\r\n", 2, {{1, 0, L"\u00C4thanol"}, {1, 1, L"\u6C34"}}, 0},
        {"no CR: the current cell takes it all", L"one\tword", 10, {{2, 3, L"one\tword"}, {1, 0, L"old"}}, 0},
        {"no text on the clipboard", std::nullopt, 10, {{1, 0, L"old"}}, 0},
    };
    for (const Case& c : cases) {
        ResetModule();
        PasteOverOld(c.clipboard);
        ASSERT_EQ(Grid().Rows(), c.rows) << c.proves;
        ExpectCells(c.cells, c.proves);
        ASSERT_EQ(platform_.messages.size(), c.messages) << c.proves;
        if (c.messages) {
            EXPECT_EQ(platform_.messages[0].text, L"Size error...");
            EXPECT_EQ(platform_.messages[0].caption, L"Vantrix");
            EXPECT_EQ(platform_.messages[0].icon, platform::MessageIcon::Stop);
        }
    }
}

}  // namespace
}  // namespace korvid::testing
