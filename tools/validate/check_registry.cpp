// The check `registry`: the unit's registration as hosts read it when they
// list and create units: ProgID and class agree both ways, InprocServer32
// names the DLL with a ThreadingModel, the unit operation category is
// implemented, every CapeDescription value is there (a missing one has
// broken hosts' unit lists), and the type library loads. Each finding,
// `registry-<what>`, names the key.
#include <algorithm>
#include <cwchar>
#include <iterator>
#include <optional>
#include <utility>

#include "tools/validate/com_values.h"
#include "tools/validate/output.h"
#include "tools/validate/session.h"

namespace korvid::validate {

namespace {

// A string value under HKEY_CLASSES_ROOT (`value` nullptr: the default);
// nothing when the key or the value is missing.
std::optional<std::wstring> Text(const std::wstring& key, const wchar_t* value) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text.data(),
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(std::wcslen(text.c_str()));
    return text;
}

// The names of the subkeys of `key`, sorted (as Windows enumerates them).
std::vector<std::wstring> Subkeys(const std::wstring& key) {
    std::vector<std::wstring> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD k = 0, length = 256; RegEnumKeyExW(opened, k, name, &length, nullptr, nullptr,
                                                  nullptr, nullptr) == ERROR_SUCCESS;
         ++k, length = 256)
        names.emplace_back(name, length);
    RegCloseKey(opened);
    std::sort(names.begin(), names.end());
    return names;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool Holds(const std::vector<std::wstring>& names, const wchar_t* name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::wstring& each) { return SameText(each, name); });
}

constexpr wchar_t kUnitCategory[] = L"{678C09A5-7D66-11D2-A67D-00105A42887F}";
constexpr std::pair<const wchar_t*, const wchar_t*> kCategoryNames[] = {
    {L"{678C09A1-7D66-11D2-A67D-00105A42887F}", L"CAPE-OPEN component"},
    {kUnitCategory, L"unit operation"},
    {L"{4150C28A-EE06-403F-A871-87AFEC38A249}", L"consumes thermodynamics"},
    {L"{0D562DC8-EA8E-4210-AB39-B66513C0CD09}", L"thermo 1.0"},
    {L"{4667023A-5A8E-4CCA-AB6D-9D78C5112FED}", L"thermo 1.1"},
};

constexpr const wchar_t* kDescriptionValues[] = {
    L"Name",      L"Description", L"CapeVersion", L"ComponentVersion",
    L"VendorURL", L"HelpURL",     L"About"};

}  // namespace

