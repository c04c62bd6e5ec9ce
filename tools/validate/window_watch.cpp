#include "tools/validate/window_watch.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <set>
#include <string>

#include "platform/win32/form_controls.h"
#include "tools/validate/korvid_call.h"
#include "tools/validate/output.h"

namespace korvid::validate {

namespace {

// A top-level window opened on the host's thread while the watch lives.
struct Opened {
    HWND window;
    std::wstring call;        // the host's call under way when it was created
    std::wstring object;      // Korvid's box: the object whose call showed it
    std::wstring korvidCall;  // and that call ("GetProp fraction")
    bool seen = false;        // looked at once: reported and closed, or left to a person
    bool activated = false;   // it was shown and activated (a box is hidden before it goes)
};

struct Watch {
    Verdict& verdict;
    const bool form;
    const DWORD thread;         // the host's
    std::deque<Opened> opened;  // by index: a window opened while one is handled is appended
    std::set<std::wstring> reported;
    bool narrowCopyNext = false;  // a wide debug line was just taken; its narrow copy follows
};

Watch* g_watch = nullptr;

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Adds the text of a static control (not an icon's) to the text at `found`.
BOOL CALLBACK AddStaticText(HWND child, LPARAM found) {
    auto& text = *reinterpret_cast<std::wstring*>(found);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(ClassOf(child).c_str(), L"Static") != 0 || (style & SS_TYPEMASK) == SS_ICON)
        return TRUE;
    const std::wstring line = TextOf(child);
    if (!line.empty()) text += (text.empty() ? L"" : L" ") + line;
    return TRUE;
}

// What the window says: the text of its static controls.
std::wstring StaticText(HWND window) {
    std::wstring text;
    EnumChildWindows(window, AddStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

bool IsForm(HWND window) { return ClassOf(window) == platform::form_controls::kFormClassName; }

BOOL CALLBACK FindForm(HWND window, LPARAM found) {
    if (IsForm(window) && IsWindowVisible(window)) *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

// Whether a definition form is open on this thread: what opens then is the
// form's, a person's to answer.
bool FormOpen() {
    bool open = false;
    EnumThreadWindows(GetCurrentThreadId(), FindForm, reinterpret_cast<LPARAM>(&open));
    return open;
}

// Closes `window` as its default button would (a dialog: DM_GETDEFID, else
// Cancel, else OK; another window: WM_CLOSE), through its own message loop;
// says how.
std::wstring Close(HWND window) {
    int id = 0;
    if (ClassOf(window) == L"#32770") {
        const LRESULT defId = SendMessageW(window, DM_GETDEFID, 0, 0);
        id = HIWORD(defId) == DC_HASDEFID   ? LOWORD(defId)
             : GetDlgItem(window, IDCANCEL) ? IDCANCEL
             : GetDlgItem(window, IDOK)     ? IDOK
                                            : 0;
    }
    if (!id) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return L"WM_CLOSE";
    }
    HWND button = GetDlgItem(window, id);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    std::wstring name = button ? TextOf(button) : L"";
    name.erase(std::remove(name.begin(), name.end(), L'&'), name.end());
    return name.empty() ? L"button " + std::to_wstring(id) : name;
}

// A finding once: a box shown again in the same call adds none.
void Report(const std::wstring& object, const wchar_t* kind, const std::wstring& detail) {
    if (!g_watch->reported.insert(object + L":" + kind + L":" + detail).second) return;
    Line(L"    " + std::wstring(kind) + L": " + (object == L"unit" ? L"" : object + L": ") +
         detail);
    g_watch->verdict.Add({object, kind, detail});
}

void ReportKorvidBox(const std::wstring& call, const std::wstring& object,
                     const std::wstring& korvidCall, const std::wstring& caption,
                     const std::wstring& text) {
    Report(object.empty() ? L"host" : object, L"message-box",
           call + (korvidCall.empty() ? L"" : L", " + korvidCall) + L": " + Quoted(caption) + L" " +
               Quoted(text));
}

// The first look at an opened window once it is shown: reported and
// closed, unless it is a definition form's. A window `going` already was
// answered before the watch's tick came (by another program that answers
// boxes, as korvid-autofill does): reported all the same, as it was.
void Look(size_t index, bool going = false) {
    const bool shown =
        going ? g_watch->opened[index].activated : IsWindowVisible(g_watch->opened[index].window);
    if (g_watch->opened[index].seen || !shown) return;
    g_watch->opened[index].seen = true;
    const Opened opened = g_watch->opened[index];
    if (g_watch->form && (IsForm(opened.window) || FormOpen())) return;
    const std::wstring caption = TextOf(opened.window), text = StaticText(opened.window);
    const std::wstring closed =
        going ? L"answered before the watch came" : L"closed with " + Close(opened.window);
    if (!opened.object.empty())
        return ReportKorvidBox(opened.call, opened.object, opened.korvidCall, caption, text);
    Report(L"unit", L"unit-window",
           opened.call + L": " + ClassOf(opened.window) + L" " + Quoted(caption) + L" " +
               Quoted(text) + L", " + closed);
}

void Created(HWND window) {
    const KorvidCall* korvid = KorvidCallUnderWay();
    Opened made{window, g_watch->verdict.Call(), korvid ? korvid->object : L"",
                korvid ? Describe(*korvid) : L""};
    for (Opened& opened : g_watch->opened)
        if (opened.window == window) return void(opened = std::move(made));  // a handle reused
    g_watch->opened.push_back(std::move(made));
}

// Top-level windows are noted when created, with the calls under way, and
// looked at when destroyed if they were shown and not looked at yet.
LRESULT CALLBACK Cbt(int code, WPARAM wParam, LPARAM lParam) {
    if (g_watch && code == HCBT_CREATEWND &&
        !(reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs->style & WS_CHILD))
        Created(reinterpret_cast<HWND>(wParam));
    if (g_watch && (code == HCBT_ACTIVATE || code == HCBT_DESTROYWND)) {
        for (size_t k = 0; k < g_watch->opened.size(); ++k) {
            if (g_watch->opened[k].window != reinterpret_cast<HWND>(wParam)) continue;
            if (code == HCBT_ACTIVATE)
                g_watch->opened[k].activated = true;
            else
                Look(k, true);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A window that waits for a person runs a message loop on the host's thread
// (a message box's or a dialog's modal loop, or the unit's own), and every
// loop that dispatches messages calls a thread timer's procedure: that is
// when a window is looked at, once it is fully made and shown.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_watch) return;
    for (size_t k = 0; k < g_watch->opened.size(); ++k) Look(k);
}

// Korvid's headless message box, as it writes it to the debugger output:
// `Korvid message box "<caption>": <text>` and a line break.
void KorvidDebugLine(std::wstring line) {
    static constexpr wchar_t kPrefix[] = L"Korvid message box \"";
    constexpr size_t kPrefixLength = std::size(kPrefix) - 1;
    const size_t end = line.find(L"\": ", kPrefixLength);
    if (line.compare(0, kPrefixLength, kPrefix) != 0 || end == std::wstring::npos) return;
    while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r')) line.pop_back();
    const KorvidCall* korvid = KorvidCallUnderWay();
    ReportKorvidBox(g_watch->verdict.Call(), korvid ? korvid->object : L"",
                    korvid ? Describe(*korvid) : L"",
                    line.substr(kPrefixLength, end - kPrefixLength), line.substr(end + 3));
}

// OutputDebugString raises DBG_PRINTEXCEPTION_WIDE_C (the W form), then,
// unless a debugger took it, DBG_PRINTEXCEPTION_C with the narrow copy;
// without a debugger, vectored handlers see both first. Lines of the host's
// thread only; each goes on to OutputDebugString's own handler.
LONG CALLBACK DebugOutput(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD& raised = *pointers->ExceptionRecord;
    const bool wide = raised.ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C;
    if ((!wide && raised.ExceptionCode != DBG_PRINTEXCEPTION_C) || raised.NumberParameters < 2 ||
        !raised.ExceptionInformation[1] || !g_watch || GetCurrentThreadId() != g_watch->thread)
        return EXCEPTION_CONTINUE_SEARCH;
    const size_t limit = raised.ExceptionInformation[0];
    std::wstring line;
    if (wide) {
        const auto* text = reinterpret_cast<const wchar_t*>(raised.ExceptionInformation[1]);
        line.assign(text, wcsnlen(text, limit));
    } else {
        const auto* text = reinterpret_cast<const char*>(raised.ExceptionInformation[1]);
        const int length = static_cast<int>(strnlen(text, limit));
        line.resize(static_cast<size_t>(length));
        line.resize(
            static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text, length, line.data(), length)));
    }
    if (line.rfind(L"Korvid message box", 0) != 0) return EXCEPTION_CONTINUE_SEARCH;
    const bool copy = !wide && g_watch->narrowCopyNext;
    g_watch->narrowCopyNext = wide;
    if (!copy) KorvidDebugLine(std::move(line));
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

WindowWatch::WindowWatch(Verdict& verdict, bool form) {
    g_watch = new Watch{verdict, form, GetCurrentThreadId(), {}, {}};
    hook_ = SetWindowsHookExW(WH_CBT, Cbt, nullptr, GetCurrentThreadId());
    debugOutput_ = AddVectoredExceptionHandler(1, DebugOutput);
    timer_ = SetTimer(nullptr, 0, 100, Tick);
}

WindowWatch::~WindowWatch() {
    if (timer_) KillTimer(nullptr, timer_);
    if (debugOutput_) RemoveVectoredExceptionHandler(debugOutput_);
    if (hook_) UnhookWindowsHookEx(hook_);
    for (Opened& opened : g_watch->opened) {
        if (opened.seen || !IsWindow(opened.window) || !IsWindowVisible(opened.window)) continue;
        if (g_watch->form && (IsForm(opened.window) || FormOpen())) continue;
        Report(L"unit", L"unit-window",
               opened.call + L": " + ClassOf(opened.window) + L" " + Quoted(TextOf(opened.window)) +
                   L" " + Quoted(StaticText(opened.window)) + L", left open at the end of the run");
    }
    delete g_watch;
    g_watch = nullptr;
}

}  // namespace korvid::validate
