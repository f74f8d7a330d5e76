#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/picture.h"
#include "imageio/targareader.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

TBytes TgaHeader(unsigned type, unsigned w, unsigned h, unsigned pixelSize, unsigned descriptor = 0x20,
                 unsigned mapType = 0, unsigned mapLength = 0, unsigned mapEntrySize = 0, const std::string& id = "")
{
    TBytes f;
    f.U8(unsigned(id.size())).U8(mapType).U8(type).U16(0).U16(mapLength).U8(mapEntrySize).U16(0).U16(0);
    f.U16(w).U16(h).U8(pixelSize).U8(descriptor);
    f.Raw(Bytes(id.begin(), id.end()));
    return f;
}

} // namespace

TEST(TargaReader, FilesFromImageMagickAndPillow)
{
    if (ImageMagick().empty() || PillowPython().empty())
        GTEST_SKIP() << "ImageMagick or Pillow not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm");
    WriteFile(ppm, TestPatternPPM());
    struct Case { const char* name; bool pillow; std::string command; TPixelFormat format; };
    const Case cases[] = {
        {"24 bits", false, "-compress none", TPixelFormat::pf24bit},
        {"24 bits RLE", false, "-compress RLE", TPixelFormat::pf24bit},
        {"palette", false, "-colors 60 -type Palette -compress none", TPixelFormat::pf8bit},
        {"palette RLE", false, "-colors 60 -type Palette -compress RLE", TPixelFormat::pf8bit},
        {"grey", false, "-colorspace Gray -compress none", TPixelFormat::pf8bit},
        {"grey RLE", false, "-colorspace Gray -compress RLE", TPixelFormat::pf8bit},
        {"bottom-up", false, "-orient bottom-left -compress none", TPixelFormat::pf24bit},
        {"pillow RGB RLE", true, "im.save(out, rle=True)", TPixelFormat::pf24bit},
        {"pillow bottom-up", true, "im.save(out, orientation=-1)", TPixelFormat::pf24bit},
        {"pillow palette", true, "im.convert('P', palette=Image.ADAPTIVE, colors=40).save(out, rle=True)",
         TPixelFormat::pf8bit},
        {"pillow grey", true, "im.convert('L').save(out)", TPixelFormat::pf8bit},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("case" + std::to_string(index++) + ".tga");
        ASSERT_TRUE(ConvertWithPeer(ppm, out, c.pillow, c.command));
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TTargaGraphic");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        // Pillow decodes both writers' files. ImageMagick cannot check its own:
        // it writes rows top first under a descriptor that says bottom first,
        // and reads them back the same wrong way.
        EXPECT_EQ(MaxDifference(PixelsOf(bitmap), DecodeWithPillow(out)), 0);
        if (std::string(c.name).find("palette") == std::string::npos &&
            std::string(c.name).find("grey") == std::string::npos && c.pillow) {
            EXPECT_EQ(MaxDifference(PixelsOf(bitmap), TestPattern()), 0);
        }
    }
    // 32 bits with alpha, written by Pillow, against the picture it was made from
    const std::string png = dir.File("alpha.png"), out = dir.File("alpha.tga");
    ASSERT_EQ(RunCommand(ImageMagick() + " -size 9x5 gradient:'rgba(255,0,0,0.1)'-'rgba(0,0,255,0.9)' -depth 8 " + Quote(png)), 0);
    ASSERT_TRUE(RunPillow("Image.open('" + png + "').convert('RGBA').save('" + out + "', rle=True)"));
    const TBitmap bitmap = LoadBitmapFromFile(out);
    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf32bit);
    bool ok = false;
    const std::string pam = CommandOutput(ImageMagick() + " " + Quote(png) + " -depth 8 pam:-", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(MaxDifference(PixelsOf(bitmap, true), ParseNetpbm({pam.begin(), pam.end()})), 0);
}

