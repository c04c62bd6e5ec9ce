// What the registry tells the host: the unit operations registered (--list:
// the classes of the CAPE-OPEN unit operation category, found through the
// component categories manager as hosts find them), the thermo versions a
// unit declares, and where Korvid's reports go.
#include <comcat.h>

#include "tools/validate/output.h"
#include "tools/validate/unit_host.h"

namespace korvid::validate {

namespace {

constexpr CATID kUnitOperation = {
    0x678C09A5, 0x7D66, 0x11D2, {0xA6, 0x7D, 0x00, 0x10, 0x5A, 0x42, 0x88, 0x7F}};
// The unit takes thermo 1.0 material objects (ICapeThermoMaterialObject),
// 1.1 ones (ICapeThermoMaterial).
constexpr CATID kThermo10 = {
    0x0D562DC8, 0xEA8E, 0x4210, {0xAB, 0x39, 0xB6, 0x65, 0x13, 0xC0, 0xCD, 0x09}};
constexpr CATID kThermo11 = {
    0x4667023A, 0x5A8E, 0x4CCA, {0xAB, 0x6D, 0x9D, 0x78, 0xC5, 0x11, 0x2F, 0xED}};

// Through the class's implemented categories: Wine's IsClassOfCategories
// does not answer S_OK for a class that does implement the category.
bool InCategory(ICatInformation* categories, const CLSID& clsid, const CATID& category) {
    IEnumCATID* implemented = nullptr;
    if (FAILED(categories->EnumImplCategoriesOfClass(clsid, &implemented))) return false;
    bool found = false;
    CATID next{};
    for (ULONG fetched = 0; !found && implemented->Next(1, &next, &fetched) == S_OK && fetched;)
        found = IsEqualGUID(next, category);
    implemented->Release();
    return found;
}

// "1.0 1.1", as the unit declares them.
std::wstring ThermoVersions(ICatInformation* categories, const CLSID& clsid) {
    const bool v10 = InCategory(categories, clsid, kThermo10);
    const bool v11 = InCategory(categories, clsid, kThermo11);
    return v10 && v11 ? L"1.0 1.1" : v10 ? L"1.0" : v11 ? L"1.1" : L"none declared";
}

// The CapeDescription values a unit registers, in the order hosts show them.
void PrintDescription(const CLSID& clsid) {
    const std::wstring key = L"CLSID\\" + GuidText(clsid) + L"\\CapeDescription";
    for (const wchar_t* value : {L"Name", L"Description", L"CapeVersion", L"ComponentVersion",
                                 L"VendorURL", L"HelpURL", L"About"}) {
        wchar_t text[2048] = {};
        DWORD size = sizeof text;
        if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text,
                         &size) == ERROR_SUCCESS)
            Line(L"    " + std::wstring(value) + L": " + text);
    }
}

}  // namespace

std::wstring ReportsFolder(std::wstring* why) {
    CLSID korvid{};
    if (FAILED(CLSIDFromProgID(L"Korvid.Tessel", &korvid))) {
        *why = L"Korvid.Tessel is not registered";
        return {};
    }
    const std::wstring key = L"CLSID\\" + GuidText(korvid) + L"\\InprocServer32";
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path,
                     &size) != ERROR_SUCCESS) {
        *why = L"Korvid.Tessel has no InprocServer32";
        return {};
    }
    std::wstring folder = path;
    folder = folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"CapeOpenValidationReports";
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return folder;
    if (attributes == INVALID_FILE_ATTRIBUTES && CreateDirectoryW(folder.c_str(), nullptr))
        return folder;
    *why = attributes != INVALID_FILE_ATTRIBUTES
               ? L"the reports folder " + folder + L" is a file"
               : L"the reports folder " + folder + L" cannot be made (error " +
                     std::to_wstring(GetLastError()) + L")";
    return {};
}

int ListUnits() {
    ICatInformation* categories = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&categories));
    IEnumCLSID* classes = nullptr;
    if (SUCCEEDED(hr)) {
        CATID implemented = kUnitOperation;
        hr = categories->EnumClassesOfCategories(1, &implemented, 0, nullptr, &classes);
        if (FAILED(hr)) categories->Release();
    }
    if (FAILED(hr)) {
        ErrorLine(L"korvid-validate: the component categories cannot be read: " + Outcome(hr));
        return 2;
    }
    Line(L"Unit operations registered for " + std::to_wstring(sizeof(void*) * 8) +
         L"-bit hosts (category " + GuidText(kUnitOperation) + L"):");
    int count = 0;
    CLSID clsid{};
    for (ULONG fetched = 0; classes->Next(1, &clsid, &fetched) == S_OK && fetched == 1; ++count) {
        LPOLESTR progId = nullptr;
        const std::wstring name =
            SUCCEEDED(ProgIDFromCLSID(clsid, &progId)) ? progId : L"(no ProgID)";
        CoTaskMemFree(progId);
        Line(GuidText(clsid) + L" " + name);
        PrintDescription(clsid);
        Line(L"    Thermo: " + ThermoVersions(categories, clsid));
    }
    classes->Release();
    categories->Release();
    Line(std::to_wstring(count) + (count == 1 ? L" unit operation" : L" unit operations"));
    return 0;
}

bool DeclaresThermo(const CLSID& unit, bool v11) {
    ICatInformation* categories = nullptr;
    if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&categories))))
        return false;
    const bool declared = InCategory(categories, unit, v11 ? kThermo11 : kThermo10);
    categories->Release();
    return declared;
}

}  // namespace korvid::validate
