// korvid-grid-bench: how the grid control's costs grow with the row count.
// Each operation is timed on a grid of 10 rows and on one of 10,000 rows and
// reported as a ratio against an empty window message in the same run, so
// the numbers compare across machines. Nothing is asserted: a reader looks
// for the 10,000-row figures staying close to the 10-row ones for painting
// and cell updates (only visible rows are painted, only changed cells are
// invalidated), while the whole-grid text grows with the grid. Then the real
// definition form pastes 10, 1,000 and 10,000 lines (form_paste.cpp).
//
//   korvid-grid-bench.exe [--rounds N]   (needs a display)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>

#include "platform/grid_model.h"
#include "tools/grid_bench/form_paste.h"
#include "platform/win32/grid_control.h"

namespace {

using korvid::platform::GridModel;

class NoEvents final : public korvid::platform::GridEvents {
public:
    void OnGridClick() override {}
    void OnGridKeyPress(int) override {}
    void OnGridMouseDown(int) override {}
};

// Average microseconds of `operation` over `rounds` runs.
double Time(int rounds, const std::function<void(int)>& operation) {
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < rounds; ++k) operation(k);
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / rounds;
}

struct Figures {
    double empty;
    double repaint;
    double cellUpdate;
    double scroll;
    double text;
};

Figures Measure(int rows, int rounds) {
    GridModel model(rows, 17);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < 17; ++col) model.SetTextMatrix(row, col, std::to_wstring(row * 17 + col));
    }
    NoEvents events;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND frame = CreateWindowExW(0, L"STATIC", L"grid bench", WS_POPUP | WS_VISIBLE, 0, 0, 900,
                                 600, nullptr, nullptr, instance, nullptr);
    HWND grid = korvid::platform::CreateGridControl(frame, 1, instance, model, events, 0);
    SetWindowPos(grid, nullptr, 0, 0, 900, 600, SWP_NOZORDER);
    UpdateWindow(grid);

    Figures f{};
    f.empty = Time(rounds, [&](int) { SendMessageW(grid, WM_NULL, 0, 0); });
    f.repaint = Time(rounds, [&](int) {
        InvalidateRect(grid, nullptr, FALSE);
        UpdateWindow(grid);
    });
    f.cellUpdate = Time(rounds, [&](int k) {
        model.SetTextMatrix(1 + k % 5, 3, std::to_wstring(k));
        UpdateWindow(grid);
    });
    f.scroll = Time(rounds, [&](int k) {
        model.SetRow(k % 2 ? rows - 1 : 1);
        UpdateWindow(grid);
    });
    std::wstring buffer(static_cast<size_t>(SendMessageW(grid, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    f.text = Time(std::max(1, rounds / 10), [&](int) {
        SendMessageW(grid, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    });
    DestroyWindow(frame);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 200;
    if (argc == 3 && std::string(argv[1]) == "--rounds") rounds = std::max(1, atoi(argv[2]));
    if (!korvid::platform::RegisterGridClass(GetModuleHandleW(nullptr))) {
        std::printf("the grid class could not be registered\n");
        return 1;
    }
    const Figures small = Measure(10, rounds);
    const Figures large = Measure(10000, rounds);
    std::printf("%-34s %12s %12s %12s %12s\n", "operation (x empty message)", "10 rows",
                "10000 rows", "10 rows us", "10000 us");
    auto line = [&](const char* name, double a, double b) {
        std::printf("%-34s %12.1f %12.1f %12.1f %12.1f\n", name, a / small.empty, b / large.empty, a, b);
    };
    line("empty message", small.empty, large.empty);
    line("repaint of the whole client", small.repaint, large.repaint);
    line("one cell changed and repainted", small.cellUpdate, large.cellUpdate);
    line("current cell to first/last row", small.scroll, large.scroll);
    line("whole grid as text (WM_GETTEXT)", small.text, large.text);
    korvid::bench::BenchFormPaste();
    return 0;
}
