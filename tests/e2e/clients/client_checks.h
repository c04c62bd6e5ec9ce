// Checks for the C++ end-to-end clients: each prints what it expected and
// what it got; Finish() prints the end marker the test scripts look for.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace korvid::e2e {

inline int g_failures = 0;

inline void Check(bool condition, const std::string& what) {
    std::printf("%s: %s\n", condition ? "ok" : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!condition) ++g_failures;
}

inline std::string Narrow(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

inline std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// The error information of the last failed call: "source|description".
inline std::wstring LastErrorInfo() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return L"<none>";
    BSTR source = nullptr, description = nullptr;
    info->GetSource(&source);
    info->GetDescription(&description);
    std::wstring text = std::wstring(source ? source : L"") + L"|" + (description ? description : L"");
    SysFreeString(source);
    SysFreeString(description);
    info->Release();
    return text;
}

inline void CheckError(HRESULT hr, HRESULT expected, const std::wstring& info,
                       const std::string& what) {
    Check(hr == expected, what + ": HRESULT " + Hex(hr) + " expected " + Hex(expected));
    std::wstring got = LastErrorInfo();
    Check(got == info, what + ": error info [" + Narrow(got) + "] expected [" + Narrow(info) + "]");
}

// Creates a Korvid.Tessel by its ProgID (its definition form opens) and asks
// for interface `Iface`; checks that the creation succeeded.
template <typename Iface>
Iface* CreateTessel(REFIID iid) {
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(L"Korvid.Tessel", &clsid);
    Iface* object = nullptr;
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                              reinterpret_cast<void**>(&object));
    }
    Check(hr == S_OK && object, "CoCreateInstance " + Hex(hr));
    return object;
}

inline int Finish() {
    std::printf("END failures=%d\n", g_failures);
    std::fflush(stdout);
    return g_failures > 100 ? 100 : g_failures;
}

}  // namespace korvid::e2e