std::wstring Session::CheckRegistry() {
    const std::wstring classKey = L"CLSID\\" + GuidText(clsid_);
    auto finding = [&](const wchar_t* kind, const std::wstring& detail) {
        Line(L"    " + std::wstring(kind) + L": " + detail);
        verdict_.Add({L"unit", kind, detail});
    };
    auto shown = [](const std::optional<std::wstring>& text) {
        return text ? Quoted(*text) : std::wstring(L"missing");
    };
    // ProgID and class, both ways.
    const std::optional<std::wstring> progId = Text(classKey + L"\\ProgID", nullptr);
    const std::optional<std::wstring> independent =
        Text(classKey + L"\\VersionIndependentProgID", nullptr);
    Line(L"HKCR\\" + classKey + L"\\ProgID: " + shown(progId) + L", VersionIndependentProgID: " +
         shown(independent));
    const std::wstring& asked = options_.unit;
    const bool byProgId = asked[0] != L'{';
    if (!progId && !independent)
        finding(L"registry-progid", L"HKCR\\" + classKey + L"\\ProgID is missing");
    else if (byProgId && !SameText(progId.value_or(L""), asked) &&
             !SameText(independent.value_or(L""), asked))
        finding(L"registry-progid",
                L"HKCR\\" + classKey + L"\\ProgID is " + shown(progId) + L", not " + asked);
    for (const std::optional<std::wstring>* name : {&progId, &independent}) {
        if (!*name || (name != &progId && progId && SameText(*progId, **name))) continue;
        const std::optional<std::wstring> back = Text(**name + L"\\CLSID", nullptr);
        Line(L"HKCR\\" + **name + L"\\CLSID: " + shown(back));
        if (!back || !SameText(*back, GuidText(clsid_)))
            finding(L"registry-progid",
                    L"HKCR\\" + **name + L"\\CLSID is " + shown(back) + L", not the unit's class");
    }
    // The server and its threading model.
    const std::wstring inproc = classKey + L"\\InprocServer32";
    const std::optional<std::wstring> path = Text(inproc, nullptr);
    const std::optional<std::wstring> threading = Text(inproc, L"ThreadingModel");
    Line(L"HKCR\\" + inproc + L": " + shown(path) + L", ThreadingModel " + shown(threading));
    if (!path || path->empty())
        finding(L"registry-inprocserver32", L"HKCR\\" + inproc + L" names no DLL");
    if (!threading)
        finding(L"registry-inprocserver32", L"HKCR\\" + inproc + L" has no ThreadingModel");
    // The categories, the unit operation's among them.
    const std::wstring categoriesKey = classKey + L"\\Implemented Categories";
    const std::vector<std::wstring> implemented = Subkeys(categoriesKey);
    std::wstring categories;
    auto add = [&](const std::wstring& name) {
        categories += (categories.empty() ? L"" : L", ") + name;
    };
    for (const auto& [guid, name] : kCategoryNames)
        if (Holds(implemented, guid)) add(name);
    for (const std::wstring& category : implemented)
        if (std::none_of(std::begin(kCategoryNames), std::end(kCategoryNames),
                         [&](const auto& known) { return SameText(category, known.first); }))
            add(category);
    const bool unitCategory = Holds(implemented, kUnitCategory);
    Line(L"HKCR\\" + categoriesKey + L": " + (categories.empty() ? L"none" : categories));
    if (!unitCategory)
        finding(L"registry-category", L"HKCR\\" + categoriesKey + L"\\" + kUnitCategory +
                                          L" (unit operation) is missing");
    // What hosts show in their unit lists.
    const std::wstring descriptionKey = classKey + L"\\CapeDescription";
    for (const wchar_t* value : kDescriptionValues) {
        const std::optional<std::wstring> text = Text(descriptionKey, value);
        Line(L"HKCR\\" + descriptionKey + L" " + value + L": " + shown(text));
        if (!text)
            finding(L"registry-capedescription",
                    L"HKCR\\" + descriptionKey + L" has no value " + value);
    }
    // The type library: named by the class, registered, loadable.
    const std::optional<std::wstring> libid = Text(classKey + L"\\TypeLib", nullptr);
    GUID library{};
    if (!libid || FAILED(CLSIDFromString(libid->c_str(), &library))) {
        Line(L"HKCR\\" + classKey + L"\\TypeLib: " + shown(libid));
        finding(L"registry-typelib", L"HKCR\\" + classKey + L"\\TypeLib names no type library");
        return {};
    }
    const std::vector<std::wstring> versions = Subkeys(L"TypeLib\\" + *libid);
    const std::wstring version = versions.empty() ? L"" : versions.back();
    const size_t dot = version.find(L'.');
    ITypeLib* loaded = nullptr;
    const HRESULT hr =
        dot == std::wstring::npos
            ? TYPE_E_LIBNOTREGISTERED
            : LoadRegTypeLib(
                  library, static_cast<WORD>(std::wcstoul(version.c_str(), nullptr, 16)),
                  static_cast<WORD>(std::wcstoul(version.c_str() + dot + 1, nullptr, 16)), 0,
                  &loaded);
    Drop(loaded);
    Line(L"HKCR\\" + classKey + L"\\TypeLib: " + *libid + L", version " +
         (version.empty() ? L"none" : version) + L", LoadRegTypeLib " + Outcome(hr));
    if (FAILED(hr))
        finding(L"registry-typelib",
                L"HKCR\\TypeLib\\" + *libid + L" does not load: " + Outcome(hr));
    return {};
}

}  // namespace korvid::validate
