// The pictures of the form's owner-drawn buttons, drawn with GDI on a 16 by
// 16 design grid scaled to the button.
#pragma once

#include <windows.h>

namespace korvid::platform {

enum class ButtonPicture { CheckMark, Cross, Disk, OpenFolder };

// Draws a whole owner-drawn push button (face, picture, pressed and focus
// states) for WM_DRAWITEM.
void DrawPictureButton(const DRAWITEMSTRUCT& item, ButtonPicture picture);

}  // namespace korvid::platform
