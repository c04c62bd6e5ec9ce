#include "platform/win32/form_window.h"

namespace korvid::platform {

void RunDefinitionFormWindow(DefinitionFormState&, DefinitionFormHandler&) {}

}  // namespace korvid::platform
