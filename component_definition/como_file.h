// The component definition file (.como): one component per line, fields
// KEY=VALUE separated by ";", numbers as decimal text in the user's locale.
// Loading replaces the component table by the file's components; saving
// rebuilds the table from the grid and writes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "component_definition/component_record.h"
#include "platform/grid_model.h"

namespace korvid::component_definition {

struct Module1State;

// A loaded table always holds this many records: a file gives at most 21
// components, and g_numComponents never exceeds the records the table holds.
constexpr int kLoadedRecords = 21;

// The dialog filter of both file dialogs, and the save dialog's preset name.
inline constexpr wchar_t kComoFilter[] = L"CO Material Object(*.como)|*.como";
inline constexpr wchar_t kDefaultSaveName[] = L"MO";

struct LoadResult {
    enum class Outcome {
        Cancelled,   // no file chosen: the table is as it was
        Loaded,      // the table holds the file's components
        Unreadable,  // the chosen file could not be opened: the table is as it was
    };
    Outcome outcome = Outcome::Cancelled;
    std::wstring path;
    // Component lines after the 21st, which the table cannot hold.
    int ignoredComponents = 0;
};

// Shows the open dialog (file name kept in `dialogFileName` from one use to
// the next) and, when a file is chosen and opened, replaces g_components by
// 21 fresh records filled from its lines and sets g_numComponents.
LoadResult LoadComponentFile(Module1State& module, std::wstring& dialogFileName);

// The same without the dialog: `path` as if it had been chosen.
LoadResult ReadComponentFile(Module1State& module, const std::wstring& path);

// Rebuilds the table from `grid`, shows the save dialog (preset "MO") and
// writes one empty line and one line per component. A cancelled dialog or a
// file that cannot be written ends the save without a word.
void SaveComponentFile(Module1State& module, const platform::GridModel& grid,
                       std::wstring& dialogFileName);

// True when `line` is a component line: it does not start with ";" or "!"
// and holds an "=".
bool IsComponentLine(std::wstring_view line);

// Fills table[index] from one non-empty line of a file. `index` is the number
// of components read so far; a line that is not a component takes 1 from it,
// so that the caller's "+1 after every call" leaves it unchanged.
void ParseComponentLine(std::vector<ComponentRecord>& table, std::wstring_view line,
                        int16_t& index);

// The line the writer writes for `record`, without its line end.
std::wstring FormatComponentLine(const ComponentRecord& record);

// `value` truncated toward zero to `decimals` places, as locale number text;
// "0" for zero, "-0" for a negative value that truncates to zero.
std::wstring FormatFileNumber(double value, int16_t decimals);

}  // namespace korvid::component_definition
