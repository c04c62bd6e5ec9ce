// A CAPE-OPEN 1.1 client of the registered Korvid.Material: every operation
// of its interfaces, in the order a unit works an outlet (identification,
// compounds, phases, constants, state, checks, flash, calculations, the error
// interfaces after a failure, a working copy), each called once through its
// vtable and once late bound (GetIDsOfNames and Invoke of the object's
// IDispatch, as a script host does), with what each call returned.
#include "tests/e2e/clients/client.h"

#include <cstdlib>

#include <initguid.h>

#include "KorvidThermo11_h.h"

using namespace korvid::e2e;

namespace {

IDispatch* g_material = nullptr;  // the material under test
IDispatch* g_copy = nullptr;      // the working copy its CreateMaterial made

// One of the object's interfaces for one call.
template <typename I>
struct Face {
    I* p = nullptr;
    explicit Face(IDispatch* object) {
        if (object) object->QueryInterface(IID_PPV_ARGS(&p));
    }
    ~Face() {
        if (p) p->Release();
    }
    I* operator->() {
        if (p) return p;
        std::printf("FAIL: an interface of the material is not answered\n");
        std::exit(Finish() | 1);
    }
};

template <typename... V>
std::vector<Var> Args(V&&... values) {
    std::vector<Var> args;
    (args.push_back(std::move(values)), ...);
    return args;
}
Var Typed(VARTYPE vt, double value) {
    Var v;
    v.vt = VT_R8;
    v.dblVal = value;
    VariantChangeType(&v, &v, 0, vt);
    return v;
}
Var R8(double value) { return Typed(VT_R8, value); }
Var Slot(VARTYPE vt = VT_EMPTY) {  // an [out] place; a typed one for a retval
    Var v;
    v.vt = vt;
    return v;
}
Var Object(IDispatch* object) {
    Var v;
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    if (object) object->AddRef();
    return v;
}

using M = ICapeThermoMaterial;
using C = ICapeThermoCompounds;
using P = ICapeThermoPhases;
using U = ICapeThermoUniversalConstant;
using R = ICapeThermoPropertyRoutine;
using E = ICapeThermoEquilibriumRoutine;
using I = ICapeIdentification;
#define ARGS(...) [] { return Args(__VA_ARGS__); }
#define VTABLE(Iface, call) +[](IDispatch* o, Var* a) -> HRESULT { return Face<Iface>(o)->call; }
#define TXT(k) a[k].bstrVal
#define W Word
using Vtable = HRESULT (*)(IDispatch*, Var*);
const Vtable kSetOverall = VTABLE(M, SetOverallProp(TXT(0), TXT(1), a[2]));
const Vtable kGetOverall = VTABLE(M, GetOverallProp(TXT(0), TXT(1), &a[2]));
const Vtable kGetSingle = VTABLE(M, GetSinglePhaseProp(TXT(0), TXT(1), TXT(2), &a[3]));
const Vtable kGetTP = VTABLE(M, GetTPFraction(TXT(0), &a[1].dblVal, &a[2].dblVal, &a[3]));
const Vtable kPresent = VTABLE(M, GetPresentPhases(&a[0], &a[1]));

// A method, one with an [out, retval] (the last argument is its slot), a property get, a put.
enum Kind { kCall, kRet, kGet, kPut };

struct Row {
    const char* label;  // the member's name, then what the call is about
    Kind kind;
    unsigned outs;  // bit k: argument k is [in, out] (late bound: by reference)
    std::vector<Var> (*args)();
    Vtable vtable;
    IDispatch** target = &g_material;
    bool Retval() const { return kind == kRet || kind == kGet; }
    WORD Flags() const {
        return kind == kGet   ? DISPATCH_PROPERTYGET
               : kind == kPut ? DISPATCH_PROPERTYPUT
                              : DISPATCH_METHOD;
    }
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        // ICapeIdentification
        {"ComponentName", kGet, 0, ARGS(Slot(VT_BSTR)), VTABLE(I, get_ComponentName(&TXT(0)))},
        {"ComponentName put", kPut, 0, ARGS(W(L"Outlet")), VTABLE(I, put_ComponentName(TXT(0)))},
        {"ComponentDescription", kGet, 0, ARGS(Slot(VT_BSTR)),
         VTABLE(I, get_ComponentDescription(&TXT(0)))},
        {"ComponentDescription put", kPut, 0, ARGS(W(L"the drum's outlet")),
         VTABLE(I, put_ComponentDescription(TXT(0)))},
        // ICapeThermoCompounds
        {"GetNumCompounds", kRet, 0, ARGS(Slot(VT_I4)), VTABLE(C, GetNumCompounds(&a[0].lVal))},
        {"GetCompoundList", kCall, 63, ARGS(Slot(), Slot(), Slot(), Slot(), Slot(), Slot()),
         VTABLE(C, GetCompoundList(&a[0], &a[1], &a[2], &a[3], &a[4], &a[5]))},
        {"GetConstPropList", kRet, 0, ARGS(Slot()), VTABLE(C, GetConstPropList(&a[0]))},
        {"GetCompoundConstant molecularWeight, casRegistryNumber of all", kRet, 0,
         ARGS(Names({L"molecularWeight", L"casRegistryNumber"}), Slot(), Slot()),
         VTABLE(C, GetCompoundConstant(a[0], a[1], &a[2]))},
        {"GetCompoundConstant liquidDensityAt25C, criticalPressure of all, some not given", kRet, 0,
         ARGS(Names({L"liquidDensityAt25C", L"criticalPressure"}), Slot(), Slot()),
         VTABLE(C, GetCompoundConstant(a[0], a[1], &a[2]))},
        {"GetTDependentPropList", kRet, 0, ARGS(Slot()), VTABLE(C, GetTDependentPropList(&a[0]))},
        {"GetTDependentProperty vaporPressure", kCall, 8,
         ARGS(Names({L"vaporPressure"}), R8(300), Slot(), Slot()),
         VTABLE(C, GetTDependentProperty(a[0], a[1].dblVal, a[2], &a[3]))},
        {"GetPDependentPropList", kRet, 0, ARGS(Slot()), VTABLE(C, GetPDependentPropList(&a[0]))},
        {"GetPDependentProperty boilingPointTemperature", kCall, 8,
         ARGS(Names({L"boilingPointTemperature"}), R8(1e5), Slot(), Slot()),
         VTABLE(C, GetPDependentProperty(a[0], a[1].dblVal, a[2], &a[3]))},
        // ICapeThermoPhases and ICapeThermoUniversalConstant
        {"GetNumPhases", kRet, 0, ARGS(Slot(VT_I4)), VTABLE(P, GetNumPhases(&a[0].lVal))},
        {"GetPhaseList", kCall, 7, ARGS(Slot(), Slot(), Slot()),
         VTABLE(P, GetPhaseList(&a[0], &a[1], &a[2]))},
        {"GetPhaseInfo Liquid2 DensityDescription", kRet, 0,
         ARGS(W(L"Liquid2"), W(L"DensityDescription"), Slot()),
         VTABLE(P, GetPhaseInfo(TXT(0), TXT(1), &a[2]))},
        {"GetUniversalConstantList", kRet, 0, ARGS(Slot()),
         VTABLE(U, GetUniversalConstantList(&a[0]))},
        {"GetUniversalConstant molarGasConstant", kRet, 0, ARGS(W(L"molarGasConstant"), Slot()),
         VTABLE(U, GetUniversalConstant(TXT(0), &a[1]))},
        // ICapeThermoMaterial: the state a unit gives its outlet before the flash
        {"SetOverallProp temperature", kCall, 0, ARGS(W(L"temperature"), W(L""), Numbers({350})),
         kSetOverall},
        {"SetOverallProp pressure", kCall, 0, ARGS(W(L"pressure"), W(L""), Numbers({2e5})),
         kSetOverall},
        {"SetOverallProp fraction", kCall, 0,
         ARGS(W(L"fraction"), W(L"Mole"), Numbers({0.1, 0.2, 0.7})), kSetOverall},
        {"GetOverallProp fraction Mass", kCall, 4, ARGS(W(L"fraction"), W(L"Mass"), Slot()),
         kGetOverall},
        {"GetOverallTPFraction", kCall, 7, ARGS(R8(0), R8(0), Slot()),
         VTABLE(M, GetOverallTPFraction(&a[0].dblVal, &a[1].dblVal, &a[2]))},
        {"SetPresentPhases Vapor, Liquid", kCall, 0,
         ARGS(Names({L"Vapor", L"Liquid"}), Numbers({0, 0})),
         VTABLE(M, SetPresentPhases(a[0], a[1]))},
        {"GetPresentPhases", kCall, 3, ARGS(Slot(), Slot()), kPresent},
        // The routines: lists, checks, the flash and the calculations
        {"GetSinglePhasePropList", kRet, 0, ARGS(Slot()), VTABLE(R, GetSinglePhasePropList(&a[0]))},
        {"GetTwoPhasePropList", kRet, 0, ARGS(Slot()), VTABLE(R, GetTwoPhasePropList(&a[0]))},
        {"CheckSinglePhasePropSpec enthalpy Vapor", kRet, 0,
         ARGS(W(L"enthalpy"), W(L"Vapor"), Slot(VT_BOOL)),
         VTABLE(R, CheckSinglePhasePropSpec(TXT(0), TXT(1), &a[2].boolVal))},
        {"CheckTwoPhasePropSpec kvalue Vapor, Liquid", kRet, 0,
         ARGS(W(L"kvalue"), Names({L"Vapor", L"Liquid"}), Slot(VT_BOOL)),
         VTABLE(R, CheckTwoPhasePropSpec(TXT(0), a[1], &a[2].boolVal))},
        {"CheckEquilibriumSpec T and P", kRet, 0,
         ARGS(Names({L"temperature", L"", L"Overall"}), Names({L"pressure", L"", L"Overall"}),
              W(L"Unspecified"), Slot(VT_BOOL)),
         VTABLE(E, CheckEquilibriumSpec(a[0], a[1], TXT(2), &a[3].boolVal))},
        {"GetSinglePhaseProp enthalpy Vapor Mole, never calculated", kCall, 8,
         ARGS(W(L"enthalpy"), W(L"Vapor"), W(L"Mole"), Slot()), kGetSingle},
        {"CalcEquilibrium T and P", kCall, 0,
         ARGS(Names({L"temperature", L"", L"Overall"}), Names({L"pressure", L"", L"Overall"}),
              W(L"unspecified")),
         VTABLE(E, CalcEquilibrium(a[0], a[1], TXT(2)))},
        // A P-H flash as CO-LaN's examples write it: the enthalpy without a basis
        {"SetOverallProp enthalpy Mass", kCall, 0,
         ARGS(W(L"enthalpy"), W(L"Mass"), Numbers({-1000})), kSetOverall},
        {"GetOverallProp enthalpy Mole", kCall, 4, ARGS(W(L"enthalpy"), W(L"Mole"), Slot()),
         kGetOverall},
        {"CheckEquilibriumSpec P and H, no basis", kRet, 0,
         ARGS(Names({L"pressure", L"", L"Overall"}), Names({L"enthalpy", L"", L"Overall"}),
              W(L"Unspecified"), Slot(VT_BOOL)),
         VTABLE(E, CheckEquilibriumSpec(a[0], a[1], TXT(2), &a[3].boolVal))},
        {"CalcEquilibrium P and H, no basis", kCall, 0,
         ARGS(Names({L"pressure", L"", L"Overall"}), Names({L"enthalpy", L"", L"Overall"}),
              W(L"Unspecified")),
         VTABLE(E, CalcEquilibrium(a[0], a[1], TXT(2)))},
        {"GetPresentPhases", kCall, 3, ARGS(Slot(), Slot()), kPresent},
        {"GetTPFraction Vapor", kCall, 14, ARGS(W(L"Vapor"), R8(0), R8(0), Slot()), kGetTP},
        {"GetSinglePhaseProp phaseFraction Liquid Mole", kCall, 8,
         ARGS(W(L"phaseFraction"), W(L"Liquid"), W(L"Mole"), Slot()), kGetSingle},
        {"CalcSinglePhaseProp enthalpy, fugacityCoefficient Vapor", kCall, 0,
         ARGS(Names({L"enthalpy", L"fugacityCoefficient"}), W(L"Vapor")),
         VTABLE(R, CalcSinglePhaseProp(a[0], TXT(1)))},
        {"GetSinglePhaseProp enthalpy Vapor Mass", kCall, 8,
         ARGS(W(L"enthalpy"), W(L"Vapor"), W(L"Mass"), Slot()), kGetSingle},
        {"SetSinglePhaseProp temperature Liquid", kCall, 0,
         ARGS(W(L"temperature"), W(L"Liquid"), W(L""), Numbers({340})),
         VTABLE(M, SetSinglePhaseProp(TXT(0), TXT(1), TXT(2), a[3]))},
        {"GetPresentPhases", kCall, 3, ARGS(Slot(), Slot()), kPresent},
        {"CalcTwoPhaseProp kvalue Vapor, Liquid", kCall, 0,
         ARGS(Names({L"kvalue"}), Names({L"Vapor", L"Liquid"})),
         VTABLE(R, CalcTwoPhaseProp(a[0], a[1]))},
        {"GetTwoPhaseProp kvalue Vapor, Liquid", kCall, 8,
         ARGS(W(L"kvalue"), Names({L"Vapor", L"Liquid"}), W(L""), Slot()),
         VTABLE(M, GetTwoPhaseProp(TXT(0), a[1], TXT(2), &a[3]))},
        {"GetTwoPhaseProp logKvalue Vapor, Liquid, never set", kCall, 8,
         ARGS(W(L"logKvalue"), Names({L"Vapor", L"Liquid"}), W(L""), Slot()),
         VTABLE(M, GetTwoPhaseProp(TXT(0), a[1], TXT(2), &a[3]))},
        {"SetTwoPhaseProp surfaceTension Vapor, Liquid", kCall, 0,
         ARGS(W(L"surfaceTension"), Names({L"Vapor", L"Liquid"}), W(L""), Numbers({0.02})),
         VTABLE(M, SetTwoPhaseProp(TXT(0), a[1], TXT(2), a[3]))},
        {"CalcAndGetLnPhi Vapor, every result", kCall, 0x1E0,
         ARGS(W(L"Vapor"), R8(350), R8(2e5), Numbers({1, 2, 7}), Typed(VT_I4, 15), Slot(), Slot(),
              Slot(), Slot()),
         VTABLE(R, CalcAndGetLnPhi(TXT(0), a[1].dblVal, a[2].dblVal, a[3], a[4].lVal, &a[5], &a[6],
                                   &a[7], &a[8]))},
        // A refusal, then what the error interfaces tell of it
        {"GetSinglePhaseProp enthalpy Gas Mole", kCall, 8,
         ARGS(W(L"enthalpy"), W(L"Gas"), W(L"Mole"), Slot()), kGetSingle},
        {"name", kGet, 0, ARGS(Slot(VT_BSTR)), VTABLE(ECapeRoot, get_name(&TXT(0)))},
        {"code", kGet, 0, ARGS(Slot(VT_I4)), VTABLE(ECapeUser, get_code(&a[0].lVal))},
        {"description", kGet, 0, ARGS(Slot(VT_BSTR)), VTABLE(ECapeUser, get_description(&TXT(0)))},
        {"scope", kGet, 0, ARGS(Slot(VT_BSTR)), VTABLE(ECapeUser, get_scope(&TXT(0)))},
        {"interfaceName", kGet, 0, ARGS(Slot(VT_BSTR)),
         VTABLE(ECapeUser, get_interfaceName(&TXT(0)))},
        {"operation", kGet, 0, ARGS(Slot(VT_BSTR)), VTABLE(ECapeUser, get_operation(&TXT(0)))},
        {"moreInfo", kGet, 0, ARGS(Slot(VT_BSTR)), VTABLE(ECapeUser, get_moreInfo(&TXT(0)))},
        {"position", kGet, 0, ARGS(Slot(VT_I2)),
         VTABLE(ECapeBadArgument, get_position(&a[0].iVal))},
        // A working copy, then the outlet cleared
        {
            "CreateMaterial", kRet, 0, ARGS(Slot(VT_DISPATCH)),
            [](IDispatch* o, Var* a) -> HRESULT {
                const HRESULT hr = Face<M>(o)->CreateMaterial(&a[0].pdispVal);
                if (!g_copy && a[0].pdispVal) (g_copy = a[0].pdispVal)->AddRef();
                return hr;
            }},
        {"CopyFromMaterial, on the copy", kCall, 1, ARGS(Object(g_material)),
         VTABLE(M, CopyFromMaterial(&a[0].pdispVal)), &g_copy},
        {"GetTPFraction Liquid, on the copy", kCall, 14, ARGS(W(L"Liquid"), R8(0), R8(0), Slot()),
         kGetTP, &g_copy},
        {"ClearAllProps", kCall, 0, ARGS(), VTABLE(M, ClearAllProps())},
        {"GetOverallProp temperature", kCall, 4, ARGS(W(L"temperature"), W(L""), Slot()),
         kGetOverall},
    };
    return rows;
}

