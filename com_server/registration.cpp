#include "com_server/registration.h"

#include <olectl.h>

#include "Korvid_h.h"
#include "com_server/registry.h"
#include "com_server/server_lock.h"

namespace korvid::com {

namespace {

using registry::Entry;

const registry::Server kServer = {L"Korvid.Tessel", L"Korvid test material object", &CLSID_Tessel,
                                  &LIBID_Korvid, L"Korvid"};

struct Interface {
    const IID* iid;
    const wchar_t* name;
};
// Our own interface, then the two CAPE-OPEN ones, whose keys may belong to
// another CAPE-OPEN type library.
constexpr Interface kInterfaces[] = {
    {&IID__Tessel, L"_Tessel"},
    {&IID_ICapeIdentification, L"ICapeIdentification"},
    {&IID_ICapeThermoMaterialObject, L"ICapeThermoMaterialObject"},
};

std::vector<const IID*> InterfaceIds() {
    std::vector<const IID*> iids;
    for (const auto& face : kInterfaces) iids.push_back(face.iid);
    return iids;
}

}  // namespace

HRESULT RegisterServer() {
    const std::wstring path = ThisModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    std::vector<Entry> entries = registry::ServerEntries(kServer, path);
    const std::wstring classKey = L"CLSID\\" + registry::GuidText(CLSID_Tessel);
    entries.insert(entries.end(), {
        {classKey + L"\\Programmable", nullptr, L""},
        {classKey + L"\\CapeDescription", L"Name", L"Validation Material Object"},
        {classKey + L"\\CapeDescription", L"Description",
         L"This is a dummy material object for validation purposes only"},
        {classKey + L"\\CapeDescription", L"CapeVersion", L"0.9"},
    });
    for (const auto& face : kInterfaces) {
        auto keys = registry::InterfaceEntries(kServer, *face.iid, face.name);
        entries.insert(entries.end(), keys.begin(), keys.end());
    }
    return registry::Register(kServer, entries, InterfaceIds());
}

HRESULT UnregisterServer() { return registry::Unregister(kServer, InterfaceIds()); }

}  // namespace korvid::com
