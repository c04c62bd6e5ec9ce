// Checks of the grid's CopyPaste menu with the system clipboard: Copy of
// what was typed, Paste of spreadsheet lines, and the size error of lines
// with more cells than the grid has columns. The menu is opened with the
// right button at a cell and its items are chosen by their access keys.
#include <windows.h>

#include <string>
#include <vector>

#include "tools/form_probe/form_checker.h"

namespace korvid::form_check {

namespace {

// Spreadsheet lines that the paste checks put on the clipboard: 17 cells,
// CR LF after every line.
std::wstring SpreadsheetLines(const std::vector<std::wstring>& names, int cells) {
    std::wstring text;
    for (const std::wstring& name : names) {
        text += name;
        for (int c = 1; c < cells; ++c) text += L"\t" + name.substr(0, 1) + std::to_wstring(c);
        text += L"\r\n";
    }
    return text;
}

std::wstring CellName(size_t row, size_t col) {
    return L"cell (" + std::to_wstring(row) + L", " + std::to_wstring(col) + L")";
}

}  // namespace

void CheckCopy(Checker& c) {
    // Ends the edit left in progress by CheckEdit.
    PostChars(c.Control(Changefeild), L"\r");
    c.ExpectSoon(L"Enter ends the edit in progress", L"184.5", [&] { return c.Cell(2, 4); });
    WriteClipboard(L"not the grid");
    const Deadline deadline(10);
    c.ExpectTrue(L"Copy chosen from the pop-up menu",
                 ChooseFromGridMenu(c.Control(Grid), 3, 3, L'C', deadline));
    std::wstring expected;
    for (const wchar_t* header : kHeaders) expected += std::wstring(header) + L"\t";
    expected.back() = L'\r';
    for (size_t row = 1; row < 10; ++row) {
        for (size_t col = 0; col < 17; ++col) {
            expected += row <= kTypedRows.size() ? kTypedRows[row - 1][col] : L"";
            expected += L"\t";
        }
        expected.back() = L'\r';
    }
    std::wstring got;
    c.ExpectSoon(L"clipboard holds the grid, header row first", expected, [&] {
        got.clear();
        ReadClipboard(&got);
        return got;
    });
    size_t tabs = 0;
    size_t lines = 0;
    bool oneRowPerCr = true;
    std::wstring row;
    for (wchar_t ch : got) {
        if (ch == L'\n') oneRowPerCr = false;
        if (ch == L'\t') ++tabs;
        if (ch == L'\r') ++lines;
    }
    // Windows keeps text on the clipboard only for an owner: the form's window.
    c.ExpectTrue(L"the form's window owns the copied text", GetClipboardOwner() == c.Form());
    c.Expect(L"copied rows end with CR alone", L"true", oneRowPerCr ? L"true" : L"false");
    c.Expect(L"copied rows", L"10", std::to_wstring(lines));
    c.Expect(L"16 TABs per copied row", L"160", std::to_wstring(tabs));
}

void CheckPaste(Checker& c) {
    const std::vector<std::wstring> names = {L"Propane", L"Butane", L"Pentane"};
    WriteClipboard(SpreadsheetLines(names, 17));
    const Deadline deadline(10);
    c.ExpectTrue(L"Paste chosen from the pop-up menu",
                 ChooseFromGridMenu(c.Control(Grid), 1, 2, L'P', deadline));
    c.ExpectSoon(L"rows after pasting three lines", L"4", [&] { return c.RowCount(); });
    const auto rows = c.GridRows();
    c.Expect(L"grid text rows after the paste", L"4", std::to_wstring(rows.size()));
    for (size_t col = 0; col < 17; ++col) {
        c.Expect(L"header " + std::to_wstring(col) + L" untouched", kHeaders[col], c.Cell(0, col));
    }
    for (size_t r = 0; r < names.size(); ++r) {
        const std::wstring initial = names[r].substr(0, 1);
        c.Expect(CellName(r + 1, 0), names[r], c.Cell(r + 1, 0));
        for (size_t col : {1u, 8u, 16u}) {
            c.Expect(CellName(r + 1, col), initial + std::to_wstring(col), c.Cell(r + 1, col));
        }
    }
}

void CheckSizeError(Checker& c, int wait) {
    WriteClipboard(SpreadsheetLines({L"Hexane", L"Heptane"}, 18));
    const Deadline deadline(wait);
    c.ExpectTrue(L"Paste of 18 cells chosen", ChooseFromGridMenu(c.Control(Grid), 1, 0, L'P', deadline));
    const DWORD pid = ProcessOf(c.form_);
    HWND box = nullptr;
    while (!(box = FindWindowW(L"#32770", L"Vantrix")) && !deadline.Passed()) Sleep(30);
    c.ExpectTrue(L"a message box titled Vantrix", box != nullptr && ProcessOf(box) == pid);
    if (!box) return;
    c.Expect(L"its text", L"Size error...", WindowText(GetDlgItem(box, 0xFFFF)));
    bool icon = false;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            icon = IsWindowVisible(child) != FALSE;
        }
    }
    c.ExpectTrue(L"it shows an icon", icon);
    c.ExpectTrue(L"its one button is OK", GetDlgItem(box, IDOK) != nullptr &&
                                               GetDlgItem(box, IDCANCEL) == nullptr &&
                                               GetDlgItem(box, IDYES) == nullptr);
    c.Expect(L"rows already set while the box is up", L"3", c.RowCount());
}

void CheckSizeErrorAnswered(Checker& c) {
    HWND box = FindWindowW(L"#32770", L"Vantrix");
    c.ExpectTrue(L"the Vantrix box is up", box != nullptr);
    if (box) Click(GetDlgItem(box, IDOK));
    c.ExpectSoon(L"the box goes with OK", L"gone",
                 [&] { return box && IsWindow(box) && IsWindowVisible(box) ? L"up" : L"gone"; });
    c.Expect(L"rows after the size error", L"3", c.RowCount());
    c.Expect(L"no cell written by the size error", L"Propane", c.Cell(1, 0));
    c.Expect(L"no cell written by the size error, second row", L"Butane", c.Cell(2, 0));
}

}  // namespace korvid::form_check
