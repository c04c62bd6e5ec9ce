#include "tools/sample_unit/faults.h"

#include <windows.h>

#include <cstdint>
#include <stdexcept>
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
    {L"shows-window", Fault::ShowsWindow},
    {L"crashes", Fault::Crashes},
    {L"overflows-stack", Fault::OverflowsStack},
    {L"throws", Fault::Throws},
    {L"foreign-ids", Fault::ForeignIds},
    {L"wild-pointer", Fault::WildPointer},
    {L"literal-text", Fault::LiteralText},
    {L"context-first", Fault::ContextFirst},
    {L"forgets-name", Fault::ForgetsName},
    {L"forgets-parameters", Fault::ForgetsParameters},
    {L"stays-dirty", Fault::StaysDirty},
    {L"load-fails", Fault::LoadFails},
    {L"drifts", Fault::Drifts},
    {L"no-reconnect", Fault::NoReconnect},
    {L"report-fails", Fault::ReportFails},
    {L"unchecked-parameter", Fault::UncheckedParameter},
    {L"changes-input", Fault::ChangesInput},
    {L"stale-valstatus", Fault::StaleValStatus},
    {L"bad-default", Fault::BadDefault},
    {L"no-progid", Fault::NoProgId},
    {L"no-threadingmodel", Fault::NoThreadingModel},
    {L"no-unit-category", Fault::NoUnitCategory},
    {L"no-helpurl", Fault::NoHelpUrl},
    {L"no-typelib", Fault::NoTypeLib},
};

// Where crashes writes (address 0) and where wild-pointer has a count
// written (0x10), which the compiler cannot know.
volatile std::uintptr_t g_nowhere = 0;
volatile std::uintptr_t g_wild = 0x10;

// Each call takes a page of stack and the recursion never ends: `g_deeper`
// stays true, which the compiler cannot know.
volatile bool g_deeper = true;
[[gnu::noinline]] int Deeper(int depth) {
    volatile char page[4096];
    page[0] = static_cast<char>(depth);
    return (g_deeper ? Deeper(depth + 1) : 0) + page[0];
}

}  // namespace

void MisbehaveInCalculate(Fault fault) {
    if (fault == Fault::ShowsWindow)
        MessageBoxW(nullptr, L"The drum is about to calculate.", L"Sample flash drum", MB_OK);
    if (fault == Fault::Crashes) *reinterpret_cast<volatile int*>(g_nowhere) = 1;
    if (fault == Fault::OverflowsStack) Deeper(0);
    if (fault == Fault::Throws) throw std::runtime_error("thrown out of Calculate");
}

long* WildPointer() { return reinterpret_cast<long*>(g_wild); }

std::wstring SampleSetting(const wchar_t* name) {
    std::vector<wchar_t> value(64);
    for (;;) {
        const DWORD length =
            GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) return {};  // unset or empty
        if (length < value.size()) return value.data();
        value.resize(length);
    }
}

std::wstring FaultValue() { return SampleSetting(L"KORVID_SAMPLE_FAULT"); }

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
