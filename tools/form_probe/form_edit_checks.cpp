// Checks of the definition form that a person drives with the mouse and the
// keyboard: typing through the edit box, the CopyPaste menu with the real
// clipboard, the size error, Save and Load of what was typed, and a whole
// definition of components by keys and clicks.
//
// Every action is a window message posted as the mouse or the keyboard would
// post it (button presses at cell coordinates, WM_CHAR keys, the right button
// and the menu's access keys); every result is read back through window
// messages, the clipboard, the screen and the files written.
#include <windows.h>

#include <string>
#include <vector>

#include "tools/form_probe/form_checker.h"

namespace korvid::form_check {

const std::vector<std::vector<std::wstring>> kTypedRows = {
    {L"Methane", L"74-82-8", L"Alkane", L"", L"111.66", L"45", L"190.56", L"", L"", L"", L"", L"",
     L"", L"", L"", L"", L""},
    {L"Ethane", L"74-84-0", L"", L"", L"184.5", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"",
     L"", L""},
};

namespace {

constexpr wchar_t kEnter[] = L"\r";
constexpr wchar_t kEscape[] = L"\x1b";

// What a person sees of the edit box's background: the colour just inside
// its right edge, named after the system colour it matches. The two colours
// must differ in the colour scheme for the states to be told apart (the GUI
// test sets a scheme in which they do).
std::wstring BoxBackground(const Checker& c) {
    HWND box = c.Control(Changefeild);
    RECT client{};
    GetClientRect(box, &client);
    POINT at{client.right - 3, client.bottom / 2};
    ClientToScreen(box, &at);
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    if (pixel == GetSysColor(COLOR_ACTIVEBORDER)) return L"idle (active border)";
    if (pixel == GetSysColor(COLOR_HIGHLIGHTTEXT)) return L"editing (highlight text)";
    wchar_t text[16];
    swprintf(text, 16, L"#%06lX", static_cast<unsigned long>(pixel));
    return text;
}

std::wstring Selection(const Checker& c) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(c.Control(Changefeild), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    return std::to_wstring(LOWORD(answer)) + L"-" + std::to_wstring(HIWORD(answer));
}

bool CurrentInView(const Checker& c) {
    const DWORD_PTR cell = c.GridAnswer(kGridCurrentCellMessage);
    POINT ignored{};
    return GridCellPoint(c.Control(Grid), LOWORD(cell), HIWORD(cell), &ignored);
}

// The navigation keys of the steps: < > ^ v for the arrows, H for Home.
UINT NavigationKey(wchar_t key) {
    switch (key) {
        case L'<': return VK_LEFT;
        case L'>': return VK_RIGHT;
        case L'^': return VK_UP;
        case L'v': return VK_DOWN;
        default: return VK_HOME;
    }
}

std::wstring CellName(size_t row, size_t col) {
    return L"cell (" + std::to_wstring(row) + L", " + std::to_wstring(col) + L")";
}

// One step of a person's editing and what the form shows afterwards.
struct EditStep {
    const wchar_t* what;
    enum Action { ClickCell, GridKeys, BoxKeys, Accept, Cancel, Arrows } action;
    int row = 0;           // ClickCell: the cell clicked
    int col = 0;
    const wchar_t* keys = L"";  // GridKeys / BoxKeys: characters; Arrows: see NavigationKey
    // Expectations (nullptr: not looked at).
    const wchar_t* box = nullptr;
    const wchar_t* cell = nullptr;  // the text of cell (row, col) of the step's expectation
    int cellRow = 0;
    int cellCol = 0;
    const wchar_t* current = nullptr;
    const wchar_t* focus = nullptr;
    const wchar_t* background = nullptr;
};

constexpr wchar_t kEditing[] = L"editing (highlight text)";
constexpr wchar_t kIdle[] = L"idle (active border)";

void RunStep(Checker& c, const EditStep& s) {
    HWND grid = c.Control(Grid);
    HWND box = c.Control(Changefeild);
    const std::wstring what = s.what;
    switch (s.action) {
        case EditStep::ClickCell:
            c.ExpectTrue(what + L": the cell is in view", ClickGridCell(grid, s.row, s.col));
            break;
        case EditStep::GridKeys: PostChars(grid, s.keys); break;
        case EditStep::BoxKeys: {
            const std::wstring keys = s.keys;
            if (s.cell && keys.size() > 1 && keys.find_first_of(L"\r\x1b") == std::wstring::npos) {
                // Key by key: the cell follows the typing (the live copy).
                const std::wstring final = s.cell;
                for (size_t typed = 1; typed <= keys.size(); ++typed) {
                    PostChars(box, keys.substr(typed - 1, 1));
                    const std::wstring expected = final.substr(0, final.size() - (keys.size() - typed));
                    c.ExpectSoon(what + L": live copy after '" + keys.substr(0, typed) + L"'", expected,
                                 [&] { return c.Cell(s.cellRow, s.cellCol); });
                }
            } else {
                PostChars(box, keys);
            }
            break;
        }
        case EditStep::Accept: ClickAndWait(c.Control(ValidButton)); break;
        case EditStep::Cancel: ClickAndWait(c.Control(CancelButton)); break;
        case EditStep::Arrows:
            for (const wchar_t* key = s.keys; *key; ++key) c.PostKey(NavigationKey(*key));
            break;
    }
    if (s.box) c.ExpectSoon(what + L": edit box", s.box, [&] { return c.Text(Changefeild); });
    const std::wstring boxLength = s.box ? std::to_wstring(std::wstring(s.box).size()) : L"";
    if (s.action == EditStep::ClickCell && s.box) {
        c.ExpectSoon(what + L": the whole text selected", L"0-" + boxLength,
                     [&] { return Selection(c); });
    }
    if (s.action == EditStep::GridKeys && s.box && *s.box) {
        c.ExpectSoon(what + L": the caret follows the first key", boxLength + L"-" + boxLength,
                     [&] { return Selection(c); });
    }
    if (s.cell) {
        c.ExpectSoon(what + L": " + CellName(s.cellRow, s.cellCol), s.cell,
                     [&] { return c.Cell(s.cellRow, s.cellCol); });
    }
    if (s.current) {
        c.ExpectSoon(what + L": current cell", s.current, [&] { return c.CurrentCell(); });
        c.ExpectTrue(what + L": the current cell is in view", CurrentInView(c));
    }
    if (s.focus) c.ExpectSoon(what + L": focus", s.focus, [&] { return c.FocusName(); });
    if (s.background) {
        c.ExpectSoon(what + L": edit box background", s.background, [&] { return BoxBackground(c); });
    }
}

}  // namespace

void CheckEdit(Checker& c) {
    using S = EditStep;
    // {what, action, row, col, keys, box, cell, cellRow, cellCol, current, focus, background}
    const EditStep kSteps[] = {
        {L"click on the Name cell", S::ClickCell, 1, 0, L"", L"", L"", 1, 0, L"1,0", L"Changefeild", kEditing},
        {L"typing a name", S::BoxKeys, 0, 0, L"Methane", L"Methane", L"Methane", 1, 0},
        {L"Enter after a name", S::BoxKeys, 0, 0, kEnter, L"", L"Methane", 1, 0, L"1,0", L"Grid", kIdle},
        {L"click on the CAS cell", S::ClickCell, 1, 1, L"", L"", nullptr, 0, 0, L"1,1", L"Changefeild", kEditing},
        {L"typing a CAS number", S::BoxKeys, 0, 0, L"74-82-8", L"74-82-8", L"74-82-8", 1, 1},
        {L"the check mark takes a CAS number and moves on", S::Accept, 0, 0, L"", L"", L"74-82-8", 1, 1,
         L"1,2", L"Grid", kIdle},
        {L"a key in the grid begins the family", S::GridKeys, 0, 0, L"A", L"A", nullptr, 0, 0, L"1,2",
         L"Changefeild", kEditing},
        {L"typing goes on after the first key", S::BoxKeys, 0, 0, L"lkane", L"Alkane", L"Alkane", 1, 2},
        {L"Escape keeps the live copy", S::BoxKeys, 0, 0, kEscape, L"", L"Alkane", 1, 2, L"1,2", L"Grid", kIdle},
        {L"arrow keys to the Name column", S::Arrows, 0, 0, L"<<", nullptr, nullptr, 0, 0, L"1,0", L"Grid"},
        {L"a key in the Name column starts nothing", S::GridKeys, 0, 0, L"x", L"", L"Methane", 1, 0, L"1,0",
         L"Grid", kIdle},
        {L"arrow keys to TB", S::Arrows, 0, 0, L">>>>", nullptr, nullptr, 0, 0, L"1,4", L"Grid"},
        {L"a digit in the grid begins a number", S::GridKeys, 0, 0, L"1", L"1", nullptr, 0, 0, L"1,4",
         L"Changefeild", kEditing},
        {L"the rest of the number", S::BoxKeys, 0, 0, L"11.66", L"111.66", L"111.66", 1, 4},
        {L"Enter takes a number", S::BoxKeys, 0, 0, kEnter, L"", L"111.66", 1, 4, L"1,4", L"Grid", kIdle},
        {L"click on a filled cell selects its whole text", S::ClickCell, 1, 4, L"", L"111.66", L"111.66", 1, 4,
         L"1,4", L"Changefeild", kEditing},
        {L"Escape without typing", S::BoxKeys, 0, 0, kEscape, L"", L"111.66", 1, 4, L"1,4", L"Grid", kIdle},
        {L"click on TC", S::ClickCell, 1, 6, L"", L"", nullptr, 0, 0, L"1,6", L"Changefeild"},
        {L"letters in a number column", S::BoxKeys, 0, 0, L"abc", L"abc", L"abc", 1, 6},
        {L"the check mark empties the cell of a non-number", S::Accept, 0, 0, L"", L"abc", L"", 1, 6, L"1,6",
         L"Grid", kIdle},
        {L"the cross empties the box", S::Cancel, 0, 0, L"", L"", L"", 1, 6, L"1,6", L"Grid", kIdle},
        {L"click on TC again", S::ClickCell, 1, 6, L"", L"", nullptr, 0, 0, L"1,6", L"Changefeild", kEditing},
        {L"typing a number", S::BoxKeys, 0, 0, L"190.56", L"190.56", L"190.56", 1, 6},
        {L"the check mark takes a number", S::Accept, 0, 0, L"", L"", L"190.56", 1, 6, L"1,6", L"Grid", kIdle},
        {L"click on PC", S::ClickCell, 1, 5, L"", L"", nullptr, 0, 0, L"1,5", L"Changefeild"},
        {L"typing 45", S::BoxKeys, 0, 0, L"45", L"45", L"45", 1, 5},
        {L"the cross keeps the live copy", S::Cancel, 0, 0, L"", L"", L"45", 1, 5, L"1,5", L"Grid", kIdle},
        {L"click on the second Name cell", S::ClickCell, 2, 0, L"", L"", nullptr, 0, 0, L"2,0", L"Changefeild"},
        {L"typing the second name", S::BoxKeys, 0, 0, L"Ethane\r", L"", L"Ethane", 2, 0, L"2,0", L"Grid", kIdle},
        {L"click on the second CAS cell", S::ClickCell, 2, 1, L"", L"", nullptr, 0, 0, L"2,1", L"Changefeild"},
        {L"typing the second CAS number", S::BoxKeys, 0, 0, L"74-84-0", L"74-84-0", L"74-84-0", 2, 1},
        {L"the check mark moves to the family", S::Accept, 0, 0, L"", L"", L"74-84-0", 2, 1, L"2,2", L"Grid"},
        // Left in progress for the screenshot: the box and the cell show 184.5.
        {L"click on the second TB cell", S::ClickCell, 2, 4, L"", L"", nullptr, 0, 0, L"2,4", L"Changefeild",
         kEditing},
        {L"an edit in progress", S::BoxKeys, 0, 0, L"184.5", L"184.5", L"184.5", 2, 4, L"2,4", L"Changefeild",
         kEditing},
    };
    for (const EditStep& step : kSteps) RunStep(c, step);
}

namespace {

const wchar_t* const kFileKeys[] = {L"NAME", L"CAS", L"FAMILY", L"FORMULA", L"TB", L"PC",
                                    L"TC", L"OMEGA", L"MW", L"PCHOR", L"CP0", L"CP1",
                                    L"CP2", L"CP3", L"CP4", L"HF", L"ILD"};

// The .como text that Save writes for `rows` (grid columns 0 to 16), in a
// locale with "." as its decimal separator; the typed numbers need no
// truncation, and an empty number cell is written as 0.
std::string ExpectedFile(const std::vector<std::vector<std::wstring>>& rows) {
    std::string text = "\r\n";
    for (const auto& row : rows) {
        for (size_t col = 0; col < 17; ++col) {
            std::wstring value = row[col];
            if (col >= 4 && value.empty()) value = L"0";
            text += (col ? ";" : "");
            for (const wchar_t* k = kFileKeys[col]; *k; ++k) text += static_cast<char>(*k);
            text += "=";
            for (wchar_t ch : value) text += static_cast<char>(ch);
        }
        text += "\r\n";
    }
    return text;
}

std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(ToWindowsPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(no file)";
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::wstring Widen(const std::string& bytes) {
    std::wstring text;
    for (char ch : bytes) {
        if (ch == '\r') {
            text += L"<CR>";
        } else if (ch == '\n') {
            text += L"<LF>";
        } else {
            text += static_cast<wchar_t>(static_cast<unsigned char>(ch));
        }
    }
    return text;
}

// Save through the save dialog, then the file compared byte for byte.
void SaveAndCompare(Checker& c, const std::wstring& path, int wait,
                    const std::vector<std::vector<std::wstring>>& rows) {
    DeleteFileW(ToWindowsPath(path).c_str());
    TargetMonitor monitor;
    monitor.SetTarget(ProcessOf(c.form_));
    monitor.SetForm(c.form_);
    const Deadline deadline(wait);
    c.ExpectTrue(L"save dialog answered", SaveThroughDialog(c.form_, path, monitor, deadline));
    c.Expect(L"the saved file", Widen(ExpectedFile(rows)), Widen(FileBytes(path)));
    c.Expect(L"status after Save", L"", c.Text(Label2));
}

// The rows that DefineByHand types.
const std::vector<std::vector<std::wstring>> kDefinedRows = {
    {L"Water", L"7732-18-5", L"Other", L"", L"373.15", L"", L"", L"", L"18.015", L"", L"", L"",
     L"", L"", L"", L"-241.82", L""},
    {L"Ethanol", L"64-17-5", L"Alcohol", L"", L"351.44", L"", L"", L"", L"", L"", L"", L"", L"",
     L"", L"", L"", L""},
};

}  // namespace

void CheckSave(Checker& c, const std::wstring& path, int wait) {
    SaveAndCompare(c, path, wait, kTypedRows);
}

void CheckReload(Checker& c, const std::wstring& path, int wait) {
    TargetMonitor monitor;
    monitor.SetTarget(ProcessOf(c.form_));
    monitor.SetForm(c.form_);
    const Deadline deadline(wait);
    c.ExpectTrue(L"open dialog answered", LoadThroughDialog(c.form_, path, monitor, deadline));
    c.ExpectSoon(L"rows after loading what was typed", L"3", [&] { return c.RowCount(); });
    for (size_t r = 0; r < kTypedRows.size(); ++r) {
        for (size_t col = 0; col < 17; ++col) {
            // Empty texts and zero numbers are not written by a load.
            if (kTypedRows[r][col].empty()) continue;
            c.Expect(L"loaded " + CellName(r + 1, col), kTypedRows[r][col], c.Cell(r + 1, col));
        }
    }
    c.Expect(L"current cell after the column widths are set", L"2,16", c.CurrentCell());
    c.ExpectTrue(L"the current cell is in view after Load", CurrentInView(c));
}

void DefineByHand(Checker& c, const std::wstring& path, const std::wstring& report, int wait) {
    using S = EditStep;
    // {what, action, row, col, keys, box, cell, cellRow, cellCol, current, focus, background}
    const EditStep kSteps[] = {
        {L"name", S::ClickCell, 1, 0, L"", L"", nullptr, 0, 0, L"1,0", L"Changefeild"},
        {L"name typed", S::BoxKeys, 0, 0, L"Water\r", L"", L"Water", 1, 0, L"1,0", L"Grid"},
        {L"CAS number", S::ClickCell, 1, 1, L"", L"", nullptr, 0, 0, L"1,1", L"Changefeild"},
        {L"CAS number typed", S::BoxKeys, 0, 0, L"7732-18-5", L"7732-18-5"},
        {L"CAS number accepted", S::Accept, 0, 0, L"", L"", L"7732-18-5", 1, 1, L"1,2", L"Grid"},
        {L"family", S::GridKeys, 0, 0, L"O", L"O"},
        {L"family typed", S::BoxKeys, 0, 0, L"ther\r", L"", L"Other", 1, 2, L"1,2", L"Grid"},
        {L"to TB", S::Arrows, 0, 0, L">>", nullptr, nullptr, 0, 0, L"1,4"},
        {L"TB", S::GridKeys, 0, 0, L"3", L"3"},
        {L"TB typed", S::BoxKeys, 0, 0, L"73.15\r", L"", L"373.15", 1, 4, L"1,4", L"Grid"},
        {L"to MW", S::Arrows, 0, 0, L">>>>", nullptr, nullptr, 0, 0, L"1,8"},
        {L"MW", S::GridKeys, 0, 0, L"1", L"1"},
        {L"MW typed", S::BoxKeys, 0, 0, L"8.015\r", L"", L"18.015", 1, 8, L"1,8", L"Grid"},
        {L"to HF, scrolled into view", S::Arrows, 0, 0, L">>>>>>>", nullptr, nullptr, 0, 0, L"1,15"},
        {L"HF", S::GridKeys, 0, 0, L"-", L"-"},
        {L"HF typed", S::BoxKeys, 0, 0, L"241.82\r", L"", L"-241.82", 1, 15, L"1,15", L"Grid"},
        {L"back to the first column of the next row", S::Arrows, 0, 0, L"vH", nullptr, nullptr, 0, 0, L"2,0"},
        {L"second name", S::ClickCell, 2, 0, L"", L"", nullptr, 0, 0, L"2,0", L"Changefeild"},
        {L"second name typed", S::BoxKeys, 0, 0, L"Ethanol\r", L"", L"Ethanol", 2, 0},
        {L"second CAS number", S::ClickCell, 2, 1, L"", L"", nullptr, 0, 0, L"2,1", L"Changefeild"},
        {L"second CAS number typed", S::BoxKeys, 0, 0, L"64-17-5", L"64-17-5"},
        {L"second CAS number accepted", S::Accept, 0, 0, L"", L"", L"64-17-5", 2, 1, L"2,2", L"Grid"},
        {L"second family", S::GridKeys, 0, 0, L"A", L"A"},
        {L"second family typed", S::BoxKeys, 0, 0, L"lcohol\r", L"", L"Alcohol", 2, 2, L"2,2", L"Grid"},
        {L"to the second TB", S::Arrows, 0, 0, L">>", nullptr, nullptr, 0, 0, L"2,4"},
        {L"second TB", S::GridKeys, 0, 0, L"3", L"3"},
        {L"second TB typed", S::BoxKeys, 0, 0, L"51.44\r", L"", L"351.44", 2, 4, L"2,4", L"Grid"},
    };
    for (const EditStep& step : kSteps) RunStep(c, step);
    if (!report.empty()) {
        TypeText(c.Control(FileNameTxt), report);
        c.Expect(L"report name typed", report, c.Text(FileNameTxt));
    }
    ClickAndWait(c.Control(Option2));
    SaveAndCompare(c, path, wait, kDefinedRows);
    Click(c.Control(OKButton));
    c.ExpectSoon(L"OK closes the form", L"closed", [&] {
        return !IsWindow(c.form_) || !IsWindowVisible(c.form_) ? L"closed" : L"open: " + c.Text(Label2);
    });
}

}  // namespace korvid::form_check
