// Small COM helpers of the host: releasing, COM identity, arrays of doubles.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

namespace korvid::validate {

template <typename T>
void Drop(T*& pointer) {
    if (pointer) pointer->Release();
    pointer = nullptr;
}

// Whether two interface pointers belong to one object (their IUnknown).
inline bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return false;
    IUnknown *ia = nullptr, *ib = nullptr;
    a->QueryInterface(IID_PPV_ARGS(&ia));
    b->QueryInterface(IID_PPV_ARGS(&ib));
    const bool same = ia && ia == ib;
    Drop(ia);
    Drop(ib);
    return same;
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

// A new zero-based array of doubles, owned by the caller.
inline VARIANT DoubleArray(const std::vector<double>& values) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_R8;
    v.parray = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
    for (LONG k = 0; k < static_cast<LONG>(values.size()); ++k)
        SafeArrayPutElement(v.parray, &k, const_cast<double*>(&values[k]));
    return v;
}

}  // namespace korvid::validate
