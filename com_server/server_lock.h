// Counts of live objects and server locks: the library may unload only when
// both are zero.
#pragma once

#include <windows.h>

#include <string>

namespace korvid::com {

void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool CanUnload();

// The module (DLL or test executable) that holds this code and its type library.
HMODULE ThisModule();
// Its full path, or empty when it cannot be had.
std::wstring ThisModulePath();

}  // namespace korvid::com
