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

TEST(Bitmap, RowsTo24BitsForEveryFormat)
{
    struct Case {
        const char* name;
        TPixelFormat format;
        TPalette palette;
        std::vector<uint8_t> row; // the stored bytes of a 3-pixel row
        std::vector<uint8_t> bgr;
    };
    const TPalette four = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}, {10, 11, 12, 0}};
    const Case cases[] = {
        {"1 bit with palette", TPixelFormat::pf1bit, {{0, 0, 0, 0}, {200, 100, 50, 0}}, {0xA0}, {50, 100, 200, 0, 0, 0, 50, 100, 200}},
        {"1 bit without palette", TPixelFormat::pf1bit, {}, {0x40}, {0, 0, 0, 255, 255, 255, 0, 0, 0}},
        {"4 bits", TPixelFormat::pf4bit, four, {0x31, 0x20}, {12, 11, 10, 6, 5, 4, 9, 8, 7}},
        {"4 bits without palette", TPixelFormat::pf4bit, {}, {0xF0, 0x80}, {255, 255, 255, 0, 0, 0, 136, 136, 136}},
        {"8 bits beyond a short palette", TPixelFormat::pf8bit, four, {3, 200, 0}, {12, 11, 10, 0, 0, 0, 3, 2, 1}},
        {"15 bits", TPixelFormat::pf15bit, {}, {0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C}, {255, 0, 0, 0, 255, 0, 0, 0, 255}},
        {"24 bits", TPixelFormat::pf24bit, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"32 bits drops alpha", TPixelFormat::pf32bit, {}, {1, 2, 3, 99, 4, 5, 6, 0, 7, 8, 9, 255},
         {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"device", TPixelFormat::pfDevice, {}, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap b;
        b.SetPixelFormat(c.format);
        b.SetPalette(c.palette);
        b.SetSize(3, 1);
        std::copy(c.row.begin(), c.row.end(), b.ScanLine(0));
        std::vector<uint8_t> out(9, 0xEE);
        b.RowToBGR24(0, out.data());
        EXPECT_EQ(out, c.bgr);
        // The whole-bitmap conversions give the same, opaque at 32 bits.
        TBitmap wide(b);
        b.SetPixelFormat(TPixelFormat::pf24bit);
        EXPECT_EQ(std::vector<uint8_t>(b.ScanLine(0), b.ScanLine(0) + 9), c.bgr);
        if (c.format == TPixelFormat::pf32bit || c.format == TPixelFormat::pfDevice)
            continue; // their alpha stays as stored
        wide.SetPixelFormat(TPixelFormat::pf32bit);
        std::vector<uint8_t> bgra;
        for (size_t i = 0; i < c.bgr.size(); i += 3)
            bgra.insert(bgra.end(), {c.bgr[i], c.bgr[i + 1], c.bgr[i + 2], 255});
        EXPECT_EQ(std::vector<uint8_t>(wide.ScanLine(0), wide.ScanLine(0) + 12), bgra);
    }
}

TEST(Bitmap, PaletteRowsOfEveryWidthConvertPixelByPixel)
{
    // Widths around whole bytes of 1- and 4-bit pixels, against the per-pixel lookup.
    const TPalette palette = {{200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}, {9, 9, 9, 0}};
    for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit}) {
        for (int width : {1, 2, 3, 7, 8, 9, 15, 16, 17}) {
            SCOPED_TRACE(testing::Message() << BitsPerPixel(format) << " bits, " << width << " wide");
            TBitmap b;
            b.SetPixelFormat(format);
            b.SetPalette(palette);
            b.SetSize(width, 2);
            for (int y = 0; y < 2; ++y)
                for (size_t i = 0; i < b.RowBytes(); ++i)
                    b.ScanLine(y)[i] = uint8_t(0x93 * (i + 1) + 0x35 * y);
            std::vector<uint8_t> expected;
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < width; ++x) {
                    uint8_t bgr[3];
                    b.PixelBGR(x, y, bgr);
                    expected.insert(expected.end(), {bgr[0], bgr[1], bgr[2], 255});
                }
            TBitmap wide(b);
            wide.SetPixelFormat(TPixelFormat::pf32bit);
            std::vector<uint8_t> got;
            for (int y = 0; y < 2; ++y)
                got.insert(got.end(), wide.ScanLine(y), wide.ScanLine(y) + 4 * width);
            EXPECT_EQ(got, expected);
        }
    }
}

TEST(Bitmap, MoveToHandsThePixelsOver)
{
    TBitmap a;
    a.SetPixelFormat(TPixelFormat::pf8bit);
    a.SetPalette({{1, 2, 3, 0}});
    a.SetSize(2, 2);
    const uint8_t* pixels = a.Bits();
    TBitmap b;
    a.MoveTo(b);
    EXPECT_EQ(b.Bits(), pixels);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(b.Palette().size(), 1u);
    EXPECT_EQ(a.Width(), 0);
    EXPECT_EQ(a.Bits(), nullptr);
}

TEST(Bitmap, TheOneLimitCanBeLoweredForFuzzing)
{
    const TPictureLimits saved = PictureLimits();
    SetPictureLimits({100, 1000});
    TBitmap b;
    EXPECT_NO_THROW(b.SetSize(100, 10));
    EXPECT_THROW(b.SetSize(101, 1), EInvalidGraphic);
    EXPECT_THROW(b.SetSize(50, 21), EInvalidGraphic);
    try {
        CheckPictureSize(200, 3);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Picture too large (200 x 3 pixels)");
    }
    SetPictureLimits(saved);
    EXPECT_NO_THROW(b.SetSize(1000, 1000));
}
