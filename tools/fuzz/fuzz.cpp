// korvid-fuzz: random calls of Korvid.Tessel by name through IDispatch::Invoke
// on the default IDispatch, ICapeThermoMaterialObject and ICapeIdentification
// (every member but Duplicate and CreateMaterialObject, which open a form);
// with --material of Korvid.Material on its default IDispatch and each of its
// interfaces, half of the arguments made to fit their parameter's name
// (material_calls.cpp), [in, out] ones by reference to old content.
// Call k is built from (seed, k) alone: it replays by itself. A call ends in
// S_OK or a failure that leaves pVarResult Empty and keeps no reference to an
// object passed in; DISP_E_EXCEPTION comes with 0x800A0000 + n, a source and a
// description. A crash or hang prints the call and ends the process. Memory
// and task allocator blocks stay flat after a warm-up; references come back.
// With --vtable the calls go through the interfaces' vtables instead, the
// arguments straight from the maker (no type library checks them first),
// after one call of each operation with 100,000-element lists (unless
// --no-huge); a failure is an HRESULT with its error information and no
// result, and no task allocator block is left once the object is gone.
// Korvid.Material's failures are its published HRESULTs with its source, a
// description and the same code in its error record; a failure clears its
// [in, out] results, and their old content is freed.
//   korvid-fuzz.exe [--material] [--calls N] [--seed S] [--from N --count K]
//                   [--verbose] [--vtable [--no-huge]]
// Exit code: 0 passed, 1 a check failed, 3 crash, 4 hang, 5 set-up.
#include <algorithm>
#include <map>

#include "KorvidThermo11_h.h"
#include "tests/support/allocation_spy.h"
#include "tools/fuzz/fuzz.h"
#include "tools/form_driver/time_scale.h"
#include "tools/soak/process_memory.h"

using namespace korvid::e2e;
using namespace korvid::fuzz;

namespace korvid::fuzz {

Stranger g_stranger, g_old;
volatile LONG g_index = -1;
std::string g_call;
std::map<std::string, long> g_outcomes;
long g_failed = 0;

void Fail(const std::string& what) {
    if (++g_failed <= 50) std::printf("FAIL: %s: %s\n", what.c_str(), g_call.c_str());
}

}  // namespace korvid::fuzz

namespace {

void ReportAndEnd(const char* what, DWORD code, UINT exitCode) {
    std::printf("\n%s 0x%08lX in call %ld: %s\n", what, code, static_cast<long>(g_index),
                g_call.c_str());
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), exitCode);
}

bool g_material = false;  // Korvid.Material under test, else Korvid.Tessel

// A member as its interface's type information declares it: its name, its
// invocation kind and the names of its arguments; the interfaces called.
struct Member {
    std::wstring name;
    WORD kind;
    std::vector<std::wstring> params;
    std::vector<bool> inOut;  // by parameter: [in, out]
};
struct Target {
    const char* name;
    IDispatch* dispatch;
    std::vector<Member> members;
};
std::vector<Target> g_targets;

// The members in `dispatch`'s type information but IUnknown's, IDispatch's
// and the two that open a form.
void AddMembers(IDispatch* dispatch, std::vector<Member>& members) {
    ITypeInfo* info = nullptr;
    TYPEATTR* attr = nullptr;
    if (FAILED(dispatch->GetTypeInfo(0, 0, &info)) || FAILED(info->GetTypeAttr(&attr))) return;
    for (UINT k = 0; k < attr->cFuncs; ++k) {
        FUNCDESC* func = nullptr;
        BSTR names[16] = {};
        UINT count = 0;
        if (FAILED(info->GetFuncDesc(k, &func)) ||
            FAILED(info->GetNames(func->memid, names, 16, &count)))
            continue;
        // The [out, retval] parameter is no argument; a put's value has no name.
        const UINT args =
            func->cParams -
            (func->cParams && (func->lprgelemdescParam[func->cParams - 1].paramdesc.wParamFlags &
                               PARAMFLAG_FRETVAL));
        Member member{names[0], WORD(func->invkind), {names + 1, names + std::max(count, 1u)}, {}};
        member.params.resize(args, L"value");
        for (UINT k = 0; k < args; ++k)
            member.inOut.push_back(func->lprgelemdescParam[k].paramdesc.wParamFlags &
                                   PARAMFLAG_FOUT);
        if (func->memid < 0x60000000 && member.name != L"Duplicate" &&
            member.name != L"CreateMaterialObject")
            members.push_back(std::move(member));
        std::for_each(names, names + count, SysFreeString);
        info->ReleaseFuncDesc(func);
    }
    info->ReleaseTypeAttr(attr);
    info->Release();
}

