// Printing big layouts: pages sent to the printer as they are recorded, the
// next picture read on a second thread, preview pages that let go of their
// pictures and have them back. Whatever the way, the pages are the same.
#include "printfixture.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QToolButton>
#include <QTest>

#include "platform/application.h"
#include "print/metafilecanvas.h"
#include "print/prevform.h"
#include "print/pictureerror.h"
#include "print/printpicture.h"
#include "support/pdfpages.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class PrintingMemory : public PrintTest {
protected:
    void TearDown() override
    {
        SetPrintingOnTwoThreads(true);
        SetProcessMessagesHook(nullptr);
        PrintTest::TearDown();
    }

    // Four pages of pictures in several sizes and turns, with text: a JPEG,
    // a BMP, a photo-like one with fine detail.
    QString WriteLayout()
    {
        const QString a = WritePicture("a.bmp", 640, 480);
        const QString b = WritePicture("b.jpg", 500, 700, Qt::darkGreen, Qt::yellow);
        const QString c = WriteStripes("c.bmp", 300, 200);
        const auto text = TextRecord({"Page text"}, 20, 300, 200, 40, TAlignment::taLeftJustify);
        return WriteDocument("four.tsd", {{PictureRecord(a, 10, 10, 150, 110), PictureRecord(b, 170, 10, 100, 140), text},
                                          {PictureRecord(c, 20, 20, 200, 133, 90), text},
                                          {PictureRecord(b, 0, 0, 120, 170, 180), PictureRecord(a, 130, 200, 160, 120, 270)},
                                          {text, PictureRecord(c, 50, 50, 99, 66)}});
    }

    // Every page of a PDF as pixels, and every image in it as stored.
    struct TPdfContent {
        std::vector<QImage> Pages;
        std::vector<QImage> Images;
    };
    static TPdfContent Content(const QString& pdf)
    {
        TPdfContent c;
        for (int page = 1; page <= PdfPageCount(pdf); ++page)
            c.Pages.push_back(RenderPdfPage(pdf, page, 60));
        c.Images = PdfImages(pdf);
        return c;
    }
    static void ExpectSameContent(const TPdfContent& a, const TPdfContent& b)
    {
        ASSERT_EQ(a.Pages.size(), b.Pages.size());
        for (size_t i = 0; i < a.Pages.size(); ++i)
            EXPECT_EQ(LargestDifference(a.Pages[i], b.Pages[i]), 0) << "page " << i + 1;
        ASSERT_EQ(a.Images.size(), b.Images.size());
        for (size_t i = 0; i < a.Images.size(); ++i)
            EXPECT_EQ(LargestDifference(a.Images[i], b.Images[i]), 0) << "image " << i;
    }
    QString Pdf(const std::string& name) const { return QString::fromStdString(Config.File(name)); }
};

// The old way (every page recorded, then printed, on one thread) against
// pages sent as recorded, on one thread and on two.
TEST_F(PrintingMemory, StreamedPdfsHoldTheSamePagesAsRecordedThenPrintedOnes)
{
    TfrmTessaria& w = ShowWindow();
    Open(WriteLayout());
    SetPrintingOnTwoThreads(false);
    w.RecordLayout(200, 5);
    for (int i = 0; i < w.PP1->PageCount(); ++i)
        w.PP1->RestorePageImages(i);
    const QString reference = Pdf("reference.pdf");
    w.PrintRecordedToPdf(reference);
    ASSERT_EQ(PdfPageCount(reference), 4);
    const TPdfContent expected = Content(reference);
    EXPECT_EQ(expected.Images.size(), 6u);

    for (bool two : {false, true}) {
        SCOPED_TRACE(two ? "two threads" : "one thread");
        SetPrintingOnTwoThreads(two);
        const QString streamed = Pdf(two ? "two.pdf" : "one.pdf");
        w.PrintLayout(200, 5, streamed);
        ExpectSameContent(Content(streamed), expected);
        EXPECT_FALSE(QFile::exists(streamed + ".part"));
    }
}