// "way: HRESULT [error] [= result]", then each [in, out] argument afterwards.
// A failed call's result shows when it holds an array (constants served
// beside those not given).
void Outcome(const char* way, HRESULT hr, const std::string& error, const Row& row,
             const std::vector<Var>& a) {
    std::string line = std::string("  ") + way + ": " + Hex(hr) + error;
    if (row.Retval() && (SUCCEEDED(hr) || a.back().vt & VT_ARRAY)) {
        line += " = " + Describe(a.back(), true);
    }
    std::printf("%s\n", line.c_str());
    for (size_t k = 0; k < a.size(); ++k) {
        if (row.outs >> k & 1) std::printf("    %zu: %s\n", k + 1, Describe(a[k], true).c_str());
    }
}

// An [in, out] argument late bound: by reference to its own type.
VARIANTARG Reference(Var& v) {
    VARIANTARG ref;
    ref.vt = VT_BYREF | (v.vt == VT_R8 || v.vt == VT_DISPATCH ? v.vt : VARTYPE{VT_VARIANT});
    if (v.vt == VT_R8)
        ref.pdblVal = &v.dblVal;
    else if (v.vt == VT_DISPATCH)
        ref.ppdispVal = &v.pdispVal;
    else
        ref.pvarVal = &v;
    return ref;
}

