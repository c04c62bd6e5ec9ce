// Registry entries of the server: ProgID, class, type library and interfaces.
#pragma once

#include <windows.h>

namespace korvid::com {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace korvid::com