TEST_F(PrintingMemory, RecordingOnTwoThreadsGivesTheSamePages)
{
    TfrmTessaria& w = ShowWindow();
    Open(WriteLayout());
    std::vector<QImage> pages[2];
    for (bool two : {false, true}) {
        SetPrintingOnTwoThreads(two);
        w.RecordLayout(160, 6);
        for (int i = 0; i < w.PP1->PageCount(); ++i) {
            w.PP1->RestorePageImages(i);
            pages[two].push_back(RecordedPage(i, 0.2));
        }
    }
    ASSERT_EQ(pages[0].size(), 4u);
    ASSERT_EQ(pages[1].size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(LargestDifference(pages[0][i], pages[1][i]), 0) << "page " << i + 1;
}

// While pages go to the printer as they are recorded, no more than a few
// pages' pictures are held at any time; the printer gets every page.
TEST_F(PrintingMemory, PrintingHoldsAFewPagesWhateverTheLength)
{
    TfrmTessaria& w = ShowWindow();
    const QString photo = WritePicture("photo.bmp", 800, 600);
    std::vector<std::vector<TDocumentBox>> pages(12, {PictureRecord(photo, 0, 0, 200, 150)});
    Open(WriteDocument("twelve.tsd", pages));
    const size_t onePage = size_t(Round(200.0 / w.LayoutPPI * 200)) * size_t(Round(150.0 / w.LayoutPPI * 200)) * 3;
    size_t most = 0;
    SetProcessMessagesHook([&] { most = std::max(most, w.PP1->HeldImageBytes()); });
    w.Print1->trigger();
    SetProcessMessagesHook(nullptr);
    ASSERT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty()) << Dialogs->AllTexts().join('\n').toStdString();
    EXPECT_GT(most, 0u);
    EXPECT_LE(most, 4 * onePage) << "at most the page recorded, one waiting and one being printed (and slack)";
    EXPECT_EQ(w.PP1->HeldImageBytes(), 0u);
    auto* standIn = dynamic_cast<TStandInPrinters*>(&Printers());
    ASSERT_NE(standIn, nullptr);
    ASSERT_EQ(standIn->JobFiles().size(), 1);
    EXPECT_EQ(PdfPageCount(standIn->JobFiles()[0]), 12);
    EXPECT_EQ(PdfImageSizes(standIn->JobFiles()[0]).size(), 12u);
}

// A stand-in printer that notes when its device values are asked for while
// a job runs: the job draws on the printer from another thread, so nothing
// may ask the printer (and set it up again) until the job has ended.
class TWatchedPrinters final : public TPrinters {
public:
    explicit TWatchedPrinters(const QString& folder) : Inner_("Watched", {300, 300, 2550, 3300, 0, 0}, folder) {}
    QString CurrentPrinterName() override { return Inner_.CurrentPrinterName(); }
    QPrinter& Printer() override { return Inner_.Printer(); }
    TDeviceValues DeviceValues(TPrinterOrientation orientation) override
    {
        AskedDuringJob += JobRunning;
        return Inner_.DeviceValues(orientation);
    }
    TDeviceValues BeginJob(QPrinter& printer) override
    {
        JobRunning = true;
        return Inner_.BeginJob(printer);
    }
    TStandInPrinters& Inner() { return Inner_; }
    bool JobRunning = false;
    int AskedDuringJob = 0;

private:
    TStandInPrinters Inner_;
};

TEST_F(PrintingMemory, TheBusyPrinterIsNotAskedAgainWhilePagesAreRecorded)
{
    auto watched = std::make_unique<TWatchedPrinters>(QString::fromStdString(Config.Path()));
    TWatchedPrinters& printers = *watched;
    SetPrinters(std::move(watched));
    TfrmTessaria& w = ShowWindow();
    const QString photo = WritePicture("photo.bmp", 200, 150);
    Open(WriteDocument("three.tsd", {{PictureRecord(photo, 0, 0, 100, 75)},
                                     {PictureRecord(photo, 0, 0, 100, 75)},
                                     {PictureRecord(photo, 0, 0, 100, 75)}}));
    w.PrintLayout(200, 5);
    EXPECT_TRUE(printers.JobRunning);
    EXPECT_EQ(printers.AskedDuringJob, 0);
    ASSERT_EQ(printers.Inner().JobFiles().size(), 1);
    EXPECT_EQ(PdfPageCount(printers.Inner().JobFiles()[0]), 3);
    // After the job a recording asks the printer again, page by page.
    printers.JobRunning = false;
    w.RecordLayout(200, 5);
    EXPECT_EQ(w.PP1->PageCount(), 3);
}

