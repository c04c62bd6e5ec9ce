// How the COM methods of the object run their bodies: the traced lines of a
// call are handed to the OS when it ends, a raised error becomes its HRESULT
// with IErrorInfo, and [out] parameters are checked, cleared first and
// filled only by a body that succeeds.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

#include "automation/com_error.h"
#include "automation/variant.h"
#include "component_definition/trace_report.h"

namespace korvid::com {

// Runs one method body: traced lines are flushed at its end, errors become
// HRESULTs with IErrorInfo.
template <typename Body>
HRESULT Run(REFIID iid, Body&& body) {
    component_definition::TraceScope trace;
    return ComCall(iid, std::forward<Body>(body));
}

template <typename Body>
HRESULT RunOutVariant(REFIID iid, VARIANT* out, Body&& body) {
    if (!out) return E_POINTER;
    VariantInit(out);
    return Run(iid, [&] { body().DetachTo(out); });
}

template <typename Body>
HRESULT RunOutBstr(REFIID iid, BSTR* out, Body&& body) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Run(iid, [&] { *out = AllocBstr(body()); });
}

template <typename T, typename Body>
HRESULT RunOutValue(REFIID iid, T* out, Body&& body) {
    if (!out) return E_POINTER;
    *out = T{};
    return Run(iid, [&] { *out = body(); });
}

inline VARIANT_BOOL Bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

}  // namespace korvid::com
