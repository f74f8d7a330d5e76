#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/gifreader.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

// LZW codes that are all literals: a clear code before every block short
// enough that the code size never grows.
Bytes GifLzw(const Bytes& pixels, unsigned minSize)
{
    const unsigned clear = 1u << minSize, width = minSize + 1, block = clear - 2;
    Bytes out;
    uint32_t acc = 0;
    unsigned bits = 0;
    auto put = [&](unsigned code) {
        acc |= code << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % block == 0)
            put(clear);
        put(pixels[i]);
    }
    put(clear + 1);
    if (bits)
        out.push_back(uint8_t(acc));
    return out;
}

// Packed data as sub-blocks of at most `chunk` bytes and the terminator.
Bytes SubBlocks(const Bytes& data, size_t chunk = 255)
{
    Bytes out;
    for (size_t i = 0; i < data.size(); i += chunk) {
        const size_t n = std::min(chunk, data.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    out.push_back(0);
    return out;
}

struct TGifSpec {
    std::string Signature = "GIF89a";
    unsigned ScreenW = 0, ScreenH = 0;
    unsigned Width = 0, Height = 0;
    Bytes Global;  // r, g, b triples (a power of two of them) or empty
    Bytes Local;
    bool Interlaced = false;
    Bytes Before;  // blocks before the image (extensions)
    unsigned MinSize = 8;
    Bytes Packed;  // the LZW data; GifLzw(Pixels) when empty
    Bytes Pixels;
};

unsigned TableFlags(const Bytes& table)
{
    unsigned n = unsigned(table.size() / 3), k = 0;
    while ((2u << k) < n)
        ++k;
    return 0x80 | k;
}

Bytes BuildGif(const TGifSpec& s)
{
    TBytes f;
    f.Raw(Bytes(s.Signature.begin(), s.Signature.end()));
    f.U16(s.ScreenW).U16(s.ScreenH).U8(s.Global.empty() ? 0 : TableFlags(s.Global)).U8(0).U8(0).Raw(s.Global);
    f.Raw(s.Before);
    f.U8(0x2C).U16(0).U16(0).U16(s.Width).U16(s.Height);
    f.U8((s.Local.empty() ? 0 : TableFlags(s.Local)) | (s.Interlaced ? 0x40 : 0)).Raw(s.Local);
    f.U8(s.MinSize).Raw(SubBlocks(s.Packed.empty() ? GifLzw(s.Pixels, s.MinSize) : s.Packed));
    f.U8(0x3B);
    return f.Data;
}

Bytes Greys(unsigned n)
{
    Bytes t;
    for (unsigned i = 0; i < n; ++i)
        t.insert(t.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
    return t;
}

} // namespace

TEST(GifReader, FilesFromImageMagickAndPillow)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm");
    WriteFile(ppm, TestPatternPPM());
    struct Case { const char* name; bool pillow; std::string command; };
    const Case cases[] = {
        {"256 colours", false, "-colors 256"},
        {"few colours", false, "-colors 6"},
        {"two colours", false, "-monochrome"},
        {"interlaced", false, "-colors 100 -interlace GIF"},
        {"pillow adaptive", true, "im.convert('P', palette=Image.ADAPTIVE, colors=90).save(out)"},
        {"pillow interlaced", true, "im.convert('P', palette=Image.ADAPTIVE, colors=30).save(out, interlace=True)"},
        {"pillow grey", true, "im.convert('L').save(out)"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("case" + std::to_string(index++) + ".gif");
        if (c.pillow && PillowPython().empty())
            continue;
        ASSERT_TRUE(ConvertWithPeer(ppm, out, c.pillow, c.command));
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TGIFGraphic");
        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
        EXPECT_EQ(MaxDifference(PixelsOf(bitmap), DecodeWithImageMagick(out)), 0);
    }
}

TEST(GifReader, BlocksBuiltByteByByte)
{
    { // lower-case signature, an extension to skip, width 0 taking the screen's
        TGifSpec s;
        s.Signature = "gif87a";
        s.ScreenW = 3, s.ScreenH = 1;
        s.Height = 1;
        s.Global = Greys(4);
        s.MinSize = 2;
        s.Before = {0x21, 0xF9, 4, 1, 0, 0, 2, 0};
        s.Pixels = {3, 0, 2};
        const TGIFGraphic g = LoadReader<TGIFGraphic>(BuildGif(s));
        ASSERT_EQ(g.Width(), 3);
        EXPECT_EQ(Bytes(g.ScanLine(0), g.ScanLine(0) + 3), (Bytes{3, 0, 2}));
        EXPECT_EQ(g.Palette().size(), 4u);
    }
    { // interlaced, 10 rows: decoded lines fill rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9
        TGifSpec s;
        s.Width = 1, s.Height = 10;
        s.Global = Greys(16);
        s.MinSize = 4;
        s.Interlaced = true;
        for (uint8_t i = 0; i < 10; ++i)
            s.Pixels.push_back(i);
        const TGIFGraphic g = LoadReader<TGIFGraphic>(BuildGif(s));
        const int rows[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(g.ScanLine(rows[i])[0], i) << "decoded line " << i;
    }
    { // a local colour table replaces the global one; long data over many sub-blocks
        TGifSpec s;
        s.Width = 300, s.Height = 2;
        s.Global = Greys(256);
        Bytes local(3 * 256, 0);
        local[3 * 7] = 200, local[3 * 7 + 1] = 100, local[3 * 7 + 2] = 50;
        s.Local = local;
        for (int i = 0; i < 600; ++i)
            s.Pixels.push_back(uint8_t(i * 7 % 256));
        const Bytes file = BuildGif(s);
        const TGIFGraphic g = LoadReader<TGIFGraphic>(file);
        EXPECT_EQ(g.Palette()[7], (TPaletteEntry{200, 100, 50, 0}));
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(g.ScanLine(1)[x], uint8_t((300 + x) * 7 % 256)) << x;
    }
    { // the trailer before any image: an empty bitmap
        TBytes f;
        f.Raw({'G', 'I', 'F', '8', '9', 'a'}).U16(5).U16(5).U8(0).U8(0).U8(0).U8(0x21).U8(0xFE).U8(1).U8('x').U8(0).U8(0x3B);
        const TGIFGraphic g = LoadReader<TGIFGraphic>(f.Data);
        EXPECT_TRUE(g.Empty());
    }
    { // an index beyond a small palette reads as black, not past the palette
        TGifSpec s;
        s.Width = 2, s.Height = 1;
        s.Global = {255, 255, 255, 9, 9, 9};
        s.MinSize = 2;
        s.Pixels = {3, 0};
        const TGIFGraphic g = LoadReader<TGIFGraphic>(BuildGif(s));
        EXPECT_EQ(PixelsOf(g).Bytes, (Bytes{0, 0, 0, 255, 255, 255}));
    }
}

TEST(GifReader, FailuresNameTheirCause)
{
    TGifSpec good;
    good.Width = 2, good.Height = 2;
    good.Global = Greys(4);
    good.MinSize = 2;
    good.Pixels = {1, 2, 3, 0};
    const Bytes file = BuildGif(good);
    ASSERT_EQ(LoadError<TGIFGraphic>(file), "loaded");
    struct Case { const char* name; Bytes file; std::string message; };
    std::vector<Case> cases;
    cases.push_back({"not a GIF", {'G', 'I', 'X', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0}, "Not a valid GIF file."});
    cases.push_back({"header cut short", Bytes(file.begin(), file.begin() + 8), "Stream read error"});
    cases.push_back({"colour table cut short", Bytes(file.begin(), file.begin() + 16), "Stream read error"});
    cases.push_back({"no trailer, no image", Bytes(file.begin(), file.begin() + 25), "Stream read error"});
    {
        Bytes f = file;
        f.resize(f.size() - 4); // inside the data sub-block
        cases.push_back({"data cut short", f, "Stream read error"});
    }
    {
        TGifSpec s = good;
        s.Width = s.Height = 0;
        cases.push_back({"empty frame on an empty screen", BuildGif(s), "GIF: empty image"});
    }
    {
        TGifSpec s = good;
        s.Width = s.Height = 65535;
        cases.push_back({"huge frame", BuildGif(s), "Picture too large (65535 x 65535 pixels)"});
    }
    {
        TGifSpec s = good;
        s.MinSize = 12;
        s.Packed = {0xFF, 0xFF};
        cases.push_back({"code size 12", BuildGif(s), "GIF: invalid LZW code size"});
    }
    {
        TGifSpec s = good;
        // clear (4), 1, then 7 when the next free code is 6: 3-bit codes, LSB first.
        s.Packed = {uint8_t(4 | 1 << 3 | (7 & 3) << 6), uint8_t(7 >> 2)};
        cases.push_back({"code beyond the table", BuildGif(s), "GIF LZW: invalid opcode."});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadError<TGIFGraphic>(c.file), c.message);
    }
}
