#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "print/core/rotate.h"

using namespace tessaria;

namespace {

TBitmap Numbered(int w, int h)
{
    // Every pixel distinct: blue, green = x, y; red a checksum.
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.ScanLine(y) + 3 * x;
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x * 31 + y * 17);
        }
    return b;
}

std::vector<uint8_t> At(const TBitmap& b, int x, int y)
{
    const uint8_t* p = b.ScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

struct Size { int w, h; };
const Size Sizes[] = {{1, 1}, {1, 5}, {5, 1}, {2, 3}, {7, 4}, {130, 67}, {64, 64}, {65, 129}};

} // namespace

TEST(Rotate, QuarterAndHalfTurnsMovePixels)
{
    struct Turn {
        const char* name;
        void (*apply)(TBitmap&);
        bool swaps;
        // where (x, y) of a w x h picture lands
        void (*to)(int w, int h, int x, int y, int& tx, int& ty);
    };
    const Turn turns[] = {
        {"clockwise", RotateClockwise, true, [](int, int h, int x, int y, int& tx, int& ty) { tx = h - 1 - y; ty = x; }},
        {"anticlockwise", RotateAnticlockwise, true,
         [](int w, int, int x, int y, int& tx, int& ty) { tx = y; ty = w - 1 - x; }},
        {"half", RotateHalfTurn, false,
         [](int w, int h, int x, int y, int& tx, int& ty) { tx = w - 1 - x; ty = h - 1 - y; }},
    };
    for (const Turn& turn : turns)
        for (const Size s : Sizes) {
            const TBitmap original = Numbered(s.w, s.h);
            TBitmap b(original);
            turn.apply(b);
            ASSERT_EQ(b.Width(), turn.swaps ? s.h : s.w) << turn.name << " " << s.w << "x" << s.h;
            ASSERT_EQ(b.Height(), turn.swaps ? s.w : s.h) << turn.name << " " << s.w << "x" << s.h;
            for (int y = 0; y < s.h; ++y)
                for (int x = 0; x < s.w; ++x) {
                    int tx, ty;
                    turn.to(s.w, s.h, x, y, tx, ty);
                    ASSERT_EQ(At(b, tx, ty), At(original, x, y))
                        << turn.name << " " << s.w << "x" << s.h << " pixel (" << x << "," << y << ")";
                }
        }
}

TEST(Rotate, FourQuarterTurnsGiveThePictureBack)
{
    for (const Size s : Sizes) {
        const TBitmap original = Numbered(s.w, s.h);
        TBitmap cw(original), acw(original), half(original);
        for (int i = 0; i < 4; ++i) {
            RotateClockwise(cw);
            RotateAnticlockwise(acw);
        }
        RotateHalfTurn(half);
        RotateHalfTurn(half);
        for (const TBitmap* b : {&cw, &acw, &half}) {
            ASSERT_EQ(b->Width(), s.w);
            ASSERT_EQ(b->Height(), s.h);
            for (int y = 0; y < s.h; ++y)
                ASSERT_EQ(std::vector<uint8_t>(b->ScanLine(y), b->ScanLine(y) + 3 * s.w),
                          std::vector<uint8_t>(original.ScanLine(y), original.ScanLine(y) + 3 * s.w))
                    << s.w << "x" << s.h << " row " << y;
        }
        TBitmap two(original);
        RotateClockwise(two);
        RotateClockwise(two);
        RotateHalfTurn(two);
        EXPECT_EQ(std::vector<uint8_t>(two.ScanLine(0), two.ScanLine(0) + 3 * s.w),
                  std::vector<uint8_t>(original.ScanLine(0), original.ScanLine(0) + 3 * s.w));
    }
}

TEST(Rotate, ByDegreesAndEmptyBitmaps)
{
    const TBitmap original = Numbered(3, 2);
    TBitmap b(original);
    RotateByDegrees(b, 90);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(At(b, 1, 0), At(original, 0, 0));
    RotateByDegrees(b, 270);
    EXPECT_EQ(At(b, 0, 0), At(original, 0, 0));
    RotateByDegrees(b, 180);
    EXPECT_EQ(At(b, 0, 0), At(original, 2, 1));
    RotateByDegrees(b, 0);
    EXPECT_EQ(At(b, 0, 0), At(original, 2, 1));

    TBitmap empty;
    empty.SetSize(0, 4);
    RotateClockwise(empty);
    EXPECT_EQ(empty.Width(), 4);
    EXPECT_EQ(empty.Height(), 0);
    RotateHalfTurn(empty);
}
