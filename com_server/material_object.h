// The COM face of a Material, the CAPE-OPEN 1.1 class: one object answering
// ICapeThermoMaterial (its default dual interface), ICapeIdentification,
// ICapeThermoCompounds, ICapeThermoPhases, ICapeThermoUniversalConstant,
// ICapeThermoPropertyRoutine, ICapeThermoEquilibriumRoutine, the CAPE-OPEN
// error interfaces and ISupportErrorInfo, with one reference count. IDispatch
// is answered from the 1.1 type library embedded in this module.
#pragma once

#include <windows.h>

namespace korvid::com {

// Creates a Material (its start-up shows the definition form) and returns
// the interface `iid` of it. Failures come back as their HRESULT with
// IErrorInfo set; no object remains alive then.
HRESULT CreateMaterialObject(REFIID iid, void** result);

}  // namespace korvid::com
