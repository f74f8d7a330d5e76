#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include "base/format.h"
#include "imagetest.h"
#include "imageio/limits.h"
#include "imageio/picture.h"
#include "imageio/readerbytes.h"
#include "imageio/tiffreader.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

enum : uint16_t { BYTE = 1, SHORT = 3, LONG = 4 };

struct TTag {
    uint16_t Tag;
    uint16_t Type;
    std::vector<uint32_t> Values;
};

// Pixel data right after the 8-byte header.
constexpr uint32_t DataAt = 8;

// A one-directory TIFF file: header, `data` at offset 8, the directory and
// the values that do not fit in their entries.
Bytes BuildTiff(bool bigEndian, std::vector<TTag> tags, const Bytes& data)
{
    std::sort(tags.begin(), tags.end(), [](const TTag& a, const TTag& b) { return a.Tag < b.Tag; });
    const uint32_t ifd = uint32_t(8 + data.size() + data.size() % 2);
    uint32_t extra = ifd + 2 + 12 * uint32_t(tags.size()) + 4;
    TEndianBytes f{bigEndian, {}};
    TEndianBytes values{bigEndian, {}};
    f.Text(bigEndian ? "MM" : "II").U16(42).U32(ifd).Raw(data).Fill(0, data.size() % 2);
    f.U16(unsigned(tags.size()));
    for (const TTag& t : tags) {
        const unsigned size = t.Type == BYTE ? 1 : t.Type == SHORT ? 2 : 4;
        f.U16(t.Tag).U16(t.Type).U32(uint32_t(t.Values.size()));
        TEndianBytes v{bigEndian, {}};
        for (uint32_t x : t.Values)
            size == 1 ? v.U8(x) : size == 2 ? v.U16(x) : v.U32(x);
        if (v.Data.size() <= 4) {
            v.Fill(0, 4 - v.Data.size());
            f.Raw(v.Data);
        } else {
            f.U32(extra + uint32_t(values.Data.size()));
            values.Raw(v.Data);
        }
    }
    f.U32(0);
    return f.Raw(values.Data).Data;
}

// The usual tags of an uncompressed single-strip image.
std::vector<TTag> Basic(uint32_t w, uint32_t h, std::vector<uint32_t> bits, uint32_t photometric, uint32_t dataSize,
                        uint32_t compression = 1)
{
    const uint32_t spp = uint32_t(bits.size());
    return {{256, LONG, {w}},           {257, LONG, {h}},           {258, SHORT, bits},
            {259, SHORT, {compression}}, {262, SHORT, {photometric}}, {273, LONG, {DataAt}},
            {277, SHORT, {spp}},        {278, LONG, {h}},           {279, LONG, {dataSize}}};
}

void SetTag(std::vector<TTag>& tags, TTag tag)
{
    for (TTag& t : tags)
        if (t.Tag == tag.Tag) {
            t = tag;
            return;
        }
    tags.push_back(tag);
}

void DropTag(std::vector<TTag>& tags, uint16_t tag)
{
    tags.erase(std::remove_if(tags.begin(), tags.end(), [tag](const TTag& t) { return t.Tag == tag; }), tags.end());
}

TTIFFGraphic Load(const Bytes& file) { return LoadReader<TTIFFGraphic>(file); }

// Row y of a bitmap as its first n bytes.
Bytes Row(const TBitmap& b, int y, size_t n) { return Bytes(b.ScanLine(y), b.ScanLine(y) + n); }

// LZW codes, most significant bit first, at the width TIFF uses for them.
Bytes TiffLzw(const std::vector<unsigned>& codes)
{
    Bytes out;
    uint32_t acc = 0;
    unsigned bits = 0, next = 258, width = 9;
    bool first = true; // the first code after a clear adds no entry
    for (unsigned c : codes) {
        acc = acc << width | c;
        bits += width;
        while (bits >= 8) {
            out.push_back(uint8_t(acc >> (bits - 8)));
            bits -= 8;
        }
        if (c == 256) {
            next = 258;
            width = 9;
            first = true;
        } else if (first) {
            first = false;
        } else if (++next == 511 && width == 9) {
            width = 10;
        }
    }
    if (bits)
        out.push_back(uint8_t(acc << (8 - bits)));
    return out;
}

} // namespace

