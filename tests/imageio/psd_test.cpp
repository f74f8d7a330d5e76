#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/picture.h"
#include "imageio/psdreader.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

// A PSD file: header, the colour mode data, empty resources and layers,
// then the compression code and the image data as given.
Bytes BuildPsd(unsigned channels, uint32_t rows, uint32_t columns, unsigned depth, unsigned mode,
               unsigned compression, const Bytes& data, const Bytes& modeData = {})
{
    TEndianBytes f{true, {}};
    f.Text("8BPS").U16(1).Fill(0, 6).U16(channels).U32(rows).U32(columns).U16(depth).U16(mode);
    f.U32(uint32_t(modeData.size())).Raw(modeData).U32(0).U32(0).U16(compression).Raw(data);
    return f.Data;
}

Bytes Row(const TBitmap& b, int y, size_t n) { return Bytes(b.ScanLine(y), b.ScanLine(y) + n); }

} // namespace

TEST(PsdReader, FilesFromImageMagick)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm");
    WriteFile(ppm, TestPatternPPM());
    struct Case { const char* name; std::string options; TPixelFormat format; int tolerance; };
    const Case cases[] = {
        {"RGB PackBits", "", TPixelFormat::pf24bit, 0},
        {"RGB raw", "-compress none", TPixelFormat::pf24bit, 0},
        {"RGB 16 bits", "-depth 16 -compress none", TPixelFormat::pf24bit, 0},
        {"RGB 16 bits PackBits", "-depth 16", TPixelFormat::pf24bit, 0},
        {"grey", "-colorspace Gray", TPixelFormat::pf8bit, 0},
        // ImageMagick's CMYK to RGB is the same product, rounded its way.
        {"CMYK", "-colorspace CMYK", TPixelFormat::pf24bit, 1},
        {"CMYK raw", "-colorspace CMYK -compress none", TPixelFormat::pf24bit, 1},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("case" + std::to_string(index++) + ".psd");
        ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(ppm) + " " + c.options + " " + Quote(out)), 0);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TPSDGraphic");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        EXPECT_LE(MaxDifference(PixelsOf(bitmap), DecodeWithImageMagick(out)), c.tolerance);
    }
    // Indexed: ImageMagick cannot read its own indexed PSD back, so the
    // reference is the same quantisation written as PPM in the same run.
    const std::string indexed = dir.File("indexed.psd"), reference = dir.File("indexed.ppm");
    ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(ppm) + " -colors 40 -type Palette -write " + Quote(indexed) + " " +
                         Quote(reference)),
              0);
    const TBitmap palette = LoadBitmapFromFile(indexed);
    EXPECT_EQ(palette.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(MaxDifference(PixelsOf(palette), ParseNetpbm(ReadFile(reference))), 0);
    // "pdd" is the same format.
    const std::string pdd = dir.File("copy.pdd");
    ASSERT_EQ(RunCommand("cp " + Quote(dir.File("case0.psd")) + " " + Quote(pdd)), 0);
    EXPECT_EQ(MaxDifference(PixelsOf(LoadBitmapFromFile(pdd)), TestPattern()), 0);
}

