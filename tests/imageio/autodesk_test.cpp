#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/autodeskreader.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BuildPic(unsigned w, unsigned h, const Bytes& pixels)
{
    TBytes f;
    f.U16(0x9119).U16(w).U16(h).Fill(0, 26);
    for (unsigned i = 0; i < 256; ++i)
        f.U8(i % 64).U8(63).U8(0);
    return f.Raw(pixels).Data;
}

} // namespace

TEST(AutodeskReader, PaletteAndRows)
{
    TempDir dir;
    WriteFile(dir.File("a.cel"), BuildPic(3, 2, {0, 1, 2, 63, 64, 255}));
    std::string reader;
    const TBitmap b = LoadBitmapFromFile(dir.File("a.cel"), &reader);
    EXPECT_EQ(reader, "TAutodeskGraphic");
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
    // Components 0-63 times 4: 63 becomes 252.
    EXPECT_EQ(b.Palette()[63], (TPaletteEntry{252, 252, 0, 0}));
    EXPECT_EQ(b.Palette()[1], (TPaletteEntry{4, 252, 0, 0}));
    EXPECT_EQ(Bytes(b.ScanLine(0), b.ScanLine(0) + 3), (Bytes{0, 1, 2}));
    EXPECT_EQ(Bytes(b.ScanLine(1), b.ScanLine(1) + 3), (Bytes{63, 64, 255}));
    EXPECT_EQ(PixelsOf(b).Bytes[9], 252);
}

TEST(AutodeskReader, ShortAndHostileFiles)
{
    const Bytes file = BuildPic(3, 2, {1, 2, 3, 4, 5, 6});
    { // cut short: no error, the rest black
        const TAutodeskGraphic g = LoadReader<TAutodeskGraphic>(Bytes(file.begin(), file.end() - 4));
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 3), (Bytes{1, 2, 0}));
        EXPECT_EQ(Bytes(g.ScanLine(1), g.ScanLine(1) + 3), (Bytes{0, 0, 0}));
    }
    Bytes magic = file;
    magic[1] = 0x12;
    EXPECT_EQ(LoadError<TAutodeskGraphic>(magic), "Cannot load image. Only old style Autodesk images are supported.");
    EXPECT_EQ(LoadError<TAutodeskGraphic>(Bytes(file.begin(), file.begin() + 100)), "Stream read error");
    EXPECT_EQ(LoadError<TAutodeskGraphic>(BuildPic(65535, 65535, {})), "Picture too large (65535 x 65535 pixels)");
}
