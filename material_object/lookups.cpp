// Lookup and validation helpers: property, phase, basis and component checks.
#include "com_server/com_error.h"
#include "material_object/tessel.h"

namespace korvid::material_object {

bool Tessel::CheckNonCstProp(const VARIANT&, VARIANT*) { throw NotBuilt{}; }
bool Tessel::CheckCstProp(const VARIANT&, VARIANT*) { throw NotBuilt{}; }
bool Tessel::CheckGlobalVar(const VARIANT&) { throw NotBuilt{}; }
bool Tessel::IsInPhaseList(const VARIANT&) { throw NotBuilt{}; }
bool Tessel::CheckComponent(const VARIANT&) { throw NotBuilt{}; }
int16_t Tessel::GetCompIndex(const VARIANT&) { throw NotBuilt{}; }
int16_t Tessel::GetBasisIndex(std::wstring_view) { throw NotBuilt{}; }
int16_t Tessel::GetPhaseIndex(std::wstring_view) { throw NotBuilt{}; }

}  // namespace korvid::material_object
