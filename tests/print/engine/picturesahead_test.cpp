// Pictures read ahead for a recording come back in the order asked for, the
// same with reading ahead on or off, skips and failures included.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "print/pictureerror.h"
#include "print/printpicture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

// Each picture's width tells which file it came from.
std::vector<std::string> WritePictures(const TempDir& dir, int count)
{
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        QImage image(10 + i, 7, QImage::Format_RGB32);
        image.fill(QColor(20 * i, 100, 200));
        files.push_back(dir.File("p" + std::to_string(i) + ".bmp"));
        EXPECT_TRUE(image.save(QString::fromStdString(files.back()), "BMP"));
    }
    return files;
}

struct TwoThreadsGuard {
    explicit TwoThreadsGuard(bool on) : Was(PrintingOnTwoThreads()) { SetPrintingOnTwoThreads(on); }
    ~TwoThreadsGuard() { SetPrintingOnTwoThreads(Was); }
    bool Was;
};

} // namespace

TEST(PicturesAhead, GivesEachPictureAskedForWhateverIsSkipped)
{
    TempDir dir;
    const std::vector<std::string> files = WritePictures(dir, 7);
    const struct {
        const char* Name;
        std::vector<size_t> Taken;
    } cases[] = {
        {"all in order", {0, 1, 2, 3, 4, 5, 6}},
        {"one skipped", {0, 2, 3, 4, 5, 6}},
        {"two skipped, past the reads in flight", {0, 3, 6}},
        {"starting late", {4, 5}},
        {"only the last", {6}},
    };
    for (bool ahead : {true, false}) {
        TwoThreadsGuard guard(ahead);
        EXPECT_EQ(PicturesReadAhead() > 0, ahead);
        for (const auto& c : cases) {
            TPicturesAhead pictures(files);
            for (size_t index : c.Taken) {
                const TBitmap picture = pictures.Take(index);
                EXPECT_EQ(picture.Width(), int(10 + index)) << c.Name << ", ahead " << ahead << ", picture " << index;
                EXPECT_EQ(picture.Height(), 7) << c.Name;
            }
        }
    }
}

TEST(PicturesAhead, AnUnreadablePictureRaisesWhenTakenAndTheOthersStillCome)
{
    TempDir dir;
    std::vector<std::string> files = WritePictures(dir, 5);
    files[2] = dir.File("broken.jpg");
    WriteFile(files[2], std::string("\xFF\xD8\xFF\xE0 not a JPEG at all", 24));
    for (bool ahead : {true, false}) {
        TwoThreadsGuard guard(ahead);
        TPicturesAhead pictures(files);
        EXPECT_EQ(pictures.Take(0).Width(), 10);
        EXPECT_EQ(pictures.Take(1).Width(), 11);
        try {
            pictures.Take(2);
            ADD_FAILURE() << "the broken picture was read, ahead " << ahead;
        } catch (const EPictureError& e) {
            EXPECT_EQ(e.FileName, files[2]);
        }
        EXPECT_EQ(pictures.Take(3).Width(), 13) << "ahead " << ahead;
        EXPECT_EQ(pictures.Take(4).Width(), 14) << "ahead " << ahead;
        EXPECT_THROW(pictures.Take(5), Exception);
    }
}
