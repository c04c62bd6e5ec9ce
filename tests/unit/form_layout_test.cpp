// The definition form's arrangement under a small and a large font at several
// sizes: every control visible, whole and apart, the grid never lower than
// its header and three rows, extra room going to the grid.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/form_layout.h"

namespace korvid::platform {
namespace {

using namespace form_controls;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(FormLayout, ControlsFitApartAndExtraRoomGoesToTheGrid) {
    // charWidth, lineHeight, Label1, Option1, Option2, OK, radio box, grid row, scroll bar
    const FormMetrics fonts[] = {{5, 13, 135, 98, 128, 12, 19, 16, 17},
                                 {10, 24, 260, 190, 250, 22, 28, 28, 25}};
    for (const FormMetrics& m : fonts) {
        const ClientSize minimum = FormLayout::Minimum(m);
        const ClientSize preferred = FormLayout::Preferred(m);
        const FormLayout base = FormLayout::Arrange(m, minimum);
        for (ClientSize size :
             {minimum, preferred, ClientSize{minimum.width + 417, minimum.height + 233},
              ClientSize{minimum.width / 2, 10}}) {
            SCOPED_TRACE("font " + std::to_string(m.charWidth) + ", client " +
                         std::to_string(size.width) + "x" + std::to_string(size.height));
            const FormLayout l = FormLayout::Arrange(m, size);
            const RECT client{0, 0, std::max(size.width, minimum.width),
                              std::max(size.height, minimum.height)};
            for (int a = kFirstId; a <= kLastId; ++a) {
                const RECT& ra = l[static_cast<Id>(a)];
                EXPECT_TRUE(Width(ra) > 0 && Height(ra) > 0 && Inside(ra, client))
                    << "control " << a;
                for (int b = a + 1; b <= kLastId; ++b) {
                    const RECT& rb = l[static_cast<Id>(b)];
                    RECT common;
                    if (a == Frame2 &&
                        (b == ValidButton || b == CancelButton || b == Changefeild)) {
                        EXPECT_TRUE(Inside(rb, ra)) << "control " << b;
                    } else {
                        EXPECT_FALSE(IntersectRect(&common, &ra, &rb))
                            << "controls " << a << ", " << b;
                    }
                }
            }
            EXPECT_TRUE(Width(l[Label1]) >= m.label1Text &&
                        Width(l[Option2]) >= m.radioBox + m.option2Text &&
                        Height(l[Changefeild]) >= m.lineHeight + 4)
                << "texts fit";
            EXPECT_GE(Height(l[Grid]), 4 * m.gridRowHeight + m.scrollBar)
                << "header and three rows";
            EXPECT_EQ(Width(l[Grid]) - Width(base[Grid]), client.right - minimum.width);
            EXPECT_EQ(Height(l[Grid]) - Height(base[Grid]), client.bottom - minimum.height);
        }
        EXPECT_GE(Height(FormLayout::Arrange(m, preferred)[Grid]),
                  10 * m.gridRowHeight + m.scrollBar);
    }
}

}  // namespace
}  // namespace korvid::platform
