// A host-style C++ client: COM identity, error information support and the
// DISPIDs of the dual interfaces; operations through the vtables with typed
// arrays (lower bounds other than 0, two dimensions) and refusals with their
// IErrorInfo; GetProp late bound through IDispatch with its EXCEPINFO; the
// cloned objects; every reference given back. It prints each call as written
// with its HRESULT, error information and typed result, which the test
// compares with the expected printout.
#include "tests/e2e/clients/client.h"

using namespace korvid::e2e;
using T = Text;

namespace {

ICapeThermoMaterialObject* mo = nullptr;

#define CALL(call) { Var r; Print(#call, mo->call, &r); }

Var Word(const wchar_t* text) {
    Var v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

void Identity(IUnknown* object) {
    const IID* iids[] = {&IID_ICapeIdentification, &IID__Tessel, &IID_ICapeThermoMaterialObject,
                         &IID_ISupportErrorInfo, &IID_IPersist};
    IDispatch* faces[5] = {};
    for (int k = 0; k < 5; ++k) Print("QueryInterface", object->QueryInterface(*iids[k], reinterpret_cast<void**>(&faces[k])));
    IUnknown* same = nullptr;
    faces[0]->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&same));
    std::printf("one identity: %d, E_NOINTERFACE leaves NULL: %d\n", same == object, faces[4] == nullptr);
    same->Release();
    auto* support = reinterpret_cast<ISupportErrorInfo*>(faces[3]);
    for (int k = 0; k < 3; ++k) Print("InterfaceSupportsErrorInfo", support->InterfaceSupportsErrorInfo(*iids[k]));
    auto* ident = static_cast<ICapeIdentification*>(faces[0]);
    Var name;
    name.vt = VT_BSTR;
    Print("put ComponentName NULL", ident->put_ComponentName(nullptr));
    Print("get ComponentName", ident->get_ComponentName(&name.bstrVal), &name);
    Print("get ComponentName to NULL", ident->get_ComponentName(nullptr));
    // Each dual interface's DISPIDs; the default IDispatch moves the CAPE-OPEN ones.
    for (int k = 0; k < 3; ++k) {
        for (const wchar_t* member : {L"ComponentDescription", L"GetNumComponents", L"m_num"}) {
            DISPID id = 0;
            const HRESULT hr = faces[k]->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(&member), 1, 0, &id);
            std::printf("GetIDsOfNames %ls: %s %ld\n", member, Hex(hr).c_str(), id);
        }
        DISPPARAMS none{};
        Print("Invoke with a riid", faces[k]->Invoke(1, IID_IDispatch, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    }
    for (IDispatch* face : faces) if (face) face->Release();
}

void Typed() {
    CALL(get_ComponentIds(&r));
    { Var r; r.vt = VT_I4; Print("GetNumComponents", mo->GetNumComponents(&r.lVal), &r); }
    CALL(PropCheck(Names({L"temperature", L"no such"}, 2), &r));
    CALL(PropCheck(Word(L"temperature"), &r));
    CALL(GetComponentConstant(Names({L"molecularWeight", L"criticalTemperature", L"iupacName"}), Names({L"Ethane", L"Methane"}), &r));
    CALL(GetComponentConstant(Names({L"acentricFactor"}), Names({L"Water", L"Propane"}, 1), &r));
    CALL(SetIndependentVar(Names({L"pressure"}, 1), Numbers({5}, 1)));
    CALL(GetIndependentVar(Names({L"pressure"}, 1), &r));
    CALL(SetIndependentVar(Names({L"TEMPERATURE"}), Names({L"hot"})));
    CALL(SetProp(T(L"fraction"), T(L"vapor"), Var(), T(L""), T(L"mole"), Numbers({0.2, 0.3, 0.5})));
    CALL(GetProp(T(L"FRACTION"), T(L"VAPOR"), Var(), T(L""), T(L""), &r));
    CALL(SetProp(T(L"fugacity"), T(L"liquid"), Names({L"Ethane"}, 3), T(L""), T(L"MASS"), Numbers({1.5, 2.5, 3.5})));
    CALL(GetProp(T(L"fugacity"), T(L"liquid"), Names({L"Water"}, -2), T(L""), T(L"mass"), &r));
    CALL(SetProp(T(L"activity"), T(L"overall"), Var(), T(L""), T(L""), Numbers({9, 10, 20, 30}, -1)));
    CALL(GetProp(T(L"activity"), T(L""), Var(), T(L""), T(L""), &r));
    CALL(SetProp(T(L"kvalues"), T(L"vapor"), Var(), T(L""), T(L""), Numbers({1, 2, 3, 4})));
    CALL(GetProp(T(L"KVALUES"), T(L"vapor"), Var(), T(L""), T(L""), &r));
    CALL(SetProp(T(L"HeatCapacity.DTemperature"), T(L"LiquidLiquid"), Var(), T(L""), T(L""), Numbers({5, 6, 7})));
    CALL(GetProp(T(L"heatCapacity.dtemperature"), T(L"liquidliquid"), Var(), T(L""), T(L""), &r));
    CALL(SetProp(T(L"viscosity"), T(L"VaporLiquid"), Var(), T(L""), T(L""), Numbers({})));
    CALL(SetProp(T(L"fraction"), T(L"VaporLiquidLiquid"), Var(), T(L""), T(L""), Numbers({1})));
    CALL(GetProp(T(L"temperatures"), T(L"GasLiquid"), Names({L"x"}), T(L""), T(L"weight"), &r));
    CALL(SetProp(T(L"fraction"), T(L"vapor"), Names({L"Methane", L"Propane"}, 7), T(L""), T(L""), Numbers({1, 2, 3})));
    CALL(SetProp(T(L"fraction"), T(L"vapor"), Var(), T(L""), T(L"mass "), Numbers({1})));
    CALL(GetProp(T(L"meltingPressure.DPressure"), T(L""), Var(), T(L""), T(L""), &r));
    CALL(SetProp(T(L"flow"), T(L""), Var(), T(L""), T(L""), Numbers({1}, 1)));
    CALL(SetProp(T(L"flow"), T(L"solid"), Var(), T(L""), T(L""), Numbers({7, 8})));
    CALL(GetProp(T(L"flow"), T(L"solid"), Var(), T(L""), T(L""), &r));
    CALL(SetProp(T(L"totalflow"), T(L""), Var(), T(L""), T(L""), Names({L"1", L"x", L"3"})));
    CALL(GetProp(T(L"totalFlow"), T(L""), Var(), T(L""), T(L""), &r));
}

// GetProp by name through IDispatch::Invoke: the default IDispatch takes
// texts straight to the method, the interface's own goes through the type
// library. A refusal comes as DISP_E_EXCEPTION with its EXCEPINFO.
void LateBound(IDispatch* face) {
    LPOLESTR name = const_cast<LPOLESTR>(L"GetProp");
    DISPID id = 0;
    face->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    for (const wchar_t* prop : {L"fraction", L"bogus"}) {
        Var args[5], result;
        args[4] = Word(prop), args[3] = Word(L"vapor"), args[1] = Word(L""), args[0] = Word(L"mole");
        DISPPARAMS params{args, nullptr, 5, 0};
        EXCEPINFO e{};
        const HRESULT hr = face->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &e, nullptr);
        Print("Invoke GetProp " + Describe(args[4]) + ": EXCEPINFO " + Hex(e.scode) + " " + Describe(e.bstrSource, true) +
                  " " + Describe(e.bstrDescription, true) + ", error information left: " + ErrorInfo(), hr, &result);
        SysFreeString(e.bstrSource), SysFreeString(e.bstrDescription), SysFreeString(e.bstrHelpFile);
    }
    face->Release();
}

