#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/pcdreader.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t Base2 = 196608, W = 768, H = 512;

// An image pack whose base resolution image has luma 100 and neutral
// chroma everywhere, one brighter pixel at (0, 0), and red-tinted chroma in
// the first row pair.
Bytes BuildPcd(uint8_t orientation)
{
    Bytes f(Base2 + W * H * 3 / 2, 0);
    std::memcpy(f.data() + 2048, "PCD_IPI", 7);
    f[194635] = orientation;
    for (size_t pair = 0; pair < H / 2; ++pair) {
        uint8_t* p = f.data() + Base2 + pair * 3 * W;
        std::memset(p, 100, 2 * W);
        std::memset(p + 2 * W, 156, W / 2);
        std::memset(p + 2 * W + W / 2, pair == 0 ? 147 : 137, W / 2);
    }
    f[Base2] = 150;
    return f;
}

Bytes Pixel(const TBitmap& b, int x, int y) { return Bytes(b.ScanLine(y) + 3 * x, b.ScanLine(y) + 3 * x + 3); }

} // namespace

TEST(PcdReader, ColoursAndChromaInterpolation)
{
    const TPCDGraphic g = LoadReader<TPCDGraphic>(BuildPcd(0));
    ASSERT_EQ(g.Width(), 768);
    ASSERT_EQ(g.Height(), 512);
    EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf24bit);
    // Luma 100, c2 = 10: red 1.3584 * 100 + 1.8215 * 10, green 1.3584 * 100 - 0.9271435 * 10.
    EXPECT_EQ(Pixel(g, 5, 0), (Bytes{136, 127, 154}));
    // The second row of the pair takes the mean with the next pair's chroma (c2 = 5).
    EXPECT_EQ(Pixel(g, 5, 1), (Bytes{136, 131, 145}));
    // Neutral chroma: grey 1.3584 * 100.
    EXPECT_EQ(Pixel(g, 5, 2), (Bytes{136, 136, 136}));
    // Luma 150: 203.76, red 203.76 + 18.215, green 203.76 - 9.27.
    EXPECT_EQ(Pixel(g, 0, 0), (Bytes{204, 194, 222}));
}

TEST(PcdReader, OrientationTurnsThePicture)
{
    struct Case { uint8_t orientation; int width, height, x, y; };
    const Case cases[] = {
        {0, 768, 512, 0, 0},
        {1, 512, 768, 0, 767},   // a quarter turn anticlockwise
        {2, 768, 512, 767, 511}, // a half turn
        {3, 512, 768, 511, 0},   // a quarter turn clockwise
        {4 | 1, 512, 768, 0, 767}, // only the low two bits count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.orientation));
        const TPCDGraphic g = LoadReader<TPCDGraphic>(BuildPcd(c.orientation));
        ASSERT_EQ(g.Width(), c.width);
        ASSERT_EQ(g.Height(), c.height);
        EXPECT_EQ(Pixel(g, c.x, c.y)[0], 204) << "the bright corner";
    }
}

TEST(PcdReader, FileFromImageMagick)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm"), out = dir.File("photo.pcd");
    WriteFile(ppm, TestPatternPPM());
    const std::string resized = dir.File("resized.ppm");
    ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(ppm) + " -resize 768x512! " + Quote(resized)), 0);
    ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(resized) + " " + Quote(out)), 0);
    std::string reader;
    const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
    EXPECT_EQ(reader, "TPCDGraphic");
    ASSERT_EQ(bitmap.Width(), 768);
    // ImageMagick stores its own PhotoYCC, with a gamma this reader's linear
    // formula does not undo, and reads it back no closer to the source than
    // we do; so the check is coarse: near the source, far from its mirror.
    const TPixels ours = PixelsOf(bitmap), source = ParseNetpbm(ReadFile(resized));
    ASSERT_EQ(source.Width, 768);
    auto meanDifference = [&](bool mirrored) {
        long total = 0;
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 768; ++x)
                for (int c = 0; c < 3; ++c) {
                    const int sy = mirrored ? 511 - y : y;
                    total += std::abs(int(ours.Bytes[(size_t(y) * 768 + size_t(x)) * 3 + size_t(c)]) -
                                      int(source.Bytes[(size_t(sy) * 768 + size_t(x)) * 3 + size_t(c)]));
                }
        return double(total) / double(ours.Bytes.size());
    };
    // Measured: 38 levels on average, 121 against the mirror image.
    EXPECT_LT(meanDifference(false), 45.0);
    EXPECT_GT(meanDifference(true), 2 * meanDifference(false));
}

TEST(PcdReader, FailuresNameTheirCause)
{
    Bytes noSignature = BuildPcd(0);
    noSignature[2048] = 'X';
    const Bytes file = BuildPcd(0);
    EXPECT_EQ(LoadError<TPCDGraphic>(noSignature), "PCD: wrong image format.");
    EXPECT_EQ(LoadError<TPCDGraphic>(Bytes(file.begin(), file.begin() + 2050)), "Stream read error");
    EXPECT_EQ(LoadError<TPCDGraphic>(Bytes(file.begin(), file.end() - 1)), "Stream read error");
    TPCDGraphic g;
    g.SetResolution(3);
    TMemoryStream stream(file.data(), file.size());
    try {
        g.LoadFromStream(stream);
        ADD_FAILURE() << "loaded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "PCD: image size currently not supported");
    }
    // The smaller resolutions need only their part of the file.
    g.SetResolution(0);
    TMemoryStream small(file.data(), 194636);
    g.LoadFromStream(small);
    EXPECT_EQ(g.Width(), 192);
    EXPECT_EQ(g.Height(), 128);
}
