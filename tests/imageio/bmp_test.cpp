#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"
#include "imagetest.h"
#include "imageio/bitmap.h"
#include "imageio/picture.h"
#include "imageio/stream.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

TBitmap LoadBytes(const std::vector<uint8_t>& bytes)
{
    TMemoryStream stream(bytes.data(), bytes.size());
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    return bitmap;
}

TPixels Rgb(int w, int h, std::vector<uint8_t> bytes) { return {w, h, 3, std::move(bytes)}; }

// A BMP file: file header, the given DIB header and everything after it.
std::vector<uint8_t> BmpFile(const TBytes& dib, uint32_t bitsOffsetInDib)
{
    TBytes f;
    f.U8('B').U8('M').U32(uint32_t(14 + dib.Data.size())).U32(0).U32(14 + bitsOffsetInDib);
    return f.Raw(dib.Data).Data;
}

// An info header (40 bytes); height negative for top-down rows.
TBytes InfoHeader(int32_t w, int32_t h, unsigned bits, uint32_t compression, uint32_t coloursUsed = 0,
                  uint32_t size = 40)
{
    TBytes d;
    d.U32(size).U32(uint32_t(w)).U32(uint32_t(h)).U16(1).U16(bits).U32(compression).U32(0);
    d.U32(2835).U32(2835).U32(coloursUsed).U32(0);
    return d;
}

} // namespace

TEST(BmpReader, FilesWrittenByImageMagickAndPillow)
{
    const bool haveIM = !ImageMagick().empty();
    const bool havePillow = !PillowPython().empty();
    if (!haveIM && !havePillow)
        GTEST_SKIP() << "neither ImageMagick nor Pillow installed";
    TempDir dir;
    const std::string source = dir.File("source.ppm");
    {
        // Smooth ramps and hard edges; odd width so that rows need padding.
        std::string ppm = "P6\n37 23\n255\n";
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x) {
                ppm += char(x * 7);
                ppm += char(y * 11);
                ppm += char((x / 5 + y / 4) % 2 ? 230 : 20);
            }
        WriteFile(source, ppm);
    }
    struct Case {
        const char* name;
        bool pillow;
        std::string command; // ImageMagick options before the output, or a Pillow line
        TPixelFormat format;
    };
    const Case cases[] = {
        {"v3 24 bits", false, "BMP3:", TPixelFormat::pf24bit},
        {"v5 24 bits", false, "BMP:", TPixelFormat::pf24bit},
        {"core header 24 bits", false, "BMP2:", TPixelFormat::pf24bit},
        {"core header 16 colours", false, "-colors 16 BMP2:", TPixelFormat::pf4bit},
        {"1 bit", false, "-monochrome BMP3:", TPixelFormat::pf1bit},
        {"4 bits", false, "-colors 14 BMP3:", TPixelFormat::pf4bit},
        {"8 bits", false, "-colors 200 BMP3:", TPixelFormat::pf8bit},
        {"RLE8", false, "-colors 200 -compress RLE BMP3:", TPixelFormat::pf8bit},
        {"RLE8 few colours", false, "-colors 5 -compress RLE BMP3:", TPixelFormat::pf8bit},
        {"bit fields 565", false, "-define bmp:subtype=RGB565 BMP:", TPixelFormat::pf24bit},
        {"bit fields 555", false, "-define bmp:subtype=RGB555 BMP:", TPixelFormat::pf15bit},
        {"pillow RGB", true, "im.save(out)", TPixelFormat::pf24bit},
        {"pillow grey", true, "im.convert('L').save(out)", TPixelFormat::pf8bit},
        {"pillow palette", true, "im.convert('P', palette=Image.ADAPTIVE, colors=60).save(out)",
         TPixelFormat::pf8bit},
        {"pillow 1 bit", true, "im.convert('1').save(out)", TPixelFormat::pf1bit},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if ((c.pillow && !havePillow) || (!c.pillow && !haveIM) || !haveIM)
            continue; // ImageMagick decodes the reference for both writers
        const std::string out = dir.File("case" + std::to_string(index++) + ".bmp");
        if (c.pillow)
            ASSERT_TRUE(RunPillow("im = Image.open('" + source + "')\nout = '" + out + "'\n" + c.command));
        else
            ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(source) + " " + c.command + Quote(out)), 0);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TBitmap");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        EXPECT_EQ(MaxDifference(PixelsOf(bitmap), DecodeWithImageMagick(out)), 0);
    }
}

