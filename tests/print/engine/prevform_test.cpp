// The preview window: zoom factors and page placement, navigation and its
// enabled states, the zoom and hand tools, going to a page, printing and
// closing; and the arithmetic of where boxes land on the sheet.
#include "enginetest.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "print/gopage.h"
#include "print/prevform.h"
#include "print/previewlayout.h"
#include "print/printlayout.h"
#include "print/prevprinter.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

TEST(PreviewLayout, ZoomFactorsOfTheList)
{
    TZoomInputs in;
    in.VisibleWidth = 820;
    in.VisibleHeight = 620;
    in.ScreenPixelsPerInch = 96;
    in.SheetWidthInches = 8.5;
    in.SheetHeightInches = 11;
    in.CurrentFactor = 2.25;
    EXPECT_DOUBLE_EQ(ZoomFactor(zeFitToWidth, in), (800.0 / 96) / 8.5);
    EXPECT_EQ(ZoomText(ZoomFactor(zeFitToWidth, in)), "98%");
    EXPECT_DOUBLE_EQ(ZoomFactor(zeFitToPage, in), (600.0 / 96) / 11);
    EXPECT_DOUBLE_EQ(ZoomFactor(-1, in), ZoomFactor(zeFitToPage, in));
    EXPECT_DOUBLE_EQ(ZoomFactor(zeCustom, in), 2.25);
    const double fixed[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
    for (int i = 3; i < ZoomEntryCount; ++i) {
        EXPECT_DOUBLE_EQ(ZoomFactor(i, in), fixed[i - 3]);
        EXPECT_EQ(ZoomText(fixed[i - 3]), ZoomEntryText(i));
    }
    EXPECT_EQ(ZoomText(12.5), "1,250%");
}

TEST(PreviewLayout, ThePageSitsInTheMiddleOrTenPixelsIn)
{
    TZoomInputs in;
    in.VisibleWidth = 820;
    in.VisibleHeight = 620;
    // Small: centred in a container as large as the visible area less one.
    TPagePlacement p = PlacePage(0.5, in);
    EXPECT_EQ(p.PageWidth, 408);  // trunc(96 x 0.5 x 8.5)
    EXPECT_EQ(p.PageHeight, 528);
    EXPECT_EQ(p.ContainerWidth, 819);
    EXPECT_EQ(p.ContainerHeight, 619);
    EXPECT_EQ(p.PageLeft, 819 / 2 - 408 / 2);
    EXPECT_EQ(p.PageTop, 619 / 2 - 528 / 2);
    // Large: the container is the page plus 20, the page 10 in.
    p = PlacePage(2.0, in);
    EXPECT_EQ(p.ContainerWidth, p.PageWidth + 20);
    EXPECT_EQ(p.ContainerHeight, p.PageHeight + 20);
    EXPECT_EQ(p.PageLeft, 10);
    EXPECT_EQ(p.PageTop, 10);
}

class PrintLayout : public StandInTest {};

TEST_F(PrintLayout, SheetRectanglesResampledSizesAndTheFooterText)
{
    // Letter at 600 dpi, the default margins 0.5 in., header 0.5, footer 0.4.
    TPreviewPrinter engine;
    engine.BeginDoc();
    engine.EndDoc();
    const TPrintGeometry g = engine.LayoutArea();
    EXPECT_EQ(g.OriginX, 300);
    EXPECT_EQ(g.OriginY, 600);
    EXPECT_EQ(g.Width, 4500);
    EXPECT_EQ(g.Height, 5460);
    const double sx = 4500.0 / 330, sy = 5460.0 / 400;
    EXPECT_EQ(TargetRect(g, sx, sy, 0, 0, 330, 400), (TSheetRect{300, 600, 4800, 6060}));
    EXPECT_EQ(TargetRect(g, sx, sy, 22, 44, 110, 88), (TSheetRect{600, 1201, 2100, 2402}));
    EXPECT_EQ(ResampledSize(110, 88, 44, 200), (TPixelSize{500, 400}));
    EXPECT_EQ(ResampledSize(110, 88, 0, 200), (TPixelSize{0, 0}));
    EXPECT_EQ(SizeBeforeTurn({500, 400}, 90), (TPixelSize{400, 500}));
    EXPECT_EQ(SizeBeforeTurn({500, 400}, 270), (TPixelSize{400, 500}));
    EXPECT_EQ(SizeBeforeTurn({500, 400}, 180), (TPixelSize{500, 400}));
    EXPECT_EQ(FooterInfoText("Office", 240, "Mitchell"), "Office at 240 DPI     Interpolation = Mitchell");
    EXPECT_EQ(TextDrop(600), 19);
    EXPECT_EQ(TextDrop(300), 9);
}

class PreviewForm : public StandInTest {
protected:
    void Record(int pages)
    {
        Engine.BeginDoc();
        for (int i = 1; i <= pages; ++i) {
            if (i > 1)
                Engine.NewPage();
            Engine.Canvas()->fillRect(QRect(0, 0, Engine.PixelsPerInchX(), Engine.PixelsPerInchY()), Qt::black);
        }
        Engine.EndDoc();
    }
    std::unique_ptr<TPreviewForm> Open(int pages)
    {
        Record(pages);
        auto form = std::make_unique<TPreviewForm>(Engine);
        form->resize(800, 700);
        form->show();
        QApplication::processEvents();
        return form;
    }
    TPreviewPrinter Engine;
};

TEST_F(PreviewForm, OnePageOpensAtFitToWidthWithNavigationOff)
{
    const auto form = Open(1);
    EXPECT_EQ(form->windowTitle(), "Preview Form");
    EXPECT_EQ(form->CurPageLabel->text(), "Page 1 of 1");
    EXPECT_EQ(form->ZoomBox->currentText(), "Fit To Width");
    EXPECT_TRUE(form->FitWidthBut->isChecked());
    EXPECT_FALSE(form->FitPageBut->isChecked());
    for (QWidget* b : std::initializer_list<QWidget*>{form->NextPageBut, form->PrevPageBut, form->NextPageSpeed,
                                                      form->PrevPageSpeed, form->FirstPageSpeed, form->LastPageSpeed,
                                                      form->PageNumSpeed})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    // Fit to width: the page as wide as the visible area less 20.
    EXPECT_EQ(form->PagePanel->width(), form->ScrollBox1->viewport()->width() - 20);
    EXPECT_EQ(form->ZoomLabel->text().toStdString(), ZoomText(form->Zoom()));
    EXPECT_TRUE(form->ZoomCursorBut->isChecked());
    EXPECT_EQ(form->PB1->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(PreviewForm, NavigationAndGoingToAPage)
{
    const auto form = Open(4);
    EXPECT_TRUE(form->NextPageBut->isEnabled());
    EXPECT_FALSE(form->PrevPageBut->isEnabled());
    EXPECT_TRUE(form->PageNumSpeed->isEnabled());
    QTest::mouseClick(form->NextPageBut, Qt::LeftButton);
    EXPECT_EQ(form->CurPageLabel->text(), "Page 2 of 4");
    EXPECT_TRUE(form->PrevPageBut->isEnabled());
    EXPECT_TRUE(form->FirstPageSpeed->isEnabled());
    QTest::mouseClick(form->LastPageSpeed, Qt::LeftButton);
    EXPECT_EQ(form->CurPageLabel->text(), "Page 4 of 4");
    EXPECT_FALSE(form->NextPageBut->isEnabled());
    EXPECT_FALSE(form->LastPageSpeed->isEnabled());
    QTest::mouseClick(form->FirstPageSpeed, Qt::LeftButton);
    EXPECT_EQ(form->CurrentPage(), 0);

    int minimum = 0, maximum = 0, start = 0;
    Dialogs->OnModal = [&](QDialog& dialog) {
        auto& go = dynamic_cast<TGoPageForm&>(dialog);
        EXPECT_EQ(go.windowTitle(), "Go to Page Number");
        minimum = go.PageNum->minimum();
        maximum = go.PageNum->maximum();
        start = go.PageNum->value();
        go.PageNum->setValue(3);
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(form->PageNumSpeed, Qt::LeftButton);
    EXPECT_EQ(minimum, 1);
    EXPECT_EQ(maximum, 4);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(form->CurPageLabel->text(), "Page 3 of 4");
    // Cancelled: the page stays.
    Dialogs->OnModal = [](QDialog& dialog) {
        dynamic_cast<TGoPageForm&>(dialog).PageNum->setValue(1);
        return int(QDialog::Rejected);
    };
    form->PageNumSpeedClick();
    EXPECT_EQ(form->CurrentPage(), 2);
}

TEST_F(PreviewForm, TheZoomToolMultipliesAndDividesAndCentresTheClickedPoint)
{
    const auto form = Open(1);
    form->ZoomBox->setCurrentIndex(6); // 100%
    EXPECT_EQ(form->ZoomLabel->text(), "100%");
    EXPECT_FALSE(form->FitWidthBut->isChecked());
    const QPoint point(form->PB1->width() * 3 / 4, form->PB1->height() / 2);
    QTest::mouseClick(form->PB1, Qt::LeftButton, {}, point);
    const QPoint second(int(point.x() * 1.5), int(point.y() * 1.5));
    const float fx = float(second.x()) / float(form->PagePanel->width());
    const float fy = float(second.y()) / float(form->PagePanel->height());
    QTest::mouseClick(form->PB1, Qt::LeftButton, {}, second);
    EXPECT_DOUBLE_EQ(form->Zoom(), 2.25);
    EXPECT_EQ(form->ZoomBox->currentText(), "Custom");
    EXPECT_EQ(form->ZoomLabel->text(), "225%");
    // The clicked point, three quarters across and half down, is in the middle.
    const int width = form->PagePanel->width(), height = form->PagePanel->height();
    const QScrollBar* h = form->ScrollBox1->horizontalScrollBar();
    const QScrollBar* v = form->ScrollBox1->verticalScrollBar();
    EXPECT_EQ(h->value(), std::min(h->maximum(), int(width * fx) - form->ScrollBox1->width() / 2));
    EXPECT_EQ(v->value(), std::min(v->maximum(), int(height * fy) - form->ScrollBox1->height() / 2));
    QTest::mouseClick(form->PB1, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_DOUBLE_EQ(form->Zoom(), 1.5);
    // Choosing the fit entries again.
    QTest::mouseClick(form->FitPageBut, Qt::LeftButton);
    EXPECT_EQ(form->ZoomBox->currentIndex(), int(zeFitToPage));
    EXPECT_TRUE(form->FitPageBut->isChecked());
    EXPECT_FALSE(form->FitWidthBut->isChecked());
    EXPECT_LE(form->PagePanel->height(), form->ScrollBox1->viewport()->height() - 19);
}

TEST_F(PreviewForm, TheHandToolPansAndTheZoomToolComesBack)
{
    const auto form = Open(1);
    form->ZoomBox->setCurrentIndex(ZoomEntryCount - 1); // 400%
    QTest::mouseClick(form->HandCursorBut, Qt::LeftButton);
    EXPECT_TRUE(form->HandCursorBut->isChecked());
    EXPECT_FALSE(form->ZoomCursorBut->isChecked());
    EXPECT_EQ(form->PB1->cursor().shape(), Qt::PointingHandCursor);
    QScrollBar* h = form->ScrollBox1->horizontalScrollBar();
    QScrollBar* v = form->ScrollBox1->verticalScrollBar();
    h->setValue(200);
    v->setValue(300);
    form->PB1MouseDown(Qt::LeftButton, QPoint(500, 600));
    form->PB1MouseMove(QPoint(470, 640));
    EXPECT_EQ(h->value(), 230);
    EXPECT_EQ(v->value(), 260);
    form->PB1MouseUp();
    form->PB1MouseMove(QPoint(0, 0)); // no longer panning
    EXPECT_EQ(h->value(), 230);
    const double zoom = form->Zoom();
    form->PB1MouseDown(Qt::LeftButton, QPoint(5, 5)); // the hand does not zoom
    form->PB1MouseUp();
    EXPECT_DOUBLE_EQ(form->Zoom(), zoom);
    QTest::mouseClick(form->ZoomCursorBut, Qt::LeftButton);
    EXPECT_EQ(form->PB1->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(PreviewForm, PrintGoesThroughThePrintDialogAndEscapeCloses)
{
    const auto form = Open(2);
    int asked = 0;
    Dialogs->OnPrint = [&](QPrinter&, TPrintDialogSpec& spec) {
        ++asked;
        EXPECT_EQ(spec.MaxPage, 2);
        return true;
    };
    QTest::mouseClick(form->PrintBut, Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(StandIn->JobFiles().size(), 1);
    EXPECT_EQ(PdfPageCount(StandIn->JobFiles()[0]), 2);

    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), int(QDialog::Rejected));
    for (auto [button, text, hint] :
         {std::tuple{form->PrintBut, "&Print...", "Print the Current Document"},
          std::tuple{form->NextPageBut, "&Next", "Advance to Next Page in Document"},
          std::tuple{form->PrevPageBut, "Pre&v", "Move to Previous Page in Document"},
          std::tuple{form->CloseBut, "&Close", "Close the Print Preview window"}}) {
        EXPECT_EQ(button->text(), text);
        EXPECT_EQ(button->toolTip(), hint);
    }
}

} // namespace
