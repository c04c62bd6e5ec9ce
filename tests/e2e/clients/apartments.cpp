// Calls from another apartment, as hosts that run units on threads of their
// own make them: the object lives in one single-threaded apartment, and a
// second one calls it through marshalled ICapeThermoMaterialObject,
// ICapeIdentification and default IDispatch pointers. The registered type
// library marshals the calls: arrays, texts, a failing call's error
// information and the identification accessors all cross.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "Korvid_h.h"
#include "tests/e2e/clients/typed_results.h"

using namespace korvid::e2e;

namespace {

struct Streams {
    IStream* thermo = nullptr;
    IStream* ident = nullptr;
    IStream* dispatch = nullptr;
};

// The second apartment: every call goes through a proxy.
DWORD WINAPI Caller(void* parameter) {
    const Streams streams = *static_cast<Streams*>(parameter);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ICapeThermoMaterialObject* thermo = nullptr;
    ICapeIdentification* ident = nullptr;
    IDispatch* dispatch = nullptr;
    Check(CoGetInterfaceAndReleaseStream(streams.thermo, IID_ICapeThermoMaterialObject,
                                         reinterpret_cast<void**>(&thermo)) == S_OK,
          "ICapeThermoMaterialObject unmarshalled in the second apartment");
    Check(CoGetInterfaceAndReleaseStream(streams.ident, IID_ICapeIdentification,
                                         reinterpret_cast<void**>(&ident)) == S_OK,
          "ICapeIdentification unmarshalled");
    Check(CoGetInterfaceAndReleaseStream(streams.dispatch, IID_IDispatch,
                                         reinterpret_cast<void**>(&dispatch)) == S_OK,
          "default IDispatch unmarshalled");
    if (!thermo || !ident || !dispatch) return 1;

    const Bstr fraction(L"fraction"), vapor(L"vapor"), blank(L""), mole(L"mole"), bogus(L"bogus");
    const std::vector<double> stored{0.2, 0.3, 0.5};
    Var all, values, result;
    MakeDoubles(values, stored);
    Check(thermo->SetProp(fraction, vapor, all.v, blank, mole, values.v) == S_OK,
          "SetProp with an array");
    Check(thermo->GetProp(fraction, vapor, all.v, blank, mole, &result.v) == S_OK &&
              DoublesOf(result.v) == stored,
          "GetProp answers the array SetProp stored");
    VariantClear(&result.v);
    // Windows' channel carries the error object of the refused call back to
    // this apartment; Wine's carries the HRESULT only (the IDispatch call
    // below gets it all through its EXCEPINFO).
    const HRESULT hr = thermo->GetProp(bogus, vapor, all.v, blank, mole, &result.v);
    Check(hr == static_cast<HRESULT>(0x800A0001), "a refused GetProp answers error 1: " + Hex(hr));
    const std::wstring info = LastErrorInfo();
    Check(info == L"<none>" ||
              info == L"ICapeThermoMaterialObject.GetProp|bogus is not supported by this material object",
          "its error information, where the channel carries it: " + Narrow(info));
    Check(result.v.vt == VT_EMPTY, "the refused call's result stays Empty");

    BSTR name = nullptr;
    Check(ident->get_ComponentName(&name) == S_OK && name &&
              std::wstring(name) == L"Validation Material Object",
          "get ComponentName");
    SysFreeString(name);
    const Bstr unit(L"from another apartment");
    Check(ident->put_ComponentDescription(unit) == S_OK, "put ComponentDescription");
    BSTR back = nullptr;
    Check(ident->get_ComponentDescription(&back) == S_OK && back &&
              std::wstring(back) == L"from another apartment",
          "get ComponentDescription answers what was put");
    SysFreeString(back);

    // Late bound, as a script host in that apartment calls.
    LPOLESTR member = const_cast<LPOLESTR>(L"GetProp");
    DISPID id = 0;
    Check(dispatch->GetIDsOfNames(IID_NULL, &member, 1, 0, &id) == S_OK, "GetIDsOfNames GetProp");
    for (bool refused : {false, true}) {
        VARIANT args[5];
        for (VARIANT& a : args) VariantInit(&a);
        args[4].vt = VT_BSTR;
        args[4].bstrVal = SysAllocString(refused ? L"bogus" : L"fraction");
        args[3].vt = VT_BSTR;
        args[3].bstrVal = SysAllocString(L"vapor");
        args[1].vt = VT_BSTR;
        args[1].bstrVal = SysAllocString(L"");
        args[0].vt = VT_BSTR;
        args[0].bstrVal = SysAllocString(L"mole");
        DISPPARAMS params{args, nullptr, 5, 0};
        EXCEPINFO excep{};
        UINT argErr = 0;
        const HRESULT hr = dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result.v,
                                            &excep, &argErr);
        if (refused) {
            Check(hr == DISP_E_EXCEPTION && excep.scode == static_cast<HRESULT>(0x800A0001) &&
                      excep.bstrDescription &&
                      std::wstring(excep.bstrDescription) ==
                          L"bogus is not supported by this material object",
                  "Invoke of a refused GetProp: DISP_E_EXCEPTION with its EXCEPINFO " + Hex(hr));
        } else {
            Check(hr == S_OK && DoublesOf(result.v) == stored, "Invoke of GetProp answers the array");
        }
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
        VariantClear(&result.v);
        for (VARIANT& a : args) VariantClear(&a);
    }

    thermo->Release();
    ident->Release();
    dispatch->Release();

    // An object of this apartment's own: its form, its report ("apart2"),
    // traced here and closed by its release. The other apartment's report
    // settings are not touched.
    if (ICapeIdentification* own = CreateTessel<ICapeIdentification>(IID_ICapeIdentification)) {
        Check(own->get_ComponentName(&name) == S_OK, "this apartment's own object answers");
        SysFreeString(name);
        Check(own->Release() == 0, "this apartment's own object goes");
    }
    CoUninitialize();
    return 0;
}

}  // namespace

int wmain() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* object = CreateTessel<IUnknown>(IID_IUnknown);
    if (!object) return Finish();
    Streams streams;
    Check(CoMarshalInterThreadInterfaceInStream(IID_ICapeThermoMaterialObject, object,
                                                &streams.thermo) == S_OK &&
              CoMarshalInterThreadInterfaceInStream(IID_ICapeIdentification, object,
                                                    &streams.ident) == S_OK &&
              CoMarshalInterThreadInterfaceInStream(IID_IDispatch, object, &streams.dispatch) ==
                  S_OK,
          "the three interfaces marshal (the type library is registered)");

    // The object's apartment keeps pumping while the other one calls.
    HANDLE caller = CreateThread(nullptr, 0, Caller, &streams, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &caller, FALSE, 60000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    CloseHandle(caller);
    // Each apartment thread has its own component table and report settings:
    // the report the other thread opened and closed is not this one's, which
    // is off.
    ICapeIdentification* ident = nullptr;
    object->QueryInterface(IID_ICapeIdentification, reinterpret_cast<void**>(&ident));
    BSTR name = nullptr;
    const HRESULT hr = ident ? ident->get_ComponentName(&name) : E_NOINTERFACE;
    Check(hr == S_OK, "the first object's report settings stay its apartment's own: " + Hex(hr));
    SysFreeString(name);
    if (ident) ident->Release();
    Check(object->Release() == 0, "the object goes when the other apartment let its proxies go");
    CoUninitialize();
    return Finish();
}