TEST(BmpReader, AlphaFromImageMagick)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string out = dir.File("alpha.bmp");
    ASSERT_EQ(RunCommand(ImageMagick() + " -size 9x5 gradient:'rgba(255,0,0,0.1)'-'rgba(0,0,255,0.9)' " +
                         Quote("BMP:" + out)),
              0);
    const TBitmap bitmap = LoadBitmapFromFile(out);
    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf32bit);
    bool ok = false;
    const std::string pam = CommandOutput(ImageMagick() + " " + Quote(out) + " -depth 8 pam:-", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(MaxDifference(PixelsOf(bitmap, true), ParseNetpbm({pam.begin(), pam.end()})), 0);
    EXPECT_LT(bitmap.ScanLine(0)[3], 60);
    EXPECT_GT(bitmap.ScanLine(4)[3], 200);
}

TEST(BmpReader, VariantsBuiltByteByByte)
{
    struct Case { const char* name; std::vector<uint8_t> file; TPixelFormat format; TPixels pixels; };
    std::vector<Case> cases;

    { // core header, 3-byte palette entries, 8 bits
        TBytes d;
        d.U32(12).U16(2).U16(2).U16(1).U16(8);
        d.U8(0).U8(0).U8(255).U8(0).U8(255).U8(0); // red, green (b, g, r)
        d.Fill(0, 3 * 254);
        d.U8(1).U8(0).U8(0).U8(0); // bottom row: green, red
        d.U8(0).U8(1).U8(0).U8(0); // top row: red, green
        cases.push_back({"core header 8 bits", BmpFile(d, 12 + 3 * 256), TPixelFormat::pf8bit,
                         Rgb(2, 2, {255, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 0})});
    }
    { // top-down 24 bits
        TBytes d = InfoHeader(1, -2, 24, 0);
        d.U8(1).U8(2).U8(3).U8(0).U8(4).U8(5).U8(6).U8(0);
        cases.push_back({"top-down rows", BmpFile(d, 40), TPixelFormat::pf24bit, Rgb(1, 2, {3, 2, 1, 6, 5, 4})});
    }
    { // 16 bits, no compression: 5-5-5
        TBytes d = InfoHeader(2, 1, 16, 0);
        d.U16(0x7C00).U16(0x001F);
        cases.push_back({"16 bits 555", BmpFile(d, 40), TPixelFormat::pf15bit, Rgb(2, 1, {255, 0, 0, 0, 0, 255})});
    }
    { // info header with 5-6-5 bit fields after it
        TBytes d = InfoHeader(3, 1, 16, 3);
        d.U32(0xF800).U32(0x07E0).U32(0x001F);
        d.U16(0xF800).U16(0x07E0).U16(0x0410).U16(0);
        cases.push_back({"bit fields 565 after an info header", BmpFile(d, 52), TPixelFormat::pf24bit,
                         Rgb(3, 1, {255, 0, 0, 0, 255, 0, 0, 130, 132})});
    }
    { // v4 header, 10-10-10 fields in 32 bits, no alpha mask
        TBytes d = InfoHeader(1, 1, 32, 3, 0, 108);
        d.U32(0x3FF00000).U32(0x000FFC00).U32(0x000003FF).U32(0);
        d.Fill(0, 108 - 56);
        d.U32(0x3FF00000 | (0x200 << 10) | 0x004);
        cases.push_back({"v4 bit fields 10-10-10", BmpFile(d, 108), TPixelFormat::pf32bit, Rgb(1, 1, {255, 128, 1})});
    }
    { // 32 bits without compression: the fourth byte is not alpha
        TBytes d = InfoHeader(1, 1, 32, 0);
        d.U8(10).U8(20).U8(30).U8(0);
        cases.push_back({"32 bits BI_RGB", BmpFile(d, 40), TPixelFormat::pf32bit, Rgb(1, 1, {30, 20, 10})});
    }
    { // 4 bits, a two-entry palette: indices beyond it are black
        TBytes d = InfoHeader(3, 1, 4, 0, 2);
        d.U32(0x00FFFFFF).U32(0x000000FF);
        d.U8(0x01).U8(0x50).U16(0);
        cases.push_back({"index beyond the palette", BmpFile(d, 48), TPixelFormat::pf4bit,
                         Rgb(3, 1, {255, 255, 255, 0, 0, 255, 0, 0, 0})});
    }
    { // 1 bit, bits offset leaves a gap after the palette
        TBytes d = InfoHeader(9, 1, 1, 0);
        d.U32(0).U32(0x00FFFFFF).Fill(0xAB, 10);
        d.U8(0x80).U8(0x80).U16(0);
        TPixels p = Rgb(9, 1, std::vector<uint8_t>(27, 0));
        for (int i : {0, 8})
            p.Bytes[size_t(i) * 3] = p.Bytes[size_t(i) * 3 + 1] = p.Bytes[size_t(i) * 3 + 2] = 255;
        cases.push_back({"gap before the bits", BmpFile(d, 58), TPixelFormat::pf1bit, p});
    }
    { // RLE4: run, absolute run, delta, end of line, end of bitmap; 5 x 3
        TBytes d = InfoHeader(5, 3, 4, 2, 4);
        d.U32(0).U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF); // black, red, green, blue
        d.U8(3).U8(0x12);            // bottom row: 1 2 1
        d.U8(0).U8(0);               // end of line
        d.U8(0).U8(3).U8(0x32).U8(0x10); // middle row: absolute 3 2 1, padded
        d.U8(0).U8(2).U8(1).U8(1);   // delta: right 1, up 1 -> top row, x 4
        d.U8(2).U8(0x33);            // top row x 4: 3, and a 5th pixel cut at the row end
        d.U8(0).U8(1);               // end of bitmap
        const uint8_t K[] = {0, 0, 0}, R[] = {255, 0, 0}, G[] = {0, 255, 0}, B[] = {0, 0, 255};
        const uint8_t* grid[3][5] = {{K, K, K, K, B}, {B, G, R, K, K}, {R, G, R, K, K}};
        TPixels p = Rgb(5, 3, {});
        for (auto& row : grid)
            for (const uint8_t* c : row)
                p.Bytes.insert(p.Bytes.end(), c, c + 3);
        cases.push_back({"RLE4", BmpFile(d, 56), TPixelFormat::pf4bit, p});
    }
    { // RLE8 runs that pass the row end are cut, the next row starts clean
        TBytes d = InfoHeader(2, 2, 8, 1, 2);
        d.U32(0).U32(0x00FFFFFF);
        d.U8(200).U8(1).U8(0).U8(0);              // bottom: white, cut at 2
        d.U8(0).U8(5).U8(1).U8(1).U8(1).U8(1).U8(1).U8(0); // top: absolute 5, cut at 2
        d.U8(0).U8(1);
        cases.push_back({"RLE8 runs past the row", BmpFile(d, 48), TPixelFormat::pf8bit,
                         Rgb(2, 2, std::vector<uint8_t>(12, 255))});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const TBitmap bitmap = LoadBytes(c.file);
            EXPECT_EQ(bitmap.PixelFormat(), c.format);
            EXPECT_EQ(PixelsOf(bitmap), c.pixels);
        } catch (const Exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(BmpReader, AlphaBitFieldsKeepAlphaUnlessAllZero)
{
    auto file = [](uint8_t alpha) {
        TBytes d = InfoHeader(1, 1, 32, 3, 0, 56);
        d.U32(0xFF0000).U32(0xFF00).U32(0xFF).U32(0xFF000000);
        d.U8(1).U8(2).U8(3).U8(alpha);
        return BmpFile(d, 56);
    };
    EXPECT_EQ(LoadBytes(file(77)).ScanLine(0)[3], 77);
    EXPECT_EQ(LoadBytes(file(0)).ScanLine(0)[3], 255);
}

TEST(BmpReader, HostileFilesEndInAClearError)
{
    auto header = [](int32_t w, int32_t h, unsigned bits, uint32_t compression, uint32_t colours = 0) {
        return BmpFile(InfoHeader(w, h, bits, compression, colours), 40);
    };
    std::vector<uint8_t> truncatedPalette = header(4, 4, 8, 0, 200);
    truncatedPalette[10] = 0; // bits right after the palette, which is not there
    std::vector<uint8_t> truncatedRows = header(4, 4, 24, 0);
    truncatedRows.resize(truncatedRows.size() + 20);
    std::vector<uint8_t> farBits = header(1, 1, 24, 0);
    farBits[10] = 0xFF, farBits[11] = 0xFF, farBits[12] = 0xFF, farBits[13] = 0x7F;
    TBytes zeroMasks = InfoHeader(1, 1, 16, 3);
    zeroMasks.U32(0).U32(0x3E0).U32(0x1F);
    TBytes gappyMask = InfoHeader(1, 1, 16, 3);
    gappyMask.U32(0x7C01).U32(0x3E0).U32(0x1E);
    std::vector<uint8_t> cutHeader = header(1, 1, 24, 0);
    cutHeader.resize(30);
    TBytes bigHeader = InfoHeader(1, 1, 24, 0, 0, 200);

    struct Case { const char* name; std::vector<uint8_t> file; std::string message; };
    const Case cases[] = {
        {"file header cut short", {'B', 'M', 0, 0}, "Stream read error"},
        {"not a bitmap", std::vector<uint8_t>(64, 'x'), "Bitmap image is not valid"},
        {"info header cut short", cutHeader, "Stream read error"},
        {"width beyond the limit", header(70000, 1, 24, 0), "Picture too large (70000 x 1 pixels)"},
        {"pixels beyond the limit", header(60000, -60000, 1, 0), "Picture too large (60000 x 60000 pixels)"},
        {"height INT_MIN", header(1, INT32_MIN, 24, 0), "Picture too large (1 x 2147483648 pixels)"},
        {"zero width", header(0, 5, 24, 0), "BMP: invalid picture size"},
        {"negative width", header(-5, 5, 24, 0), "BMP: invalid picture size"},
        {"palette beyond 256 entries", header(1, 1, 8, 0, 1000), "BMP: palette too large"},
        {"palette cut short", truncatedPalette, "Stream read error"},
        {"rows cut short", truncatedRows, "Stream read error"},
        {"bits beyond the end of the file", farBits, "Stream read error"},
        {"zero bit field", BmpFile(zeroMasks, 52), "BMP: invalid bit fields"},
        {"bit field with a hole", BmpFile(gappyMask, 52), "BMP: invalid bit fields"},
        {"bit depth 2", header(1, 1, 2, 0), "BMP: unsupported bit depth"},
        {"bit depth 64", header(1, 1, 64, 0), "BMP: unsupported bit depth"},
        {"RLE8 on 24 bits", header(1, 1, 24, 1), "BMP: invalid compression"},
        {"JPEG inside", header(1, 1, 24, 4), "BMP: unsupported compression"},
        {"top-down RLE", header(1, -1, 8, 1), "BMP: top-down rows cannot be compressed"},
        {"header size 200", BmpFile(bigHeader, 200), "BMP: unsupported header"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            LoadBytes(c.file);
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST(BmpReader, RleThatEndsEarlyOrWandersOffStaysInside)
{
    struct Case { const char* name; std::vector<uint8_t> data; };
    const Case cases[] = {
        {"no end of bitmap", {2, 1}},
        {"delta far past the picture", {0, 2, 255, 255, 3, 1, 0, 2, 255, 255, 3, 1}},
        {"absolute run past the data", {0, 200, 1, 1}},
        {"escape cut short", {0}},
        {"many end-of-lines", std::vector<uint8_t>(400, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes d = InfoHeader(3, 3, 8, 1, 2);
        d.U32(0).U32(0x00FFFFFF).Raw(c.data);
        const TBitmap bitmap = LoadBytes(BmpFile(d, 48));
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.Height(), 3);
    }
}

TEST(BmpReader, AFailedLoadLeavesTheBitmapAsItWas)
{
    TBitmap bitmap = LoadBytes(SolidBmp(2, 2, 9, 9, 9));
    std::vector<uint8_t> bad = SolidBmp(3, 3, 1, 1, 1);
    bad.resize(bad.size() - 5);
    TMemoryStream stream(bad.data(), bad.size());
    EXPECT_THROW(bitmap.LoadFromStream(stream), EReadError);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.ScanLine(0)[0], 9);
}
