// korvid-form-check MODE [PATH] [--wait SECONDS]: checks and
// drives the definition form of another process through window messages, the
// clipboard and the files it writes; MODE as in wmain. Prints "ok: <check>" or
// "FAIL: <check> ..." per check; exit 0 when all passed, 1 otherwise, 4 on bad arguments.
#include <windows.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/form_controls.h"
#include "tools/form_driver/form_driver.h"

namespace {

using namespace korvid::form_driver;
using namespace korvid::platform::form_controls;

const std::wstring kHeader =
    L"Name \tCAS number \tFamily\tSum Formula \tTB\tPC\tTC\tOmega\tMolecular "
    L"Weigth\tParachor\tCp0\tCp1\tCp2\t"
    L"Cp3\tCp4\tEnthalpy Of Formation\tLiquid Density (25\u00B0C)";
// The rows that the edit steps type, and the file that Save makes of them.
const std::vector<std::wstring> kTyped = {
    L"Water\t7732-18-5\tOther\t\t373.15\t45" + std::wstring(10, L'\t') + L"-241.82\t",
    L"Ethanol\t64-17-5\t\t\t351.44" + std::wstring(12, L'\t')};
constexpr wchar_t kTypedFile[] =
    L"<CR><LF>NAME=Water;CAS=7732-18-5;FAMILY=Other;FORMULA=;TB=373.15;PC=45;TC=0;OMEGA=0;MW=0;"
    L"PCHOR=0;CP0=0;"
    L"CP1=0;CP2=0;CP3=0;CP4=0;HF=-241.82;ILD=0<CR><LF>NAME=Ethanol;CAS=64-17-5;FAMILY=;FORMULA=;TB="
    L"351.44;PC=0;"
    L"TC=0;OMEGA=0;MW=0;PCHOR=0;CP0=0;CP1=0;CP2=0;CP3=0;CP4=0;HF=0;ILD=0<CR><LF>";
constexpr wchar_t kInvalid[] = L"Enter or load valid components data.";

HWND g_form = nullptr;
int g_failures = 0;

void Expect(const std::wstring& what, const std::wstring& expected, const std::wstring& got) {
    if (expected != got) ++g_failures;
    PrintLine(expected == got
                  ? L"ok: " + what
                  : L"FAIL: " + what + L": expected '" + expected + L"', got '" + got + L"'");
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
void ExpectTrue(const std::wstring& what, bool holds) {
    Expect(what, L"true", holds ? L"true" : L"false");
}

HWND Control(Id id) { return FormControl(g_form, id); }
std::wstring Text(Id id) { return WindowText(Control(id)); }
DWORD_PTR Answer(HWND window, UINT message) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    return answer;
}
std::wstring Options() {
    return std::wstring(Answer(Control(Option1), BM_GETCHECK) == BST_CHECKED ? L"1" : L"-") +
           (Answer(Control(Option2), BM_GETCHECK) == BST_CHECKED ? L"2" : L"-");
}
std::wstring RowCount() {
    return std::to_wstring(Answer(Control(Grid), RegisterWindowMessageW(kGridRowCountMessage)));
}
DWORD_PTR CurrentCell() {
    return Answer(Control(Grid), RegisterWindowMessageW(kGridCurrentCellMessage));
}
std::wstring Current() {
    return std::to_wstring(LOWORD(CurrentCell())) + L"," + std::to_wstring(HIWORD(CurrentCell()));
}
std::wstring Focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(g_form, nullptr), &info);
    return info.hwndFocus == Control(Grid)          ? L"Grid"
           : info.hwndFocus == Control(Changefeild) ? L"Box"
                                                    : L"other";
}
// Text of grid cell (row, col) from the grid's window text; empty outside the grid.
std::wstring Cell(size_t row, size_t col) {
    std::wistringstream rows(WindowText(Control(Grid)));
    std::wstring line;
    for (size_t r = 0; r <= row; ++r) {
        if (!std::getline(rows, line, L'\n')) return L"";
    }
    std::wistringstream cells(line.substr(0, line.find(L'\r')));
    for (size_t c = 0; c <= col; ++c) {
        if (!std::getline(cells, line, L'\t')) return L"";
    }
    return line;
}
// The header and `rows`, padded to ten rows of 17 cells, each row ended by `end`.
std::wstring GridText(const std::vector<std::wstring>& rows, const std::wstring& end) {
    std::wstring text = kHeader + end;
    for (size_t r = 0; r < 9; ++r)
        text += (r < rows.size() ? rows[r] : std::wstring(16, L'\t')) + end;
    return text;
}

