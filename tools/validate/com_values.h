// Small COM helpers of the host: releasing and COM identity (its values:
// tools/cape_open/com_values.h).
#pragma once

#include <windows.h>
#include <oaidl.h>

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

}  // namespace korvid::validate
