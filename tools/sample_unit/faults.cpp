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
    {L"literal-text", Fault::LiteralText},
};

}  // namespace

Fault FaultFromEnvironment() {
    std::vector<wchar_t> value(64);
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(L"KORVID_SAMPLE_FAULT", value.data(),
                                                     static_cast<DWORD>(value.size()));
        if (length == 0) return Fault::None;  // unset or empty
        if (length < value.size()) break;
        value.resize(length);
    }
    const std::wstring name = value.data();
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
