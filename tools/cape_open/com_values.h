// Small COM values the tools that play host or unit share: a BSTR and a
// VARIANT that free themselves, new arrays of doubles or texts and the
// elements of one. A text or an array that cannot be allocated throws
// std::bad_alloc.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <initializer_list>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace korvid::cape_open {

// A BSTR that frees itself.
class Text {
public:
    explicit Text(const wchar_t* text) : s_(SysAllocString(text)) {
        if (!s_) throw std::bad_alloc();
    }
    ~Text() { SysFreeString(s_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    operator BSTR() const { return s_; }

private:
    BSTR s_;
};

// A VARIANT that clears itself.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    ~Var() { VariantClear(&v); }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
};

// A new zero-based array of the `count` doubles at `values` in `out`, which
// must hold nothing the caller still owns; the caller owns the array.
inline void PutDoubles(const double* values, size_t count, VARIANT* out) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(count));
    if (!array) throw std::bad_alloc();
    double* data = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
    for (size_t k = 0; k < count; ++k) data[k] = values[k];
    SafeArrayUnaccessData(array);
    out->vt = VT_ARRAY | VT_R8;
    out->parray = array;
}
inline void PutDoubles(const std::vector<double>& values, VARIANT* out) {
    PutDoubles(values.data(), values.size(), out);
}

// The elements of a one-dimensional array of doubles; none for anything else.
inline std::vector<double> Doubles(const VARIANT& value) {
    std::vector<double> out;
    if (value.vt != (VT_ARRAY | VT_R8) || !value.parray || SafeArrayGetDim(value.parray) != 1)
        return out;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(value.parray, 1, &lower);
    SafeArrayGetUBound(value.parray, 1, &upper);
    for (LONG k = lower; k <= upper; ++k) {
        double d = 0;
        SafeArrayGetElement(value.parray, &k, &d);
        out.push_back(d);
    }
    return out;
}

inline const wchar_t* CText(const wchar_t* text) { return text; }
inline const wchar_t* CText(const std::wstring& text) { return text.c_str(); }

// A new zero-based array of texts in `out`, as PutDoubles.
template <typename Texts>
void PutTexts(const Texts& texts, VARIANT* out) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(std::size(texts)));
    if (!array) throw std::bad_alloc();
    out->vt = VT_ARRAY | VT_BSTR;
    out->parray = array;
    LONG k = 0;
    for (const auto& text : texts) {
        const Text element(CText(text));
        if (FAILED(SafeArrayPutElement(array, &k, static_cast<BSTR>(element))))
            throw std::bad_alloc();
        ++k;
    }
}
inline void PutTexts(std::initializer_list<const wchar_t*> texts, VARIANT* out) {
    PutTexts<std::initializer_list<const wchar_t*>>(texts, out);
}

// The texts of a one-dimensional array of BSTR (a null element is ""); none
// for anything else.
inline std::optional<std::vector<std::wstring>> Texts(const VARIANT& value) {
    if (value.vt != (VT_ARRAY | VT_BSTR) || !value.parray || SafeArrayGetDim(value.parray) != 1)
        return std::nullopt;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(value.parray, 1, &lower);
    SafeArrayGetUBound(value.parray, 1, &upper);
    std::vector<std::wstring> texts;
    for (LONG k = lower; k <= upper; ++k) {
        BSTR text = nullptr;
        if (FAILED(SafeArrayGetElement(value.parray, &k, &text))) return std::nullopt;
        texts.emplace_back(text ? text : L"");
        SysFreeString(text);
    }
    return texts;
}

}  // namespace korvid::cape_open
