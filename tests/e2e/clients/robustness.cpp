// Every operation of ICapeThermoMaterialObject, ICapeIdentification and
// _Tessel through the vtables, and SetProp and GetProp by name through the
// default IDispatch, with bad arguments: the fuzzer's random VARIANTs and
// texts, 100,000-element lists, NULL [out] pointers. Nothing may crash; a
// failure is an HRESULT, with error information when it is the object's own
// error (0x800A0000 + n), and leaves its result Empty; no task allocator
// block is left (an IMallocSpy counts them), every reference comes back and
// the server may unload.
//   robustness.exe [--no-huge]   without the 100,000-element lists (for a run
//                                with reporting on: as many lines per call)
#include <map>

#include "tests/e2e/clients/client.h"
#include "tests/support/allocation_spy.h"

using namespace korvid::e2e;

namespace {

IDispatch* dispatch;
ICapeThermoMaterialObject* thermo;
ICapeIdentification* ident;
_Tessel* tessel;

// One call's arguments, all owned here: VARIANTs (with their by-reference
// targets), texts, a client's slot array and shorts.
struct Args {
    korvid::fuzz::CallArguments call;
    Var a, b;
    BSTR s = nullptr, t = nullptr;
    SAFEARRAY* slot = nullptr;
    short n = 0, m = 0, o = 0;
    VARIANT_BOOL found = 0;
    ~Args() { SysFreeString(s), SysFreeString(t), SafeArrayDestroy(slot); }
};

// SetProp (with values) or GetProp by name, the texts as texts; the
// EXCEPINFO of a refusal names its source and says what went wrong.
HRESULT InvokeProp(Args& x, VARIANT* out, bool set) {
    const wchar_t* names[] = {set ? L"SetProp" : L"GetProp"};
    DISPID id = 0;
    dispatch->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names), 1, 0, &id);
    VARIANT args[6] = {x.b, {}, {}, x.a, {}, {}};  // values, basis, calcType, compIds, phase, property
    for (int k : {1, 2, 4, 5}) args[k].vt = VT_BSTR, args[k].bstrVal = k % 2 ? x.s : x.t;
    DISPPARAMS params{args + !set, nullptr, 6u - !set, 0};
    EXCEPINFO e{};
    const HRESULT hr = dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, out, &e, nullptr);
    Check(hr != DISP_E_EXCEPTION || (e.bstrSource && *e.bstrSource && e.bstrDescription && *e.bstrDescription),
          "EXCEPINFO with source and description");
    SysFreeString(e.bstrSource), SysFreeString(e.bstrDescription), SysFreeString(e.bstrHelpFile);
    return hr;
}

#define OP(call) [](Args& x, VARIANT* out) -> HRESULT { return call; }
using Op = HRESULT (*)(Args&, VARIANT*);
const Op kOps[] = {
    OP(thermo->GetUniversalConstant(x.a, out)), OP(thermo->GetComponentConstant(x.a, x.b, out)),
    OP(thermo->CalcProp(x.a, x.b, x.s)), OP(thermo->GetProp(x.s, x.t, x.a, x.t, x.s, out)),
    OP(thermo->SetProp(x.s, x.t, x.a, x.t, x.s, x.b)), OP(thermo->CalcEquilibrium(x.s, x.a)),
    OP(thermo->SetIndependentVar(x.a, x.b)), OP(thermo->GetIndependentVar(x.a, out)),
    OP(thermo->PropCheck(x.a, out)), OP(thermo->RemoveResults(x.a)), OP(thermo->ValidityCheck(x.a, out)),
    OP(thermo->get_ComponentIds(out)), OP(thermo->get_PhaseIds(out)), OP(thermo->AvailableProps(out)),
    OP(thermo->GetPropList(out)), OP(ident->put_ComponentName(x.s)), OP(ident->put_ComponentDescription(x.t)),
    OP(tessel->CheckNonCstProp(&x.a, &x.b, &x.found)), OP(tessel->CheckCstProp(&x.b, &x.a, &x.found)),
    OP(tessel->IsInPhaseList(&x.a, &x.found)), OP(tessel->CheckComponent(&x.a, &x.found)),
    OP(tessel->CheckGlobalVar(&x.a, &x.found)), OP(tessel->GetCompIndex(&x.a, &x.n)),
    OP(tessel->displayRetVal(&x.a, out)), OP(tessel->copyVariant(x.a, out)),
    OP(tessel->GetBasisIndex(&x.s, &x.n)), OP(tessel->GetPhaseIndex(&x.t, &x.n)), OP(tessel->put_m_fileName(x.s)),
    OP(tessel->setValues(&x.slot, &x.n, &x.m, &x.o, &x.a, out)),
    OP(tessel->setVariantValues(&x.slot, &x.n, &x.m, &x.o, &x.a, out)),
    OP(tessel->GetValues(&x.slot, &x.n, &x.m, &x.o, out)), OP(tessel->GetVariantValues(&x.slot, &x.n, &x.m, &x.o, out)),
    OP(tessel->setFraction(&x.slot, &x.a)), OP(tessel->setFractionValue(&x.n, &x.slot, &x.a)),
    OP(tessel->put_m_componentIDs(x.a)), OP(tessel->put_m_compNames(x.a)), OP(tessel->putref_m_compFormulaes(x.a)),
    OP(tessel->put_m_compCASNos(x.a)), OP(tessel->get_m_componentIDs(out)), OP(tessel->put_m_num(x.n)),
    OP(tessel->put_i(x.m)), OP(InvokeProp(x, out, true)), OP(InvokeProp(x, out, false))};