// The form as it loads, then OK and close refused on its empty grid.
void CheckFresh() {
    ExpectTrue(L"topmost", (GetWindowLongW(g_form, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    Expect(L"caption and texts",
           std::wstring(kFormCaption) +
               L"|Name For Report [Optional]|Use Name as CompID|"
               L"Use CAS number as CompID|OK||",
           WindowText(g_form) + L"|" + Text(Label1) + L"|" + Text(Option1) + L"|" + Text(Option2) +
               L"|" + Text(OKButton) + L"|" + Text(FileNameTxt) + Text(Label2) + L"|" +
               Text(Changefeild));
    Expect(L"options, rows and current cell", L"1- 10 1,0",
           Options() + L" " + RowCount() + L" " + Current());
    Expect(L"grid text: the header and nine empty rows", GridText({}, L"\r\n"),
           WindowText(Control(Grid)));
    ClickAndWait(Control(OKButton));
    Expect(L"OK on an empty grid: status", kInvalid, Text(Label2));
    TypeText(Control(FileNameTxt), L"x");
    Expect(L"a report name typed clears the status", L"x|",
           Text(FileNameTxt) + L"|" + Text(Label2));
    PostMessageW(g_form, WM_CLOSE, 0, 0);
    ExpectSoon(L"close refused: status", kInvalid, [] { return Text(Label2); });
    ExpectTrue(L"the form stays open", IsWindowVisible(g_form) != FALSE);
    SelectAll(Control(FileNameTxt));
    TypeText(Control(FileNameTxt), L"\b");
    ClickAndWait(Control(Option2));
    Expect(L"Option2 clicked", L"-2", Options());
    ClickAndWait(Control(Option1));
    Expect(L"Option1 clicked, the report name erased", L"1-", Options() + Text(FileNameTxt));
}

// One step of a person's editing: 'c' click on cell (row, col), 'g' keys in
// the grid, 'b' keys in the edit box, 'a' the check mark, 'x' the cross, 'n'
// navigation keys (< > H: Left, Right, Home); then, where given, what the
// box, cell (row, col), the focus and the current cell show.
struct Step {
    char action;
    int row, col;
    const wchar_t *keys, *box, *cell, *focus, *current;
};
const Step kEditSteps[] = {
    {'c', 1, 0, L"", L"", nullptr, L"Box", L"1,0"},
    {'b', 1, 0, L"Water\r", L"", L"Water", L"Grid", L"1,0"},
    {'c', 1, 1, L"", L"", nullptr, L"Box", L"1,1"},
    {'b', 1, 1, L"7732-18-5", nullptr, nullptr, nullptr, nullptr},
    {'a', 1, 1, L"", L"", L"7732-18-5", L"Grid",
     L"1,2"},                                          // a CAS number taken: on to the next column
    {'g', 1, 2, L"O", L"O", nullptr, L"Box", L"1,2"},  // a key in the grid begins the text
    {'b', 1, 2, L"ther", L"Other", L"Other", nullptr, nullptr},  // the cell follows the typing
    {'b', 1, 2, L"\x1b", L"", L"Other", L"Grid", L"1,2"},
    {'n', 1, 4, L">>", nullptr, nullptr, L"Grid", L"1,4"},
    {'g', 1, 4, L"3", L"3", nullptr, L"Box", L"1,4"},
    {'b', 1, 4, L"73.15\r", L"", L"373.15", L"Grid", L"1,4"},
    {'c', 1, 4, L"", L"373.15", L"373.15", L"Box", L"1,4"},  // a click shows the cell's text
    {'b', 1, 4, L"\x1b", L"", L"373.15", L"Grid", L"1,4"},
    {'c', 1, 5, L"", L"", nullptr, L"Box", L"1,5"},
    {'b', 1, 5, L"45", nullptr, nullptr, nullptr, nullptr},
    {'x', 1, 5, L"", L"", L"45", L"Grid", L"1,5"},  // the cross keeps the live copy
    {'n', 1, 15, L">>>>>>>>>>", nullptr, nullptr, L"Grid", L"1,15"},  // scrolled into view
    {'g', 1, 15, L"-", L"-", nullptr, L"Box", L"1,15"},
    {'b', 1, 15, L"241.82\r", L"", L"-241.82", L"Grid", L"1,15"},
    {'n', 1, 0, L"H", nullptr, nullptr, nullptr, L"1,0"},
    {'c', 2, 0, L"", L"", nullptr, L"Box", L"2,0"},
    {'b', 2, 0, L"Ethanol\r", L"", L"Ethanol", L"Grid", L"2,0"},
    {'c', 2, 1, L"", nullptr, nullptr, nullptr, nullptr},
    {'b', 2, 1, L"64-17-5", nullptr, nullptr, nullptr, nullptr},
    {'a', 2, 1, L"", L"", L"64-17-5", L"Grid", L"2,2"},
    {'c', 2, 4, L"", nullptr, nullptr, nullptr, nullptr},
    {'b', 2, 4, L"351.44", L"351.44", L"351.44", L"Box", L"2,4"},  // left in progress
};

void CheckEdit() {
    int number = 0;
    for (const Step& s : kEditSteps) {
        const std::wstring what = L"step " + std::to_wstring(++number) + L" '" + s.keys + L"'";
        if (s.action == 'c')
            ExpectTrue(what + L": cell in view", ClickGridCell(Control(Grid), s.row, s.col));
        if (s.action == 'g') PostChars(Control(Grid), s.keys);
        for (const wchar_t* key = s.action == 'b' ? s.keys : L""; *key; ++key) {
            // Key by key, each once the box shows the one before, at a person's pace.
            const std::wstring before = Text(Changefeild);
            PostChars(Control(Changefeild), std::wstring(1, *key));
            for (int waited = 0; Text(Changefeild) == before && waited < 500; waited += 10)
                Sleep(10);
        }
        if (s.action == 'a' || s.action == 'x')
            ClickAndWait(Control(s.action == 'a' ? ValidButton : CancelButton));
        for (const wchar_t* key = s.action == 'n' ? s.keys : L""; *key; ++key) {
            PostMessageW(Control(Grid), WM_KEYDOWN,
                         *key == L'<'   ? VK_LEFT
                         : *key == L'>' ? VK_RIGHT
                                        : VK_HOME,
                         1);
        }
        if (s.box) ExpectSoon(what + L": edit box", s.box, [] { return Text(Changefeild); });
        if (s.cell) ExpectSoon(what + L": cell", s.cell, [&] { return Cell(s.row, s.col); });
        if (s.focus) ExpectSoon(what + L": focus", s.focus, Focus);
        if (s.current) {
            ExpectSoon(what + L": current cell", s.current, Current);
            POINT ignored;
            ExpectTrue(what + L": current cell in view",
                       GridCellPoint(Control(Grid), LOWORD(CurrentCell()), HIWORD(CurrentCell()),
                                     &ignored));
        }
    }
}

void CheckCopy() {
    PostChars(Control(Changefeild), L"\r");
    ExpectSoon(L"Enter ends the edit in progress", L"Grid", Focus);
    WriteClipboard(L"not the grid");
    ExpectTrue(L"Copy chosen", ChooseFromGridMenu(Control(Grid), 3, 3, L'C', Deadline(10)));
    ExpectSoon(L"the clipboard holds the grid, rows ended by CR", GridText(kTyped, L"\r"), [] {
        std::wstring text;
        ReadClipboard(&text);
        return text;
    });
    ExpectTrue(L"the form's window owns the copied text", GetClipboardOwner() == g_form);
}

// Save through the save dialog, then the file compared byte for byte.
void CheckSave(const std::wstring& path, int wait) {
    const std::wstring file = ToWindowsPath(path);
    DeleteFileW(file.c_str());
    TargetMonitor monitor;
    monitor.SetTarget(ProcessOf(g_form));
    monitor.SetForm(g_form);
    ExpectTrue(L"save dialog answered", SaveThroughDialog(g_form, path, monitor, Deadline(wait)));
    std::ifstream in(file.c_str(), std::ios::binary);
    std::wstring text;
    for (char ch; in.get(ch);)
        text += ch == '\r' ? L"<CR>" : ch == '\n' ? L"<LF>" : std::wstring(1, ch);
    Expect(L"the saved file", kTypedFile, text);
}

// Paste of the typed rows in the other order.
void CheckPaste() {
    WriteClipboard(kTyped[1] + L"\r\n" + kTyped[0] + L"\r\n");
    ExpectTrue(L"Paste chosen", ChooseFromGridMenu(Control(Grid), 1, 2, L'P', Deadline(10)));
    ExpectSoon(L"the grid after pasting two lines",
               kHeader + L"\r\n" + kTyped[1] + L"\r\n" + kTyped[0] + L"\r\n",
               [] { return WindowText(Control(Grid)); });
}

// Paste of lines with 18 cells: the message box is left up, no cell written.
void CheckSizeError(int wait) {
    WriteClipboard(std::wstring(3, L'x') + std::wstring(17, L'\t') + L"\r\n");
    const Deadline deadline(wait);
    ExpectTrue(L"Paste of 18 cells chosen",
               ChooseFromGridMenu(Control(Grid), 1, 0, L'P', deadline));
    HWND box = nullptr;
    while (!(box = FindWindowW(L"#32770", L"Vantrix")) && !deadline.Passed()) Sleep(30);
    ExpectTrue(L"a message box of the form's process titled Vantrix",
               box && ProcessOf(box) == ProcessOf(g_form));
    Expect(L"its text", L"Size error...", WindowText(GetDlgItem(box, 0xFFFF)));
    ExpectTrue(L"its one button is OK", GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL));
    Expect(L"rows set, no cell written while the box is up", L"2 Ethanol",
           RowCount() + L" " + Cell(1, 0));
}

void CheckSizeErrorAnswered() {
    HWND box = FindWindowW(L"#32770", L"Vantrix");
    Click(GetDlgItem(box, IDOK));
    ExpectSoon(L"the box goes with OK", L"gone",
               [&] { return box && IsWindow(box) ? L"up" : L"gone"; });
}

void CheckLoad(const std::wstring& path, int wait) {
    TargetMonitor monitor;
    monitor.SetTarget(ProcessOf(g_form));
    monitor.SetForm(g_form);
    ExpectTrue(L"open dialog answered", LoadThroughDialog(g_form, path, monitor, Deadline(wait)));
    ExpectSoon(L"grid rows after load", L"4", RowCount);
    // Numbers show in the user's decimal separator, this process's locale too.
    wchar_t separator[8] = L".";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    PrintLine(std::wstring(L"decimal separator: ") + separator);
    const struct {
        size_t row, col;
        std::wstring text;
    } cells[] = {
        {1, 0, L"Methane"},  {1, 4, L"111#66"},  {3, 1, L"7732-18-5"},
        {3, 15, L"-241#82"}, {3, 11, L"0#0019"},
    };
    for (const auto& cell : cells) {
        std::wstring expected = cell.text;
        if (expected.find(L'#') != std::wstring::npos)
            expected.replace(expected.find(L'#'), 1, separator);
        Expect(L"cell (" + std::to_wstring(cell.row) + L", " + std::to_wstring(cell.col) + L")",
               expected, Cell(cell.row, cell.col));
    }
    Expect(L"status and current cell after load", L"|3,16", Text(Label2) + L"|" + Current());
}

void CheckOk() {
    Click(Control(OKButton));
    ExpectSoon(L"OK closes the form", L"closed", [] {
        return !IsWindow(g_form) || !IsWindowVisible(g_form) ? L"closed" : L"open: " + Text(Label2);
    });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const std::wstring mode = args.empty() ? L"" : args[0];
    const bool withPath = mode == L"load" || mode == L"save";
    const std::wstring path = withPath && args.size() > 1 ? args[1] : L"";
    int wait = 20;
    bool known =
        !path.empty() || std::wstring(L"|fresh|edit|copy|paste|size-error|size-error-ok|ok|")
                                 .find(L"|" + mode + L"|") != std::wstring::npos;
    for (size_t k = withPath ? 2 : 1; k < args.size(); k += 2) {
        if (args[k] == L"--wait" && k + 1 < args.size())
            wait = _wtoi(args[k + 1].c_str());
        else
            known = false;
    }
    if (!known || wait < 1) {
        PrintLine(
            L"usage: korvid-form-check.exe fresh|edit|copy|paste|size-error|size-error-ok|ok|"
            L"load PATH|save PATH [--wait SECONDS]");
        return kBadArguments;
    }
    for (const Deadline deadline(wait); !(g_form = FindForm(0)) && !deadline.Passed();) Sleep(50);
    if (!g_form) return Expect(L"a definition form appeared", L"yes", L"no"), 1;
    if (mode == L"fresh") CheckFresh();
    if (mode == L"edit") CheckEdit();
    if (mode == L"copy") CheckCopy();
    if (mode == L"save") CheckSave(path, wait);
    if (mode == L"paste") CheckPaste();
    if (mode == L"size-error") CheckSizeError(wait);
    if (mode == L"size-error-ok") CheckSizeErrorAnswered();
    if (mode == L"load") CheckLoad(path, wait);
    if (mode == L"ok") CheckOk();
    return g_failures == 0 ? 0 : 1;
}