// An object the material object made: its name, and the caller's reference its only one.
void Made(IDispatch* made) {
    Var name;
    name.vt = VT_BSTR;
    ICapeIdentification* ident = nullptr;
    made->QueryInterface(IID_ICapeIdentification, reinterpret_cast<void**>(&ident));
    Print("made ComponentName", ident->get_ComponentName(&name.bstrVal), &name);
    std::printf("references: %lu\n", ident->Release());
}

}  // namespace

int wmain() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* object = Create<IUnknown>(IID_IUnknown);
    IDispatch *dispatch = nullptr, *made = nullptr, *copy = nullptr;
    if (!object) return Finish();
    object->QueryInterface(IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&mo));
    Identity(object);
    Typed();
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    LateBound(dispatch);
    mo->AddRef();
    LateBound(mo);
    // The created object's form names a report; the duplicate's another one.
    // Releasing any object closes the thread's report: the next traced call fails.
    Print("CreateMaterialObject", mo->CreateMaterialObject(&made));
    Print("Duplicate", mo->Duplicate(&copy));
    Made(made);
    Made(copy);
    std::printf("last release of the created object: %lu\n", made->Release());
    { Var r; r.vt = VT_I4; Print("GetNumComponents", mo->GetNumComponents(&r.lVal), &r); }
    std::printf("last release of the duplicate: %lu\n", copy->Release());
    mo->Release();
    std::printf("last release: %lu\n", object->Release());
    Print("DllCanUnloadNow", ServerCanUnload());
    CoUninitialize();
    return Finish();
}
