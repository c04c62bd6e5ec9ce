// The host's side of a run: creates the unit under test in this thread's
// apartment and takes it through the host life cycle (context, Initialize,
// identification, ports, one material object per material port, Validate,
// Calculate, the outlets read back, Disconnect, Terminate, release), printing
// each call with its outcome; the calls the unit makes on its material
// objects are recorded per port and judged at the end.
#pragma once

#include <string>

#include "tools/validate/options.h"
#include "tools/validate/verdict.h"

namespace korvid::validate {

// One run; its outcome goes to `verdict`.
void RunUnit(const Options& options, Verdict& verdict);

// Where the material objects write their reports (the folder beside the
// registered Korvid.dll, made when it is missing), or empty with the reason
// in `why` (registry.cpp).
std::wstring ReportsFolder(std::wstring* why);

// --list: the unit operations registered for hosts of this bitness, with
// their CapeDescription and the thermo versions they declare. Returns the
// exit code (registry.cpp).
int ListUnits();

// Whether the unit class declares (by its category) that it takes thermo
// 1.1 material objects (`v11`), else 1.0 ones (registry.cpp).
bool DeclaresThermo(const CLSID& unit, bool v11);

}  // namespace korvid::validate
