#include "platform/win32/grid_control.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "platform/grid_model.h"
#include "platform/win32/form_controls.h"
#include "platform/win32/grid_geometry.h"

namespace korvid::platform {

namespace {

constexpr int kFixedRows = 1;
constexpr int kWheelRows = 3;
constexpr int kLineScrollPixels = 24;
constexpr int kTextIndent = 3;
const COLORREF kGridLineColour = RGB(192, 192, 192);
// The current cell while the grid does not have the focus.
const COLORREF kInactiveCurrentColour = RGB(204, 224, 247);

struct CreateParams {
    GridModel* model;
    GridEvents* events;
};

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// Fills a rectangle with a solid colour without creating a brush.
void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

class GridControl {
public:
    GridControl(HWND hwnd, GridModel& model, GridEvents& events)
        : hwnd_(hwnd),
          model_(model),
          events_(events),
          dpi_(ScreenDpi()),
          currentCellMessage_(RegisterWindowMessageW(form_controls::kGridCurrentCellMessage)),
          rowCountMessage_(RegisterWindowMessageW(form_controls::kGridRowCountMessage)),
          cellPointMessage_(RegisterWindowMessageW(form_controls::kGridCellPointMessage)) {
        widths_.resize(model_.Cols());
        for (int col = 0; col < model_.Cols(); ++col) {
            widths_[col] = TwipsToPixels(model_.ColWidth(col), dpi_);
        }
        rowHeight_ = GridRowHeight(nullptr);
        shownRows_ = model_.Rows();
        shownCurrent_ = GridCell{model_.Row(), model_.Col()};
        model_.SetObserver([this](const GridModel::Change& change) { OnModelChange(change); });
    }

    ~GridControl() { model_.SetObserver(nullptr); }

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    GridGeometry Geometry() const {
        RECT client{};
        GetClientRect(hwnd_, &client);
        return GridGeometry(widths_, rowHeight_, model_.Rows(), kFixedRows, client.right,
                            client.bottom);
    }
    GridCell Current() const { return GridCell{model_.Row(), model_.Col()}; }

    void OnModelChange(const GridModel::Change& change);
    void InvalidateCell(GridCell cell);
    void InvalidateFromRow(int row);
    void ShowCurrent();
    struct ScrollBar {
        int max = -1;
        int page = 0;
        int position = 0;
        bool operator==(const ScrollBar& other) const {
            return max == other.max && page == other.page && position == other.position;
        }
    };
    void UpdateScrollBars();
    void SetBar(int bar, const ScrollBar& wanted);
    void SetScroll(GridScroll scroll);
    void OnScroll(int bar, int request);
    void OnPaint();
    void PaintArea(HDC dc, const RECT& area);
    void PaintCell(HDC dc, GridCell cell, const RECT& rect);
    LRESULT GetText(size_t capacity, wchar_t* buffer) const;
    LRESULT CellPoint(int row, int col) const;

