// Where the controls of the definition form go, computed in one place from
// the metrics of the form's font, so that the form keeps its arrangement under
// any font, DPI or window size. Pure arithmetic: no window is needed.
//
// Arrangement, top to bottom: a strip with Frame2 at the left (check-mark
// button, cross button, then the edit box) and Label1 above FileNameTxt at the
// right; the grid across the whole width; Option1 at the left and Option2 at
// the right; a bottom row with SaveButton, LoadButton, the wide status line
// Label2 and OKButton at the right.
#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/form_controls.h"

namespace korvid::platform {

// Measured with the form's font, in pixels.
struct FormMetrics {
    int charWidth = 0;     // average character width
    int lineHeight = 0;    // height of a line of text
    int label1Text = 0;    // width of Label1's text
    int option1Text = 0;   // width of Option1's text
    int option2Text = 0;   // width of Option2's text
    int okText = 0;        // width of "OK"
    int radioBox = 0;      // the radio button's circle and the space after it
    int gridRowHeight = 0; // one grid row
    int scrollBar = 0;     // thickness of a scroll bar
};

struct ClientSize {
    int width = 0;
    int height = 0;
};

// Rectangles in the form's client coordinates, indexed by control id.
class FormLayout {
public:
    static ClientSize Minimum(const FormMetrics& metrics);
    // Room for the header and nine data rows of the grid.
    static ClientSize Preferred(const FormMetrics& metrics);
    // Every control's place for a client area of `client` (at least Minimum).
    static FormLayout Arrange(const FormMetrics& metrics, ClientSize client);

    const RECT& operator[](form_controls::Id id) const { return rects_[id - form_controls::kFirstId]; }

private:
    RECT& At(form_controls::Id id) { return rects_[id - form_controls::kFirstId]; }

    std::array<RECT, form_controls::kControlCount> rects_{};
};

}  // namespace korvid::platform
