// The page at any zoom: the layout keeps page pixels, the screen shows them
// larger or smaller, and every rule works in page pixels as before.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>

#include "app/layoutfixture.h"
#include "controls/statusbar.h"
#include "layout/boxposition.h"
#include "layout/canvaspanel.h"
#include "layout/layoutrules.h"
#include "layout/screencopies.h"
#include "platform/settingsstore.h"
#include "print/prevprinter.h"
#include "support/localeguard.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class Zoom : public Layout {
protected:
    TfrmTessaria& Begin(double zoom = 1)
    {
        TfrmTessaria& w = Start();
        w.resize(1000, 800);
        QApplication::processEvents();
        w.SetZoom(zoom);
        // From the top-left corner, where the boxes of the tests lie.
        w.ScrollBox1->horizontalScrollBar()->setValue(0);
        w.ScrollBox1->verticalScrollBar()->setValue(0);
        return w;
    }
    TRectBox* Box(TfrmTessaria& w, QRect bounds)
    {
        TRectBox* box = w.CreateBox(w.CurrentPage, TfrmTessaria::bhAll);
        box->SetBounds(bounds);
        box->SetCanvasPPI(w.LayoutPPI);
        box->show();
        return box;
    }
    QByteArray Saved(TfrmTessaria& w, const std::string& name)
    {
        const QString path = QString::fromStdString(Folder.File(name));
        Dialogs->FileNames = {path};
        w.Save1->trigger();
        const std::vector<uint8_t> bytes = ReadFile(Folder.File(name));
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    // A picture of 16-pixel black and white stripes, as a file.
    QString StripedPicture(const std::string& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, (x / 16) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        const QString path = QString::fromStdString(Folder.File(name));
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    // How much of a row is plainly black or plainly white.
    static double Crisp(const QImage& image, int y)
    {
        int crisp = 0;
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            crisp += grey < 40 || grey > 215;
        }
        return double(crisp) / image.width();
    }
};

} // namespace

TEST_F(Zoom, DragsMoveByScreenPixelsOverTheZoomAndSaveTheSameBytes)
{
    QByteArray atOne;
    for (double zoom : {1.0, 0.5, 2.0, 3.0}) {
        SCOPED_TRACE(zoom);
        Window.reset();
        TfrmTessaria& w = Begin(zoom);
        ASSERT_EQ(w.Zoom, zoom);
        TRectBox* box = Box(w, QRect(60, 80, 100, 80));
        EXPECT_EQ(box->geometry(), ScreenRect(QRect(60, 80, 100, 80), zoom));
        EXPECT_EQ(w.CurrentPage->size(), ScreenSize(w.CurrentPage->PageSize(), zoom));

        // 30 page pixels right and 24 up are 30 x zoom and 24 x zoom on the screen.
        const QPoint from(box->width() / 4, box->height() / 2);
        const QPoint by(int(30 * zoom), int(-24 * zoom));
        DragBox(box, from, from + by, 3);
        EXPECT_EQ(box->Bounds(), QRect(90, 56, 100, 80));
        // The right edge's handle, 5 screen pixels wide whatever the zoom: the
        // edge goes where the pointer is, 120 page pixels from the left edge.
        const QPoint edge(box->width() - 2, box->height() / 2);
        DragBox(box, edge, QPoint(int(120 * zoom), edge.y()), 2);
        EXPECT_EQ(box->Bounds(), QRect(90, 56, 120, 80));
        EXPECT_EQ(box->geometry(), ScreenRect(box->Bounds(), zoom));

        const QByteArray bytes = Saved(w, "zoom" + std::to_string(int(zoom * 10)) + ".tsd");
        ASSERT_FALSE(bytes.isEmpty());
        if (zoom == 1.0)
            atOne = bytes;
        else
            EXPECT_EQ(bytes, atOne);
    }
}

