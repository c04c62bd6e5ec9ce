// The type library embedded in this module, and IDispatch answered from it.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "Korvid_h.h"

namespace korvid::com {

// The type information of one of our interfaces, from the embedded library.
ITypeInfo* TypeInfoOf(REFIID iid);

// The name of one of our interfaces ("ICapeThermoMaterial"), from the library.
std::wstring InterfaceName(REFIID iid);

// IDispatch::Invoke of interface `iid` implemented by `iface`, from the type
// library: the arguments are made ready for their parameters before the
// automation machinery sees them, a failed call answers no result, and
// SetProp and GetProp whose texts arrive as texts go the short way.
HRESULT InvokeThrough(REFIID iid, void* iface, DISPID id, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excep, UINT* argErr);

}  // namespace korvid::com
