// The published slot procedures: writing and reading one slot of the store.
#include "com_server/com_error.h"
#include "material_object/tessel.h"

namespace korvid::material_object {

com::Variant Tessel::setValues(SlotRef, int16_t, int16_t, int16_t, const VARIANT&) { throw NotBuilt{}; }
com::Variant Tessel::setVariantValues(SlotRef, int16_t, int16_t, int16_t, const VARIANT&) { throw NotBuilt{}; }
com::Variant Tessel::GetValues(SlotRef, int16_t, int16_t, int16_t) { throw NotBuilt{}; }
com::Variant Tessel::GetVariantValues(SlotRef, int16_t, int16_t, int16_t) { throw NotBuilt{}; }
void Tessel::setFraction(SAFEARRAY**, VARIANT*) { throw NotBuilt{}; }
void Tessel::setFractionValue(int16_t*, SAFEARRAY**, VARIANT*) { throw NotBuilt{}; }

}  // namespace korvid::material_object
