// Reading the typed results of the object in the C++ end-to-end clients:
// the element type, the dimensions and bounds, and the elements themselves.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/clients/argument_shapes.h"
#include "tests/e2e/clients/client_checks.h"

namespace korvid::e2e {

// An owned VARIANT for arguments and results.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    ~Var() { VariantClear(&v); }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
};

inline void MakeStrings(Var& out, const std::vector<std::wstring>& items, LONG lower = 0) {
    PutStrings(&out.v, items, lower);
}
inline void MakeDoubles(Var& out, const std::vector<double>& values, LONG lower = 0) {
    PutDoubles(&out.v, values, lower);
}

// A BSTR that frees itself.
struct Bstr {
    BSTR s;
    explicit Bstr(const wchar_t* text) : s(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(s); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return s; }
};

inline std::string Join(const std::vector<double>& values) {
    std::string text;
    for (double value : values) {
        char number[32];
        std::snprintf(number, sizeof number, "%.17g", value);
        text += (text.empty() ? "" : " ") + std::string(number);
    }
    return "{" + text + "}";
}

// The shape of an array result: "vt=... dims=... 0..2" with the bounds of
// every dimension, leftmost first (LBound(a, 1) .. UBound(a, 1), ...).
inline std::string Shape(const VARIANT& result) {
    char text[64];
    std::snprintf(text, sizeof text, "vt=0x%04X", result.vt);
    std::string shape = text;
    if (!(result.vt & VT_ARRAY) || !result.parray) return shape + " no array";
    const UINT dims = SafeArrayGetDim(result.parray);
    for (UINT d = 1; d <= dims; ++d) {
        LONG lower = 0, upper = 0;
        SafeArrayGetLBound(result.parray, d, &lower);
        SafeArrayGetUBound(result.parray, d, &upper);
        shape += " " + std::to_string(lower) + ".." + std::to_string(upper);
    }
    return shape;
}

// The elements of an array of doubles in storage order (the leftmost index
// varies fastest).
inline std::vector<double> DoublesOf(const VARIANT& result) {
    if (result.vt != (VT_ARRAY | VT_R8) || !result.parray) return {};
    ULONG count = 1;
    for (UINT d = 0; d < SafeArrayGetDim(result.parray); ++d) {
        count *= result.parray->rgsabound[d].cElements;
    }
    std::vector<double> values(count);
    double* data = nullptr;
    if (FAILED(SafeArrayAccessData(result.parray, reinterpret_cast<void**>(&data)))) return {};
    values.assign(data, data + count);
    SafeArrayUnaccessData(result.parray);
    return values;
}

inline std::vector<std::wstring> StringsOf(const VARIANT& result) {
    std::vector<std::wstring> items;
    if (result.vt != (VT_ARRAY | VT_BSTR) || !result.parray || SafeArrayGetDim(result.parray) != 1) {
        return items;
    }
    BSTR* data = nullptr;
    if (FAILED(SafeArrayAccessData(result.parray, reinterpret_cast<void**>(&data)))) return items;
    for (ULONG k = 0; k < result.parray->rgsabound[0].cElements; ++k) {
        items.emplace_back(data[k] ? data[k] : L"", SysStringLen(data[k]));
    }
    SafeArrayUnaccessData(result.parray);
    return items;
}

inline std::vector<VARIANT_BOOL> BooleansOf(const VARIANT& result) {
    std::vector<VARIANT_BOOL> items;
    if (result.vt != (VT_ARRAY | VT_BOOL) || !result.parray) return items;
    VARIANT_BOOL* data = nullptr;
    if (FAILED(SafeArrayAccessData(result.parray, reinterpret_cast<void**>(&data)))) return items;
    items.assign(data, data + result.parray->rgsabound[0].cElements);
    SafeArrayUnaccessData(result.parray);
    return items;
}

// "vt=0x2005 0..N-1" for a one-dimensional result of N doubles.
inline std::string VectorShape(VARTYPE elementType, size_t count) {
    char text[64];
    std::snprintf(text, sizeof text, "vt=0x%04X 0..%d", VT_ARRAY | elementType,
                  static_cast<int>(count) - 1);
    return text;
}

inline ULONG RefCount(IUnknown* unknown) {
    unknown->AddRef();
    return unknown->Release();
}

// The server's own answer to whether it may be unloaded.
inline void CheckServerMayUnload() {
    HMODULE server = GetModuleHandleW(L"Korvid.dll");
    Check(server != nullptr, "the server is loaded in process");
    if (!server) return;
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
    Check(canUnload && canUnload() == S_OK, "DllCanUnloadNow answers S_OK with no object left");
}

}  // namespace korvid::e2e