void Run(const Row& row) {
    IDispatch* target = *row.target;
    std::printf("%s\n", row.label);
    std::vector<Var> a = row.args();
    const HRESULT hr = row.vtable(target, a.data());
    Outcome("vtable", hr, FAILED(hr) ? " " + ErrorInfo() : "", row, a);

    a = row.args();
    const std::string label(row.label);
    const std::wstring member(label.begin(),
                              label.begin() + std::min(label.find_first_of(" ,"), label.size()));
    const wchar_t* name = member.c_str();
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = target->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(&name), 1, 0, &id);
    const size_t count = a.size() - (row.Retval() ? 1 : 0);
    std::vector<VARIANTARG> rgvarg(count);
    for (size_t k = 0; k < count; ++k) {
        rgvarg[count - 1 - k] = row.outs >> k & 1 ? Reference(a[k]) : a[k];  // borrowed
    }
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{rgvarg.data(), row.kind == kPut ? &put : nullptr, static_cast<UINT>(count),
                      row.kind == kPut ? 1u : 0u};
    Var result;
    EXCEPINFO e{};
    const HRESULT invoked = target->Invoke(id, IID_NULL, 0, row.Flags(), &params,
                                           row.kind == kPut ? nullptr : &result, &e, nullptr);
    if (row.Retval()) a.back() = std::move(result);
    std::string error = FAILED(invoked)
                            ? " scode " + Hex(e.scode) + " " + Describe(e.bstrSource, true) +
                                  " | " + Describe(e.bstrDescription, true)
                            : "";
    for (BSTR text : {e.bstrSource, e.bstrDescription, e.bstrHelpFile}) SysFreeString(text);
    const std::string way =
        "Invoke " + std::to_string(id) + (FAILED(found) ? " " + Hex(found) : "");
    Outcome(way.c_str(), invoked, error, row, a);
}

}  // namespace

int wmain() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(L"Korvid.Material", &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&g_material));
    }
    Print("create Korvid.Material", hr);
    if (FAILED(hr)) return Finish() | 1;
    for (const Row& row : Rows()) Run(row);
    Check(g_copy && g_copy->Release() == 0, "the last release frees the copy");
    Check(g_material->Release() == 0, "the last release frees the material");
    CoUninitialize();
    return Finish();
}
