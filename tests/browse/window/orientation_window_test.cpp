// Photos taken turned, as the browser shows them: JPEG (Pillow, EXIF) and
// TIFF (ImageMagick, tag 274) files of all eight orientations upright in the
// thumbnails, the preview and the viewer, with their upright size in the
// status bar; as stored when the option is off; and a drop from the preview
// placed as the file itself is.
#include <QCheckBox>
#include <QListView>
#include <QMimeData>
#include <QUrl>
#include <memory>

#include "app/forms.h"
#include "browse/browsegeometry.h"
#include "browse/uview.h"
#include "browse/window/browsefixture.h"
#include "controls/image.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "layout/ulorvaneoptions.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

constexpr int StoredWidth = 120, StoredHeight = 80;

// Where the stored pixel (x, y) is seen upright, as EXIF defines each
// orientation.
QPointF Upright(int orientation, double x, double y)
{
    const double w = StoredWidth, h = StoredHeight;
    switch (orientation) {
    case 2: return {w - x, y};
    case 3: return {w - x, h - y};
    case 4: return {x, h - y};
    case 5: return {y, x};
    case 6: return {h - y, x};
    case 7: return {h - y, w - x};
    case 8: return {y, w - x};
    default: return {x, y};
    }
}

QSize UprightSize(int orientation)
{
    return orientation >= 5 ? QSize(StoredHeight, StoredWidth) : QSize(StoredWidth, StoredHeight);
}

bool Red(QRgb c) { return qRed(c) > 170 && qGreen(c) < 90 && qBlue(c) < 90; }
bool Green(QRgb c) { return qGreen(c) > 170 && qRed(c) < 90 && qBlue(c) < 90; }

class UprightPhotos : public BrowseTest {
protected:
    void SetUp() override
    {
        BrowseTest::SetUp();
        CreateStartupForms();
        SetThumbnailWorkers(0);
    }
    void TearDown() override
    {
        DestroyStartupForms();
        BrowseTest::TearDown();
    }

    // o1.jpg ... o8.jpg and o1.tif ... o8.tif: 120 x 80 as stored, blue with
    // a red top-left and a green bottom-right quarter. False without the
    // independent writers.
    bool WriteOrientedFiles()
    {
        const std::string ppm = Files.File("stored.ppm");
        const std::string script = "from PIL import Image\n"
                                   "im = Image.new('RGB', (120, 80), (0, 0, 255))\n"
                                   "im.paste((255, 0, 0), (0, 0, 60, 40))\n"
                                   "im.paste((0, 255, 0), (60, 40, 120, 80))\n"
                                   "im.save('" + ppm + "')\n"
                                   "for o in range(1, 9):\n"
                                   "    ex = Image.Exif()\n"
                                   "    ex[0x0112] = o\n"
                                   "    im.save('" + Files.File("o") + "%d.jpg' % o, exif=ex.tobytes(), quality=95, subsampling=0)\n";
        WriteFile(Files.File("write.py"), script);
        if (RunCommand("/usr/bin/python3 " + Quote(Files.File("write.py")) + " 2>/dev/null") != 0)
            return false;
        const char* names[9] = {"", "TopLeft", "TopRight", "BottomRight", "BottomLeft",
                                "LeftTop", "RightTop", "RightBottom", "LeftBottom"};
        for (int o = 1; o <= 8; ++o)
            if (RunCommand("/usr/bin/convert " + Quote(ppm) + " -orient " + names[o] + " " +
                           Quote(Files.File("o" + std::to_string(o) + ".tif"))) != 0)
                return false;
        std::filesystem::remove(ppm);
        std::filesystem::remove(Files.File("write.py"));
        return true;
    }

    static std::string Quote(const std::string& s) { return "'" + s + "'"; }

    // The picture, scaled into `area` of `image`, shows the stored red and
    // green quarters where the orientation puts them.
    static void ExpectUpright(const QImage& image, QRect area, int orientation, const std::string& what)
    {
        ASSERT_FALSE(image.isNull()) << what;
        const QSize upright = UprightSize(orientation);
        auto at = [&](double x, double y) {
            const QPointF u = Upright(orientation, x, y);
            return image.pixel(area.left() + int(u.x() * area.width() / upright.width()),
                               area.top() + int(u.y() * area.height() / upright.height()));
        };
        EXPECT_TRUE(Red(at(30, 20))) << what;
        EXPECT_TRUE(Green(at(90, 60))) << what;
    }
};

} // namespace

