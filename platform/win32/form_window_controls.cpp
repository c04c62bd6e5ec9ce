// The definition form's window classes, its controls and their layout.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <mutex>

#include "platform/win32/form_window_impl.h"

namespace korvid::platform {

namespace {

using namespace form_controls;

// Frame2 holds the edit box and its two buttons: it draws an etched edge and
// passes its children's notifications on to the form.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT rect;
            GetClientRect(hwnd, &rect);
            FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
            DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return SendMessageW(GetParent(hwnd), message, wParam, lParam);
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

struct ControlEntry {
    Id id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    bool inFrame;
};

// In tab order; every control is WS_CHILD | WS_VISIBLE.
constexpr ControlEntry kControls[] = {
    {ValidButton, L"BUTTON", kValidButtonText, BS_OWNERDRAW | WS_TABSTOP, 0, true},
    {CancelButton, L"BUTTON", kCancelButtonText, BS_OWNERDRAW | WS_TABSTOP, 0, true},
    {Changefeild, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, true},
    {Label1, L"STATIC", L"Name For Report [Optional]", SS_LEFT | SS_NOPREFIX, 0, false},
    {FileNameTxt, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, false},
    {Option1, L"BUTTON", L"Use Name as CompID", BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, false},
    {Option2, L"BUTTON", L"Use CAS number as CompID", BS_RADIOBUTTON, 0, false},
    {SaveButton, L"BUTTON", kSaveButtonText, BS_OWNERDRAW | WS_GROUP | WS_TABSTOP, 0, false},
    {LoadButton, L"BUTTON", kLoadButtonText, BS_OWNERDRAW | WS_TABSTOP, 0, false},
    {Label2, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_SUNKEN, 0, false},
    {OKButton, L"BUTTON", L"OK", BS_PUSHBUTTON | WS_TABSTOP, 0, false},
};

HMENU AsMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

namespace {
// Window classes belong to the process, forms to apartment threads.
std::mutex g_classesMutex;
int g_classUsers = 0;
bool Registered(ATOM atom) { return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS; }
}  // namespace

bool DefinitionFormWindow::RegisterClasses(HINSTANCE instance) {
    std::lock_guard<std::mutex> lock(g_classesMutex);
    if (!RegisterClassesLocked(instance)) return false;
    ++g_classUsers;
    return true;
}

bool DefinitionFormWindow::RegisterClassesLocked(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(instance, kFormClassName, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = FormProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kFormClassName;
        if (!Registered(RegisterClassExW(&wc))) return false;
    }
    if (!GetClassInfoExW(instance, kFrameClassName, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kFrameClassName;
        if (!Registered(RegisterClassExW(&wc))) return false;
    }
    return RegisterGridClass(instance);
}

void DefinitionFormWindow::UnregisterClasses(HINSTANCE instance) {
    std::lock_guard<std::mutex> lock(g_classesMutex);
    if (--g_classUsers > 0) return;  // another form (nested, or on another thread) lives
    UnregisterClassW(kFormClassName, instance);
    UnregisterClassW(kFrameClassName, instance);
    UnregisterGridClass(instance);
}

bool DefinitionFormWindow::CreateForm(HWND owner) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    }
    if (!font_) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                        WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
    hwnd_ = CreateWindowExW(exStyle, kFormClassName, kFormCaption, style, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                            instance_, this);
    if (!hwnd_) return false;
    CreateControls();

    // The preferred size, centred in the work area and no larger than it.
    const ClientSize client = FormLayout::Preferred(Measure());
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    RECT work{0, 0, 1024, 768};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = std::min<int>(frame.right - frame.left, work.right - work.left);
    const int height = std::min<int>(frame.bottom - frame.top, work.bottom - work.top);
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
    return true;
}

void DefinitionFormWindow::CreateControls() {
    auto remember = [this](Id id, HWND window) { controls_[id - kFirstId] = window; };
    HWND frame = CreateWindowExW(WS_EX_CONTROLPARENT, kFrameClassName, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, hwnd_,
                                 AsMenu(Frame2), instance_, nullptr);
    remember(Frame2, frame);
    for (const ControlEntry& entry : kControls) {
        HWND parent = entry.inFrame ? frame : hwnd_;
        HWND control = CreateWindowExW(entry.exStyle, entry.className, entry.text,
                                       WS_CHILD | WS_VISIBLE | entry.style, 0, 0, 0, 0, parent,
                                       AsMenu(entry.id), instance_, nullptr);
        remember(entry.id, control);
        if (entry.id == FileNameTxt) {
            // The grid follows the report name in the tab order.
            remember(Grid, CreateGridControl(hwnd_, Grid, instance_, state_.grid, *this,
                                             WS_EX_CLIENTEDGE));
        }
    }
    for (HWND control : controls_) {
        if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    SetWindowSubclass(Control(Changefeild), EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void DefinitionFormWindow::AddTooltips() {
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                instance_, nullptr);
    if (!tooltips_) return;
    for (Id id : {ValidButton, CancelButton, SaveButton, LoadButton}) {
        HWND button = Control(id);
        std::wstring text = TextOf(button);
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(button);
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = text.data();
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

FormMetrics DefinitionFormWindow::Measure() const {
    FormMetrics metrics;
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW text{};
    GetTextMetricsW(dc, &text);
    metrics.charWidth = text.tmAveCharWidth;
    metrics.lineHeight = text.tmHeight;
    metrics.label1Text = TextWidth(dc, TextOf(Control(Label1)));
    metrics.option1Text = TextWidth(dc, TextOf(Control(Option1)));
    metrics.option2Text = TextWidth(dc, TextOf(Control(Option2)));
    metrics.okText = TextWidth(dc, TextOf(Control(OKButton)));
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    metrics.radioBox = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    metrics.gridRowHeight = GridRowHeight(font_);
    metrics.scrollBar = GetSystemMetrics(SM_CYHSCROLL);
    return metrics;
}

void DefinitionFormWindow::ApplyLayout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const FormLayout layout =
        FormLayout::Arrange(Measure(), ClientSize{client.right, client.bottom});
    const RECT& frame = layout[Frame2];
    for (int id = kFirstId; id <= kLastId; ++id) {
        HWND control = Control(static_cast<Id>(id));
        if (!control) continue;
        RECT rect = layout[static_cast<Id>(id)];
        // Frame2's children are placed in its own coordinates.
        if (GetParent(control) != hwnd_) OffsetRect(&rect, -frame.left, -frame.top);
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK DefinitionFormWindow::FormProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    auto* self = reinterpret_cast<DefinitionFormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<DefinitionFormWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT CALLBACK DefinitionFormWindow::EditProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* form = reinterpret_cast<DefinitionFormWindow*>(self);
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter and Escape belong to the edit; Tab still moves on.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const bool tab = msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
                             msg->wParam == VK_TAB;
            LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
            return tab ? code : code | DLGC_WANTALLKEYS;
        }
        case WM_CHAR:
            if (form->OnEditChar(static_cast<int>(wParam))) return 0;
            break;
        case WM_NCDESTROY: RemoveWindowSubclass(hwnd, EditProc, 1); break;
        default: break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace korvid::platform
