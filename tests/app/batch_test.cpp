// Printing from the command line: the arguments, a batch run in this process
// with its exit codes and messages, and the tessaria program itself writing a
// PDF that is read back as pixels.
#include "printfixture.h"
#include "programrun.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <sstream>

#include "app/about.h"
#include "app/batch.h"
#include "platform/settingsstore.h"
#include "print/paper.h"
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

TEST(BatchArguments, JobOptionsAndWhatIsWrongWithThem)
{
    using K = TBatchJob::TKind;
    const struct {
        QStringList Args;
        K Kind;
        int Dpi, Filter; // -1: not given
        QString Paper;   // the paper's name, or empty
        bool Landscape;
        int Copies;
        QString Error;   // a part of the error text; empty for none
    } cases[] = {
        {{"--print-pdf", "o.pdf", "--dpi", "240", "--filter", "Mitchell", "l.tsd"}, K::PrintPdf, 240, 6, "", false, 1, ""},
        {{"--dpi=160", "--filter=box", "--print", "l.tsd"}, K::Print, 160, 0, "", false, 1, ""},
        {{"--print", "--filter", "3", "--copies", "4", "l.tsd"}, K::Print, -1, 3, "", false, 4, ""},
        {{"--print-pdf", "o.pdf", "--paper", "a5", "--landscape", "l.tsd"}, K::PrintPdf, -1, -1, "A5", true, 1, ""},
        {{"--print-pdf", "o.pdf", "--paper", "10x15CM", "l.tsd"}, K::PrintPdf, -1, -1, "10x15cm", false, 1, ""},
        {{"--print-pdf", "o.pdf", "--", "--odd.tsd"}, K::PrintPdf, -1, -1, "", false, 1, ""},
        {{"-style", "fusion", "l.tsd"}, K::None, -1, -1, "", false, 1, ""},
        {{"--help"}, K::Help, -1, -1, "", false, 1, ""},
        {{"--version", "--whatever"}, K::Version, -1, -1, "", false, 1, ""},
        {{"--anything"}, K::None, -1, -1, "", false, 1, "unknown option --anything"},
        {{"l.tsd", "--colour=red"}, K::None, -1, -1, "", false, 1, "unknown option --colour"},
        {{"--print", "--dpi", "0", "l.tsd"}, K::Print, -1, -1, "", false, 1, "--dpi wants a whole number from 1 to 1200"},
        {{"--print", "--dpi", "1201", "l.tsd"}, K::Print, -1, -1, "", false, 1, "--dpi wants"},
        {{"--print", "--dpi", "2x", "l.tsd"}, K::Print, -1, -1, "", false, 1, "--dpi wants"},
        {{"--print", "l.tsd", "--dpi"}, K::Print, -1, -1, "", false, 1, "--dpi wants N"},
        {{"--print", "--filter", "7", "l.tsd"}, K::Print, -1, -1, "", false, 1, "--filter wants one of Box, Triangle"},
        {{"--print", "--filter", "Gauss", "l.tsd"}, K::Print, -1, -1, "", false, 1, "--filter wants"},
        {{"--print-pdf", "o.pdf", "--paper", "B5", "l.tsd"}, K::PrintPdf, -1, -1, "", false, 1, "--paper wants one of A4, Letter"},
        {{"--print", "--paper", "A4", "l.tsd"}, K::Print, -1, -1, "", false, 1, "--paper does not apply to --print"},
        {{"--print", "--landscape", "l.tsd"}, K::Print, -1, -1, "", false, 1, "--landscape does not apply to --print"},
        {{"--print-pdf", "o.pdf", "--copies", "2", "l.tsd"}, K::PrintPdf, -1, -1, "", false, 1, "--copies does not apply to --print-pdf"},
        {{"--print", "--copies", "0", "l.tsd"}, K::Print, -1, -1, "", false, 1, "--copies wants a whole number from 1 to 999"},
        {{"--dpi", "200", "l.tsd"}, K::None, -1, -1, "", false, 1, "--dpi needs --print-pdf or --print"},
        {{"--print", "--print-pdf", "o.pdf", "l.tsd"}, K::Print, -1, -1, "", false, 1, "cannot be combined"},
        {{"--landscape=yes", "--print-pdf", "o.pdf", "l.tsd"}, K::None, -1, -1, "", false, 1, "--landscape takes no value"},
        {{"--print-pdf"}, K::None, -1, -1, "", false, 1, "--print-pdf wants OUT.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args.join(' ').toStdString());
        const TBatchJob job = ParseBatchArguments(c.Args);
        EXPECT_EQ(job.Kind, c.Kind);
        if (!c.Error.isEmpty()) {
            EXPECT_TRUE(job.Error.contains(c.Error)) << job.Error.toStdString();
            EXPECT_TRUE(job.Document.isEmpty());
            continue;
        }
        EXPECT_EQ(job.Error, "");
        EXPECT_EQ(job.Dpi.value_or(-1), c.Dpi);
        EXPECT_EQ(job.Filter.value_or(-1), c.Filter);
        EXPECT_EQ(job.Paper.has_value(), !c.Paper.isEmpty());
        if (!c.Paper.isEmpty() && job.Paper) {
            EXPECT_TRUE(job.Paper->isEquivalentTo(*PaperByName(c.Paper)));
        }
        EXPECT_EQ(job.Landscape, c.Landscape);
        EXPECT_EQ(job.Copies, c.Copies);
    }
    const TBatchJob odd = ParseBatchArguments({"--print-pdf", "o.pdf", "--", "--odd.tsd"});
    EXPECT_EQ(odd.Document, "--odd.tsd");
    const TBatchJob styled = ParseBatchArguments({"-style", "fusion", "l.tsd"});
    EXPECT_EQ(styled.Files, QStringList({"l.tsd"}));
}

TEST(BatchArguments, HelpVersionAndWrongArgumentsAreAnsweredWithoutAWindow)
{
    std::ostringstream out, err;
    EXPECT_EQ(AnswerWithoutWindow(ParseBatchArguments({"--help"}), out, err), 0);
    EXPECT_EQ(out.str(), BatchUsage().toStdString());
    EXPECT_TRUE(err.str().empty());
    for (const char* option : {"--print-pdf", "--print", "--dpi", "--filter", "--paper", "--landscape", "--copies",
                               "--help", "--version"})
        EXPECT_NE(out.str().find(option), std::string::npos) << option;

    out.str("");
    EXPECT_EQ(AnswerWithoutWindow(ParseBatchArguments({"--version"}), out, err), 0);
    EXPECT_EQ(out.str(), "Tessaria " + ProgramVersion().toStdString() + "\n");

    out.str("");
    EXPECT_EQ(AnswerWithoutWindow(ParseBatchArguments({"--anything"}), out, err), 2);
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(err.str(), "tessaria: unknown option --anything\n" + BatchUsage().toStdString());

    for (const QStringList& args : {QStringList(), QStringList({"l.tsd"}), QStringList({"--print", "l.tsd"})})
        EXPECT_FALSE(AnswerWithoutWindow(ParseBatchArguments(args), out, err).has_value()) << args.join(' ').toStdString();
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

TEST_F(Batch, TheJobsOptionsReachThePrint)
{
    CreateWindow();
    Window->tbNewPageClick();
    ASSERT_EQ(Window->LayoutPPI, 44);
    const QString picture = WritePicture("photo.bmp", 1000, 800);
    const QString document = WriteDocument("one.tsd", {{PictureRecord(picture, 22, 44, 110, 88)}});
    const QString pdf = QString::fromStdString(Config.File("out.pdf"));

    // 110 x 88 page pixels at 44 per inch: 500 x 400 at 200 DPI, 600 x 480 at 240.
    EXPECT_EQ(Run({"--print-pdf", pdf, "--dpi", "240", "--filter", "Mitchell", document}), 0) << Err.str();
    EXPECT_EQ(PdfImageSizes(pdf), std::vector<QSize>({QSize(600, 480)}));
    EXPECT_EQ(Window->ChosenPrintDpi(), 200) << "the options stay as they were";

    // A5 turned: 8.27 x 5.83 in., whatever the printer's sheet.
    EXPECT_EQ(Run({"--print-pdf", pdf, "--paper", "A5", "--landscape", document}), 0) << Err.str();
    const QSizeF sheet = PdfPageSize(pdf);
    EXPECT_NEAR(sheet.width(), 595.3, 1);
    EXPECT_NEAR(sheet.height(), 419.5, 1);

    auto* standIn = dynamic_cast<TStandInPrinters*>(&Printers());
    ASSERT_NE(standIn, nullptr);
    EXPECT_EQ(Run({"--print", "--copies", "3", document}), 0) << Err.str();
    EXPECT_EQ(standIn->JobFiles().size(), 3);
}

TEST_F(Batch, AnUnreadablePictureIsNamedWithTheReadersMessageAndAMiscountIsNoDocument)
{
    CreateWindow();
    Window->tbNewPageClick();
    const QString bad = QString::fromStdString(Config.File("bad.jpg"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(200, 'x'));
    f.close();
    const QString good = WritePicture("good.bmp", 100, 100);
    const QString document =
        WriteDocument("bad.tsd", {{PictureRecord(good, 0, 0, 50, 50), PictureRecord(bad, 60, 0, 50, 50)}});
    const QString pdf = QString::fromStdString(Config.File("out.pdf"));
    EXPECT_EQ(Run({"--print-pdf", pdf, document}), 1);
    EXPECT_NE(Err.str().find("tessaria: error: " + bad.toStdString() + ": JPEG error #"), std::string::npos)
        << Err.str();

    // The first page says one box more than it holds: the next page's record
    // would be read as its box.
    const QString two = WriteDocument("two.tsd", {{PictureRecord(good, 0, 0, 50, 50)}, {PictureRecord(good, 0, 0, 50, 50)}});
    QFile doc(two);
    ASSERT_TRUE(doc.open(QIODevice::ReadWrite));
    doc.seek(1036);
    doc.write(QByteArray("\x02\0\0\0", 4));
    doc.close();
    EXPECT_EQ(Run({"--print-pdf", pdf, two}), 2);
    EXPECT_NE(Err.str().find("I do not recognize the file as being valid"), std::string::npos) << Err.str();
}

// The program itself, started as a user would, with whatever printer the
// machine has (none, or the test queue): the sheet is US Letter either way
// (the queue's, or the US locale's), and every position follows from the
// engine's default margins.
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
    env.insert("LC_ALL", "en_US.UTF-8");
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

// The program started as a user would, without a display, under the US
// locale (Letter, whether or not the machine has the test queue).
class Program : public Batch {
protected:
    void SetUp() override
    {
        Batch::SetUp();
        Path = QString::fromStdString((BinaryDir() / "tessaria").string());
        if (!QFile::exists(Path))
            GTEST_SKIP() << "no tessaria program at " << Path.toStdString();
    }
    // Runs it; false when it did not end within two minutes.
    bool Start(const QStringList& args)
    {
        const TProgramRun run = RunWithoutDisplay(Path, args, Config.Path());
        ExitCode = run.ExitCode;
        Out = run.Out;
        Error = run.Error;
        return run.Ended;
    }
    QString Path;
    int ExitCode = -1;
    QString Out, Error;
};

TEST_F(Program, AnswersHelpVersionAndUnknownOptionsWithoutAWindow)
{
    ASSERT_TRUE(Start({"--help"}));
    EXPECT_EQ(ExitCode, 0);
    EXPECT_EQ(Out, BatchUsage());
    ASSERT_TRUE(Start({"--version"}));
    EXPECT_EQ(ExitCode, 0);
    EXPECT_EQ(Out, "Tessaria " + ProgramVersion() + "\n");
    ASSERT_TRUE(Start({"--anything"}));
    EXPECT_EQ(ExitCode, 2);
    EXPECT_TRUE(Out.isEmpty());
    EXPECT_TRUE(Error.contains("tessaria: unknown option --anything\nusage: tessaria")) << Error.toStdString();
}

// Stored page setup defaults that are no number used to raise the error box
// before the console's dialogs were there: the run waited for a click forever.
TEST_F(Program, StoredMarginsThatAreNoNumberAreReportedAndThePrintGoesOn)
{
    CreateWindow();
    Window->tbNewPageClick();
    const QString values = "Software\\Tessaria\\PageSetupForm\\Values";
    WriteSetting(values, "LeftEdit", "abc");
    WriteSetting(values, "TopEdit", "0,5");
    const QString photo = WritePicture("photo.bmp", 300, 200, Qt::black, Qt::black);
    const QString document = WriteDocument("layout.tsd", {{PictureRecord(photo, 0, 0, 60, 40)}});
    const QString pdf = QString::fromStdString(Config.File("margins.pdf"));
    ASSERT_TRUE(Start({"--print-pdf", pdf, document})) << "it waited";
    EXPECT_EQ(ExitCode, 0) << Error.toStdString();
    EXPECT_TRUE(Error.contains("tessaria: warning: ")) << Error.toStdString();
    EXPECT_TRUE(Error.contains("LeftEdit \"abc\"")) << Error.toStdString();
    EXPECT_TRUE(Error.contains("TopEdit \"0,5\"")) << Error.toStdString();
    // Both margins at their default of half an inch: the picture at (50, 100) at 100 dpi.
    const QRect ink = DarkBox(RenderPdfPage(pdf, 1, 100), QRect(0, 0, 850, 600));
    EXPECT_NEAR(ink.left(), 50, 2);
    EXPECT_NEAR(ink.top(), 100, 2);
}

TEST_F(Program, ThePdfHoldsThePicturesAsResampledAndTheOptionsChooseHow)
{
    CreateWindow();
    Window->tbNewPageClick();
    const QString stripes = WriteStripes("stripes.bmp", 500, 400);
    const QString document = WriteDocument("stripes.tsd", {{PictureRecord(stripes, 22, 44, 110, 88)}});
    const QString pdf = QString::fromStdString(Config.File("stripes.pdf"));
    ASSERT_TRUE(Start({"--print-pdf", pdf, document}));
    ASSERT_EQ(ExitCode, 0) << Error.toStdString();
    EXPECT_EQ(PdfImageEncodings(pdf), QStringList({"image"}));
    const std::vector<QImage> images = PdfImages(pdf);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(LargestDifference(images[0], QImage(stripes).convertToFormat(QImage::Format_RGB32)), 0);

    ASSERT_TRUE(Start({"--print-pdf", pdf, "--dpi", "240", "--filter", "Mitchell", document}));
    ASSERT_EQ(ExitCode, 0) << Error.toStdString();
    EXPECT_EQ(PdfImageSizes(pdf), std::vector<QSize>({QSize(600, 480)}));
    EXPECT_EQ(PdfImageEncodings(pdf), QStringList({"image"}));
}

} // namespace
