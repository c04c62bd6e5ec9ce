// The real window of the definition form.
#pragma once

#include "platform/definition_form_ui.h"

namespace korvid::platform {

// Creates the form's window for `state`, runs a modal message loop that
// forwards the user's actions to `handler`, and returns when state.closed.
void RunDefinitionFormWindow(DefinitionFormState& state, DefinitionFormHandler& handler);

}  // namespace korvid::platform
