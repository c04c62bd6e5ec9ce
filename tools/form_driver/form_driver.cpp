#include "tools/form_driver/form_driver.h"

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/form_controls.h"
#include "tools/form_driver/time_scale.h"

namespace korvid::form_driver {

namespace {

namespace controls = platform::form_controls;

// Controls of the common file dialog that hold the file name.
constexpr int kFileNameEdit = 0x480;      // edt1
constexpr int kFileNameCombo = 0x47C;     // cmb13, an edit inside a combo box
// The text of a message box.
constexpr int kMessageBoxText = 0xFFFF;
constexpr UINT kSendTimeout = 5000;

// A question to a window: not waiting on a thread that hangs.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result);
    return static_cast<LRESULT>(result);
}

// An action that must arrive: delivered once the window's thread takes
// messages. SMTO_ABORTIFHUNG would drop it at once when that thread has not
// asked for a message for 5 seconds: a host that worked a while without a
// message loop and then shows the form is such a thread until its first
// GetMessage, although the form is already visible.
LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, Scaled(kSendTimeout),
                        &result);
    return static_cast<LRESULT>(result);
}

// Enumeration callbacks are named functions: a lambda converts only to a
// pointer of the default calling convention, and 32-bit Windows calls them
// as CALLBACK (__stdcall).
struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<WindowSearch*>(data);
    if (IsWindowVisible(window) && ProcessOf(window) == s->pid) s->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    WindowSearch search{pid, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct DescendantSearch {
    int id;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<DescendantSearch*>(data);
    if (GetDlgCtrlID(window) != s->id) return TRUE;
    if (s->className && _wcsicmp(ClassName(window).c_str(), s->className) != 0) return TRUE;
    s->found = window;
    return FALSE;
}

// A descendant of `parent` with control id `id`, of class `className` when
// one is given.
HWND FindDescendant(HWND parent, int id, const wchar_t* className = nullptr) {
    DescendantSearch search{id, className, nullptr};
    EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The edit that takes the file name: a plain edit, or the one inside the
// file name combo box.
HWND FileNameControl(HWND dialog) {
    for (int id : {kFileNameEdit, kFileNameCombo}) {
        if (HWND edit = FindDescendant(dialog, id, L"Edit")) return edit;
    }
    for (int id : {kFileNameEdit, kFileNameCombo}) {
        if (HWND control = FindDescendant(dialog, id)) return control;
    }
    return nullptr;
}

}  // namespace

void PrintLine(const std::wstring& line) {
    const std::wstring full = line + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, full.c_str(), static_cast<int>(full.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, full.c_str(), static_cast<int>(full.size()), bytes.data(),
                        size, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

std::wstring WindowText(HWND window) {
    if (!window) return {};
    const auto length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kSendTimeout, &copied);
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

HWND FindForm(DWORD pid, HWND except) {
    HWND form = nullptr;
    while ((form = FindWindowExW(nullptr, form, nullptr, controls::kFormCaption))) {
        if (form == except || !IsWindowVisible(form)) continue;
        const DWORD owner = ProcessOf(form);
        if (pid != 0 ? owner == pid : owner != GetCurrentProcessId()) return form;
    }
    return nullptr;
}

HWND FormControl(HWND form, int id) {
    if (HWND control = GetDlgItem(form, id)) return control;
    return GetDlgItem(GetDlgItem(form, controls::Frame2), id);
}

std::wstring StatusText(HWND form) { return WindowText(FormControl(form, controls::Label2)); }

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void ClickAndWait(HWND button) { Deliver(button, BM_CLICK, 0, 0); }

void SelectAll(HWND edit) { Deliver(edit, EM_SETSEL, 0, -1); }

void TypeText(HWND window, const std::wstring& text) {
    for (wchar_t ch : text) Deliver(window, WM_CHAR, ch, 1);
}

void PostChars(HWND window, const std::wstring& text) {
    for (wchar_t ch : text) PostMessageW(window, WM_CHAR, ch, 1);
}

bool GridCellPoint(HWND grid, int row, int col, POINT* point) {
    const UINT message = RegisterWindowMessageW(controls::kGridCellPointMessage);
    const LRESULT answer = Send(grid, message, static_cast<WPARAM>(row), static_cast<LPARAM>(col));
    if (answer == -1 || answer == 0) return false;
    *point = POINT{static_cast<short>(LOWORD(answer)), static_cast<short>(HIWORD(answer))};
    return true;
}

bool ClickGridCell(HWND grid, int row, int col, bool right) {
    POINT at{};
    if (!GridCellPoint(grid, row, col, &at)) return false;
    const LPARAM where = MAKELPARAM(at.x, at.y);
    if (right) {
        // The menu opens at the mouse: the pointer goes where the button is pressed.
        POINT screen = at;
        ClientToScreen(grid, &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(grid, WM_RBUTTONDOWN, MK_RBUTTON, where);
        PostMessageW(grid, WM_RBUTTONUP, 0, where);
    } else {
        PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, where);
        PostMessageW(grid, WM_LBUTTONUP, 0, where);
    }
    return true;
}

HWND FindPopupMenu(DWORD pid) {
    for (HWND window : TopLevelWindows(pid)) {
        if (ClassName(window) == L"#32768") return window;
    }
    return nullptr;
}

bool ChooseFromGridMenu(HWND grid, int row, int col, wchar_t accessKey, const Deadline& deadline) {
    const DWORD pid = ProcessOf(grid);
    if (!ClickGridCell(grid, row, col, true)) return false;
    HWND menu = nullptr;
    for (;;) {
        if ((menu = FindPopupMenu(pid))) break;
        if (deadline.Passed()) return false;
        Sleep(20);
    }
    PostMessageW(menu, WM_KEYDOWN, accessKey, 1);
    while (IsWindow(menu) && IsWindowVisible(menu)) {
        if (deadline.Passed()) return false;
        Sleep(20);
    }
    return true;
}

bool ReadClipboard(std::wstring* text) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) {
            bool found = false;
            if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                    *text = chars;
                    found = true;
                    GlobalUnlock(data);
                }
            }
            CloseClipboard();
            return found;
        }
        Sleep(20);
    }
    return false;
}

