#include <gtest/gtest.h>

#include "layout/layoutrules.h"
#include "layout/viewgeometry.h"

using namespace tessaria;

TEST(ViewGeometry, PageRectanglesOnTheScreenAndBack)
{
    struct Case { double zoom; QRect page; QRect screen; };
    const Case cases[] = {
        {1.0, QRect(-20, 5, 160, 40), QRect(-20, 5, 160, 40)},
        {0.5, QRect(11, 7, 101, 15), QRect(6, 4, 50, 7)},   // edges rounded: 5.5 -> 6, 56.0, 3.5 -> 4, 11.0
        {2.0, QRect(-20, 5, 160, 40), QRect(-40, 10, 320, 80)},
        {3.0, QRect(1, 1, 15, 15), QRect(3, 3, 45, 45)},
        {0.2, QRect(0, 0, 2, 2), QRect(0, 0, 1, 1)},        // never narrower than a pixel
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScreenRect(c.page, c.zoom), c.screen) << c.zoom;
        if (c.zoom >= 1) {
            EXPECT_EQ(PageRect(c.screen, c.zoom), c.page) << c.zoom;
        }
    }
    // Boxes that touch on the page touch on the screen at any zoom.
    for (double zoom : {0.3, 0.75, 1.7, 2.4}) {
        const QRect a = ScreenRect(QRect(13, 0, 37, 10), zoom), b = ScreenRect(QRect(50, 0, 21, 10), zoom);
        EXPECT_EQ(a.right() + 1, b.left()) << zoom;
    }
    EXPECT_EQ(PageDistance(30, 3.0), 10);
    EXPECT_EQ(PageDistance(-30, 0.5), -60);
}

TEST(ViewGeometry, TheSheetItsPageAndItsShadow)
{
    // Without margins at zoom 1: the page at (4, 4) with its shadow at (8, 8).
    TViewGeometry v = ViewGeometry(QSize(300, 400), {}, 1.0);
    EXPECT_EQ(v.Page, QRect(4, 4, 300, 400));
    EXPECT_EQ(v.Sheet, v.Page);
    EXPECT_EQ(v.Shadow, QRect(8, 8, 300, 400));
    EXPECT_EQ(v.Contents, QSize(8 + 299 + 9, 8 + 399 + 9));

    // Letter at 300 dpi with half-inch margins, a half-inch header and a
    // 0.4-inch footer: 2250 x 2730 dots to print on, from (150, 300).
    const TSheetMargins m = SheetMargins(2250, 2730, 150, 300, 2550, 3300, QSize(330, 400));
    EXPECT_NEAR(m.Left, 22.0, 1e-9);
    EXPECT_NEAR(m.Right, 22.0, 1e-9);
    EXPECT_NEAR(m.Top, 300 * 400 / 2730.0, 1e-9);
    EXPECT_NEAR(m.Bottom, 270 * 400 / 2730.0, 1e-9);
    v = ViewGeometry(QSize(330, 400), m, 2.0);
    EXPECT_EQ(v.Sheet, QRect(4, 4, 44 + 660 + 44, 88 + 800 + 79));
    EXPECT_EQ(v.Page, QRect(4 + 44, 4 + 88, 660, 800));
    EXPECT_EQ(v.Shadow, v.Sheet.translated(4, 4));
    EXPECT_EQ(SheetMargins(0, 10, 0, 0, 10, 10, QSize(5, 5)), TSheetMargins{}); // nothing to print on
}

TEST(ViewGeometry, FittingStepsAndThePointUnderThePointer)
{
    const TSheetMargins m{20, 40, 20, 40};
    // The sheet is 340 x 480 page pixels; 17 pixels of room go to offsets and shadow.
    EXPECT_NEAR(FitPageZoom(QSize(300, 400), m, QSize(697, 1977)), 2.0, 1e-9);
    EXPECT_NEAR(FitPageZoom(QSize(300, 400), m, QSize(2000, 977)), 2.0, 1e-9);
    EXPECT_NEAR(FitWidthZoom(QSize(300, 400), m, 1037), 3.0, 1e-9);
    EXPECT_EQ(FitPageZoom(QSize(300, 400), m, QSize(10, 10)), MinZoom);
    EXPECT_NEAR(StepZoom(2.0, 1), 2.5, 1e-12);
    EXPECT_NEAR(StepZoom(2.0, -2), 1.28, 1e-12);
    EXPECT_EQ(StepZoom(10.0, 3), MaxZoom);
    EXPECT_EQ(ClampZoom(std::nan("")), 1.0);

    // The page point under the anchor stays under it.
    const QRect before(4, 4, 300, 400), after(4, 4, 600, 800);
    const QPoint scroll(0, 0), anchor(100, 50);
    const QPoint kept = ScrollKeepingPoint(scroll, anchor, before, 1.0, after, 2.0);
    // Page point (96, 46) is at screen 4 + 192 = 196 and 4 + 92 = 96 now.
    EXPECT_EQ(kept, QPoint(196 - 100, 96 - 50));
}

TEST(LayoutRules, PositionReadOutInTheLocalesUnit)
{
    const QRect box(40, 80, 240, 160);
    EXPECT_EQ(PositionText(box, 40, QLocale(QLocale::English, QLocale::UnitedStates)),
              "at 1.000, 2.000  size 6.000 x 4.000 in");
    EXPECT_EQ(PositionText(box, 40, QLocale(QLocale::German, QLocale::Germany)),
              "at 25,4, 50,8  size 152,4 x 101,6 mm");
    struct Case { double length; bool mm; int pixels; };
    for (const Case c : {Case{1.5, false, 60}, {25.4, true, 40}, {-0.25, false, -10}, {9.5, true, 15}})
        EXPECT_EQ(PixelsFromUnits(c.length, 40, c.mm), c.pixels) << c.length;
    EXPECT_NEAR(UnitsFromPixels(15, 40, true), 9.525, 1e-12);
}
