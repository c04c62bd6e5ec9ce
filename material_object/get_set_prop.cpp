// GetProp and SetProp.
#include "com_server/com_error.h"
#include "material_object/tessel.h"

namespace korvid::material_object {

com::Variant Tessel::ICapeThermoMaterialObject_GetProp(std::wstring_view, std::wstring_view,
                                                       const VARIANT&, std::wstring_view,
                                                       std::wstring_view) {
    throw NotBuilt{};
}

void Tessel::ICapeThermoMaterialObject_SetProp(std::wstring_view, std::wstring_view,
                                               const VARIANT&, std::wstring_view,
                                               std::wstring_view, const VARIANT&) {
    throw NotBuilt{};
}

}  // namespace korvid::material_object