// Invocation kinds besides the member's own, and DISPIDs to name arguments by.
constexpr WORD kAnyFlags[] = {0,
                              DISPATCH_METHOD,
                              DISPATCH_PROPERTYGET,
                              DISPATCH_PROPERTYPUT,
                              DISPATCH_PROPERTYPUTREF,
                              DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF,
                              0x20};
constexpr DISPID kNamedIds[] = {0, 1, 2, 5, 7, -1, DISPID_PROPERTYPUT, 1000};

ICapeThermoMaterialObject* mo = nullptr;
ICapeIdentification* ident = nullptr;
_Tessel* tessel = nullptr;

// One vtable call's arguments.
struct Args {
    CallArguments call;  // the targets of by-reference VARIANTs
    Var a, b;
    BSTR s = nullptr, t = nullptr;
    short n = 0;
    VARIANT_BOOL found = 0;
    ~Args() {
        call.RestoreLies();
        Scrub(a), Scrub(b);
        FreeText(s);
        FreeText(t);
    }
};

// Every operation through its vtable.
using Operation = HRESULT (*)(Args&, VARIANT*);
#define OP(call) [](Args& x, VARIANT* out) -> HRESULT { return call; }
const Operation kOps[] = {
    OP(mo->GetUniversalConstant(x.a, out)),
    OP(mo->GetComponentConstant(x.a, x.b, out)),
    OP(mo->CalcProp(x.a, x.b, x.s)),
    OP(mo->GetProp(x.s, x.t, x.a, x.t, x.s, out)),
    OP(mo->SetProp(x.s, x.t, x.a, x.t, x.s, x.b)),
    OP(mo->CalcEquilibrium(x.s, x.a)),
    OP(mo->SetIndependentVar(x.a, x.b)),
    OP(mo->GetIndependentVar(x.a, out)),
    OP(mo->PropCheck(x.a, out)),
    OP(mo->RemoveResults(x.a)),
    OP(mo->ValidityCheck(x.a, out)),
    OP(mo->get_ComponentIds(out)),
    OP(mo->GetPropList(out)),
    OP(ident->put_ComponentName(x.s)),
    OP(tessel->CheckCstProp(&x.b, &x.a, &x.found)),
    OP(tessel->CheckComponent(&x.a, &x.found)),
    OP(tessel->GetCompIndex(&x.a, &x.n)),
    OP(tessel->displayRetVal(&x.a, out)),
    OP(tessel->GetPhaseIndex(&x.t, &x.n)),
    OP(tessel->put_m_componentIDs(x.a)),
    OP(tessel->putref_m_compFormulaes(x.a)),
};

