// korvid-fuzz: random calls of Korvid.Tessel by name through
// IDispatch::Invoke, on the default IDispatch, ICapeThermoMaterialObject and
// ICapeIdentification (every member but the two that open a form: Duplicate
// and CreateMaterialObject). Call k is built from (seed, k) alone, so any
// call or range replays by itself (on an object without what the calls
// before it stored: replay from 0 to see a fault that needs them).
//
// Each call must end in S_OK or a failure HRESULT; DISP_E_EXCEPTION must come
// with an EXCEPINFO holding 0x800A0000 + n, a source and a description;
// pVarResult must be VT_EMPTY after a failure. A crash or a call that hangs prints the call
// and ends the process. At the end: committed memory and the task
// allocator's live blocks after the warm-up and at the end (figures, and a
// failure beyond the tolerance), every reference given back (the last
// Release answers 0, DllCanUnloadNow S_OK, the object we passed in is
// released as often as it was given).
//
// Usage: korvid-fuzz.exe [--calls N] [--seed S] [--from N] [--count K] [--verbose]
//   --calls N      calls 0..N-1 (default 20000)
//   --from/--count replay calls N..N+K-1 of seed S
//   --verbose      print each call and its outcome
// Exit code: 0 all checks passed, 1 a check failed, 3 crash, 4 hang, 5 set-up.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "Korvid_h.h"
#include "tests/support/allocation_spy.h"
#include "tests/e2e/clients/argument_shapes.h"
#include "tests/e2e/clients/client_checks.h"
#include "tools/fuzz/arguments.h"
#include "tools/soak/process_memory.h"

using namespace korvid::e2e;
using korvid::testing::AllocationSpy;
using namespace korvid::fuzz;

namespace {

constexpr LONG kWarmUpCalls = 2000;
constexpr SIZE_T kMemoryTolerance = 2 << 20;
constexpr size_t kBlockTolerance = 256;  // BSTRs in the BSTR cache count as live
constexpr DWORD kHangMilliseconds = 60000;

// The call in progress, for the crash filter and the watchdog: written
// before each call, read without allocating.
volatile LONG g_callIndex = -1;
std::string g_callText;

void WriteRaw(const char* text, size_t length) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(length), &written, nullptr);
}

