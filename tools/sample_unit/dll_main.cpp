// The four entry points of the sample unit's in-process server, and its class factory.
#include <windows.h>
#include <olectl.h>

#include "KorvidSampleUnit_h.h"
#include "com_server/server_lock.h"
#include "tools/sample_unit/flash_drum.h"
#include "tools/sample_unit/registration.h"

namespace {

using namespace korvid::sample_unit;

class ClassFactory final : public IClassFactory {
public:
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
    // The factory is static: its references keep the server as locked as LockServer does.
    ULONG STDMETHODCALLTYPE AddRef() override {
        korvid::com::LockServer(true);
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        korvid::com::LockServer(false);
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        FlashDrum* drum = nullptr;
        try {
            drum = FlashDrum::Create();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        const HRESULT hr = drum->QueryInterface(iid, out);
        drum->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        korvid::com::LockServer(lock != FALSE);
        return S_OK;
    }
};

ClassFactory g_factory;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_SampleFlashDrum)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() { return korvid::com::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return RegisterServer(); }

STDAPI DllUnregisterServer() { return UnregisterServer(); }

}  // extern "C"
