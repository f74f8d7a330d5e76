#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "imageio/colourconv.h"

using namespace tessaria;

namespace {

using Bytes = std::vector<uint8_t>;

// 16-bit samples in the machine's order, as readers hand them over.
Bytes Samples16(std::initializer_list<uint16_t> values)
{
    Bytes b(values.size() * 2);
    size_t i = 0;
    for (uint16_t v : values) {
        std::memcpy(b.data() + i, &v, 2);
        i += 2;
    }
    return b;
}

} // namespace

TEST(ColourConversions, CmykGivesBlueGreenRed)
{
    struct Case { const char* name; Bytes cmyk; Bytes bgr; };
    const Case cases[] = {
        {"K = 255 is black whatever C, M, Y", {12, 200, 77, 255}, {0, 0, 0}},
        {"no ink is white", {0, 0, 0, 0}, {255, 255, 255}},
        {"full cyan", {255, 0, 0, 0}, {255, 255, 0}},
        {"yellow under half black", {0, 0, 255, 128}, {0, 127, 127}},
        // C=100, k=50: 100 - round(100*50/255)=20 + 50 = 130 -> 125
        {"rounded multiply-divide", {100, 0, 0, 50}, {205, 205, 125}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out(3, 0xEE);
        ConvertCMYK(c.cmyk.data(), out.data(), 8, 4);
        EXPECT_EQ(out, c.bgr);
        // The planar form agrees with the interleaved one.
        Bytes planar(3, 0xEE);
        ConvertCMYKPlanar(&c.cmyk[0], &c.cmyk[1], &c.cmyk[2], &c.cmyk[3], 4, 8, planar.data());
        EXPECT_EQ(planar, c.bgr);
    }
    // 16 bits: the parenthesis in 16-bit units, shifted down by 8.
    const Bytes s16 = Samples16({0xFFFF, 0, 0x8000, 0});
    Bytes out(3);
    ConvertCMYK(s16.data(), out.data(), 16, 4);
    EXPECT_EQ(out, (Bytes{127, 255, 0}));
    const Bytes black16 = Samples16({1, 2, 3, 0xFFFF});
    ConvertCMYK(black16.data(), out.data(), 16, 4);
    EXPECT_EQ(out, (Bytes{0, 0, 0}));
}

TEST(ColourConversions, LabEndsAndMiddle)
{
    struct Case { const char* name; Bytes lab; Bytes bgr; };
    const Case cases[] = {
        {"L 255 is white", {255, 0, 0}, {255, 255, 255}},
        {"L 0 is black", {0, 0, 0}, {0, 0, 0}},
        // Dark colours take the linear branch below L* 7.9996.
        {"dark red-ish", {10, 20, 0}, {1, 0, 5}},
        {"mid grey", {128, 0, 0}, {47, 47, 47}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out(3, 0xEE), planar(3, 0xEE);
        ConvertLab(c.lab.data(), out.data(), 3);
        ConvertLabPlanar(&c.lab[0], &c.lab[1], &c.lab[2], 3, planar.data());
        EXPECT_EQ(out, c.bgr);
        EXPECT_EQ(planar, c.bgr);
    }
}

TEST(ColourConversions, RgbOrdersAndSampleSizes)
{
    Bytes out(8, 0xEE);
    ConvertRGB(Bytes{1, 2, 3, 4, 5, 6, 7}.data(), out.data(), 8, 7); // 7 div 3 = 2 pixels
    EXPECT_EQ(out, (Bytes{3, 2, 1, 6, 5, 4, 0xEE, 0xEE}));

    const Bytes s16 = Samples16({0x1122, 0x3344, 0x5566, 0x7788});
    out.assign(8, 0xEE);
    ConvertRGBA(s16.data(), out.data(), 16, 4);
    EXPECT_EQ(out, (Bytes{0x55, 0x33, 0x11, 0x77, 0xEE, 0xEE, 0xEE, 0xEE}));

    out.assign(8, 0xEE);
    const Bytes r{10, 11}, g{20, 21}, b{30, 31};
    ConvertRGBPlanar(r.data(), g.data(), b.data(), 6, 8, out.data());
    EXPECT_EQ(out, (Bytes{30, 20, 10, 31, 21, 11, 0xEE, 0xEE}));

    out.assign(4, 0xEE);
    Convert16To8(Samples16({0xAB01, 0xCD02}).data(), out.data(), 2);
    EXPECT_EQ(out, (Bytes{0xAB, 0xCD, 0xEE, 0xEE}));
}

TEST(ColourConversions, OtherSampleSizesWriteNothing)
{
    const Bytes in(32, 0x40);
    for (unsigned bits : {1u, 4u, 12u, 32u}) {
        SCOPED_TRACE(bits);
        Bytes out(12, 0xEE);
        ConvertRGB(in.data(), out.data(), bits, 6);
        ConvertRGBA(in.data(), out.data(), bits, 8);
        ConvertCMYK(in.data(), out.data(), bits, 8);
        ConvertRGBPlanar(in.data(), in.data(), in.data(), 6, bits, out.data());
        ConvertCMYKPlanar(in.data(), in.data(), in.data(), in.data(), 8, bits, out.data());
        EXPECT_EQ(out, Bytes(12, 0xEE));
    }
}

TEST(ColourConversions, LessThanAPixelTouchesNothing)
{
    // An empty row has no address at all (an empty vector's data()); a row
    // shorter than one pixel gives no pixel. Either way nothing is read or
    // written, and no pointer is formed into the missing buffer.
    struct Case { const char* name; std::function<void(const uint8_t*, uint8_t*, size_t)> convert; size_t pixel; };
    const Case cases[] = {
        {"RGB 8", [](auto s, auto d, size_t n) { ConvertRGB(s, d, 8, n); }, 3},
        {"RGB 16", [](auto s, auto d, size_t n) { ConvertRGB(s, d, 16, n); }, 3},
        {"RGBA 8", [](auto s, auto d, size_t n) { ConvertRGBA(s, d, 8, n); }, 4},
        {"RGBA 16", [](auto s, auto d, size_t n) { ConvertRGBA(s, d, 16, n); }, 4},
        {"RGB planar 8", [](auto s, auto d, size_t n) { ConvertRGBPlanar(s, s, s, n, 8, d); }, 3},
        {"RGB planar 16", [](auto s, auto d, size_t n) { ConvertRGBPlanar(s, s, s, n, 16, d); }, 3},
        {"CMYK 8", [](auto s, auto d, size_t n) { ConvertCMYK(s, d, 8, n); }, 4},
        {"CMYK 16", [](auto s, auto d, size_t n) { ConvertCMYK(s, d, 16, n); }, 4},
        {"CMYK planar 8", [](auto s, auto d, size_t n) { ConvertCMYKPlanar(s, s, s, s, n, 8, d); }, 4},
        {"CMYK planar 16", [](auto s, auto d, size_t n) { ConvertCMYKPlanar(s, s, s, s, n, 16, d); }, 4},
        {"Lab", [](auto s, auto d, size_t n) { ConvertLab(s, d, n); }, 3},
        {"Lab planar", [](auto s, auto d, size_t n) { ConvertLabPlanar(s, s, s, n, d); }, 3},
        {"16 to 8", [](auto s, auto d, size_t n) { Convert16To8(s, d, n); }, 1},
        {"predictor", [](auto, auto d, size_t n) { UndoPredictor(d, n, 4); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes empty;
        c.convert(empty.data(), nullptr, 0);
        for (size_t count = 0; count < c.pixel; ++count) {
            const Bytes source(2 * count, 0x40); // room for 16-bit samples
            Bytes dest(8, 0xEE);
            c.convert(count ? source.data() : nullptr, dest.data(), count);
            EXPECT_EQ(dest, Bytes(8, 0xEE)) << count << " samples";
        }
    }
}

TEST(ColourConversions, PredictorAddsTheRestoredLeftPixel)
{
    struct Case { unsigned bpp; Bytes row; Bytes restored; };
    const Case cases[] = {
        {1, {10, 1, 1, 250}, {10, 11, 12, 6}}, // wraps modulo 256
        {3, {1, 2, 3, 1, 1, 1, 1, 1, 1}, {1, 2, 3, 2, 3, 4, 3, 4, 5}},
        {4, {0, 0, 0, 9, 1, 2, 3, 1}, {0, 0, 0, 9, 1, 2, 3, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        Bytes row = c.row;
        row.push_back(0x77); // past the row: untouched
        UndoPredictor(row.data(), c.row.size() / c.bpp - 1, c.bpp);
        Bytes expected = c.restored;
        expected.push_back(0x77);
        EXPECT_EQ(row, expected);
    }
}

TEST(ColourConversions, Swaps)
{
    Bytes shorts{1, 2, 3, 4, 5};
    SwapShorts(shorts.data(), 2);
    EXPECT_EQ(shorts, (Bytes{2, 1, 4, 3, 5}));
    Bytes longs{1, 2, 3, 4, 5, 6, 7, 8};
    SwapLongs(longs.data(), 2);
    EXPECT_EQ(longs, (Bytes{4, 3, 2, 1, 8, 7, 6, 5}));
    EXPECT_EQ(SwapLong(0x11223344u), 0x44332211u);
}
