#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "imageio/bitmap.h"
#include "imageio/limits.h"

using namespace tessaria;

TEST(Bitmap, RowsArePaddedTo32Bits)
{
    struct Case { TPixelFormat format; int width; size_t rowBytes; };
    const Case cases[] = {
        {TPixelFormat::pf1bit, 1, 4},   {TPixelFormat::pf1bit, 33, 8}, {TPixelFormat::pf4bit, 9, 8},
        {TPixelFormat::pf8bit, 5, 8},   {TPixelFormat::pf15bit, 3, 8}, {TPixelFormat::pf24bit, 5, 16},
        {TPixelFormat::pf32bit, 3, 12}, {TPixelFormat::pfDevice, 1, 4},
    };
    for (const Case& c : cases) {
        TBitmap b;
        b.SetPixelFormat(c.format);
        b.SetSize(c.width, 2);
        EXPECT_EQ(b.RowBytes(), c.rowBytes) << int(c.format) << " " << c.width;
        EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), std::ptrdiff_t(c.rowBytes));
    }
}

TEST(Bitmap, ResizeKeepsTopLeftAndZeroesTheRest)
{
    TBitmap b;
    b.SetSize(2, 2);
    b.ScanLine(0)[0] = 7;
    b.ScanLine(1)[5] = 9;
    b.SetSize(3, 3);
    EXPECT_EQ(b.ScanLine(0)[0], 7);
    EXPECT_EQ(b.ScanLine(1)[5], 9);
    EXPECT_EQ(b.ScanLine(2)[0], 0);
    EXPECT_EQ(b.ScanLine(0)[8], 0);
}

TEST(Bitmap, SizeBeyondTheLimitRaisesBeforeAllocating)
{
    TBitmap b;
    EXPECT_THROW(b.SetSize(int(MaxPictureSide) + 1, 1), EInvalidGraphic);
    EXPECT_THROW(b.SetSize(60000, 60000), EInvalidGraphic);
    EXPECT_THROW(b.SetSize(-1, 1), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 0);
}

TEST(Bitmap, ConversionTo24BitsGivesEveryFormatsColours)
{
    TBitmap pal;
    pal.SetPixelFormat(TPixelFormat::pf4bit);
    pal.SetPalette({{10, 20, 30, 0}, {40, 50, 60, 0}});
    pal.SetSize(3, 1);
    pal.ScanLine(0)[0] = 0x10; // pixel 0 -> index 1, pixel 1 -> index 0
    pal.ScanLine(0)[1] = 0x10; // pixel 2 -> index 1
    pal.SetPixelFormat(TPixelFormat::pf24bit);
    const uint8_t* row = pal.ScanLine(0);
    EXPECT_EQ((std::vector<int>{row[0], row[1], row[2], row[3], row[4], row[5], row[6]}),
              (std::vector<int>{60, 50, 40, 30, 20, 10, 60}));

    TBitmap mono;
    mono.SetPixelFormat(TPixelFormat::pf1bit);
    mono.SetSize(2, 1);
    mono.ScanLine(0)[0] = 0x40; // second pixel set, no palette: white
    mono.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_EQ(mono.ScanLine(0)[0], 0);
    EXPECT_EQ(mono.ScanLine(0)[3], 255);

    TBitmap high;
    high.SetPixelFormat(TPixelFormat::pf15bit);
    high.SetSize(1, 1);
    high.ScanLine(0)[0] = 0x1F; // blue 31
    high.ScanLine(0)[1] = 0x7C; // red 31
    high.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_EQ(high.ScanLine(0)[0], 255);
    EXPECT_EQ(high.ScanLine(0)[1], 0);
    EXPECT_EQ(high.ScanLine(0)[2], 255);
}

TEST(Bitmap, CopiesAreDeep)
{
    TBitmap a;
    a.SetSize(1, 1);
    a.ScanLine(0)[0] = 5;
    TBitmap b(a);
    b.ScanLine(0)[0] = 6;
    EXPECT_EQ(a.ScanLine(0)[0], 5);
    EXPECT_EQ(b.ScanLine(0)[0], 6);
}
