// The four entry points of the sample unit's in-process server, and its class factory.
#include <windows.h>
#include <olectl.h>

#include <new>

#include "KorvidSampleUnit_h.h"
#include "com_server/class_factory.h"
#include "com_server/server_lock.h"
#include "tools/sample_unit/flash_drum.h"
#include "tools/sample_unit/registration.h"

namespace {

using namespace korvid::sample_unit;

// A new flash drum's interface `iid`.
HRESULT CreateFlashDrum(REFIID iid, void** out) {
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

korvid::com::ClassFactory g_factory(CreateFlashDrum);

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    return korvid::com::GetClassObject({{&CLSID_SampleFlashDrum, &g_factory}}, clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return korvid::com::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return RegisterServer(); }

STDAPI DllUnregisterServer() { return UnregisterServer(); }

}  // extern "C"
