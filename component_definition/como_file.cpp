// Reading and writing .como files, and the form's Load and Save buttons.
#include "component_definition/como_file.h"

#include <cmath>
#include <string>

#include "component_definition/grid_transfer.h"
#include "component_definition/mo_def_frm.h"
#include "component_definition/module_state.h"
#include "platform/platform.h"

namespace korvid::component_definition {

namespace {

// The file's keys in the order the writer writes them; each belongs to the
// grid column (and record field) of the same position.
struct FileKey {
    const wchar_t* key;
    int16_t decimals;  // places kept by the writer (numbers only)
};

constexpr FileKey kKeys[kRecordFields] = {
    {L"NAME", 0},  {L"CAS", 0},  {L"FAMILY", 0}, {L"FORMULA", 0}, {L"TB", 4},  {L"PC", 4},
    {L"TC", 4},    {L"OMEGA", 4}, {L"MW", 4},    {L"PCHOR", 4},   {L"CP0", 2}, {L"CP1", 4},
    {L"CP2", 4},   {L"CP3", 4},  {L"CP4", 4},    {L"HF", 4},      {L"ILD", 4},
};

// Column of an upper-cased key, or -1.
int KeyColumn(std::wstring_view upperKey) {
    for (int column = 0; column < kRecordFields; ++column) {
        if (upperKey == kKeys[column].key) return column;
    }
    return -1;
}

void ApplyField(ComponentRecord& record, std::wstring_view key, std::wstring_view value) {
    auto& platform = platform::CurrentPlatform();
    const int column = KeyColumn(platform.UpperCase(key));
    if (column < 0) return;  // unknown keys are skipped
    if (column < kTextFields) {
        TextField(record, column).assign(value);
        return;
    }
    double number = 0.0;
    if (platform.ParseNumber(value, &number)) SetNumberField(record, column, number);
}

// Beyond 2^52 every double is a whole number: truncation changes nothing,
// and scaling such a value could overflow.
constexpr double kWholeFrom = 4503599627370496.0;

constexpr wchar_t kNoDataMessage[] = L"You must  enter or load data";

std::wstring UnreadableMessage(const std::wstring& path) {
    return L"The file could not be read: " + path;
}

std::wstring IgnoredMessage(int ignored) {
    return L"Only the first " + std::to_wstring(kLoadedRecords) + L" components were loaded; " +
           std::to_wstring(ignored) + (ignored == 1 ? L" more was ignored." : L" more were ignored.");
}

}  // namespace

bool IsComponentLine(std::wstring_view line) {
    if (line.empty() || line.front() == L';' || line.front() == L'!') return false;
    return line.find(L'=') != std::wstring_view::npos;
}

void ParseComponentLine(std::vector<ComponentRecord>& table, std::wstring_view line,
                        int16_t& index) {
    if (!IsComponentLine(line)) {
        --index;
        return;
    }
    ComponentRecord& record = table.at(static_cast<size_t>(index));
    size_t start = 0;
    // Fields from left to right, as long as an "=" remains in the rest of the line.
    while (line.find(L'=', start) != std::wstring_view::npos) {
        size_t end = line.find(L';', start);
        if (end == std::wstring_view::npos) end = line.size();
        const std::wstring_view field = line.substr(start, end - start);
        const size_t equals = field.find(L'=');
        // A field without "=" between well-formed ones is skipped on its own.
        if (equals != std::wstring_view::npos) {
            ApplyField(record, field.substr(0, equals), field.substr(equals + 1));
        }
        if (end == line.size()) break;
        start = end + 1;
    }
}

std::wstring FormatFileNumber(double value, int16_t decimals) {
    if (value == 0.0) return L"0";
    const wchar_t* sign = value < 0.0 ? L"-" : L"";
    const double magnitude = std::fabs(value);
    double truncated = magnitude;
    if (magnitude < kWholeFrom) {
        // Plain double arithmetic, never rounding: 83.82 is stored as
        // 83.81999999999999..., its product with 10^4 as 838199.99999999988,
        // so it is written 83.8199.
        const double scale = std::pow(10.0, decimals);
        const double scaled = magnitude * scale;
        truncated = std::trunc(scaled) / scale;
    }
    return sign + platform::CurrentPlatform().FormatNumber(truncated);
}

std::wstring FormatComponentLine(const ComponentRecord& record) {
    std::wstring line;
    line.reserve(256);
    for (int column = 0; column < kRecordFields; ++column) {
        if (column > 0) line += L';';
        line += kKeys[column].key;
        line += L'=';
        if (column < kTextFields) {
            line += TextField(record, column);
        } else {
            line += FormatFileNumber(NumberField(record, column), kKeys[column].decimals);
        }
    }
    return line;
}

LoadResult LoadComponentFile(Module1State& module, std::wstring& dialogFileName) {
    auto& platform = platform::CurrentPlatform();
    platform::FileDialogRequest request;
    request.filter = kComoFilter;
    request.fileName = dialogFileName;
    request.fileMustExist = true;
    request.hideReadOnly = true;
    const std::optional<std::wstring> chosen = platform.ShowOpenDialog(request);
    dialogFileName = request.fileName;

    if (!chosen || chosen->empty()) return LoadResult{};
    return ReadComponentFile(module, *chosen);
}

LoadResult ReadComponentFile(Module1State& module, const std::wstring& path) {
    auto& platform = platform::CurrentPlatform();
    LoadResult result;
    result.path = path;
    module.g_filePath = result.path;

    const int16_t fileNo = platform.FreeFileNumber();
    if (fileNo == 0 || !platform.OpenFile(fileNo, result.path, platform::FileMode::Input)) {
        result.outcome = LoadResult::Outcome::Unreadable;
        return result;
    }
    // Only now is the previous table given up.
    module.g_components.assign(kLoadedRecords, ComponentRecord{});
    int16_t count = 0;
    std::wstring line;
    while (platform.ReadLine(fileNo, &line)) {
        if (line.empty()) continue;
        if (count >= kLoadedRecords) {
            // The table is full: later components are counted, not read.
            if (IsComponentLine(line)) ++result.ignoredComponents;
            continue;
        }
        ParseComponentLine(module.g_components, line, count);
        ++count;
    }
    platform.CloseFile(fileNo);
    module.g_numComponents = count;
    result.outcome = LoadResult::Outcome::Loaded;
    return result;
}

void SaveComponentFile(Module1State& module, const platform::GridModel& grid,
                       std::wstring& dialogFileName) {
    // The table follows the grid even when the dialog is then cancelled.
    ReadGridIntoTable(module, grid);

    auto& platform = platform::CurrentPlatform();
    platform::FileDialogRequest request;
    request.filter = kComoFilter;
    request.fileName = kDefaultSaveName;
    request.overwritePrompt = true;
    const std::optional<std::wstring> chosen = platform.ShowSaveDialog(request);
    dialogFileName = request.fileName;

    if (!chosen) return;
    const std::wstring path = chosen->empty() ? std::wstring(kDefaultSaveName) : *chosen;
    module.g_filePath = path;

    // The whole file goes to the OS in one write.
    std::wstring text = L"\r\n";
    for (int32_t k = 0; k < module.g_numComponents; ++k) {
        text += FormatComponentLine(module.g_components.at(static_cast<size_t>(k)));
        text += L"\r\n";
    }
    const int16_t fileNo = platform.FreeFileNumber();
    if (fileNo == 0 || !platform.OpenFile(fileNo, path, platform::FileMode::Output)) return;
    platform.WriteText(fileNo, text);
    platform.CloseFile(fileNo);
}

// --- The form's buttons ----------------------------------------------------------

void MODefFrm::OnLoadClick(platform::FormWindow& window) {
    state_.label2.clear();
    ShowLoaded(window, LoadComponentFile(module_, cmDlg1FileName_));
}

bool MODefFrm::OnFileHanded(platform::FormWindow& window, const std::wstring& path) {
    state_.label2.clear();
    cmDlg1FileName_ = path;  // the dialog would keep the name of the file it chose
    return ShowLoaded(window, ReadComponentFile(module_, path));
}

bool MODefFrm::ShowLoaded(platform::FormWindow& window, const LoadResult& result) {
    if (result.outcome == LoadResult::Outcome::Unreadable) {
        // Nothing was loaded: the grid keeps what the user typed.
        state_.label2 = UnreadableMessage(result.path);
        return false;
    }
    if (module_.g_numComponents == 0) {
        state_.label2 = kNoDataMessage;
        return false;
    }
    state_.grid.SetRows(module_.g_numComponents + 1);
    FillGridFromTable(module_, state_.grid);
    AutoSizeGridColumns(state_.grid, window);
    if (result.ignoredComponents > 0) state_.label2 = IgnoredMessage(result.ignoredComponents);
    return true;
}

// The button adds nothing of its own: no message, whatever the save did.
void MODefFrm::OnSaveClick(platform::FormWindow&) {
    SaveComponentFile(module_, state_.grid, cmDlg1FileName_);
}

}  // namespace korvid::component_definition
