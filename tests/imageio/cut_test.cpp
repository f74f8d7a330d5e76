#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/cutreader.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

// Two rows of 3 pixels: a run of 3, then a literal of 2 and a run of 1.
Bytes CutFile()
{
    TBytes f;
    f.U16(3).U16(2).U16(0);
    f.U16(3).U8(0x83).U8(5).U8(0);
    f.U16(6).U8(0x02).U8(1).U8(2).U8(0x81).U8(19).U8(0);
    return f.Data;
}

// A palette file of `colours` entries, entry i = (i, 2i, 3i) as 16-bit values.
Bytes PalFile(unsigned colours, size_t blocks)
{
    Bytes f(512 * blocks, 0);
    f[12] = uint8_t(colours - 1);
    f[13] = uint8_t((colours - 1) >> 8);
    size_t at = 40;
    for (unsigned i = 0; i < colours; ++i, at += 6) {
        if (at % 512 > 506)
            at = (at / 512 + 1) * 512;
        if (at + 6 > f.size())
            break;
        f[at] = uint8_t(i), f[at + 2] = uint8_t(2 * i), f[at + 4] = uint8_t(3 * i);
        f[at + 1] = 0xEE; // high bytes do not count
    }
    return f;
}

Bytes Row(const TBitmap& b, int y, size_t n) { return Bytes(b.ScanLine(y), b.ScanLine(y) + n); }

} // namespace

TEST(CutReader, RowsAndTheCompanionPalette)
{
    TempDir dir;
    WriteFile(dir.File("picture.cut"), CutFile());
    { // no palette file: 256 greys
        std::string reader;
        const TBitmap b = LoadBitmapFromFile(dir.File("picture.cut"), &reader);
        EXPECT_EQ(reader, "TCUTGraphic");
        EXPECT_EQ(Row(b, 0, 3), (Bytes{5, 5, 5}));
        EXPECT_EQ(Row(b, 1, 3), (Bytes{1, 2, 19}));
        EXPECT_EQ(PixelsOf(b).Bytes[0], 5);
    }
    { // a value of 19 at offset 12: 20 colours, low bytes of each 16-bit value
        WriteFile(dir.File("picture.pal"), PalFile(20, 1));
        TCUTGraphic g;
        g.LoadFromFile(dir.File("picture.cut"));
        EXPECT_EQ(g.PaletteFileName(), dir.File("picture.pal"));
        ASSERT_EQ(g.Palette().size(), 20u);
        EXPECT_EQ(g.Palette()[19], (TPaletteEntry{19, 38, 57, 0}));
        EXPECT_EQ(PixelsOf(g).Bytes[0], 5);
    }
    { // entries past offset 506 of a block move to the next block
        WriteFile(dir.File("picture.pal"), PalFile(200, 3));
        TCUTGraphic g;
        g.LoadFromFile(dir.File("picture.cut"));
        ASSERT_EQ(g.Palette().size(), 200u);
        EXPECT_EQ(g.Palette()[77], (TPaletteEntry{77, 154, 231, 0})); // the last entry of the first block
        EXPECT_EQ(g.Palette()[78], (TPaletteEntry{78, 156, 234, 0})); // the first of the second
        EXPECT_EQ(g.Palette()[199], (TPaletteEntry{199, 142, 85, 0}));
    }
    { // a palette file shorter than the blocks it needs
        WriteFile(dir.File("picture.pal"), PalFile(200, 1));
        TCUTGraphic g;
        EXPECT_THROW(g.LoadFromFile(dir.File("picture.cut")), EReadError);
    }
}

TEST(CutReader, ShortAndHostileData)
{
    { // rows cut short stay black
        Bytes f = CutFile();
        f.resize(12);
        const TCUTGraphic g = LoadReader<TCUTGraphic>(f);
        EXPECT_EQ(Row(g, 0, 3), (Bytes{5, 5, 5}));
        EXPECT_EQ(Row(g, 1, 3), (Bytes{0, 0, 0}));
    }
    { // a run longer than the row is cut at the row
        TBytes f;
        f.U16(2).U16(1).U16(0).U16(3).U8(0xFF).U8(8).U8(0);
        EXPECT_EQ(Row(LoadReader<TCUTGraphic>(f.Data), 0, 2), (Bytes{8, 8}));
    }
    EXPECT_EQ(LoadError<TCUTGraphic>({1, 0, 1}), "Stream read error");
    EXPECT_EQ(LoadError<TCUTGraphic>({0xFF, 0xFF, 0xFF, 0xFF, 0, 0}), "Picture too large (65535 x 65535 pixels)");
}
