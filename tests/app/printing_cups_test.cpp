// A layout printed through the real test queue (cups-pdf): every box where
// its page puts it on the queue's sheet. Skips without such a queue.
#include "printfixture.h"

#include <QAction>
#include <QFile>
#include <unistd.h>

#include "support/cupsqueue.h"
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

} // namespace
