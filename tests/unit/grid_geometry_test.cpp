// The grid control's arithmetic: twips, hit tests, visible spans, scrolling
// into view, navigation keys and the grid's text for other programs.
#include <gtest/gtest.h>

#include <string>

#include "platform/grid_model.h"
#include "platform/win32/grid_geometry.h"

namespace korvid::platform {
namespace {

TEST(GridGeometry, TwipsAndPixelsConvertAtTheScreensDpi) {
    struct Case {
        int twips;
        int dpi;
        int pixels;
    };
    const Case kCases[] = {
        {1440, 96, 96}, {1200, 96, 80},  {1200, 120, 100}, {1200, 144, 120}, {240, 96, 16},
        {0, 96, 0},     {14, 96, 1},     {7, 96, 0},       {15, 96, 1},      {2100, 96, 140},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
    EXPECT_EQ(PixelsToTwips(80, 96), 1200);
    EXPECT_EQ(PixelsToTwips(100, 120), 1200);
    EXPECT_EQ(PixelsToTwips(1, 96), 15);
    EXPECT_EQ(PixelsToTwips(5, 0), 0);
}

// Columns 80, 80, 40 and 100 pixels wide (lefts 0, 80, 160, 200; total 300),
// rows 16 high under one fixed row, a client of 200 x 100: five whole data
// rows in view.
GridGeometry Sample(int rows = 100, int clientWidth = 200, int clientHeight = 100) {
    return GridGeometry({80, 80, 40, 100}, 16, rows, 1, clientWidth, clientHeight);
}

TEST(GridGeometry, PageAndScrollLimitsFollowRowsAndClient) {
    struct Case {
        const char* name;
        int rows;
        int width;
        int height;
        int pageRows;
        int maxTopRow;
        int maxXOffset;
    };
    const Case kCases[] = {
        {"many rows", 100, 200, 100, 5, 95, 100},
        {"rows fit", 4, 200, 100, 5, 1, 100},
        {"exactly one page", 6, 200, 100, 5, 1, 100},
        {"one row more than a page", 7, 200, 100, 5, 2, 100},
        {"wide client", 100, 400, 100, 5, 95, 0},
        {"client lower than a row", 100, 200, 20, 1, 99, 100},
        {"header only", 1, 200, 100, 5, 1, 100},
    };
    for (const Case& c : kCases) {
        const GridGeometry g = Sample(c.rows, c.width, c.height);
        EXPECT_EQ(g.PageRows(), c.pageRows) << c.name;
        EXPECT_EQ(g.MaxTopRow(), c.maxTopRow) << c.name;
        EXPECT_EQ(g.MaxXOffset(), c.maxXOffset) << c.name;
    }
    const GridGeometry g = Sample();
    EXPECT_EQ(g.Clamp({0, -5}), (GridScroll{1, 0}));
    EXPECT_EQ(g.Clamp({500, 999}), (GridScroll{95, 100}));
    EXPECT_EQ(g.Clamp({40, 30}), (GridScroll{40, 30}));
}

TEST(GridGeometry, HitTestFindsTheCellUnderAPoint) {
    struct Case {
        const char* name;
        POINT point;
        GridScroll scroll;
        GridCell cell;
    };
    const Case kCases[] = {
        {"header of the first column", {5, 5}, {1, 0}, {0, 0}},
        {"first data row, second column", {85, 20}, {1, 0}, {1, 1}},
        {"last pixel of a column", {79, 16}, {1, 0}, {1, 0}},
        {"first pixel of the next column", {80, 16}, {1, 0}, {1, 1}},
        {"bottom right corner", {199, 99}, {1, 0}, {6, 2}},
        {"scrolled down: header stays", {5, 10}, {40, 0}, {0, 0}},
        {"scrolled down: first band is the top row", {5, 16}, {40, 0}, {40, 0}},
        {"scrolled right by 50", {40, 20}, {1, 50}, {1, 1}},
        {"scrolled right into the last column", {150, 40}, {1, 100}, {2, 3}},
        {"left of the client", {-1, 20}, {1, 0}, {-1, -1}},
        {"below the client", {10, 100}, {1, 0}, {-1, -1}},
    };
    const GridGeometry g = Sample();
    for (const Case& c : kCases) {
        EXPECT_EQ(g.HitTest(c.point, c.scroll), c.cell) << c.name;
    }
    // Past the last column and past the last row, in a roomy client.
    const GridGeometry roomy = Sample(3, 400, 200);
    EXPECT_EQ(roomy.HitTest({350, 20}, {1, 0}), (GridCell{-1, -1}));
    EXPECT_EQ(roomy.HitTest({10, 50}, {1, 0}), (GridCell{-1, -1}));
    EXPECT_EQ(roomy.HitTest({10, 47}, {1, 0}), (GridCell{2, 0}));
}

TEST(GridGeometry, EveryVisibleCellIsHitAtItsCentre) {
    const GridGeometry g = Sample(30);
    const GridScroll kScrolls[] = {{1, 0}, {7, 33}, {25, 100}, {1, 99}};
    for (const GridScroll& scroll : kScrolls) {
        int visible = 0;
        for (int row = 0; row < g.Rows(); ++row) {
            for (int col = 0; col < g.Cols(); ++col) {
                const RECT r = g.CellRect({row, col}, scroll);
                if (IsRectEmpty(&r)) continue;
                EXPECT_EQ(r.right - r.left, g.ColumnWidth(col));
                EXPECT_EQ(r.bottom - r.top, g.RowHeight());
                const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                if (centre.x < 0 || centre.x >= 200 || centre.y >= 100) continue;
                ++visible;
                EXPECT_EQ(g.HitTest(centre, scroll), (GridCell{row, col}))
                    << "row " << row << " col " << col << " scroll " << scroll.topRow << ","
                    << scroll.xOffset;
            }
        }
        EXPECT_GT(visible, 0);
    }
}

TEST(GridGeometry, CellRectsOfRowsOutOfViewAreEmpty) {
    const GridGeometry g = Sample();
    struct Case {
        const char* name;
        GridCell cell;
        GridScroll scroll;
        RECT rect;
    };
    const Case kCases[] = {
        {"header", {0, 1}, {50, 0}, {80, 0, 160, 16}},
        {"top row under the header", {50, 1}, {50, 0}, {80, 16, 160, 32}},
        {"scrolled above", {49, 1}, {50, 0}, {0, 0, 0, 0}},
        {"below the client", {57, 1}, {50, 0}, {0, 0, 0, 0}},
        {"partly shown last band", {55, 0}, {50, 0}, {0, 96, 80, 112}},
        {"first band past the client", {56, 0}, {50, 0}, {0, 0, 0, 0}},
        {"scrolled right", {2, 3}, {1, 100}, {100, 32, 200, 48}},
        {"no such row", {100, 0}, {1, 0}, {0, 0, 0, 0}},
        {"no such column", {1, 4}, {1, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : kCases) {
        const RECT r = g.CellRect(c.cell, c.scroll);
        EXPECT_TRUE(EqualRect(&r, &c.rect))
            << c.name << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(GridGeometry, PaintingVisitsOnlyTheRowsAndColumnsInView) {
    const GridGeometry big({80, 80, 40, 100}, 16, 10000, 1, 200, 400);
    struct Case {
        const char* name;
        int top;
        int bottom;
        GridScroll scroll;
        GridSpan rows;
    };
    const Case kCases[] = {
        {"whole client at the start", 0, 400, {1, 0}, {1, 25}},
        {"whole client far down", 0, 400, {5000, 0}, {5000, 5024}},
        {"header band only", 0, 16, {1, 0}, {1, 1}},
        {"one band", 32, 48, {1, 0}, {2, 3}},
        {"two half bands", 40, 56, {1, 0}, {2, 4}},
        {"near the end", 0, 400, {9990, 0}, {9990, 10000}},
    };
    for (const Case& c : kCases) {
        const GridSpan rows = big.DataRowsIn(c.top, c.bottom, c.scroll);
        EXPECT_EQ(rows.first, c.rows.first) << c.name;
        EXPECT_EQ(rows.last, c.rows.last) << c.name;
        EXPECT_LE(rows.Count(), big.PageRows() + 1) << c.name;
    }
    struct ColCase {
        int left;
        int right;
        int xOffset;
        int first;
        int last;
    };
    const ColCase kCols[] = {
        {0, 200, 0, 0, 3}, {0, 80, 0, 0, 1},  {79, 81, 0, 0, 2},
        {0, 200, 100, 1, 4}, {150, 200, 100, 3, 4}, {0, 1, 299, 3, 4},
    };
    for (const ColCase& c : kCols) {
        const GridSpan cols = big.ColsIn(c.left, c.right, {1, c.xOffset});
        EXPECT_EQ(cols.first, c.first) << c.left << ".." << c.right << " at " << c.xOffset;
        EXPECT_EQ(cols.last, c.last) << c.left << ".." << c.right << " at " << c.xOffset;
    }
}

TEST(GridGeometry, ScrollingBringsTheCurrentCellIntoView) {
    struct Case {
        const char* name;
        GridCell cell;
        GridScroll from;
        GridScroll to;
    };
    const Case kCases[] = {
        {"already in view", {3, 1}, {1, 0}, {1, 0}},
        {"just below the page", {6, 0}, {1, 0}, {2, 0}},
        {"far below", {80, 0}, {1, 0}, {76, 0}},
        {"above the page", {10, 0}, {40, 0}, {10, 0}},
        {"last row", {99, 0}, {1, 0}, {95, 0}},
        {"header row does not scroll", {0, 0}, {40, 0}, {40, 0}},
        {"column past the right edge", {1, 3}, {1, 0}, {1, 100}},
        {"column left of the view", {1, 0}, {1, 100}, {1, 0}},
        {"column in view while scrolled", {1, 2}, {1, 90}, {1, 90}},
        {"partly hidden on the left", {1, 1}, {1, 90}, {1, 80}},
        {"both directions", {60, 3}, {1, 0}, {56, 100}},
    };
    const GridGeometry g = Sample();
    for (const Case& c : kCases) {
        EXPECT_EQ(g.ScrollToShow(c.cell, c.from), c.to) << c.name;
    }
    // A column wider than the client shows its left edge.
    const GridGeometry narrow({80, 500, 40}, 16, 10, 1, 200, 100);
    EXPECT_EQ(narrow.ScrollToShow({1, 1}, {1, 0}), (GridScroll{1, 80}));
}

TEST(GridGeometry, NavigationKeysMoveTheCurrentCellWithinTheDataRows) {
    struct Case {
        const char* name;
        UINT key;
        bool ctrl;
        GridCell from;
        GridCell to;
    };
    const Case kCases[] = {
        {"down", VK_DOWN, false, {1, 0}, {2, 0}},
        {"down at the last row", VK_DOWN, false, {9, 3}, {9, 3}},
        {"up", VK_UP, false, {5, 2}, {4, 2}},
        {"up never reaches the header", VK_UP, false, {1, 2}, {1, 2}},
        {"right", VK_RIGHT, false, {1, 0}, {1, 1}},
        {"right at the last column", VK_RIGHT, false, {1, 16}, {1, 16}},
        {"left at the first column", VK_LEFT, false, {3, 0}, {3, 0}},
        {"page down", VK_NEXT, false, {1, 4}, {6, 4}},
        {"page down near the end", VK_NEXT, false, {7, 4}, {9, 4}},
        {"page up", VK_PRIOR, false, {9, 4}, {4, 4}},
        {"page up near the top", VK_PRIOR, false, {3, 4}, {1, 4}},
        {"home", VK_HOME, false, {5, 9}, {5, 0}},
        {"end", VK_END, false, {5, 9}, {5, 16}},
        {"ctrl home", VK_HOME, true, {5, 9}, {1, 0}},
        {"ctrl end", VK_END, true, {5, 9}, {9, 16}},
        {"other keys do nothing", 'A', false, {5, 9}, {5, 9}},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(NavigateGrid(c.key, c.ctrl, c.from, 10, 17, 1, 5), c.to) << c.name;
    }
    // A grid with its header row only has no cell to move to.
    EXPECT_EQ(NavigateGrid(VK_DOWN, false, {0, 0}, 1, 17, 1, 5), (GridCell{0, 0}));
}

TEST(GridGeometry, GridTextJoinsCellsByTabAndEndsRowsWithCrLf) {
    GridModel model(3, 3);
    model.SetTextMatrix(0, 0, L"Name ");
    model.SetTextMatrix(0, 2, L"Family");
    model.SetTextMatrix(1, 1, L"74-82-8");
    model.SetTextMatrix(2, 2, L"Liquid Density (25\u00B0C)");
    EXPECT_EQ(GridAsText(model),
              L"Name \t\tFamily\r\n\t74-82-8\t\r\n\t\tLiquid Density (25\u00B0C)\r\n");
    model.SetRow(2);
    model.SetRows(2);
    EXPECT_EQ(model.Row(), 1) << "the current row stays inside the grid";
    model.SetRows(1);
    EXPECT_EQ(GridAsText(model), L"Name \t\tFamily\r\n");
    model.SetRows(0);
    EXPECT_EQ(GridAsText(model), L"");
    GridModel one(2, 1);
    one.SetTextMatrix(1, 0, L"x");
    EXPECT_EQ(GridAsText(one), L"\r\nx\r\n");
}

}  // namespace
}  // namespace korvid::platform
