// Calculation, independent-variable and cloning operations.
#include "com_server/com_error.h"
#include "material_object/tessel.h"

namespace korvid::material_object {

void Tessel::ICapeThermoMaterialObject_CalcProp(const VARIANT&, const VARIANT&, std::wstring_view) {
    throw NotBuilt{};
}
void Tessel::ICapeThermoMaterialObject_CalcEquilibrium(std::wstring_view, const VARIANT&) { throw NotBuilt{}; }
void Tessel::ICapeThermoMaterialObject_SetIndependentVar(const VARIANT&, const VARIANT&) { throw NotBuilt{}; }
com::Variant Tessel::ICapeThermoMaterialObject_GetIndependentVar(const VARIANT&) { throw NotBuilt{}; }
IDispatch* Tessel::ICapeThermoMaterialObject_CreateMaterialObject() { throw NotBuilt{}; }
IDispatch* Tessel::ICapeThermoMaterialObject_Duplicate() { throw NotBuilt{}; }
bool Tessel::IsGlobalVarName(std::wstring_view) const { throw NotBuilt{}; }
com::Variant Tessel::copyVariant(const VARIANT&) { throw NotBuilt{}; }
com::Variant Tessel::displayRetVal(VARIANT*) { throw NotBuilt{}; }

}  // namespace korvid::material_object
