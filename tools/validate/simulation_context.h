// The simulation context the host hands the unit: it answers ICapeDiagnostic
// and prints what the unit pops up or logs.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace korvid::validate {

// A new context with one reference.
IDispatch* NewSimulationContext();

}  // namespace korvid::validate