// The preview keeps the shown page and its neighbours; a page it comes back
// to has its pictures made again, the same pixels as when recorded.
TEST_F(PrintingMemory, ThePreviewHoldsTheShownPageAndItsNeighbours)
{
    TfrmTessaria& w = ShowWindow();
    Open(WriteLayout());
    w.RecordLayout(200, 5);
    TPreviewPrinter& engine = *w.PP1;
    ASSERT_EQ(engine.PageCount(), 4);
    EXPECT_TRUE(engine.GetPage(0).ImagesHeld());
    EXPECT_TRUE(engine.GetPage(1).ImagesHeld());
    EXPECT_FALSE(engine.GetPage(2).ImagesHeld()) << "let go as soon as recorded";
    EXPECT_FALSE(engine.GetPage(3).ImagesHeld());
    const QImage firstAsRecorded = RecordedPage(0, 0.25);

    TPreviewForm form(engine);
    form.LayOut();
    form.show();
    QApplication::processEvents();
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(form.NextPageBut, Qt::LeftButton);
    EXPECT_EQ(form.CurrentPage(), 3);
    EXPECT_TRUE(engine.GetPage(3).ImagesHeld());
    EXPECT_FALSE(engine.GetPage(0).ImagesHeld());
    EXPECT_FALSE(engine.GetPage(1).ImagesHeld());

    QTest::mouseClick(form.FirstPageSpeed, Qt::LeftButton);
    EXPECT_EQ(form.CurrentPage(), 0);
    EXPECT_TRUE(engine.GetPage(0).ImagesHeld());
    EXPECT_EQ(LargestDifference(RecordedPage(0, 0.25), firstAsRecorded), 0);

    // Printing from the preview has every page, held or not, and keeps the
    // shown page's pictures.
    const QString pdf = Pdf("from-preview.pdf");
    w.PrintRecordedToPdf(pdf);
    EXPECT_EQ(PdfPageCount(pdf), 4);
    EXPECT_EQ(PdfImageSizes(pdf).size(), 6u);
    EXPECT_TRUE(engine.GetPage(0).ImagesHeld());
    EXPECT_FALSE(engine.GetPage(3).ImagesHeld());
    form.close();
}

// A picture gone before printing starts stops it before a page is out; one
// that fails on the way leaves no half-written PDF.
TEST_F(PrintingMemory, AFailedPrintLeavesNoPdf)
{
    TfrmTessaria& w = ShowWindow();
    const QString good = WritePicture("good.bmp", 100, 100);
    const QString gone = WritePicture("gone.bmp", 100, 100);
    const QString broken = QString::fromStdString(Config.File("broken.jpg"));
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(100, 'x'));
    f.close();

    Open(WriteDocument("gone.tsd", {{PictureRecord(good, 0, 0, 50, 50)}, {PictureRecord(gone, 0, 0, 50, 50)}}));
    QFile::remove(gone);
    const QString pdf = Pdf("gone.pdf");
    EXPECT_THROW(w.PrintLayout(200, 5, pdf), EPictureError);
    EXPECT_FALSE(QFileInfo::exists(pdf));

    Open(WriteDocument("broken.tsd", {{PictureRecord(good, 0, 0, 50, 50)}, {PictureRecord(broken, 0, 0, 50, 50)}}));
    for (bool two : {false, true}) {
        SetPrintingOnTwoThreads(two);
        try {
            w.PrintLayout(200, 5, pdf);
            ADD_FAILURE() << "printed a layout with a broken picture";
        } catch (const EPictureError& e) {
            EXPECT_NE(std::string(e.what()).find("JPEG error #"), std::string::npos) << e.what();
        }
        EXPECT_FALSE(QFileInfo::exists(pdf));
        EXPECT_FALSE(QFileInfo::exists(pdf + ".part"));
    }
}

} // namespace
