// Shared by the C++ end-to-end clients and the fuzzer: owned VARIANTs and
// BSTRs, arrays from lists, the creation of Korvid.Tessel, each call printed
// with its HRESULT, error information and result for the tests to compare
// with the expected printout, and checks counted for the end marker.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "Korvid_h.h"
#include "tools/fuzz/arguments.h"

namespace korvid::e2e {

using fuzz::Describe;

struct Var : VARIANT {
    Var() { VariantInit(this); }
    Var(Var&& other) : Var() { std::swap<VARIANT>(*this, other); }
    Var& operator=(Var&& other) {
        std::swap<VARIANT>(*this, other);
        return *this;
    }
    ~Var() { VariantClear(this); }
};

struct Text {  // a BSTR argument
    BSTR s;
    Text(const wchar_t* text) : s(SysAllocString(text)) {}
    ~Text() { SysFreeString(s); }
    operator BSTR() const { return s; }
};

// One-dimensional arrays of texts and of doubles, from `lower`.
template <VARTYPE vt, typename T>
Var List(std::vector<T> items, LONG lower) {
    Var v;
    v.vt = VT_ARRAY | vt;
    v.parray = SafeArrayCreateVector(vt, lower, static_cast<ULONG>(items.size()));
    for (LONG k = 0, index = lower; k < static_cast<LONG>(items.size()); ++k, ++index) {
        if constexpr (vt == VT_BSTR)
            SafeArrayPutElement(v.parray, &index, Text(items[k].c_str()).s);
        else
            SafeArrayPutElement(v.parray, &index, &items[k]);
    }
    return v;
}
inline Var Names(std::vector<std::wstring> items, LONG lower = 0) {
    return List<VT_BSTR>(std::move(items), lower);
}
inline Var Numbers(std::vector<double> items, LONG lower = 0) {
    return List<VT_R8>(std::move(items), lower);
}

// A text in a VARIANT; Word(nullptr) is a slot for a BSTR result.
inline Var Word(const wchar_t* text) {
    Var v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

inline std::string Hex(HRESULT hr) {
    char text[16];
    return std::string(text,
                       std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr)));
}

// Checks print their failures; Finish prints the end marker the tests look for.
inline int g_failures = 0;
inline void Check(bool ok, const std::string& what) {
    if (ok) return;
    std::printf("FAIL: %s\n", what.c_str());
    ++g_failures;
}
inline int Finish() {
    std::printf("END failures=%d\n", g_failures);
    return g_failures ? 1 : 0;
}

// The error information a failed call left, as "source" | "description".
inline std::string ErrorInfo() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK) return "no error information";
    BSTR source = nullptr, description = nullptr;
    info->GetSource(&source);
    info->GetDescription(&description);
    info->Release();
    const std::string text = Describe(source, true) + " | " + Describe(description, true);
    SysFreeString(source);
    SysFreeString(description);
    return text;
}

// Prints "what: HRESULT", the error information of a failure, and a result.
inline void Print(const std::string& what, HRESULT hr, const VARIANT* result = nullptr) {
    const std::string info = FAILED(hr) ? " " + ErrorInfo() : "",
                      value = result ? " " + Describe(*result, true) : "";
    std::printf("%s: %s%s%s\n", what.c_str(), Hex(hr).c_str(), info.c_str(), value.c_str());
    std::fflush(stdout);
}

// GetProp(prop, "vapor", Empty, "", "") by name through IDispatch::Invoke,
// its texts as texts; `excep` gets the EXCEPINFO's scode, source and description.
inline HRESULT InvokeGetProp(IDispatch* face, const wchar_t* prop, VARIANT* result,
                             std::string* excep) {
    const wchar_t* name = L"GetProp";
    DISPID id = 0;
    face->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(&name), 1, 0, &id);
    Var args[5];
    args[4] = Word(prop), args[3] = Word(L"vapor"), args[1] = Word(L""), args[0] = Word(L"");
    DISPPARAMS params{args, nullptr, 5, 0};
    EXCEPINFO e{};
    const HRESULT hr = face->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, &e, nullptr);
    *excep =
        Hex(e.scode) + " " + Describe(e.bstrSource, true) + " " + Describe(e.bstrDescription, true);
    for (BSTR text : {e.bstrSource, e.bstrDescription, e.bstrHelpFile}) SysFreeString(text);
    return hr;
}

// Creates a Korvid.Tessel (its definition form opens), asked for `Iface`.
template <typename Iface>
HRESULT Create(Iface** object) {
    CLSID clsid{};
    const HRESULT hr = CLSIDFromProgID(L"Korvid.Tessel", &clsid);
    return FAILED(hr)
               ? hr
               : CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(object));
}

// The server's own answer whether it may be unloaded.
inline HRESULT ServerCanUnload() {
    const auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"Korvid.dll"), "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

}  // namespace korvid::e2e
