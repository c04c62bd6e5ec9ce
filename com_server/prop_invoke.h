// A short way through IDispatch::Invoke for SetProp and GetProp, the calls a
// unit makes most. A script passes their texts as texts; the general way
// through the type library copies and coerces all six arguments before the
// call, which costs several times the call itself.
#pragma once

#include <windows.h>

#include <optional>

#include "Korvid_h.h"

namespace korvid::com {

// Calls GetProp or SetProp of `thermo` directly when `id` (a DISPID of
// ICapeThermoMaterialObject) names one of them and the arguments need no
// conversion: no named arguments, the method's own count, each text a BSTR
// or a by-reference variant holding one, each VARIANT by value or one
// reference deep. The outcome is then what the general way gives: a failure
// comes back as DISP_E_EXCEPTION with `excep` filled from the error
// information. Nothing when the call must take the general way.
std::optional<HRESULT> InvokePropDirect(ICapeThermoMaterialObject* thermo, DISPID id, WORD flags,
                                        const DISPPARAMS* params, VARIANT* result,
                                        EXCEPINFO* excep);

}  // namespace korvid::com