void ReportAndEnd(const char* what, DWORD code, const void* address, UINT exitCode) {
    char head[128];
    const int n =
        std::snprintf(head, sizeof head, "\n%s 0x%08lX (at %p) in call %ld: ", what,
                      static_cast<unsigned long>(code), address, static_cast<long>(g_callIndex));
    std::fflush(stdout);
    WriteRaw(head, n);
    WriteRaw(g_callText.data(), g_callText.size());
    WriteRaw("\n", 1);
    TerminateProcess(GetCurrentProcess(), exitCode);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    ReportAndEnd("CRASH: exception", info->ExceptionRecord->ExceptionCode,
                 info->ExceptionRecord->ExceptionAddress, 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI Watchdog(void*) {
    LONG seen = -2;
    DWORD still = 0;
    for (;;) {
        Sleep(1000);
        const LONG now = g_callIndex;
        still = now == seen ? still + 1000 : 0;
        seen = now;
        if (now >= 0 && still >= kHangMilliseconds)
            ReportAndEnd("HANG: no return for ms", still, nullptr, 4);
    }
}

// An object of the caller's that the arguments pass around: it answers no
// member, and counts its references so that none may be kept.
class Stranger final : public IDispatch {
public:
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return count ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

// A member as its interface's type information declares it.
struct Member {
    std::wstring name;
    std::vector<std::wstring> params;
    WORD kind;  // DISPATCH_METHOD, _PROPERTYGET, _PROPERTYPUT or _PROPERTYPUTREF
};

struct Target {
    const char* name;
    IDispatch* dispatch;
    std::vector<Member> members;
};

// The members of `info`, without the two that open a definition form.
void AddMembers(ITypeInfo* info, std::vector<Member>& members) {
    TYPEATTR* attr = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attr))) return;
    for (UINT k = 0; k < attr->cFuncs; ++k) {
        FUNCDESC* func = nullptr;
        if (FAILED(info->GetFuncDesc(k, &func))) continue;
        BSTR names[16] = {};
        UINT count = 0;
        info->GetNames(func->memid, names, 16, &count);
        Member member{names[0] ? names[0] : L"", {}, static_cast<WORD>(func->invkind)};
        for (UINT p = 1; p < count; ++p) member.params.push_back(names[p]);
        for (UINT p = 0; p < count; ++p) SysFreeString(names[p]);
        // The [out, retval] parameter is no argument; a put's value has no name.
        UINT args = static_cast<UINT>(func->cParams);
        if (args && (func->lprgelemdescParam[args - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
            --args;
        member.params.resize(args, L"value");
        const bool opensForm =
            member.name == L"Duplicate" || member.name == L"CreateMaterialObject";
        if (func->memid < 0x60000000 && !opensForm) {  // not IUnknown's and IDispatch's
            members.push_back(std::move(member));
        }
        info->ReleaseFuncDesc(func);
    }
    info->ReleaseTypeAttr(attr);
}

ITypeInfo* InfoOf(IDispatch* dispatch) {
    ITypeInfo* info = nullptr;
    dispatch->GetTypeInfo(0, 0, &info);
    return info;
}

// Names the object knows, to put in texts: properties, phases, bases,
// calculation and flash types, the components of three_components.como,
// constants. Junk is mixed in by the argument maker.
std::vector<std::wstring> Words() {
    return {L"temperature",
            L"pressure",
            L"fraction",
            L"flow",
            L"totalFlow",
            L"enthalpy",
            L"entropy",
            L"density",
            L"volume",
            L"phaseFraction",
            L"fugacity",
            L"fugacityCoefficient",
            L"kvalues",
            L"vaporPressure",
            L"vaporPressure.DTemperature",
            L"enthalpy.Dmoles",
            L"TEMPERATURE",
            L"FRACTION",
            L"vapor",
            L"liquid",
            L"overall",
            L"solid",
            L"Vapor",
            L"GasLiquid",
            L"LiquidLiquid",
            L"VaporLiquid",
            L"mole",
            L"mass",
            L"MOLE",
            L"Mass",
            L"mixture",
            L"pure",
            L"TP",
            L"PH",
            L"PVF",
            L"TVF",
            L"Methane",
            L"Ethane",
            L"Water",
            L"METHANE",
            L"74-82-8",
            L"74-84-0",
            L"7732-18-5",
            L"molecularWeight",
            L"criticalTemperature",
            L"criticalPressure",
            L"acentricFactor",
            L"normalBoilingPoint",
            L"casRegistryNumber",
            L"chemicalFormula",
            L"iupacName",
            L"parachor",
            L"heatOfVaporizationAtNormalBoilingPoint",
            L"idealGasHeatCapacity",
            L"standardFormationEnthalpyGas",
            L"liquidDensityAt25C",
            L"avogadroConstant",
            L"molarGasConstant",
            L"",
            L" ",
            L"1.5"};
}

struct Outcomes {
    long calls = 0;
    long failures = 0;  // checks that failed
    std::map<std::string, long> byResult;
};

class Fuzzer {
public:
    Fuzzer(IUnknown* object, Stranger* stranger, const AllocationSpy& spy, uint64_t seed,
           bool verbose)
        : seed_(seed),
          verbose_(verbose),
          stranger_(stranger),
          spy_(spy),
          maker_(Words(), stranger) {
        IDispatch* dispatch = nullptr;
        ICapeThermoMaterialObject* thermo = nullptr;
        ICapeIdentification* ident = nullptr;
        object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        object->QueryInterface(IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&thermo));
        object->QueryInterface(IID_ICapeIdentification, reinterpret_cast<void**>(&ident));
        targets_ = {{"IDispatch", dispatch, {}},
                    {"ICapeThermoMaterialObject", thermo, {}},
                    {"ICapeIdentification", ident, {}}};
        // The default IDispatch answers its own members and the other two's names.
        for (Target& target : targets_) {
            ITypeInfo* info = InfoOf(target.dispatch);
            AddMembers(info, target.members);
            if (info) info->Release();
        }
        for (size_t t = 1; t < targets_.size(); ++t) {
            targets_[0].members.insert(targets_[0].members.end(), targets_[t].members.begin(),
                                       targets_[t].members.end());
        }
        for (const VariantShape& shape : VariantShapes(store_, stranger)) {
            if (!IsHuge(shape)) shapes_.push_back(shape);
        }
    }
    ~Fuzzer() {
        for (Target& target : targets_) target.dispatch->Release();
    }

    void Call(LONG index);
    Outcomes outcomes;

private:
    void Fail(const std::string& what) {
        ++outcomes.failures;
        if (outcomes.failures <= 50)
            std::printf("FAIL: %s: %s\n", what.c_str(), g_callText.c_str());
    }

    uint64_t seed_;
    bool verbose_;
    Stranger* stranger_;
    const AllocationSpy& spy_;
    ArgumentMaker maker_;
    std::vector<Target> targets_;
    ShapeStore store_;
    std::vector<VariantShape> shapes_;
};

// A random invocation kind: what the member declares, as a script sends it,
// or anything.
WORD Flags(Random& random, WORD kind) {
    if (random.Percent(8)) {
        static constexpr WORD kAny[] = {0,
                                        DISPATCH_METHOD,
                                        DISPATCH_PROPERTYGET,
                                        DISPATCH_PROPERTYPUT,
                                        DISPATCH_PROPERTYPUTREF,
                                        DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF,
                                        0x20};
        return random.Pick(kAny);
    }
    if ((kind == DISPATCH_METHOD || kind == DISPATCH_PROPERTYGET) && random.Percent(40)) {
        return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    }
    return kind;
}

void Fuzzer::Call(LONG index) {
    Random random(seed_ * 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(index));
    Target& target = targets_[random.Percent(40) ? 0 : random.Percent(75) ? 1 : 2];
    const Member& member = random.Pick(target.members);
    const WORD flags = Flags(random, member.kind);

    // The member's name (sometimes in other letters, sometimes junk), and
    // for named arguments the names of some of its parameters.
    std::wstring name = member.name;
    if (random.Percent(5)) {
        for (wchar_t& c : name) c = towupper(c);
    } else if (random.Percent(3)) {
        name = maker_.Text(random);
    }
    UINT count = static_cast<UINT>(member.params.size());
    if (random.Percent(10)) count = random.Below(8);
    CallArguments call;
    call.args.resize(count);
    for (UINT k = 0; k < count; ++k) {
        if (random.Percent(10)) {
            VariantInit(&call.args[k]);
            random.Pick(shapes_).make(&call.args[k]);
        } else {
            maker_.Fill(random, &call.args[k], 0, true, call);
        }
    }
    std::vector<std::wstring> names{name};
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    if (put && count > 0 && random.Percent(90)) {
        call.named.push_back(DISPID_PROPERTYPUT);
    } else if (count > 0 && random.Percent(8)) {
        const UINT named = 1 + random.Below(count);
        for (UINT k = 0; k < named; ++k) {
            if (random.Percent(70) && !member.params.empty()) {
                names.push_back(random.Pick(member.params));
            } else {
                static constexpr DISPID kIds[] = {0, 1, 2, 5, 7, -1, DISPID_PROPERTYPUT, 1000};
                call.named.push_back(random.Pick(kIds));
            }
        }
    }
    const bool wantResult = random.Percent(90);
    const bool wantExcep = random.Percent(90);
    const bool wantArgErr = random.Percent(90);

    g_callText = std::to_string(index) + " " + target.name + "." +
                 DescribeText(name.data(), name.size()) + " flags " + std::to_string(flags) + " (";
    for (UINT k = 0; k < count; ++k) {
        g_callText += (k ? ", " : "") + Describe(call.args[count - 1 - k]);
    }
    g_callText += ")";
    for (size_t k = 1; k < names.size(); ++k) g_callText += " named " + Narrow(names[k]);
    for (DISPID id : call.named) g_callText += " named #" + std::to_string(id);
    if (!wantResult) g_callText += " no-result";
    if (!wantExcep) g_callText += " no-excepinfo";
    InterlockedExchange(&g_callIndex, index);

    std::vector<LPOLESTR> namePointers;
    for (std::wstring& n : names) namePointers.push_back(n.data());
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    HRESULT hr = target.dispatch->GetIDsOfNames(IID_NULL, namePointers.data(),
                                                static_cast<UINT>(names.size()), 0, ids.data());
    std::string result;
    if (FAILED(hr) && names[0] == member.name && names.size() == 1)
        Fail("GetIDsOfNames of a member " + Hex(hr));
    if (hr == S_OK || (hr == DISP_E_UNKNOWNNAME && ids[0] != DISPID_UNKNOWN)) {
        // Parameter names that were not found are sent as they came back.
        call.named.insert(call.named.begin(), ids.begin() + 1, ids.end());
        // Named arguments come first in rgvarg.
        const UINT namedCount = static_cast<UINT>(std::min<size_t>(call.named.size(), count));
        DISPPARAMS params{call.args.data(), call.named.data(), count, namedCount};
        VARIANT value;
        VariantInit(&value);
        EXCEPINFO excep{};
        UINT argErr = 0;
        const LONG refsBefore = stranger_->refs;
        const size_t blocksBefore = spy_.Live();
        hr = target.dispatch->Invoke(ids[0], IID_NULL, 0, flags, &params,
                                     wantResult ? &value : nullptr, wantExcep ? &excep : nullptr,
                                     wantArgErr ? &argErr : nullptr);
        result = Hex(hr);
        if (hr == DISP_E_EXCEPTION && wantExcep) {
            if (excep.pfnDeferredFillIn) excep.pfnDeferredFillIn(&excep);
            result += "/" + Hex(excep.scode);
            if (HRESULT_FACILITY(excep.scode) != FACILITY_CONTROL || !FAILED(excep.scode)) {
                Fail("exception " + Hex(excep.scode) + " is no 0x800A0000 + n");
            }
            if (!excep.bstrSource || !*excep.bstrSource) Fail("exception without source");
            if (!excep.bstrDescription || !*excep.bstrDescription)
                Fail("exception without description");
            if (verbose_)
                std::printf("  %s: %s\n", Narrow(excep.bstrSource ? excep.bstrSource : L"").c_str(),
                            Describe(excep.bstrDescription).c_str());
        }
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
        if (FAILED(hr) && stranger_->refs != refsBefore) {
            Fail("a failed call kept " + std::to_string(stranger_->refs - refsBefore) +
                 " references to an object passed in");
        }
        if (hr != S_OK && !FAILED(hr)) Fail("success code " + Hex(hr));
        if (hr == E_NOTIMPL) Fail("E_NOTIMPL");
        if (FAILED(hr) && wantResult && value.vt != VT_EMPTY)
            Fail("pVarResult not VT_EMPTY after " + Hex(hr));
        ++outcomes.byResult[result];
        if (verbose_ && SUCCEEDED(hr) && wantResult) result += " -> " + Describe(value);
        VariantClear(&value);
        if (verbose_)
            result += " blocks " + std::to_string(static_cast<long long>(spy_.Live()) -
                                                  static_cast<long long>(blocksBefore));
    } else {
        result = "GetIDsOfNames " + Hex(hr);
        ++outcomes.byResult[result];
    }
    SetErrorInfo(0, nullptr);
    ++outcomes.calls;
    if (verbose_) std::printf("%s\n  = %s\n", g_callText.c_str(), result.c_str());
}

struct Sample {
    SIZE_T committed;
    size_t blocks;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetUnhandledExceptionFilter(OnCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    LONG from = 0, count = 20000;
    uint64_t seed = (GetTickCount64() * 2654435761ull) ^ GetCurrentProcessId();
    bool verbose = false;
    for (int k = 1; k < argc; ++k) {
        const std::wstring arg = argv[k];
        const bool value = k + 1 < argc;
        if (arg == L"--calls" && value) {
            from = 0;
            count = std::wcstol(argv[++k], nullptr, 10);
        } else if (arg == L"--seed" && value) {
            seed = std::wcstoull(argv[++k], nullptr, 10);
        } else if (arg == L"--from" && value) {
            from = std::wcstol(argv[++k], nullptr, 10);
        } else if (arg == L"--count" && value) {
            count = std::wcstol(argv[++k], nullptr, 10);
        } else if (arg == L"--verbose") {
            verbose = true;
        } else {
            std::fprintf(
                stderr,
                "usage: korvid-fuzz.exe [--calls N] [--seed S] [--from N --count K] [--verbose]\n");
            return 5;
        }
    }
    std::printf("korvid-fuzz: seed %llu, calls %ld..%ld\n", static_cast<unsigned long long>(seed),
                static_cast<long>(from), static_cast<long>(from + count - 1));
    std::fflush(stdout);
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* object = CreateTessel<IUnknown>(IID_IUnknown);
    if (!object) return 5;

    Stranger stranger;
    AllocationSpy spy;
    CoRegisterMallocSpy(&spy);
    Sample warm{}, end{};
    const ULONGLONG start = GetTickCount64();
    Outcomes outcomes;
    {
        Fuzzer fuzzer(object, &stranger, spy, seed, verbose);
        for (LONG k = from; k < from + count; ++k) {
            fuzzer.Call(k);
            if (k - from + 1 == kWarmUpCalls)
                warm = {korvid::tools::CommittedPrivate(), spy.Live()};
            if ((k - from + 1) % 100000 == 0) {
                std::printf("progress: %ld calls, %.1f s, %.2f MB committed\n",
                            static_cast<long>(k - from + 1), (GetTickCount64() - start) / 1000.0,
                            korvid::tools::CommittedPrivate() / 1048576.0);
                std::fflush(stdout);
            }
        }
        end = {korvid::tools::CommittedPrivate(), spy.Live()};
        outcomes = fuzzer.outcomes;
    }
    InterlockedExchange(&g_callIndex, -1);
    const double seconds = (GetTickCount64() - start) / 1000.0;
    g_failures += static_cast<int>(std::min(outcomes.failures, 1000L));
    std::printf("calls: %ld in %.1f s (%.1f us per call), failed checks: %ld\n", outcomes.calls,
                seconds, seconds * 1e6 / std::max(1L, outcomes.calls), outcomes.failures);
    for (const auto& [result, n] : outcomes.byResult)
        std::printf("outcome %s: %ld\n", result.c_str(), n);
    if (count >= 2 * kWarmUpCalls) {
        std::printf(
            "memory: committed %.3f MB after %ld calls, %.3f MB at the end; task allocator "
            "blocks %zu and %zu\n",
            warm.committed / 1048576.0, static_cast<long>(kWarmUpCalls), end.committed / 1048576.0,
            warm.blocks, end.blocks);
        Check(end.committed <= warm.committed + kMemoryTolerance, "committed memory flat");
        Check(end.blocks <= warm.blocks + kBlockTolerance, "task allocator blocks flat");
    }
    object->AddRef();
    Check(object->Release() == 1, "every interface reference given back");
    Check(object->Release() == 0, "the object goes with its last reference");
    Check(stranger.refs == 1,
          "every reference to the caller's object given back: " + std::to_string(stranger.refs));
    CoRevokeMallocSpy();
    HMODULE server = GetModuleHandleW(L"Korvid.dll");
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
    Check(canUnload && canUnload() == S_OK, "DllCanUnloadNow answers S_OK");
    CoUninitialize();
    return Finish() ? 1 : 0;
}
