// PNG, WebP, HEIF and AVIF, read through their libraries: files written by
// independent programs against independent decodings, transparency over
// white, and every failure one message naming the format.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "imagetest.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

// A gradient with soft and hard alpha edges, as RGBA PNG.
void WriteAlphaSource(const std::string& path)
{
    RunPillow("im = Image.new('RGBA', (37, 23))\n"
              "im.putdata([(x * 7, y * 11, 200 - x * 3, 0 if x < 5 else 255 if x > 30 else (x * 9 + y * 3) % 256)"
              " for y in range(23) for x in range(37)])\n"
              "im.save('" + path + "')\n");
}

// ImageMagick's decoding composited over white.
TPixels OverWhiteByImageMagick(const std::string& file)
{
    bool ok = false;
    const std::string out =
        CommandOutput(ImageMagick() + " " + Quote(file) + " -background white -alpha remove -alpha off -depth 8 ppm:-", &ok);
    if (!ok)
        throw std::runtime_error("ImageMagick could not decode " + file);
    return ParseNetpbm(std::vector<uint8_t>(out.begin(), out.end()));
}

// The mean of all byte differences (sizes must match).
double MeanDifference(const TPixels& a, const TPixels& b)
{
    if (a.Bytes.size() != b.Bytes.size() || a.Bytes.empty())
        return 256;
    double sum = 0;
    for (size_t i = 0; i < a.Bytes.size(); ++i)
        sum += std::abs(int(a.Bytes[i]) - int(b.Bytes[i]));
    return sum / double(a.Bytes.size());
}

// ImageMagick reads HEIF's YCbCr planes and converts them itself, its chroma
// widened otherwise than libheif does: hard edges differ by a few levels,
// the picture as a whole by far less than one.
constexpr int HeifTolerance = 8;

struct TCase {
    std::string name;
    std::string write; // a shell command with {in} and {out}, or "pillow:" and a snippet
    std::string ext;
    std::string reader;
    int tolerance;
    bool alpha = false; // compare over white
};

void WriteWith(const std::string& write, const std::string& in, const std::string& out)
{
    if (write.rfind("pillow:", 0) == 0) {
        ASSERT_TRUE(ConvertWithPeer(in, out, true, write.substr(7)));
        return;
    }
    const std::string command = WithPaths(write, in, out);
    ASSERT_EQ(RunCommand(command + " > /dev/null 2>&1"), 0) << command;
}

} // namespace

