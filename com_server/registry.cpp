#include "com_server/registry.h"

namespace korvid::com::registry {

namespace {

#ifdef _WIN64
constexpr wchar_t kOwnSysKind[] = L"win64";
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
#else
constexpr wchar_t kOwnSysKind[] = L"win32";
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;
#endif
// The other view is reached with KEY_WOW64_32KEY or KEY_WOW64_64KEY, which
// 32-bit Windows ignores (the one view is ours then).

// The OLE Automation marshaler for dual interfaces.
constexpr wchar_t kAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";

LSTATUS Write(const Entry& entry) {
    HKEY hkey = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, nullptr, 0,
                                     KEY_WRITE, nullptr, &hkey, nullptr);
    if (status != ERROR_SUCCESS) return status;
    if (entry.value) {
        const std::wstring& value = *entry.value;
        status = RegSetValueExW(hkey, entry.name, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
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
bool InterfaceKeyIsOurs(const Server& server, REFIID iid, bool absentCounts) {
    std::wstring owner = ReadString(L"Interface\\" + GuidText(iid) + L"\\TypeLib");
    if (owner.empty()) return absentCounts;
    return CompareStringOrdinal(owner.c_str(), -1, GuidText(*server.libid).c_str(), -1, TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::vector<Entry> ServerEntries(const Server& server, const std::wstring& path) {
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    const std::wstring clsid = GuidText(*server.clsid);
    const std::wstring libid = GuidText(*server.libid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    const std::wstring libKey = L"TypeLib\\" + libid + L"\\" + kTypeLibVersion;
    const std::wstring progId = server.progId;
    return {
        {progId, nullptr, server.className},
        {progId + L"\\CLSID", nullptr, clsid},
        {classKey, nullptr, server.className},
        {classKey + L"\\InprocServer32", nullptr, path},
        {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {classKey + L"\\ProgID", nullptr, progId},
        {classKey + L"\\VersionIndependentProgID", nullptr, progId},
        {classKey + L"\\TypeLib", nullptr, libid},
        {classKey + L"\\Version", nullptr, kTypeLibVersion},
        {libKey, nullptr, server.libraryName},
        {libKey + L"\\0\\" + kOwnSysKind, nullptr, path},
        {libKey + L"\\FLAGS", nullptr, L"0"},
        {libKey + L"\\HELPDIR", nullptr, folder},
    };
}

std::vector<Entry> InterfaceEntries(const Server& server, REFIID iid, const wchar_t* name) {
    if (!InterfaceKeyIsOurs(server, iid, true)) return {};
    const std::wstring key = L"Interface\\" + GuidText(iid);
    return {
        {key, nullptr, name},
        {key + L"\\ProxyStubClsid", nullptr, kAutomationProxy},
        {key + L"\\ProxyStubClsid32", nullptr, kAutomationProxy},
        {key + L"\\TypeLib", nullptr, GuidText(*server.libid)},
        {key + L"\\TypeLib", L"Version", kTypeLibVersion},
    };
}

HRESULT Register(const Server& server, const std::vector<Entry>& entries,
                 const std::vector<const IID*>& interfaces) {
    for (const auto& entry : entries) {
        const LSTATUS status = Write(entry);
        if (status != ERROR_SUCCESS) {
            Unregister(server, interfaces);
            return HRESULT_FROM_WIN32(status);
        }
    }
    return S_OK;
}

HRESULT Unregister(const Server& server, const std::vector<const IID*>& interfaces) {
    const std::wstring clsid = GuidText(*server.clsid);
    const std::wstring libKey = L"TypeLib\\" + GuidText(*server.libid);
    const std::wstring versionKey = libKey + L"\\" + kTypeLibVersion;

    // Keys of this bitness's view; only those that name our class or library.
    DeleteTree(L"CLSID\\" + clsid);
    for (const IID* iid : interfaces) {
        if (InterfaceKeyIsOurs(server, *iid, false)) DeleteTree(L"Interface\\" + GuidText(*iid));
    }

    // Shared keys: the ProgID stays while the other bitness's class is registered,
    // the type library's version key while it holds the other bitness's subkey.
    const std::wstring progId = server.progId;
    const bool otherBitness = KeyExists(L"CLSID\\" + clsid + L"\\InprocServer32", kOtherView);
    if (!otherBitness && ReadString(progId + L"\\CLSID") == clsid) DeleteTree(progId);
    DeleteTree(versionKey + L"\\0\\" + kOwnSysKind);
    if (!KeyExists(versionKey + L"\\0", 0, true)) DeleteTree(versionKey);
    if (!KeyExists(libKey, 0, true)) DeleteTree(libKey);
    return S_OK;
}

}  // namespace korvid::com::registry
