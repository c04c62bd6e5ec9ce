// The four entry points of the in-process server, and its class factory.
#include <windows.h>
#include <olectl.h>

#include "Korvid_h.h"
#include "KorvidThermo11_h.h"
#include "com_server/material_object.h"
#include "com_server/registration.h"
#include "com_server/server_lock.h"
#include "com_server/tessel_object.h"

namespace {

using namespace korvid::com;

// The class factory of one class: `create` makes its objects.
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(HRESULT (*create)(REFIID, void**)) : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static: its references keep the server as locked as
    // LockServer does.
    ULONG STDMETHODCALLTYPE AddRef() override {
        LockServer(true);
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LockServer(false);
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        korvid::com::LockServer(lock != FALSE);
        return S_OK;
    }

private:
    HRESULT (*create_)(REFIID, void**);
};

ClassFactory g_tesselFactory(CreateTesselObject);
ClassFactory g_materialFactory(CreateMaterialObject);

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    // No DisableThreadLibraryCalls: the statically linked runtime destroys
    // thread_local state on DLL_THREAD_DETACH.
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualCLSID(clsid, CLSID_Tessel)) return g_tesselFactory.QueryInterface(iid, out);
    if (IsEqualCLSID(clsid, CLSID_Material)) return g_materialFactory.QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return RegisterServer(); }

STDAPI DllUnregisterServer() { return UnregisterServer(); }

}  // extern "C"
