#include "com_server/registration.h"

#include <string>
#include <vector>

#include <olectl.h>

#include "Korvid_h.h"
#include "KorvidThermo11_h.h"
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
bool InterfaceKeyIsOurs(REFIID iid, REFGUID libid, bool absentCounts) {
    std::wstring owner = ReadString(L"Interface\\" + GuidText(iid) + L"\\TypeLib");
    if (owner.empty()) return absentCounts;
    return CompareStringOrdinal(owner.c_str(), -1, GuidText(libid).c_str(), -1, TRUE) ==
           CSTR_EQUAL;
}

struct Entry {
    std::wstring key;
    const wchar_t* name;  // nullptr: the key's default value
    std::wstring value;
};

std::vector<Entry> InterfaceEntries(REFIID iid, const wchar_t* name, REFGUID libid) {
    const std::wstring key = L"Interface\\" + GuidText(iid);
    return {
        {key, nullptr, name},
        {key + L"\\ProxyStubClsid", nullptr, kAutomationProxy},
        {key + L"\\ProxyStubClsid32", nullptr, kAutomationProxy},
        {key + L"\\TypeLib", nullptr, GuidText(libid)},
        {key + L"\\TypeLib", L"Version", kTypeLibVersion},
    };
}

struct CapeInterface {
    const IID* iid;
    const wchar_t* name;
};

// One class of the server: its ProgID, its CLSID and the type library that
// declares its interfaces (the module's TYPELIB resource `resource`).
struct ServerClass {
    const wchar_t* progId;
    const wchar_t* className;
    const CLSID* clsid;
    const GUID* libid;
    const wchar_t* libName;
    const wchar_t* resource;  // "" for the first resource, "\\2" for the second
    const wchar_t* capeName;
    const wchar_t* capeDescription;
    const wchar_t* capeVersion;
    std::vector<CapeInterface> interfaces;  // the CAPE-OPEN ones, left alone when not ours
    std::vector<CapeInterface> own;         // our own ones
};

const std::vector<ServerClass>& ServerClasses() {
    static const std::vector<ServerClass> classes = {
        {kProgId, kClassName, &CLSID_Tessel, &LIBID_Korvid, L"Korvid", L"", L"Validation Material Object",
         L"This is a dummy material object for validation purposes only", L"0.9",
         {{&IID_ICapeIdentification, L"ICapeIdentification"},
          {&IID_ICapeThermoMaterialObject, L"ICapeThermoMaterialObject"}},
         {{&IID__Tessel, L"_Tessel"}}},
        {L"Korvid.Material", L"Korvid CAPE-OPEN 1.1 test material object", &CLSID_Material, &LIBID_KorvidThermo11, L"KorvidThermo11", L"\\2",
         L"Korvid Material", L"A CAPE-OPEN 1.1 test material: it stores what it is given and "
         L"computes nothing", L"1.1",
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
          {&IID_ECapeThrmPropertyNotAvailable, L"ECapeThrmPropertyNotAvailable"}},
         {}},
    };
    return classes;
}

}  // namespace

HRESULT RegisterServer() {
    const std::wstring path = ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    std::vector<Entry> entries;
    for (const ServerClass& server : ServerClasses()) {
        const std::wstring progId = server.progId;
        const std::wstring clsid = GuidText(*server.clsid);
        const std::wstring libid = GuidText(*server.libid);
        const std::wstring classKey = L"CLSID\\" + clsid;
        const std::wstring libKey = L"TypeLib\\" + libid + L"\\" + kTypeLibVersion;
        const std::vector<Entry> keys = {
            {progId, nullptr, server.className},
            {progId + L"\\CLSID", nullptr, clsid},
            {classKey, nullptr, server.className},
            {classKey + L"\\InprocServer32", nullptr, path},
            {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
            {classKey + L"\\ProgID", nullptr, progId},
            {classKey + L"\\VersionIndependentProgID", nullptr, progId},
            {classKey + L"\\Programmable", nullptr, L""},
            {classKey + L"\\TypeLib", nullptr, libid},
            {classKey + L"\\Version", nullptr, kTypeLibVersion},
            {classKey + L"\\CapeDescription", L"Name", server.capeName},
            {classKey + L"\\CapeDescription", L"Description", server.capeDescription},
            {classKey + L"\\CapeDescription", L"CapeVersion", server.capeVersion},
            {libKey, nullptr, server.libName},
            {libKey + L"\\0\\" + kOwnSysKind, nullptr, path + server.resource},
            {libKey + L"\\FLAGS", nullptr, L"0"},
            {libKey + L"\\HELPDIR", nullptr, folder},
        };
        entries.insert(entries.end(), keys.begin(), keys.end());
        for (const auto& own : server.own) {
            auto ownKeys = InterfaceEntries(*own.iid, own.name, *server.libid);
            entries.insert(entries.end(), ownKeys.begin(), ownKeys.end());
        }
        for (const auto& cape : server.interfaces) {
            if (!InterfaceKeyIsOurs(*cape.iid, *server.libid, true)) continue;
            auto capeKeys = InterfaceEntries(*cape.iid, cape.name, *server.libid);
            entries.insert(entries.end(), capeKeys.begin(), capeKeys.end());
        }
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
    for (const ServerClass& server : ServerClasses()) {
        const std::wstring clsid = GuidText(*server.clsid);
        const std::wstring libKey = L"TypeLib\\" + GuidText(*server.libid);
        const std::wstring versionKey = libKey + L"\\" + kTypeLibVersion;

        // Keys of this bitness's view; only those that name our class or library.
        DeleteTree(L"CLSID\\" + clsid);
        for (const auto& own : server.own) DeleteTree(L"Interface\\" + GuidText(*own.iid));
        for (const auto& cape : server.interfaces) {
            if (InterfaceKeyIsOurs(*cape.iid, *server.libid, false)) {
                DeleteTree(L"Interface\\" + GuidText(*cape.iid));
            }
        }

        // Shared keys: the ProgID stays while the other bitness's class is
        // registered, the type library's version key while it holds the other
        // bitness's subkey.
        const bool otherBitness =
            KeyExists(L"CLSID\\" + clsid + L"\\InprocServer32", kOtherView);
        const std::wstring progId = server.progId;
        if (!otherBitness && ReadString(progId + L"\\CLSID") == clsid) DeleteTree(progId);
        DeleteTree(versionKey + L"\\0\\" + kOwnSysKind);
        if (!KeyExists(versionKey + L"\\0", 0, true)) DeleteTree(versionKey);
        if (!KeyExists(libKey, 0, true)) DeleteTree(libKey);
    }
    return S_OK;
}

}  // namespace korvid::com
