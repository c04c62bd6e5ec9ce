// What another program needs to find its way around the definition form's
// window: the caption, the control ids, the grid's class and its registered
// messages. Shared by the form window and by the tools that drive it through
// window messages (korvid-autofill, the GUI checker), so it depends on
// nothing but the C++ language.
#pragma once

namespace korvid::platform::form_controls {

inline constexpr wchar_t kFormCaption[] = L"Material Object Definition";
inline constexpr wchar_t kFormClassName[] = L"KorvidDefinitionForm";
// Frame2: a plain container that draws an etched edge around its children.
inline constexpr wchar_t kFrameClassName[] = L"KorvidFrame";
inline constexpr wchar_t kGridClassName[] = L"KorvidGrid";

// Registered window messages answered by the grid window (no arguments):
// the current cell as MAKELRESULT(row, col), and the number of rows, both as
// the grid shows them to a person.
inline constexpr wchar_t kGridCurrentCellMessage[] = L"KorvidGridCurrentCell";
inline constexpr wchar_t kGridRowCountMessage[] = L"KorvidGridRowCount";
// wParam row, lParam column: where a person sees that cell, as the centre of
// its visible part in the grid's client coordinates, MAKELRESULT(x, y); -1
// when no part of it is in view.
inline constexpr wchar_t kGridCellPointMessage[] = L"KorvidGridCellPoint";

// WM_COPYDATA's dwData for "load this .como file": lpData holds the path
// in UTF-16 (cbData bytes, a terminating null optional). The form loads it as
// if it had been chosen in Load's dialog and answers with a LoadFileAnswer.
// Programs that fill the form skip the common file dialog this way.
inline constexpr unsigned long kLoadFileCopyData = 0x4B4C4F44;  // "KLOD"
// The form's answer. Not now (0, also what a window that does not know the
// message, or a send that was never delivered, gives): the form is still
// starting (its message loop has not run yet), has a dialog or menu of its
// own open, or is busy with another event; it loaded nothing, and the same
// file may be handed again. Nothing: the file could not be read or held no
// component; the status line says why, and handing it again changes nothing.
enum LoadFileAnswer : long {
    kLoadNotNow = 0,
    kLoadFilled = 1,
    kLoadNothing = 2,
};
// The longest path the form takes so, in characters (the long-path limit).
inline constexpr unsigned long kLoadFileMaxChars = 32767;

// Control ids. ValidButton, CancelButton and Changefeild are children of
// Frame2; every other control is a child of the form itself. The ids stay
// clear of IDOK and IDCANCEL, which the dialog manager sends for Enter and
// Escape.
enum Id : int {
    Grid = 1001,
    Frame2,
    ValidButton,
    CancelButton,
    Changefeild,
    Label1,
    FileNameTxt,
    Option1,
    Option2,
    SaveButton,
    LoadButton,
    Label2,
    OKButton,
};
inline constexpr int kFirstId = Grid;
inline constexpr int kLastId = OKButton;
inline constexpr int kControlCount = kLastId - kFirstId + 1;

// Commands of the CopyPaste pop-up menu.
enum MenuCommand : int { mnuCopy = 1, mnuPaste = 2 };

// Window texts of the picture buttons: not drawn, but they name the buttons
// for tooltips, accessibility tools and test drivers.
inline constexpr wchar_t kValidButtonText[] = L"Accept";
inline constexpr wchar_t kCancelButtonText[] = L"Cancel";
inline constexpr wchar_t kSaveButtonText[] = L"Save";
inline constexpr wchar_t kLoadButtonText[] = L"Load";

}  // namespace korvid::platform::form_controls
