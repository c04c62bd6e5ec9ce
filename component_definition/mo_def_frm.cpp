// MODefFrm: loading, the definition check, OK, close requests and the report
// name. Load and Save live in como_file.cpp, cell editing in cell_editing.cpp,
// the clipboard menu in grid_clipboard.cpp.
#include "component_definition/mo_def_frm.h"

#include "component_definition/module_state.h"
#include "component_definition/trace_report.h"

namespace korvid::component_definition {

namespace {

constexpr wchar_t kGridFormat[] =
    L"Name |<CAS number |<Family|<Sum Formula |<TB|<PC|<TC|<Omega|<Molecular Weigth|<Parachor"
    L"|<Cp0|<Cp1|<Cp2|<Cp3|<Cp4|<Enthalpy Of Formation|<Liquid Density (25\u00B0C)";

}  // namespace

MODefFrm::MODefFrm(Module1State& module) : module_(module) { Reset(); }

void MODefFrm::Reset() {
    // A fresh load: every data cell empty, every column at its initial width.
    state_.grid = platform::GridModel(platform::DefinitionFormState::kInitialRows,
                                      platform::DefinitionFormState::kColumns);
    auto& grid = state_.grid;
    // Headers from the format string: "|" separates columns, "<" aligns left.
    std::wstring format = kGridFormat;
    int col = 0;
    size_t start = 0;
    while (col < grid.Cols()) {
        size_t bar = format.find(L'|', start);
        std::wstring header = format.substr(start, bar == std::wstring::npos ? std::wstring::npos
                                                                             : bar - start);
        if (!header.empty() && header.front() == L'<') header.erase(0, 1);
        grid.SetTextMatrix(0, col++, header);
        if (bar == std::wstring::npos) break;
        start = bar + 1;
    }
    grid.SetRow(1);
    grid.SetCol(0);
    state_.changefeild = platform::EditBoxState{};
    state_.fileNameTxt.clear();
    state_.label2.clear();
    state_.option1 = true;
    state_.focus = platform::FormFocus::None;
    state_.closed = false;
    editCol_ = 0;
    keyBeganText_ = false;
}

platform::FormEnd MODefFrm::ShowModal() {
    Reset();
    return platform::CurrentPlatform().RunModalForm(state_, *this);
}

void MODefFrm::OnFormLoad(platform::FormWindow&) {
    // The window keeps itself topmost; the logic selects the first id option.
    state_.option1 = true;
}

bool MODefFrm::CheckMODef() const {
    bool result = true;
    for (int col = 0; col <= 1; ++col) {
        if (state_.grid.Rows() < 2 || state_.grid.TextMatrix(1, col).empty()) result = false;
    }
    return result;
}

void MODefFrm::Close() { state_.closed = true; }

void MODefFrm::OnOkClick(platform::FormWindow& window) {
    if (state_.fileNameTxt.empty()) {
        state_.label2 = L"No reporting on this Material Object.";
        module_.g_reportOn = false;
    }
    if (!CheckMODef()) {
        state_.label2 = L"Enter or load valid components data.";
        return;
    }
    if (module_.g_reportOn &&
        !component_definition::OpenTraceReport(module_, state_.fileNameTxt)) {
        state_.label2 = L"Enter a different name for reporting.";
        return;
    }
    module_.g_useCasAsId = !state_.option1;
    // Hiding and unloading passes the same check as every other close.
    CloseIfDefined();
}

bool MODefFrm::OnCloseRequest(platform::FormWindow&) {
    if (state_.closed) return true;  // already closed by OK
    if (!CloseIfDefined()) return false;
    // Closed without OK: no report file was opened, so reporting goes off
    // instead of leaving every traced call to fail on a missing file.
    module_.g_reportOn = false;
    return true;
}

bool MODefFrm::CloseIfDefined() {
    if (CheckMODef()) {
        Close();
        return true;
    }
    state_.label2 = L"Enter or load valid components data.";
    return false;
}

void MODefFrm::OnReportNameChange(platform::FormWindow&, const std::wstring& text) {
    state_.fileNameTxt = text;
    state_.label2.clear();
}

void MODefFrm::OnOptionClick(platform::FormWindow&, bool option1) { state_.option1 = option1; }

}  // namespace korvid::component_definition