TEST_F(UprightPhotos, ThumbnailsPreviewAndViewerShowEveryOrientationUpright)
{
    if (!WriteOrientedFiles())
        GTEST_SKIP() << "Pillow or ImageMagick not installed";
    TfrmTessaria& w = Browse(Folder(), "*.jpg;*.tif;");
    ASSERT_EQ(w.LV1->Model()->Count(), 16);
    w.ViewSmallThumbnails1->trigger();
    for (int o = 1; o <= 8; ++o)
        for (const QString ext : {"jpg", "tif"}) {
            const QString name = QString("o%1.%2").arg(o).arg(ext);
            const std::string what = name.toStdString();
            const QSize upright = UprightSize(o);

            const int index = w.LV1->Model()->Item(RowOf(w, name)).ImageIndex;
            ASSERT_GE(index, 0) << what;
            const QImage tile = w.ImageList1->Image(index).toImage();
            ExpectUpright(tile, ThumbnailPlacement(64, upright), o, what + " thumbnail");

            Select(w, name);
            EXPECT_EQ(w.sb1->PanelText(1), QString("%1 X %2").arg(upright.width()).arg(upright.height())) << what;
            const QImage preview = w.PreImage->Picture();
            ExpectUpright(preview, preview.rect(), o, what + " preview");
            EXPECT_EQ(w.PreImage->geometry(), PreviewPlacement(w.PnlLeftBottom->size(), upright)) << what;

            w.ShowInViewer(PathOf(name));
            const QImage viewer = frmView->Image1->Picture();
            ExpectUpright(viewer, viewer.rect(), o, what + " viewer");
            EXPECT_EQ(frmView->OuterSize(), ViewerOuterSize(QSize(w.ViewerWidth, w.ViewerHeight), upright)) << what;
        }
}

TEST_F(UprightPhotos, WithTheOptionOffPhotosAreShownAsStored)
{
    if (!WriteOrientedFiles())
        GTEST_SKIP() << "Pillow or ImageMagick not installed";
    TfrmTessaria& w = Browse(Folder(), "*.jpg;*.tif;");
    w.ViewSmallThumbnails1->trigger();
    auto tileOf = [&](const QString& name) {
        return w.ImageList1->Image(w.LV1->Model()->Item(RowOf(w, name)).ImageIndex).toImage();
    };
    ExpectUpright(tileOf("o6.jpg"), ThumbnailPlacement(64, UprightSize(6)), 6, "turned thumbnail");

    frmLorvaneOptions->cbTurnByOrientation->setChecked(false);
    // The same folder's tiles are made again, the other way round.
    w.ViewFileDetails1->trigger();
    w.ViewSmallThumbnails1->trigger();
    for (const QString name : {"o6.jpg", "o3.tif"})
        ExpectUpright(tileOf(name), ThumbnailPlacement(64, UprightSize(1)), 1, name.toStdString() + " thumbnail as stored");
    Select(w, "o8.tif");
    EXPECT_EQ(w.sb1->PanelText(1), "120 X 80");
    ExpectUpright(w.PreImage->Picture(), w.PreImage->Picture().rect(), 1, "preview as stored");
    w.ShowInViewer(PathOf("o5.jpg"));
    ExpectUpright(frmView->Image1->Picture(), frmView->Image1->Picture().rect(), 1, "viewer as stored");
}

// The preview holds the photo upright; a drop from it places the same box as
// the file read for the drop: Rotation 90 and the stored size for
// orientation 6, and for the mirrored 7 too (its rows' turn), the mirror left.
TEST_F(UprightPhotos, ADropFromThePreviewIsPlacedAsTheFileItself)
{
    if (!WriteOrientedFiles())
        GTEST_SKIP() << "Pillow or ImageMagick not installed";
    TfrmTessaria& w = Browse(Folder(), "*.jpg;*.tif;");
    ASSERT_TRUE(w.CurrentPage);
    auto drop = [&](QMimeData* data, QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.CurrentPage, &enter);
        QDropEvent event(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.CurrentPage, &event);
        return w.Boxes().isEmpty() ? nullptr : w.Boxes().last();
    };
    for (const QString name : {"o6.jpg", "o7.tif"}) {
        SCOPED_TRACE(name.toStdString());
        Select(w, name);
        std::unique_ptr<QMimeData> fromPreview(w.PreviewDragData());
        TRectBox* viaPreview = drop(fromPreview.get(), QPoint(10, 10));
        QMimeData desktop;
        desktop.setUrls({QUrl::fromLocalFile(PathOf(name))});
        TRectBox* viaFile = drop(&desktop, QPoint(20, 20));
        ASSERT_TRUE(viaPreview && viaFile && viaPreview != viaFile);
        EXPECT_EQ(viaPreview->Rotation(), 90);
        EXPECT_EQ(viaFile->Rotation(), 90);
        EXPECT_EQ(viaPreview->PictureWidth(), StoredWidth);
        EXPECT_EQ(viaPreview->PictureHeight(), StoredHeight);
        EXPECT_EQ(viaPreview->size(), viaFile->size());
        EXPECT_EQ(viaPreview->Ratio(), viaFile->Ratio());
        EXPECT_EQ(viaPreview->Picture().Width(), viaFile->Picture().Width());
        EXPECT_EQ(viaPreview->Picture().Height(), viaFile->Picture().Height());
        // Turned a quarter clockwise: the stored red top-left at the top right.
        const QImage copy = viaPreview->PictureImage();
        EXPECT_TRUE(Red(copy.pixel(copy.width() * 3 / 4, copy.height() / 4)));
    }
}
