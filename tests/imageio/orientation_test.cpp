// The orientation cameras record: EXIF blocks of every kind, the JPEG
// markers around them, and files of all eight orientations written by Pillow
// and ImageMagick, shown upright as Pillow turns them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/orientation.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

// A TIFF-structured EXIF block holding one orientation entry, in either
// byte order; `type` 3 is SHORT.
Bytes Exif(bool bigEndian, unsigned value, unsigned type = 3, bool withMark = false)
{
    TEndianBytes b{bigEndian, {}};
    if (withMark)
        b.Text(std::string("Exif\0\0", 6));
    b.Text(bigEndian ? "MM" : "II").U16(42).U32(8);
    b.U16(2);
    b.U16(0x010F).U16(2).U32(4).U32(0);        // Make, before it
    b.U16(0x0112).U16(type).U32(1);
    if (type == 3)
        b.U16(value).U16(0);
    else
        b.U32(value);
    b.U32(0);
    return b.Data;
}

std::string Tool()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (self.parent_path().parent_path().parent_path() / "tessaria-convert").string();
}

} // namespace

TEST(Orientation, ExifBlocksOfEveryKind)
{
    struct Case { const char* name; Bytes block; int expected; };
    std::vector<Case> cases = {
        {"little-endian", Exif(false, 6), 6},
        {"big-endian", Exif(true, 8), 8},
        {"after the APP1 mark", Exif(true, 3, 3, true), 3},
        {"stored as LONG", Exif(false, 5, 4), 5},
        {"value 0", Exif(false, 0), 1},
        {"value 9", Exif(false, 9), 1},
        {"stored as ASCII", Exif(false, 6, 2), 1},
        {"empty", {}, 1},
        {"no byte order", Bytes{'X', 'X', 42, 0, 8, 0, 0, 0, 0, 0}, 1},
    };
    {
        Bytes b = Exif(false, 6);
        b[4] = 0xF0; // directory beyond the end
        cases.push_back({"directory beyond the end", b, 1});
    }
    {
        Bytes b = Exif(false, 6);
        b[8] = 0xFF, b[9] = 0xFF; // more entries than the block holds
        cases.push_back({"entry count beyond the end", b, 6});
    }
    {
        Bytes b = Exif(false, 6);
        b.resize(8 + 2 + 12 + 6); // the orientation entry cut in half
        cases.push_back({"entry cut short", b, 1});
    }
    {
        Bytes b = Exif(false, 6);
        b[8 + 2 + 12 + 4] = 0; // count 0
        cases.push_back({"no values", b, 1});
    }
    for (const Case& c : cases)
        EXPECT_EQ(ExifOrientation(c.block.data(), c.block.size()), c.expected) << c.name;
}

