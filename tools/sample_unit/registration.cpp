#include "tools/sample_unit/registration.h"

#include <olectl.h>

#include <algorithm>

#include "KorvidSampleUnit_h.h"
#include "com_server/registry.h"
#include "com_server/server_lock.h"
#include "tools/sample_unit/faults.h"

namespace korvid::sample_unit {

namespace {

using com::registry::Entry;

const com::registry::Server kServer = {L"Korvid.SampleFlashDrum", L"Korvid sample flash drum",
                                       &CLSID_SampleFlashDrum, &LIBID_KorvidSampleUnit,
                                       L"KorvidSampleUnit"};

// What hosts look for: a CAPE-OPEN component, a unit operation, one that
// consumes thermodynamics through 1.0 material objects (ICapeThermoMaterialObject)
// and through 1.1 ones (ICapeThermoMaterial).
constexpr const wchar_t* kCategories[] = {
    L"{678C09A1-7D66-11D2-A67D-00105A42887F}",
    L"{678C09A5-7D66-11D2-A67D-00105A42887F}",
    L"{4150C28A-EE06-403F-A871-87AFEC38A249}",
    L"{0D562DC8-EA8E-4210-AB39-B66513C0CD09}",
    L"{4667023A-5A8E-4CCA-AB6D-9D78C5112FED}",
};

struct Interface {
    const IID* iid;
    const wchar_t* name;
};
// Their keys are left alone where another CAPE-OPEN type library (Korvid's,
// CO-LaN's) owns them.
constexpr Interface kInterfaces[] = {
    {&IID_ICapeUnit, L"ICapeUnit"},
    {&IID_ICapeUtilities, L"ICapeUtilities"},
    {&IID_ICapeUnitReport, L"ICapeUnitReport"},
    {&IID_ICapeIdentification, L"ICapeIdentification"},
    {&IID_ICapeUnitPort, L"ICapeUnitPort"},
    {&IID_ICapeCollection, L"ICapeCollection"},
    {&IID_ICapeParameter, L"ICapeParameter"},
    {&IID_ICapeParameterSpec, L"ICapeParameterSpec"},
    {&IID_ICapeRealParameterSpec, L"ICapeRealParameterSpec"},
    {&IID_ECapeRoot, L"ECapeRoot"},
    {&IID_ECapeUser, L"ECapeUser"},
    {&IID_ECapeUnknown, L"ECapeUnknown"},
};

std::vector<const IID*> InterfaceIds() {
    std::vector<const IID*> iids;
    for (const auto& face : kInterfaces) iids.push_back(face.iid);
    return iids;
}

// KORVID_SAMPLE_FAULT at registration: the key or value that fault leaves out.
void LeaveOutForFault(std::vector<Entry>& entries) {
    const std::wstring fault = FaultValue();
    const std::wstring classKey = L"CLSID\\" + com::registry::GuidText(CLSID_SampleFlashDrum);
    auto leftOut = [&](const Entry& entry) {
        const std::wstring name = entry.name ? entry.name : L"";
        return fault == L"no-progid" ? entry.key == classKey + L"\\ProgID" ||
                                           entry.key == classKey + L"\\VersionIndependentProgID"
               : fault == L"no-threadingmodel" ? name == L"ThreadingModel"
               : fault == L"no-unit-category"
                   ? entry.key == classKey + L"\\Implemented Categories\\" + kCategories[1]
               : fault == L"no-helpurl" ? name == L"HelpURL"
               : fault == L"no-typelib" ? entry.key == classKey + L"\\TypeLib"
                                        : false;
    };
    entries.erase(std::remove_if(entries.begin(), entries.end(), leftOut), entries.end());
}

}  // namespace

HRESULT RegisterServer() {
    const std::wstring path = com::ThisModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    std::vector<Entry> entries = com::registry::ServerEntries(kServer, path);
    const std::wstring classKey = L"CLSID\\" + com::registry::GuidText(CLSID_SampleFlashDrum);
    const std::wstring description = classKey + L"\\CapeDescription";
    entries.insert(entries.end(), {
        {description, L"Name", L"Korvid Sample Flash Drum"},
        {description, L"Description",
         L"A flash drum that splits its feed into a vapour and a liquid outlet: a sample unit "
         L"operation for trying CAPE-OPEN hosts and material objects"},
        {description, L"CapeVersion", L"1.0"},
        {description, L"ComponentVersion", KORVID_SAMPLE_UNIT_VERSION},
        {description, L"VendorURL", L""},
        {description, L"HelpURL", L""},
        {description, L"About",
         L"Korvid Sample Flash Drum " KORVID_SAMPLE_UNIT_VERSION
         L". Copyright (c) the Korvid developers. MIT License."},
    });
    for (const wchar_t* category : kCategories) {
        entries.push_back({classKey + L"\\Implemented Categories\\" + category, nullptr, {}});
    }
    for (const auto& face : kInterfaces) {
        auto keys = com::registry::InterfaceEntries(kServer, *face.iid, face.name);
        entries.insert(entries.end(), keys.begin(), keys.end());
    }
    LeaveOutForFault(entries);
    return com::registry::Register(kServer, entries, InterfaceIds());
}

HRESULT UnregisterServer() { return com::registry::Unregister(kServer, InterfaceIds()); }

}  // namespace korvid::sample_unit
