// Photos taken turned: placed as if placed and turned by hand, saved with
// that Rotation, and printed upright by the usual turn; with the option off,
// as stored.
#include <QAction>
#include <QCheckBox>
#include <QMimeData>
#include <QUrl>
#include <sstream>

#include "app/batch.h"
#include "app/forms.h"
#include "printfixture.h"
#include "document/documentreader.h"
#include "layout/rectbox.h"
#include "layout/ulorvaneoptions.h"
#include "support/pdfpages.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class Orientation : public PrintTest {
protected:
    // A JPEG of 120 x 80 as stored, red in its stored top-left quarter and
    // blue elsewhere, written by Pillow with the EXIF orientation given.
    QString WritePhoto(const std::string& name, int orientation)
    {
        const std::string path = Config.File(name);
        const std::string script = "from PIL import Image\n"
                                   "im = Image.new('RGB', (120, 80), (0, 0, 255))\n"
                                   "im.paste((255, 0, 0), (0, 0, 60, 40))\n"
                                   "ex = Image.Exif()\n"
                                   "ex[0x0112] = " + std::to_string(orientation) + "\n"
                                   "im.save('" + path + "', exif=ex.tobytes(), quality=95, subsampling=0)\n";
        WriteFile(Config.File("write.py"), script);
        EXPECT_EQ(RunCommand("/usr/bin/python3 " + Config.File("write.py")), 0);
        return QString::fromStdString(path);
    }

    TRectBox* Place(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        Window->PnlWhiteDragDrop(Window->CurrentPage, &data, QPoint(10, 10));
        return Window->Boxes().isEmpty() ? nullptr : Window->Boxes().last();
    }

    static bool Reddish(QRgb c) { return qRed(c) > 180 && qBlue(c) < 90; }
    static bool Bluish(QRgb c) { return qBlue(c) > 180 && qRed(c) < 90; }
};

} // namespace

TEST_F(Orientation, APhotoTakenTurnedIsPlacedSavedAndPrintedUpright)
{
    if (RunCommand("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0)
        GTEST_SKIP() << "Pillow not installed";
    ShowWindow();
    const QString turned = WritePhoto("turned.jpg", 6), plain = WritePhoto("plain.jpg", 1);

    // The same picture without orientation, placed and turned by hand.
    TRectBox* byHand = Place(plain);
    ASSERT_TRUE(byHand);
    byHand->SetFocus(true);
    Window->tbRotateRight->trigger();
    EXPECT_EQ(byHand->Rotation(), 90);

    TRectBox* box = Place(turned);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Rotation(), 90);
    EXPECT_EQ(box->size(), byHand->size());
    const int inches4 = int(Round(Window->LayoutPPI * 4.0));
    EXPECT_EQ(box->size(), QSize(inches4, inches4 * 3 / 2)); // 4 inches wide once turned
    EXPECT_DOUBLE_EQ(double(box->Ratio()), double(byHand->Ratio()));
    EXPECT_DOUBLE_EQ(double(box->Ratio()), 1.5);
    EXPECT_EQ(box->PictureWidth(), 120); // the stored picture's
    EXPECT_EQ(box->PictureHeight(), 80);
    // The reduced copy is upright: the stored top-left is now top-right.
    const TBitmap& copy = box->Picture();
    ASSERT_EQ(copy.Width(), 131);
    ASSERT_EQ(copy.Height(), 196);
    uint8_t topRight[3], topLeft[3];
    copy.PixelBGR(copy.Width() - 5, 5, topRight);
    copy.PixelBGR(5, 5, topLeft);
    EXPECT_TRUE(topRight[2] > 180 && topRight[0] < 90);
    EXPECT_TRUE(topLeft[0] > 180 && topLeft[2] < 90);

    // Saved with that Rotation: the document needs nothing new.
    const std::string document = Config.File("turned.tsd");
    Dialogs->FileNames = {QString::fromStdString(document)};
    Window->tbSaveFile->trigger();
    const TDocument saved = ReadDocumentFile(document);
    ASSERT_EQ(saved.Pages.size(), 1u);
    ASSERT_EQ(saved.Pages[0].Boxes.size(), 2u);
    EXPECT_EQ(saved.Pages[0].Boxes[1].Rotation, 90);

    // Printed: the picture on paper is portrait, red at its top right.
    const QString pdf = QString::fromStdString(Config.File("turned.pdf"));
    std::ostringstream err;
    ASSERT_EQ(RunBatch(ParseBatchArguments({"--print-pdf", pdf, QString::fromStdString(document)}), *Window, err), 0)
        << err.str();
    const std::vector<QImage> images = PdfImages(pdf);
    ASSERT_EQ(images.size(), 2u);
    for (const QImage& printed : images) {
        ASSERT_GT(printed.height(), printed.width());
        EXPECT_TRUE(Reddish(printed.pixel(printed.width() - 3, 3)));
        EXPECT_TRUE(Bluish(printed.pixel(2, 2)));
        EXPECT_TRUE(Bluish(printed.pixel(printed.width() - 3, printed.height() - 3)));
    }
}

TEST_F(Orientation, WithTheOptionOffPhotosArePlacedAsStored)
{
    if (RunCommand("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0)
        GTEST_SKIP() << "Pillow not installed";
    ShowWindow();
    frmLorvaneOptions->cbTurnByOrientation->setChecked(false);
    TRectBox* box = Place(WritePhoto("turned.jpg", 8));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Rotation(), 0);
    const int inches4 = int(Round(Window->LayoutPPI * 4.0));
    EXPECT_EQ(box->size(), QSize(inches4 * 3 / 2, inches4));
    // On again: the same file takes its turn, 270 for orientation 8, and a
    // mirrored one (7) the turn of its rows, 90.
    frmLorvaneOptions->cbTurnByOrientation->setChecked(true);
    EXPECT_EQ(Place(WritePhoto("eight.jpg", 8))->Rotation(), 270);
    EXPECT_EQ(Place(WritePhoto("seven.jpg", 7))->Rotation(), 90);
    EXPECT_EQ(Place(WritePhoto("three.jpg", 3))->Rotation(), 180);
    EXPECT_EQ(Place(WritePhoto("two.jpg", 2))->Rotation(), 0);
}
