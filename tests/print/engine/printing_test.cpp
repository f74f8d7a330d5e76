// Printing recorded pages: ranges, copies as jobs, offsets, resolutions and
// pictures at their own pixels, on stand-in printers and PDF file printers.
#include "enginetest.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPicture>
#include <QPrinter>

#include "base/exceptions.h"
#include "platform/application.h"
#include "print/prevform.h"
#include "print/prevprinter.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class PrintingTest : public StandInTest {
protected:
    void TearDown() override
    {
        SetScreenLogicalDpiOverride(0);
        StandInTest::TearDown();
    }
    // n pages, each with a one-inch black square at the sheet's corner and
    // its page number at the bottom left.
    void RecordPages(int n)
    {
        Engine.TextOptions()->SetPageNumAlign(TAlignment::taLeftJustify);
        Engine.TextOptions()->SetPageNumFont(MakePrintFont("Arial", 12));
        Engine.BeginDoc();
        for (int i = 1; i <= n; ++i) {
            if (i > 1)
                Engine.NewPage();
            Engine.Canvas()->fillRect(QRect(0, 0, Engine.PixelsPerInchX(), Engine.PixelsPerInchY()), Qt::black);
            Engine.PrintHeaderFooter(i);
        }
        Engine.EndDoc();
    }
    QString File(const char* name) const { return QString::fromStdString(Dir.File(name)); }
    TPreviewPrinter Engine;
};

TEST_F(PrintingTest, PagesTwoToThreeOfFiveWithTwoCopiesAreTwoJobsOfTwoPages)
{
    RecordPages(5);
    Engine.SetTitle("Tessaria Page");
    TPrintDialogSpec asked;
    Dialogs->OnPrint = [&](QPrinter& printer, TPrintDialogSpec& spec) {
        asked = spec;
        spec.PageRange = true;
        spec.FromPage = 2;
        spec.ToPage = 3;
        spec.Copies = 2;
        printer.setCopyCount(2); // as Qt's dialog leaves it
        return true;
    };
    ASSERT_TRUE(Engine.PrintWithDialog());
    EXPECT_EQ(asked.MinPage, 1);
    EXPECT_EQ(asked.MaxPage, 5);
    EXPECT_EQ(asked.FromPage, 1);
    EXPECT_EQ(asked.ToPage, 5);
    EXPECT_EQ(asked.Copies, 1);

    ASSERT_EQ(StandIn->JobFiles().size(), 2);
    for (const QString& job : StandIn->JobFiles()) {
        SCOPED_TRACE(job.toStdString());
        EXPECT_EQ(PdfPageCount(job), 2);
        EXPECT_TRUE(PdfText(job, 1).contains("Page 2"));
        EXPECT_TRUE(PdfText(job, 2).contains("Page 3"));
        EXPECT_FALSE(PdfText(job).contains("Page 1"));
    }
    EXPECT_EQ(StandIn->JobTitles(), QStringList({"Tessaria Page", "Tessaria Page"}));
    // The printer must not make copies of its own on top of ours.
    EXPECT_EQ(StandIn->Printer().copyCount(), 1);
}

TEST_F(PrintingTest, DialogWithoutRangePrintsAllPagesOnce)
{
    RecordPages(3);
    Dialogs->OnPrint = [](QPrinter&, TPrintDialogSpec&) { return true; };
    ASSERT_TRUE(Engine.PrintWithDialog());
    ASSERT_EQ(StandIn->JobFiles().size(), 1);
    EXPECT_EQ(PdfPageCount(StandIn->JobFiles()[0]), 3);
}

TEST_F(PrintingTest, CancelledDialogPrintsNothing)
{
    RecordPages(2);
    EXPECT_FALSE(Engine.PrintWithDialog()); // no answer scripted: cancelled
    EXPECT_TRUE(StandIn->JobFiles().isEmpty());
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Print).size(), 1);
}

TEST_F(PrintingTest, NothingToPrintStartsNoJob)
{
    EXPECT_FALSE(Engine.PrintRange(0, -1));
    Engine.Print(); // no pages recorded
    RecordPages(2);
    EXPECT_FALSE(Engine.PrintRange(1, 0));
    EXPECT_TRUE(StandIn->JobFiles().isEmpty());
    EXPECT_THROW(Engine.PrintRange(0, 2), Exception);
    EXPECT_THROW(Engine.PrintRange(-1, 1), Exception);
    EXPECT_TRUE(StandIn->JobFiles().isEmpty());
}

