#include "platform/win32/form_layout.h"

#include <algorithm>

namespace korvid::platform {

namespace {

using namespace form_controls;

// Spacing and control sizes derived from the font.
struct Units {
    int margin;        // between the form's edge and the controls
    int gap;           // between neighbouring groups
    int pad;           // inside Frame2, and between the two picture buttons
    int editHeight;    // a single-line edit box
    int button;        // side of a square picture button
    int labelHeight;
    int radioHeight;
    int option1Width;
    int option2Width;
    int reportWidth;   // Label1 and FileNameTxt
    int okWidth;
    int strip;         // height of the top strip
    int frameMinWidth;
    int statusMinWidth;
    int gridMinHeight;
    int gridPreferredHeight;
};

Units UnitsOf(const FormMetrics& m) {
    const int u = std::max(1, m.charWidth);
    const int h = std::max(1, m.lineHeight);
    Units units{};
    units.margin = std::max(8, 2 * u);
    units.gap = std::max(4, u);
    units.pad = std::max(3, u / 2 + 1);
    units.editHeight = h + 8;
    units.button = units.editHeight + 4;
    units.labelHeight = h + 2;
    units.radioHeight = h + 4;
    units.option1Width = m.radioBox + m.option1Text + u;
    units.option2Width = m.radioBox + m.option2Text + u;
    units.reportWidth = std::max(m.label1Text + u, 30 * u);
    units.okWidth = std::max(m.okText + 6 * u, 14 * u);
    units.strip = std::max(units.button + 2 * units.pad,
                           units.labelHeight + 2 + units.editHeight);
    units.frameMinWidth = 2 * units.button + 16 * u + 4 * units.pad;
    units.statusMinWidth = 20 * u;
    const int row = std::max(1, m.gridRowHeight);
    units.gridMinHeight = 4 * row + m.scrollBar + 4;
    units.gridPreferredHeight = 10 * row + m.scrollBar + 4;
    return units;
}

int HeightAroundGrid(const Units& u) {
    return u.margin + u.strip + u.gap + u.gap + u.radioHeight + u.gap + u.button + u.margin;
}

RECT Box(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

}  // namespace

ClientSize FormLayout::Minimum(const FormMetrics& metrics) {
    const Units u = UnitsOf(metrics);
    const int strip = u.margin + u.frameMinWidth + 2 * u.gap + u.reportWidth + u.margin;
    const int options = u.margin + u.option1Width + 2 * u.gap + u.option2Width + u.margin;
    const int bottom = u.margin + 2 * u.button + u.pad + u.gap + u.statusMinWidth + u.gap +
                       u.okWidth + u.margin;
    return ClientSize{std::max({strip, options, bottom}), HeightAroundGrid(u) + u.gridMinHeight};
}

ClientSize FormLayout::Preferred(const FormMetrics& metrics) {
    const Units u = UnitsOf(metrics);
    const ClientSize minimum = Minimum(metrics);
    return ClientSize{std::max(minimum.width, 130 * std::max(1, metrics.charWidth)),
                      HeightAroundGrid(u) + u.gridPreferredHeight};
}

FormLayout FormLayout::Arrange(const FormMetrics& metrics, ClientSize client) {
    const Units u = UnitsOf(metrics);
    const ClientSize minimum = Minimum(metrics);
    const int width = std::max(client.width, minimum.width);
    const int height = std::max(client.height, minimum.height);
    const int right = width - u.margin;
    FormLayout layout;

    // Top strip: the report name at the right, Frame2 takes the rest.
    const int top = u.margin;
    const int reportLeft = right - u.reportWidth;
    const int block = u.labelHeight + 2 + u.editHeight;
    const int blockTop = top + (u.strip - block) / 2;
    layout.At(Label1) = RECT{reportLeft, blockTop, right, blockTop + u.labelHeight};
    layout.At(FileNameTxt) =
        RECT{reportLeft, blockTop + u.labelHeight + 2, right, blockTop + block};

    const RECT frame{u.margin, top, reportLeft - 2 * u.gap, top + u.strip};
    layout.At(Frame2) = frame;
    const int buttonTop = top + (u.strip - u.button) / 2;
    layout.At(ValidButton) = Box(frame.left + u.pad, buttonTop, u.button, u.button);
    layout.At(CancelButton) =
        Box(layout.At(ValidButton).right + u.pad, buttonTop, u.button, u.button);
    const int editTop = top + (u.strip - u.editHeight) / 2;
    layout.At(Changefeild) = RECT{layout.At(CancelButton).right + u.pad, editTop,
                                  frame.right - u.pad, editTop + u.editHeight};

    // Bottom row, then the options above it; the grid fills what is left.
    const int bottomTop = height - u.margin - u.button;
    layout.At(SaveButton) = Box(u.margin, bottomTop, u.button, u.button);
    layout.At(LoadButton) =
        Box(layout.At(SaveButton).right + u.pad, bottomTop, u.button, u.button);
    layout.At(OKButton) = RECT{right - u.okWidth, bottomTop, right, bottomTop + u.button};
    const int statusTop = bottomTop + (u.button - u.editHeight) / 2;
    layout.At(Label2) = RECT{layout.At(LoadButton).right + u.gap, statusTop,
                             layout.At(OKButton).left - u.gap, statusTop + u.editHeight};

    const int optionTop = bottomTop - u.gap - u.radioHeight;
    layout.At(Option1) = Box(u.margin, optionTop, u.option1Width, u.radioHeight);
    layout.At(Option2) = RECT{right - u.option2Width, optionTop, right, optionTop + u.radioHeight};

    layout.At(Grid) = RECT{u.margin, frame.bottom + u.gap, right, optionTop - u.gap};
    return layout;
}

}  // namespace korvid::platform
