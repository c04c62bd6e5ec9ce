// Creation without the form: the settings read from the environment, and the
// form's own Load, option, report name and OK run over its state with no
// window.
#include "component_definition/headless_definition.h"

#include <map>
#include <mutex>

#include "component_definition/como_file.h"
#include "component_definition/mo_def_frm.h"
#include "component_definition/module_state.h"
#include "platform/platform.h"

namespace korvid::component_definition {

namespace {

// The window's side of a form that nobody sees: its column widths are never
// shown, so nothing is measured.
class NoWindow final : public platform::FormWindow {
public:
    int TextWidthTwips(const std::wstring&) override { return 0; }
    void PopupCopyPasteMenu() override {}
};

// Objects made so far with each KORVID_REPORT value, in the whole process:
// the k-th reports to "<name>-<k>", so that no object empties the report of
// another (of this thread or of another apartment).
struct ReportNumbers {
    std::mutex lock;
    std::map<std::wstring, int> made;
};

ReportNumbers& Numbers() {
    static ReportNumbers numbers;
    return numbers;
}

}  // namespace

std::optional<HeadlessDefinition> HeadlessDefinitionFromEnvironment() {
    auto& platform = platform::CurrentPlatform();
    HeadlessDefinition definition;
    definition.comoPath = platform.EnvironmentVariable(L"KORVID_COMO");
    if (definition.comoPath.empty()) return std::nullopt;
    definition.reportName = platform.EnvironmentVariable(L"KORVID_REPORT");
    const std::wstring ids = platform.EnvironmentVariable(L"KORVID_COMPIDS");
    const std::wstring upperIds = platform.UpperCase(ids);
    definition.useCas = upperIds == L"CAS";
    if (!ids.empty() && !definition.useCas && upperIds != L"NAMES") {
        definition.refusal =
            L"KORVID_COMPIDS is \"" + ids + L"\": it must be \"names\" or \"cas\".";
    }
    return definition;
}

std::wstring MODefFrm::DefineWithoutWindow(const HeadlessDefinition& definition) {
    if (!definition.refusal.empty()) return definition.refusal;
    NoWindow window;
    Reset();
    OnFormLoad(window);
    // Load, its file as if chosen in the dialog. A person who sees that it
    // read nothing does not go on to OK.
    if (!OnFileHanded(window, definition.comoPath)) return state_.label2;
    OnOptionClick(window, !definition.useCas);
    // The number is taken only by an object that is made.
    ReportNumbers& numbers = Numbers();
    std::lock_guard<std::mutex> hold(numbers.lock);
    const auto known = numbers.made.find(definition.reportName);
    const int number = known == numbers.made.end() ? 1 : known->second + 1;
    std::wstring name = definition.reportName;
    if (number > 1) name += L"-" + std::to_wstring(number);
    OnReportNameChange(window, name);
    OnOkClick(window);
    if (!state_.closed) return state_.label2;
    if (!definition.reportName.empty()) numbers.made[definition.reportName] = number;
    return std::wstring();
}

}  // namespace korvid::component_definition