// Files written by ImageMagick and libtiff's tiffcp, in the layouts and
// compressions the reader takes, against the pixels they were made from.
TEST(TiffReader, FilesFromImageMagickAndTiffcp)
{
    if (ImageMagick().empty() || !HaveProgram("tiffcp"))
        GTEST_SKIP() << "ImageMagick or libtiff-tools not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm"), base = dir.File("base.tif");
    WriteFile(ppm, TestPatternPPM());
    ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(ppm) + " -compress none " + Quote(base)), 0);
    const TPixels source = TestPattern();

    struct Case { const char* name; std::string command; TPixelFormat format; };
    const std::string im = ImageMagick() + " " + Quote(ppm) + " ";
    const std::string cp = "tiffcp " + Quote(base) + " ";
    const Case cases[] = {
        {"uncompressed little-endian", cp + "-c none -L", TPixelFormat::pf24bit},
        {"uncompressed big-endian", cp + "-c none -B", TPixelFormat::pf24bit},
        {"LZW little-endian", cp + "-c lzw -L", TPixelFormat::pf24bit},
        {"LZW big-endian", cp + "-c lzw -B", TPixelFormat::pf24bit},
        {"LZW with predictor", cp + "-c lzw:2", TPixelFormat::pf24bit},
        {"PackBits big-endian", cp + "-c packbits -B", TPixelFormat::pf24bit},
        {"strips of 5 rows", cp + "-c lzw -r 5", TPixelFormat::pf24bit},
        {"tiles 16 x 16", cp + "-c packbits -t -w 16 -l 16", TPixelFormat::pf24bit},
        {"planar", cp + "-c lzw:2 -p separate -r 4", TPixelFormat::pf24bit},
        {"planar tiles big-endian", cp + "-c none -p separate -t -w 16 -l 32 -B", TPixelFormat::pf24bit},
        {"16 bits big-endian", im + "-depth 16 -endian MSB -compress none", TPixelFormat::pf24bit},
        {"16 bits LZW predictor", im + "-depth 16 -compress lzw -define tiff:predictor=2", TPixelFormat::pf24bit},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("case" + std::to_string(index++) + ".tif");
        ASSERT_EQ(RunCommand(c.command + " " + Quote(out)), 0);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TTIFFGraphic");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        EXPECT_EQ(MaxDifference(PixelsOf(bitmap), source), 0);
    }
}

