// A layout printed through the real test queue (cups-pdf): every box where
// its page puts it on the queue's sheet. Skips without such a queue.
#include "printfixture.h"

#include <QAction>
#include <QFile>
#include <unistd.h>

#include <QPageSize>
#include <QPrinter>
#include <sstream>

#include "app/batch.h"
#include "support/cupsqueue.h"
#include "support/localeguard.h"
#include "support/pdfpages.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class PrintingCups : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        QString why;
        if (DefaultCupsPdfQueue(why).isEmpty())
            GTEST_SKIP() << why.toStdString();
        SetPrinters(std::make_unique<TSystemPrinters>());
    }
};

TEST_F(PrintingCups, ALayoutComesOutOfTheQueueWithEveryBoxInPlace)
{
    TfrmTessaria& w = ShowWindow();
    const QString photo = WritePicture("photo.bmp", 400, 300, Qt::black, Qt::black);
    const QSize page = w.CurrentPage->size();
    const QString document = WriteDocument(
        "queue.tsd", {{PictureRecord(photo, 0, 0, 80, 60), PictureRecord(photo, 150, 200, 80, 60, 90)},
                      {PictureRecord(photo, page.width() - 80, page.height() - 60, 80, 60)}});
    Open(document);
    const QString title = QStringLiteral("tessaria-layout-test-%1").arg(getpid());
    w.PP1->SetTitle(title);
    w.Print1->trigger();
    ASSERT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty()) << Dialogs->AllTexts().join('\n').toStdString();
    const QStringList jobs = WaitForQueuePdfs(title, 1);
    ASSERT_EQ(jobs.size(), 1) << "no PDF from the queue";
    const QString pdf = jobs[0];
    EXPECT_EQ(PdfPageCount(pdf), 2);

    // Sheet pixels of the queue's printer to pixels of a 100-dpi rendering.
    const double toRender = 100.0 / w.PP1->PixelsPerInchX();
    const struct {
        int Page;
        QRect Box;
    } boxes[] = {{1, {0, 0, 80, 60}}, {1, {150, 200, 80, 60}}, {2, {page.width() - 80, page.height() - 60, 80, 60}}};
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.Page);
        const QRect expected = Scaled(ExpectedSheetRect(b.Box.x(), b.Box.y(), b.Box.width(), b.Box.height()), toRender);
        const QRect ink = DarkBox(RenderPdfPage(pdf, b.Page, 100), expected.adjusted(-10, -10, 10, 10));
        EXPECT_NEAR(ink.left(), expected.left(), 2);
        EXPECT_NEAR(ink.top(), expected.top(), 2);
        EXPECT_NEAR(ink.width(), expected.width(), 2);
        EXPECT_NEAR(ink.height(), expected.height(), 2);
    }
    QFile::remove(pdf);
}

// Through CUPS (Qt's PDF to the queue, the queue's filters, cups-pdf) the
// picture keeps its resampled pixels: no JPEG on the way.
TEST_F(PrintingCups, APictureComesOutOfTheQueuePixelForPixel)
{
    TfrmTessaria& w = ShowWindow();
    ASSERT_EQ(w.LayoutPPI, 44) << "the queue's Letter sheet with the default margins";
    const QString stripes = WriteStripes("stripes.bmp", 500, 400);
    Open(WriteDocument("stripes.tsd", {{PictureRecord(stripes, 22, 44, 110, 88)}}));
    const QString title = QStringLiteral("tessaria-stripes-test-%1").arg(getpid());
    w.PP1->SetTitle(title);
    w.Print1->trigger();
    ASSERT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty()) << Dialogs->AllTexts().join('\n').toStdString();
    const QStringList jobs = WaitForQueuePdfs(title, 1);
    ASSERT_EQ(jobs.size(), 1) << "no PDF from the queue";
    EXPECT_FALSE(PdfImageEncodings(jobs[0]).contains("jpeg")) << PdfImageEncodings(jobs[0]).join(' ').toStdString();
    const std::vector<QImage> images = PdfImages(jobs[0]);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_LE(LargestDifference(images[0], QImage(stripes).convertToFormat(QImage::Format_RGB32)), 3);
    QFile::remove(jobs[0]);
}

