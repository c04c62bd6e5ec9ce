// A host-style C++ client: creates Korvid.Tessel through COM and talks to it
// through the vtables of its interfaces, checking COM identity, reference
// counts, error information and that the server may unload at the end.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "Korvid_h.h"
#include "tests/e2e/clients/client_checks.h"

using namespace korvid::e2e;

namespace {

ULONG RefCount(IUnknown* unknown) {
    unknown->AddRef();
    return unknown->Release();
}

void IdentityAndInterfaces(IUnknown* object) {
    IUnknown* viaIdent = nullptr;
    ICapeIdentification* ident = nullptr;
    ICapeThermoMaterialObject* thermo = nullptr;
    _Tessel* tessel = nullptr;
    ISupportErrorInfo* support = nullptr;
    Check(SUCCEEDED(object->QueryInterface(IID_ICapeIdentification, reinterpret_cast<void**>(&ident))),
          "QueryInterface ICapeIdentification");
    Check(SUCCEEDED(object->QueryInterface(IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&thermo))),
          "QueryInterface ICapeThermoMaterialObject");
    Check(SUCCEEDED(object->QueryInterface(IID__Tessel, reinterpret_cast<void**>(&tessel))),
          "QueryInterface _Tessel");
    Check(SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))),
          "QueryInterface ISupportErrorInfo");
    if (!ident || !thermo || !tessel || !support) return;
    ident->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaIdent));
    Check(viaIdent == object, "one IUnknown identity from every interface");
    IUnknown* none = reinterpret_cast<IUnknown*>(1);
    Check(object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&none)) == E_NOINTERFACE &&
              none == nullptr,
          "an unknown interface gives E_NOINTERFACE and a null pointer");
    for (const IID* iid : {&IID__Tessel, &IID_ICapeIdentification, &IID_ICapeThermoMaterialObject}) {
        Check(support->InterfaceSupportsErrorInfo(*iid) == S_OK, "ISupportErrorInfo answers S_OK");
    }

    BSTR name = nullptr;
    Check(ident->get_ComponentName(&name) == S_OK && name &&
              std::wstring(name) == L"Validation Material Object",
          "get ComponentName through the vtable");
    SysFreeString(name);
    Check(ident->put_ComponentName(nullptr) == S_OK, "put ComponentName with a NULL BSTR");
    name = reinterpret_cast<BSTR>(1);
    Check(ident->get_ComponentName(&name) == S_OK && name && SysStringLen(name) == 0,
          "a NULL BSTR is the empty text");
    SysFreeString(name);
    Check(ident->get_ComponentName(nullptr) == E_POINTER, "a NULL [out] pointer gives E_POINTER");

    // The dual interfaces answer IDispatch with their own DISPIDs.
    DISPID id = 0;
    LPOLESTR member = const_cast<LPOLESTR>(L"ComponentDescription");
    Check(ident->GetIDsOfNames(IID_NULL, &member, 1, 0, &id) == S_OK && id == 2,
          "ICapeIdentification publishes ComponentDescription as DISPID 2");
    member = const_cast<LPOLESTR>(L"GetNumComponents");
    Check(thermo->GetIDsOfNames(IID_NULL, &member, 1, 0, &id) == S_OK && id == 18,
          "ICapeThermoMaterialObject publishes GetNumComponents as DISPID 18");
    Check(tessel->GetIDsOfNames(IID_NULL, &member, 1, 0, &id) == S_OK && id != 18,
          "the default IDispatch maps the CAPE-OPEN names away from its own DISPIDs");
    DISPPARAMS noArgs{nullptr, nullptr, 0, 0};
    for (IDispatch* dispatch : {static_cast<IDispatch*>(thermo), static_cast<IDispatch*>(tessel)}) {
        Check(dispatch->Invoke(id, IID_IDispatch, 0, DISPATCH_METHOD, &noArgs, nullptr, nullptr,
                               nullptr) == DISP_E_UNKNOWNINTERFACE,
              "Invoke with a riid other than IID_NULL gives DISP_E_UNKNOWNINTERFACE");
    }

    viaIdent->Release();
    support->Release();
    tessel->Release();
    thermo->Release();
    ident->Release();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring mode = argc > 1 ? argv[1] : L"identity";
    CLSID clsid{};
    Check(CLSIDFromProgID(L"Korvid.Tessel", &clsid) == S_OK, "ProgID Korvid.Tessel is registered");

    IUnknown* object = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&object));
    if (mode == L"no-components") {
        CheckError(hr, static_cast<HRESULT>(0x800A0009), L"Korvid|Subscript out of range",
                   "creation with no component");
        Check(object == nullptr, "no object after a failed creation");
    } else {
        Check(hr == S_OK && object, "CoCreateInstance " + Hex(hr));
        if (object) {
            IdentityAndInterfaces(object);
            Check(RefCount(object) == 1, "references back to one");
            Check(object->Release() == 0, "last release");
        }
    }

    HMODULE server = GetModuleHandleW(L"Korvid.dll");
    Check(server != nullptr, "the server is loaded in process");
    if (server) {
        auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
        Check(canUnload && canUnload() == S_OK, "DllCanUnloadNow answers S_OK with no object left");
    }
    CoUninitialize();
    return Finish();
}
