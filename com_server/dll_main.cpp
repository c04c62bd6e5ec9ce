// The four entry points of the in-process server, and its class factories.
#include <windows.h>
#include <olectl.h>

#include "Korvid_h.h"
#include "KorvidThermo11_h.h"
#include "com_server/class_factory.h"
#include "com_server/material_object.h"
#include "com_server/registration.h"
#include "com_server/server_lock.h"
#include "com_server/tessel_object.h"

namespace {

using namespace korvid::com;

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
    return GetClassObject(
        {{&CLSID_Tessel, &g_tesselFactory}, {&CLSID_Material, &g_materialFactory}}, clsid, iid,
        out);
}

STDAPI DllCanUnloadNow() { return CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return RegisterServer(); }

STDAPI DllUnregisterServer() { return UnregisterServer(); }

}  // extern "C"
