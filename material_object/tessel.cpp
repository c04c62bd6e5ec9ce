// Start-up, shutdown and the ICapeIdentification accessors of Tessel.
#include "material_object/tessel.h"

#include "automation/com_error.h"
#include "component_definition/module_state.h"
#include "component_definition/new_object_definition.h"
#include "material_object/name_tables.h"
#include "component_definition/trace_report.h"

namespace korvid::material_object {

using component_definition::CloseTraceReport;
using component_definition::WriteCallHeader;

namespace {

template <size_t N>
com::Variant TableCopy(const std::array<std::wstring_view, N>& table) {
    std::vector<std::wstring> items(table.begin(), table.end());
    return com::MakeStringArray(items);
}

}  // namespace

Tessel::Tessel() {
    // 1-3: the thread's report switch and mismatch flag reset, then the user
    // defines the components (raises, leaving no trace, where the form cannot
    // finish); everything below runs after the form closed.
    messageMode_ = component_definition::DefineNewObject();
    auto& module = component_definition::Module1();
    componentName = L"Validation Material Object";
    componentDescription = L"This is a dummy material object for validation purposes only";

    // 4: sizing the lists 0..N-1 fails with no component.
    const int32_t n = module.g_numComponents;
    if (n <= 0) RaiseRuntime(kSubscriptOutOfRange);
    if (static_cast<size_t>(n) > module.g_components.size()) RaiseRuntime(kSubscriptOutOfRange);

    // 5-6: VARIANT copies of the fixed tables.
    nonConstPropTableCopy_ = TableCopy(kNonConstPropTable);
    phaseTableCopy_ = TableCopy(kPhaseTable);
    globalVarTableCopy_ = TableCopy(kGlobalVarTable);
    constPropTableCopy_ = TableCopy(kConstPropTable);

    // 7: the independent-variable table.
    indVarNames = {L"PRESSURE", L"TEMPERATURE"};
    indVarValues = {-1.0, -1.0};

    // 8-9: the components, copied out of the thread's component table.
    compCount = n;
    nameList.resize(n);
    casList.resize(n);
    std::vector<std::wstring> formulas(n);
    std::vector<double> tbValues(n);
    std::vector<double> mwValues(n);
    for (int32_t k = 0; k < n; ++k) {
        const auto& record = module.g_components[k];
        nameList[k] = record.name;
        casList[k] = record.cas;
        formulas[k] = record.formula;
        tbValues[k] = record.tb;
        mwValues[k] = record.mw;
    }

    // 10: the public lists.
    m_compFormulaes = com::MakeStringArray(formulas);
    m_componentIDs = com::MakeStringArray(casList);
    m_compBoilTemps = com::MakeDoubleArray(tbValues);
    m_compMolWts = com::MakeDoubleArray(mwValues);
    m_compNames = com::MakeStringArray(nameList);
    m_num = n;

    // 11-12: the property store with its initial temperature and pressure; the
    // loop counters end where the initialisation loops over phases and
    // components end.
    store_.Create(n);
    i = kPhaseUpper + 1;
    j = n;
}

Tessel::~Tessel() { CloseTraceReport(component_definition::Module1()); }

std::wstring Tessel::ICapeIdentification_get_ComponentName() {
    WriteCallHeader(L"ICapeIdentification_ComponentName");
    return componentName;
}

void Tessel::ICapeIdentification_put_ComponentName(std::wstring_view name) {
    WriteCallHeader(L"ICapeIdentification_ComponentName");
    componentName = name;
}

std::wstring Tessel::ICapeIdentification_get_ComponentDescription() {
    WriteCallHeader(L"ICapeIdentification_ComponentDescription");
    return componentDescription;
}

void Tessel::ICapeIdentification_put_ComponentDescription(std::wstring_view desc) {
    WriteCallHeader(L"ICapeIdentification_ComponentDescription");
    componentDescription = desc;
}

void Tessel::RefuseArgument(std::wstring_view interfaceName, std::wstring_view operation,
                            const com::RefusedArgument& refused) {
    std::wstring name(interfaceName);
    name.append(L"_").append(operation);
    WriteCallHeader(name);
    component_definition::WriteTraceLine({L"\t", refused.name, L"\t", refused.shown});
    const bool prop = interfaceName == L"ICapeThermoMaterialObject" &&
                      (operation == L"GetProp" || operation == L"SetProp");
    name.replace(interfaceName.size(), 1, L".");
    Raise(prop ? 1 : kInvalidProcedureCall, prop ? name : kComponentSource, refused.Description());
}

}  // namespace korvid::material_object
