// Opening a document makes its screen copies on every core: the same copies,
// in the same order, as reading each picture on the window's thread, and a
// picture that cannot be read still only lists its file.
#include "printfixture.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <cstring>

#include "app/openingcopies.h"
#include "imageio/picture.h"
#include "imageio/reducedpicture.h"
#include "layout/layoutrules.h"
#include "layout/rectbox.h"
#include "platform/application.h"
#include "print/core/resample.h"
#include "print/core/rotate.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

bool SameBitmap(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), size_t(a.Width()) * 3) != 0)
            return false;
    return true;
}

// The copy made on the window's own thread, one picture at a time: read as
// large as the copy needs, reduced, turned.
TBitmap CopyOnOneThread(const std::string& file, int rotation)
{
    TBitmap reduced = ReducedCopy(LoadPictureForBox(file, ReducedCopySide, ReducedCopySide).Bitmap);
    RotateByDegrees(reduced, rotation);
    return reduced;
}

class OpeningCopies : public PrintTest {};

TEST_F(OpeningCopies, WorkersGiveTheCopiesOfTheOneThreadInOrder)
{
    std::vector<TOpeningCopies::TRequest> requests;
    const int rotations[] = {0, 90, 180, 270};
    for (int i = 0; i < 12; ++i) {
        const std::string name = "p" + std::to_string(i) + (i % 3 ? ".bmp" : ".jpg");
        const QString path = WritePicture(name, 300 + 37 * i, 200 + 23 * (i % 5), QColor(20 * i, 100, 200 - 10 * i));
        requests.push_back({path.toStdString(), rotations[i % 4]});
    }
    requests.insert(requests.begin() + 5, {Config.File("missing.jpg"), 0});
    // Big enough to be decoded at a reduced scale; its copy still knows its own size.
    const QString big = WritePicture("big.jpg", 1700, 1300, Qt::darkCyan, Qt::magenta);
    ASSERT_TRUE(LoadPictureForBox(big.toStdString(), ReducedCopySide, ReducedCopySide).Reduced());
    requests.push_back({big.toStdString(), 90});
    for (int threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        TOpeningCopies copies(requests, threads);
        for (size_t i = 0; i < requests.size(); ++i) {
            const TOpeningCopy copy = copies.Take(i);
            if (i == 5) {
                EXPECT_FALSE(copy.Read);
                continue;
            }
            ASSERT_TRUE(copy.Read) << i;
            const TBitmap full = LoadBitmapFromFile(requests[i].FileName);
            EXPECT_EQ(copy.PictureWidth, full.Width()) << i;
            EXPECT_EQ(copy.PictureHeight, full.Height()) << i;
            EXPECT_TRUE(SameBitmap(copy.Reduced, CopyOnOneThread(requests[i].FileName, requests[i].Rotation))) << i;
        }
    }
}

TEST_F(OpeningCopies, TheWindowPlacesTheCopiesAndListsWhatItCannotRead)
{
    TfrmTessaria& w = ShowWindow();
    const QString a = WritePicture("a.jpg", 900, 600);
    const QString b = WritePicture("b.bmp", 400, 700, Qt::green, Qt::black);
    const QString gone = WritePicture("gone.bmp", 50, 50);
    Open(WriteDocument("three.tsd", {{PictureRecord(a, 0, 0, 100, 66, 90), PictureRecord(gone, 120, 0, 50, 50)},
                                     {PictureRecord(b, 10, 10, 80, 140, 180)}}));
    // Opened again with one picture gone: its box stays, its file is listed.
    QFile::remove(gone);
    int gaugeSteps = 0;
    SetProcessMessagesHook([&] { ++gaugeSteps; });
    Dialogs->Clear();
    Open(WriteDocument("three.tsd", {{PictureRecord(a, 0, 0, 100, 66, 90), PictureRecord(gone, 120, 0, 50, 50)},
                                     {PictureRecord(b, 10, 10, 80, 140, 180)}}));
    SetProcessMessagesHook(nullptr);
    EXPECT_GE(gaugeSteps, 3) << "the message loop ran while the boxes were placed";
    const QList<TRectBox*> boxes = w.Boxes();
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_TRUE(SameBitmap(boxes[0]->Picture(), CopyOnOneThread(a.toStdString(), 90)));
    EXPECT_EQ(boxes[0]->PictureWidth(), 900);
    EXPECT_FALSE(boxes[1]->HasPicture());
    EXPECT_EQ(boxes[1]->FileName(), gone);
    EXPECT_TRUE(SameBitmap(boxes[2]->Picture(), CopyOnOneThread(b.toStdString(), 180)));
    ASSERT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Message).size(), 1);
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Message)[0].contains("gone.bmp"));
}

// A 24-bit picture is reduced where it lies, not copied first: the same
// bytes as reducing a copy, and no second picture's worth of memory.
TEST_F(OpeningCopies, AReducedCopyOfABigPictureNeedsNoCopyOfIt)
{
    TBitmap picture;
    picture.SetPixelFormat(TPixelFormat::pf24bit);
    picture.SetSize(3001, 2003);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            uint8_t* p = picture.ScanLine(y) + size_t(x) * 3;
            p[0] = uint8_t(x * 7 + y), p[1] = uint8_t(x ^ y), p[2] = uint8_t(y * 3);
        }
    TBitmap copy(picture), expected;
    StretchInto(196, 131, 0, 0.0f, copy, expected);
    ReleaseKeptLargeBuffers();
    const uint64_t mapped = LargeBufferReuse().Mapped;
    const TBitmap reduced = ReducedCopy(picture);
    EXPECT_TRUE(SameBitmap(reduced, expected));
    // The resampler's work rows (196 x 2003) are the one block it maps.
    EXPECT_LE(LargeBufferReuse().Mapped, mapped + 1);

    // Dropped from the desktop: the box gets the same copy.
    TfrmTessaria& w = ShowWindow();
    const QString file = WritePicture("drop.bmp", 1200, 800);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    w.PnlWhiteDragDrop(w.CurrentPage, &data, QPoint(10, 10));
    ASSERT_EQ(w.Boxes().size(), 1);
    EXPECT_TRUE(SameBitmap(w.Boxes()[0]->Picture(), ReducedCopy(LoadBitmapFromFile(file.toStdString()))));
    EXPECT_EQ(w.Boxes()[0]->PictureWidth(), 1200);

    // A big JPEG is read reduced, and its box gets the copy opening the
    // document would give it, with the picture's own size.
    const QString big = WritePicture("big.jpg", 1700, 1300, Qt::darkCyan, Qt::magenta);
    data.setUrls({QUrl::fromLocalFile(big)});
    w.PnlWhiteDragDrop(w.CurrentPage, &data, QPoint(200, 10));
    ASSERT_EQ(w.Boxes().size(), 2);
    EXPECT_TRUE(SameBitmap(w.Boxes()[1]->Picture(), MakeOpeningCopy(big.toStdString(), 0).Reduced));
    EXPECT_EQ(w.Boxes()[1]->PictureWidth(), 1700);
    EXPECT_EQ(w.Boxes()[1]->PictureHeight(), 1300);
}

} // namespace
