// What regsvr32 writes and removes for the sample unit.
#pragma once

#include <windows.h>

namespace korvid::sample_unit {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace korvid::sample_unit
