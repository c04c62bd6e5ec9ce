#include "tools/sample_unit/faults.h"

#include <windows.h>

#include <vector>

#include "tools/sample_unit/cape_object.h"

namespace korvid::sample_unit {

namespace {

struct Named {
    const wchar_t* name;
    Fault fault;
};
constexpr Named kFaults[] = {
    {L"writes-inlet", Fault::WritesInlet},
    {L"skips-outlet", Fault::SkipsOutlet},
    {L"calculates-invalid", Fault::CalculatesInvalid},
    {L"keeps-object", Fault::KeepsObject},
    {L"wrong-connected", Fault::WrongConnected},
    {L"bare-error", Fault::BareError},
    {L"no-addref", Fault::NoAddRef},
    {L"over-release", Fault::OverRelease},
    {L"ignores-error", Fault::IgnoresError},
    {L"item-none", Fault::ItemNone},
    {L"refuses-1.1", Fault::Refuses11},
    {L"context-first", Fault::ContextFirst},
    {L"forgets-name", Fault::ForgetsName},
    {L"stays-dirty", Fault::StaysDirty},
    {L"load-fails", Fault::LoadFails},
    {L"drifts", Fault::Drifts},
    {L"no-reconnect", Fault::NoReconnect},
    {L"report-fails", Fault::ReportFails},
    {L"no-progid", Fault::NoProgId},
    {L"no-threadingmodel", Fault::NoThreadingModel},
    {L"no-unit-category", Fault::NoUnitCategory},
    {L"no-helpurl", Fault::NoHelpUrl},
    {L"no-typelib", Fault::NoTypeLib},
};

}  // namespace

std::wstring FaultValue() {
    std::vector<wchar_t> value(64);
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(L"KORVID_SAMPLE_FAULT", value.data(),
                                                     static_cast<DWORD>(value.size()));
        if (length == 0) return {};  // unset or empty
        if (length < value.size()) return value.data();
        value.resize(length);
    }
}

Fault FaultFromEnvironment() {
    const std::wstring name = FaultValue();
    if (name.empty()) return Fault::None;
    std::wstring known;
    for (const Named& entry : kFaults) {
        if (name == entry.name) return entry.fault;
        known.append(known.empty() ? L"" : L", ").append(entry.name);
    }
    Fail(CapeErrorKind::FailedInitialisation,
         L"KORVID_SAMPLE_FAULT has the unknown value \"" + name + L"\"; known values: " + known +
             L".");
}

}  // namespace korvid::sample_unit