TEST(TargaReader, VariantsBuiltByteByByte)
{
    { // descriptor bit 5 clear: the first stored row is the bottom row; the id is kept
        TBytes f = TgaHeader(2, 1, 2, 24, 0, 0, 0, 0, "hello");
        f.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6);
        const TTargaGraphic g = LoadReader<TTargaGraphic>(f.Data);
        EXPECT_EQ(g.ImageID(), "hello");
        EXPECT_EQ(Bytes(g.ScanLine(1), g.ScanLine(1) + 3), (Bytes{1, 2, 3}));
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 3), (Bytes{4, 5, 6}));
    }
    { // 16-bit colour map entries: 32767 is (248, 248, 248); 24- and 32-bit ones as b, g, r
        TBytes f = TgaHeader(1, 2, 1, 8, 0x20, 1, 2, 16);
        f.U16(32767).U16(0x7C00).U8(1).U8(0);
        const TTargaGraphic g = LoadReader<TTargaGraphic>(f.Data);
        EXPECT_EQ(g.Palette(), (TPalette{{248, 248, 248, 0}, {248, 0, 0, 0}}));
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 2), (Bytes{1, 0}));
        TBytes f32 = TgaHeader(1, 1, 1, 8, 0x20, 1, 1, 32);
        f32.U8(10).U8(20).U8(30).U8(99).U8(0);
        EXPECT_EQ(LoadReader<TTargaGraphic>(f32.Data).Palette(), (TPalette{{30, 20, 10, 0}}));
    }
    { // 15 bits uses two bytes per pixel, like 16
        TBytes f = TgaHeader(2, 2, 1, 15);
        f.U16(0x7C00).U16(0x001F);
        const TTargaGraphic g = LoadReader<TTargaGraphic>(f.Data);
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf15bit);
        EXPECT_EQ(PixelsOf(g).Bytes, (Bytes{255, 0, 0, 0, 0, 255}));
    }
    { // type 0: the header's size, no pixels read
        const TTargaGraphic g = LoadReader<TTargaGraphic>(TgaHeader(0, 5, 3, 24).Data);
        EXPECT_EQ(g.Width(), 5);
        EXPECT_EQ(g.Height(), 3);
    }
    { // a run packet of 128 pixels has the header byte 255
        TBytes f = TgaHeader(11, 128, 1, 8);
        f.U8(255).U8(77);
        const TTargaGraphic g = LoadReader<TTargaGraphic>(f.Data);
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 128), Bytes(128, 77));
    }
    { // packets that run across rows go on in the next row
        TBytes f = TgaHeader(10, 3, 2, 24);
        f.U8(0x83).U8(1).U8(2).U8(3);             // four pixels: the whole first row and one more
        f.U8(0x01).U8(4).U8(5).U8(6).U8(7).U8(8).U8(9); // two literal pixels
        const TTargaGraphic g = LoadReader<TTargaGraphic>(f.Data);
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 9), (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3}));
        EXPECT_EQ(Bytes(g.ScanLine(1), g.ScanLine(1) + 9), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    }
    { // run-length data cut short: no error, the rest stays black
        TBytes f = TgaHeader(10, 2, 2, 24);
        f.U8(0x02).U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(7);
        const TTargaGraphic g = LoadReader<TTargaGraphic>(f.Data);
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 6), (Bytes{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(Bytes(g.ScanLine(1), g.ScanLine(1) + 6), Bytes(6, 0));
    }
    { // an index beyond the colour map reads as black
        TBytes f = TgaHeader(1, 2, 1, 8, 0x20, 1, 1, 24);
        f.U8(255).U8(255).U8(255).U8(0).U8(200);
        EXPECT_EQ(PixelsOf(LoadReader<TTargaGraphic>(f.Data)).Bytes, (Bytes{255, 255, 255, 0, 0, 0}));
    }
    { // grey images get 256 greys and skip a colour map they carry
        TBytes f = TgaHeader(3, 2, 1, 8, 0x20, 1, 2, 24);
        f.Fill(9, 6).U8(3).U8(250);
        const TTargaGraphic g = LoadReader<TTargaGraphic>(f.Data);
        EXPECT_EQ(PixelsOf(g).Bytes, (Bytes{3, 3, 3, 250, 250, 250}));
    }
}

TEST(TargaReader, DecodeTargaRLEStopsAtTheRowAndTheData)
{
    TTargaPacket carry;
    uint8_t row[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    const uint8_t packed[] = {0x85, 9, 0x00, 1};
    EXPECT_EQ(DecodeTargaRLE(packed, sizeof packed, row, 4, 8, carry), 2u); // run of 6, row of 4
    EXPECT_EQ(carry.PixelsLeft, 2u);
    EXPECT_EQ(DecodeTargaRLE(packed + 2, 2, row, 4, 8, carry), 2u); // 2 carried, then 1 literal
    EXPECT_EQ((Bytes{row[0], row[1], row[2], row[3]}), (Bytes{9, 9, 1, 9})); // the last byte from the first row
    TTargaPacket none;
    EXPECT_EQ(DecodeTargaRLE(packed, sizeof packed, row, 4, 12, none), 0u); // no such pixel size
}

TEST(TargaReader, FailuresNameTheirCause)
{
    TBytes shortRow = TgaHeader(2, 2, 2, 24);
    shortRow.Fill(1, 9);
    struct Case { const char* name; Bytes file; std::string message; };
    const Case cases[] = {
        {"header cut short", Bytes(10, 0), "Targa: invalid image"},
        {"uncompressed row cut short", shortRow.Data, "Targa: invalid image"},
        {"pixel size 12", TgaHeader(2, 2, 2, 12).Data, "Targa: invalid image"},
        {"colour-mapped 24 bits", TgaHeader(1, 2, 2, 24).Data, "Targa: invalid image"},
        {"huge", TgaHeader(2, 65535, 65535, 32).Data, "Picture too large (65535 x 65535 pixels)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadError<TTargaGraphic>(c.file), c.message);
    }
}
