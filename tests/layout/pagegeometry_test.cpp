#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "layout/pagegeometry.h"

using namespace tessaria;

TEST(PageGeometry, LongerSideIs400AndLayoutPPIFollows)
{
    struct Case { TPrintableArea area; TPageGeometry expected; };
    const Case cases[] = {
        {{300, 300, 2250, 3000}, {300, 400, 0, 40}},   // 7.5 x 10 inches
        {{300, 300, 3000, 2250}, {400, 300, 1, 40}},   // 10 x 7.5 inches
        {{600, 600, 3000, 3000}, {400, 400, 0, 80}},   // square: portrait
        {{600, 600, 4500, 5460}, {330, 400, 0, 44}},   // letter at 600 dpi with margins and bands
        {{300, 600, 2250, 6000}, {150, 400, 0, 40}},   // proportions in pixels, inches from dpiY
    };
    for (const Case& c : cases) {
        const TPageGeometry g = ComputePageGeometry(c.area);
        EXPECT_EQ(g.Width, c.expected.Width) << c.area.Width << "x" << c.area.Height;
        EXPECT_EQ(g.Height, c.expected.Height) << c.area.Width << "x" << c.area.Height;
        EXPECT_EQ(g.Orientation, c.expected.Orientation) << c.area.Width << "x" << c.area.Height;
        EXPECT_EQ(g.LayoutPPI, c.expected.LayoutPPI) << c.area.Width << "x" << c.area.Height;
    }
}

TEST(PageGeometry, NoPrintableAreaIsAnErrorNotADivisionByZero)
{
    EXPECT_THROW(ComputePageGeometry({300, 300, 0, 3000}), Exception);
    EXPECT_THROW(ComputePageGeometry({300, 300, 3000, -20}), Exception);
}
