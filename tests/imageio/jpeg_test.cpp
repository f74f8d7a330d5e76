#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "base/exceptions.h"
#include "base/format.h"
#include "imagetest.h"
#include "imageio/jpegimage.h"
#include "imageio/picture.h"
#include "imageio/stream.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

std::string SourcePpm(const TempDir& dir, int w = 97, int h = 61)
{
    const std::string path = dir.File("source.ppm");
    std::string ppm = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ppm += char(x * 2 + y);
            ppm += char((x / 8 + y / 8) % 2 ? 200 : 40);
            ppm += char(255 - y * 4);
        }
    WriteFile(path, ppm);
    return path;
}

TPixels Djpeg(const std::string& file)
{
    // djpeg exits with 2 after warnings (a truncated file), output complete.
    const std::string out = CommandOutput("djpeg -pnm " + Quote(file) + " 2>/dev/null; true");
    if (out.empty())
        throw std::runtime_error("djpeg failed on " + file);
    return ParseNetpbm({out.begin(), out.end()});
}

TBitmap DecodeBytes(const std::vector<uint8_t>& bytes)
{
    TMemoryStream stream(bytes.data(), bytes.size());
    TJPEGImage image;
    image.LoadFromStream(stream);
    TBitmap bitmap;
    image.MoveTo(bitmap);
    return bitmap;
}

std::string LoadError(const std::vector<uint8_t>& bytes)
{
    try {
        DecodeBytes(bytes);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "loaded";
}

// A 4:4:4 CMYK JPEG of one colour, 16 x 16, written with libjpeg; Adobe
// files store the ink inverted, as Photoshop does.
std::vector<uint8_t> CmykJpeg(const uint8_t cmyk[4], bool adobe)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 16;
    info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_set_colorspace(&info, JCS_CMYK);
    info.write_Adobe_marker = adobe ? TRUE : FALSE;
    for (int i = 0; i < 4; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    uint8_t row[16 * 4];
    for (int x = 0; x < 16; ++x)
        for (int c = 0; c < 4; ++c)
            row[x * 4 + c] = adobe ? uint8_t(255 - cmyk[c]) : cmyk[c];
    while (info.next_scanline < 16) {
        JSAMPROW r = row;
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    free(buffer);
    return bytes;
}

} // namespace

TEST(JpegReader, MatchesDjpegByteForByte)
{
    if (!HaveProgram("cjpeg") || !HaveProgram("djpeg"))
        GTEST_SKIP() << "libjpeg-turbo-progs not installed";
    TempDir dir;
    const std::string source = SourcePpm(dir);
    struct Case { const char* name; const char* options; TPixelFormat format; };
    const Case cases[] = {
        {"baseline 4:2:0", "", TPixelFormat::pf24bit},
        {"4:4:4", "-sample 1x1", TPixelFormat::pf24bit},
        {"4:2:2", "-sample 2x1", TPixelFormat::pf24bit},
        {"grey", "-grayscale", TPixelFormat::pf8bit},
        {"progressive", "-progressive", TPixelFormat::pf24bit},
        {"progressive grey", "-progressive -grayscale", TPixelFormat::pf8bit},
        {"optimised, restart markers", "-optimize -restart 1", TPixelFormat::pf24bit},
        {"arithmetic coding", "-arithmetic", TPixelFormat::pf24bit},
        {"RGB without colour transform", "-rgb", TPixelFormat::pf24bit},
        {"quality 5", "-quality 5", TPixelFormat::pf24bit},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("c" + std::to_string(index++) + ".jpg");
        ASSERT_EQ(RunCommand(std::string("cjpeg ") + c.options + " " + Quote(source) + " > " + Quote(out)), 0);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(out, &reader);
        EXPECT_EQ(reader, "TJPEGImage");
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        EXPECT_EQ(PixelsOf(bitmap), Djpeg(out));
    }
}

TEST(JpegReader, TruncatedFilesShowWhatTheyHold)
{
    if (!HaveProgram("cjpeg") || !HaveProgram("djpeg"))
        GTEST_SKIP() << "libjpeg-turbo-progs not installed";
    TempDir dir;
    // Large enough that the cut falls well inside the scan data.
    const std::string source = SourcePpm(dir, 320, 240);
    for (const char* options : {"", "-progressive"}) {
        SCOPED_TRACE(options);
        const std::string full = dir.File("full.jpg"), cut = dir.File("cut.jpg");
        ASSERT_EQ(RunCommand(std::string("cjpeg ") + options + " " + Quote(source) + " > " + Quote(full)), 0);
        std::vector<uint8_t> bytes = ReadFile(full);
        bytes.resize(bytes.size() * 6 / 10);
        WriteFile(cut, bytes);
        const TBitmap bitmap = LoadBitmapFromFile(cut);
        EXPECT_EQ(bitmap.Width(), 320);
        EXPECT_EQ(bitmap.Height(), 240);
        EXPECT_EQ(PixelsOf(bitmap), Djpeg(cut));
    }
}

TEST(JpegReader, CmykInvertedOrNot)
{
    struct Case { const char* name; uint8_t cmyk[4]; uint8_t rgb[3]; };
    const Case cases[] = {
        {"no ink", {0, 0, 0, 0}, {255, 255, 255}},
        {"cyan", {255, 0, 0, 0}, {0, 255, 255}},
        {"magenta and yellow is red", {0, 255, 255, 0}, {255, 0, 0}},
        {"half black", {0, 0, 0, 128}, {127, 127, 127}},
        {"some of each", {40, 80, 120, 30}, {190, 154, 119}}, // (255 - C)(255 - K) / 255
    };
    for (const Case& c : cases)
        for (bool adobe : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (adobe ? " (Adobe, inverted)" : " (plain)"));
            const TBitmap bitmap = DecodeBytes(CmykJpeg(c.cmyk, adobe));
            ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
            const uint8_t* p = bitmap.ScanLine(8) + 8 * 3;
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(p[2 - k], c.rgb[k], 2) << "channel " << k;
        }
}

