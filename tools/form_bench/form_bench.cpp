// Times the grid's clipboard paste and copy for 1,000, 10,000 and 30,000
// lines of 17 cells, as multiples of an empty call measured in the same run,
// and shows the cost per line of each paste against the smallest one (a small
// constant when the work grows linearly with the text; it would grow with the
// line count if the text were rebuilt or searched from its start per cell).
//
//   wine korvid_form_bench.exe
#include <chrono>
#include <cstdio>
#include <string>

#include "component_definition/grid_clipboard.h"
#include "platform/definition_form_ui.h"
#include "platform/scripted/scripted_platform.h"

namespace {

using Clock = std::chrono::steady_clock;
using korvid::platform::DefinitionFormState;
using korvid::platform::GridModel;

__attribute__((noinline)) void EmptyCall(GridModel&) { asm volatile(""); }

// Nanoseconds per call of `body`, the best of five rounds of `repeat` calls.
template <typename Body>
double NanosPerCall(int repeat, Body body) {
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        for (int k = 0; k < repeat; ++k) body();
        const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
        best = std::min(best, spent.count() / repeat);
    }
    return best;
}

std::wstring ClipboardLines(int lines) {
    std::wstring text;
    for (int k = 0; k < lines; ++k) {
        for (int c = 0; c < DefinitionFormState::kColumns; ++c) {
            text += (c ? L"\t" : L"") + std::to_wstring(k * 100 + c) + L".25";
        }
        text += L"\r\n";
    }
    return text;
}

}  // namespace

int main() {
    korvid::platform::ScriptedPlatform platform;
    korvid::platform::ScopedPlatform scope(platform);
    GridModel grid(DefinitionFormState::kInitialRows, DefinitionFormState::kColumns);

    const double empty = NanosPerCall(1000000, [&] { EmptyCall(grid); });
    std::printf("empty call: %.2f ns\n", empty);

    constexpr int kSizes = 3;
    const int sizes[kSizes] = {1000, 10000, 30000};
    double pastePerLine[kSizes] = {};
    for (int s = 0; s < kSizes; ++s) {
        platform.clipboard = ClipboardLines(sizes[s]);
        const double paste = NanosPerCall(10000000 / sizes[s] / 100 + 3, [&] {
            grid.SetRows(DefinitionFormState::kInitialRows);
            korvid::component_definition::PasteIntoGrid(grid);
        });
        const double copy = NanosPerCall(10000000 / sizes[s] / 100 + 3, [&] {
            korvid::component_definition::CopyGridToClipboard(grid);
        });
        pastePerLine[s] = paste / sizes[s];
        std::printf("paste %5d lines: %10.0f ns = %10.0f empty calls\n", sizes[s], paste, paste / empty);
        std::printf("copy  %5d lines: %10.0f ns = %10.0f empty calls\n", sizes[s], copy, copy / empty);
    }
    for (int s = 1; s < kSizes; ++s) {
        std::printf("paste cost per line, %d against %d lines: %.2f\n", sizes[s], sizes[0],
                    pastePerLine[s] / pastePerLine[0]);
    }
    return 0;
}
