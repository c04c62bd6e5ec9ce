#include "tools/bench/bench_platform.h"

#include "component_definition/module_state.h"
#include "platform/definition_form_ui.h"

namespace korvid::bench {

namespace {

// The window's side of the form, with nothing on screen.
class NoWindow final : public platform::FormWindow {
public:
    int TextWidthTwips(const std::wstring& text) override {
        return static_cast<int>(text.size()) * 120;
    }
    void PopupCopyPasteMenu() override {}
};

}  // namespace

void BenchPlatform::RunModalForm(platform::DefinitionFormState& state,
                                 platform::DefinitionFormHandler& handler) {
    NoWindow window;
    handler.OnFormLoad(window);
    const auto& table = component_definition::Module1().g_components;
    state.grid.SetTextMatrix(1, 0, table.empty() ? L"?" : table[0].name);
    state.grid.SetTextMatrix(1, 1, table.empty() ? L"?" : table[0].cas);
    handler.OnReportNameChange(window, reportName_);
    handler.OnOkClick(window);
}

}  // namespace korvid::bench