TEST_F(Zoom, HitZonesAndHandlesKeepTheirScreenSizeAtTheirPagePlaces)
{
    for (double zoom : {0.5, 1.0, 2.0, 3.0}) {
        SCOPED_TRACE(zoom);
        Window.reset();
        TfrmTessaria& w = Begin(zoom);
        TRectBox* box = Box(w, QRect(20, 20, 100, 80));
        const int W = box->width(), H = box->height(), B = box->BoxSize();
        ASSERT_EQ(QSize(W, H), ScreenSize(QSize(100, 80), zoom));
        struct TZone { QPoint at; TDragMode mode; };
        const TZone zones[] = {
            {{2, 2}, TDragMode::TopLeft},
            {{W - 2, (H - B) / 2 + 2}, TDragMode::RightEdge},
            {{(W - B) / 2 + 2, H - 2}, TDragMode::BottomEdge},
            {{W - 2, H - 2}, TDragMode::BottomRight},
            {{(W - B) / 2 + 2, H / 3}, TDragMode::None}, // the middle strip: selects only
            {{0, H / 2}, TDragMode::None},               // the outermost pixel
            {{W / 4, H / 3}, TDragMode::Move},
        };
        for (const TZone& z : zones) {
            QTest::mouseMove(box, z.at);
            EXPECT_EQ(int(box->DragMode()), int(z.mode)) << z.at.x() << "," << z.at.y();
        }
        // The handles: B x B screen pixels at their places on the box as shown.
        box->SetFocus(true);
        const QImage shown = w.CurrentPage->grab(box->geometry()).toImage();
        const THandles handles = HandlePositions(W, H, B);
        for (const QPoint& corner : handles.Corner) {
            EXPECT_EQ(shown.pixelColor(corner + QPoint(B / 2, B / 2)), QColor(Qt::black))
                << corner.x() << "," << corner.y();
        }
        EXPECT_NE(shown.pixelColor(B + 2, B + 2), QColor(Qt::black));
    }
}

TEST_F(Zoom, TheRasterAutoAlignAndTheGridStayInPagePixels)
{
    TfrmTessaria& w = Begin(2.0);
    TRectBox* box = Box(w, QRect(37, 299, 60, 40));
    w.tbAlign->trigger();
    EXPECT_EQ(box->Bounds().topLeft(), QPoint(30, 290));
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(box->width() / 4, box->height() / 3));
    QTest::keyClick(w.ScrollBox1, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(w.ScrollBox1, Qt::Key_Right);
    EXPECT_EQ(box->Bounds().topLeft(), QPoint(41, 290)); // a raster line, then one page pixel
    // The grid: a line every 10 page pixels, 20 screen pixels apart at zoom 2.
    w.tbShowGrid->trigger();
    const QImage page = w.CurrentPage->grab(QRect(0, 0, 60, 30)).toImage();
    const QRgb line = w.CurrentPage->palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(page.pixel(20, 15), line);
    EXPECT_EQ(page.pixel(40, 15), line);
    EXPECT_NE(page.pixel(10, 15), line);
    EXPECT_NE(page.pixel(30, 25), line);
}

