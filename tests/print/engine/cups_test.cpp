// Printing through a real CUPS queue on the cups-pdf backend: the device
// values of the queue, and what comes out of it as PDF. Skips when no such
// queue is the default (scripts/with-cups sets one up).
#include "enginetest.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <unistd.h>

#include "print/prevprinter.h"
#include "support/cupsqueue.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

// The marks of a page rendered at 100 dpi.
int Marks(const QImage& page)
{
    int n = 0;
    while (n < 10 && !DarkBox(page, QRect(100 + 50 * n + 10, 610, 10, 10)).isNull())
        ++n;
    return n;
}

// Ink at the page number's place, the bottom right.
bool PageNumberInk(const QImage& page)
{
    return !DarkBox(page, QRect(page.width() / 2, page.height() - 45, page.width() / 2, 45)).isNull();
}

class CupsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString why;
        Queue = DefaultCupsPdfQueue(why);
        if (Queue.isEmpty())
            GTEST_SKIP() << why.toStdString();
        Dialogs = TScriptedDialogs::Install(DialogsGuard);
        Guard = std::make_unique<PrintersGuard>(std::make_unique<TSystemPrinters>());
        static int serial = 0;
        Title = QStringLiteral("tessaria-engine-test-%1-%2").arg(getpid()).arg(++serial);
        Engine.SetTitle(Title);
    }
    void TearDown() override
    {
        // A failed test leaves its PDFs to be looked at.
        if (!HasFailure())
            for (const QString& f : Jobs)
                QFile::remove(f);
        Guard.reset();
        DialogsGuard.reset();
    }

    QStringList WaitForJobs(int count)
    {
        Jobs = WaitForQueuePdfs(Title, count);
        return Jobs;
    }

    void RecordDocument(int pages)
    {
        TTextOptions& o = *Engine.TextOptions();
        o.SetHeader("Tessaria header");
        o.SetFooter("Footer line");
        o.SetFooterAlign(TAlignment::taLeftJustify);
        o.SetPageNumFont(MakePrintFont("Arial", 12));
        Engine.BeginDoc();
        for (int i = 1; i <= pages; ++i) {
            if (i > 1)
                Engine.NewPage();
            const int ppi = Engine.PixelsPerInchX();
            Engine.Canvas()->fillRect(QRect(0, 0, ppi, ppi), Qt::black);
            Engine.Canvas()->fillRect(QRect(3 * ppi, 4 * ppi, 2 * ppi, ppi), Qt::black);
            // The page tells its number by a row of marks, since the queue's
            // PDF keeps the text only as glyph drawings.
            for (int k = 0; k < i; ++k)
                Engine.Canvas()->fillRect(QRect(ppi + k * ppi / 2, 6 * ppi, ppi * 3 / 10, ppi * 3 / 10), Qt::black);
            Engine.PrintHeaderFooter(i);
        }
        Engine.EndDoc();
    }

    QString Queue;
    QString Title;
    QStringList Jobs;
    std::unique_ptr<TScriptedDialogs::TGuard> DialogsGuard;
    TScriptedDialogs* Dialogs = nullptr;
    std::unique_ptr<PrintersGuard> Guard;
    TPreviewPrinter Engine;
};

TEST_F(CupsTest, DeviceValuesOfTheQueue)
{
    if (qEnvironmentVariable("TESSARIA_PRINT_QUEUE") != Queue)
        GTEST_SKIP() << "the default queue was not set up by scripts/with-cups, its sheet is unknown";
    Engine.BeginDoc();
    Engine.EndDoc();
    EXPECT_EQ(Engine.PrinterName(), Queue);
    const int ppi = Engine.PixelsPerInchX();
    EXPECT_GE(ppi, 300);
    EXPECT_EQ(Engine.PixelsPerInchY(), ppi);
    // US Letter with 0.25 in. unprintable at the left and 0.5 in. at the top.
    EXPECT_EQ(Engine.PhysicalWidth(), ppi * 17 / 2);
    EXPECT_EQ(Engine.PhysicalHeight(), ppi * 11);
    EXPECT_EQ(Engine.PhysicalOffsetX(), ppi / 4);
    EXPECT_EQ(Engine.PhysicalOffsetY(), ppi / 2);

    Engine.SetOrientation(TPrinterOrientation::poLandscape);
    Engine.BeginDoc();
    Engine.EndDoc();
    EXPECT_EQ(Engine.PhysicalWidth(), ppi * 11);
    EXPECT_EQ(Engine.PhysicalHeight(), ppi * 17 / 2);
}

