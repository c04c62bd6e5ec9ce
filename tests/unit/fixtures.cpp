#include "tests/unit/fixtures.h"

#include "component_definition/mo_def_frm.h"
#include "material_object/trace_report.h"

namespace korvid::testing {

using component_definition::ComponentRecord;

std::vector<ComponentRecord> ThreeComponents() {
    ComponentRecord methane{L"Methane", L"74-82-8",    L"Alkane", L"CH4", 111.66, 45.99,
                            190.56,     0.0115,        16.043,    73.2,   19.251, 0.05213,
                            0.0000119,  -0.0000000113, 0,         -74.52, 0.4224};
    ComponentRecord ethane{L"Ethane",   L"74-84-0",     L"Alkane", L"C2H6", 184.55, 48.72,
                           305.32,      0.0995,         30.07,     110.8,   5.409,  0.1781,
                           -0.00006938, 0.000000008713, 0,         -83.82,  0.5446};
    ComponentRecord water{L"Water",   L"7732-18-5",    L"Other", L"H2O",  373.15, 220.64,
                          647.1,      0.3449,          18.015,   52.0,    32.24,  0.001924,
                          0.00001055, -0.000000003596, 0,        -285.83, 0.9970};
    return {methane, ethane, water};
}

ScriptedTest::ScriptedTest(uint32_t lcid)
    : platform_(lcid), module_(component_definition::Module1()) {
    ResetModule();
}

ScriptedTest::~ScriptedTest() {
    material_object::TraceFlush();
    ResetModule();
}

void ScriptedTest::ResetModule() { module_.Clear(); }

void ScriptedTest::DefineComponents(const std::vector<ComponentRecord>& records) {
    module_.g_components = records;
    module_.g_components.resize(21);
    module_.g_numComponents = static_cast<int32_t>(records.size());
}

void ScriptedTest::QueueOkForm(const std::wstring& reportName, bool casAsId) {
    platform_.formScripts.push_back(
        [this, reportName, casAsId](platform::DefinitionFormState& state,
                                    platform::DefinitionFormHandler& handler,
                                    platform::FormWindow& window) {
            const auto& table = module_.g_components;
            state.grid.SetTextMatrix(1, 0, table.empty() ? L"x" : table[0].name);
            state.grid.SetTextMatrix(1, 1, table.empty() ? L"x" : table[0].cas);
            if (!reportName.empty()) handler.OnReportNameChange(window, reportName);
            handler.OnOptionClick(window, !casAsId);
            handler.OnOkClick(window);
            ASSERT_TRUE(state.closed) << "the form stayed open: "
                                      << std::string(state.label2.begin(), state.label2.end());
        });
}

std::wstring ScriptedTest::ReportPath(const std::wstring& name) const {
    return platform_.moduleFolder + L"\\CapeOpenValidationReports\\" + name + L".txt";
}

}  // namespace korvid::testing
