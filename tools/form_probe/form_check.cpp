// korvid-form-check: checks the definition form that another process shows,
// through window messages only.
//
//   korvid-form-check.exe fresh       the form as it loads: caption, topmost,
//                                     control texts, options, grid headers
//   korvid-form-check.exe actions     OK, close, report name, options and grid
//                                     keys reach the form's logic and show
//   korvid-form-check.exe load PATH   Load through the open dialog fills the grid
//                                     (the three components of tests/data; numbers
//                                     in the user's decimal separator)
//   korvid-form-check.exe edit        typing through the edit box: clicks, grid
//                                     keys, Enter, Escape, check mark, cross, the
//                                     live copy; ends with an edit in progress
//   korvid-form-check.exe copy        Enter ends that edit; Copy from the pop-up
//                                     menu puts the grid on the clipboard
//   korvid-form-check.exe save PATH   Save through the save dialog writes what
//                                     was typed
//   korvid-form-check.exe paste       Paste of three spreadsheet lines
//   korvid-form-check.exe size-error  Paste of 18 cells a line: the box is left up
//   korvid-form-check.exe size-error-ok  OK on that box; no cell was written
//   korvid-form-check.exe reload PATH Load of the file that save wrote
//   korvid-form-check.exe define PATH [--report NAME]
//                                     a fresh form filled by keys and clicks
//                                     only, saved to PATH, then OK
//   korvid-form-check.exe ok          OK closes the form
//   option: --wait SECONDS            how long to wait for the form, and for
//                                     the dialogs (default 20)
//
// Prints "ok: <check>" or "FAIL: <check> ..." per check; exit code 0 when
// every check passed, 1 otherwise, 4 on bad arguments.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <string>
#include <vector>

#include "tools/form_probe/form_checker.h"

