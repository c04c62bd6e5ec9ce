#include "tools/validate/output.h"

#include <cstdio>
#include <cwchar>
#include <utility>

#include "tools/cape_open/com_values.h"

namespace korvid::validate {

namespace {

std::function<void(const std::wstring&)>& Tap() {
    static std::function<void(const std::wstring&)> tap;
    return tap;
}

void Write(DWORD which, FILE* stream, const std::wstring& text) {
    const std::wstring line = text + L"\n";
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size,
                        nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

// The names of the CAPE-OPEN HRESULTs, from 0x80040501 on.
constexpr const wchar_t* kCapeErrors[] = {
    L"ECapeUnknown",
    L"ECapeData",
    L"ECapeLicenceError",
    L"ECapeBadCOParameter",
    L"ECapeBadArgument",
    L"ECapeInvalidArgument",
    L"ECapeOutOfBounds",
    L"ECapeImplementation",
    L"ECapeNoImpl",
    L"ECapeLimitedImpl",
    L"ECapeComputation",
    L"ECapeOutOfResources",
    L"ECapeNoMemory",
    L"ECapeTimeOut",
    L"ECapeFailedInitialisation",
    L"ECapeSolvingError",
    L"ECapeBadInvOrder",
    L"ECapeInvalidOperation",
    L"ECapePersistence",
    L"ECapeIllegalAccess",
    L"ECapePersistenceNotFound",
    L"ECapePersistenceSystemError",
    L"ECapePersistenceOverflow",
    L"ECapeOutsideSolverScope",
    L"ECapeHessianInfoNotAvailable",
    L"ECapeThrmPropertyNotAvailable",
};

const wchar_t* HresultName(HRESULT hr) {
    const auto code = static_cast<unsigned long>(hr);
    if (code >= 0x80040501UL && code < 0x80040501UL + std::size(kCapeErrors))
        return kCapeErrors[code - 0x80040501UL];
    switch (hr) {
        case E_FAIL:
            return L"E_FAIL";
        case E_NOTIMPL:
            return L"E_NOTIMPL";
        case E_NOINTERFACE:
            return L"E_NOINTERFACE";
        case E_INVALIDARG:
            return L"E_INVALIDARG";
        case E_POINTER:
            return L"E_POINTER";
        case E_OUTOFMEMORY:
            return L"E_OUTOFMEMORY";
        case E_UNEXPECTED:
            return L"E_UNEXPECTED";
        case DISP_E_EXCEPTION:
            return L"DISP_E_EXCEPTION";
        case REGDB_E_CLASSNOTREG:
            return L"REGDB_E_CLASSNOTREG";
        case CO_E_CLASSSTRING:
            return L"CO_E_CLASSSTRING";
        default:
            return nullptr;
    }
}

}  // namespace

void Line(const std::wstring& text) {
    Write(STD_OUTPUT_HANDLE, stdout, text);
    if (Tap()) Tap()(text);
}

void SetLineTap(std::function<void(const std::wstring&)> tap) { Tap() = std::move(tap); }

bool WriteUtf8File(const std::wstring& path, const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

void ErrorLine(const std::wstring& text) { Write(STD_ERROR_HANDLE, stderr, text); }

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring Outcome(HRESULT hr) {
    if (hr == S_OK) return L"ok";
    const wchar_t* name = HresultName(hr);
    return name ? Hex(hr) + L" " + name : Hex(hr);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }
std::wstring Quoted(BSTR text) {
    return Quoted(text ? std::wstring(text, SysStringLen(text)) : std::wstring());
}

std::wstring Number(double value) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%.10g", value);
    return text;
}

std::wstring Numbers(const std::vector<double>& values) {
    std::wstring text = L"[";
    for (size_t k = 0; k < values.size(); ++k) text += (k ? L" " : L"") + Number(values[k]);
    return text + L"]";
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
    return text;
}

std::wstring VariantText(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY:
            return L"empty";
        case VT_R8:
            return Number(value.dblVal);
        case VT_R4:
            return Number(value.fltVal);
        case VT_I4:
            return std::to_wstring(value.lVal);
        case VT_I2:
            return std::to_wstring(value.iVal);
        case VT_BOOL:
            return value.boolVal ? L"true" : L"false";
        case VT_BSTR:
            return Quoted(value.bstrVal);
        case VT_ARRAY | VT_R8:
            return Numbers(cape_open::Doubles(value));
        default:
            return L"VARTYPE " + std::to_wstring(value.vt);
    }
}

}  // namespace korvid::validate
