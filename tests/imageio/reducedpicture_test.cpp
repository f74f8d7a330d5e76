#include <gtest/gtest.h>

#include <string>

#include "imagetest.h"
#include "imageio/limits.h"
#include "imageio/picture.h"
#include "imageio/reducedpicture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

// A photograph-like JPEG of w x h written by ImageMagick.
std::string PhotoJpeg(const TempDir& dir, const std::string& name, int w, int h, const std::string& extra = "")
{
    const std::string path = dir.File(name);
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    if (RunCommand(ImageMagick() + " -size " + size + " gradient:red-blue -swirl 90 " + extra + " -quality 90 " +
                   Quote(path)) != 0)
        throw std::runtime_error("convert failed");
    return path;
}

TPixels DjpegScaled(const std::string& file, int num)
{
    const std::string out = CommandOutput("djpeg -scale " + std::to_string(num) + "/8 -pnm " + Quote(file));
    return ParseNetpbm({out.begin(), out.end()});
}

} // namespace

TEST(ReducedPicture, JpegTakesTheSmallestScaleGivingTwiceTheFittedSize)
{
    if (ImageMagick().empty() || !HaveProgram("djpeg"))
        GTEST_SKIP() << "needs ImageMagick and djpeg";
    TempDir dir;
    const std::string photo = PhotoJpeg(dir, "photo.jpg", 1600, 1200);
    const std::string odd = PhotoJpeg(dir, "odd.jpeg", 1601, 1201);
    struct TCase {
        const char* Name;
        std::string File;
        int BoxW, BoxH;
        int WantW, WantH, Num;
    } cases[] = {
        // 64 x 48 fitted: at least 128 x 96, so 1/8.
        {"thumbnail tile", photo, 64, 64, 200, 150, 1},
        // 147 x 110 fitted: at least 294 x 220, so 2/8.
        {"preview pane", photo, 185, 110, 400, 300, 2},
        // 480 x 360 fitted: at least 960 x 720, so 5/8.
        {"viewer", photo, 480, 480, 1000, 750, 5},
        {"a box as large as the picture reads it whole", photo, 1600, 1200, 1600, 1200, 8},
        {"scaled sizes round up", odd, 64, 64, 201, 151, 1},
    };
    for (const TCase& c : cases) {
        const TReducedPicture got = LoadPictureForBox(c.File, c.BoxW, c.BoxH);
        EXPECT_EQ(got.Bitmap.Width(), c.WantW) << c.Name;
        EXPECT_EQ(got.Bitmap.Height(), c.WantH) << c.Name;
        EXPECT_EQ(got.Width, c.File == odd ? 1601 : 1600) << c.Name;
        EXPECT_EQ(got.Height, c.File == odd ? 1201 : 1200) << c.Name;
        EXPECT_EQ(got.Reduced(), c.Num != 8) << c.Name;
        // The same pixels libjpeg's own tool gives at that scale.
        EXPECT_EQ(MaxDifference(PixelsOf(got.Bitmap), DjpegScaled(c.File, c.Num)), 0) << c.Name;
    }
    // At least a given size, whatever the box.
    const TReducedPicture least = LoadPictureAtLeast(photo, 300, 10);
    EXPECT_EQ(least.Bitmap.Width(), 400);
    // Printing's whole decode is untouched.
    EXPECT_EQ(LoadBitmapFromFile(photo).Width(), 1600);
}

TEST(ReducedPicture, GreyStaysGreyAndOtherFormatsAreReadWhole)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "needs ImageMagick";
    TempDir dir;
    const std::string grey = PhotoJpeg(dir, "grey.jpg", 800, 600, "-colorspace Gray");
    const TReducedPicture g = LoadPictureForBox(grey, 64, 64);
    EXPECT_EQ(g.Bitmap.Width(), 200);
    EXPECT_EQ(g.Bitmap.PixelFormat(), TPixelFormat::pf8bit);

    const std::string bmp = dir.File("p.bmp");
    WriteFile(bmp, SolidBmp(300, 200, 10, 20, 30));
    const TReducedPicture b = LoadPictureForBox(bmp, 64, 64);
    EXPECT_EQ(b.Bitmap.Width(), 300);
    EXPECT_EQ(b.Width, 300);
    EXPECT_FALSE(b.Reduced());

    EXPECT_THROW(LoadPictureForBox(dir.File("missing.jpg"), 64, 64), Exception);
    WriteFile(dir.File("damaged.jpg"), std::string("\xFF\xD8 no more"));
    EXPECT_THROW(LoadPictureForBox(dir.File("damaged.jpg"), 64, 64), Exception);
}

TEST(ReducedPicture, APictureBeyondTheLimitIsRefusedEvenWhenShownSmall)
{
    if (ImageMagick().empty())
        GTEST_SKIP() << "needs ImageMagick";
    TempDir dir;
    const std::string photo = PhotoJpeg(dir, "photo.jpg", 1600, 1200);
    const TPictureLimits before = PictureLimits();
    SetPictureLimits({1000, 1000 * 1000});
    // 200 x 150 would fit, but printing could never read the picture.
    EXPECT_THROW(LoadPictureForBox(photo, 64, 64), Exception);
    SetPictureLimits(before);
    EXPECT_NO_THROW(LoadPictureForBox(photo, 64, 64));
}