// Grey, palette, bilevel, CMYK and alpha files checked against ImageMagick's
// own decoding of them.
TEST(TiffReader, OtherPhotometricsAgainstImageMagick)
{
    if (ImageMagick().empty() || !HaveProgram("tiffcp"))
        GTEST_SKIP() << "ImageMagick or libtiff-tools not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm"), png = dir.File("alpha.png");
    WriteFile(ppm, TestPatternPPM());
    ASSERT_EQ(RunCommand(ImageMagick() + " -size 13x9 gradient:'rgba(255,0,0,0.2)'-'rgba(0,0,255,0.9)' " + Quote(png)), 0);
    struct Case { const char* name; std::string options; TPixelFormat format; int tolerance; };
    const Case cases[] = {
        {"grey", "-colorspace Gray -compress lzw", TPixelFormat::pf8bit, 0},
        // A 16-bit sample counts by its high byte; ImageMagick rounds.
        {"grey 16 bits big-endian", "-colorspace Gray -depth 16 -endian MSB", TPixelFormat::pf8bit, 1},
        {"grey 4 bits", "-colorspace Gray -depth 4 -compress none", TPixelFormat::pf4bit, 15},
        {"bilevel", "-monochrome -depth 1 -compress none", TPixelFormat::pf1bit, 0},
        {"bilevel PackBits", "-monochrome -depth 1 -compress RLE", TPixelFormat::pf1bit, 0},
        // The colour map's 16-bit values count by their high byte too.
        {"palette", "-colors 50 -type Palette -compress lzw", TPixelFormat::pf8bit, 1},
        {"palette 16 colours", "-colors 16 -type Palette -depth 4 -compress none", TPixelFormat::pf4bit, 1},
        // ImageMagick's own CMYK to RGB is the same product, rounded its way.
        {"CMYK", "-colorspace CMYK -compress lzw", TPixelFormat::pf24bit, 1},
        {"CMYK 16 bits", "-colorspace CMYK -depth 16 -compress none", TPixelFormat::pf24bit, 1},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("case" + std::to_string(index++) + ".tif");
        ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(ppm) + " " + c.options + " " + Quote(out)), 0);
        const TBitmap bitmap = LoadBitmapFromFile(out);
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        EXPECT_LE(MaxDifference(PixelsOf(bitmap), DecodeWithImageMagick(out)), c.tolerance);
    }
    // RGB with an alpha sample: 32 bits, the alpha in the fourth byte.
    const std::string out = dir.File("alpha.tif");
    ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(png) + " -compress lzw " + Quote(out)), 0);
    const TBitmap bitmap = LoadBitmapFromFile(out);
    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf32bit);
    bool ok = false;
    const std::string pam = CommandOutput(ImageMagick() + " " + Quote(out) + " -depth 8 pam:-", &ok);
    ASSERT_TRUE(ok);
    EXPECT_LE(MaxDifference(PixelsOf(bitmap, true), ParseNetpbm({pam.begin(), pam.end()})), 1);
    EXPECT_LT(bitmap.ScanLine(0)[3], 70);
    EXPECT_GT(bitmap.ScanLine(8)[3], 200);
}

