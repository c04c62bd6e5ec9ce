// Component and universal constants.
#include "com_server/com_error.h"
#include "material_object/tessel.h"

namespace korvid::material_object {

com::Variant Tessel::ICapeThermoMaterialObject_GetUniversalConstant(const VARIANT&) { throw NotBuilt{}; }
com::Variant Tessel::ICapeThermoMaterialObject_GetComponentConstant(const VARIANT&, const VARIANT&) {
    throw NotBuilt{};
}
bool Tessel::IsComponentConstantName(std::wstring_view) const { throw NotBuilt{}; }
bool Tessel::IsKnownComponentId(std::wstring_view) const { throw NotBuilt{}; }

}  // namespace korvid::material_object
