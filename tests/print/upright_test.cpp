#include <gtest/gtest.h>

#include <vector>

#include "imageio/orientation.h"
#include "print/core/rotate.h"
#include "print/core/upright.h"

using namespace tessaria;

namespace {

// Every pixel distinct: blue, green = x, y.
TBitmap Numbered(int w, int h, TPixelFormat format = TPixelFormat::pf24bit)
{
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.ScanLine(y) + 3 * x;
            p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(x * 31 + y * 17);
        }
    b.SetPixelFormat(format);
    return b;
}

} // namespace

// Where the stored pixel (x, y) of a w x h picture is seen, for each EXIF
// orientation as the standard defines it (the stored first row is the
// scene's top, right, bottom or left side; the first column its left,
// right, top or bottom).
TEST(Upright, EveryOrientationShowsTheSceneAsTheCameraSawIt)
{
    struct Case { int orientation; bool swaps; int (*X)(int x, int y, int w, int h); int (*Y)(int x, int y, int w, int h); };
    const Case cases[] = {
        {1, false, [](int x, int, int, int) { return x; }, [](int, int y, int, int) { return y; }},
        {2, false, [](int x, int, int w, int) { return w - 1 - x; }, [](int, int y, int, int) { return y; }},
        {3, false, [](int x, int, int w, int) { return w - 1 - x; }, [](int, int y, int, int h) { return h - 1 - y; }},
        {4, false, [](int x, int, int, int) { return x; }, [](int, int y, int, int h) { return h - 1 - y; }},
        {5, true, [](int, int y, int, int) { return y; }, [](int x, int, int, int) { return x; }},
        {6, true, [](int, int y, int, int h) { return h - 1 - y; }, [](int x, int, int, int) { return x; }},
        {7, true, [](int, int y, int, int h) { return h - 1 - y; }, [](int x, int, int w, int) { return w - 1 - x; }},
        {8, true, [](int, int y, int, int) { return y; }, [](int x, int, int w, int) { return w - 1 - x; }},
    };
    const int w = 7, h = 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        EXPECT_EQ(OrientationSwapsSides(c.orientation), c.swaps);
        const TBitmap stored = Numbered(w, h);
        TBitmap shown = Numbered(w, h);
        shown.SetOrientation(c.orientation);
        TurnUpright(shown);
        EXPECT_EQ(shown.Orientation(), OrientationNormal);
        ASSERT_EQ(shown.Width(), c.swaps ? h : w);
        ASSERT_EQ(shown.Height(), c.swaps ? w : h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* from = stored.ScanLine(y) + 3 * x;
                const uint8_t* to = shown.ScanLine(c.Y(x, y, w, h)) + 3 * c.X(x, y, w, h);
                ASSERT_TRUE(from[0] == to[0] && from[1] == to[1] && from[2] == to[2]) << x << ", " << y;
            }
    }
}

// Placing and printing turn by quarter turns only: a mirrored orientation
// takes the turn of its row direction, so that what remains is the mirror.
TEST(Upright, MirroredOrientationsTakeTheTurnOfTheirRows)
{
    const int turns[9] = {0, 0, 0, 180, 180, 270, 90, 90, 270};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        EXPECT_EQ(OrientationTurn(orientation), turns[orientation]);
        // The upright picture is the turned one, mirrored left to right or
        // top to bottom, or the turned one itself.
        TBitmap upright = Numbered(5, 3), turned = Numbered(5, 3);
        TurnUpright(upright, orientation);
        RotateByDegrees(turned, OrientationTurn(orientation));
        if (!OrientationMirrors(orientation)) {
            EXPECT_EQ(std::vector<uint8_t>(upright.Bits(), upright.Bits() + upright.RowBytes() * upright.Height()),
                      std::vector<uint8_t>(turned.Bits(), turned.Bits() + turned.RowBytes() * turned.Height()));
            continue;
        }
        bool leftRight = true, topBottom = true;
        for (int y = 0; y < upright.Height(); ++y)
            for (int x = 0; x < upright.Width(); ++x) {
                const uint8_t* u = upright.ScanLine(y) + 3 * x;
                leftRight &= std::equal(u, u + 3, turned.ScanLine(y) + 3 * (upright.Width() - 1 - x));
                topBottom &= std::equal(u, u + 3, turned.ScanLine(upright.Height() - 1 - y) + 3 * x);
            }
        EXPECT_TRUE(leftRight != topBottom);
    }
    for (int other : {0, 9, -1}) {
        TBitmap b = Numbered(5, 3);
        TurnUpright(b, other);
        EXPECT_EQ(b.Width(), 5);
        EXPECT_EQ(b.ScanLine(0)[3], 1); // pixel (1, 0) in place
    }
}

TEST(Upright, PaletteAndAlphaPicturesTurnAsTwentyFourBits)
{
    for (TPixelFormat format : {TPixelFormat::pf8bit, TPixelFormat::pf32bit, TPixelFormat::pf1bit}) {
        TBitmap b = Numbered(6, 2, format);
        TBitmap expected = b;
        expected.SetPixelFormat(TPixelFormat::pf24bit);
        TurnUpright(b, OrientationClockwise);
        ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
        ASSERT_EQ(b.Width(), 2);
        // The stored top-left pixel is now the top-right one.
        EXPECT_TRUE(std::equal(b.ScanLine(0) + 3, b.ScanLine(0) + 6, expected.ScanLine(0)));
    }
}
