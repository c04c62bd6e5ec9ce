// The grid's keys and wheel apart from any window: where each navigation
// key takes the current cell, and how far the wheel scrolls.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/grid_geometry.h"

namespace korvid::platform {
namespace {

std::string Cell(GridCell c) { return std::to_string(c.row) + "," + std::to_string(c.col); }

TEST(GridNavigation, KeysKeepTheCurrentCellInTheDataCells) {
    // Six rows, the first fixed; four columns; three rows a page.
    const struct {
        UINT key;
        bool ctrl;
        GridCell from, to;
    } cases[] = {
        {VK_UP, false, {1, 2}, {1, 2}},    {VK_DOWN, false, {1, 2}, {2, 2}},
        {VK_DOWN, false, {5, 2}, {5, 2}},  {VK_LEFT, false, {3, 0}, {3, 0}},
        {VK_RIGHT, false, {3, 1}, {3, 2}}, {VK_RIGHT, false, {3, 3}, {3, 3}},
        {VK_NEXT, false, {1, 1}, {4, 1}},  {VK_NEXT, false, {4, 1}, {5, 1}},
        {VK_PRIOR, false, {5, 1}, {2, 1}}, {VK_PRIOR, false, {2, 1}, {1, 1}},
        {VK_HOME, false, {4, 3}, {4, 0}},  {VK_HOME, true, {4, 3}, {1, 0}},
        {VK_END, false, {2, 1}, {2, 3}},   {VK_END, true, {2, 1}, {5, 3}},
        {'A', false, {2, 1}, {2, 1}},      {VK_TAB, false, {2, 1}, {2, 1}},
    };
    for (const auto& c : cases) {
        const GridCell to = NavigateGrid(c.key, c.ctrl, c.from, 6, 4, 1, 3);
        EXPECT_EQ(Cell(to), Cell(c.to))
            << "key " << c.key << (c.ctrl ? " with Ctrl" : "") << " from " << Cell(c.from);
    }
    EXPECT_EQ(Cell(NavigateGrid(VK_DOWN, false, {0, 0}, 1, 4, 1, 3)), "0,0") << "no data row";
}

TEST(GridNavigation, TheWheelScrollsItsRowsANotchAndKeepsAPartNotch) {
    int remainder = 0;
    GridScroll scroll{10, 7};
    scroll = WheelScroll(scroll, -WHEEL_DELTA, 3, remainder);  // towards the person: down
    EXPECT_EQ(scroll.topRow, 13);
    EXPECT_EQ(scroll.xOffset, 7);
    scroll = WheelScroll(scroll, 2 * WHEEL_DELTA, 3, remainder);  // away: up two notches
    EXPECT_EQ(scroll.topRow, 7);
    scroll = WheelScroll(scroll, WHEEL_DELTA / 2, 3, remainder);  // half a notch waits
    EXPECT_EQ(scroll.topRow, 7);
    scroll = WheelScroll(scroll, WHEEL_DELTA / 2, 3, remainder);
    EXPECT_EQ(scroll.topRow, 4);
    EXPECT_EQ(remainder, 0);
}

}  // namespace
}  // namespace korvid::platform