TEST(TiffReader, SamplesAndPhotometricsBuiltByteByByte)
{
    struct Case {
        const char* name;
        Bytes file;
        TPixelFormat format;
        Bytes row0;       // the first bytes of bitmap row 0
        TPalette palette; // checked when not empty
    };
    std::vector<Case> cases;
    for (bool be : {false, true}) {
        // 16-bit RGB keeps the more significant byte of each sample.
        TEndianBytes d{be, {}};
        d.U16(0x1234).U16(0xABCD).U16(0x00FF).U16(0xFF00).U16(0x8001).U16(0x7F7F);
        cases.push_back({be ? "16-bit RGB big-endian" : "16-bit RGB little-endian",
                         BuildTiff(be, Basic(2, 1, {16, 16, 16}, 2, 12), d.Data), TPixelFormat::pf24bit,
                         {0x00, 0xAB, 0x12, 0x7F, 0x80, 0xFF}, {}});
    }
    { // predictor 2 on 3 samples: 10 20 30, 1 1 1 -> 10 20 30, 11 21 31
        auto tags = Basic(2, 1, {8, 8, 8}, 2, 6);
        tags.push_back({317, SHORT, {2}});
        cases.push_back({"predictor RGB", BuildTiff(false, tags, {10, 20, 30, 1, 1, 1}), TPixelFormat::pf24bit,
                         {30, 20, 10, 31, 21, 11}, {}});
    }
    { // predictor 2 on 16-bit grey works on whole samples, carrying into the high byte
        auto tags = Basic(3, 1, {16}, 1, 6);
        tags.push_back({317, SHORT, {2}});
        TEndianBytes d{true, {}};
        d.U16(0x00F0).U16(0x0020).U16(0x0100);
        cases.push_back({"predictor 16 bits", BuildTiff(true, tags, d.Data), TPixelFormat::pf8bit, {0x00, 0x01, 0x02}, {}});
    }
    { // RGB with one extra sample: 32 bits, alpha in the fourth byte
        auto tags = Basic(1, 1, {8, 8, 8, 8}, 2, 4);
        tags.push_back({338, SHORT, {2}});
        cases.push_back({"RGBA", BuildTiff(false, tags, {1, 2, 3, 4}), TPixelFormat::pf32bit, {3, 2, 1, 4}, {}});
    }
    { // grey with alpha: the grey sample only
        auto tags = Basic(2, 1, {8, 8}, 1, 4);
        tags.push_back({338, SHORT, {1}});
        cases.push_back({"grey and alpha", BuildTiff(false, tags, {7, 200, 9, 100}), TPixelFormat::pf8bit, {7, 9}, {}});
    }
    { // 4-bit WhiteIsZero: value 0 is grey 240, 15 is black
        TPalette grey(16);
        for (unsigned i = 0; i < 16; ++i) {
            const uint8_t g = uint8_t((15 - i) * 16);
            grey[i] = {g, g, g, 0};
        }
        cases.push_back({"4-bit WhiteIsZero", BuildTiff(false, Basic(2, 1, {4}, 0, 1), {0x0F}), TPixelFormat::pf4bit,
                         {0x0F}, grey});
    }
    { // 1-bit BlackIsZero
        cases.push_back({"1-bit BlackIsZero", BuildTiff(false, Basic(10, 1, {1}, 1, 2), {0xA5, 0xC0}),
                         TPixelFormat::pf1bit, {0xA5, 0xC0}, {{0, 0, 0, 0}, {255, 255, 255, 0}}});
    }
    { // 1-bit fill order 2: bits stored least significant first
        auto tags = Basic(8, 1, {1}, 1, 1);
        tags.push_back({266, SHORT, {2}});
        cases.push_back({"fill order 2", BuildTiff(false, tags, {0x01}), TPixelFormat::pf1bit, {0x80}, {}});
    }
    for (bool be : {false, true}) {
        // Palette: the colour map's high bytes, all reds, all greens, all blues.
        auto tags = Basic(3, 1, {8}, 3, 3);
        std::vector<uint32_t> map(768, 0);
        map[1] = 0xFF00, map[256 + 1] = 0x8000, map[512 + 1] = 0x10FF;
        map[2] = 0x0100, map[256 + 2] = 0x0200, map[512 + 2] = 0x03FF;
        tags.push_back({320, SHORT, map});
        TPalette palette(256);
        palette[1] = {0xFF, 0x80, 0x10, 0};
        palette[2] = {1, 2, 3, 0};
        cases.push_back({be ? "palette big-endian" : "palette", BuildTiff(be, tags, {2, 1, 0}), TPixelFormat::pf8bit,
                         {2, 1, 0}, palette});
    }
    { // 1-bit palette: two entries from the map
        auto tags = Basic(2, 1, {1}, 3, 1);
        tags.push_back({320, SHORT, {0x1100, 0x2200, 0x3300, 0x4400, 0x5500, 0x6600}});
        cases.push_back({"1-bit palette", BuildTiff(false, tags, {0x40}), TPixelFormat::pf1bit, {0x40},
                         {{0x11, 0x33, 0x55, 0}, {0x22, 0x44, 0x66, 0}}});
    }
    { // YCbCr without subsampling, converted: grey, then pure red
        auto tags = Basic(2, 1, {8, 8, 8}, 6, 6);
        tags.push_back({530, SHORT, {1, 1}});
        cases.push_back({"YCbCr 1x1", BuildTiff(false, tags, {128, 128, 128, 76, 85, 255}), TPixelFormat::pf24bit,
                         {128, 128, 128, 0, 0, 254}, {}});
    }
    { // YCbCr 2x2 blocks: four lumas, then Cb and Cr for all four
        auto tags = Basic(2, 2, {8, 8, 8}, 6, 6);
        cases.push_back({"YCbCr 2x2 (the default)", BuildTiff(false, tags, {10, 20, 30, 40, 128, 128}),
                         TPixelFormat::pf24bit, {10, 10, 10, 20, 20, 20}, {}});
    }
    { // CMYK: no ink is white, full black ink is black whatever else
        cases.push_back({"CMYK", BuildTiff(false, Basic(2, 1, {8, 8, 8, 8}, 5, 8), {0, 0, 0, 0, 10, 200, 30, 255}),
                         TPixelFormat::pf24bit, {255, 255, 255, 0, 0, 0}, {}});
    }
    { // CIE L*a*b*: L 255 and a = b = 0 is white, L 0 black
        cases.push_back({"Lab", BuildTiff(false, Basic(2, 1, {8, 8, 8}, 8, 6), {255, 0, 0, 0, 0, 0}),
                         TPixelFormat::pf24bit, {255, 255, 255, 0, 0, 0}, {}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TTIFFGraphic g = Load(c.file);
        EXPECT_EQ(g.PixelFormat(), c.format);
        EXPECT_EQ(Row(g, 0, c.row0.size()), c.row0);
        if (!c.palette.empty()) {
            EXPECT_EQ(g.Palette(), c.palette);
        }
    }
    // The second row of the 2x2 YCbCr block.
    auto tags = Basic(2, 2, {8, 8, 8}, 6, 6);
    const TTIFFGraphic g = Load(BuildTiff(false, tags, {10, 20, 30, 40, 128, 128}));
    EXPECT_EQ(Row(g, 1, 6), (Bytes{30, 30, 30, 40, 40, 40}));
}

TEST(TiffReader, StripsAndRows)
{
    { // one strip whose RowsPerStrip is smaller than the height: every row from it
        auto tags = Basic(1, 3, {8}, 1, 3);
        SetTag(tags, {278, LONG, {1}});
        const TTIFFGraphic g = Load(BuildTiff(false, tags, {5, 6, 7}));
        EXPECT_EQ(g.ScanLine(0)[0], 5);
        EXPECT_EQ(g.ScanLine(1)[0], 6);
        EXPECT_EQ(g.ScanLine(2)[0], 7);
    }
    { // three strips of two rows each from a one-value RowsPerStrip, stored in reverse
        auto tags = Basic(1, 6, {8}, 1, 6);
        SetTag(tags, {273, LONG, {DataAt + 4, DataAt + 2, DataAt}});
        SetTag(tags, {278, SHORT, {2}});
        SetTag(tags, {279, SHORT, {2, 2, 2}}); // SHORT strip tables are read as SHORT
        const TTIFFGraphic g = Load(BuildTiff(true, tags, {5, 6, 3, 4, 1, 2}));
        for (int y = 0; y < 6; ++y)
            EXPECT_EQ(g.ScanLine(y)[0], y + 1) << y;
    }
    { // LZW strip that grows the table to 10-bit codes
        std::vector<unsigned> codes{256};
        Bytes expected;
        for (unsigned i = 0; i < 300; ++i) {
            codes.push_back(i % 256);
            expected.push_back(uint8_t(i % 256));
        }
        codes.push_back(257);
        const Bytes packed = TiffLzw(codes);
        const TTIFFGraphic g =
            Load(BuildTiff(false, Basic(300, 1, {8}, 1, uint32_t(packed.size()), 5), packed));
        EXPECT_EQ(Row(g, 0, 300), expected);
    }
    { // subsampled YCbCr whose second strip lies beyond the end: its rows stay black
        auto tags = Basic(2, 4, {8, 8, 8}, 6, 6);
        SetTag(tags, {273, LONG, {DataAt, 0x7FFFFFF0}});
        SetTag(tags, {278, LONG, {2}});
        SetTag(tags, {279, LONG, {6, 6}});
        const TTIFFGraphic g = Load(BuildTiff(false, tags, {10, 20, 30, 40, 128, 128}));
        EXPECT_EQ(Row(g, 1, 6), (Bytes{30, 30, 30, 40, 40, 40}));
        EXPECT_EQ(Row(g, 3, 6), Bytes(6, 0));
    }
    { // strip data cut short at the end of the file: no error; the rest stays 0
        auto tags = Basic(2, 3, {8}, 1, 6);
        const uint32_t end = uint32_t(BuildTiff(false, tags, {}).size());
        SetTag(tags, {273, LONG, {end}});
        Bytes file = BuildTiff(false, tags, {});
        file.insert(file.end(), {1, 2, 3});
        const TTIFFGraphic g = Load(file);
        EXPECT_EQ(Row(g, 0, 2), (Bytes{1, 2}));
        EXPECT_EQ(Row(g, 1, 2), (Bytes{3, 0}));
        EXPECT_EQ(Row(g, 2, 2), (Bytes{0, 0}));
    }
}

TEST(TiffReader, FailuresNameTheirCause)
{
    const Bytes good = BuildTiff(false, Basic(2, 1, {8}, 1, 2), {1, 2});
    ASSERT_EQ(LoadError<TTIFFGraphic>(good), "loaded");
    struct Case { const char* name; Bytes file; std::string message; };
    std::vector<Case> cases;
    cases.push_back({"header cut short", Bytes(good.begin(), good.begin() + 6), "Stream read error"});
    {
        Bytes f = good;
        f[2] = 43; // BigTIFF or anything else
        cases.push_back({"version 43", f, "Invalid TIFF file."});
    }
    {
        Bytes f = good;
        f[4] = 0xF0, f[5] = 0xFF, f[6] = 0xFF, f[7] = 0x7F;
        cases.push_back({"directory beyond the end", f, "Stream read error"});
    }
    {
        Bytes f = good;
        const size_t ifd = GetLE32(f.data() + 4);
        f[ifd] = 0xFF, f[ifd + 1] = 0xFF;
        cases.push_back({"entry count beyond the end", f, "Stream read error"});
    }
    {
        auto tags = Basic(2, 1, {8}, 1, 2);
        DropTag(tags, 259);
        cases.push_back({"no compression entry", BuildTiff(false, tags, {1, 2}), "TIFF: Unknown compression scheme"});
    }
    cases.push_back({"old-style JPEG compression", BuildTiff(false, Basic(2, 1, {8}, 1, 2, 6), {1, 2}),
                     "TIFF: Unknown compression scheme"});
    cases.push_back({"JPEG compression over bytes that are no JPEG", BuildTiff(false, Basic(2, 1, {8}, 1, 2, 7), {1, 2}),
                     Format("TIFF: JPEG error #%d", int(JERR_NO_SOI))});
    cases.push_back({"width 0", BuildTiff(false, Basic(0, 1, {8}, 1, 2), {1, 2}), "Invalid TIFF file."});
    {
        auto tags = Basic(2, 1, {8}, 1, 2);
        DropTag(tags, 257);
        cases.push_back({"height missing", BuildTiff(false, tags, {1, 2}), "Invalid TIFF file."});
    }
    cases.push_back({"huge picture", BuildTiff(false, Basic(0xFFFFFFFF, 0xFFFFFFFF, {8}, 1, 2), {1, 2}),
                     "Picture too large (4294967295 x 4294967295 pixels)"});
    cases.push_back({"64 bits per sample", BuildTiff(false, Basic(2, 1, {64}, 1, 2), {1, 2}),
                     "TIFF: unsupported bits per sample"});
    cases.push_back({"mixed bits per sample", BuildTiff(false, Basic(2, 1, {8, 16, 8}, 2, 2), {1, 2}),
                     "TIFF: unsupported bits per sample"});
    {
        auto tags = Basic(2, 1, {8}, 1, 2);
        SetTag(tags, {277, SHORT, {60000}});
        cases.push_back({"60000 samples per pixel", BuildTiff(false, tags, {1, 2}), "TIFF: unsupported image layout"});
    }
    cases.push_back({"two colour channels", BuildTiff(false, Basic(2, 1, {8, 8}, 2, 4), {1, 2, 3, 4}),
                     "TIFF: unsupported image layout"});
    {
        auto tags = Basic(2, 1, {8}, 1, 2);
        SetTag(tags, {273, LONG, {0x7FFFFFF0}});
        cases.push_back({"strip offset beyond the end", BuildTiff(false, tags, {1, 2}),
                         "TIFF: strip offset beyond end of file"});
    }
    {
        auto tags = Basic(2, 2, {8}, 1, 2);
        SetTag(tags, {278, LONG, {1}});
        SetTag(tags, {273, LONG, {DataAt, DataAt + 1}});
        // Two strips, but the table of byte counts points past the file.
        SetTag(tags, {279, LONG, {1, 1}});
        Bytes f = BuildTiff(false, tags, {1, 2});
        cases.push_back({"strip table cut short", Bytes(f.begin(), f.end() - 4), "Stream read error"});
    }
    {
        auto tags = Basic(2, 1, {8}, 1, 2);
        DropTag(tags, 273);
        cases.push_back({"no strip offsets", BuildTiff(false, tags, {1, 2}), "Invalid TIFF file."});
    }
    {
        auto tags = Basic(2, 1, {8}, 3, 2);
        tags.push_back({320, SHORT, {1, 2, 3}});
        cases.push_back({"colour map too short", BuildTiff(false, tags, {1, 2}), "Invalid TIFF file."});
    }
    {
        auto tags = Basic(2, 1, {8}, 3, 2);
        cases.push_back({"palette without colour map", BuildTiff(false, tags, {1, 2}), "Invalid TIFF file."});
    }
    const Bytes badCode = TiffLzw({256, 65, 300});
    cases.push_back({"LZW code beyond the table",
                     BuildTiff(false, Basic(4, 1, {8}, 1, uint32_t(badCode.size()), 5), badCode), "TIF LZW: invalid opcode."});
    {
        auto tags = Basic(2, 2, {8, 8, 8}, 6, 6);
        tags.push_back({317, SHORT, {2}});
        cases.push_back({"predictor on YCbCr blocks", BuildTiff(false, tags, {1, 2, 3, 4, 5, 6}),
                         "TIFF: unsupported image layout"});
    }
    {
        auto tags = Basic(2, 2, {8, 8, 8, 8}, 6, 8);
        tags.push_back({338, SHORT, {2}});
        cases.push_back({"YCbCr blocks with an extra sample", BuildTiff(false, tags, {1, 2, 3, 4, 5, 6, 7, 8}),
                         "TIFF: unsupported image layout"});
    }
    {
        auto tags = Basic(32, 32, {8}, 1, 4);
        DropTag(tags, 273);
        DropTag(tags, 279);
        tags.push_back({322, LONG, {0}});
        tags.push_back({323, LONG, {16}});
        tags.push_back({324, LONG, {DataAt}});
        cases.push_back({"tile width 0", BuildTiff(false, tags, {1, 2, 3, 4}), "Invalid TIFF file."});
    }
    {
        auto tags = Basic(16, 16, {8}, 1, 4);
        DropTag(tags, 273);
        DropTag(tags, 279);
        tags.push_back({322, LONG, {8192}});
        tags.push_back({323, LONG, {8192}});
        tags.push_back({324, LONG, {DataAt}});
        cases.push_back({"tile far larger than the picture", BuildTiff(false, tags, {1, 2, 3, 4}),
                         "TIFF: tile larger than the picture"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadError<TTIFFGraphic>(c.file), c.message);
    }
}

// Deflate as scanners, editors and Pillow write it, and JPEG in TIFF: the
// lossless ones exactly the source, the JPEG ones as ImageMagick (libtiff
// with libjpeg) decodes them.
TEST(TiffReader, DeflateAndJpegFromTiffcpPillowAndImageMagick)
{
    if (ImageMagick().empty() || !HaveProgram("tiffcp") || PillowPython().empty())
        GTEST_SKIP() << "ImageMagick, libtiff-tools or Pillow not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm"), base = dir.File("base.tif");
    WriteFile(ppm, TestPatternPPM(61, 37));
    ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(ppm) + " -compress none " + Quote(base)), 0);
    const TPixels source = TestPattern(61, 37);

    struct Case { const char* name; std::string command; bool lossy; TPixelFormat format; };
    const std::string cp = "tiffcp " + Quote(base) + " ", im = ImageMagick() + " " + Quote(ppm) + " ";
    const auto pillow = [&](const std::string& options) {
        return std::string("pillow:im.save(out, ") + options + ")";
    };
    const Case cases[] = {
        {"tiffcp zip", cp + "-c zip", false, TPixelFormat::pf24bit},
        {"tiffcp zip with predictor, big-endian", cp + "-c zip:2 -B", false, TPixelFormat::pf24bit},
        {"tiffcp zip tiles", cp + "-c zip -t -w 16 -l 16", false, TPixelFormat::pf24bit},
        {"tiffcp zip planar", cp + "-c zip:2 -p separate -r 8", false, TPixelFormat::pf24bit},
        {"Pillow Adobe deflate", pillow("compression='tiff_adobe_deflate'"), false, TPixelFormat::pf24bit},
        {"ImageMagick zip, 16 bits", im + "-depth 16 -compress zip", false, TPixelFormat::pf24bit},
        {"ImageMagick zip grey", im + "-colorspace Gray -compress zip", false, TPixelFormat::pf8bit},
        {"tiffcp jpeg, YCbCr subsampled", cp + "-c jpeg:90", true, TPixelFormat::pf24bit},
        {"tiffcp jpeg, RGB", cp + "-c jpeg:r:90", true, TPixelFormat::pf24bit},
        {"tiffcp jpeg tiles", cp + "-c jpeg -t -w 16 -l 16", true, TPixelFormat::pf24bit},
        {"tiffcp jpeg strips of 16 rows", cp + "-c jpeg -r 16", true, TPixelFormat::pf24bit},
        {"Pillow jpeg", pillow("compression='jpeg'"), true, TPixelFormat::pf24bit},
        {"ImageMagick jpeg", im + "-compress jpeg", true, TPixelFormat::pf24bit},
        {"ImageMagick jpeg grey", im + "-colorspace Gray -compress jpeg", true, TPixelFormat::pf8bit},
        {"ImageMagick jpeg CMYK", im + "-colorspace CMYK -compress jpeg", true, TPixelFormat::pf24bit},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("case" + std::to_string(index++) + ".tif");
        if (c.command.rfind("pillow:", 0) == 0)
            ASSERT_TRUE(ConvertWithPeer(ppm, out, true, c.command.substr(7)));
        else
            ASSERT_EQ(RunCommand(c.command + " " + Quote(out)), 0);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TTIFFGraphic");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        if (c.lossy || c.format != TPixelFormat::pf24bit)
            EXPECT_LE(MaxDifference(PixelsOf(bitmap), DecodeWithImageMagick(out)), 1);
        else
            EXPECT_EQ(MaxDifference(PixelsOf(bitmap), source), 0);
    }
}

