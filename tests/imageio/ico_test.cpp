#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"
#include "imagetest.h"
#include "imageio/iconimage.h"
#include "imageio/picture.h"
#include "imageio/stream.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

struct Entry {
    std::vector<uint8_t> data;
    uint8_t dirWidth, dirHeight;
    unsigned dirBits;
    uint32_t offsetOverride = 0;
};

std::vector<uint8_t> IconFile(const std::vector<Entry>& entries)
{
    TBytes f;
    f.U16(0).U16(1).U16(unsigned(entries.size()));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        f.U8(e.dirWidth).U8(e.dirHeight).U8(0).U8(0).U16(1).U16(e.dirBits);
        f.U32(uint32_t(e.data.size())).U32(e.offsetOverride ? e.offsetOverride : offset);
        offset += uint32_t(e.data.size());
    }
    for (const Entry& e : entries)
        f.Raw(e.data);
    return f.Data;
}

// A BMP-encoded entry of w x w pixels at 24 bits, all (r, g, b), with an AND
// mask whose first row (the bottom) is transparent.
std::vector<uint8_t> DibEntry(int w, unsigned bits, uint8_t r, uint8_t g, uint8_t b)
{
    TBytes d;
    d.U32(40).U32(uint32_t(w)).U32(uint32_t(2 * w)).U16(1).U16(bits).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    const size_t row = (size_t(w) * bits + 31) / 32 * 4;
    for (int y = 0; y < w; ++y) {
        TBytes r1;
        for (int x = 0; x < w; ++x) {
            if (bits == 32)
                r1.U8(b).U8(g).U8(r).U8(0);
            else
                r1.U8(b).U8(g).U8(r);
        }
        r1.Fill(0, row - r1.Data.size());
        d.Raw(r1.Data);
    }
    const size_t maskRow = (size_t(w) + 31) / 32 * 4;
    for (int y = 0; y < w; ++y)
        d.Fill(y == 0 ? 0xFF : 0x00, maskRow);
    return d.Data;
}

TIcon LoadIcon(const std::vector<uint8_t>& bytes)
{
    TMemoryStream stream(bytes.data(), bytes.size());
    TIcon icon;
    icon.LoadFromStream(stream);
    return icon;
}

} // namespace

TEST(IconReader, TakesTheLargestThenDeepestEntry)
{
    struct Case { const char* name; std::vector<Entry> entries; int chosen; int width; uint8_t red; };
    const Case cases[] = {
        {"largest wins", {{DibEntry(2, 24, 10, 0, 0), 2, 2, 24}, {DibEntry(4, 24, 20, 0, 0), 4, 4, 24},
                          {DibEntry(3, 24, 30, 0, 0), 3, 3, 24}}, 1, 4, 20},
        {"deepest of the same size", {{DibEntry(3, 24, 10, 0, 0), 3, 3, 24}, {DibEntry(3, 32, 40, 0, 0), 3, 3, 32}},
         1, 3, 40},
        {"the entry's own header, not the directory", {{DibEntry(2, 24, 10, 0, 0), 0, 0, 24},
                                                       {DibEntry(3, 24, 50, 0, 0), 3, 3, 24}}, 1, 3, 50},
        {"an entry outside the file is passed over", {{DibEntry(5, 24, 1, 0, 0), 5, 5, 24, 0xFFFFFF00},
                                                      {DibEntry(2, 24, 60, 0, 0), 2, 2, 24}}, 1, 2, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TIcon icon = LoadIcon(IconFile(c.entries));
        EXPECT_EQ(icon.EntryIndex(), c.chosen);
        ASSERT_EQ(icon.Width(), c.width);
        EXPECT_EQ(icon.Height(), c.width);
        const TBitmap& b = icon.Bitmap();
        ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf32bit);
        // Top row opaque in the entry's colour; bottom row masked out (white).
        EXPECT_EQ((std::vector<int>{b.ScanLine(0)[2], b.ScanLine(0)[3]}), (std::vector<int>{c.red, 255}));
        const uint8_t* bottom = b.ScanLine(c.width - 1);
        EXPECT_EQ((std::vector<int>{bottom[0], bottom[1], bottom[2], bottom[3]}),
                  (std::vector<int>{255, 255, 255, 0}));
    }
}

TEST(IconReader, MaskBitsPickTheirOwnPixels)
{
    // A 4-bit entry 10 pixels wide and 2 high, palette index 1 (red 90)
    // everywhere; the mask rows 0xA5 0x40 and 0x00 0xC0.
    const int w = 10;
    TBytes d;
    d.U32(40).U32(w).U32(2 * 2).U16(1).U16(4).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    d.U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(90).U8(0); // black, then red 90
    for (int i = 2; i < 16; ++i)
        d.U32(0);
    for (int y = 0; y < 2; ++y)
        d.U8(0x11).U8(0x11).U8(0x11).U8(0x11).U8(0x11).U8(0).U8(0).U8(0);
    const uint8_t masks[2][2] = {{0xA5, 0x40}, {0x00, 0xC0}};
    for (const auto& m : masks)
        d.U8(m[0]).U8(m[1]).U8(0).U8(0);
    const TIcon icon = LoadIcon(IconFile({{d.Data, w, 2, 4}}));
    const TBitmap& b = icon.Bitmap();
    ASSERT_EQ(b.Width(), w);
    ASSERT_EQ(b.Height(), 2);
    for (int fileRow = 0; fileRow < 2; ++fileRow) {
        const uint8_t* row = b.ScanLine(1 - fileRow); // rows are stored bottom up
        for (int x = 0; x < w; ++x) {
            SCOPED_TRACE(testing::Message() << "row " << fileRow << ", pixel " << x);
            const bool transparent = (masks[fileRow][x / 8] >> (7 - x % 8)) & 1;
            const std::vector<int> expected = transparent ? std::vector<int>{255, 255, 255, 0}
                                                          : std::vector<int>{0, 0, 90, 255};
            EXPECT_EQ((std::vector<int>{row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]}), expected);
        }
    }
}