TEST(LibraryFormats, FilesFromIndependentWriters)
{
    if (ImageMagick().empty() || PillowPython().empty())
        GTEST_SKIP() << "ImageMagick or Pillow not installed";
    TempDir dir;
    const std::string ppm = dir.File("source.ppm"), rgba = dir.File("alpha.png");
    WriteFile(ppm, TestPatternPPM());
    WriteAlphaSource(rgba);
    const std::string im = ImageMagick();
    std::vector<TCase> cases = {
        {"PNG RGB from ImageMagick", im + " {in} PNG24:{out}", "png", "TPNGGraphic", 0},
        {"PNG 16-bit RGB", im + " {in} -depth 16 PNG48:{out}", "png", "TPNGGraphic", 1},
        {"PNG grey", im + " {in} -colorspace Gray PNG8:{out}", "png", "TPNGGraphic", 0},
        {"PNG 2-bit grey", "pillow:im.convert('L').quantize(4).convert('L').save(out, bits=2)", "png", "TPNGGraphic", 0},
        {"PNG palette", "pillow:im.quantize(20).save(out)", "png", "TPNGGraphic", 0},
        {"PNG interlaced", im + " {in} -interlace PNG {out}", "png", "TPNGGraphic", 0},
        {"PNG RGBA from Pillow", "pillow:im.save(out)", "png", "TPNGGraphic", 1, true},
        {"PNG grey and alpha", "pillow:im.convert('LA').save(out)", "png", "TPNGGraphic", 1, true},
        {"PNG palette with transparency", "pillow:im.convert('RGBA').quantize(30).save(out)", "png", "TPNGGraphic", 1,
         true},
        {"PNG 16-bit RGBA", im + " {in} -depth 16 PNG64:{out}", "png", "TPNGGraphic", 1, true},
        {"WebP lossy from cwebp", "cwebp -q 80 {in} -o {out}", "webp", "TWebPGraphic", 0},
        {"WebP lossless from cwebp", "cwebp -lossless {in} -o {out}", "webp", "TWebPGraphic", 0},
        {"WebP lossy with alpha", "cwebp -q 80 -alpha_q 100 {in} -o {out}", "webp", "TWebPGraphic", 1, true},
        {"WebP lossless with alpha from Pillow", "pillow:im.save(out, lossless=True)", "webp", "TWebPGraphic", 1, true},
        {"HEIC from heif-enc", "heif-enc -q 90 -o {out} {in}", "heic", "THEIFGraphic", HeifTolerance},
        {"HEIC from ImageMagick", im + " {in} -quality 90 {out}", "heic", "THEIFGraphic", HeifTolerance},
        {"AVIF from ImageMagick", im + " {in} -quality 90 {out}", "avif", "THEIFGraphic", HeifTolerance},
    };
    int index = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const bool alpha = c.alpha;
        if (c.write.rfind("cwebp", 0) == 0 && !HaveProgram("cwebp"))
            continue;
        if (c.write.rfind("heif-enc", 0) == 0 && !HaveProgram("heif-enc"))
            continue;
        // cwebp and heif-enc read PNG; the others read the picture as it is.
        std::string in = alpha ? rgba : ppm;
        if (!alpha && (c.write.rfind("cwebp", 0) == 0 || c.write.rfind("heif-enc", 0) == 0)) {
            in = dir.File("source.png");
            ASSERT_EQ(RunCommand(im + " " + Quote(ppm) + " " + Quote(in)), 0);
        }
        const std::string out = dir.File("case" + std::to_string(index++) + "." + c.ext);
        WriteWith(c.write, in, out);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, c.reader);
        // Transparency comes out opaque, over white.
        const TPixels expected = alpha ? OverWhiteByImageMagick(out) : DecodeWithImageMagick(out);
        EXPECT_LE(MaxDifference(PixelsOf(bitmap), expected), c.tolerance);
        EXPECT_LT(MeanDifference(PixelsOf(bitmap), expected), 1.0);
        if (bitmap.PixelFormat() == TPixelFormat::pf32bit) {
            for (int y = 0; y < bitmap.Height(); ++y)
                for (int x = 0; x < bitmap.Width(); ++x)
                    ASSERT_EQ(bitmap.ScanLine(y)[4 * x + 3], 255);
        }
    }
}

// HEIC keeps its alpha where ImageMagick's reading drops it: over white it
// is libheif's own tool's RGBA output over white.
TEST(LibraryFormats, HeicAlphaOverWhite)
{
    if (ImageMagick().empty() || PillowPython().empty() || !HaveProgram("heif-enc") || !HaveProgram("heif-convert"))
        GTEST_SKIP() << "ImageMagick, Pillow or libheif-examples not installed";
    TempDir dir;
    const std::string rgba = dir.File("alpha.png"), out = dir.File("alpha.heic"), back = dir.File("back.png");
    WriteAlphaSource(rgba);
    ASSERT_EQ(RunCommand("heif-enc -q 90 -o " + Quote(out) + " " + Quote(rgba) + " > /dev/null"), 0);
    ASSERT_EQ(RunCommand("heif-convert " + Quote(out) + " " + Quote(back) + " > /dev/null"), 0);
    const TPixels got = PixelsOf(LoadBitmapFromFile(out)), expected = OverWhiteByImageMagick(back);
    EXPECT_LE(MaxDifference(got, expected), 1);
    // The transparent left edge is white.
    EXPECT_EQ(got.Bytes[0], 255);
    EXPECT_EQ(got.Bytes[2], 255);
}