bool WriteClipboard(const std::wstring& text) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!memory) return false;
    auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
    text.copy(chars, text.size());
    chars[text.size()] = L'\0';
    GlobalUnlock(memory);
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            CloseClipboard();
            if (!set) GlobalFree(memory);
            return set;
        }
        Sleep(20);
    }
    GlobalFree(memory);
    return false;
}

bool IsFileDialog(HWND dialog) { return FileNameControl(dialog) != nullptr; }

HWND FindFileDialog(DWORD pid, HWND owner) {
    for (HWND window : TopLevelWindows(pid)) {
        if (ClassName(window) == L"#32770" && GetWindow(window, GW_OWNER) == owner &&
            IsFileDialog(window)) {
            return window;
        }
    }
    return nullptr;
}

std::wstring ToWindowsPath(const std::wstring& path) {
    if (path.empty() || path[0] != L'/') return path;
    using DosName = WCHAR*(CDECL*)(const char*);
    auto convert = reinterpret_cast<DosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (convert) {
        std::string unixPath;
        for (wchar_t ch : path) unixPath += static_cast<char>(ch);
        if (WCHAR* dos = convert(unixPath.c_str())) {
            std::wstring result = dos;
            HeapFree(GetProcessHeap(), 0, dos);
            return result;
        }
    }
    std::wstring result = L"Z:" + path;
    for (auto& ch : result) {
        if (ch == L'/') ch = L'\\';
    }
    return result;
}

TargetMonitor::~TargetMonitor() {
    if (process_) CloseHandle(process_);
}

void TargetMonitor::SetTarget(DWORD pid) {
    pid_ = pid;
    if (process_) CloseHandle(process_);
    process_ = OpenProcess(SYNCHRONIZE, FALSE, pid);
}

bool TargetMonitor::TargetEnded() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

void TargetMonitor::SetForm(HWND form) {
    form_ = form;
    lastStatus_.clear();
}

bool TargetMonitor::Poll() {
    bool dismissed = false;
    if (pid_ != 0) {
        for (auto it = answered_.begin(); it != answered_.end();) {
            it = IsWindow(*it) ? std::next(it) : answered_.erase(it);
        }
        for (HWND box : TopLevelWindows(pid_)) {
            if (ClassName(box) != L"#32770" || answered_.count(box) || IsFileDialog(box)) continue;
            HWND ok = GetDlgItem(box, IDOK);
            if (!ok) ok = GetDlgItem(box, IDCANCEL);
            if (!ok) continue;  // not a message box
            answered_.insert(box);
            PrintLine(L"message: " + WindowText(box) + L": " +
                      WindowText(GetDlgItem(box, kMessageBoxText)));
            Click(ok);
            dismissed = true;
        }
    }
    if (form_ && IsWindow(form_)) {
        const std::wstring status = StatusText(form_);
        if (!status.empty() && status != lastStatus_) {
            lastStatus_ = status;
            PrintLine(L"status: " + status);
        }
    }
    return dismissed;
}