TEST_F(Zoom, TheZoomBoxFittingRealSizeKeysAndTheStoredZoom)
{
    TfrmTessaria& w = Begin();
    EXPECT_EQ(w.Zoom, 1.0); // an empty store: the page at its page pixels
    QComboBox* box = w.cbZoom;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->itemText(0), "Fit Page");
    EXPECT_EQ(box->itemText(1), "Fit Width");
    EXPECT_GE(box->findText("100 %"), 0);

    const QSize viewport = w.ScrollBox1->maximumViewportSize();
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(w.ZoomMode, TfrmTessaria::TZoomMode::FitPage);
    EXPECT_EQ(box->currentText(), "Fit Page");
    EXPECT_LE(w.ScrollBoxContents->width(), viewport.width());
    EXPECT_LE(w.ScrollBoxContents->height(), viewport.height());
    EXPECT_GT(w.ScrollBoxContents->height(), viewport.height() - 3); // and as large as it can
    // A fitting zoom follows the window's size.
    const double fitted = w.Zoom;
    w.resize(1000, 600);
    QApplication::processEvents();
    EXPECT_LT(w.Zoom, fitted);

    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(w.ZoomMode, TfrmTessaria::TZoomMode::FitWidth);
    EXPECT_LE(w.ScrollBoxContents->width(), w.ScrollBox1->viewport()->width());
    EXPECT_GT(w.ScrollBoxContents->width(), w.ScrollBox1->viewport()->width() - 3);

    // "100 %": the paper's real size on this screen.
    w.ZoomBoxChosen("100 %");
    const double real = w.screen()->physicalDotsPerInchX() / w.LayoutPPI;
    EXPECT_NEAR(w.Zoom, real, 1e-9);
    EXPECT_EQ(box->currentText(), "100 %");
    box->lineEdit()->setText("250");
    emit box->lineEdit()->returnPressed();
    EXPECT_NEAR(w.Zoom, 2.5 * real, 1e-9);
    EXPECT_EQ(box->currentText(), "250 %");
    box->lineEdit()->setText("much");
    emit box->lineEdit()->returnPressed();
    EXPECT_NEAR(w.Zoom, 2.5 * real, 1e-9); // not a zoom: nothing changes
    EXPECT_EQ(box->currentText(), "250 %");

    QTest::keyClick(&w, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(w.Zoom, 2.5 * real / 1.25, 1e-9);
    QTest::keyClick(&w, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_NEAR(w.Zoom, 2.5 * real * 1.25, 1e-9);

    // Kept in the settings: the next window starts with it.
    const double kept = w.Zoom;
    EXPECT_EQ(ReadSetting(Key(), "Zoom", ""), QString::number(kept, 'g', 6));
    Window.reset();
    TfrmTessaria& again = ShowWindow();
    EXPECT_NEAR(again.Zoom, kept, 1e-5);
    again.ZoomBoxChosen("Fit Width");
    EXPECT_EQ(ReadSetting(Key(), "Zoom", ""), "Fit Width");
}

TEST_F(Zoom, CtrlWheelZoomsAboutThePointer)
{
    TfrmTessaria& w = Begin(3.0); // large enough to scroll both ways
    TRectBox* box = Box(w, QRect(60, 60, 60, 40));
    QWidget* viewport = w.ScrollBox1->viewport();
    // The point of the page under the pointer: the box's top-left corner.
    auto under = [&](QPoint at) {
        const QPoint onPage = w.CurrentPage->mapFrom(viewport, at);
        return QPointF(onPage) / w.Zoom;
    };
    const QPoint at = box->mapTo(viewport, QPoint(0, 0));
    ASSERT_TRUE(viewport->rect().contains(at));
    const QPointF before = under(at);
    QWheelEvent wheel(QPointF(box->mapFrom(viewport, at)), QPointF(box->mapToGlobal(QPoint(0, 0))), QPoint(),
                      QPoint(0, 2 * 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &wheel);
    EXPECT_NEAR(w.Zoom, 3.0 * 1.5625, 1e-12);
    const QPointF after = under(at);
    EXPECT_NEAR(after.x(), before.x(), 1.0);
    EXPECT_NEAR(after.y(), before.y(), 1.0);
    // Without Ctrl the wheel scrolls as ever.
    QWheelEvent plain(QPointF(at), QPointF(viewport->mapToGlobal(at)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    const int scrolled = w.ScrollBox1->verticalScrollBar()->value();
    QApplication::sendEvent(viewport, &plain);
    EXPECT_NEAR(w.Zoom, 3.0 * 1.5625, 1e-12);
    EXPECT_GT(w.ScrollBox1->verticalScrollBar()->value(), scrolled);
}

TEST_F(Zoom, ThePageLiesOnItsSheetWithItsMarginsAsALine)
{
    TfrmTessaria& w = Begin(2.0);
    const TPrintGeometry g = w.PP1->LayoutArea();
    const double sx = double(w.CurrentPage->PageWidth()) / g.Width;
    const QRect sheet = w.PnlSheet->geometry(), page = w.CurrentPage->geometry();
    EXPECT_TRUE(w.PnlSheet->isVisible());
    EXPECT_NEAR(page.left() - sheet.left(), g.OriginX * sx * 2, 1.0);
    EXPECT_NEAR(sheet.right() - page.right(), (w.PP1->PhysicalWidth() - g.OriginX - g.Width) * sx * 2, 1.0);
    EXPECT_EQ(w.PnlDropShadow->geometry(), sheet.translated(4, 4));
    // The edge of the printable area: a line on the page's border, white inside.
    const QImage shown = w.CurrentPage->grab().toImage();
    const QColor inside = shown.pixelColor(20, 20);
    EXPECT_EQ(inside, QColor(Qt::white));
    int marked = 0;
    for (int y = 0; y < shown.height(); ++y)
        marked += shown.pixelColor(0, y) != QColor(Qt::white);
    EXPECT_GT(marked, shown.height() / 3); // a dashed line
}

TEST_F(Zoom, PicturesAreSharpAtAnyZoomAndNothingOfItIsSaved)
{
    TfrmTessaria& w = Begin(1.0);
    const QString path = StripedPicture("stripes.bmp", 1200, 900);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    w.PnlWhiteDragDrop(w.CurrentPage, &data, QPoint(10, 10));
    TRectBox* box = LastBox(w);
    ASSERT_NE(box, nullptr);
    const QByteArray before = Saved(w, "before.tsd");
    w.SetZoom(3.0);
    TScreenCopies& copies = *w.ScreenCopies;
    const QRect frame = box->geometry();
    const QSize device(frame.width() - 1, frame.height() - 1);
    // First paint: the reduced copy stretched, and a sharp copy asked for.
    const QImage blurred = w.CurrentPage->grab(frame).toImage();
    EXPECT_FALSE(copies.HasCopy(*box, device));
    copies.WaitForAll();
    EXPECT_TRUE(copies.HasCopy(*box, device));
    const QImage sharp = w.CurrentPage->grab(frame).toImage();
    const int row = frame.height() / 2;
    EXPECT_GT(Crisp(sharp, row), 0.7);
    EXPECT_LT(Crisp(blurred, row), Crisp(sharp, row) - 0.2);
    EXPECT_GE(copies.BytesKept(), qint64(device.width()) * device.height() * 4);
    // A turn makes a new copy, turned too: the stripes run across.
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(box->width() / 4, box->height() / 3));
    w.tbRotateRight->trigger();
    w.CurrentPage->grab(box->geometry());
    copies.WaitForAll();
    const QImage turned = w.CurrentPage->grab(box->geometry()).toImage();
    const QImage column = turned.transformed(QTransform().rotate(90));
    EXPECT_GT(Crisp(column, column.height() / 2), 0.7);
    w.Undo1->trigger();
    // The document holds no copy: saved at zoom 3, the same bytes as before.
    w.CurrentPage->grab();
    EXPECT_EQ(Saved(w, "after.tsd"), before);
    // Within the budget, oldest first.
    copies.SetBudget(0);
    EXPECT_EQ(copies.BytesKept(), 0);
}

TEST_F(Zoom, ThePositionReadOutAndItsDialog)
{
    LocaleGuard us("en_US");
    TfrmTessaria& w = Begin(2.0);
    Options()->SetAutoCaption(TAutoCaption::Filename);
    SelectFile(w, "a.jpg", Picture(400, 300));
    Drop(w.CurrentPage, QPoint(80, 160)); // screen pixels: (40, 80) on the page at zoom 2
    TRectBox* picture = w.PageBoxes(w.CurrentPage)[0];
    TRectBox* caption = picture->LinkChild();
    ASSERT_NE(caption, nullptr);
    QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, QPoint(picture->width() / 4, picture->height() / 3));
    EXPECT_EQ(w.sb1->PanelText(TfrmTessaria::BoxPositionPanel), "at 1.000, 2.000  size 5.325 x 4.000 in");

    QString shown;
    Dialogs->OnModal = [&](QDialog& d) {
        auto& p = static_cast<TfrmBoxPosition&>(d);
        shown = QString::number(p.txtLeft->value()) + " " + QString::number(p.txtWidth->value()) + " " +
                p.lblUnit->text();
        p.txtLeft->setValue(1.5);
        p.txtHeight->setValue(3.0);
        return int(QDialog::Accepted);
    };
    const QRect panel = w.sb1->PanelRect(TfrmTessaria::BoxPositionPanel);
    QTest::mouseDClick(w.sb1, Qt::LeftButton, Qt::NoModifier, panel.center());
    EXPECT_EQ(shown, "1 5.325 inches");
    EXPECT_EQ(picture->Bounds(), QRect(60, 80, 213, 120));
    EXPECT_EQ(caption->Bounds().topLeft(), QPoint(60, 200)); // the caption follows
    EXPECT_EQ(w.sb1->PanelText(TfrmTessaria::BoxPositionPanel), "at 1.500, 2.000  size 5.325 x 3.000 in");
    w.Undo1->trigger();
    EXPECT_EQ(picture->Bounds(), QRect(40, 80, 213, 160));
    EXPECT_EQ(caption->Bounds().topLeft(), QPoint(40, 240));

    // A caption's place is its picture's: only its size can be typed.
    QTest::mouseClick(caption, Qt::LeftButton, Qt::NoModifier, QPoint(caption->width() / 4, caption->height() / 3));
    bool placeOpen = true;
    Dialogs->OnModal = [&](QDialog& d) {
        auto& p = static_cast<TfrmBoxPosition&>(d);
        placeOpen = p.txtLeft->isEnabled() || p.txtTop->isEnabled();
        p.txtLeft->setValue(4.0);
        p.txtHeight->setValue(1.0);
        return int(QDialog::Accepted);
    };
    QTest::mouseDClick(w.sb1, Qt::LeftButton, Qt::NoModifier, panel.center());
    EXPECT_FALSE(placeOpen);
    EXPECT_EQ(caption->Bounds(), QRect(40, 240, 213, 40));

    // In a metric locale the read-out is in millimetres.
    LocaleGuard de("de_DE");
    QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, QPoint(picture->width() / 4, picture->height() / 3));
    EXPECT_EQ(w.sb1->PanelText(TfrmTessaria::BoxPositionPanel), "at 25,4, 50,8  size 135,3 x 101,6 mm");
}