// An animated WebP shows its first frame; a PNG cut inside its image data
// shows the rows that arrived.
TEST(LibraryFormats, AnimationsAndShortFiles)
{
    if (PillowPython().empty())
        GTEST_SKIP() << "Pillow not installed";
    TempDir dir;
    const std::string anim = dir.File("anim.webp"), png = dir.File("rows.png"), cut = dir.File("cut.png");
    ASSERT_TRUE(RunPillow("frames = [Image.new('RGB', (20, 10), c) for c in ((200, 10, 10), (10, 200, 10))]\n"
                          "frames[0].save('" + anim + "', save_all=True, append_images=frames[1:], lossless=True)\n"
                          "im = Image.new('RGB', (300, 200))\n"
                          "im.putdata([((x * y) % 256, x % 256, y) for y in range(200) for x in range(300)])\n"
                          "im.save('" + png + "', compress_level=1)\n"));
    const TBitmap first = LoadBitmapFromFile(anim);
    ASSERT_EQ(first.Width(), 20);
    EXPECT_EQ(PixelsOf(first).Bytes[0], 200);
    EXPECT_EQ(PixelsOf(first).Bytes[1], 10);

    Bytes bytes = ReadFile(png);
    bytes.resize(bytes.size() / 2);
    WriteFile(cut, bytes);
    const TBitmap partial = LoadBitmapFromFile(cut);
    ASSERT_EQ(partial.Height(), 200);
    const TPixels full = DecodeWithPillow(png), got = PixelsOf(partial);
    // The first rows are there and right.
    EXPECT_TRUE(std::equal(full.Bytes.begin(), full.Bytes.begin() + 300 * 3 * 10, got.Bytes.begin()));
}

TEST(LibraryFormats, FailuresNameTheirFormat)
{
    TempDir dir;
    struct Case { std::string name, ext; Bytes file; std::string message; };
    const Bytes pngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes badCrc = pngSignature;
    // An IHDR of 1 x 1 whose CRC is wrong.
    badCrc.insert(badCrc.end(), {0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0, 1, 2, 3, 4});
    const std::string riff = "RIFF\x10\0\0\0WEBPVP8 \x04\0\0\0abcd";
    const std::string ftyp = std::string("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic", 24);
    const std::string avif = std::string("\0\0\0\x18" "ftypavif\0\0\0\0mif1avif", 24);
    const Case cases[] = {
        {"PNG: not a PNG", "png", Bytes{'G', 'I', 'F', '8', '9', 'a'}, "PNG: "},
        {"PNG: IHDR with a wrong CRC", "png", badCrc, "PNG: "},
        {"PNG: signature only", "png", pngSignature, "PNG: "},
        {"WebP: not a WebP", "webp", Bytes{'R', 'I', 'F', 'F'}, "WebP: not a valid WebP file"},
        {"WebP: damaged", "webp", Bytes(riff.begin(), riff.end()), "WebP: "},
        {"HEIF: not a HEIF", "heic", Bytes{1, 2, 3}, "HEIF: not a valid HEIF file"},
        {"HEIF: boxes missing", "heic", Bytes(ftyp.begin(), ftyp.end()), "HEIF: "},
        {"AVIF: boxes missing", "avif", Bytes(avif.begin(), avif.end()), "AVIF: "},
        {"AVIF: empty", "avif", {}, "HEIF: not a valid HEIF file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("bad." + c.ext);
        WriteFile(path, c.file);
        try {
            LoadBitmapFromFile(path);
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message().rfind(c.message, 0), 0u) << e.Message();
        }
    }
}

// Thumbnail workers decode HEIF files at the same time; whatever order they
// end in, standard error is the one the program had before, not /dev/null.
TEST(LibraryFormats, ParallelHeifDecodesGiveStandardErrorBack)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string heic = dir.File("p.heic");
    ASSERT_EQ(RunCommand(ImageMagick() + " -size 64x48 gradient:red-blue -quality 60 " + Quote(heic)), 0);
    Bytes damaged = ReadFile(heic);
    damaged.resize(damaged.size() * 3 / 4);
    const std::string cut = dir.File("cut.heic");
    WriteFile(cut, damaged);

    struct stat before {};
    ASSERT_EQ(fstat(STDERR_FILENO, &before), 0);
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                try {
                    LoadBitmapFromFile((i + t) % 2 ? heic : cut);
                } catch (const std::exception&) {
                    // a cut file may fail; only the descriptor matters here
                }
            }
        });
    for (std::thread& w : workers)
        w.join();
    struct stat after {};
    ASSERT_EQ(fstat(STDERR_FILENO, &after), 0);
    EXPECT_EQ(after.st_dev, before.st_dev);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
}
