// korvid-form-check SCRIPT SECTION: drives the definition form of another
// process through window messages, the clipboard and its file dialogs, as the
// "## SECTION" part of SCRIPT says, and prints a transcript: each action ("> "
// line), then what it changed in the form (options, status line, report name,
// edit box, focus, current cell, rows, message box...). The lines after an
// action in SCRIPT are what it is expected to change: the checker waits up to
// three seconds for the form to show them, then prints what it shows; the test
// compares the transcripts of all sections with SCRIPT. KORVID_UPDATE_EXPECTED
// set: no expected lines, the form is read once it stays still.
// Exit code 0, or 4 on bad arguments, a form that never appears or forms of
// two processes.
// KORVID_TIME_SCALE stretches every wait (tools/form_driver/time_scale.h).
//
// Actions: state (everything the form shows), click ROW COL, gridkeys "text",
// type "text" (into the edit box, key by key), key left|right|home|tab [N],
// accept, cancel, option 1|2, report "name", ok, close, clipboard "text",
// menu ROW COL copy|paste, save PATH, load PATH, box-ok. Texts take \r \t \e;
// paths take %VARIABLES%.
#include <windows.h>

#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/form_controls.h"
#include "tests/support/script_text.h"
#include "tools/form_driver/form_driver.h"
#include "tools/form_driver/time_scale.h"

namespace {

using namespace korvid::form_driver;
using korvid::testing::Shown;
using korvid::testing::Unescape;
using namespace korvid::platform::form_controls;
using Snapshot = std::map<std::wstring, std::wstring>;

HWND g_form = nullptr;

HWND Control(Id id) { return FormControl(g_form, id); }
std::wstring Text(Id id) { return WindowText(Control(id)); }
DWORD_PTR Answer(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, 5000, &answer);
    return answer;
}
bool Checked(Id id) { return Answer(Control(id), BM_GETCHECK) == BST_CHECKED; }
HWND MessageBoxUp() {
    HWND box = FindWindowW(L"#32770", L"Vantrix");
    return box && ProcessOf(box) == ProcessOf(g_form) ? box : nullptr;
}

// A text of the form in quotes, whole.
std::wstring Quoted(const std::wstring& text) { return L"\"" + Shown(text, 100000) + L"\""; }

// The program that shows `window`, by its file name.
std::wstring ProgramOf(HWND window) {
    std::wstring name(MAX_PATH, L'\0');
    DWORD size = MAX_PATH;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(window));
    if (!process || !QueryFullProcessImageNameW(process, 0, name.data(), &size)) size = 0;
    if (process) CloseHandle(process);
    name.resize(size);
    return name.substr(name.find_last_of(L"\\/") + 1);
}

// Where the form's thread has its focus: the grid, the edit box, the report
// name, another control by its window class and caption ("Button Save"), or
// none (the form is not the active window) and which window is active then.
std::wstring FocusName(HWND focus) {
    if (!focus) {
        const HWND active = GetForegroundWindow();
        return L"none, foreground: " +
               (!active ? std::wstring(L"none")
                : active == GetDesktopWindow()
                    ? std::wstring(L"the desktop")
                    : ClassName(active) + L" " + Quoted(WindowText(active)) + L" of " +
                          ProgramOf(active));
    }
    if (focus == Control(Grid)) return L"grid";
    if (focus == Control(Changefeild)) return L"box";
    if (focus == Control(FileNameTxt)) return L"report name";
    return ClassName(focus) + L" " + Quoted(WindowText(focus));
}

