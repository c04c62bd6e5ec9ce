// The real window of the definition form.
#pragma once

#include <windows.h>

#include "platform/definition_form_ui.h"

namespace korvid::platform {

// Creates the form's window for `state`, runs a modal message loop that
// forwards the user's actions to `handler`, and returns when state.closed.
//
// Around every event the window keeps the state and its controls in step:
// before the handler runs, the state receives the live properties of the
// controls that the user can change without an event of their own (which
// control has the focus, the edit box's selection); after it, the controls
// show the state: Label2, FileNameTxt, the option buttons, the edit box's
// text, selection and colours, and finally the focus (so a got-focus event
// that the handler causes sees the edit box's new text). Texts written by the
// window do not come back as change events.
//
// Without a display the window cannot be created: the call then returns at
// once (NoWindow) and state.closed stays false. A WM_QUIT ends the loop
// (Quit) and is posted again for the host's own loop, as modal loops do.
FormEnd RunDefinitionFormWindow(DefinitionFormState& state, DefinitionFormHandler& handler);

// The definition form's window while the calling thread shows one, else
// nullptr: the owner the clipboard is opened with.
HWND DefinitionFormWindowOfThread();

// Shows in the grid of the thread's form what the event being handled has
// changed so far, before a modal box or dialog stands in front of it; the
// rest is shown when the event is over.
void ShowFormGridChanges();

}  // namespace korvid::platform