TEST(Orientation, JpegMarkersAreWalkedToTheFirstExifBlock)
{
    auto segment = [](uint8_t marker, const Bytes& body) {
        Bytes s = {0xFF, marker, uint8_t((body.size() + 2) >> 8), uint8_t(body.size() + 2)};
        s.insert(s.end(), body.begin(), body.end());
        return s;
    };
    auto jpeg = [](std::initializer_list<Bytes> parts) {
        Bytes f = {0xFF, 0xD8};
        for (const Bytes& p : parts)
            f.insert(f.end(), p.begin(), p.end());
        return f;
    };
    const Bytes exif6 = Exif(false, 6, 3, true), exif8 = Exif(true, 8, 3, true);
    const std::string xmpText = "http://ns.adobe.com/xap/1.0/";
    const Bytes xmp(xmpText.begin(), xmpText.end() + 1);
    const Bytes sos = {0xFF, 0xDA, 0, 2};
    struct Case { const char* name; Bytes file; int expected; };
    Bytes cutShort = jpeg({segment(0xE1, exif6)});
    cutShort.resize(cutShort.size() - 10);
    const Case cases[] = {
        {"after a JFIF segment", jpeg({segment(0xE0, {'J', 'F', 'I', 'F', 0}), segment(0xE1, exif6)}), 6},
        {"an XMP APP1 first", jpeg({segment(0xE1, xmp), segment(0xE1, exif8)}), 8},
        {"the first of two", jpeg({segment(0xE1, exif6), segment(0xE1, exif8)}), 6},
        {"fill bytes before a marker", jpeg({Bytes{0xFF, 0xFF}, segment(0xE1, exif6)}), 6},
        {"after the first scan", jpeg({sos, segment(0xE1, exif6)}), 1},
        {"segment longer than the file", cutShort, 1},
        {"no JPEG", Bytes{'G', 'I', 'F', '8'}, 1},
        {"garbage between segments", jpeg({Bytes{0x12, 0x34}, segment(0xE1, exif6)}), 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JPEGOrientation(c.file.data(), c.file.size()), c.expected) << c.name;
}

// Every orientation, in JPEG, PNG, WebP and TIFF from Pillow and JPEG and
// TIFF from ImageMagick: the reader reports it and keeps the pixels as
// stored, and the upright picture is the one Pillow's exif_transpose gives
// (ImageMagick's -auto-orient for TIFF, which Pillow's libtiff reading
// already turns in part).
TEST(Orientation, FilesOfAllEightOrientations)
{
    if (PillowPython().empty() || ImageMagick().empty())
        GTEST_SKIP() << "Pillow or ImageMagick not installed";
    TempDir dir;
    const std::string base = dir.File("o");
    ASSERT_TRUE(RunPillow(
        "im = Image.new('RGB', (6, 4))\n"
        "im.putdata([(x * 40, y * 60, (x + y) * 20) for y in range(4) for x in range(6)])\n"
        "im.save('" + base + ".ppm')\n"
        "for o in range(1, 9):\n"
        "    ex = Image.Exif()\n"
        "    ex[0x0112] = o\n"
        "    p = '" + base + "%d' % o\n"
        "    im.save(p + '-pillow.jpg', exif=ex.tobytes(), quality=100, subsampling=0)\n"
        "    im.save(p + '-pillow.png', exif=ex.tobytes())\n"
        "    im.save(p + '-pillow.webp', exif=ex.tobytes(), lossless=True)\n"
        "    im.save(p + '-pillow.tif', tiffinfo={274: o})\n"));
    const char* names[9] = {"", "TopLeft", "TopRight", "BottomRight", "BottomLeft",
                            "LeftTop", "RightTop", "RightBottom", "LeftBottom"};
    // ImageMagick writes a JPEG's orientation into an EXIF block it already
    // has, so its JPEGs start from Pillow's.
    for (int o = 1; o <= 8; ++o) {
        const std::string out = base + std::to_string(o) + "-magick.";
        ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(base + "1-pillow.jpg") + " -quality 100 -sampling-factor 1x1 -orient " +
                             names[o] + " " + Quote(out + "jpg")), 0);
        ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(base + ".ppm") + " -orient " + names[o] + " " + Quote(out + "tif")), 0);
    }
    // The independent decodings, as stored and upright.
    ASSERT_TRUE(RunPillow("from PIL import ImageOps\n"
                          "for o in range(1, 9):\n"
                          "    for f in ('-pillow.jpg', '-pillow.png', '-pillow.webp', '-magick.jpg'):\n"
                          "        p = '" + base + "%d' % o + f\n"
                          "        im = Image.open(p)\n"
                          "        im.convert('RGB').save(p + '.stored.ppm')\n"
                          "        ImageOps.exif_transpose(im).convert('RGB').save(p + '.expected.ppm')\n"));
    for (int o = 1; o <= 8; ++o)
        for (const char* file : {"-pillow.tif", "-magick.tif"}) {
            const std::string path = base + std::to_string(o) + file;
            ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(path) + " -write " + Quote(path + ".stored.ppm") +
                                 " -auto-orient " + Quote(path + ".expected.ppm")), 0);
        }
    for (int o = 1; o <= 8; ++o)
        for (const char* file : {"-pillow.jpg", "-pillow.png", "-pillow.webp", "-pillow.tif", "-magick.jpg", "-magick.tif"}) {
            const std::string path = base + std::to_string(o) + file;
            SCOPED_TRACE(path);
            const TBitmap stored = LoadBitmapFromFile(path);
            EXPECT_EQ(stored.Orientation(), o);
            EXPECT_LE(MaxDifference(PixelsOf(stored), ParseNetpbm(ReadFile(path + ".stored.ppm"))), 1);
            const std::string upright = path + ".upright.ppm";
            ASSERT_EQ(RunCommand(Quote(Tool()) + " --upright " + Quote(path) + " " + Quote(upright)), 0);
            EXPECT_LE(MaxDifference(ParseNetpbm(ReadFile(upright)), ParseNetpbm(ReadFile(path + ".expected.ppm"))), 1);
        }
}
