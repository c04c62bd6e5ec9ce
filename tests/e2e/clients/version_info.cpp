// korvid-e2e-version-info: what Windows shows of a file's version resource
// (the Details page of its properties), read through GetFileVersionInfo.
//
//   korvid-e2e-version-info.exe FILE...
//
// For each file prints "<name>: <field>=<value>" lines: Type (dll or app) and
// the fixed file and product versions, then each string of the first
// translation. Exit code 0 when every file has a version resource, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kStrings[] = {L"CompanyName",    L"FileDescription", L"FileVersion",
                                       L"InternalName",   L"LegalCopyright",  L"OriginalFilename",
                                       L"ProductName",    L"ProductVersion"};

std::wstring Dotted(DWORD ms, DWORD ls) {
    wchar_t text[48];
    std::swprintf(text, 48, L"%u.%u.%u.%u", HIWORD(ms), LOWORD(ms), HIWORD(ls), LOWORD(ls));
    return text;
}

bool PrintVersionInfo(const wchar_t* path) {
    const wchar_t* name = std::wcsrchr(path, L'\\');
    name = name ? name + 1 : path;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> data(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, data.data())) {
        std::wprintf(L"%ls: no version resource (error %lu)\n", name, GetLastError());
        return false;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof(*fixed) || fixed->dwSignature != VS_FFI_SIGNATURE) {
        std::wprintf(L"%ls: no fixed version information\n", name);
        return false;
    }
    std::wprintf(L"%ls: Type=%ls\n", name,
                 fixed->dwFileType == VFT_DLL ? L"dll" : fixed->dwFileType == VFT_APP ? L"app" : L"other");
    std::wprintf(L"%ls: FixedFileVersion=%ls\n", name,
                 Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str());
    std::wprintf(L"%ls: FixedProductVersion=%ls\n", name,
                 Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(*translation)) {
        std::wprintf(L"%ls: no translation\n", name);
        return false;
    }
    for (const wchar_t* field : kStrings) {
        wchar_t query[80];
        std::swprintf(query, 80, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
                      translation->codePage, field);
        wchar_t* value = nullptr;
        if (VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &length)) {
            std::wprintf(L"%ls: %ls=%ls\n", name, field, value);
        }
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (!PrintVersionInfo(argv[i])) status = 1;
    }
    return status;
}
