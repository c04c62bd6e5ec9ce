// The check `report`: hosts show a unit's reports through ICapeUnitReport:
// the default one, the names (`reports`, an array of strings), then each selected
// (`selectedReport`) and produced (`ProduceReport`). A failed call, or
// names that are no array of strings, is finding `report-failed`.
#include "tools/cape_open/com_values.h"
#include "tools/validate/com_values.h"
#include "tools/validate/output.h"
#include "tools/validate/session.h"

namespace korvid::validate {

std::wstring Session::CheckReport() {
    ICapeUnitReport* report = nullptr;
    if (FAILED(unit_->QueryInterface(IID_PPV_ARGS(&report))))
        return L"the unit answers no ICapeUnitReport";
    auto failed = [&](const std::wstring& what) {
        verdict_.Add({L"unit", L"report-failed", what});
    };
    VARIANT names;
    VariantInit(&names);
    std::optional<std::vector<std::wstring>> reports;
    const HRESULT listed = Step(
        L"get reports", report, [&] { return report->get_reports(&names); },
        [&] {
            reports = cape_open::Texts(names);
            std::wstring shown;
            for (const std::wstring& name : reports.value_or(std::vector<std::wstring>{}))
                shown += (shown.empty() ? L"" : L" ") + Quoted(name);
            return reports ? L"[" + shown + L"]" : L"no array of strings";
        });
    VariantClear(&names);
    if (FAILED(listed)) failed(L"get reports " + Hex(listed));
    if (SUCCEEDED(listed) && !reports) failed(L"reports is no array of strings");
    // As a host shows the report before anyone chose one: the default.
    BSTR text = nullptr;
    const HRESULT produced = Step(
        L"ProduceReport (none selected)", report, [&] { return report->ProduceReport(&text); },
        [&] { return std::to_wstring(text ? SysStringLen(text) : 0) + L" characters"; });
    SysFreeString(text);
    if (FAILED(produced)) failed(L"ProduceReport (none selected) " + Hex(produced));
    for (const std::wstring& name : reports.value_or(std::vector<std::wstring>{})) {
        BSTR selected = SysAllocString(name.c_str());
        HRESULT hr = Step(L"put selectedReport " + Quoted(name), report,
                          [&] { return report->put_selectedReport(selected); });
        SysFreeString(selected);
        if (FAILED(hr)) {
            failed(L"put selectedReport " + Quoted(name) + L" " + Hex(hr));
            continue;
        }
        BSTR text = nullptr;
        hr = Step(
            L"ProduceReport " + Quoted(name), report, [&] { return report->ProduceReport(&text); },
            [&] { return std::to_wstring(text ? SysStringLen(text) : 0) + L" characters"; });
        SysFreeString(text);
        if (FAILED(hr)) failed(L"ProduceReport " + Quoted(name) + L" " + Hex(hr));
    }
    report->Release();
    return {};
}

}  // namespace korvid::validate
