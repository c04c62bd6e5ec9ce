// The checks' common ground: reading and comparing what the definition form
// of another process shows, through window messages only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/form_controls.h"
#include "tools/form_driver/form_driver.h"

namespace korvid::form_check {

using namespace korvid::form_driver;
using namespace korvid::platform::form_controls;

inline const wchar_t* const kHeaders[] = {
    L"Name ", L"CAS number ", L"Family", L"Sum Formula ", L"TB", L"PC", L"TC", L"Omega",
    L"Molecular Weigth", L"Parachor", L"Cp0", L"Cp1", L"Cp2", L"Cp3", L"Cp4",
    L"Enthalpy Of Formation", L"Liquid Density (25\u00B0C)"};

class Checker {
public:
    explicit Checker(HWND form) : form_(form) {}

    void Expect(const std::wstring& what, const std::wstring& expected, const std::wstring& got) {
        if (expected == got) {
            PrintLine(L"ok: " + what);
        } else {
            ++failures_;
            PrintLine(L"FAIL: " + what + L": expected '" + expected + L"', got '" + got + L"'");
        }
    }
    void ExpectTrue(const std::wstring& what, bool holds) {
        Expect(what, L"true", holds ? L"true" : L"false");
    }
    // Waits a little for posted input to be handled before comparing.
    void ExpectSoon(const std::wstring& what, const std::wstring& expected,
                    const std::function<std::wstring()>& read) {
        std::wstring got = read();
        for (int waited = 0; got != expected && waited < 2000; waited += 20) {
            Sleep(20);
            got = read();
        }
        Expect(what, expected, got);
    }

    HWND Form() const { return form_; }
    HWND Control(Id id) const { return FormControl(form_, id); }
    std::wstring Text(Id id) const { return WindowText(Control(id)); }
    std::wstring Checked(Id id) const {
        DWORD_PTR state = 0;
        SendMessageTimeoutW(Control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
        return state == BST_CHECKED ? L"checked" : L"unchecked";
    }
    DWORD_PTR GridAnswer(const wchar_t* message) const {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(Control(Grid), RegisterWindowMessageW(message), 0, 0, SMTO_ABORTIFHUNG,
                            5000, &answer);
        return answer;
    }
    std::wstring RowCount() const { return std::to_wstring(GridAnswer(kGridRowCountMessage)); }
    std::wstring CurrentCell() const {
        const DWORD_PTR cell = GridAnswer(kGridCurrentCellMessage);
        return std::to_wstring(LOWORD(cell)) + L"," + std::to_wstring(HIWORD(cell));
    }
    std::vector<std::vector<std::wstring>> GridRows() const {
        std::vector<std::vector<std::wstring>> rows;
        const std::wstring text = WindowText(Control(Grid));
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(L"\r\n", start);
            if (end == std::wstring::npos) end = text.size();
            std::vector<std::wstring> cells;
            size_t cell = start;
            for (;;) {
                const size_t tab = text.find(L'\t', cell);
                if (tab == std::wstring::npos || tab > end) {
                    cells.push_back(text.substr(cell, end - cell));
                    break;
                }
                cells.push_back(text.substr(cell, tab - cell));
                cell = tab + 1;
            }
            rows.push_back(cells);
            start = end + 2;
        }
        return rows;
    }
    void PostKey(UINT key) { PostMessageW(Control(Grid), WM_KEYDOWN, key, 1); }

    // Text of grid cell (row, col); empty outside the grid.
    std::wstring Cell(size_t row, size_t col) const {
        const auto rows = GridRows();
        return row < rows.size() && col < rows[row].size() ? rows[row][col] : std::wstring();
    }
    // Which of the form's controls has the keyboard focus of the form's thread.
    HWND FocusedControl() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(form_, nullptr), &info);
        return info.hwndFocus;
    }
    std::wstring FocusName() const {
        const HWND focus = FocusedControl();
        if (focus == Control(Grid)) return L"Grid";
        if (focus == Control(Changefeild)) return L"Changefeild";
        if (focus == Control(FileNameTxt)) return L"FileNameTxt";
        return focus ? L"another window" : L"none";
    }

    HWND form_;
    int failures_ = 0;
};

// The rows that CheckEdit types, in grid columns 0 to 16 (empty where
// nothing is typed); the copy, Save and Load checks expect them back.
extern const std::vector<std::vector<std::wstring>> kTypedRows;

// Typing, paste and copy, the size error, Save and Load of what was typed,
// and the whole definition of components by keys and clicks
// (form_edit_checks.cpp).
void CheckEdit(Checker& c);
void CheckCopy(Checker& c);
void CheckPaste(Checker& c);
// Leaves the size error's box up (for a screenshot); the next answers it.
void CheckSizeError(Checker& c, int wait);
void CheckSizeErrorAnswered(Checker& c);
void CheckSave(Checker& c, const std::wstring& path, int wait);
void CheckReload(Checker& c, const std::wstring& path, int wait);
void DefineByHand(Checker& c, const std::wstring& path, const std::wstring& report, int wait);

}  // namespace korvid::form_check
