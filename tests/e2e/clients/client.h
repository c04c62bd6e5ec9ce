// Shared by the C++ end-to-end clients and the fuzzer: owned VARIANTs and
// BSTRs, typed arrays from lists, the creation of Korvid.Tessel, a printout
// of each call (HRESULT, error information, result) for the tests to compare
// with the expected one, and checks that count failures for the end marker.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

#include "Korvid_h.h"
#include "tools/fuzz/arguments.h"

namespace korvid::e2e {

using fuzz::Describe;

struct Var : VARIANT {
    Var() { VariantInit(this); }
    Var(Var&& other) : VARIANT(other) { VariantInit(&other); }
    Var& operator=(Var&& other) {
        VariantClear(this);
        *static_cast<VARIANT*>(this) = other;
        VariantInit(&other);
        return *this;
    }
    ~Var() { VariantClear(this); }
};

struct Text {
    BSTR s;
    Text(const wchar_t* text) : s(SysAllocString(text)) {}
    ~Text() { SysFreeString(s); }
    operator BSTR() const { return s; }
};

// A one-dimensional array of texts or of doubles, from `lower`.
template <typename T>
Var List(std::vector<T> items, LONG lower = 0) {
    constexpr bool texts = std::is_same_v<T, std::wstring>;
    Var v;
    v.vt = VT_ARRAY | (texts ? VT_BSTR : VT_R8);
    v.parray = SafeArrayCreateVector(texts ? VT_BSTR : VT_R8, lower, static_cast<ULONG>(items.size()));
    for (LONG k = 0, index = lower; k < static_cast<LONG>(items.size()); ++k, ++index) {
        if constexpr (texts) SafeArrayPutElement(v.parray, &index, Text(items[k].c_str()).s);
        else SafeArrayPutElement(v.parray, &index, &items[k]);
    }
    return v;
}
inline Var Names(std::vector<std::wstring> items, LONG lower = 0) { return List(std::move(items), lower); }
inline Var Numbers(std::vector<double> items, LONG lower = 0) { return List(std::move(items), lower); }

inline std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

inline int g_failures = 0;

inline void Check(bool condition, const std::string& what) {
    if (!condition && ++g_failures) std::printf("FAIL: %s\n", what.c_str());
}

// The end marker the test scripts look for.
inline int Finish() {
    std::printf("END failures=%d\n", g_failures);
    return g_failures ? 1 : 0;
}

// The error information a failed call left: "source | description".
inline std::string ErrorInfo() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return "no error information";
    BSTR source = nullptr, description = nullptr;
    info->GetSource(&source);
    info->GetDescription(&description);
    info->Release();
    const std::string text = Describe(source, true) + " | " + Describe(description, true);
    SysFreeString(source);
    SysFreeString(description);
    return text;
}

// Prints "what: HRESULT", the error information of a failure, and the result.
inline void Print(const std::string& what, HRESULT hr, const VARIANT* result = nullptr) {
    std::string line = what + ": " + Hex(hr) + (FAILED(hr) ? " " + ErrorInfo() : "");
    std::printf("%s%s\n", line.c_str(), result ? (" " + Describe(*result, true)).c_str() : "");
    std::fflush(stdout);
}

// A new Korvid.Tessel (its definition form opens), asked for `Iface`.
template <typename Iface>
Iface* Create(REFIID iid) {
    CLSID clsid{};
    Iface* object = nullptr;
    HRESULT hr = CLSIDFromProgID(L"Korvid.Tessel", &clsid);
    if (SUCCEEDED(hr)) hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&object));
    Check(hr == S_OK && object, "CoCreateInstance " + Hex(hr));
    return object;
}

// The server's own answer whether it may be unloaded.
inline HRESULT ServerCanUnload() {
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"Korvid.dll"), "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

}  // namespace korvid::e2e
