// Printing from the command line: the arguments, a batch run in this process
// with its exit codes and messages, and the tessaria program itself writing a
// PDF that is read back as pixels.
#include "printfixture.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <sstream>

#include "app/batch.h"
#include "support/pdfpages.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

TEST(BatchArguments, OptionsAndTheirFiles)
{
    using K = TBatchJob::TKind;
    const struct {
        QStringList Args;
        K Kind;
        QString Output, Document;
        bool Error;
    } cases[] = {
        {{}, K::None, "", "", false},
        {{"layout.tsd"}, K::None, "", "", false},
        {{"--print-pdf", "out.pdf", "layout.tsd"}, K::PrintPdf, "out.pdf", "layout.tsd", false},
        {{"--print", "layout.tsd"}, K::Print, "", "layout.tsd", false},
        {{"--print-pdf", "layout.tsd"}, K::PrintPdf, "", "", true},
        {{"--print"}, K::Print, "", "", true},
        {{"--print", "a.tsd", "b.tsd"}, K::Print, "", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args.join(' ').toStdString());
        const TBatchJob job = ParseBatchArguments(c.Args);
        EXPECT_EQ(job.Kind, c.Kind);
        EXPECT_EQ(job.Output, c.Output);
        EXPECT_EQ(job.Document, c.Document);
        EXPECT_EQ(!job.Error.isEmpty(), c.Error);
    }
}

class Batch : public PrintTest {
protected:
    int Run(const QStringList& args)
    {
        Err.str("");
        return RunBatch(ParseBatchArguments(args), *Window, Err);
    }
    std::ostringstream Err;
};

TEST_F(Batch, APdfOfEveryPageAndClearMessagesWhenItCannot)
{
    CreateWindow();
    Window->tbNewPageClick(); // as the shown window has its first page
    const QString picture = WritePicture("photo.bmp", 200, 100);
    const QString document = WriteDocument(
        "two.tsd", {{PictureRecord(picture, 10, 10, 100, 50)}, {PictureRecord(picture, 50, 50, 100, 50, 180)}});
    const QString pdf = QString::fromStdString(Config.File("out.pdf"));
    EXPECT_EQ(Run({"--print-pdf", pdf, document}), 0) << Err.str();
    EXPECT_EQ(PdfPageCount(pdf), 2);
    // The options' defaults: 200 DPI.
    const int ppi = Window->LayoutPPI;
    const QSize size(int(Round(100.0 / ppi * 200)), int(Round(50.0 / ppi * 200)));
    EXPECT_EQ(PdfImageSizes(pdf), std::vector<QSize>({size, size}));

    // Not a document: the program's message, exit code 2.
    const QString junk = QString::fromStdString(Config.File("junk.tsd"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a layout");
    f.close();
    EXPECT_EQ(Run({"--print-pdf", pdf, junk}), 2);
    EXPECT_NE(Err.str().find("I do not recognize the file as being valid"), std::string::npos) << Err.str();

    EXPECT_EQ(Run({"--print-pdf", pdf, QString::fromStdString(Config.File("none.tsd"))}), 1);
    EXPECT_NE(Err.str().find("Cannot open file"), std::string::npos) << Err.str();

    // A picture gone since the layout was saved: listed, then the error.
    QFile::remove(picture);
    EXPECT_EQ(Run({"--print-pdf", pdf, document}), 1);
    EXPECT_NE(Err.str().find("photo.bmp"), std::string::npos) << Err.str();

    EXPECT_EQ(Run({"--print"}), 2);
    EXPECT_NE(Err.str().find("usage: tessaria"), std::string::npos);
}

TEST_F(Batch, PrintGoesToThePrinterAndNeedsOne)
{
    CreateWindow();
    Window->tbNewPageClick();
    const QString picture = WritePicture("photo.bmp", 200, 100);
    const QString document = WriteDocument("one.tsd", {{PictureRecord(picture, 10, 10, 100, 50)}});
    EXPECT_EQ(Run({"--print", document}), 0) << Err.str();
    auto* standIn = dynamic_cast<TStandInPrinters*>(&Printers());
    ASSERT_NE(standIn, nullptr);
    ASSERT_EQ(standIn->JobFiles().size(), 1);
    EXPECT_EQ(PdfPageCount(standIn->JobFiles()[0]), 1);

    SetPrinters(std::make_unique<TStandInPrinters>("", TDeviceValues{}, QString::fromStdString(Config.Path())));
    EXPECT_EQ(Run({"--print", document}), 1);
    EXPECT_NE(Err.str().find("no printer"), std::string::npos) << Err.str();
}

// The program itself, started as a user would, with whatever printer the
// machine has (none, or the test queue): the sheet is US Letter either way,
// and every position follows from the engine's default margins.
TEST_F(Batch, TheProgramPrintsALayoutToPdfWithoutAWindow)
{
    const QString program = QString::fromStdString((BinaryDir() / "tessaria").string());
    if (!QFile::exists(program))
        GTEST_SKIP() << "no tessaria program at " << program.toStdString();
    CreateWindow();
    Window->tbNewPageClick();
    const QSize page = Window->CurrentPage->size();
    const QString photo = WritePicture("photo.bmp", 300, 200, Qt::black, Qt::black);
    const QString document = WriteDocument(
        "layout.tsd", {{PictureRecord(photo, 0, 0, 60, 40),
                        TextRecord({"Tessaria"}, 100, 200, 120, 40, TAlignment::taLeftJustify)},
                       {PictureRecord(photo, page.width() - 60, page.height() - 40, 60, 40)}});
    const QString pdf = QString::fromStdString(Config.File("batch.pdf"));

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(Config.Path()));
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(program, {"--print-pdf", pdf, document});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const QSizeF sheet = PdfPageSize(pdf);
    EXPECT_NEAR(sheet.width(), 612, 1);
    EXPECT_NEAR(sheet.height(), 792, 1);

    // At 100 dpi: the layout area is 750 x 910 from (50, 100).
    const double sx = 750.0 / page.width(), sy = 910.0 / page.height();
    const QImage first = RenderPdfPage(pdf, 1, 100);
    const QRect picture = DarkBox(first, QRect(0, 0, 300, 300));
    EXPECT_NEAR(picture.left(), 50, 2);
    EXPECT_NEAR(picture.top(), 100, 2);
    EXPECT_NEAR(picture.width(), 60 * sx, 3);
    EXPECT_NEAR(picture.height(), 40 * sy, 3);
    const QRect text = DarkBox(first, QRect(int(50 + 90 * sx), int(100 + 190 * sy), int(140 * sx), int(60 * sy)));
    ASSERT_FALSE(text.isNull());
    EXPECT_NEAR(text.left(), 50 + 100 * sx, 3);
    EXPECT_GE(text.top(), int(100 + 200 * sy));
    EXPECT_TRUE(PdfText(pdf, 1).contains("Tessaria"));
    // The page number in the footer band.
    EXPECT_FALSE(DarkBox(first, QRect(0, 1000, 850, 100)).isNull());
    // The second page's box in the layout area's bottom right corner.
    const QRect corner = DarkBox(RenderPdfPage(pdf, 2, 100), QRect(400, 400, 450, 610));
    EXPECT_NEAR(corner.right(), 800 - 1, 2);
    EXPECT_NEAR(corner.bottom(), 1010 - 1, 2);
}

} // namespace
