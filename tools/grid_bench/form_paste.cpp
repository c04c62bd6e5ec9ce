// The real definition form under a paste: the form's logic and window shown
// modally on this thread, the system clipboard filled with spreadsheet lines,
// and the CopyPaste menu's Paste chosen through window messages from a
// second thread, as a person's right click and key would choose it. Each
// figure is the time until the grid answers again with the new row count and
// has repainted, against an empty message to the grid in the same run.
#include "tools/grid_bench/form_paste.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "component_definition/mo_def_frm.h"
#include "component_definition/module_state.h"
#include "platform/platform.h"
#include "platform/win32/form_controls.h"

namespace korvid::bench {

namespace {

namespace controls = platform::form_controls;
using Clock = std::chrono::steady_clock;

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

std::wstring SpreadsheetLines(int lines) {
    std::wstring text;
    for (int k = 0; k < lines; ++k) {
        text += L"Component" + std::to_wstring(k);
        for (int c = 1; c < 17; ++c) text += L"\t" + std::to_wstring(k % 1000) + L"." + std::to_wstring(c);
        text += L"\r\n";
    }
    return text;
}

HWND FindFormOf(DWORD thread) {
    HWND form = nullptr;
    while ((form = FindWindowExW(nullptr, form, controls::kFormClassName, controls::kFormCaption))) {
        if (GetWindowThreadProcessId(form, nullptr) == thread && IsWindowVisible(form)) return form;
    }
    return nullptr;
}

HWND VisibleMenu() {
    HWND menu = nullptr;
    while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr))) {
        if (IsWindowVisible(menu)) return menu;
    }
    return nullptr;
}

class Driver {
public:
    explicit Driver(HWND form)
        : grid_(GetDlgItem(form, controls::Grid)),
          rowCount_(RegisterWindowMessageW(controls::kGridRowCountMessage)) {}

    // An empty message to the grid's thread and back.
    double EmptyMessage(int rounds) const {
        const auto start = Clock::now();
        for (int k = 0; k < rounds; ++k) SendMessageW(grid_, WM_NULL, 0, 0);
        return MicrosSince(start) / rounds;
    }

    // The right button on the grid, then `key` in the menu; returns when the
    // grid has `rows` rows and has painted them, or 0 when that never came.
    double ChooseFromMenu(UINT key, int rows) const {
        const auto start = Clock::now();
        PostMessageW(grid_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 30));
        PostMessageW(grid_, WM_RBUTTONUP, 0, MAKELPARAM(10, 30));
        HWND menu = nullptr;
        while (!(menu = VisibleMenu())) {
            if (MicrosSince(start) > 10e6) return 0.0;
            std::this_thread::yield();
        }
        PostMessageW(menu, WM_KEYDOWN, key, 1);
        while (static_cast<int>(SendMessageW(grid_, rowCount_, 0, 0)) != rows) {
            if (MicrosSince(start) > 60e6) return 0.0;
        }
        RedrawWindow(grid_, nullptr, nullptr, RDW_UPDATENOW);
        return MicrosSince(start);
    }

    // A navigation key handled and the grid repainted (scrolling included).
    double Key(UINT key) const {
        const auto start = Clock::now();
        SendMessageW(grid_, WM_KEYDOWN, key, 1);
        RedrawWindow(grid_, nullptr, nullptr, RDW_UPDATENOW);
        return MicrosSince(start);
    }

private:
    HWND grid_;
    UINT rowCount_;
};

void Drive(DWORD formThread) {
    HWND form = nullptr;
    for (int waited = 0; !(form = FindFormOf(formThread)) && waited < 10000; waited += 20) Sleep(20);
    if (!form) {
        std::printf("the definition form did not appear\n");
        return;
    }
    Driver driver(form);
    const double empty = driver.EmptyMessage(2000);
    std::printf("\nreal definition form: Paste through the CopyPaste menu\n");
    std::printf("%-44s %12s %12s\n", "operation (x empty message)", "x empty", "ms");
    auto line = [&](const std::string& name, double micros) {
        std::printf("%-44s %12.0f %12.2f\n", name.c_str(), micros / empty, micros / 1000.0);
    };
    line("empty message to the form's thread", empty);
    line("menu opened and closed, nothing chosen", driver.ChooseFromMenu(VK_ESCAPE, 10));
    for (int lines : {10, 1000, 10000}) {
        platform::DefaultPlatform().SetClipboardText(SpreadsheetLines(lines));
        line("paste of " + std::to_string(lines) + " lines, shown", driver.ChooseFromMenu('P', lines + 1));
    }
    // After the large paste the grid still follows the keys at once, each
    // move scrolling the current cell into view.
    line("End on 10,001 rows: last column in view", driver.Key(VK_END));
    line("Page Down on 10,001 rows", driver.Key(VK_NEXT));
    line("Down arrow on 10,001 rows", driver.Key(VK_DOWN));
    line("Home on 10,001 rows: first column in view", driver.Key(VK_HOME));
    // Row 1 holds a name and a CAS number now: the close is accepted.
    PostMessageW(form, WM_CLOSE, 0, 0);
}

}  // namespace

void BenchFormPaste() {
    auto& form = component_definition::Module1().Form();
    std::thread driver(Drive, GetCurrentThreadId());
    form.ShowModal();
    driver.join();
}

}  // namespace korvid::bench