TEST_F(PrintingTest, ThePhysicalOffsetsShiftNothingOnPaper)
{
    // The stand-in's origin is its printable corner, 0.25 in. right and
    // 0.2 in. down; the square recorded at the sheet's corner must stay there.
    RecordPages(1);
    ASSERT_TRUE(Engine.PrintRange(0, 0));
    ASSERT_EQ(StandIn->JobFiles().size(), 1);
    const QString job = StandIn->JobFiles()[0];
    EXPECT_EQ(PdfPageSize(job), QSizeF(612, 792));
    const QImage page = RenderPdfPage(job, 1, 100);
    ASSERT_EQ(page.size(), QSize(850, 1100));
    const QRect square = DarkBox(page, QRect(0, 0, 300, 300));
    EXPECT_NEAR(square.left(), 0, 1);
    EXPECT_NEAR(square.top(), 0, 1);
    EXPECT_NEAR(square.width(), 100, 2);
    EXPECT_NEAR(square.height(), 100, 2);
    // The page number: left margin 0.5 in., its line 0.4 in. from the bottom.
    const QRect number = DarkBox(page, QRect(0, 1000, 850, 100));
    EXPECT_NEAR(number.left(), 50, 2);
    EXPECT_GE(number.top(), 1060);
    EXPECT_LE(number.top(), 1064);
}

TEST_F(PrintingTest, LandscapeJobsAreLandscapeSheets)
{
    Engine.SetOrientation(TPrinterOrientation::poLandscape);
    RecordPages(1);
    EXPECT_EQ(Engine.PhysicalWidth(), 6600);
    ASSERT_TRUE(Engine.PrintRange(0, 0));
    EXPECT_EQ(PdfPageSize(StandIn->JobFiles()[0]), QSizeF(792, 612));
}

TEST_F(PrintingTest, APictureReachesThePdfAtItsOwnPixels)
{
    // 600 x 600 pixels into a 1 x 1 in. rectangle at 600 dpi.
    QImage picture(600, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    Engine.BeginDoc();
    Engine.Canvas()->drawImage(QRect(1200, 1200, 600, 600), picture);
    Engine.EndDoc();

    QPrinter file(QPrinter::HighResolution);
    file.setOutputFormat(QPrinter::PdfFormat);
    file.setOutputFileName(File("picture.pdf"));
    file.setPageSize(QPageSize(QPageSize::Letter));
    file.setResolution(600);
    ASSERT_TRUE(Engine.PrintRange(0, 0, file));
    const std::vector<QSize> images = PdfImageSizes(File("picture.pdf"));
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0], QSize(600, 600));
    const QRect box = DarkBox(RenderPdfPage(File("picture.pdf"), 1, 100), QRect(150, 150, 200, 200));
    EXPECT_NEAR(box.left(), 200, 2);
    EXPECT_NEAR(box.top(), 200, 2);
}

TEST_F(PrintingTest, PagesRecordedAgainstTheScreenKeepTheirSizeOnAFilePrinter)
{
    UsePrinter(QString(), Letter600()); // no printer: 96 dpi and a Letter sheet
    SetScreenLogicalDpiOverride(96);
    RecordPages(1);
    EXPECT_EQ(Engine.PixelsPerInchX(), 96);

    QPrinter file(QPrinter::HighResolution);
    file.setOutputFormat(QPrinter::PdfFormat);
    file.setOutputFileName(File("screen.pdf"));
    file.setPageSize(QPageSize(QPageSize::Letter));
    file.setResolution(1200);
    ASSERT_TRUE(Engine.PrintRange(0, 0, file));
    const QRect square = DarkBox(RenderPdfPage(File("screen.pdf"), 1, 100), QRect(0, 0, 300, 300));
    EXPECT_NEAR(square.width(), 100, 2);
    EXPECT_NEAR(square.height(), 100, 2);
    // A file printer does not become the engine's reference device.
    EXPECT_EQ(Engine.PixelsPerInchX(), 96);
}

TEST_F(PrintingTest, PreviewOpensAtPageOneAndShowsTheSheetScaled)
{
    RecordPages(3);
    QString label;
    QImage second;
    Dialogs->OnModal = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TPreviewForm&>(dialog);
        form.resize(700, 800);
        form.show();
        QApplication::processEvents();
        label = form.CurPageLabel->text();
        form.NextPageButClick();
        second = form.PB1->grab().toImage();
        return 0;
    };
    Engine.Preview();
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Modal), QStringList({"PreviewForm"}));
    EXPECT_EQ(label, "Page 1 of 3");
    // The sheet scaled into the paint box: the one-inch square at its corner.
    ASSERT_FALSE(second.isNull());
    const QRect square = DarkBox(second, QRect(0, 0, second.width() / 2, second.height() / 2));
    EXPECT_EQ(square.topLeft(), QPoint(0, 0));
    EXPECT_NEAR(square.width(), second.width() / 8.5, 2);
}

} // namespace
