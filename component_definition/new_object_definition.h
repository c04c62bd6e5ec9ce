// The definition that every new material object of either class begins with:
// the user's components through the definition form, or through the host's
// definition without a window (headless_definition.h).
#pragma once

#include "platform/platform.h"

namespace korvid::component_definition {

// Resets the thread's report switch and mismatch flag, then shows the
// definition form modally or, when the host gave the definition up front,
// runs the form's actions without a window. Where the form cannot finish
// (no desktop, WM_QUIT, a refused headless definition) the thread's module
// values are put back as this call found them and the error is raised:
// no object is to be made then. Returns how the new object's message boxes
// are shown: modally after the form, unattended after the host's definition.
platform::MessageMode DefineNewObject();

}  // namespace korvid::component_definition