// The same document by the four routes: Print to the queue, --print-pdf, the
// print dialog's file output (Qt would give it a paper of its own) and Print
// with no printer at all under the US locale: one sheet, the boxes in one place.
TEST_F(PrintingCups, FourRoutesGiveOneSheet)
{
    LocaleGuard locale("en_US");
    TfrmTessaria& w = ShowWindow();
    const QSize page = w.CurrentPage->size();
    const QString photo = WritePicture("photo.bmp", 400, 300, Qt::black, Qt::black);
    const QRect boxes[] = {{0, 0, 80, 60}, {150, 200, 80, 60}, {page.width() - 80, page.height() - 60, 80, 60}};
    const QString document = WriteDocument(
        "routes.tsd", {{PictureRecord(photo, boxes[0].x(), boxes[0].y(), 80, 60),
                        PictureRecord(photo, boxes[1].x(), boxes[1].y(), 80, 60),
                        PictureRecord(photo, boxes[2].x(), boxes[2].y(), 80, 60)}});
    Open(document);
    const QString title = QStringLiteral("tessaria-routes-test-%1").arg(getpid());
    w.PP1->SetTitle(title);
    w.Print1->trigger();
    const QStringList jobs = WaitForQueuePdfs(title, 1);
    ASSERT_EQ(jobs.size(), 1) << "no PDF from the queue";

    const QString viaBatch = QString::fromStdString(Config.File("batch.pdf"));
    std::ostringstream err;
    ASSERT_EQ(RunBatch(ParseBatchArguments({"--print-pdf", viaBatch, document}), w, err), 0) << err.str();

    const QString viaDialog = QString::fromStdString(Config.File("dialog.pdf"));
    Dialogs->OnPrint = [&](QPrinter& printer, TPrintDialogSpec&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(viaDialog);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
    };
    ASSERT_TRUE(w.PP1->PrintWithDialog());

    SetPrinters(std::make_unique<TStandInPrinters>("", TDeviceValues{}, QString::fromStdString(Config.Path())));
    const QString viaNoPrinter = QString::fromStdString(Config.File("noprinter.pdf"));
    Dialogs->FileNames = {viaNoPrinter};
    w.Print1->trigger();
    ASSERT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty()) << Dialogs->AllTexts().join('\n').toStdString();

    const QString routes[] = {jobs[0], viaBatch, viaDialog, viaNoPrinter};
    std::vector<QRect> first;
    for (const QString& pdf : routes) {
        SCOPED_TRACE(pdf.toStdString());
        const QSizeF sheet = PdfPageSize(pdf);
        EXPECT_NEAR(sheet.width(), 612, 1);
        EXPECT_NEAR(sheet.height(), 792, 1);
        const QImage rendered = RenderPdfPage(pdf, 1, 100);
        std::vector<QRect> ink;
        for (const QRect& b : boxes) {
            // The page surface to 100-dpi pixels: 7.5 x 9.1 in. from (0.5, 1.0) in.
            const QRect near(int(50 + b.x() * 750.0 / page.width()) - 10, int(100 + b.y() * 910.0 / page.height()) - 10,
                             int(b.width() * 750.0 / page.width()) + 20, int(b.height() * 910.0 / page.height()) + 20);
            ink.push_back(DarkBox(rendered, near));
            ASSERT_FALSE(ink.back().isNull());
        }
        if (first.empty())
            first = ink;
        for (size_t i = 0; i < ink.size(); ++i) {
            EXPECT_NEAR(ink[i].left(), first[i].left(), 1) << i;
            EXPECT_NEAR(ink[i].top(), first[i].top(), 1) << i;
            EXPECT_NEAR(ink[i].right(), first[i].right(), 1) << i;
            EXPECT_NEAR(ink[i].bottom(), first[i].bottom(), 1) << i;
        }
    }
    QFile::remove(jobs[0]);
}

} // namespace
