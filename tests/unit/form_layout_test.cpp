// The definition form's arrangement under small, ordinary and large fonts,
// at its minimum, preferred and a larger size.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/form_layout.h"

namespace korvid::platform {
namespace {

using namespace form_controls;

struct FontCase {
    const char* name;
    FormMetrics metrics;
};

// charWidth, lineHeight, Label1, Option1, Option2, OK, radio box, grid row, scroll bar
const FontCase kFonts[] = {
    {"bitmap font 96 dpi", {5, 13, 135, 98, 128, 12, 19, 16, 17}},
    {"message font 96 dpi", {6, 16, 160, 115, 150, 14, 19, 20, 17}},
    {"message font 144 dpi", {10, 24, 260, 190, 250, 22, 28, 28, 25}},
};

enum class SizeKind { Minimum, Preferred, Larger, TooSmall };

ClientSize SizeFor(SizeKind kind, const FormMetrics& metrics) {
    const ClientSize minimum = FormLayout::Minimum(metrics);
    switch (kind) {
        case SizeKind::Minimum: return minimum;
        case SizeKind::Preferred: return FormLayout::Preferred(metrics);
        case SizeKind::Larger: return ClientSize{minimum.width + 417, minimum.height + 233};
        case SizeKind::TooSmall: return ClientSize{minimum.width / 2, 10};
    }
    return minimum;
}

const SizeKind kSizes[] = {SizeKind::Minimum, SizeKind::Preferred, SizeKind::Larger,
                           SizeKind::TooSmall};

const Id kAllControls[] = {Grid,   Frame2,      ValidButton, CancelButton, Changefeild,
                           Label1, FileNameTxt, Option1,     Option2,      SaveButton,
                           LoadButton, Label2,  OKButton};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
bool Overlap(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}
bool InFrame(Id id) { return id == ValidButton || id == CancelButton || id == Changefeild; }

// Runs `check` for every font and size, naming the case on failure.
void ForEachLayout(const std::function<void(const FormMetrics&, ClientSize, const FormLayout&)>& check) {
    for (const FontCase& font : kFonts) {
        for (SizeKind kind : kSizes) {
            const ClientSize size = SizeFor(kind, font.metrics);
            SCOPED_TRACE(std::string(font.name) + ", size kind " +
                         std::to_string(static_cast<int>(kind)));
            check(font.metrics, size, FormLayout::Arrange(font.metrics, size));
        }
    }
}

TEST(FormLayout, EveryControlFitsTheClientAreaAndItsText) {
    ForEachLayout([](const FormMetrics& m, ClientSize size, const FormLayout& layout) {
        const ClientSize minimum = FormLayout::Minimum(m);
        const RECT client{0, 0, std::max(size.width, minimum.width),
                          std::max(size.height, minimum.height)};
        for (Id id : kAllControls) {
            EXPECT_GT(Width(layout[id]), 0) << "control " << id;
            EXPECT_GT(Height(layout[id]), 0) << "control " << id;
            EXPECT_TRUE(Inside(layout[id], client)) << "control " << id;
        }
        EXPECT_GE(Width(layout[Label1]), m.label1Text);
        EXPECT_GE(Height(layout[Label1]), m.lineHeight);
        EXPECT_GE(Width(layout[Option1]), m.radioBox + m.option1Text);
        EXPECT_GE(Width(layout[Option2]), m.radioBox + m.option2Text);
        EXPECT_GE(Width(layout[OKButton]), m.okText);
        for (Id edit : {Changefeild, FileNameTxt, Label2}) {
            EXPECT_GE(Height(layout[edit]), m.lineHeight + 4) << "control " << edit;
        }
        EXPECT_GE(Width(layout[Changefeild]), 10 * m.charWidth);
        // The header and three rows above the horizontal scroll bar.
        EXPECT_GE(Height(layout[Grid]), 4 * m.gridRowHeight + m.scrollBar);
    });
}

TEST(FormLayout, NoControlsOverlapButFrame2AndWhatItHolds) {
    ForEachLayout([](const FormMetrics&, ClientSize, const FormLayout& layout) {
        for (Id a : kAllControls) {
            for (Id b : kAllControls) {
                if (a >= b) continue;
                const bool container = (a == Frame2 && InFrame(b)) || (b == Frame2 && InFrame(a));
                if (container) {
                    EXPECT_TRUE(Inside(layout[a == Frame2 ? b : a], layout[Frame2]))
                        << "control " << (a == Frame2 ? b : a) << " outside Frame2";
                } else {
                    EXPECT_FALSE(Overlap(layout[a], layout[b]))
                        << "controls " << a << " and " << b;
                }
            }
        }
    });
}

struct ArrangementRule {
    const char* rule;
    std::function<bool(const FormLayout&)> holds;
};

const ArrangementRule kArrangement[] = {
    {"check mark, cross, then the edit box from left to right",
     [](const FormLayout& l) {
         return l[ValidButton].right <= l[CancelButton].left &&
                l[CancelButton].right <= l[Changefeild].left;
     }},
    {"Frame2 at the left of the report name",
     [](const FormLayout& l) { return l[Frame2].right < l[Label1].left; }},
    {"Label1 above FileNameTxt, left-aligned with it",
     [](const FormLayout& l) {
         return l[Label1].bottom <= l[FileNameTxt].top && l[Label1].left == l[FileNameTxt].left;
     }},
    {"the report name at the right edge of the grid",
     [](const FormLayout& l) { return l[FileNameTxt].right == l[Grid].right; }},
    {"the grid under the whole strip",
     [](const FormLayout& l) {
         return l[Grid].top > l[Frame2].bottom && l[Grid].top > l[FileNameTxt].bottom;
     }},
    {"the grid as wide as the strip",
     [](const FormLayout& l) {
         return l[Grid].left == l[Frame2].left && l[Grid].right == l[FileNameTxt].right;
     }},
    {"Option1 under the grid at the left",
     [](const FormLayout& l) {
         return l[Option1].top > l[Grid].bottom && l[Option1].left == l[Grid].left;
     }},
    {"Option2 on Option1's row at the right",
     [](const FormLayout& l) {
         return l[Option2].top == l[Option1].top && l[Option2].right == l[Grid].right;
     }},
    {"the bottom row under the options",
     [](const FormLayout& l) {
         for (Id id : {SaveButton, LoadButton, Label2, OKButton}) {
             if (l[id].top <= l[Option1].bottom) return false;
         }
         return true;
     }},
    {"Save, Load, the status line and OK from left to right",
     [](const FormLayout& l) {
         return l[SaveButton].left == l[Grid].left && l[SaveButton].right <= l[LoadButton].left &&
                l[LoadButton].right < l[Label2].left && l[Label2].right < l[OKButton].left &&
                l[OKButton].right == l[Grid].right;
     }},
    {"the status line is the widest control of the bottom row",
     [](const FormLayout& l) {
         for (Id id : {SaveButton, LoadButton, OKButton}) {
             if (Width(l[id]) >= Width(l[Label2])) return false;
         }
         return true;
     }},
    {"the picture buttons are square and alike",
     [](const FormLayout& l) {
         for (Id id : {ValidButton, CancelButton, SaveButton, LoadButton}) {
             if (Width(l[id]) != Height(l[id]) || Width(l[id]) != Width(l[SaveButton])) {
                 return false;
             }
         }
         return true;
     }},
    {"the edit box and its buttons centred on one line",
     [](const FormLayout& l) {
         const auto middle = [](const RECT& r) { return (r.top + r.bottom) / 2; };
         return std::abs(middle(l[Changefeild]) - middle(l[ValidButton])) <= 1 &&
                std::abs(middle(l[ValidButton]) - middle(l[Frame2])) <= 1;
     }},
};

TEST(FormLayout, ControlsFollowTheFormsArrangement) {
    ForEachLayout([](const FormMetrics&, ClientSize, const FormLayout& layout) {
        for (const ArrangementRule& rule : kArrangement) {
            EXPECT_TRUE(rule.holds(layout)) << rule.rule;
        }
    });
}

TEST(FormLayout, ExtraRoomGoesToTheGridTheEditBoxAndTheStatusLine) {
    struct Growth {
        int width;
        int height;
    };
    const Growth kGrowths[] = {{1, 0}, {0, 1}, {150, 0}, {0, 90}, {333, 211}};
    for (const FontCase& font : kFonts) {
        const ClientSize base = FormLayout::Minimum(font.metrics);
        const FormLayout before = FormLayout::Arrange(font.metrics, base);
        for (const Growth& g : kGrowths) {
            SCOPED_TRACE(std::string(font.name) + " grown by " + std::to_string(g.width) + "x" +
                         std::to_string(g.height));
            const FormLayout after = FormLayout::Arrange(
                font.metrics, ClientSize{base.width + g.width, base.height + g.height});
            EXPECT_EQ(Width(after[Grid]), Width(before[Grid]) + g.width);
            EXPECT_EQ(Height(after[Grid]), Height(before[Grid]) + g.height);
            EXPECT_EQ(Width(after[Frame2]), Width(before[Frame2]) + g.width);
            EXPECT_EQ(Width(after[Changefeild]), Width(before[Changefeild]) + g.width);
            EXPECT_EQ(Width(after[Label2]), Width(before[Label2]) + g.width);
            for (Id fixed : {ValidButton, CancelButton, Option1, SaveButton, LoadButton}) {
                EXPECT_EQ(Width(after[fixed]), Width(before[fixed])) << "control " << fixed;
                EXPECT_EQ(after[fixed].left, before[fixed].left) << "control " << fixed;
            }
            for (Id right : {Label1, FileNameTxt, Option2, OKButton}) {
                EXPECT_EQ(after[right].left, before[right].left + g.width) << "control " << right;
            }
            for (Id low : {Option1, Option2, SaveButton, LoadButton, Label2, OKButton}) {
                EXPECT_EQ(after[low].top, before[low].top + g.height) << "control " << low;
            }
            for (Id high : {Frame2, Changefeild, Label1, FileNameTxt, Grid}) {
                EXPECT_EQ(after[high].top, before[high].top) << "control " << high;
            }
        }
    }
}

TEST(FormLayout, PreferredSizeShowsTheHeaderAndNineRowsAndIsNoSmallerThanTheMinimum) {
    for (const FontCase& font : kFonts) {
        SCOPED_TRACE(font.name);
        const ClientSize minimum = FormLayout::Minimum(font.metrics);
        const ClientSize preferred = FormLayout::Preferred(font.metrics);
        EXPECT_GE(preferred.width, minimum.width);
        EXPECT_GT(preferred.height, minimum.height);
        const FormLayout layout = FormLayout::Arrange(font.metrics, preferred);
        EXPECT_GE(Height(layout[Grid]),
                  10 * font.metrics.gridRowHeight + font.metrics.scrollBar);
    }
}

}  // namespace
}  // namespace korvid::platform