// What the form shows; `full` adds what never changes (caption, texts).
Snapshot Take(bool full) {
    Snapshot s;
    if (!IsWindow(g_form) || !IsWindowVisible(g_form)) return {{L"form", L"closed"}};
    s[L"form"] = L"open";
    if (full) {
        const bool topmost = GetWindowLongW(g_form, GWL_EXSTYLE) & WS_EX_TOPMOST;
        s[L"form"] = std::wstring(L"open") + (topmost ? L", topmost" : L"");
        s[L"texts"] = WindowText(g_form) + L" | " + Text(Label1) + L" | " + Text(Option1) + L" | " +
                      Text(Option2) + L" | " + Text(OKButton);
    }
    s[L"options"] = std::wstring(Checked(Option1) ? L"1" : L"-") + (Checked(Option2) ? L"2" : L"-");
    s[L"status"] = Quoted(Text(Label2));
    s[L"report name"] = Quoted(Text(FileNameTxt));
    s[L"box"] = Quoted(Text(Changefeild));
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(g_form, nullptr), &info);
    s[L"focus"] = FocusName(info.hwndFocus);
    HWND grid = Control(Grid);
    const DWORD_PTR cell = Answer(grid, RegisterWindowMessageW(kGridCurrentCellMessage));
    POINT point;
    s[L"current"] =
        std::to_wstring(LOWORD(cell)) + L"," + std::to_wstring(HIWORD(cell)) +
        (GridCellPoint(grid, LOWORD(cell), HIWORD(cell), &point) ? L"" : L", out of view");
    s[L"rows"] = std::to_wstring(Answer(grid, RegisterWindowMessageW(kGridRowCountMessage)));
    std::wistringstream rows(WindowText(grid));  // cells by tab, rows by CR LF
    int r = 0;
    for (std::wstring line; std::getline(rows, line, L'\n'); ++r) {
        line = line.substr(0, line.find(L'\r'));
        for (wchar_t& c : line) c = c == L'\t' ? L'|' : c;
        line.erase(line.find_last_not_of(L'|') + 1);
        if (!line.empty()) s[(r < 10 ? L"row 0" : L"row ") + std::to_wstring(r)] = line;
    }
    if (HWND box = MessageBoxUp()) {
        s[L"message box"] = Quoted(WindowText(GetDlgItem(box, 0xFFFF))) +
                            (GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) ? L", OK" : L"");
    }
    return s;
}

std::vector<std::wstring> Changes(const Snapshot& before, const Snapshot& after) {
    if (after.size() == 1 && before.size() > 1) return {L"  form: closed"};
    std::vector<std::wstring> lines;
    for (const auto& [key, value] : after) {
        const auto old = before.find(key);
        if (old == before.end() || old->second != value)
            lines.push_back(L"  " + key + L": " + value);
    }
    for (const auto& [key, value] : before) {
        if (!after.count(key)) lines.push_back(L"  " + key + L": (none)");
    }
    return lines;
}

