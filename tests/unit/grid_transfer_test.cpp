// Moving components between the grid and the component table.
#include <gtest/gtest.h>

#include "component_definition/grid_transfer.h"
#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

using component_definition::AutoSizeGridColumns;
using component_definition::ComponentRecord;
using component_definition::FillGridFromTable;
using component_definition::ReadGridIntoTable;

class GridTransferTest : public FormTest {};

TEST_F(GridTransferTest, ReadGridIntoTableTakesNamedRowsInOrder) {
    struct Case {
        const char* proves;
        int rows;
        std::vector<std::vector<std::wstring>> grid;  // rows 1.. from column 0
        std::vector<std::wstring> names;
        std::vector<double> tb;
    };
    const Case cases[] = {
        {"header row only", 1, {}, {}, {}},
        {"no named row", 10, {{L"", L"74-82-8", L"x", L"y", L"5"}}, {}, {}},
        {"gaps are closed up", 10, {{L"a", L"1"}, {}, {L"c", L"", L"", L"", L"7"}}, {L"a", L"c"}, {0, 7}},
        {"a blank is a name", 3, {{L" "}}, {L" "}, {0}},
        {"letters, nothing and blanks around a number", 5,
         {{L"a", L"", L"", L"", L"abc"}, {L"b"}, {L"c", L"", L"", L"", L" 12.5 "}}, {L"a", L"b", L"c"},
         {0, 0, 12.5}},
    };
    for (const Case& c : cases) {
        ResetModule();
        Grid().SetRows(c.rows);
        for (size_t r = 0; r < c.grid.size(); ++r) FillRow(static_cast<int>(r) + 1, c.grid[r]);
        ReadGridIntoTable(module_, Grid());
        ASSERT_EQ(module_.g_numComponents, static_cast<int32_t>(c.names.size())) << c.proves;
        ASSERT_EQ(module_.g_components.size(), c.names.size() + 1) << c.proves;
        for (size_t k = 0; k < c.names.size(); ++k) {
            EXPECT_EQ(module_.g_components[k].name, c.names[k]) << c.proves;
            EXPECT_EQ(module_.g_components[k].tb, c.tb[k]) << c.proves;
        }
        ExpectSameRecord(module_.g_components.back(), ComponentRecord{}, c.proves);
    }
}

TEST_F(GridTransferTest, FillGridFromTableWritesOnlyWhatTheRecordHolds) {
    DefineComponents({{L"Water", L"", L"", L"", 0.0, 220.64},
                      {L"Ethanol", L"64-17-5", L"Alcohol", L"C2H6O", 351.4, 0, 0, 0, 0, 0, 0, 0,
                       0.0000119}});
    FillRow(1, {L"old", L"old", L"old", L"old", L"old", L"old"});
    FillGridFromTable(module_, Grid());
    struct Cell { int row, col; std::wstring text; const char* proves; };
    const Cell cells[] = {
        {1, 0, L"Water", "name written"},
        {1, 1, L"", "cas always written, also empty"},
        {1, 2, L"old", "empty family keeps the cell"},
        {1, 3, L"old", "empty formula keeps the cell"},
        {1, 4, L"old", "zero keeps the cell"},
        {1, 5, L"220.64", "number in the general format"},
        {2, 2, L"Alcohol", "family written"},
        {2, 12, L"1.19E-05", "small numbers in full, not truncated"},
        {0, 0, L"Name ", "header untouched"},
    };
    for (const Cell& c : cells) EXPECT_EQ(Grid().TextMatrix(c.row, c.col), c.text) << c.proves;
    EXPECT_EQ(Grid().Rows(), 10);

    // Back again: the grid's texts give the table's numbers exactly.
    ReadGridIntoTable(module_, Grid());
    EXPECT_EQ(module_.g_components[1].cp2, 0.0000119);
    EXPECT_EQ(module_.g_components[1].tb, 351.4);
}

TEST_F(GridTransferTest, ColumnsTakeTheirWidestTextPlusMargin) {
    platform_.twipsPerChar = 90;
    Grid().SetRows(3);
    FillRow(1, {L"Methane", L"74-82-8", L"", L"CH4"});
    FillRow(2, {L"a", L"", L"", L"", L"123456789012345"});
    AutoSizeGridColumns(Grid(), Window());
    struct Width { int col; int chars; };
    const Width widths[] = {{0, 7}, {1, 11}, {2, 6}, {3, 12}, {4, 15}, {15, 21}, {16, 21}};
    for (const Width& w : widths) {
        EXPECT_EQ(Grid().ColWidth(w.col), w.chars * 90 + 210) << "column " << w.col;
    }
    EXPECT_EQ(Grid().Row(), 2);
    EXPECT_EQ(Grid().Col(), 16);
}

}  // namespace
}  // namespace korvid::testing
