#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/pcxreader.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

// A PCX header for w x h pixels; `palette16` fills the 16-colour palette.
TBytes PcxHeader(unsigned w, unsigned h, unsigned bits, unsigned planes, unsigned bytesPerLine, unsigned encoding = 1,
                 unsigned manufacturer = 10, unsigned paletteType = 1, const Bytes& palette16 = {})
{
    TBytes f;
    f.U8(manufacturer).U8(5).U8(encoding).U8(bits).U16(0).U16(0).U16(w - 1).U16(h - 1).U16(72).U16(72);
    Bytes pal = palette16;
    pal.resize(48, 0);
    f.Raw(pal).U8(0).U8(planes).U16(bytesPerLine).U16(paletteType);
    f.Fill(0, 128 - f.Data.size());
    return f;
}

} // namespace

TEST(PcxReader, FilesFromImageMagickAndPillow)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm");
    WriteFile(ppm, TestPatternPPM());
    struct Case { const char* name; bool pillow; std::string command; TPixelFormat format; };
    const Case cases[] = {
        {"24 bits", false, "", TPixelFormat::pf24bit},
        {"8 bits", false, "-colors 200 -type Palette", TPixelFormat::pf8bit},
        {"pillow RGB", true, "im.save(out)", TPixelFormat::pf24bit},
        {"pillow palette", true, "im.convert('P', palette=Image.ADAPTIVE, colors=70).save(out)", TPixelFormat::pf8bit},
        {"pillow grey", true, "im.convert('L').save(out)", TPixelFormat::pf8bit},
        {"pillow 1 bit", true, "im.convert('1').save(out)", TPixelFormat::pf1bit},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("case" + std::to_string(index++) + ".pcx");
        if (c.pillow && PillowPython().empty())
            continue;
        ASSERT_TRUE(ConvertWithPeer(ppm, out, c.pillow, c.command));
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TPCXGraphic");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        // Each writer's own reading is the reference: for 1-bit files the two
        // disagree (ImageMagick takes the header's colours, Pillow and the
        // format's own rule black and white).
        EXPECT_EQ(MaxDifference(PixelsOf(bitmap), c.pillow ? DecodeWithPillow(out) : DecodeWithImageMagick(out)), 0);
    }
}

TEST(PcxReader, VariantsBuiltByteByByte)
{
    { // 1 bit, 10 wide: the last two pixels are kept; a run cut to the bytes missing
        TBytes f = PcxHeader(10, 2, 1, 1, 2);
        f.U8(0xA5).U8(0xC1).U8(0xC0).U8(0xC5).U8(0x3C); // row 0: A5, C0 (as a run of 1); then a run of 5 for 2 bytes
        const TPCXGraphic g = LoadReader<TPCXGraphic>(f.Data);
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf1bit);
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 2), (Bytes{0xA5, 0xC0}));
        EXPECT_EQ(Bytes(g.ScanLine(1), g.ScanLine(1) + 2), (Bytes{0x3C, 0x3C}));
        EXPECT_EQ(g.Palette(), (TPalette{{0, 0, 0, 0}, {255, 255, 255, 0}}));
    }
    { // 4 planes of 1 bit: plane 0 the lowest bit; plane bits 1, 0, 0, 1 give 9
        Bytes pal;
        for (unsigned i = 0; i < 16; ++i)
            pal.insert(pal.end(), {uint8_t(i * 10), uint8_t(i), uint8_t(255 - i)});
        TBytes f = PcxHeader(3, 1, 1, 4, 2, 0, 10, 1, pal);
        f.U8(0x80).U8(0).U8(0x40).U8(0).U8(0x20).U8(0).U8(0xA0).U8(0); // raw
        const TPCXGraphic g = LoadReader<TPCXGraphic>(f.Data);
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf4bit);
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 2), (Bytes{0x92, 0xC0}));
        EXPECT_EQ(g.Palette()[9], (TPaletteEntry{90, 9, 246, 0}));
    }
    { // "scr" screen captures start with 205; palette type 2 gives 16 greys
        TBytes f = PcxHeader(2, 1, 1, 4, 1, 0, 205, 2);
        f.U8(0x40).U8(0).U8(0).U8(0x40);
        const TPCXGraphic g = LoadReader<TPCXGraphic>(f.Data);
        EXPECT_EQ(g.ScanLine(0)[0], 0x09);
        EXPECT_EQ(g.Palette()[9], (TPaletteEntry{144, 144, 144, 0}));
    }
    { // 8 bits with its palette block; without the block, greys
        TBytes f = PcxHeader(3, 1, 8, 1, 4);
        f.U8(0xC3).U8(2).U8(0x00);
        TBytes withPalette = f;
        withPalette.U8(12);
        for (unsigned i = 0; i < 256; ++i)
            withPalette.U8(i).U8(255 - i).U8(7);
        const TPCXGraphic g = LoadReader<TPCXGraphic>(withPalette.Data);
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 3), (Bytes{2, 2, 2}));
        EXPECT_EQ(g.Palette()[2], (TPaletteEntry{2, 253, 7, 0}));
        f.Fill(0, 769);
        const TPCXGraphic grey = LoadReader<TPCXGraphic>(f.Data);
        EXPECT_EQ(grey.Palette()[200], (TPaletteEntry{200, 200, 200, 0}));
    }
    { // 24 bits: red, green and blue planes per line
        TBytes f = PcxHeader(2, 1, 8, 3, 2, 0);
        f.U8(10).U8(11).U8(20).U8(21).U8(30).U8(31);
        const TPCXGraphic g = LoadReader<TPCXGraphic>(f.Data);
        EXPECT_EQ(PixelsOf(g).Bytes, (Bytes{10, 20, 30, 11, 21, 31}));
    }
    { // data cut short: no error, the missing rows stay black
        TBytes f = PcxHeader(2, 2, 8, 3, 2, 1);
        f.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6);
        const TPCXGraphic g = LoadReader<TPCXGraphic>(f.Data);
        EXPECT_EQ(PixelsOf(g).Bytes, (Bytes{1, 3, 5, 2, 4, 6, 0, 0, 0, 0, 0, 0}));
    }
}

TEST(PcxReader, FailuresNameTheirCause)
{
    struct Case { const char* name; Bytes file; std::string message; };
    const Case cases[] = {
        {"manufacturer 11", PcxHeader(2, 2, 8, 1, 2, 1, 11).Data, "Not a PCX or SCR file."},
        {"empty file", {}, "Not a PCX or SCR file."},
        {"2 bits", PcxHeader(2, 2, 2, 1, 2).Data, "PCX: wrong pixel format"},
        {"8 bits, 4 planes", PcxHeader(2, 2, 8, 4, 2).Data, "PCX: wrong pixel format"},
        {"line shorter than the width", PcxHeader(100, 2, 8, 1, 50).Data, "PCX: invalid bytes per line"},
        {"line far longer than the width", PcxHeader(2, 2, 8, 3, 65535).Data, "PCX: invalid bytes per line"},
        {"x max below x min", [] { TBytes f = PcxHeader(2, 2, 8, 1, 2); f.Data[4] = 5; return f.Data; }(),
         "PCX: invalid image size"},
        {"huge", PcxHeader(65535, 65535, 8, 1, 65535).Data, "Picture too large (65535 x 65535 pixels)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadError<TPCXGraphic>(c.file), c.message);
    }
}
