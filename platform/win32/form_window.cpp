// The definition form's window: forwards a person's actions to the form's
// logic, shows the state the logic leaves behind, and runs modally.
#include "platform/win32/form_window.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <utility>
#include <vector>

#include "platform/win32/button_pictures.h"
#include "platform/win32/form_window_impl.h"

namespace korvid::platform {

namespace {

using namespace form_controls;

// The form's window while this thread shows it.
thread_local HWND t_formWindow = nullptr;

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// A named CALLBACK, not a lambda: 32-bit Windows calls it as __stdcall.
BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

// The thread's top-level windows that take input, which a modal form disables.
std::vector<HWND> EnabledThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

DefinitionFormWindow::DefinitionFormWindow(DefinitionFormState& state,
                                           DefinitionFormHandler& handler)
    : state_(state), handler_(handler), instance_(ThisModule()) {}

DefinitionFormWindow::~DefinitionFormWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (font_ && font_ != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font_);
}

FormEnd DefinitionFormWindow::Run() {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    if (!RegisterClasses(instance_)) return FormEnd::NoWindow;

    // Modal: the thread's other windows take no input while the form is up.
    const HWND active = GetActiveWindow();
    const std::vector<HWND> disabled = EnabledThreadWindows();
    HWND owner = nullptr;
    for (HWND window : disabled) {
        if (window == active) owner = window;
        EnableWindow(window, FALSE);
    }

    FormEnd end = FormEnd::NoWindow;
    if (CreateForm(owner)) {
        end = FormEnd::Quit;
        const HWND outerForm = std::exchange(t_formWindow, hwnd_);
        Sync();
        Forward([&] { handler_.OnFormLoad(*this); });
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        // Topmost pop-ups that the form owns would take its place in the
        // topmost band: the tooltips come after the form is there.
        AddTooltips();
        if (!state_.closed) {
            ShowWindow(hwnd_, SW_SHOW);
            SetForegroundWindow(hwnd_);
            if (state_.focus == FormFocus::None) SetFocus(Control(Grid));
            UpdateWindow(hwnd_);
            RunMessageLoop();
        }
        if (state_.closed) end = FormEnd::Closed;
        ShowWindow(hwnd_, SW_HIDE);
        t_formWindow = outerForm;
    }

    // Give the input back before the form goes, so that activation returns
    // to the host rather than to another program.
    for (HWND window : disabled) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    if (hwnd_) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
    controls_.fill(nullptr);
    UnregisterClasses(instance_);
    return end;
}

void DefinitionFormWindow::RunMessageLoop() {
    // From here on a file handed by another program is taken (OnCopyData).
    looping_ = true;
    MSG msg;
    while (!state_.closed) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // The host is quitting: leave the form and let its loop see the quit.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    looping_ = false;
}

LRESULT DefinitionFormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            switch (item->CtlID) {
                case ValidButton: DrawPictureButton(*item, ButtonPicture::CheckMark); return TRUE;
                case CancelButton: DrawPictureButton(*item, ButtonPicture::Cross); return TRUE;
                case SaveButton: DrawPictureButton(*item, ButtonPicture::Disk); return TRUE;
                case LoadButton: DrawPictureButton(*item, ButtonPicture::OpenFolder); return TRUE;
                default: break;
            }
            break;
        }
        case WM_CTLCOLOREDIT:
            if (reinterpret_cast<HWND>(lParam) == Control(Changefeild)) {
                return OnEditColours(reinterpret_cast<HDC>(wParam));
            }
            break;
        case WM_CLOSE:
            // The logic decides; it marks the state closed when the form may go.
            Forward([&] { return handler_.OnCloseRequest(*this); });
            return 0;
        case WM_QUERYENDSESSION:
            return Forward([&] { return handler_.OnCloseRequest(*this); }) ? TRUE : FALSE;
        case WM_COPYDATA:
            return OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_ACTIVATE: OnActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
        case WM_SETFOCUS: OnActivate(true); return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) ApplyLayout();
            return 0;
        case WM_GETMINMAXINFO: {
            const ClientSize minimum = FormLayout::Minimum(Measure());
            RECT frame{0, 0, minimum.width, minimum.height};
            AdjustWindowRectEx(&frame, GetWindowLongW(hwnd_, GWL_STYLE), FALSE,
                               GetWindowLongW(hwnd_, GWL_EXSTYLE));
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = POINT{frame.right - frame.left, frame.bottom - frame.top};
            return 0;
        }
        default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void DefinitionFormWindow::OnCommand(int id, int code) {
    switch (id) {
        case OKButton:
            if (code == BN_CLICKED) Forward([&] { handler_.OnOkClick(*this); });
            break;
        case LoadButton:
            if (code == BN_CLICKED) Forward([&] { handler_.OnLoadClick(*this); });
            break;
        case SaveButton:
            if (code == BN_CLICKED) Forward([&] { handler_.OnSaveClick(*this); });
            break;
        case ValidButton:
            if (code == BN_CLICKED) Forward([&] { handler_.OnValidClick(*this); });
            break;
        case CancelButton:
            if (code == BN_CLICKED) Forward([&] { handler_.OnCancelClick(*this); });
            break;
        case Option1:
        case Option2:
            if (code == BN_CLICKED) {
                const bool option1 = id == Option1;
                Forward([&] { handler_.OnOptionClick(*this, option1); });
            }
            break;
        case FileNameTxt:
            if (code == EN_CHANGE && syncing_ == 0) {
                const std::wstring text = TextOf(Control(FileNameTxt));
                Forward([&] { handler_.OnReportNameChange(*this, text); });
            }
            break;
        case Changefeild:
            if (code == EN_SETFOCUS && !restoringFocus_) {
                Forward([&] { handler_.OnEditGotFocus(*this); });
            } else if (code == EN_CHANGE && syncing_ == 0) {
                const std::wstring text = TextOf(Control(Changefeild));
                Forward([&] { handler_.OnEditTextChange(*this, text); });
            }
            break;
        default: break;  // IDOK / IDCANCEL from Enter and Escape elsewhere: nothing
    }
}

