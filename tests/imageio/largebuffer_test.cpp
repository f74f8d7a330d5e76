// Picture memory kept from one picture to the next: reused blocks are
// cleared when asked to be, and a decoder that does not ask for clearing
// still leaves no stale byte in a picture.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "imagetest.h"
#include "imageio/largebuffer.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

// Leaves a freed block of `size` bytes full of `value` among the kept ones.
void LeaveDirtyBlock(size_t size, uint8_t value)
{
    TLargeBuffer dirty(size, TLargeBuffer::TFill::Unfilled);
    std::memset(dirty.get(), value, size);
}

TPixels Djpeg(const std::string& file)
{
    const std::string out = CommandOutput("djpeg -pnm " + Quote(file));
    return ParseNetpbm({out.begin(), out.end()});
}

bool AllZero(const uint8_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

TEST(LargeBuffer, AFreedBlockServesTheNextPictureClearedWhenAskedTo)
{
    SetLargeBufferReuse(true);
    ReleaseKeptLargeBuffers();
    const size_t size = size_t(9) << 20;
    LeaveDirtyBlock(size, 0xAB);
    EXPECT_GE(LargeBufferReuse().KeptBytes, size);

    const uint64_t reusedBefore = LargeBufferReuse().Reused;
    {
        TLargeBuffer again(size, TLargeBuffer::TFill::Unfilled);
        EXPECT_EQ(LargeBufferReuse().Reused, reusedBefore + 1);
        EXPECT_EQ(again.get()[size / 2], 0xAB) << "taken as it was, not mapped afresh";
        std::memset(again.get(), 0xCD, size);
    }
    TLargeBuffer cleared(size);
    EXPECT_EQ(LargeBufferReuse().Reused, reusedBefore + 2);
    EXPECT_TRUE(AllZero(cleared.get(), size));

    // A block far larger than asked for is not wasted on a small picture.
    cleared.reset();
    const uint64_t mappedBefore = LargeBufferReuse().Mapped;
    TLargeBuffer small(size_t(3) << 20);
    EXPECT_EQ(LargeBufferReuse().Mapped, mappedBefore + 1);
    EXPECT_TRUE(AllZero(small.get(), small.size()));

    // Without reuse nothing is kept.
    SetLargeBufferReuse(false);
    small.reset();
    EXPECT_EQ(LargeBufferReuse().KeptBytes, 0u);
    SetLargeBufferReuse(true);
}

TEST(LargeBuffer, JpegPicturesDecodedIntoReusedMemoryMatchDjpeg)
{
    if (!HaveProgram("cjpeg") || !HaveProgram("djpeg"))
        GTEST_SKIP() << "libjpeg-turbo-progs not installed";
    TempDir dir;
    // 1001 pixels a row: 3003 bytes of colour, 1 of padding; over 2 MiB in all.
    const int w = 1001, h = 720;
    std::string ppm = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ppm += char(x + y);
            ppm += char((x / 16 + y / 16) % 2 ? 220 : 30);
            ppm += char(x * 3);
        }
    WriteFile(dir.File("source.ppm"), ppm);
    struct Case { const char* name; const char* options; };
    const Case cases[] = {{"colour", ""}, {"grey", "-grayscale"}, {"progressive", "-progressive"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.File(std::string(c.name) + ".jpg");
        ASSERT_EQ(RunCommand(std::string("cjpeg ") + c.options + " " + Quote(dir.File("source.ppm")) + " > " +
                             Quote(file)),
                  0);
        for (int round = 0; round < 2; ++round) {
            LeaveDirtyBlock(size_t(w + 1) * 3 * h, 0xEE);
            const TBitmap bitmap = LoadBitmapFromFile(file);
            const TPixels expected = Djpeg(file);
            EXPECT_EQ(PixelsOf(bitmap), expected);
            const size_t pixelBytes = size_t(w) * (bitmap.PixelFormat() == TPixelFormat::pf8bit ? 1 : 3);
            bool paddingClear = true;
            for (int y = 0; y < h; ++y)
                paddingClear = paddingClear && AllZero(bitmap.ScanLine(y) + pixelBytes, bitmap.RowBytes() - pixelBytes);
            EXPECT_TRUE(paddingClear);
        }
    }
}

} // namespace
