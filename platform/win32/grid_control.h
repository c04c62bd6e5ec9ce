// "KorvidGrid": the window that shows a GridModel as a grid of cells, with a
// fixed header row, the current cell highlighted, grid lines and scroll bars.
// It repaints only what the model reports as changed and paints only the
// rows in view, so it stays quick with thousands of rows.
//
// A person's actions: a left click on a data cell makes it current, takes
// the focus and reports the click; the mouse buttons report their press; the
// navigation keys move the current cell; typed characters are reported.
//
// Other programs read it through window messages: WM_GETTEXT gives every
// row's cells joined by TAB, each row ended by CR LF; the registered messages
// of form_controls.h give the current cell and the row count.
#pragma once

#include <windows.h>

namespace korvid::platform {

class GridModel;

// What the grid reports to the window that holds it.
class GridEvents {
public:
    virtual ~GridEvents() = default;
    // A left click on a data cell, which is now the current cell.
    virtual void OnGridClick() = 0;
    virtual void OnGridKeyPress(int charCode) = 0;
    // 1 left, 2 right, 4 middle.
    virtual void OnGridMouseDown(int button) = 0;
};

// Registers the grid's window class for `instance`; false when it failed.
bool RegisterGridClass(HINSTANCE instance);
void UnregisterGridClass(HINSTANCE instance);

// Creates the grid over `model`, reporting to `events`; both must outlive the
// window. The font comes with WM_SETFONT.
HWND CreateGridControl(HWND parent, int id, HINSTANCE instance, GridModel& model,
                       GridEvents& events, DWORD exStyle);

// Height of a grid row for `font` (what the grid itself uses).
int GridRowHeight(HFONT font);

}  // namespace korvid::platform