LoadFileAnswer DefinitionFormWindow::OnCopyData(const COPYDATASTRUCT& data) {
    using form_controls::kLoadFileMaxChars;
    if (data.dwData != form_controls::kLoadFileCopyData) return kLoadNotNow;
    // A form found visible may not have run its loop yet: a sender that
    // waited for it was let in by a message pump of its start (a send to
    // another thread, a COM call). A disabled form has a modal dialog of its
    // own open, and an event under way may run a menu's or a box's loop: a
    // person could not press Load then either.
    if (!looping_ || eventsUnderWay_ > 0 || !IsWindowEnabled(hwnd_)) return kLoadNotNow;
    if (!data.lpData || data.cbData % sizeof(wchar_t) != 0) return kLoadNothing;
    if (data.cbData == 0 || data.cbData / sizeof(wchar_t) > kLoadFileMaxChars + 1)
        return kLoadNothing;
    std::wstring path(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
    path.resize(wcsnlen(path.c_str(), path.size()));
    if (path.empty()) return kLoadNothing;
    return Forward([&] { return handler_.OnFileHanded(*this, path); }) ? kLoadFilled : kLoadNothing;
}

bool DefinitionFormWindow::OnEditChar(int charCode) {
    return Forward([&] { return handler_.OnEditKeyPress(*this, charCode); });
}

LRESULT DefinitionFormWindow::OnEditColours(HDC dc) {
    int colour = COLOR_WINDOW;
    if (shownBackground_ == EditBackground::Editing) colour = COLOR_HIGHLIGHTTEXT;
    if (shownBackground_ == EditBackground::Idle) colour = COLOR_ACTIVEBORDER;
    SetBkColor(dc, GetSysColor(colour));
    SetTextColor(dc, shownBlackText_ ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(colour));
}

// Leaving the form remembers the focused control; coming back restores it
// without a got-focus event, as a return from a message box should.
void DefinitionFormWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
        return;
    }
    HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : Control(Grid);
    if (GetFocus() == target) return;
    restoringFocus_ = true;
    SetFocus(target);
    restoringFocus_ = false;
}

void DefinitionFormWindow::OnGridClick() {
    Forward([&] { handler_.OnGridClick(*this); });
}

void DefinitionFormWindow::OnGridKeyPress(int charCode) {
    Forward([&] { handler_.OnGridKeyPress(*this, charCode); });
}

void DefinitionFormWindow::OnGridMouseDown(int button) {
    Forward([&] { handler_.OnGridMouseDown(*this, button); });
}

