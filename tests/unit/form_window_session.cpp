#include "form_window_session.h"

#include <thread>

#include "platform/win32/form_window.h"
#include "platform/win32/grid_control.h"
#include "platform/win32/grid_geometry.h"

namespace korvid::testing {

using platform::form_controls::Id;

std::string Narrow(const std::wstring& text) {
    std::string result;
    for (wchar_t ch : text) result += ch < 0x80 ? static_cast<char>(ch) : '?';
    return result;
}

std::vector<std::string> RecordingHandler::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

void RecordingHandler::ClearEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
}

void RecordingHandler::SetReaction(
    std::function<void(const std::string&, platform::FormWindow&)> react) {
    std::lock_guard<std::mutex> lock(mutex_);
    react_ = std::move(react);
}

void RecordingHandler::ConsumeKeys(std::set<int> keys) {
    std::lock_guard<std::mutex> lock(mutex_);
    consumed_ = std::move(keys);
}

void RecordingHandler::Record(const std::string& event, platform::FormWindow& window) {
    std::function<void(const std::string&, platform::FormWindow&)> react;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
        react = react_;
    }
    if (react) react(event, window);
}

bool RecordingHandler::OnCloseRequest(platform::FormWindow& w) {
    Record("Close", w);
    if (allowClose) state_.closed = true;
    return allowClose;
}

void RecordingHandler::OnReportNameChange(platform::FormWindow& w, const std::wstring& text) {
    state_.fileNameTxt = text;
    Record("ReportName:" + Narrow(text), w);
}

void RecordingHandler::OnOptionClick(platform::FormWindow& w, bool option1) {
    Record(option1 ? "Option:1" : "Option:0", w);
}

void RecordingHandler::OnGridClick(platform::FormWindow& w) {
    Record("GridClick@" + std::to_string(state_.grid.Row()) + "," +
               std::to_string(state_.grid.Col()),
           w);
}

void RecordingHandler::OnGridKeyPress(platform::FormWindow& w, int code) {
    Record("GridKey:" + std::to_string(code), w);
}

void RecordingHandler::OnGridMouseDown(platform::FormWindow& w, int button) {
    Record("GridMouse:" + std::to_string(button), w);
}

void RecordingHandler::OnEditGotFocus(platform::FormWindow& w) {
    Record("EditFocus:" + Narrow(state_.changefeild.text), w);
}

bool RecordingHandler::OnEditKeyPress(platform::FormWindow& w, int code) {
    Record("EditKey:" + std::to_string(code), w);
    std::lock_guard<std::mutex> lock(mutex_);
    return consumed_.count(code) != 0;
}

void RecordingHandler::OnEditTextChange(platform::FormWindow& w, const std::wstring& text) {
    state_.changefeild.text = text;
    Record("EditText:" + Narrow(text), w);
}

FormSession::FormSession() {
    // The headers as the form's logic writes them.
    const wchar_t* headers[] = {L"Name ", L"CAS number ", L"Family", L"Sum Formula "};
    for (int col = 0; col < 4; ++col) state.grid.SetTextMatrix(0, col, headers[col]);
}

HWND FormSession::Control(Id id) const {
    HWND control = GetDlgItem(form, id);
    if (!control) control = GetDlgItem(GetDlgItem(form, platform::form_controls::Frame2), id);
    return control;
}

std::wstring FormSession::Text(Id id) const {
    wchar_t buffer[512] = {};
    GetWindowTextW(Control(id), buffer, 512);
    return buffer;
}

bool FormSession::WaitFor(const std::function<bool()>& condition, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
        if (condition()) return true;
        Sleep(10);
    }
    return condition();
}

bool FormSession::WaitForEvent(const std::string& event) const {
    return WaitFor([&] {
        for (const auto& e : handler.Events()) {
            if (e == event) return true;
        }
        return false;
    });
}

POINT FormSession::CellCentre(int row, int col) const {
    HWND grid = Control(platform::form_controls::Grid);
    RECT client{};
    GetClientRect(grid, &client);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    std::vector<int> widths;
    for (int c = 0; c < state.grid.Cols(); ++c) {
        widths.push_back(platform::TwipsToPixels(state.grid.ColWidth(c), dpi));
    }
    const auto font = reinterpret_cast<HFONT>(SendMessageW(grid, WM_GETFONT, 0, 0));
    const platform::GridGeometry geometry(widths, platform::GridRowHeight(font),
                                          state.grid.Rows(), 1, client.right, client.bottom);
    const RECT cell = geometry.CellRect({row, col}, {1, 0});
    return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

bool RunFormSession(FormSession& session, const std::function<void(FormSession&)>& drive) {
    const DWORD thread = GetCurrentThreadId();
    std::thread driver([&] {
        FormSession::WaitFor([&] {
            HWND found = nullptr;
            while ((found = FindWindowExW(nullptr, found, platform::form_controls::kFormClassName,
                                          platform::form_controls::kFormCaption))) {
                if (GetWindowThreadProcessId(found, nullptr) == thread && IsWindowVisible(found)) {
                    session.form = found;
                    return true;
                }
            }
            return false;
        });
        if (session.form) {
            drive(session);
            session.handler.SetReaction(nullptr);
            session.handler.allowClose = true;
            PostMessageW(session.form, WM_CLOSE, 0, 0);
        }
    });
    platform::RunDefinitionFormWindow(session.state, session.handler);
    driver.join();
    return session.form != nullptr;
}

bool WindowsAvailable() {
    static const bool available = [] {
        HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
        if (!probe) return false;
        DestroyWindow(probe);
        return true;
    }();
    return available;
}

}  // namespace korvid::testing
