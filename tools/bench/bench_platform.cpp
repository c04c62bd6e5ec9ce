#include "tools/bench/bench_platform.h"

#include <windows.h>

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

void UseThreeComponents() {
    auto& module = component_definition::Module1();
    module.g_components = {
        {L"Methane", L"74-82-8", L"Alkane", L"CH4", 111.66, 45.99, 190.56, 0.0115, 16.043, 73.2,
         19.251, 0.05213, 1.19e-5, -1.13e-8, 0, -74.52, 0.4224},
        {L"Ethane", L"74-84-0", L"Alkane", L"C2H6", 184.55, 48.72, 305.32, 0.0995, 30.07, 110.8,
         5.409, 0.1781, -6.938e-5, 8.713e-9, 0, -83.82, 0.5446},
        {L"Water", L"7732-18-5", L"Other", L"H2O", 373.15, 220.64, 647.1, 0.3449, 18.015, 52.0,
         32.24, 0.001924, 1.055e-5, -3.596e-9, 0, -285.83, 0.997}};
    module.g_numComponents = 3;
}

std::wstring BenchPlatform::ReportFolder() {
    const std::wstring folder = ModuleFolder() + L"\\CapeOpenValidationReports";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

platform::FormEnd BenchPlatform::RunModalForm(platform::DefinitionFormState& state,
                                              platform::DefinitionFormHandler& handler) {
    NoWindow window;
    handler.OnFormLoad(window);
    const auto& table = component_definition::Module1().g_components;
    state.grid.SetTextMatrix(1, 0, table.empty() ? L"?" : table[0].name);
    state.grid.SetTextMatrix(1, 1, table.empty() ? L"?" : table[0].cas);
    handler.OnReportNameChange(window, reportName_);
    handler.OnOkClick(window);
    return state.closed ? platform::FormEnd::Closed : platform::FormEnd::Quit;
}

}  // namespace korvid::bench
