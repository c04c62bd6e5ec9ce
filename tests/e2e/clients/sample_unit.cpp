// A smoke client of the registered Korvid.SampleFlashDrum, without material
// objects (the life cycle with them is korvid-validate's): the class
// factory's refusal of aggregation and its lock, an unknown fault refused by
// Initialize, the port collection by index and by name, the parameters, and
// the CAPE-OPEN error each refusal leaves on its object.
#include "CapeOpenUnit_h.h"
#include "tests/e2e/clients/client.h"

using namespace korvid::e2e;

namespace {

template <typename Iface>
Iface* As(IUnknown* object) {
    Iface* face = nullptr;
    object->QueryInterface(IID_PPV_ARGS(&face));
    return face;
}

std::string Name(IUnknown* object) {
    ICapeIdentification* ident = As<ICapeIdentification>(object);
    BSTR name = nullptr;
    if (ident) {
        ident->get_ComponentName(&name);
        ident->Release();
    }
    std::string text = Describe(name, true);
    SysFreeString(name);
    return text;
}

// "what: HRESULT" with IErrorInfo, then what the object's ECapeRoot and ECapeUser say.
void Report(const std::string& what, HRESULT hr, IUnknown* object) {
    Print(what, hr);
    if (SUCCEEDED(hr)) return;
    ECapeRoot* root = As<ECapeRoot>(object);
    ECapeUser* user = As<ECapeUser>(object);
    if (!root || !user) std::printf("  no ECapeRoot or ECapeUser\n");
    if (!root || !user) return;
    BSTR texts[5] = {};
    long code = 0;
    root->get_name(&texts[0]);
    user->get_code(&code);
    user->get_interfaceName(&texts[1]);
    user->get_operation(&texts[2]);
    user->get_scope(&texts[3]);
    user->get_description(&texts[4]);
    std::printf("  %s %s %s.%s %s: %s\n", Describe(texts[0], true).c_str(), Hex(code).c_str(),
                Describe(texts[1], true).c_str(), Describe(texts[2], true).c_str(),
                Describe(texts[3], true).c_str(), Describe(texts[4], true).c_str());
    for (BSTR text : texts) SysFreeString(text);
    root->Release();
    user->Release();
}

ICapeUnit* NewUnit() {
    CLSID clsid{};
    ICapeUnit* unit = nullptr;
    CLSIDFromProgID(L"Korvid.SampleFlashDrum", &clsid);
    Print("create", CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&unit)));
    return unit;
}

// The server's class factory: aggregation refused; a LockServer keeps the
// server loaded after the factory's release, until it is undone.
void ClassFactory() {
    CLSID clsid{};
    CLSIDFromProgID(L"Korvid.SampleFlashDrum", &clsid);
    IClassFactory* factory = nullptr;
    if (FAILED(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&factory))))
        return Check(false, "the class factory");
    const auto canUnload = [] {
        const auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"KorvidSampleUnit.dll"), "DllCanUnloadNow")));
        return entry ? entry() : E_FAIL;
    };
    IUnknown* made = factory;
    Check(factory->CreateInstance(factory, IID_IUnknown, reinterpret_cast<void**>(&made)) ==
                  CLASS_E_NOAGGREGATION &&
              !made,
          "the factory refuses aggregation and answers no object");
    factory->LockServer(TRUE);
    factory->Release();
    Check(canUnload() == S_FALSE, "a LockServer keeps the server");
    CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&factory));
    factory->LockServer(FALSE);
    factory->Release();
    Check(canUnload() == S_OK, "the server can unload once the lock and the factory are gone");
}

ICapeCollection* Collection(IDispatch* dispatch) {
    ICapeCollection* collection = As<ICapeCollection>(dispatch);
    dispatch->Release();
    return collection;
}

void Item(ICapeCollection* collection, Var id) {
    IDispatch* item = nullptr;
    const HRESULT hr = collection->Item(id, &item);
    Report("Item " + Describe(id, true), hr, collection);
    if (!item) return;
    std::printf("  %s\n", Name(item).c_str());
    item->Release();
}

}  // namespace

int wmain() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ClassFactory();
    SetEnvironmentVariableW(L"KORVID_SAMPLE_FAULT", L"no-such-fault");
    ICapeUnit* unit = NewUnit();
    if (!unit) return Finish();
    ICapeUtilities* utilities = As<ICapeUtilities>(unit);
    Report("Initialize with an unknown fault", utilities->Initialize(), unit);
    utilities->Release();
    unit->Release();

    SetEnvironmentVariableW(L"KORVID_SAMPLE_FAULT", nullptr);
    unit = NewUnit();
    utilities = As<ICapeUtilities>(unit);
    IDispatch* dispatch = nullptr;
    Report("ports before Initialize", unit->get_ports(&dispatch), unit);
    Report("Initialize", utilities->Initialize(), unit);
    unit->get_ports(&dispatch);
    ICapeCollection* ports = Collection(dispatch);
    long count = 0;
    ports->Count(&count);
    for (long k = 1; k <= count; ++k) {
        Var id;
        id.vt = VT_I4;
        id.lVal = k;
        Item(ports, std::move(id));
    }
    for (const wchar_t* name : {L"liquid", L"Steam"}) Item(ports, Word(name));
    Var four;
    four.vt = VT_I2;
    four.iVal = 4;
    Item(ports, std::move(four));

    utilities->get_parameters(&dispatch);
    ICapeCollection* parameters = Collection(dispatch);
    Var id = Word(L"vapourFraction");
    parameters->Item(id, &dispatch);
    ICapeParameter* parameter = As<ICapeParameter>(dispatch);
    ICapeRealParameterSpec* bounds = As<ICapeRealParameterSpec>(dispatch);
    dispatch->Release();
    double low = 0, high = 0;
    bounds->get_LowerBound(&low);
    bounds->get_UpperBound(&high);
    Var value;
    value.vt = VT_R8;
    value.dblVal = 1.5;
    Print("put_value 1.5", parameter->put_value(value));
    BSTR message = SysAllocString(L"");
    VARIANT_BOOL valid = VARIANT_TRUE;
    Report("parameter Validate", parameter->Validate(&message, &valid), parameter);
    std::printf("  bounds %g..%g, valid %d: %s\n", low, high, valid,
                Describe(message, true).c_str());
    Report("unit Validate", unit->Validate(&message, &valid), unit);
    std::printf("  valid %d: %s\n", valid, Describe(message, true).c_str());
    Report("Calculate", unit->Calculate(), unit);
    Report("Edit", utilities->Edit(), unit);
    Report("Terminate", utilities->Terminate(), unit);
    SysFreeString(message);
    for (IUnknown* face :
         std::initializer_list<IUnknown*>{bounds, parameter, parameters, ports, utilities})
        face->Release();
    Check(unit->Release() == 0, "the last release frees the unit");
    CoUninitialize();
    return Finish();
}
