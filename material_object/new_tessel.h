// A new object for the cloning operations. The COM shell above the logic
// supplies it: the object's interfaces are its business.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace korvid::material_object {

// A new Tessel, its start-up run (its definition form shown), as its default
// IDispatch owned by the caller. Raises the start-up's error on failure.
IDispatch* NewTesselDispatch();

}  // namespace korvid::material_object
