// The registry keys of an in-process server of ours (Korvid.dll, the sample
// unit's KorvidSampleUnit.dll): the entries every one writes, interface keys
// that another type library may own, and an unregistration that removes only
// what is ours.
//
// A 32-bit and a 64-bit DLL may both be registered on 64-bit Windows. CLSID
// and Interface keys are redirected there: each bitness has its own view,
// which its regsvr32 reaches as HKCR\CLSID. ProgIDs and TypeLib are shared:
// the type library holds one subkey per bitness (win32, win64) under one
// version key.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace korvid::com::registry {

constexpr wchar_t kTypeLibVersion[] = L"1.0";

std::wstring GuidText(REFGUID guid);

// A value under HKEY_CLASSES_ROOT: `name` nullptr is the key's default value;
// without a value, the key alone.
struct Entry {
    std::wstring key;
    const wchar_t* name;
    std::optional<std::wstring> value;
};

struct Server {
    const wchar_t* progId;
    const wchar_t* className;
    const CLSID* clsid;
    const GUID* libid;
    const wchar_t* libraryName;
};

// ProgID, the class (InprocServer32 Apartment, ProgID, TypeLib, Version) and
// the type library under this bitness, for the DLL at `path`.
std::vector<Entry> ServerEntries(const Server& server, const std::wstring& path);

// The keys of interface `iid` with our type library and the automation
// marshaler; none when another type library owns them already.
std::vector<Entry> InterfaceEntries(const Server& server, REFIID iid, const wchar_t* name);

// Writes the entries; a failure (not run as an administrator, most often)
// takes back what was written rather than leave half a registration.
HRESULT Register(const Server& server, const std::vector<Entry>& entries,
                 const std::vector<const IID*>& interfaces);

// Removes the class and the interface keys that are ours; the ProgID while the
// other bitness's class is not registered, the type library's version key
// while it holds no other bitness's subkey.
HRESULT Unregister(const Server& server, const std::vector<const IID*>& interfaces);

}  // namespace korvid::com::registry