constexpr short kShorts[] = {-1, 0, 1, 2, 3, 7, 9, -32768, 32767};

std::map<HRESULT, long> g_outcomes;

// One call of `op`, with `out` or a NULL [out] pointer; checks its outcome.
void Run(size_t op, Args& x, bool nullOut) {
    Var out;
    const HRESULT hr = kOps[op](x, nullOut ? nullptr : &out);
    ++g_outcomes[hr];
    const std::string what = "operation " + std::to_string(op) + ": " + Hex(hr), info = FAILED(hr) ? ErrorInfo() : "";
    Check(hr != E_NOTIMPL && (SUCCEEDED(hr) || out.vt == VT_EMPTY), what + " left a result");
    Check(HRESULT_FACILITY(hr) != FACILITY_CONTROL || (info.back() == '"' && info.substr(info.size() - 4) != "| \"\""),
          what + " without error information: " + info);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool huge = !(argc > 1 && std::wstring(argv[1]) == L"--no-huge");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* object = Create<IUnknown>(IID_IUnknown);
    if (!object) return Finish();
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    object->QueryInterface(IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&thermo));
    object->QueryInterface(IID_ICapeIdentification, reinterpret_cast<void**>(&ident));
    object->QueryInterface(IID__Tessel, reinterpret_cast<void**>(&tessel));
    const korvid::fuzz::ArgumentMaker maker(dispatch);
    korvid::fuzz::Random random(20261206);
    auto make = [&](Args& x) {
        maker.Fill(random, &x.a, 0, true, x.call);
        maker.Fill(random, &x.b, 0, true, x.call);
        x.s = maker.NewBstr(random), x.t = maker.NewBstr(random);
        SAFEARRAYBOUND bounds[3] = {{8, 0}, {3, 0}, {2, 0}};  // phase, component, basis
        x.slot = random.Percent(20) ? nullptr : random.Percent(70) ? SafeArrayCreate(VT_R8, 3, bounds)
                                                                  : SafeArrayCreate(VT_R8, 1, bounds + 1);
        x.n = random.Pick(kShorts), x.m = random.Pick(kShorts), x.o = random.Pick(kShorts);
    };
    // The huge arguments first: while a malloc spy is registered the task
    // allocator keeps its blocks in a list. Then a warm-up (OLE Automation
    // loads some things once, for good), and the spy counts.
    for (size_t op = 0; huge && op < std::size(kOps); ++op) {
        Args x;
        x.a = Names(std::vector<std::wstring>(100000, L"TEMPERATURE")), x.b = Numbers(std::vector<double>(100000, 1.25));
        x.s = SysAllocStringLen(nullptr, 100000), x.t = SysAllocString(L"vapor");
        Run(op, x, false);
    }
    for (int k = 0; k < 500; ++k) {
        Args x;
        make(x);
        Run(k % std::size(kOps), x, false);
    }
    korvid::testing::AllocationSpy spy;
    CoRegisterMallocSpy(&spy);
    for (int k = 0; k < 6000; ++k) {
        Args x;
        make(x);
        Run(k % std::size(kOps), x, k % 50 == 0);
    }
    for (const auto& [hr, n] : g_outcomes) std::printf("outcome %s: %ld\n", Hex(hr).c_str(), n);
    // The cloning operations show a form each. Releasing an object closes the
    // thread's report: both are made first.
    IDispatch *copy = nullptr, *made = nullptr;
    Check(thermo->Duplicate(&copy) == S_OK && thermo->CreateMaterialObject(&made) == S_OK, "the cloning operations");
    Check(copy && copy->Release() == 0 && made && made->Release() == 0, "the objects they made go with their release");
    for (IUnknown* face : std::initializer_list<IUnknown*>{dispatch, thermo, ident, tessel}) face->Release();
    Check(object->Release() == 0, "every reference given back");
    CoRevokeMallocSpy();
    Check(spy.Live() == 0, "no task allocator block left: " + std::to_string(spy.Live()));
    Check(ServerCanUnload() == S_OK, "DllCanUnloadNow answers S_OK");
    CoUninitialize();
    return Finish();
}
