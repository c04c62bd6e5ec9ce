#include "com_server/registration.h"

#include <string>
#include <vector>

#include <olectl.h>

#include "Korvid_h.h"
#include "com_server/server_lock.h"

namespace korvid::com {

namespace {

constexpr wchar_t kProgId[] = L"Korvid.Tessel";
constexpr wchar_t kClassName[] = L"Korvid test material object";
constexpr wchar_t kTypeLibVersion[] = L"1.0";
// The OLE Automation marshaler for dual interfaces.
constexpr wchar_t kAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";

// A 32-bit and a 64-bit Korvid.dll may both be registered on 64-bit Windows.
// CLSID and Interface keys are redirected there: each bitness has its own
// view, which its regsvr32 reaches as HKCR\CLSID. ProgIDs and TypeLib are
// shared: the type library holds one subkey per bitness (win32, win64) under
// one version key. The other view is reached with KEY_WOW64_32KEY or
// KEY_WOW64_64KEY, which 32-bit Windows ignores (the one view is ours then).
#ifdef _WIN64
constexpr wchar_t kOwnSysKind[] = L"win64";
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
#else
constexpr wchar_t kOwnSysKind[] = L"win32";
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;
#endif

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring ModulePath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length =
            GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return std::wstring(path.data(), length);
        path.resize(path.size() * 2);
    }
}

LSTATUS SetString(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY hkey = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                     nullptr, &hkey, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(hkey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hkey);
    return status;
}

std::wstring ReadString(const std::wstring& key) {
    wchar_t value[128] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    return value;
}

void DeleteTree(const std::wstring& key) { RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str()); }

// Whether the key exists (in the given view) and, with `withSubkeys`, has any subkey.
bool KeyExists(const std::wstring& key, REGSAM view = 0, bool withSubkeys = false) {
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, &hkey) != ERROR_SUCCESS) {
        return false;
    }
    DWORD subkeys = 0;
    LSTATUS status = RegQueryInfoKeyW(hkey, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(hkey);
    return !withSubkeys || (status == ERROR_SUCCESS && subkeys > 0);
}

// The interface keys of a CAPE-OPEN interface may belong to another CAPE-OPEN
// type library on this machine: those are not ours to change or remove.
bool InterfaceKeyIsOurs(REFIID iid, bool absentCounts) {
    std::wstring owner = ReadString(L"Interface\\" + GuidText(iid) + L"\\TypeLib");
    if (owner.empty()) return absentCounts;
    return CompareStringOrdinal(owner.c_str(), -1, GuidText(LIBID_Korvid).c_str(), -1, TRUE) ==
           CSTR_EQUAL;
}

struct Entry {
    std::wstring key;
    const wchar_t* name;  // nullptr: the key's default value
    std::wstring value;
};

std::vector<Entry> InterfaceEntries(REFIID iid, const wchar_t* name) {
    const std::wstring key = L"Interface\\" + GuidText(iid);
    return {
        {key, nullptr, name},
        {key + L"\\ProxyStubClsid", nullptr, kAutomationProxy},
        {key + L"\\ProxyStubClsid32", nullptr, kAutomationProxy},
        {key + L"\\TypeLib", nullptr, GuidText(LIBID_Korvid)},
        {key + L"\\TypeLib", L"Version", kTypeLibVersion},
    };
}

struct CapeInterface {
    const IID* iid;
    const wchar_t* name;
};
constexpr CapeInterface kCapeInterfaces[] = {
    {&IID_ICapeIdentification, L"ICapeIdentification"},
    {&IID_ICapeThermoMaterialObject, L"ICapeThermoMaterialObject"},
};

}  // namespace

HRESULT RegisterServer() {
    const std::wstring path = ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    const std::wstring clsid = GuidText(CLSID_Tessel);
    const std::wstring libid = GuidText(LIBID_Korvid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    const std::wstring libKey = L"TypeLib\\" + libid + L"\\" + kTypeLibVersion;

    std::vector<Entry> entries = {
        {kProgId, nullptr, kClassName},
        {std::wstring(kProgId) + L"\\CLSID", nullptr, clsid},
        {classKey, nullptr, kClassName},
        {classKey + L"\\InprocServer32", nullptr, path},
        {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {classKey + L"\\ProgID", nullptr, kProgId},
        {classKey + L"\\VersionIndependentProgID", nullptr, kProgId},
        {classKey + L"\\Programmable", nullptr, L""},
        {classKey + L"\\TypeLib", nullptr, libid},
        {classKey + L"\\Version", nullptr, kTypeLibVersion},
        {classKey + L"\\CapeDescription", L"Name", L"Validation Material Object"},
        {classKey + L"\\CapeDescription", L"Description",
         L"This is a dummy material object for validation purposes only"},
        {classKey + L"\\CapeDescription", L"CapeVersion", L"0.9"},
        {libKey, nullptr, L"Korvid"},
        {libKey + L"\\0\\" + kOwnSysKind, nullptr, path},
        {libKey + L"\\FLAGS", nullptr, L"0"},
        {libKey + L"\\HELPDIR", nullptr, folder},
    };
    auto own = InterfaceEntries(IID__Tessel, L"_Tessel");
    entries.insert(entries.end(), own.begin(), own.end());
    for (const auto& cape : kCapeInterfaces) {
        if (!InterfaceKeyIsOurs(*cape.iid, true)) continue;
        auto keys = InterfaceEntries(*cape.iid, cape.name);
        entries.insert(entries.end(), keys.begin(), keys.end());
    }

    for (const auto& entry : entries) {
        const LSTATUS status = SetString(entry.key, entry.name, entry.value);
        if (status != ERROR_SUCCESS) {
            // Not run as an administrator, most often: take back what was
            // written rather than leave half a registration behind.
            UnregisterServer();
            return HRESULT_FROM_WIN32(status);
        }
    }
    return S_OK;
}

HRESULT UnregisterServer() {
    const std::wstring clsid = GuidText(CLSID_Tessel);
    const std::wstring libKey = L"TypeLib\\" + GuidText(LIBID_Korvid);
    const std::wstring versionKey = libKey + L"\\" + kTypeLibVersion;

    // Keys of this bitness's view; only those that name our class or library.
    DeleteTree(L"CLSID\\" + clsid);
    DeleteTree(L"Interface\\" + GuidText(IID__Tessel));
    for (const auto& cape : kCapeInterfaces) {
        if (InterfaceKeyIsOurs(*cape.iid, false)) DeleteTree(L"Interface\\" + GuidText(*cape.iid));
    }

    // Shared keys: the ProgID stays while the other bitness's class is registered,
    // the type library's version key while it holds the other bitness's subkey.
    const bool otherBitness = KeyExists(L"CLSID\\" + clsid + L"\\InprocServer32", kOtherView);
    if (!otherBitness && ReadString(std::wstring(kProgId) + L"\\CLSID") == clsid) DeleteTree(kProgId);
    DeleteTree(versionKey + L"\\0\\" + kOwnSysKind);
    if (!KeyExists(versionKey + L"\\0", 0, true)) DeleteTree(versionKey);
    if (!KeyExists(libKey, 0, true)) DeleteTree(libKey);
    return S_OK;
}

}  // namespace korvid::com
