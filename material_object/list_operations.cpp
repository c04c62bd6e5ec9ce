// List and check operations.
#include "com_server/com_error.h"
#include "material_object/tessel.h"

namespace korvid::material_object {

com::Variant Tessel::ICapeThermoMaterialObject_ComponentIds() { throw NotBuilt{}; }
com::Variant Tessel::ICapeThermoMaterialObject_PhaseIds() { throw NotBuilt{}; }
com::Variant Tessel::ICapeThermoMaterialObject_PropCheck(const VARIANT&) { throw NotBuilt{}; }
com::Variant Tessel::ICapeThermoMaterialObject_AvailableProps() { throw NotBuilt{}; }
void Tessel::ICapeThermoMaterialObject_RemoveResults(const VARIANT&) { throw NotBuilt{}; }
com::Variant Tessel::ICapeThermoMaterialObject_ValidityCheck(const VARIANT&) { throw NotBuilt{}; }
com::Variant Tessel::ICapeThermoMaterialObject_GetPropList() { throw NotBuilt{}; }
int32_t Tessel::ICapeThermoMaterialObject_GetNumComponents() { throw NotBuilt{}; }

}  // namespace korvid::material_object
