// A C++ host of Korvid.Tessel, in one of its scenarios:
//   typed        COM identity, DISPIDs, operations through the vtables with
//                typed arrays, GetProp late bound, the cloned objects, each
//                call printed as written with its outcome
//   apartments   the object called from a second apartment, which then makes
//                an object of its own
//   quit, no-desktop (without a display)   a creation whose form cannot finish
//   probe [count [message]]   the GUI tests' host: `count` creations (their
//                forms appear), then `message` in a box captioned "Korvid probe";
//                KORVID_PROBE_BUSY=S: before each creation the thread works S
//                seconds without taking messages (as a client calling an object
//                for long does)
#include "tests/e2e/clients/client.h"
#include "tools/form_driver/time_scale.h"

using namespace korvid::e2e;
using T = Text;

namespace {

ICapeThermoMaterialObject* mo = nullptr;
ICapeIdentification* ident = nullptr;
_Tessel* tessel = nullptr;
IDispatch* dispatch = nullptr;

#define CALL(call)                  \
    {                               \
        Var r;                      \
        Print(#call, mo->call, &r); \
    }
LONG* Long(Var& r) { return r.vt = VT_I4, &r.lVal; }  // a long result in a VARIANT

void Identity(IUnknown* object) {
    IDispatch* faces[] = {ident, tessel, mo};
    IUnknown *same = nullptr, *none = nullptr;
    ISupportErrorInfo* support = nullptr;
    Print("QueryInterface ISupportErrorInfo", object->QueryInterface(IID_PPV_ARGS(&support)));
    Print("QueryInterface IPersist",
          object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&none)));
    ident->QueryInterface(IID_PPV_ARGS(&same));
    std::printf("one identity: %d, NULL after E_NOINTERFACE: %d\n", same == object,
                none == nullptr);
    for (const IID* iid : {&IID_ICapeIdentification, &IID__Tessel, &IID_ICapeThermoMaterialObject})
        Print("supports error information", support->InterfaceSupportsErrorInfo(*iid));
    Var name = Word(nullptr);
    Print("put ComponentName NULL", ident->put_ComponentName(nullptr));
    Print("get ComponentName", ident->get_ComponentName(&name.bstrVal), &name);
    Print("get ComponentName to NULL", ident->get_ComponentName(nullptr));
    // Each dual interface's DISPIDs; the default IDispatch moves the CAPE-OPEN ones.
    for (IDispatch* face : faces) {
        for (const wchar_t* member : {L"ComponentDescription", L"GetNumComponents", L"m_num"}) {
            DISPID id = 0;
            const HRESULT hr =
                face->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(&member), 1, 0, &id);
            std::printf("GetIDsOfNames %ls: %s %ld\n", member, Hex(hr).c_str(), id);
        }
        DISPPARAMS none{};
        Print("Invoke with a riid",
              face->Invoke(1, IID_IDispatch, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    }
    same->Release();
    support->Release();
}

// GetProp by name: the default IDispatch takes the texts straight to the
// method, ICapeThermoMaterialObject's through the type library.
void LateBound() {
    for (IDispatch* face : {dispatch, static_cast<IDispatch*>(mo)}) {
        for (const wchar_t* prop : {L"fraction", L"bogus"}) {
            Var result;
            std::string excep;
            const HRESULT hr = InvokeGetProp(face, prop, &result, &excep);
            Print("Invoke GetProp " + Describe(T(prop)) + ": EXCEPINFO " + excep, hr, &result);
        }
    }
}

void Typed(IUnknown* object) {
    Identity(object);
    CALL(get_ComponentIds(&r));
    CALL(GetNumComponents(Long(r)));
    CALL(PropCheck(Names({L"temperature", L"no such"}, 2), &r));
    CALL(GetComponentConstant(Names({L"molecularWeight", L"criticalTemperature", L"iupacName"}),
                              Names({L"Ethane", L"Methane"}), &r));
    CALL(GetComponentConstant(Names({L"acentricFactor"}), Names({L"Water", L"Propane"}, 1), &r));
    CALL(SetIndependentVar(Names({L"pressure"}, 1), Numbers({5}, 1)));
    CALL(GetIndependentVar(Names({L"pressure"}, 1), &r));
    CALL(SetIndependentVar(Names({L"TEMPERATURE"}), Names({L"hot"})));
    CALL(SetProp(T(L"fraction"), T(L"vapor"), Var(), T(L""), T(L""), Numbers({0.2, 0.3, 0.5})));
    CALL(SetProp(T(L"fugacity"), T(L"liquid"), Names({L"Ethane"}, 3), T(L""), T(L"MASS"),
                 Numbers({1.5, 2.5, 3.5})));
    CALL(GetProp(T(L"fugacity"), T(L"liquid"), Names({L"Water"}, -2), T(L""), T(L"mass"), &r));
    CALL(SetProp(T(L"activity"), T(L"overall"), Var(), T(L""), T(L""),
                 Numbers({9, 10, 20, 30}, -1)));
    CALL(GetProp(T(L"activity"), T(L""), Var(), T(L""), T(L""), &r));
    CALL(SetProp(T(L"fraction"), T(L"vapor"), Names({L"Methane", L"Propane"}, 7), T(L""), T(L""),
                 Numbers({1, 2, 3})));
    CALL(SetProp(T(L"flow"), T(L"solid"), Var(), T(L""), T(L""), Numbers({7, 8})));
    CALL(GetProp(T(L"flow"), T(L"solid"), Var(), T(L""), T(L""), &r));
    CALL(SetProp(T(L"totalflow"), T(L""), Var(), T(L""), T(L""), Names({L"1", L"x", L"3"})));
    CALL(GetProp(T(L"totalFlow"), T(L""), Var(), T(L""), T(L""), &r));
    LateBound();
    // The created object's form names a report, the duplicate's another one.
    // Releasing any object closes the thread's report: the next traced call fails.
    IDispatch *made = nullptr, *copy = nullptr;
    Print("CreateMaterialObject", mo->CreateMaterialObject(&made));
    Print("Duplicate", mo->Duplicate(&copy));
    for (IDispatch* object : {made, copy}) {
        Var name = Word(nullptr);
        ICapeIdentification* its = nullptr;
        object->QueryInterface(IID_PPV_ARGS(&its));
        Print("made ComponentName", its->get_ComponentName(&name.bstrVal), &name);
        std::printf("references: %lu\n", its->Release());
    }
    std::printf("last release of the created object: %lu\n", made->Release());
    CALL(GetNumComponents(Long(r)));
    std::printf("last release of the duplicate: %lu\n", copy->Release());
}

// The second apartment: the object through proxies (Windows' channel carries
// a refusal's error object back, Wine's the HRESULT only; IDispatch's
// EXCEPINFO carries it in both), then an object and report of its own.
DWORD WINAPI Caller(void* streams) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ICapeThermoMaterialObject* proxy = nullptr;
    IDispatch* dispatchProxy = nullptr;
    CoGetInterfaceAndReleaseStream(static_cast<IStream**>(streams)[0], IID_PPV_ARGS(&proxy));
    CoGetInterfaceAndReleaseStream(static_cast<IStream**>(streams)[1],
                                   IID_PPV_ARGS(&dispatchProxy));
    Var result, refused, name = Word(nullptr);
    Check(proxy->SetProp(T(L"fraction"), T(L"vapor"), Var(), T(L""), T(L""),
                         Numbers({0.2, 0.3, 0.5})) == S_OK &&
              proxy->GetProp(T(L"fraction"), T(L"vapor"), Var(), T(L""), T(L""), &result) == S_OK &&
              Describe(result) == "r8[0.2 0.3 0.5]",
          "an array through a proxy: " + Describe(result));
    const HRESULT hr = proxy->GetProp(T(L"bogus"), T(L"vapor"), Var(), T(L""), T(L""), &refused);
    const std::string info = ErrorInfo(),
                      description = "\"bogus is not supported by this material object\"";
    Check(hr == static_cast<HRESULT>(0x800A0001) && refused.vt == VT_EMPTY &&
              (info == "no error information" ||
               info == "\"ICapeThermoMaterialObject.GetProp\" | " + description),
          "a refusal through a proxy: " + Hex(hr) + " " + info);
    std::string excep;
    Check(InvokeGetProp(dispatchProxy, L"bogus", &refused, &excep) == DISP_E_EXCEPTION &&
              excep == "0x800A0001 \"ICapeThermoMaterialObject.GetProp\" " + description,
          "a refusal through IDispatch's proxy: " + excep);
    proxy->Release();
    dispatchProxy->Release();
    ICapeIdentification* own = nullptr;
    Check(Create(&own) == S_OK && own->get_ComponentName(&name.bstrVal) == S_OK &&
              own->Release() == 0,
          "this apartment's own object");
    CoUninitialize();
    return 0;
}

