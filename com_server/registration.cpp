#include "com_server/registration.h"

#include <olectl.h>

#include <vector>

#include "Korvid_h.h"
#include "KorvidThermo11_h.h"
#include "com_server/registry.h"
#include "com_server/server_lock.h"

namespace korvid::com {

namespace {

using registry::Entry;

struct Interface {
    const IID* iid;
    const wchar_t* name;
};

// One class of the server with its type library (the DLL's TYPELIB resource
// of that library), the CapeDescription values and the interfaces it declares:
// our own first, then the CAPE-OPEN ones, whose keys may belong to another
// CAPE-OPEN type library and are then left alone.
struct ServerClass {
    registry::Server server;
    const wchar_t* capeName;
    const wchar_t* capeDescription;
    const wchar_t* capeVersion;
    std::vector<Interface> interfaces;
};

const std::vector<ServerClass>& ServerClasses() {
    static const std::vector<ServerClass> classes = {
        {{L"Korvid.Tessel", L"Korvid test material object", &CLSID_Tessel, &LIBID_Korvid,
          L"Korvid"},
         L"Validation Material Object",
         L"This is a dummy material object for validation purposes only",
         L"0.9",
         {{&IID__Tessel, L"_Tessel"},
          {&IID_ICapeIdentification, L"ICapeIdentification"},
          {&IID_ICapeThermoMaterialObject, L"ICapeThermoMaterialObject"}}},
        {{L"Korvid.Material", L"Korvid CAPE-OPEN 1.1 test material object", &CLSID_Material,
          &LIBID_KorvidThermo11, L"KorvidThermo11", L"\\2"},
         L"Korvid Material",
         L"A CAPE-OPEN 1.1 test material: it stores what it is given and computes nothing",
         L"1.1",
         {{&IID_ICapeThermoMaterial, L"ICapeThermoMaterial"},
          {&IID_ICapeThermoCompounds, L"ICapeThermoCompounds"},
          {&IID_ICapeThermoPhases, L"ICapeThermoPhases"},
          {&IID_ICapeThermoUniversalConstant, L"ICapeThermoUniversalConstant"},
          {&IID_ICapeThermoPropertyRoutine, L"ICapeThermoPropertyRoutine"},
          {&IID_ICapeThermoEquilibriumRoutine, L"ICapeThermoEquilibriumRoutine"},
          {&IID_ECapeRoot, L"ECapeRoot"},
          {&IID_ECapeUser, L"ECapeUser"},
          {&IID_ECapeBadArgument, L"ECapeBadArgument"},
          {&IID_ECapeBadInvOrder, L"ECapeBadInvOrder"},
          {&IID_ECapeUnknown, L"ECapeUnknown"},
          {&IID_ECapeData, L"ECapeData"},
          {&IID_ECapeInvalidArgument, L"ECapeInvalidArgument"},
          {&IID_ECapeImplementation, L"ECapeImplementation"},
          {&IID_ECapeNoImpl, L"ECapeNoImpl"},
          {&IID_ECapeLimitedImpl, L"ECapeLimitedImpl"},
          {&IID_ECapeNoMemory, L"ECapeNoMemory"},
          {&IID_ECapeFailedInitialisation, L"ECapeFailedInitialisation"},
          {&IID_ECapeThrmPropertyNotAvailable, L"ECapeThrmPropertyNotAvailable"}}},
    };
    return classes;
}

std::vector<const IID*> InterfaceIds(const ServerClass& entry) {
    std::vector<const IID*> iids;
    for (const auto& face : entry.interfaces) iids.push_back(face.iid);
    return iids;
}

HRESULT RegisterClass(const ServerClass& entry, const std::wstring& path) {
    const registry::Server& server = entry.server;
    std::vector<Entry> entries = registry::ServerEntries(server, path);
    const std::wstring classKey = L"CLSID\\" + registry::GuidText(*server.clsid);
    entries.insert(entries.end(), {
        {classKey + L"\\Programmable", nullptr, L""},
        {classKey + L"\\CapeDescription", L"Name", entry.capeName},
        {classKey + L"\\CapeDescription", L"Description", entry.capeDescription},
        {classKey + L"\\CapeDescription", L"CapeVersion", entry.capeVersion},
    });
    for (const auto& face : entry.interfaces) {
        auto keys = registry::InterfaceEntries(server, *face.iid, face.name);
        entries.insert(entries.end(), keys.begin(), keys.end());
    }
    return registry::Register(server, entries, InterfaceIds(entry));
}

}  // namespace

HRESULT RegisterServer() {
    const std::wstring path = ThisModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    for (const ServerClass& entry : ServerClasses()) {
        const HRESULT hr = RegisterClass(entry, path);
        if (FAILED(hr)) {
            // The classes come and go together: no half-registered server.
            UnregisterServer();
            return hr;
        }
    }
    return S_OK;
}

HRESULT UnregisterServer() {
    for (const ServerClass& entry : ServerClasses()) {
        registry::Unregister(entry.server, InterfaceIds(entry));
    }
    return S_OK;
}

}  // namespace korvid::com
