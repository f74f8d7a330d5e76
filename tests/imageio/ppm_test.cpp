#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/picture.h"
#include "imageio/ppmreader.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TPPMGraphic Load(const std::string& s) { return LoadReader<TPPMGraphic>(Text(s)); }

Bytes Row(const TBitmap& b, int y, size_t n) { return Bytes(b.ScanLine(y), b.ScanLine(y) + n); }

} // namespace

// Every type, written by netpbm and ImageMagick, against the source pixels
// (bilevel against netpbm's own reading of the file).
TEST(PpmReader, FilesFromNetpbmAndImageMagick)
{
    if (ImageMagick().empty() || !HaveProgram("pnmtoplainpnm"))
        GTEST_SKIP() << "ImageMagick or netpbm not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm"), pgm = dir.File("source.pgm"), pbm = dir.File("source.pbm");
    WriteFile(ppm, TestPatternPPM());
    ASSERT_EQ(RunCommand("ppmtopgm " + Quote(ppm) + " > " + Quote(pgm)), 0);
    ASSERT_EQ(RunCommand("pgmtopbm -threshold " + Quote(pgm) + " > " + Quote(pbm)), 0);
    struct Case { const char* name; std::string source, command, ext; TPixelFormat format; };
    const std::string im = ImageMagick() + " ";
    const Case cases[] = {
        {"P6", ppm, "cat", "ppm", TPixelFormat::pf24bit},
        {"P3", ppm, "pnmtoplainpnm", "ppm", TPixelFormat::pf24bit},
        {"P5", pgm, "cat", "pgm", TPixelFormat::pf8bit},
        {"P2", pgm, "pnmtoplainpnm", "pgm", TPixelFormat::pf8bit},
        {"P4", pbm, "cat", "pbm", TPixelFormat::pf1bit},
        {"P1", pbm, "pnmtoplainpnm", "pbm", TPixelFormat::pf1bit},
        {"P6 16 bits", ppm, "pamdepth 65535", "ppm", TPixelFormat::pf24bit},
        {"P5 maximum 1000", pgm, "pamdepth 1000", "pgm", TPixelFormat::pf8bit},
        {"P3 maximum 100", ppm, "pamdepth 100 | pnmtoplainpnm", "ppm", TPixelFormat::pf24bit},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("case" + std::to_string(index++) + "." + c.ext);
        ASSERT_EQ(RunCommand("bash -c " + Quote("set -o pipefail; (" + c.command + ") < " + Quote(c.source) + " > " + Quote(out))), 0);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TPPMGraphic");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        // Fewer levels than 256 come back within half a step of the source.
        const int tolerance = std::string(c.name).find("maximum 100") != std::string::npos ? 2 : 0;
        EXPECT_LE(MaxDifference(PixelsOf(bitmap), DecodeWithImageMagick(out)), tolerance);
    }
}

TEST(PpmReader, HeadersAndSamplesBuiltByteByByte)
{
    { // two comment lines in a row after the magic line
        const TPPMGraphic g = Load("P5\n# one\n# two\n2 1\n255\n\x07\xF0");
        ASSERT_EQ(g.Width(), 2);
        EXPECT_EQ(Row(g, 0, 2), (Bytes{7, 0xF0}));
    }
    { // P1 10 wide: the last two pixels in the top bits of the second byte; 1 is black
        const TPPMGraphic g = Load("P1\n10 1\n1 0 1 0 0 1 0 1 1 1\n");
        EXPECT_EQ(Row(g, 0, 2), (Bytes{0xA5, 0xC0}));
        EXPECT_EQ(g.Palette(), (TPalette{{255, 255, 255, 0}, {0, 0, 0, 0}}));
    }
    { // P1 digits without white space between them, as netpbm writes them
        const TPPMGraphic g = Load("P1\n4 2\n1001\n0110\n");
        EXPECT_EQ(Row(g, 0, 1), (Bytes{0x90}));
        EXPECT_EQ(Row(g, 1, 1), (Bytes{0x60}));
    }
    { // P2 with a maximum of 15: samples scaled to the full range
        const TPPMGraphic g = Load("P2 3 1 15\n0 15 5\n");
        EXPECT_EQ(Row(g, 0, 3), (Bytes{0, 255, 85}));
    }
    { // P3 stores blue, green, red; the header shares the magic's line; CR LF line ends
        const TPPMGraphic g = Load("P3 2 1 255\r\n1 2 3 # a comment\r\n4 5 6\r\n");
        EXPECT_EQ(Row(g, 0, 6), (Bytes{3, 2, 1, 6, 5, 4}));
    }
    { // P4 rows of width div 8 bytes and one more for the rest
        const TPPMGraphic g = Load(std::string("P4\n9 2\n\xFF\x80\x01\x00", 11));
        EXPECT_EQ(Row(g, 0, 2), (Bytes{0xFF, 0x80}));
        EXPECT_EQ(Row(g, 1, 2), (Bytes{0x01, 0x00}));
    }
    { // P6 with 16-bit samples, big-endian, scaled
        const TPPMGraphic g = Load(std::string("P6\n1 1\n65535\n\xFF\xFF\x80\x00\x00\x00", 19));
        EXPECT_EQ(Row(g, 0, 3), (Bytes{0, 128, 255}));
    }
}

TEST(PpmReader, FailuresNameTheirCause)
{
    struct Case { const char* name; std::string file; std::string message; };
    const Case cases[] = {
        {"no P", "Q6\n1 1\n255\n...", "Not a valid ppm file."},
        {"empty", "", "PPM: Stream read error."},
        {"type not a digit", "Px\n1 1\n", "'x' is not a valid integer value"},
        {"type 7", "P7\nWIDTH 1\n", "Not a valid ppm file."},
        {"maximum 0", "P5\n1 1\n0\n\x00", "Not a valid ppm file."},
        {"maximum 65536", "P5\n1 1\n65536\n\x00\x00", "Not a valid ppm file."},
        {"sample above the maximum", "P2\n2 1\n15\n3 16\n", "PPM: sample above the maximum value"},
        {"binary sample above the maximum", "P5\n1 1\n100\n\xC8", "PPM: sample above the maximum value"},
        {"pixels cut short", "P6\n2 2\n255\n123456789", "PPM: Stream read error."},
        {"header cut short", "P6\n2", "PPM: Stream read error."},
        {"text pixels cut short", "P3\n1 1\n255\n1 2", "PPM: Stream read error."},
        {"stray letter in P1", "P1\n2 1\n1 x\n", "Not a valid ppm file."},
        {"width overflowing 64 bits", "P5\n99999999999999999999999 1\n255\n", "Picture too large (4294967295 x 1 pixels)"},
        {"huge", "P5\n65535 65535\n255\n", "Picture too large (65535 x 65535 pixels)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadError<TPPMGraphic>(Text(c.file)), c.message);
    }
}