void TargetMonitor::PrintStatus() {
    if (!form_ || !IsWindow(form_)) return;
    const std::wstring status = StatusText(form_);
    if (status == lastStatus_ && !status.empty()) return;
    lastStatus_ = status;
    PrintLine(L"status: " + status);
}

namespace {

// Presses `button`, answers the file dialog it opens with `path`.
bool AnswerFileDialog(HWND form, int button, const std::wstring& path, TargetMonitor& monitor,
                      const Deadline& deadline) {
    const DWORD pid = ProcessOf(form);
    Click(FormControl(form, button));
    HWND dialog = nullptr;
    if (!WaitWatching([&] { return (dialog = FindFileDialog(pid, form)) != nullptr; }, monitor,
                      deadline)) {
        return false;
    }
    HWND name = FileNameControl(dialog);
    SelectAll(name);
    TypeText(name, ToWindowsPath(path));
    Click(GetDlgItem(dialog, IDOK));
    return WaitWatching(
        [&] {
            // The question whether to replace an existing file: Yes.
            for (HWND window : TopLevelWindows(pid)) {
                if (ClassName(window) != L"#32770" || GetWindow(window, GW_OWNER) != dialog) continue;
                if (HWND yes = GetDlgItem(window, IDYES)) Click(yes);
            }
            return !IsWindow(dialog) || !IsWindowVisible(dialog);
        },
        monitor, deadline);
}

}  // namespace

controls::LoadFileAnswer HandFile(HWND form, const std::wstring& path) {
    const std::wstring windowsPath = ToWindowsPath(path);
    COPYDATASTRUCT data{};
    data.dwData = controls::kLoadFileCopyData;
    data.cbData = static_cast<DWORD>((windowsPath.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(windowsPath.c_str());
    switch (Deliver(form, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data))) {
        case controls::kLoadFilled:
            return controls::kLoadFilled;
        case controls::kLoadNothing:
            return controls::kLoadNothing;
        default:
            return controls::kLoadNotNow;
    }
}

controls::LoadFileAnswer HandFileWhenReady(HWND form, const std::wstring& path,
                                           TargetMonitor& monitor, const Deadline& deadline) {
    auto answer = controls::kLoadNotNow;
    WaitWatching(
        [&] {
            answer = HandFile(form, path);
            return answer != controls::kLoadNotNow || !IsWindow(form);
        },
        monitor, deadline);
    return answer;
}

void CloseForm(HWND form, TargetMonitor& monitor) {
    // The close command of the window's system menu, as a person's click on its X.
    PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    const auto gone = [&] { return !IsWindow(form) || !IsWindowVisible(form); };
    if (WaitWatching(gone, monitor, Deadline(Scaled(kCloseSeconds)))) {
        PrintLine(L"closed: the form, by its close command");
        return;
    }
    // Refused: nothing valid in the grid. The form then ends with a WM_QUIT
    // of its thread: the creation fails, and the quit is posted again for
    // the host's own loop.
    PostThreadMessageW(GetWindowThreadProcessId(form, nullptr), WM_QUIT, 0, 0);
    if (WaitWatching(gone, monitor, Deadline(Scaled(kCloseSeconds)))) {
        PrintLine(L"closed: the form refused its close command; it was ended by WM_QUIT");
    } else {
        PrintLine(L"closed: not even by WM_QUIT; the form stays open");
    }
}

bool LoadThroughDialog(HWND form, const std::wstring& path, TargetMonitor& monitor,
                       const Deadline& deadline) {
    return AnswerFileDialog(form, controls::LoadButton, path, monitor, deadline);
}

bool SaveThroughDialog(HWND form, const std::wstring& path, TargetMonitor& monitor,
                       const Deadline& deadline) {
    return AnswerFileDialog(form, controls::SaveButton, path, monitor, deadline);
}

}  // namespace korvid::form_driver