    HWND hwnd_;
    GridModel& model_;
    GridEvents& events_;
    int dpi_;
    UINT currentCellMessage_;
    UINT rowCountMessage_;
    UINT cellPointMessage_;
    HFONT font_ = nullptr;
    std::vector<int> widths_;  // column widths in pixels
    int rowHeight_ = 16;
    int shownRows_ = 0;
    GridCell shownCurrent_;
    GridScroll scroll_;
    ScrollBar vertical_;
    ScrollBar horizontal_;
    bool focused_ = false;
    bool clickPending_ = false;
    bool updatingBars_ = false;
    int wheelRemainder_ = 0;
};

void GridControl::OnModelChange(const GridModel::Change& change) {
    switch (change.kind) {
        case GridModel::Change::Kind::Cell:
            InvalidateCell(GridCell{change.row, change.col});
            break;
        case GridModel::Change::Kind::CurrentCell:
            ShowCurrent();
            break;
        case GridModel::Change::Kind::Rows: {
            const int firstChanged = std::min(shownRows_, model_.Rows());
            shownRows_ = model_.Rows();
            UpdateScrollBars();
            InvalidateFromRow(firstChanged);
            // Fewer rows may have moved the current cell without a notice of its own.
            ShowCurrent();
            break;
        }
        case GridModel::Change::Kind::Layout:
            for (int col = 0; col < static_cast<int>(widths_.size()); ++col) {
                widths_[col] = TwipsToPixels(model_.ColWidth(col), dpi_);
            }
            UpdateScrollBars();
            InvalidateRect(hwnd_, nullptr, FALSE);
            SetScroll(Geometry().ScrollToShow(Current(), scroll_));
            break;
        case GridModel::Change::Kind::ColumnWidth: {
            if (change.col < 0 || change.col >= static_cast<int>(widths_.size())) break;
            const int left = Geometry().CellRect(GridCell{0, change.col}, scroll_).left;
            widths_[change.col] = TwipsToPixels(model_.ColWidth(change.col), dpi_);
            UpdateScrollBars();
            RECT client{};
            GetClientRect(hwnd_, &client);
            client.left = std::max(0, static_cast<int>(left));
            InvalidateRect(hwnd_, &client, FALSE);
            // A wider column may have pushed the current cell (partly) out of view.
            SetScroll(Geometry().ScrollToShow(Current(), scroll_));
            break;
        }
    }
}

void GridControl::InvalidateCell(GridCell cell) {
    // A row out of view needs nothing, found without building the geometry:
    // a paste writes thousands of such cells.
    if (cell.row >= kFixedRows) {
        if (cell.row < scroll_.topRow) return;
        RECT client{};
        GetClientRect(hwnd_, &client);
        if ((kFixedRows + cell.row - scroll_.topRow) * rowHeight_ >= client.bottom) return;
    }
    const RECT rect = Geometry().CellRect(cell, scroll_);
    if (!IsRectEmpty(&rect)) InvalidateRect(hwnd_, &rect, FALSE);
}

void GridControl::InvalidateFromRow(int row) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (row >= kFixedRows && row > scroll_.topRow) {
        client.top = std::min<LONG>(client.bottom,
                                    (kFixedRows + row - scroll_.topRow) * rowHeight_);
    }
    InvalidateRect(hwnd_, &client, FALSE);
}

// The model's current cell has moved (or may have): repaint both places and
// scroll the new one into view.
void GridControl::ShowCurrent() {
    const GridCell current = Current();
    if (current == shownCurrent_) return;
    InvalidateCell(shownCurrent_);
    shownCurrent_ = current;
    SetScroll(Geometry().ScrollToShow(current, scroll_));
    InvalidateCell(current);
}

void GridControl::UpdateScrollBars() {
    if (updatingBars_) return;
    updatingBars_ = true;
    // Showing one bar narrows the room for the other: settle in a few rounds.
    for (int round = 0; round < 3; ++round) {
        RECT before{};
        GetClientRect(hwnd_, &before);
        const GridGeometry geometry = Geometry();
        const GridScroll clamped = geometry.Clamp(scroll_);
        if (!(clamped == scroll_)) {
            scroll_ = clamped;
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        SetBar(SB_VERT, ScrollBar{std::max(0, geometry.Rows() - kFixedRows - 1),
                                  geometry.PageRows(), scroll_.topRow - kFixedRows});
        SetBar(SB_HORZ, ScrollBar{std::max(0, geometry.TotalWidth() - 1),
                                  static_cast<int>(before.right), scroll_.xOffset});
        RECT after{};
        GetClientRect(hwnd_, &after);
        if (EqualRect(&before, &after)) break;
    }
    updatingBars_ = false;
}

// Redrawing a scroll bar is dear: a bar is set only when it shows something new.
void GridControl::SetBar(int bar, const ScrollBar& wanted) {
    ScrollBar& shown = bar == SB_VERT ? vertical_ : horizontal_;
    if (shown == wanted) return;
    shown = wanted;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = wanted.max;
    info.nPage = static_cast<UINT>(wanted.page);
    info.nPos = wanted.position;
    SetScrollInfo(hwnd_, bar, &info, TRUE);
}

void GridControl::SetScroll(GridScroll scroll) {
    scroll = Geometry().Clamp(scroll);
    if (scroll == scroll_) return;
    scroll_ = scroll;
    SetBar(SB_VERT, ScrollBar{vertical_.max, vertical_.page, scroll_.topRow - kFixedRows});
    SetBar(SB_HORZ, ScrollBar{horizontal_.max, horizontal_.page, scroll_.xOffset});
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void GridControl::OnScroll(int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &info);
    const int line = bar == SB_VERT ? 1 : kLineScrollPixels;
    const int page = std::max<int>(1, info.nPage);
    int position = info.nPos;
    switch (request) {
        case SB_LINEUP: position -= line; break;
        case SB_LINEDOWN: position += line; break;
        case SB_PAGEUP: position -= page; break;
        case SB_PAGEDOWN: position += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: position = info.nTrackPos; break;
        case SB_TOP: position = 0; break;
        case SB_BOTTOM: position = info.nMax; break;
        default: return;
    }
    GridScroll scroll = scroll_;
    if (bar == SB_VERT) {
        scroll.topRow = position + kFixedRows;
    } else {
        scroll.xOffset = position;
    }
    SetScroll(scroll);
}

void GridControl::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    const RECT area = paint.rcPaint;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width > 0 && height > 0) {
        // Drawn off screen first, so that a repaint never flickers.
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        SetViewportOrgEx(memory, -area.left, -area.top, nullptr);
        PaintArea(memory, area);
        BitBlt(dc, area.left, area.top, width, height, memory, area.left, area.top, SRCCOPY);
        SelectObject(memory, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    EndPaint(hwnd_, &paint);
}

void GridControl::PaintArea(HDC dc, const RECT& area) {
    Fill(dc, area, GetSysColor(COLOR_APPWORKSPACE));
    HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const GridGeometry geometry = Geometry();
    const GridSpan cols = geometry.ColsIn(area.left, area.right, scroll_);
    auto paintRow = [&](int row) {
        for (int col = cols.first; col < cols.last; ++col) {
            const GridCell cell{row, col};
            const RECT rect = geometry.CellRect(cell, scroll_);
            RECT visible;
            if (IntersectRect(&visible, &rect, &area)) PaintCell(dc, cell, rect);
        }
    };
    for (int row = 0; row < std::min(kFixedRows, model_.Rows()); ++row) paintRow(row);
    const GridSpan rows = geometry.DataRowsIn(area.top, area.bottom, scroll_);
    for (int row = rows.first; row < rows.last; ++row) paintRow(row);
    SelectObject(dc, oldFont);
}

void GridControl::PaintCell(HDC dc, GridCell cell, const RECT& rect) {
    const bool header = cell.row < kFixedRows;
    const bool current = !header && cell == Current();
    COLORREF back = GetSysColor(COLOR_WINDOW);
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    if (header) {
        back = GetSysColor(COLOR_BTNFACE);
        text = GetSysColor(COLOR_BTNTEXT);
    } else if (current && focused_) {
        back = GetSysColor(COLOR_HIGHLIGHT);
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (current) {
        back = kInactiveCurrentColour;
    }
    Fill(dc, rect, back);

    // Lines at the right and bottom edge; the header row is raised.
    const COLORREF line = header ? GetSysColor(COLOR_BTNSHADOW) : kGridLineColour;
    Fill(dc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, line);
    Fill(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, line);
    if (header) {
        const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
        Fill(dc, RECT{rect.left, rect.top, rect.right - 1, rect.top + 1}, light);
        Fill(dc, RECT{rect.left, rect.top, rect.left + 1, rect.bottom - 1}, light);
    }

    const std::wstring& content = model_.TextMatrix(cell.row, cell.col);
    if (!content.empty()) {
        RECT textRect{rect.left + kTextIndent, rect.top, rect.right - 2, rect.bottom - 1};
        SetTextColor(dc, text);
        DrawTextW(dc, content.c_str(), static_cast<int>(content.size()), &textRect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (current && focused_) {
        RECT focus{rect.left + 1, rect.top + 1, rect.right - 2, rect.bottom - 2};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

LRESULT GridControl::GetText(size_t capacity, wchar_t* buffer) const {
    if (!buffer || capacity == 0) return 0;
    const std::wstring text = GridAsText(model_);
    const size_t count = std::min(text.size(), capacity - 1);
    text.copy(buffer, count);
    buffer[count] = L'\0';
    return static_cast<LRESULT>(count);
}

LRESULT GridControl::CellPoint(int row, int col) const {
    if (row < 0 || row >= model_.Rows() || col < 0 || col >= model_.Cols()) return -1;
    RECT client{};
    GetClientRect(hwnd_, &client);
    RECT cell = Geometry().CellRect(GridCell{row, col}, scroll_);
    if (!IntersectRect(&cell, &cell, &client)) return -1;
    return MAKELRESULT((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
}

LRESULT GridControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == currentCellMessage_ && message != 0) {
        return MAKELRESULT(shownCurrent_.row, shownCurrent_.col);
    }
    if (message == rowCountMessage_ && message != 0) return shownRows_;
    if (message == cellPointMessage_ && message != 0) {
        return CellPoint(static_cast<int>(wParam), static_cast<int>(lParam));
    }

    switch (message) {
        case WM_PAINT: OnPaint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SIZE: UpdateScrollBars(); return 0;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            rowHeight_ = GridRowHeight(font_);
            UpdateScrollBars();
            if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(GridAsText(model_).size());
        case WM_GETTEXT: return GetText(wParam, reinterpret_cast<wchar_t*>(lParam));
        case WM_SETTEXT: return FALSE;  // the text is the model's
        case WM_GETDLGCODE: {
            // Every key but Tab, which moves on to the next control.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const bool tab = msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
                             msg->wParam == VK_TAB;
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (tab ? 0 : DLGC_WANTALLKEYS);
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            focused_ = message == WM_SETFOCUS;
            InvalidateCell(Current());
            return 0;
        case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wParam)); return 0;
        case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wParam)); return 0;
        case WM_MOUSEWHEEL:
            SetScroll(
                WheelScroll(scroll_, GET_WHEEL_DELTA_WPARAM(wParam), kWheelRows, wheelRemainder_));
            return 0;
        case WM_LBUTTONDOWN: {
            const GridCell cell =
                Geometry().HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, scroll_);
            clickPending_ = cell.row >= kFixedRows;
            if (clickPending_) {
                model_.SetRow(cell.row);
                model_.SetCol(cell.col);
            }
            SetFocus(hwnd_);
            SetCapture(hwnd_);
            events_.OnGridMouseDown(1);
            return 0;
        }
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd_) ReleaseCapture();
            if (clickPending_) {
                clickPending_ = false;
                events_.OnGridClick();
            }
            return 0;
        case WM_RBUTTONDOWN: events_.OnGridMouseDown(2); return 0;
        case WM_MBUTTONDOWN: events_.OnGridMouseDown(4); return 0;
        case WM_KEYDOWN: {
            const GridGeometry geometry = Geometry();
            const bool ctrl = GetKeyState(VK_CONTROL) < 0;
            const GridCell next = NavigateGrid(static_cast<UINT>(wParam), ctrl, Current(),
                                               model_.Rows(), model_.Cols(), kFixedRows,
                                               geometry.PageRows());
            if (!(next == Current())) {
                model_.SetRow(next.row);
                model_.SetCol(next.col);
            }
            return 0;
        }
        case WM_CHAR: events_.OnGridKeyPress(static_cast<int>(wParam)); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK GridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* grid = reinterpret_cast<GridControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        const auto* params = static_cast<const CreateParams*>(create->lpCreateParams);
        if (!params || !params->model || !params->events) return FALSE;
        grid = new GridControl(hwnd, *params->model, *params->events);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(grid));
    }
    if (!grid) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete grid;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return grid->Handle(message, wParam, lParam);
}

}  // namespace

bool RegisterGridClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, form_controls::kGridClassName, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = GridProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = form_controls::kGridClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void UnregisterGridClass(HINSTANCE instance) {
    UnregisterClassW(form_controls::kGridClassName, instance);
}

HWND CreateGridControl(HWND parent, int id, HINSTANCE instance, GridModel& model,
                       GridEvents& events, DWORD exStyle) {
    CreateParams params{&model, &events};
    return CreateWindowExW(exStyle, form_controls::kGridClassName, L"",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, 0, 0,
                           0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           instance, &params);
}

int GridRowHeight(HFONT font) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    // A row is at least 240 twips high, and always room for a line of text.
    return std::max<int>(metrics.tmHeight + 4, TwipsToPixels(240, dpi > 0 ? dpi : 96));
}

}  // namespace korvid::platform
