#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/picture.h"
#include "imageio/sgireader.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

TEndianBytes SgiHeader(unsigned storage, unsigned bpc, unsigned x, unsigned y, unsigned z)
{
    TEndianBytes f{true, {}};
    f.U16(474).U8(storage).U8(bpc).U16(z == 1 ? 2 : 3).U16(x).U16(y).U16(z);
    f.Fill(0, 512 - f.Data.size());
    return f;
}

Bytes Row(const TBitmap& b, int y, size_t n) { return Bytes(b.ScanLine(y), b.ScanLine(y) + n); }

} // namespace

TEST(SgiReader, FilesFromImageMagickPillowAndNetpbm)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm"), pgm = dir.File("source.pgm"), png = dir.File("alpha.png");
    WriteFile(ppm, TestPatternPPM());
    ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(ppm) + " -colorspace Gray " + Quote(pgm)), 0);
    ASSERT_EQ(RunCommand(ImageMagick() + " -size 9x5 gradient:'rgba(255,0,0,0.1)'-'rgba(0,0,255,0.9)' -depth 8 " +
                         Quote(png)),
              0);
    struct Case { const char* name; std::string command, ext; TPixelFormat format; };
    const std::string im = ImageMagick() + " " + Quote(ppm) + " ";
    const Case cases[] = {
        {"RGB run-length", im + "-compress RLE", "sgi", TPixelFormat::pf24bit},
        {"RGB raw", im + "-compress none", "rgb", TPixelFormat::pf24bit},
        {"RGB 16 bits", im + "-depth 16 -compress RLE", "sgi", TPixelFormat::pf24bit},
        {"grey", ImageMagick() + " " + Quote(pgm) + " -compress RLE", "bw", TPixelFormat::pf8bit},
        {"RGBA", ImageMagick() + " " + Quote(png) + " -compress RLE", "rgba", TPixelFormat::pf32bit},
        {"netpbm run-length", "pnmtosgi -rle < " + Quote(ppm) + " >", "sgi", TPixelFormat::pf24bit},
        {"netpbm grey raw", "pnmtosgi -verbatim < " + Quote(pgm) + " >", "bw", TPixelFormat::pf8bit},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.command.rfind("pnmtosgi", 0) == 0 && !HaveProgram("pnmtosgi"))
            continue;
        const std::string out = dir.File("case" + std::to_string(index++) + "." + c.ext);
        const bool redirect = c.command.back() == '>';
        ASSERT_EQ(RunCommand(c.command + " " + (redirect ? "" : "sgi:") + Quote(out)), 0);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TSGIGraphic");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        EXPECT_EQ(MaxDifference(PixelsOf(bitmap), DecodeWithImageMagick(out)), 0);
        if (c.format == TPixelFormat::pf32bit) {
            bool ok = false;
            const std::string pam = CommandOutput(ImageMagick() + " " + Quote(png) + " -depth 8 pam:-", &ok);
            ASSERT_TRUE(ok);
            EXPECT_EQ(MaxDifference(PixelsOf(bitmap, true), ParseNetpbm({pam.begin(), pam.end()})), 0);
        }
    }
    if (!PillowPython().empty()) {
        const std::string out = dir.File("pillow.sgi");
        ASSERT_TRUE(RunPillow("Image.open('" + ppm + "').save('" + out + "')"));
        EXPECT_EQ(MaxDifference(PixelsOf(LoadBitmapFromFile(out)), TestPattern()), 0);
    }
}

TEST(SgiReader, LayoutsBuiltByteByByte)
{
    { // z size 1: 8-bit grey, the first stored row at the bottom
        TEndianBytes f = SgiHeader(0, 1, 2, 2, 1);
        f.U8(1).U8(2).U8(3).U8(4);
        const TSGIGraphic g = LoadReader<TSGIGraphic>(f.Data);
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf8bit);
        EXPECT_EQ(Row(g, 1, 2), (Bytes{1, 2}));
        EXPECT_EQ(Row(g, 0, 2), (Bytes{3, 4}));
    }
    { // run-length RGB, 2-byte samples, rows found through the tables in any order
        TEndianBytes f = SgiHeader(1, 2, 2, 1, 3);
        const uint32_t data = 512 + 2 * 3 * 4;
        // Each channel row: a run of 2 of (c+1)*16, then the end.
        f.U32(data + 12).U32(data + 6).U32(data); // starts of red, green, blue
        f.U32(6).U32(6).U32(6);
        for (int c = 2; c >= 0; --c)
            f.U16(0x0002).U16(unsigned((c + 1) * 16) << 8 | 0x99).U16(0);
        const TSGIGraphic g = LoadReader<TSGIGraphic>(f.Data);
        EXPECT_EQ(Row(g, 0, 6), (Bytes{48, 32, 16, 48, 32, 16}));
    }
    { // two channels: grey from the first
        TEndianBytes f = SgiHeader(0, 1, 1, 1, 2);
        f.U8(77).U8(5);
        EXPECT_EQ(Row(LoadReader<TSGIGraphic>(f.Data), 0, 1), (Bytes{77}));
    }
    { // tables pointing past the file, rows cut short: no error, black
        TEndianBytes f = SgiHeader(1, 1, 3, 2, 1);
        f.U32(0x7FFFFFFF).U32(512 + 16).U32(100).U32(100);
        f.U8(0x83).U8(9);
        const TSGIGraphic g = LoadReader<TSGIGraphic>(f.Data);
        EXPECT_EQ(Row(g, 1, 3), (Bytes{0, 0, 0}));
        EXPECT_EQ(Row(g, 0, 3), (Bytes{9, 0, 0}));
    }
    { // raw rows cut inside the second: its tail black, not the first row's bytes again
        TEndianBytes f = SgiHeader(0, 1, 3, 3, 1);
        f.U8(7).U8(8).U8(9).U8(5);
        const TSGIGraphic g = LoadReader<TSGIGraphic>(f.Data);
        EXPECT_EQ(Row(g, 2, 3), (Bytes{7, 8, 9}));
        EXPECT_EQ(Row(g, 1, 3), (Bytes{5, 0, 0}));
        EXPECT_EQ(Row(g, 0, 3), (Bytes{0, 0, 0}));
    }
}

TEST(SgiReader, FailuresNameTheirCause)
{
    struct Case { const char* name; Bytes file; std::string message; };
    const Case cases[] = {
        {"magic", {0x01, 0xDB, 0, 1}, "Not a valid sgi, bw or rgb(a) image."},
        {"empty", {}, "Not a valid sgi, bw or rgb(a) image."},
        {"3 bytes per sample", SgiHeader(0, 3, 1, 1, 1).Data, "Not a valid sgi, bw or rgb(a) image."},
        {"no channels", SgiHeader(0, 1, 1, 1, 0).Data, "Not a valid sgi, bw or rgb(a) image."},
        {"huge", SgiHeader(1, 1, 65535, 65535, 4).Data, "Picture too large (65535 x 65535 pixels)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadError<TSGIGraphic>(c.file), c.message);
    }
}
