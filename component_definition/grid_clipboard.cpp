// Copy and paste of the grid as tab-separated text, and the pop-up menu that
// offers them.
#include "component_definition/grid_clipboard.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <string_view>

#include "component_definition/mo_def_frm.h"
#include "platform/platform.h"

namespace korvid::component_definition {

namespace {

constexpr wchar_t kTab = L'\t';
constexpr wchar_t kCr = L'\r';
constexpr int kRightButton = 2;

constexpr wchar_t kSizeErrorText[] = L"Size error...";
constexpr wchar_t kSizeErrorCaption[] = L"Vantrix";

// Cells per line: the separators spread evenly over the lines, rounded to the
// nearest integer with a half going to the even neighbour. False when the
// count does not fit an integer.
bool CellsPerLine(size_t tabs, size_t lines, LONG* cells) {
    const double perLine = static_cast<double>(tabs) / static_cast<double>(lines) + 1.0;
    return SUCCEEDED(VarI4FromR8(perLine, cells));
}

// Writes the lines of `text` into rows 1.. and columns 0..cells-1. A cell
// ends at TAB or CR; one character (the LF) after each row is skipped.
void FillRows(platform::GridModel& grid, std::wstring_view text, int lines, int cells) {
    const size_t end = text.size();
    size_t pos = 0;
    for (int r = 1; r <= lines && pos < end; ++r) {
        for (int c = 0; c < cells && pos < end; ++c) {
            const size_t stop = text.find_first_of(L"\t\r", pos);
            if (stop == std::wstring_view::npos) {
                // The text ends without a separator: its last characters are
                // the last cell written.
                grid.SetTextMatrix(r, c, std::wstring(text.substr(pos)));
                return;
            }
            grid.SetTextMatrix(r, c, std::wstring(text.substr(pos, stop - pos)));
            pos = stop + 1;
            // A short line ends its row: the cells it lacks keep their text.
            if (text[stop] == kCr) break;
        }
        ++pos;  // the character after the row's CR
    }
}

}  // namespace

std::wstring GridClipboardText(const platform::GridModel& grid) {
    size_t length = 0;
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c) length += grid.TextMatrix(r, c).size() + 1;
    }
    std::wstring text;
    text.reserve(length);
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c) {
            text += grid.TextMatrix(r, c);
            text += kTab;
        }
        if (grid.Cols() > 0) text.back() = kCr;
    }
    return text;
}

void CopyGridToClipboard(const platform::GridModel& grid) {
    platform::CurrentPlatform().SetClipboardText(GridClipboardText(grid));
}

void PasteIntoGrid(platform::GridModel& grid) {
    auto& platform = platform::CurrentPlatform();
    const std::optional<std::wstring> clipboard = platform.ClipboardText();
    if (!clipboard || clipboard->empty()) return;
    const std::wstring& text = *clipboard;

    const size_t tabs = static_cast<size_t>(std::count(text.begin(), text.end(), kTab));
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), kCr));
    if (lines == 0) {
        grid.SetText(text);
        return;
    }
    LONG cells = 0;
    const bool fits = CellsPerLine(tabs, lines, &cells);
    grid.SetRows(static_cast<int>(lines) + 1);
    if (!fits || cells > grid.Cols()) {
        platform.ShowMessage(kSizeErrorText, kSizeErrorCaption, platform::MessageIcon::Stop);
        return;
    }
    FillRows(grid, text, static_cast<int>(lines), static_cast<int>(cells));
}

// --- The form's events -----------------------------------------------------------

void MODefFrm::OnGridMouseDown(platform::FormWindow& window, int button) {
    if (button == kRightButton) window.PopupCopyPasteMenu();
}

void MODefFrm::OnMenuCopy(platform::FormWindow&) { CopyGridToClipboard(state_.grid); }

void MODefFrm::OnMenuPaste(platform::FormWindow&) { PasteIntoGrid(state_.grid); }

}  // namespace korvid::component_definition
