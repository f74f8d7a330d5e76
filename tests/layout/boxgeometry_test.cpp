#include <gtest/gtest.h>

#include "layout/boxgeometry.h"

using namespace tessaria;

namespace {
const char* Name(TDragMode m)
{
    switch (m) {
    case TDragMode::None: return "none";
    case TDragMode::Move: return "move";
    case TDragMode::LeftEdge: return "left";
    case TDragMode::RightEdge: return "right";
    case TDragMode::TopEdge: return "top";
    case TDragMode::BottomEdge: return "bottom";
    case TDragMode::TopLeft: return "top-left";
    case TDragMode::TopRight: return "top-right";
    case TDragMode::BottomLeft: return "bottom-left";
    case TDragMode::BottomRight: return "bottom-right";
    }
    return "?";
}
} // namespace

TEST(BoxGeometry, HitZonesAreOpenIntervalsAndTheFirstMatchWins)
{
    // A 100 x 80 box with 5-pixel handles: the middle squares span (47, 52) and (37, 42).
    struct Case { int x, y; TDragMode mode; TZoneCursor cursor; };
    const Case cases[] = {
        {0, 0, TDragMode::None, TZoneCursor::Unchanged},       // the outermost pixel is in no zone
        {1, 1, TDragMode::TopLeft, TZoneCursor::SizeNWSE},
        {4, 4, TDragMode::TopLeft, TZoneCursor::SizeNWSE},
        {5, 5, TDragMode::Move, TZoneCursor::Default},          // 5 is outside (0, 5)
        {2, 40, TDragMode::LeftEdge, TZoneCursor::SizeHorizontal},
        {2, 37, TDragMode::None, TZoneCursor::Default},         // left strip outside its handles: dead
        {2, 78, TDragMode::BottomLeft, TZoneCursor::SizeNESW},
        {98, 2, TDragMode::TopRight, TZoneCursor::SizeNESW},
        {98, 39, TDragMode::RightEdge, TZoneCursor::SizeHorizontal},
        {98, 76, TDragMode::BottomRight, TZoneCursor::SizeNWSE},
        {98, 20, TDragMode::None, TZoneCursor::Default},
        {50, 2, TDragMode::TopEdge, TZoneCursor::SizeVertical},
        {50, 78, TDragMode::BottomEdge, TZoneCursor::SizeVertical},
        {50, 40, TDragMode::None, TZoneCursor::Default},        // middle strip: selects, does not move
        {47, 40, TDragMode::Move, TZoneCursor::Default},
        {30, 40, TDragMode::Move, TZoneCursor::Default},
        {100, 40, TDragMode::None, TZoneCursor::Unchanged},
        {30, 80, TDragMode::None, TZoneCursor::Unchanged},
    };
    for (const Case& c : cases) {
        const THitZone z = HitZone(c.x, c.y, 100, 80, 5);
        EXPECT_STREQ(Name(z.Mode), Name(c.mode)) << c.x << "," << c.y;
        EXPECT_EQ(int(z.Cursor), int(c.cursor)) << c.x << "," << c.y;
    }
    // The outer pixel row and column: x = 0 is outside every strip of (0, B).
    EXPECT_EQ(HitZone(0, 40, 100, 80, 5).Mode, TDragMode::None);
    EXPECT_EQ(HitZone(50, 0, 100, 80, 5).Mode, TDragMode::None);
}

TEST(BoxGeometry, DragBoundsWithAndWithoutProportion)
{
    const QRect box(10, 20, 100, 80);
    struct Case { TDragMode mode; int x, y; bool keep; QRect expected; };
    const Case cases[] = {
        {TDragMode::Move, 30, 50, false, QRect(20, 40, 100, 80)}, // pressed at (20, 30)
        {TDragMode::RightEdge, 150, 40, true, QRect(10, 20, 150, 120)},
        {TDragMode::RightEdge, 150, 40, false, QRect(10, 20, 150, 80)},
        {TDragMode::LeftEdge, 10, 40, true, QRect(20, 20, 90, 72)},
        {TDragMode::LeftEdge, 10, 40, false, QRect(20, 20, 90, 80)},
        {TDragMode::TopEdge, 50, 8, true, QRect(10, 28, 90, 72)},
        {TDragMode::BottomEdge, 50, 96, true, QRect(10, 20, 120, 96)},
        {TDragMode::BottomEdge, 50, 96, false, QRect(10, 20, 100, 96)},
        {TDragMode::TopLeft, 10, 10, false, QRect(20, 30, 90, 70)},
        {TDragMode::TopLeft, 10, 0, true, QRect(20, 28, 90, 72)},      // bottom-right corner stays
        {TDragMode::TopRight, 50, 0, true, QRect(10, 60, 50, 40)},     // bottom-left corner stays
        {TDragMode::BottomLeft, 50, 0, true, QRect(60, 20, 50, 40)},   // top-right corner stays
        {TDragMode::BottomRight, 125, 0, true, QRect(10, 20, 125, 100)}, // top-left corner stays
        {TDragMode::BottomRight, 125, 90, false, QRect(10, 20, 125, 90)},
        {TDragMode::None, 125, 90, false, box},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DragBounds(c.mode, box, c.x, c.y, 20, 30, c.keep, 0.8L), c.expected) << Name(c.mode);
}