TEST_F(CupsTest, RecordedPagesComeOutOfTheQueueWhereTheyWereDrawn)
{
    RecordDocument(3);
    ASSERT_EQ(Engine.PageCount(), 3);
    const double sheetW = Engine.PhysicalWidth() * 72.0 / Engine.PixelsPerInchX();
    const double sheetH = Engine.PhysicalHeight() * 72.0 / Engine.PixelsPerInchY();
    ASSERT_TRUE(Engine.PrintRange(0, 2));
    const QStringList jobs = WaitForJobs(1);
    ASSERT_EQ(jobs.size(), 1) << "no PDF from the queue";
    const QString pdf = jobs[0];
    EXPECT_EQ(PdfPageCount(pdf), 3);
    const QSizeF size = PdfPageSize(pdf);
    EXPECT_NEAR(size.width(), sheetW, 1);
    EXPECT_NEAR(size.height(), sheetH, 1);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        const QImage image = RenderPdfPage(pdf, page, 100);
        EXPECT_EQ(Marks(image), page);
        EXPECT_TRUE(PageNumberInk(image));
    }

    // At 100 dpi: the square at the sheet's corner, the box at (3 in., 4 in.),
    // the header centred 0.5 in. down, the footer at the left margin.
    const QImage image = RenderPdfPage(pdf, 1, 100);
    const QRect corner = DarkBox(image, QRect(0, 0, 200, 200));
    EXPECT_NEAR(corner.left(), 0, 1);
    EXPECT_NEAR(corner.top(), 0, 1);
    EXPECT_NEAR(corner.right(), 99, 2);
    EXPECT_NEAR(corner.bottom(), 99, 2);
    const QRect box = DarkBox(image, QRect(250, 350, 300, 200));
    EXPECT_NEAR(box.left(), 300, 1);
    EXPECT_NEAR(box.top(), 400, 1);
    EXPECT_NEAR(box.width(), 200, 2);
    const int width = image.width();
    const QRect header = DarkBox(image, QRect(200, 40, width - 400, 60));
    ASSERT_FALSE(header.isNull());
    EXPECT_NEAR((header.left() + header.right()) / 2.0, width / 2.0, 3);
    EXPECT_GE(header.top(), 50);
    EXPECT_LE(header.top(), 58);
    const QRect footer = DarkBox(image, QRect(0, image.height() - 45, width / 2, 45));
    ASSERT_FALSE(footer.isNull());
    EXPECT_NEAR(footer.left(), 50, 2);
}

TEST_F(CupsTest, TwoCopiesOfARangeAreTwoJobsThroughTheQueue)
{
    RecordDocument(5);
    Dialogs->OnPrint = [](QPrinter& printer, TPrintDialogSpec& spec) {
        spec.PageRange = true;
        spec.FromPage = 2;
        spec.ToPage = 3;
        spec.Copies = 2;
        printer.setCopyCount(2);
        return true;
    };
    ASSERT_TRUE(Engine.PrintWithDialog());
    const QStringList jobs = WaitForJobs(2);
    ASSERT_EQ(jobs.size(), 2);
    for (const QString& pdf : jobs) {
        SCOPED_TRACE(pdf.toStdString());
        EXPECT_EQ(PdfPageCount(pdf), 2);
        EXPECT_EQ(Marks(RenderPdfPage(pdf, 1, 100)), 2);
        EXPECT_EQ(Marks(RenderPdfPage(pdf, 2, 100)), 3);
    }
}

} // namespace
