// The COM face of a Tessel: one object answering _Tessel (its default dual
// interface), ICapeIdentification, ICapeThermoMaterialObject and
// ISupportErrorInfo, with one reference count. Each interface is a small
// member struct that forwards to the material object's logic; IDispatch is
// answered from the type library embedded in this module.
#pragma once

#include <windows.h>

#include "Korvid_h.h"

namespace korvid::com {

// Creates a Tessel (its start-up shows the definition form) and returns the
// interface `iid` of it. Failures of the start-up come back as their HRESULT
// with IErrorInfo set; no object remains alive then.
HRESULT CreateTesselObject(REFIID iid, void** result);

}  // namespace korvid::com