namespace {

using namespace korvid::form_check;

void CheckFresh(Checker& c) {
    c.Expect(L"caption", kFormCaption, WindowText(c.form_));
    c.ExpectTrue(L"topmost", (GetWindowLongW(c.form_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    struct Text {
        Id id;
        const wchar_t* name;
        const wchar_t* text;
    };
    const Text kTexts[] = {
        {Label1, L"Label1", L"Name For Report [Optional]"},
        {Option1, L"Option1", L"Use Name as CompID"},
        {Option2, L"Option2", L"Use CAS number as CompID"},
        {OKButton, L"OKButton", L"OK"},
        {FileNameTxt, L"FileNameTxt", L""},
        {Label2, L"Label2", L""},
        {Changefeild, L"Changefeild", L""},
        {ValidButton, L"ValidButton", kValidButtonText},
        {CancelButton, L"CancelButton", kCancelButtonText},
        {SaveButton, L"SaveButton", kSaveButtonText},
        {LoadButton, L"LoadButton", kLoadButtonText},
    };
    for (const Text& t : kTexts) c.Expect(std::wstring(t.name) + L" text", t.text, c.Text(t.id));
    c.Expect(L"grid class", kGridClassName, ClassName(c.Control(Grid)));
    c.Expect(L"Option1 selected", L"checked", c.Checked(Option1));
    c.Expect(L"Option2 not selected", L"unchecked", c.Checked(Option2));
    c.Expect(L"grid rows", L"10", c.RowCount());
    c.Expect(L"current cell", L"1,0", c.CurrentCell());
    const auto rows = c.GridRows();
    c.Expect(L"grid text rows", L"10", std::to_wstring(rows.size()));
    if (rows.empty()) return;
    c.Expect(L"header count", L"17", std::to_wstring(rows[0].size()));
    for (size_t col = 0; col < 17 && col < rows[0].size(); ++col) {
        c.Expect(L"header " + std::to_wstring(col), kHeaders[col], rows[0][col]);
    }
    for (size_t row = 1; row < rows.size(); ++row) {
        std::wstring joined;
        for (const auto& cell : rows[row]) joined += cell;
        c.Expect(L"row " + std::to_wstring(row) + L" empty with 17 cells",
                 L"17 cells, no text",
                 std::to_wstring(rows[row].size()) + L" cells, " + (joined.empty() ? L"no text" : joined));
    }
}

void CheckActions(Checker& c) {
    const std::wstring invalid = L"Enter or load valid components data.";
    ClickAndWait(c.Control(OKButton));
    c.Expect(L"OK on an empty grid: status", invalid, c.Text(Label2));
    c.ExpectTrue(L"OK on an empty grid: form stays open", IsWindowVisible(c.form_) != FALSE);

    TypeText(c.Control(FileNameTxt), L"x");
    c.Expect(L"typing a report name shows it", L"x", c.Text(FileNameTxt));
    c.Expect(L"typing a report name clears the status", L"", c.Text(Label2));

    PostMessageW(c.form_, WM_CLOSE, 0, 0);
    c.ExpectSoon(L"close refused: status", invalid, [&] { return c.Text(Label2); });
    c.ExpectTrue(L"close refused: form stays open", IsWindowVisible(c.form_) != FALSE);

    SelectAll(c.Control(FileNameTxt));
    TypeText(c.Control(FileNameTxt), L"\b");
    c.Expect(L"report name erased", L"", c.Text(FileNameTxt));
    c.Expect(L"erasing clears the status", L"", c.Text(Label2));

    ClickAndWait(c.Control(Option2));
    c.Expect(L"Option2 click selects it", L"checked", c.Checked(Option2));
    c.Expect(L"Option2 click clears Option1", L"unchecked", c.Checked(Option1));
    ClickAndWait(c.Control(Option1));
    c.Expect(L"Option1 click selects it", L"checked", c.Checked(Option1));
    c.Expect(L"Option1 click clears Option2", L"unchecked", c.Checked(Option2));

    for (UINT key : {VK_DOWN, VK_DOWN, VK_RIGHT}) c.PostKey(key);
    c.ExpectSoon(L"arrow keys move the current cell", L"3,1",
                 [&] { return c.CurrentCell(); });
    for (UINT key : {VK_UP, VK_UP, VK_LEFT}) c.PostKey(key);
    c.ExpectSoon(L"arrow keys move back", L"1,0",
                 [&] { return c.CurrentCell(); });
}

void CheckLoad(Checker& c, const std::wstring& path, int wait) {
    TargetMonitor monitor;
    monitor.SetTarget(ProcessOf(c.form_));
    monitor.SetForm(c.form_);
    const Deadline deadline(wait);
    c.ExpectTrue(L"open dialog answered", LoadThroughDialog(c.form_, path, monitor, deadline));
    c.ExpectSoon(L"grid rows after load", L"4", [&] { return c.RowCount(); });
    const auto rows = c.GridRows();
    struct Cell {
        size_t row;
        size_t col;
        const wchar_t* text;
    };
    const Cell kCells[] = {{1, 0, L"Methane"}, {1, 1, L"74-82-8"}, {1, 3, L"CH4"},
                           {1, 4, L"111.66"},  {2, 0, L"Ethane"},  {2, 1, L"74-84-0"},
                           {3, 0, L"Water"},   {3, 1, L"7732-18-5"}, {3, 15, L"-241.82"},
                           {3, 11, L"0.0019"}};
    // The form shows numbers with the user's decimal separator; this checker
    // runs in the same locale as the form's process.
    wchar_t separator[8] = L".";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    PrintLine(std::wstring(L"decimal separator: ") + separator);
    for (const Cell& cell : kCells) {
        const std::wstring got =
            cell.row < rows.size() && cell.col < rows[cell.row].size() ? rows[cell.row][cell.col] : L"";
        std::wstring expected = cell.text;
        if (cell.col >= 4) {
            const size_t point = expected.find(L'.');
            if (point != std::wstring::npos) expected.replace(point, 1, separator);
        }
        c.Expect(L"cell (" + std::to_wstring(cell.row) + L", " + std::to_wstring(cell.col) + L")",
                 expected, got);
    }
    c.Expect(L"status after load", L"", c.Text(Label2));
}

void CheckOk(Checker& c) {
    Click(c.Control(OKButton));
    bool closed = false;
    for (int waited = 0; waited < 3000 && !closed; waited += 20) {
        Sleep(20);
        closed = !IsWindow(c.form_) || !IsWindowVisible(c.form_);
    }
    if (!closed) PrintLine(L"status: " + c.Text(Label2));
    c.ExpectTrue(L"OK closes the form", closed);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    int wait = 20;
    std::wstring mode;
    std::wstring path;
    std::wstring report;
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] == L"--wait" && k + 1 < args.size()) {
            wait = _wtoi(args[++k].c_str());
        } else if (args[k] == L"--report" && k + 1 < args.size()) {
            report = args[++k];
        } else if (mode.empty()) {
            mode = args[k];
        } else if ((mode == L"load" || mode == L"save" || mode == L"reload" || mode == L"define") &&
                   path.empty()) {
            path = args[k];
        } else {
            mode.clear();
            break;
        }
    }
    const bool withPath = mode == L"load" || mode == L"save" || mode == L"reload" || mode == L"define";
    const bool known = withPath ? !path.empty()
                                : mode == L"fresh" || mode == L"actions" || mode == L"ok" ||
                                      mode == L"edit" || mode == L"copy" || mode == L"paste" ||
                                      mode == L"size-error" || mode == L"size-error-ok";
    if (!known || wait < 1 || (!report.empty() && mode != L"define")) {
        PrintLine(L"usage: korvid-form-check.exe fresh|actions|edit|copy|paste|size-error|"
                  L"size-error-ok|ok [--wait SECONDS]");
        PrintLine(L"       korvid-form-check.exe load|save|reload PATH [--wait SECONDS]");
        PrintLine(L"       korvid-form-check.exe define PATH [--report NAME] [--wait SECONDS]");
        return kBadArguments;
    }
    HWND form = nullptr;
    const Deadline deadline(wait);
    while (!(form = FindForm(0)) && !deadline.Passed()) Sleep(50);
    if (!form) {
        PrintLine(L"FAIL: no definition form appeared");
        return 1;
    }
    Checker checker(form);
    if (mode == L"fresh") CheckFresh(checker);
    if (mode == L"actions") CheckActions(checker);
    if (mode == L"load") CheckLoad(checker, path, wait);
    if (mode == L"edit") CheckEdit(checker);
    if (mode == L"copy") CheckCopy(checker);
    if (mode == L"save") CheckSave(checker, path, wait);
    if (mode == L"paste") CheckPaste(checker);
    if (mode == L"size-error") CheckSizeError(checker, wait);
    if (mode == L"size-error-ok") CheckSizeErrorAnswered(checker);
    if (mode == L"reload") CheckReload(checker, path, wait);
    if (mode == L"define") DefineByHand(checker, path, report, wait);
    if (mode == L"ok") CheckOk(checker);
    return checker.failures_ == 0 ? 0 : 1;
}