// Call k through a vtable, or operation k with huge lists when `huge`.
void VtableCall(uint64_t seed, LONG index, bool huge) {
    Random random = RandomOf(seed, index);
    const ArgumentMaker maker{&g_stranger};
    Args x;
    const size_t op = huge ? size_t(index) : random.Below(std::size(kOps));
    if (huge) {
        x.a = Names(std::vector<std::wstring>(100000, L"TEMPERATURE"));
        x.b = Numbers(std::vector<double>(100000, 1.25));
        x.s = SysAllocStringLen(nullptr, 100000);
        x.t = SysAllocString(L"vapor");
    } else {
        maker.Fill(random, &x.a, 0, true, x.call);
        maker.Fill(random, &x.b, 0, true, x.call);
        x.s = maker.NewBstr(random);
        x.t = maker.NewBstr(random);
    }
    const bool nullOut = random.Percent(2);
    g_call = std::to_string(index) + " operation " + std::to_string(op) + " (" + Describe(x.a) +
             ", " + Describe(x.b) + ", " + Describe(x.s) + ", " + Describe(x.t) + ")" +
             (nullOut ? " no-result" : "");
    InterlockedExchange(&g_index, index);
    Var out;
    const LONG refs = g_stranger.refs;
    const HRESULT hr = kOps[op](x, nullOut ? nullptr : &out);
    const std::string info = FAILED(hr) ? ErrorInfo() : "";
    if (hr == E_NOTIMPL || (FAILED(hr) && out.vt != VT_EMPTY))
        Fail("result " + Hex(hr) + " with " + Describe(out));
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL &&
        (info.back() != '"' || info.substr(info.size() - 4) == "| \"\""))
        Fail(Hex(hr) + " without error information: " + info);
    if (FAILED(hr) && g_stranger.refs > refs)
        Fail("a failed call kept references to an object passed in");
    ++g_outcomes["vtable " + Hex(hr)];
    SetErrorInfo(0, nullptr);
}