// Runs one action; extra lines it prints itself (the clipboard, a file) go to `out`.
bool Act(const std::vector<std::wstring>& w, std::vector<std::wstring>& out) {
    const auto arg = [&](size_t k) { return k < w.size() ? w[k] : std::wstring(); };
    const auto number = [&](size_t k) { return _wtoi(arg(k).c_str()); };
    const std::wstring& action = w[0];
    HWND grid = Control(Grid);
    if (action == L"state") return true;  // the answer says it all
    if (action == L"click") return ClickGridCell(grid, number(1), number(2));
    if (action == L"clipboard") return WriteClipboard(Unescape(arg(1)));
    if (action == L"gridkeys") {
        PostChars(grid, Unescape(arg(1)));
    } else if (action == L"type") {
        for (wchar_t key : Unescape(arg(1))) {  // each once the box shows the one before
            const std::wstring before = Text(Changefeild);
            PostChars(Control(Changefeild), std::wstring(1, key));
            for (int waited = 0; Text(Changefeild) == before && waited < Scaled(500); waited += 10)
                Sleep(10);
        }
    } else if (action == L"key") {
        const WPARAM key = arg(1) == L"left"    ? VK_LEFT
                           : arg(1) == L"right" ? VK_RIGHT
                           : arg(1) == L"tab"   ? VK_TAB
                                                : VK_HOME;
        for (int n = std::max(1, number(2)); n > 0; --n) PostMessageW(grid, WM_KEYDOWN, key, 1);
    } else if (action == L"accept" || action == L"cancel") {
        ClickAndWait(Control(action == L"accept" ? ValidButton : CancelButton));
    } else if (action == L"option") {
        ClickAndWait(Control(number(1) == 1 ? Option1 : Option2));
    } else if (action == L"report") {
        SelectAll(Control(FileNameTxt));
        TypeText(Control(FileNameTxt), arg(1).empty() ? L"\b" : arg(1));
    } else if (action == L"ok") {
        Click(Control(OKButton));
    } else if (action == L"close") {
        PostMessageW(g_form, WM_CLOSE, 0, 0);
    } else if (action == L"box-ok") {
        Click(GetDlgItem(MessageBoxUp(), IDOK));
    } else if (action == L"menu") {
        const bool copy = arg(3) == L"copy";
        std::wstring before, text;
        ReadClipboard(&before);
        const bool chosen = ChooseFromGridMenu(grid, number(1), number(2), copy ? L'C' : L'P',
                                               Deadline(Scaled(10)));
        for (int waited = 0; copy && waited < Scaled(2000); waited += 20) {
            if (ReadClipboard(&text) && text != before) break;
            Sleep(20);
        }
        if (copy) {
            out.push_back(L"  clipboard: " + Quoted(text) +
                          (GetClipboardOwner() == g_form ? L", the form's" : L", not the form's"));
        }
        return chosen;
    } else if (action == L"hand") {
        // The file handed as korvid-autofill hands it, once, and the form's answer.
        wchar_t path[MAX_PATH];
        ExpandEnvironmentStringsW(arg(1).c_str(), path, MAX_PATH);
        const auto answer = HandFile(g_form, path);
        out.push_back(std::wstring(L"  answer: ") + (answer == kLoadFilled    ? L"filled"
                                                     : answer == kLoadNothing ? L"nothing"
                                                                              : L"not now"));
    } else if (action == L"open-load") {  // Load's dialog left open
        Click(Control(LoadButton));
        const Deadline deadline(Scaled(20));
        while (!FindFileDialog(ProcessOf(g_form), g_form) && !deadline.Passed()) Sleep(20);
        return FindFileDialog(ProcessOf(g_form), g_form) != nullptr;
    } else if (action == L"dialog-cancel") {
        const HWND dialog = FindFileDialog(ProcessOf(g_form), g_form);
        if (!dialog) return false;
        Click(GetDlgItem(dialog, IDCANCEL));
        const Deadline deadline(Scaled(20));
        while (IsWindow(dialog) && !deadline.Passed()) Sleep(20);
        return !IsWindow(dialog);
    } else if (action == L"save" || action == L"load") {
        wchar_t path[MAX_PATH];
        ExpandEnvironmentStringsW(arg(1).c_str(), path, MAX_PATH);
        if (action == L"save") DeleteFileW(ToWindowsPath(path).c_str());
        TargetMonitor monitor;
        monitor.SetTarget(ProcessOf(g_form));
        monitor.SetForm(g_form);
        if (action == L"load") return LoadThroughDialog(g_form, path, monitor, Deadline(20));
        if (!SaveThroughDialog(g_form, path, monitor, Deadline(20))) return false;
        std::ifstream in(ToWindowsPath(path).c_str(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        out.push_back(L"  file: " + Quoted(std::wstring(bytes.begin(), bytes.end())));
    } else {
        return false;  // no such action
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        PrintLine(L"usage: korvid-form-check.exe SCRIPT SECTION");
        return 4;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    std::wstring script(bytes.size(), L'\0');
    script.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                      script.data(), static_cast<int>(script.size())));
    std::wistringstream text(script);
    std::vector<std::wstring> lines;  // the section's lines
    bool inside = false;
    for (std::wstring line; std::getline(text, line);) {
        if (line.rfind(L"## ", 0) == 0) inside = line.substr(3) == argv[2];
        if (inside) lines.push_back(line);
    }
    for (const Deadline deadline(Scaled(20)); !(g_form = FindForm(0)) && !deadline.Passed();)
        Sleep(50);
    if (lines.empty() || !g_form) {
        PrintLine(lines.empty() ? L"no such section" : L"no definition form appeared");
        return 4;
    }
    // A form of another process (one that an earlier test left up) holds the
    // foreground: this one then shows no focus, and clicks may reach the other.
    if (const HWND other = FindForm(0, g_form); other && ProcessOf(other) != ProcessOf(g_form)) {
        PrintLine(L"another process shows a definition form too");
        return 4;
    }
    const bool update = _wgetenv(L"KORVID_UPDATE_EXPECTED") != nullptr;
    Snapshot seen = Take(false);
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::wstring& line = lines[k];
        if (line.rfind(L"> ", 0) != 0) {
            if (line.rfind(L"  ", 0) != 0) PrintLine(line);  // comments, the section's name
            continue;
        }
        PrintLine(line);
        std::vector<std::wstring> words, expected, out;
        std::wistringstream in(line.substr(2));
        for (std::wstring word; in >> std::quoted(word, L'"', L'\x7f');) words.push_back(word);
        for (size_t e = k + 1; e < lines.size() && lines[e].rfind(L"  ", 0) == 0; ++e)
            expected.push_back(lines[e]);
        if (!Act(words, out)) out.push_back(L"  FAILED: the action could not be done");
        const bool full = words[0] == L"state";
        if (full) seen.clear();
        // The form's answer: the expected lines once they show, or what it
        // shows after three seconds; when updating, once it stays still.
        std::vector<std::wstring> shown;
        Snapshot now;
        for (int waited = 0; waited <= Scaled(3000); waited += 50) {
            now = Take(full);
            std::vector<std::wstring> changes = Changes(seen, now);
            changes.insert(changes.begin(), out.begin(), out.end());
            const bool settled = update ? waited >= 300 && changes == shown : changes == expected;
            shown = changes;
            if (settled) break;
            Sleep(50);
        }
        for (const std::wstring& change : shown) PrintLine(change);
        seen = full ? Take(false) : now;
    }
    return 0;
}