TEST(TiffReader, DeflateAndJpegFailuresNameTheirCause)
{
    // Deflate data whose first bytes are no zlib header.
    const Bytes notZlib = {0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(LoadError<TTIFFGraphic>(BuildTiff(false, Basic(2, 2, {8}, 1, 4, 8), notZlib)),
              "TIFF: damaged Deflate data");
    if (!HaveProgram("cjpeg"))
        GTEST_SKIP() << "libjpeg-turbo-progs not installed";
    TempDir dir;
    // A 16 x 16 grey JPEG as the one strip of a picture of 8 x 8.
    const std::string pgm = dir.File("g.pgm"), jpg = dir.File("g.jpg");
    std::string text = "P5\n16 16\n255\n";
    text.append(256, char(90));
    WriteFile(pgm, text);
    ASSERT_EQ(RunCommand("cjpeg -grayscale " + Quote(pgm) + " > " + Quote(jpg)), 0);
    const Bytes jpeg = ReadFile(jpg);
    EXPECT_EQ(LoadError<TTIFFGraphic>(BuildTiff(false, Basic(8, 8, {8}, 1, uint32_t(jpeg.size()), 7), jpeg)),
              "TIFF: JPEG data does not match the image");
    // The same strip as RGB: one component where three are wanted.
    EXPECT_EQ(LoadError<TTIFFGraphic>(BuildTiff(false, Basic(16, 16, {8, 8, 8}, 2, uint32_t(jpeg.size()), 7), jpeg)),
              "TIFF: JPEG data does not match the image");
    // And right: 16 x 16 grey.
    const TTIFFGraphic g = Load(BuildTiff(false, Basic(16, 16, {8}, 1, uint32_t(jpeg.size()), 7), jpeg));
    EXPECT_EQ(g.Width(), 16);
    EXPECT_NEAR(g.ScanLine(15)[15], 90, 1);
}
