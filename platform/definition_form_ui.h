// The contract between the definition form's logic (component_definition)
// and the window that shows it (platform/win32, or the scripted stand-in).
//
// The logic owns a DefinitionFormState and implements DefinitionFormHandler.
// The window shows the state, forwards every user action to the handler as
// the matching event, and re-reads the state after each event. Whatever the
// logic needs from the window while handling an event (text measurement, the
// pop-up menu, focus) it asks through FormWindow.
#pragma once

#include <string>

#include "platform/grid_model.h"

namespace korvid::platform {

// Background of the in-place edit box.
enum class EditBackground {
    Initial,  // as the form was loaded
    Editing,  // COLOR_HIGHLIGHTTEXT (system colour 14)
    Idle,     // COLOR_ACTIVEBORDER (system colour 10)
};

enum class FormFocus { None, Grid, EditBox, ReportName };

struct EditBoxState {
    std::wstring text;
    int selStart = 0;
    int selLength = 0;
    EditBackground background = EditBackground::Initial;
    bool blackText = false;  // text colour set to black (0) by SelectEditText
};

// Everything the window shows. Before each event the window also writes the
// controls' live values that a person changes without an event of their own:
// `focus` and the edit box's `selStart` / `selLength`.
struct DefinitionFormState {
    static constexpr int kColumns = 17;
    static constexpr int kInitialRows = 10;

    GridModel grid{kInitialRows, kColumns};
    EditBoxState changefeild;      // Changefeild
    std::wstring fileNameTxt;      // FileNameTxt: report name
    std::wstring label2;           // Label2: status line
    bool option1 = true;           // Option1 "Use Name as CompID" selected (else Option2)
    FormFocus focus = FormFocus::None;
    bool closed = false;           // set by the logic when the form hides and unloads
};

// How a modal showing of the form ended.
enum class FormEnd {
    Closed,    // the logic closed it (state.closed)
    NoWindow,  // its window could not be created (no desktop)
    Quit,      // WM_QUIT reached the thread first; it is posted again
};

// What the logic may ask of the window that shows the form.
class FormWindow {
public:
    virtual ~FormWindow() = default;
    // Width of `text` in twips, measured with the form's font.
    virtual int TextWidthTwips(const std::wstring& text) = 0;
    // Shows the CopyPaste pop-up menu at the mouse; the choice comes back as
    // OnMenuCopy / OnMenuPaste before this returns.
    virtual void PopupCopyPasteMenu() = 0;
};

// Events of the form, as a person produces them. Implemented by the logic.
class DefinitionFormHandler {
public:
    virtual ~DefinitionFormHandler() = default;

    virtual void OnFormLoad(FormWindow& window) = 0;
    // A close request (window close command, shutdown); true when it may close.
    virtual bool OnCloseRequest(FormWindow& window) = 0;

    virtual void OnOkClick(FormWindow& window) = 0;
    virtual void OnLoadClick(FormWindow& window) = 0;
    virtual void OnSaveClick(FormWindow& window) = 0;
    // A program handed the form a file to load, as if chosen in Load's
    // dialog; true when the grid was filled.
    virtual bool OnFileHanded(FormWindow& window, const std::wstring& path) = 0;
    virtual void OnReportNameChange(FormWindow& window, const std::wstring& text) = 0;
    virtual void OnOptionClick(FormWindow& window, bool option1) = 0;

    // Grid: a click on cell (row, col) has already made it current.
    virtual void OnGridClick(FormWindow& window) = 0;
    virtual void OnGridKeyPress(FormWindow& window, int charCode) = 0;
    virtual void OnGridMouseDown(FormWindow& window, int button) = 0;
    virtual void OnMenuCopy(FormWindow& window) = 0;
    virtual void OnMenuPaste(FormWindow& window) = 0;

    // The edit box and its two buttons.
    virtual void OnEditGotFocus(FormWindow& window) = 0;
    // The edit box's text as the window holds it before the key; returns
    // true when the key is consumed (must not reach the box).
    virtual bool OnEditKeyPress(FormWindow& window, int charCode) = 0;
    // The user changed the box's text (typing); keeps the state in step.
    virtual void OnEditTextChange(FormWindow& window, const std::wstring& text) = 0;
    virtual void OnValidClick(FormWindow& window) = 0;
    virtual void OnCancelClick(FormWindow& window) = 0;
};

}  // namespace korvid::platform
