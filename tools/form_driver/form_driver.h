// Driving the definition form of another process through window messages, as
// a person's clicks and keys would: finding the form and its controls,
// clicking buttons, typing text, answering the open dialog, reading the
// status line, and pressing OK on the message boxes that process shows.
// Shared by korvid-autofill and the GUI checker.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "platform/win32/form_controls.h"

namespace korvid::form_driver {

// Exit codes of the tools (kept below 256: Wine cuts exit codes to 8 bits).
enum ExitCode : int {
    kDone = 0,
    kTimedOut = 1,
    kFormStayedOpen = 2,
    kTargetEnded = 3,
    kBadArguments = 4,
};

// One line on stdout in UTF-8, flushed at once.
void PrintLine(const std::wstring& line);

class Deadline {
public:
    explicit Deadline(int seconds) : end_(GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000) {}
    bool Passed() const { return GetTickCount64() >= end_; }

private:
    ULONGLONG end_;
};

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
DWORD ProcessOf(HWND window);

// A visible definition form of process `pid`, or of any process but this one
// when pid is 0; `except` is skipped (a form already handled).
HWND FindForm(DWORD pid, HWND except = nullptr);
// A control of the form by id, Frame2's children included.
HWND FormControl(HWND form, int id);
// The form's status line.
std::wstring StatusText(HWND form);

// A button click (posted: the click may open a modal window of its own).
void Click(HWND button);
// A click whose effects are complete when the call returns.
void ClickAndWait(HWND button);
// Selects the whole text of an edit control, as a person does before typing over it.
void SelectAll(HWND edit);
// Types `text` character by character.
void TypeText(HWND window, const std::wstring& text);

// Posts the character codes of `text` to `window` as the keyboard's WM_CHAR
// messages, which pass through the target's message loop and dialog keys.
void PostChars(HWND window, const std::wstring& text);

// The point of grid cell (row, col) in the grid's client coordinates, as the
// grid shows it now; false when the cell is not in view.
bool GridCellPoint(HWND grid, int row, int col, POINT* point);
// Presses and releases a mouse button (WM_LBUTTONDOWN/UP or WM_RBUTTONDOWN/UP)
// over grid cell (row, col); false when the cell is not in view.
bool ClickGridCell(HWND grid, int row, int col, bool right = false);
// The visible pop-up menu of process `pid`, or nullptr.
HWND FindPopupMenu(DWORD pid);
// Opens the grid's CopyPaste menu with the right button over cell (row, col)
// and chooses an item by its access key ('C' copy, 'P' paste). False when
// the menu did not come and go before the deadline.
bool ChooseFromGridMenu(HWND grid, int row, int col, wchar_t accessKey, const Deadline& deadline);

// The system clipboard's plain text of this session (nullopt when it holds none).
bool ReadClipboard(std::wstring* text);
bool WriteClipboard(const std::wstring& text);

// The common file dialog of process `pid` owned by `owner`, or nullptr.
HWND FindFileDialog(DWORD pid, HWND owner);
bool IsFileDialog(HWND dialog);
// A Unix path becomes the Windows path under which Wine shows it.
std::wstring ToWindowsPath(const std::wstring& path);

// Watches the target process: presses OK on its message boxes (printing each
// as "message: <caption>: <text>") and prints each new non-empty status line
// of the current form as "status: <text>".
class TargetMonitor {
public:
    ~TargetMonitor();

    void SetTarget(DWORD pid);
    DWORD Target() const { return pid_; }
    bool TargetEnded() const;
    void SetForm(HWND form);
    HWND Form() const { return form_; }
    // One round of watching; returns true when it dismissed a message box.
    bool Poll();
    // Prints the current status line unless it was the last one printed.
    void PrintStatus();

private:
    DWORD pid_ = 0;
    HANDLE process_ = nullptr;
    HWND form_ = nullptr;
    std::wstring lastStatus_;
    std::set<HWND> answered_;
};

// Hands `path` to the form, which loads it as if chosen in Load's dialog
// (WM_COPYDATA, see form_controls.h), and gives its answer.
platform::form_controls::LoadFileAnswer HandFile(HWND form, const std::wstring& path);
// Hands `path` again while the form answers "not now" (and the monitor
// watches the target), until the deadline: the last answer.
platform::form_controls::LoadFileAnswer HandFileWhenReady(HWND form, const std::wstring& path,
                                                          TargetMonitor& monitor,
                                                          const Deadline& deadline);

// How long a form may take to close after OK or its close command (stretched
// on slow machines).
constexpr int kCloseSeconds = 2;
// Closes a form that will not be filled, as a person would: the window's
// close command (a valid grid then closes with reporting off). A form that
// refuses it (nothing valid in its grid) is ended by a WM_QUIT to its
// thread, as a host quitting would end it: the creation fails rather than
// waits. Prints what closed it.
void CloseForm(HWND form, TargetMonitor& monitor);

// Presses Load on `form`, types `path` into the open dialog and confirms it.
// Watches the target meanwhile; false when the dialog did not come and go
// before the deadline.
bool LoadThroughDialog(HWND form, const std::wstring& path, TargetMonitor& monitor,
                       const Deadline& deadline);

// Presses Save on `form`, types `path` into the save dialog and confirms it;
// a question whether to replace an existing file is answered Yes.
bool SaveThroughDialog(HWND form, const std::wstring& path, TargetMonitor& monitor,
                       const Deadline& deadline);

// Polls `condition` every few milliseconds while the monitor watches the
// target; false when the deadline passes first.
template <typename Condition>
bool WaitWatching(Condition condition, TargetMonitor& monitor, const Deadline& deadline) {
    for (;;) {
        monitor.Poll();
        if (condition()) return true;
        if (deadline.Passed()) return false;
        Sleep(30);
    }
}

}  // namespace korvid::form_driver