TEST(JpegReader, CmykFromImageMagickAndPillow)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string source = SourcePpm(dir);
    struct Case { const char* name; bool pillow; };
    for (const Case& c : {Case{"ImageMagick", false}, Case{"Pillow", true}}) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File(std::string(c.name) + ".jpg");
        if (c.pillow) {
            if (PillowPython().empty())
                continue;
            ASSERT_TRUE(RunPillow("Image.open('" + source + "').convert('CMYK').save('" + out + "', quality=95)"));
        } else {
            ASSERT_EQ(RunCommand(ImageMagick() + " " + Quote(source) + " -colorspace CMYK -quality 95 " + Quote(out)),
                      0);
        }
        const TBitmap bitmap = LoadBitmapFromFile(out);
        // ImageMagick turns CMYK back into RGB with the same plain formula.
        bool ok = false;
        const std::string ppm =
            CommandOutput(ImageMagick() + " " + Quote(out) + " -colorspace sRGB -depth 8 ppm:-", &ok);
        ASSERT_TRUE(ok);
        EXPECT_LE(MaxDifference(PixelsOf(bitmap), ParseNetpbm({ppm.begin(), ppm.end()})), 2);
    }
}

TEST(JpegReader, BrokenFilesRaiseTheLibrarysMessageNumber)
{
    std::vector<uint8_t> garbage(300);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 37 + 11);
    struct Case { const char* name; std::vector<uint8_t> bytes; int code; };
    const Case cases[] = {
        {"empty", {}, JERR_INPUT_EMPTY},
        {"garbage", garbage, JERR_NO_SOI},
        {"start of image only", {0xFF, 0xD8}, -1},
        {"a frame header with no components", {0xFF, 0xD8, 0xFF, 0xC0, 0, 8, 8, 0, 1, 0, 1, 0}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string message = LoadError(c.bytes);
        if (c.code >= 0)
            EXPECT_EQ(message, Format("JPEG error #%d", c.code));
        else
            EXPECT_EQ(message.rfind("JPEG error #", 0), 0u) << message;
    }
}

TEST(JpegReader, HugeDeclaredSizeIsRefusedBeforeDecoding)
{
    if (!HaveProgram("cjpeg"))
        GTEST_SKIP() << "cjpeg not installed";
    TempDir dir;
    const std::string out = dir.File("a.jpg");
    ASSERT_EQ(RunCommand("cjpeg " + Quote(SourcePpm(dir)) + " > " + Quote(out)), 0);
    std::vector<uint8_t> bytes = ReadFile(out);
    size_t sof = 0;
    for (size_t i = 0; i + 9 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    ASSERT_NE(sof, 0u);
    bytes[sof + 5] = 0xFD, bytes[sof + 6] = 0xE8; // height 65000
    bytes[sof + 7] = 0xFD, bytes[sof + 8] = 0xE8; // width 65000
    EXPECT_EQ(LoadError(bytes), "Picture too large (65000 x 65000 pixels)");
}