TEST(PsdReader, ModesBuiltByteByByte)
{
    { // RGB with alpha: the colours, the alpha plane ignored
        const TPSDGraphic g = LoadReader<TPSDGraphic>(BuildPsd(4, 1, 2, 8, 3, 0, {1, 2, 3, 4, 5, 6, 0, 0}));
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf24bit);
        EXPECT_EQ(Row(g, 0, 6), (Bytes{5, 3, 1, 6, 4, 2}));
    }
    { // CMYK planes of 255 (no ink, as PSD stores it) are white; 0 in K black
        const TPSDGraphic g =
            LoadReader<TPSDGraphic>(BuildPsd(4, 1, 2, 8, 4, 0, {255, 255, 255, 255, 255, 255, 255, 0}));
        EXPECT_EQ(Row(g, 0, 6), (Bytes{255, 255, 255, 0, 0, 0}));
    }
    { // Lab with a and b at 128: neutral greys
        const TPSDGraphic g = LoadReader<TPSDGraphic>(BuildPsd(3, 1, 2, 8, 9, 0, {255, 0, 128, 128, 128, 128}));
        EXPECT_EQ(Row(g, 0, 6), (Bytes{255, 255, 255, 0, 0, 0}));
    }
    { // duotone: the first channel as 256 greys
        const TPSDGraphic g = LoadReader<TPSDGraphic>(BuildPsd(2, 1, 2, 8, 8, 0, {7, 200, 1, 1}));
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf8bit);
        EXPECT_EQ(Row(g, 0, 2), (Bytes{7, 200}));
        EXPECT_EQ(g.Palette()[200], (TPaletteEntry{200, 200, 200, 0}));
    }
    { // indexed: the colour table is all reds, then all greens, then all blues
        Bytes table(768, 0);
        table[5] = 10, table[256 + 5] = 20, table[512 + 5] = 30;
        const TPSDGraphic g = LoadReader<TPSDGraphic>(BuildPsd(1, 1, 1, 8, 2, 0, {5}, table));
        EXPECT_EQ(PixelsOf(g).Bytes, (Bytes{10, 20, 30}));
    }
    { // bitmap mode: 1 bit, entry 0 white; PackBits rows from their own counts
        Bytes data = {0, 2, 0, 2}; // two rows, two packed bytes each
        data.insert(data.end(), {0xFF, 0xA0, 0x00, 0x5F});
        const TPSDGraphic g = LoadReader<TPSDGraphic>(BuildPsd(1, 2, 3, 1, 0, 1, data));
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf1bit);
        EXPECT_EQ(g.Palette(), (TPalette{{255, 255, 255, 0}, {0, 0, 0, 0}}));
        EXPECT_EQ(Row(g, 0, 1), (Bytes{0xA0})); // a run of two bytes cut to the row's one
        EXPECT_EQ(Row(g, 1, 1), (Bytes{0x5F}));
    }
    { // RGB PackBits: a row that packs short leaves its rest black, the next row starts on time
        Bytes data = {0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2}; // 3 channels x 2 rows
        for (int c = 0; c < 3; ++c)
            data.insert(data.end(), {0xFF, uint8_t(10 * c + 1), 0x00, uint8_t(10 * c + 2)});
        const TPSDGraphic g = LoadReader<TPSDGraphic>(BuildPsd(3, 2, 2, 8, 3, 1, data));
        EXPECT_EQ(Row(g, 0, 6), (Bytes{21, 11, 1, 21, 11, 1}));
        EXPECT_EQ(Row(g, 1, 6), (Bytes{22, 12, 2, 0, 0, 0}));
    }
    { // 16-bit grey: the more significant byte
        const TPSDGraphic g = LoadReader<TPSDGraphic>(BuildPsd(1, 1, 2, 16, 1, 0, {0x12, 0x34, 0xAB, 0xCD}));
        EXPECT_EQ(Row(g, 0, 2), (Bytes{0x12, 0xAB}));
    }
    { // multichannel (7): the right size, no pixels read
        const TPSDGraphic g = LoadReader<TPSDGraphic>(BuildPsd(2, 3, 4, 8, 7, 0, {}));
        EXPECT_EQ(g.Width(), 4);
        EXPECT_EQ(g.Height(), 3);
    }
}

TEST(PsdReader, FailuresNameTheirCause)
{
    Bytes tableCut = BuildPsd(3, 2, 2, 8, 3, 1, {0, 2, 0, 2});
    Bytes rowsCut = BuildPsd(3, 2, 2, 8, 3, 1, {0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0xFF, 1});
    struct Case { const char* name; Bytes file; std::string message; };
    const Case cases[] = {
        {"signature", {'8', 'B', 'P', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         "Not a valid psd file."},
        {"header cut short", {'8', 'B', 'P', 'S', 0, 1}, "Stream read error"},
        {"colour mode data longer than the file", [] {
             Bytes f = BuildPsd(3, 1, 1, 8, 3, 0, {1, 2, 3});
             f[26] = 0x7F;
             return f;
         }(), "Stream read error"},
        {"raw data cut short", BuildPsd(3, 2, 2, 8, 3, 0, {1, 2, 3}), "Stream read error"},
        {"row count table cut short", tableCut, "Stream read error"},
        {"packed rows cut short", rowsCut, "Stream read error"},
        {"RGB with two channels", BuildPsd(2, 1, 1, 8, 3, 0, {1, 2}), "Not a valid psd file."},
        {"depth 32", BuildPsd(3, 1, 1, 32, 3, 0, {}), "PSD: unsupported depth"},
        {"huge", BuildPsd(3, 0x8000, 0x8000, 8, 3, 0, {}), "Picture too large (32768 x 32768 pixels)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadError<TPSDGraphic>(c.file), c.message);
    }
}
