// Components between the grid and the component table, and the grid's text
// as other programs read it.
#include <gtest/gtest.h>

#include "component_definition/grid_transfer.h"
#include "platform/win32/grid_geometry.h"
#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

using component_definition::FillGridFromTable;
using component_definition::ReadGridIntoTable;

class GridTransferTest : public FormTest {};

TEST_F(GridTransferTest, TheGridShowsWhatTheTableHoldsAndItsNamedRowsGoBack) {
    DefineComponents({{L"Water", L"", L"", L"", 0.0, 220.64},
                      {L"Ethanol", L"64-17-5", L"Alcohol", L"C2H6O", 351.4, 0, 0, 0, 0, 0, 0, 0,
                       0.0000119, 0, 0, -235.1}});
    FillRow(1, {L"old", L"old", L"old", L"old", L"old", L"old"});
    FillGridFromTable(module_, Grid());
    const std::vector<Cell> cells = {
        {1, 0, L"Water"},     {1, 1, L""},        {1, 2, L"old"},
        {1, 4, L"old"},       {1, 5, L"220.64"},  {2, 2, L"Alcohol"},
        {2, 12, L"1.19E-05"}, {2, 15, L"-235.1"}, {0, 0, L"Name "},
    };
    ExpectCells(cells, "filled from the table");

    FillRow(3, {L"", L"74-82-8", L"x", L"y", L"5"});
    FillRow(4, {L" ", L"", L"", L"", L" 12.5 "});
    ReadGridIntoTable(module_, Grid());
    ASSERT_EQ(module_.g_numComponents, 3) << "a row without a name is left out, a blank is a name";
    ASSERT_EQ(module_.g_components.size(), 4u) << "a fresh record after the last";
    EXPECT_EQ(module_.g_components[0].tb, 0) << "letters give 0";
    EXPECT_TRUE(module_.g_components[1].cp2 == 0.0000119 && module_.g_components[1].hf == -235.1);
    EXPECT_TRUE(module_.g_components[2].name == L" " && module_.g_components[2].tb == 12.5);
}

TEST(GridText, CellsJoinByTabRowsEndWithCrLfAndTheCurrentRowStaysInside) {
    platform::GridModel model(3, 3);
    model.SetTextMatrix(0, 0, L"Name ");
    model.SetTextMatrix(1, 1, L"74-82-8");
    model.SetTextMatrix(2, 2, L"\u00B0C");
    EXPECT_EQ(platform::GridAsText(model), L"Name \t\t\r\n\t74-82-8\t\r\n\t\t\u00B0C\r\n");
    model.SetRow(2);
    model.SetRows(2);
    EXPECT_EQ(model.Row(), 1);
    EXPECT_EQ(platform::GridAsText(model), L"Name \t\t\r\n\t74-82-8\t\r\n");
}

}  // namespace
}  // namespace korvid::testing