void Apartments() {
    IStream* streams[2] = {};
    Check(CoMarshalInterThreadInterfaceInStream(IID_ICapeThermoMaterialObject, mo, &streams[0]) ==
                  S_OK &&
              CoMarshalInterThreadInterfaceInStream(IID_IDispatch, dispatch, &streams[1]) == S_OK,
          "the interfaces marshal (the type library is registered)");
    // This apartment pumps its messages while the other one calls.
    HANDLE caller = CreateThread(nullptr, 0, Caller, streams, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &caller, FALSE, korvid::form_driver::Scaled(60000),
                                     QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    // The report the other thread opened and closed was not this thread's, which is off.
    Var name = Word(nullptr);
    const HRESULT hr = ident->get_ComponentName(&name.bstrVal);
    Check(hr == S_OK, "the first object's report settings stay its apartment's own: " + Hex(hr));
}

// A creation whose form cannot finish: no object, and an HRESULT and error
// information that say why. With `quit`, a WM_QUIT (exit code 7) waits in the
// thread's queue and ends the form's loop; it must be posted again for the host.
void Unfinished(bool quit) {
    if (quit) PostQuitMessage(7);
    IUnknown* object = nullptr;
    Print("creation", Create(&object));
    MSG msg{};
    const BOOL again = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    std::printf("object: %d, WM_QUIT posted again: %d, exit code %d\n", object != nullptr, again,
                int(msg.wParam));
}

// The probe ends itself after 100 s (stretched on slow machines), should a
// form never finish.
DWORD WINAPI EndProbe(void*) {
    Sleep(korvid::form_driver::Scaled(100000));
    ExitProcess(3);
}

// Each creation printed as "created: <names> <ids>" once its form is done.
void Probe(int count, const wchar_t* message) {
    CloseHandle(CreateThread(nullptr, 0, EndProbe, nullptr, 0, nullptr));
    const wchar_t* busy = _wgetenv(L"KORVID_PROBE_BUSY");
    for (int k = 0; k < count; ++k) {
        if (busy) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists
            Sleep(static_cast<DWORD>(_wtoi(busy)) * 1000);
        }
        _Tessel* made = nullptr;
        Var names, ids;
        Print("creation", Create(&made));
        if (!made) continue;
        made->get_m_compNames(&names);
        made->get_m_componentIDs(&ids);
        std::printf("created: %s %s\n", Describe(names, true).c_str(), Describe(ids, true).c_str());
        made->Release();
    }
    if (!message) return;
    MessageBoxW(nullptr, message, L"Korvid probe", MB_OK);
    std::printf("message answered\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* object = nullptr;
    if (mode == L"quit" || mode == L"no-desktop") {
        Unfinished(mode == L"quit");
        return Finish();
    }
    if (mode == L"probe") {
        Probe(argc > 2 ? _wtoi(argv[2]) : 1, argc > 3 ? argv[3] : nullptr);
        return Finish();
    }
    Check(Create(&object) == S_OK, "the creation");
    if (!object) return Finish();
    object->QueryInterface(IID_PPV_ARGS(&mo));
    object->QueryInterface(IID_PPV_ARGS(&ident));
    object->QueryInterface(IID_PPV_ARGS(&tessel));
    object->QueryInterface(IID_PPV_ARGS(&dispatch));
    if (mode == L"typed") Typed(object);
    if (mode == L"apartments") Apartments();
    for (IUnknown* face : std::initializer_list<IUnknown*>{mo, ident, tessel, dispatch})
        face->Release();
    const ULONG references = object->Release();
    Check(references == 0 && ServerCanUnload() == S_OK,
          "the last release frees the object and the server may unload: " +
              std::to_string(references));
    CoUninitialize();
    return Finish();
}