TEST(IconReader, HostileFilesEndInAClearError)
{
    std::vector<uint8_t> hugeCount = IconFile({{DibEntry(2, 24, 1, 1, 1), 2, 2, 24}});
    hugeCount[4] = 0xFF, hugeCount[5] = 0xFF;
    std::vector<uint8_t> giant = DibEntry(2, 24, 1, 1, 1);
    giant[4] = 0xFF, giant[5] = 0xFF, giant[6] = 0xFF, giant[7] = 0x00; // 16M wide
    std::vector<uint8_t> cut = IconFile({{DibEntry(8, 24, 1, 1, 1), 8, 8, 24}});
    cut[6 + 8] = 0xFF; // the directory claims more bytes than the file has
    struct Case { const char* name; std::vector<uint8_t> file; std::string message; };
    const Case cases[] = {
        {"empty", {}, "Icon image is not valid"},
        {"no entries", {0, 0, 1, 0, 0, 0}, "Icon image is not valid"},
        {"wrong type", {0, 0, 3, 0, 1, 0}, "Icon image is not valid"},
        {"directory beyond the file", hugeCount, "ICO: directory beyond end of file"},
        {"entry size beyond the file", cut, "ICO: no readable entry"},
        {"entry wider than the limit", IconFile({{giant, 2, 2, 24}}), "Picture too large (16777215 x 2 pixels)"},
        {"PNG entry that is not PNG", IconFile({{{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H',
                                                  'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1, 8, 6, 0, 0, 0, 0, 0, 0},
                                                 1, 1, 32}}),
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            LoadIcon(c.file);
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            if (c.message.empty())
                EXPECT_EQ(e.Message().rfind("PNG: ", 0), 0u) << e.Message();
            else
                EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST(IconReader, IconsWrittenByImageMagickAndPillow)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string png = dir.File("source.png");
    ASSERT_EQ(RunCommand(ImageMagick() + " -size 256x256 radial-gradient:'rgba(255,200,0,1)'-'rgba(0,0,255,0)' " +
                         Quote(png)),
              0);
    // Some of Pillow's BMP entries are beyond ImageMagick's icon reader, so
    // Pillow files are checked against Pillow's own decoding.
    struct Case { const char* name; std::string make; int width; };
    const Case cases[] = {
        {"ImageMagick BMP entries", ImageMagick() + " " + Quote(png) + " -define icon:auto-resize=48,32,16 ", 48},
        {"ImageMagick with a 256 PNG entry", ImageMagick() + " " + Quote(png) + " -define icon:auto-resize=16,256,32 ",
         256},
        {"Pillow PNG entries", "im.save(out, sizes=[(16, 16), (64, 64), (24, 24)])", 64},
        {"Pillow BMP entries", "im.save(out, sizes=[(16, 16), (40, 40)], bitmap_format='bmp')", 40},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("i" + std::to_string(index++) + ".ico");
        const bool pillow = c.make.rfind("im.save", 0) == 0;
        if (pillow) {
            if (PillowPython().empty())
                continue;
            ASSERT_TRUE(RunPillow("im = Image.open('" + png + "').convert('RGBA')\nout = '" + out + "'\n" + c.make));
        } else {
            ASSERT_EQ(RunCommand(c.make + Quote(out)), 0);
        }
        TPicture picture;
        picture.LoadFromFile(out);
        auto* icon = dynamic_cast<TIcon*>(picture.Graphic());
        ASSERT_NE(icon, nullptr);
        ASSERT_EQ(icon->Width(), c.width);
        TPixels expected;
        if (pillow) {
            const std::string pam = out + ".pam";
            ASSERT_TRUE(RunPillow("im = Image.open('" + out + "').convert('RGBA')\n"
                                  "open('" + pam + "', 'wb').write(b'P7\\nWIDTH %d\\nHEIGHT %d\\nDEPTH 4\\nMAXVAL 255\\n"
                                  "TUPLTYPE RGB_ALPHA\\nENDHDR\\n' % im.size + im.tobytes())"));
            expected = ParseNetpbm(ReadFile(pam));
        } else {
            bool ok = false;
            const std::string pam = CommandOutput(
                ImageMagick() + " " + Quote(out + "[" + std::to_string(icon->EntryIndex()) + "]") + " -depth 8 pam:-",
                &ok);
            ASSERT_TRUE(ok);
            expected = ParseNetpbm({pam.begin(), pam.end()});
        }
        TPixels actual = PixelsOf(icon->Bitmap(), true);
        ASSERT_EQ(expected.Channels, 4);
        // Colour under full transparency carries no meaning (ours is white).
        for (size_t i = 0; i + 3 < expected.Bytes.size(); i += 4)
            if (expected.Bytes[i + 3] == 0)
                for (size_t k = 0; k < 3; ++k)
                    expected.Bytes[i + k] = actual.Bytes[i + k];
        EXPECT_LE(MaxDifference(actual, expected), 1);
    }
}
