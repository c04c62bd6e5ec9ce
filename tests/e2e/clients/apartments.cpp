// Calls from another apartment, as hosts that run units on threads of their
// own make them: the object lives in one single-threaded apartment, a second
// one calls it through marshalled ICapeThermoMaterialObject and IDispatch
// pointers (the registered type library marshals arrays, texts and errors),
// then makes an object of its own, with a report. Each apartment thread keeps
// its own component table and report settings, and the process still ends.
#include "tests/e2e/clients/client.h"

using namespace korvid::e2e;

namespace {

DWORD WINAPI Caller(void* streams) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ICapeThermoMaterialObject* mo = nullptr;
    IDispatch* dispatch = nullptr;
    Check(CoGetInterfaceAndReleaseStream(static_cast<IStream**>(streams)[0], IID_ICapeThermoMaterialObject,
                                         reinterpret_cast<void**>(&mo)) == S_OK &&
              CoGetInterfaceAndReleaseStream(static_cast<IStream**>(streams)[1], IID_IDispatch,
                                             reinterpret_cast<void**>(&dispatch)) == S_OK,
          "the interfaces unmarshalled in the second apartment");
    Var result, refused;
    Check(mo->SetProp(Text(L"fraction"), Text(L"vapor"), Var(), Text(L""), Text(L"mole"), Numbers({0.2, 0.3, 0.5})) == S_OK &&
              mo->GetProp(Text(L"fraction"), Text(L"vapor"), Var(), Text(L""), Text(L"mole"), &result) == S_OK &&
              Describe(result) == "vt2005[0..2]{0.2,0.3,0.5}",
          "SetProp and GetProp of an array through a proxy: " + Describe(result));
    const HRESULT hr = mo->GetProp(Text(L"bogus"), Text(L"vapor"), Var(), Text(L""), Text(L"mole"), &refused);
    // Windows' channel carries the refusal's error object back to this
    // apartment, Wine's the HRESULT only; IDispatch's EXCEPINFO carries it in both.
    const std::string info = ErrorInfo(), expected = "\"ICapeThermoMaterialObject.GetProp\" | \"bogus is not supported by this material object\"";
    Check(hr == static_cast<HRESULT>(0x800A0001) && refused.vt == VT_EMPTY && (info == "no error information" || info == expected),
          "a refused GetProp through a proxy: " + Hex(hr) + " " + info);
    LPOLESTR name = const_cast<LPOLESTR>(L"ComponentDescription");
    DISPID id = 0;
    Var args[1];
    args[0].vt = VT_I4;
    DISPPARAMS params{args, nullptr, 1, 0};
    EXCEPINFO e{};
    Check(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id) == S_OK &&
              dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, &result, &e, nullptr) == DISP_E_BADPARAMCOUNT,
          "IDispatch through a proxy");
    mo->Release();
    dispatch->Release();
    // An object of this apartment's own: its form, its report, traced here and
    // closed by its release. The other apartment's settings stay as they were.
    if (auto* own = Create<ICapeIdentification>(IID_ICapeIdentification)) {
        Var text;
        Check(own->get_ComponentName(&text.bstrVal) == S_OK && own->Release() == 0, "this apartment's own object");
    }
    CoUninitialize();
    return 0;
}

}  // namespace

int wmain() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto* ident = Create<ICapeIdentification>(IID_ICapeIdentification);
    if (!ident) return Finish();
    IStream* streams[2] = {};
    Check(CoMarshalInterThreadInterfaceInStream(IID_ICapeThermoMaterialObject, ident, &streams[0]) == S_OK &&
              CoMarshalInterThreadInterfaceInStream(IID_IDispatch, ident, &streams[1]) == S_OK,
          "the interfaces marshal (the type library is registered)");
    // This apartment pumps its messages while the other one calls.
    HANDLE caller = CreateThread(nullptr, 0, Caller, streams, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &caller, FALSE, 60000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    CloseHandle(caller);
    // The report the other thread opened and closed was not this thread's, which is off.
    Var text;
    const HRESULT hr = ident->get_ComponentName(&text.bstrVal);
    Check(hr == S_OK, "the first object's report settings stay its apartment's own: " + Hex(hr));
    Check(ident->Release() == 0, "the object goes when the other apartment let its proxies go");
    CoUninitialize();
    return Finish();
}