TEST(BoxGeometry, ARatioOfZeroDragsAsWithoutProportion)
{
    const QRect box(0, 0, 100, 80);
    for (TDragMode mode : {TDragMode::TopEdge, TDragMode::BottomEdge, TDragMode::LeftEdge, TDragMode::BottomRight})
        EXPECT_EQ(DragBounds(mode, box, 60, 60, 0, 0, true, 0.0L), DragBounds(mode, box, 60, 60, 0, 0, false, 0.0L))
            << Name(mode);
}

TEST(BoxGeometry, GuardAndBoxSizeRules)
{
    EXPECT_FALSE(AcceptableBounds(QRect(0, 0, 14, 100), 5));
    EXPECT_TRUE(AcceptableBounds(QRect(0, 0, 15, 15), 5));
    EXPECT_FALSE(AcceptableBounds(QRect(0, 0, 100, 14), 5));
    int stored = 0;
    struct Case { int in; bool ok; int out; };
    for (const Case c : {Case{6, true, 7}, {4, true, 5}, {3, true, 3}, {2, true, 3}, {50, true, 51}, {51, false, 0},
                         {1, false, 0}, {-4, false, 0}}) {
        EXPECT_EQ(NormalisedBoxSize(c.in, stored), c.ok) << c.in;
        if (c.ok) {
            EXPECT_EQ(stored, c.out) << c.in;
        }
    }
    const THandles h = HandlePositions(100, 80, 5);
    const QPoint expected[8] = {{0, 0}, {48, 0}, {95, 0}, {95, 38}, {95, 75}, {48, 75}, {0, 75}, {0, 38}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(h.Corner[i], expected[i]) << i;
}

TEST(BoxGeometry, ABoxKeepsTenPixelsOnItsPage)
{
    const QSize page(300, 400);
    struct Case { QRect in; QRect kept; bool reaches; };
    const Case cases[] = {
        {QRect(20, 30, 100, 80), QRect(20, 30, 100, 80), true},          // on the page: unchanged
        {QRect(-90, -70, 100, 80), QRect(-90, -70, 100, 80), true},       // exactly 10 x 10 left on it
        {QRect(-91, 0, 100, 80), QRect(-90, 0, 100, 80), false},
        {QRect(-5000, -5000, 100, 80), QRect(-90, -70, 100, 80), false},
        {QRect(290, 390, 100, 80), QRect(290, 390, 100, 80), true},
        {QRect(291, 391, 100, 80), QRect(290, 390, 100, 80), false},
        {QRect(9000, 100, 100, 80), QRect(290, 100, 100, 80), false},
        {QRect(-200, 100, 600, 80), QRect(-200, 100, 600, 80), true},     // wider than the page
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeptOnPage(c.in, page), c.kept) << c.in.x() << "," << c.in.y();
        EXPECT_EQ(ReachesPage(c.in, page), c.reaches) << c.in.x() << "," << c.in.y();
    }
}

TEST(BoxGeometry, NewBoxesAreGrabbableAndFitTheirPage)
{
    const QSize page(330, 400);
    struct Case { QSize wanted; QPoint at; QSize size; QPoint placed; };
    const Case cases[] = {
        {QSize(213, 160), QPoint(30, 40), QSize(213, 160), QPoint(30, 40)},   // fits: as asked, where dropped
        {QSize(213, 160), QPoint(300, 380), QSize(213, 160), QPoint(300, 380)}, // fits, but hangs over: the drop point
        {QSize(0, 160), QPoint(5, 5), QSize(15, 160), QPoint(5, 5)},          // a 1 x 2000 picture: 3 x BoxSize wide
        {QSize(480000, 160), QPoint(100, 100), QSize(330, 15), QPoint(0, 100)}, // 3000 x 1: page wide, moved onto it
        {QSize(640, 160), QPoint(200, 390), QSize(330, 82), QPoint(0, 318)},  // 82.5 halves to even
        {QSize(200, 800), QPoint(50, 50), QSize(100, 400), QPoint(50, 0)},
    };
    for (const Case& c : cases) {
        const QSize size = NewBoxSize(c.wanted, page, 5);
        EXPECT_EQ(size, c.size) << c.wanted.width() << "x" << c.wanted.height();
        EXPECT_EQ(NewBoxPosition(c.at, size, c.wanted, page), c.placed) << c.wanted.width() << "x" << c.wanted.height();
    }
}

TEST(BoxGeometry, ArrowStepsByAPixelOrToTheNextRasterLine)
{
    struct Case { int value, direction; bool raster; int expected; };
    const Case cases[] = {
        {37, 1, false, 38}, {37, -1, false, 36}, {37, 1, true, 40}, {37, -1, true, 30},
        {40, 1, true, 50},  {40, -1, true, 30},  {0, -1, true, -10}, {-3, -1, true, -10},
        {-3, 1, true, 0},   {-10, 1, true, 0},   {-10, -1, true, -20},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArrowStep(c.value, c.direction, c.raster), c.expected)
            << c.value << (c.direction > 0 ? " +" : " -") << (c.raster ? " raster" : "");
}