int DefinitionFormWindow::TextWidthTwips(const std::wstring& text) {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return MulDiv(size.cx, 1440, dpi > 0 ? dpi : 96);
}

void DefinitionFormWindow::PopupCopyPasteMenu() {
    // mnuCopyGrid: the "CopyPaste" menu, of which only the items pop up.
    HMENU menu = CreateMenu();
    HMENU items = CreatePopupMenu();
    AppendMenuW(items, MF_STRING, mnuCopy, L"&Copy");
    AppendMenuW(items, MF_STRING, mnuPaste, L"&Paste");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(items), L"CopyPaste");
    POINT at{};
    GetCursorPos(&at);
    // The owner must be in the foreground for a click elsewhere to end the menu.
    SetForegroundWindow(hwnd_);
    const int command = TrackPopupMenu(
        items, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
        at.x, at.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (command == mnuCopy) handler_.OnMenuCopy(*this);
    if (command == mnuPaste) handler_.OnMenuPaste(*this);
    // Shown at once: the event that opened the menu may go on for a while.
    if (command != 0) Sync();
}

void DefinitionFormWindow::RefreshFromControls() {
    if (!hwnd_) return;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Control(Changefeild), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    state_.changefeild.selStart = static_cast<int>(start);
    state_.changefeild.selLength = static_cast<int>(end - start);
    state_.focus = FocusOf(GetFocus());
}

void DefinitionFormWindow::Sync() {
    if (!hwnd_) return;
    ++syncing_;
    auto setText = [this](Id id, const std::wstring& text) {
        HWND control = Control(id);
        if (TextOf(control) != text) SetWindowTextW(control, text.c_str());
    };
    setText(Label2, state_.label2);
    setText(FileNameTxt, state_.fileNameTxt);
    auto setCheck = [this](Id id, bool checked) {
        const WPARAM wanted = checked ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(Button_GetCheck(Control(id))) != wanted) {
            Button_SetCheck(Control(id), wanted);
        }
    };
    setCheck(Option1, state_.option1);
    setCheck(Option2, !state_.option1);

    const EditBoxState& edit = state_.changefeild;
    HWND box = Control(Changefeild);
    setText(Changefeild, edit.text);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (static_cast<int>(start) != edit.selStart ||
        static_cast<int>(end - start) != edit.selLength) {
        SendMessageW(box, EM_SETSEL, edit.selStart, edit.selStart + edit.selLength);
    }
    if (edit.background != shownBackground_ || edit.blackText != shownBlackText_) {
        shownBackground_ = edit.background;
        shownBlackText_ = edit.blackText;
        InvalidateRect(box, nullptr, TRUE);
    }
    --syncing_;

    // Last, so that a got-focus event finds the edit box already filled.
    const FormFocus wanted = state_.focus;
    if (wanted != FormFocus::None && wanted != FocusOf(GetFocus())) SetFocus(WindowFor(wanted));
}

FormFocus DefinitionFormWindow::FocusOf(HWND window) const {
    if (!window) return FormFocus::None;
    if (window == Control(Grid)) return FormFocus::Grid;
    if (window == Control(Changefeild)) return FormFocus::EditBox;
    if (window == Control(FileNameTxt)) return FormFocus::ReportName;
    return FormFocus::None;
}

HWND DefinitionFormWindow::WindowFor(FormFocus focus) const {
    switch (focus) {
        case FormFocus::Grid: return Control(Grid);
        case FormFocus::EditBox: return Control(Changefeild);
        case FormFocus::ReportName: return Control(FileNameTxt);
        case FormFocus::None: break;
    }
    return nullptr;
}

std::wstring DefinitionFormWindow::TextOf(HWND window) const {
    if (!window) return {};
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

FormEnd RunDefinitionFormWindow(DefinitionFormState& state, DefinitionFormHandler& handler) {
    DefinitionFormWindow window(state, handler);
    return window.Run();
}

HWND DefinitionFormWindowOfThread() { return t_formWindow; }

void ShowFormGridChanges() {
    if (!t_formWindow) return;
    auto* window =
        reinterpret_cast<DefinitionFormWindow*>(GetWindowLongPtrW(t_formWindow, GWLP_USERDATA));
    if (window) window->ShowGridChanges();
}

}  // namespace korvid::platform