void Call(uint64_t seed, LONG index, bool verbose) {
    Random random = RandomOf(seed, index);
    const ArgumentMaker maker{&g_stranger};
    const uint32_t others = static_cast<uint32_t>(g_targets.size() - 1);
    Target& target = g_targets[random.Percent(40)   ? 0
                               : g_material         ? 1 + random.Below(others)
                               : random.Percent(75) ? 1
                                                    : 2];
    const Member& member =
        target.members[random.Below(static_cast<uint32_t>(target.members.size()))];
    // The invocation kind: the member's, as a script sends it, or anything.
    WORD flags = random.Percent(8) ? random.Pick(kAnyFlags) : member.kind;
    if ((flags == DISPATCH_METHOD || flags == DISPATCH_PROPERTYGET) && flags == member.kind &&
        random.Percent(40))
        flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    // The member's name, sometimes in capitals or junk, then the names of the
    // arguments named by name.
    std::vector<std::wstring> names{member.name};
    if (random.Percent(5)) {
        for (wchar_t& c : names[0]) c = towupper(c);
    } else if (random.Percent(3)) {
        names[0] = maker.Text(random);
    }
    const UINT count =
        random.Percent(10) ? random.Below(8) : static_cast<UINT>(member.params.size());
    CallArguments call;
    call.args.resize(count);
    if (g_material) material::NewCall(random);
    for (UINT k = 0; k < count; ++k) {  // the last argument first
        const UINT param = count - 1 - k;
        if (!g_material || param >= member.params.size() || !random.Percent(50) ||
            !material::Plausible(member.params[param], member.inOut[param], random, &call.args[k],
                                 call))
            maker.Fill(random, &call.args[k], 0, true, call);
    }
    if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && count > 0 &&
        random.Percent(90)) {
        call.named.push_back(DISPID_PROPERTYPUT);
    } else if (count > 0 && random.Percent(8)) {
        for (UINT k = 1 + random.Below(count); k > 0; --k) {
            if (random.Percent(70) && !member.params.empty())
                names.push_back(
                    member.params[random.Below(static_cast<uint32_t>(member.params.size()))]);
            else
                call.named.push_back(random.Pick(kNamedIds));
        }
    }
    const bool wantResult = random.Percent(90), wantExcep = random.Percent(90),
               wantArgErr = random.Percent(90);

    g_call = std::to_string(index) + " " + target.name + "." +
             DescribeText(names[0].data(), names[0].size()) + " flags " + std::to_string(flags) +
             " (";
    for (UINT k = 0; k < count; ++k) g_call += (k ? ", " : "") + Describe(call.args[count - 1 - k]);
    g_call +=
        std::string(")") + (wantResult ? "" : " no-result") + (wantExcep ? "" : " no-excepinfo");
    for (size_t k = 1; k < names.size(); ++k)
        g_call += " named " + DescribeText(names[k].data(), names[k].size());
    for (DISPID id : call.named) g_call += " named #" + std::to_string(id);
    InterlockedExchange(&g_index, index);

    std::vector<LPOLESTR> pointers;
    for (std::wstring& name : names) pointers.push_back(name.data());
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    HRESULT hr = target.dispatch->GetIDsOfNames(IID_NULL, pointers.data(), UINT(names.size()), 0,
                                                ids.data());
    std::string result = "GetIDsOfNames " + Hex(hr);
    if (FAILED(hr) && names[0] == member.name && names.size() == 1)
        Fail("GetIDsOfNames of a member " + Hex(hr));
    if (hr == S_OK || (hr == DISP_E_UNKNOWNNAME && ids[0] != DISPID_UNKNOWN)) {
        // Parameter names not found go as they came back; named arguments come first in rgvarg.
        call.named.insert(call.named.begin(), ids.begin() + 1, ids.end());
        DISPPARAMS params{call.args.data(), call.named.data(), count,
                          UINT(std::min<size_t>(call.named.size(), count))};
        Var value;
        EXCEPINFO e{};
        UINT argErr = 0;
        const LONG refs = g_stranger.refs;
        hr = target.dispatch->Invoke(ids[0], IID_NULL, 0, flags, &params,
                                     wantResult ? &value : nullptr, wantExcep ? &e : nullptr,
                                     wantArgErr ? &argErr : nullptr);
        if (hr == DISP_E_EXCEPTION && wantExcep && e.pfnDeferredFillIn) e.pfnDeferredFillIn(&e);
        result = Hex(hr) + (hr == DISP_E_EXCEPTION && wantExcep ? "/" + Hex(e.scode) : "");
        if (hr == DISP_E_EXCEPTION && wantExcep && g_material) {
            const std::string problem =
                material::FailureProblem(e.scode, e.bstrSource, e.bstrDescription);
            if (!problem.empty()) Fail(problem);
        }
        if (hr == DISP_E_EXCEPTION && wantExcep && !g_material &&
            (HRESULT_FACILITY(e.scode) != FACILITY_CONTROL || !FAILED(e.scode)))
            Fail("exception " + Hex(e.scode) + " is no 0x800A0000 + n");
        if (hr == DISP_E_EXCEPTION && wantExcep &&
            (!e.bstrSource || !*e.bstrSource || !e.bstrDescription || !*e.bstrDescription))
            Fail("exception without a source or a description");
        if (FAILED(hr) && g_stranger.refs > refs)
            Fail("a failed call kept references to an object passed in");
        if ((hr != S_OK && !FAILED(hr)) || hr == E_NOTIMPL) Fail("result " + Hex(hr));
        if (FAILED(hr) && value.vt != VT_EMPTY) Fail("pVarResult not Empty after " + Hex(hr));
        if (verbose)
            std::printf("  %s: %s\n", Describe(e.bstrSource).c_str(), Describe(value).c_str());
        for (BSTR text : {e.bstrSource, e.bstrDescription, e.bstrHelpFile}) SysFreeString(text);
    }
    ++g_outcomes[result];
    SetErrorInfo(0, nullptr);
    if (verbose) std::printf("%s\n  = %s\n", g_call.c_str(), result.c_str());
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    // Where: the module and the offset in it, to read against its debug information.
    void* at = info->ExceptionRecord->ExceptionAddress;
    HMODULE module = nullptr;
    wchar_t name[MAX_PATH] = L"?";
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        static_cast<LPCWSTR>(at), &module);
    if (module) GetModuleFileNameW(module, name, MAX_PATH);
    std::printf(
        "\nat %ls+0x%llx", name,
        static_cast<unsigned long long>(static_cast<char*>(at) - reinterpret_cast<char*>(module)));
    ReportAndEnd("CRASH: exception", info->ExceptionRecord->ExceptionCode, 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// A call that has not returned for a minute (stretched on slow machines) is a hang.
DWORD WINAPI Watchdog(void*) {
    LONG seen = -2, still = 0;
    for (;;) {
        Sleep(1000);
        still = g_index == seen ? still + 1 : 0;
        seen = g_index;
        if (seen >= 0 && still >= korvid::form_driver::Scaled(60))
            ReportAndEnd("HANG: no return for seconds", still, 4);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetUnhandledExceptionFilter(OnCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    LONG from = 0, count = 20000;
    uint64_t seed = (GetTickCount64() * 2654435761ull) ^ GetCurrentProcessId();
    bool verbose = false, vtable = false, huge = true;
    for (int k = 1; k < argc; ++k) {
        const std::wstring option = argv[k];
        if (option == L"--verbose")
            verbose = true;
        else if (option == L"--material")
            g_material = true;
        else if (option == L"--vtable")
            vtable = true;
        else if (option == L"--no-huge")
            huge = false;
        else if (k + 1 < argc && option == L"--seed")
            seed = std::wcstoull(argv[++k], nullptr, 10);
        else if (k + 1 < argc && option == L"--from")
            from = std::wcstol(argv[++k], nullptr, 10);
        else if (k + 1 < argc && (option == L"--calls" || option == L"--count"))
            count = std::wcstol(argv[++k], nullptr, 10);
        else {
            std::fprintf(stderr,
                         "usage: korvid-fuzz.exe [--material] [--calls N] [--seed S] "
                         "[--from N --count K] [--verbose] [--vtable [--no-huge]]\n");
            return 5;
        }
    }
    std::printf("korvid-fuzz: seed %llu, calls %ld..%ld\n", static_cast<unsigned long long>(seed),
                long(from), long(from + count - 1));
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* object = nullptr;
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(g_material ? L"Korvid.Material" : L"Korvid.Tessel", &clsid)) ||
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)) != S_OK)
        return 5;
    // The interfaces called by name, the default IDispatch first.
    const std::pair<const char*, IID> tesselFaces[] = {
        {"IDispatch", IID_IDispatch},
        {"ICapeThermoMaterialObject", IID_ICapeThermoMaterialObject},
        {"ICapeIdentification", IID_ICapeIdentification}};
    const std::pair<const char*, IID> materialFaces[] = {
        {"IDispatch", IID_IDispatch},
        {"ICapeThermoMaterial", IID_ICapeThermoMaterial},
        {"ICapeThermoCompounds", IID_ICapeThermoCompounds},
        {"ICapeThermoPhases", IID_ICapeThermoPhases},
        {"ICapeThermoUniversalConstant", IID_ICapeThermoUniversalConstant},
        {"ICapeThermoPropertyRoutine", IID_ICapeThermoPropertyRoutine},
        {"ICapeThermoEquilibriumRoutine", IID_ICapeThermoEquilibriumRoutine},
        {"ICapeIdentification", IID_ICapeIdentification},
        {"ECapeRoot", IID_ECapeRoot},
        {"ECapeUser", IID_ECapeUser},
        {"ECapeBadArgument", IID_ECapeBadArgument},
        {"ECapeBadInvOrder", IID_ECapeBadInvOrder}};
    for (const auto& [name, iid] :
         g_material ? std::vector(std::begin(materialFaces), std::end(materialFaces))
                    : std::vector(std::begin(tesselFaces), std::end(tesselFaces))) {
        IDispatch* dispatch = nullptr;
        object->QueryInterface(iid, reinterpret_cast<void**>(&dispatch));
        AddMembers(dispatch, g_targets.emplace_back(Target{name, dispatch, {}}).members);
    }
    // The default IDispatch answers the names of the others as well (the
    // material's is its ICapeThermoMaterial).
    for (size_t t = g_material ? 2 : 1; t < g_targets.size(); ++t)
        g_targets[0].members.insert(g_targets[0].members.end(), g_targets[t].members.begin(),
                                    g_targets[t].members.end());
    if (g_material) {
        material::Attach(object);
    } else {
        object->QueryInterface(IID_PPV_ARGS(&mo));
        object->QueryInterface(IID_PPV_ARGS(&ident));
        object->QueryInterface(IID_PPV_ARGS(&tessel));
    }
    const size_t operations = g_material ? material::Operations() : std::size(kOps);
    auto* vtableCall = g_material ? &material::VtableCall : &VtableCall;
    // Huge lists before the malloc spy, which keeps the allocator's blocks in a
    // list; through the vtables the spy comes after a warm-up that loads what
    // OLE Automation loads once for good, and no block may then stay.
    for (size_t op = 0; vtable && huge && op < operations; ++op) vtableCall(seed, LONG(op), true);
    korvid::testing::AllocationSpy spy;
    if (!vtable) CoRegisterMallocSpy(&spy);
    // Memory is compared from the end of a warm-up, a tenth of the calls: the
    // object's buffers keep the capacity of the largest call seen so far.
    const LONG warmUp = std::max(2000L, long(count / 10));
    SIZE_T memory[2] = {}, blocks[2] = {};
    const ULONGLONG start = GetTickCount64();
    for (LONG k = 1; k <= count; ++k) {
        if (vtable && k == 501) CoRegisterMallocSpy(&spy);
        if (vtable)
            vtableCall(seed, from + k - 1, false);
        else
            Call(seed, from + k - 1, verbose);
        if (k == warmUp || k == count) {
            memory[k == count] = korvid::tools::CommittedPrivate();
            blocks[k == count] = spy.Live();
        }
    }
    InterlockedExchange(&g_index, -1);
    const double seconds = (GetTickCount64() - start) / 1000.0;
    std::printf("calls: %ld in %.1f s (%.1f us a call), failed checks: %ld\n", long(count), seconds,
                seconds * 1e6 / count, g_failed);
    for (const auto& [result, n] : g_outcomes) std::printf("outcome %s: %ld\n", result.c_str(), n);
    Check(g_failed == 0, "every call's checks");
    if (count >= 2 * warmUp) {
        std::printf(
            "memory: committed %.3f MB after %ld calls, %.3f MB at the end; task allocator blocks "
            "%zu and %zu\n",
            memory[0] / 1048576.0, long(warmUp), memory[1] / 1048576.0, size_t(blocks[0]),
            size_t(blocks[1]));
        Check(memory[1] <= memory[0] + (2 << 20), "committed memory flat, within 2 MB");
        Check(blocks[1] <= blocks[0] + 256,
              "task allocator blocks flat (BSTRs in the BSTR cache count as live)");
    }
    for (Target& target : g_targets) target.dispatch->Release();
    for (IUnknown* face : std::initializer_list<IUnknown*>{mo, ident, tessel})
        if (face) face->Release();
    if (g_material) material::Detach();
    Check(object->Release() == 0, "the object goes with its last reference");
    Check(!vtable || spy.Live() == 0,
          "no task allocator block left: " + std::to_string(spy.Live()));
    Check(g_stranger.refs == 1,
          "every reference to the caller's object given back: " + std::to_string(g_stranger.refs));
    Check(g_old.refs == 1, "the old content of every [in, out] result freed: " +
                               std::to_string(g_old.refs - 1) + " references left");
    CoRevokeMallocSpy();
    Check(ServerCanUnload() == S_OK, "DllCanUnloadNow answers S_OK");
    CoUninitialize();
    return Finish();
}
