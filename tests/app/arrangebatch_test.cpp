// Contact sheets and the check from the command line: the arguments, runs in
// this process with their exit codes and messages, and the tessaria program
// itself making a PDF whose pictures are read back with pdfimages and
// pdftoppm.
#include "printfixture.h"
#include "programrun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <sstream>

#include "app/batch.h"
#include "app/batchjobs.h"
#include "document/documentreader.h"
#include "support/pdfpages.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

TEST(ArrangeArguments, TheGridItsOptionsAndWhatIsWrongWithThem)
{
    using K = TBatchJob::TKind;
    const struct {
        QStringList Args;
        K Kind;
        int Columns; // 0: not arranging
        TAutoCaption Captions;
        double Gap;
        QString Error; // a part of the error text; empty for none
    } cases[] = {
        {{"--arrange", "4x5", "--print-pdf", "o.pdf", "a.jpg", "b.jpg"}, K::PrintPdf, 4, TAutoCaption::None, 4, ""},
        {{"--arrange=2x3", "--captions", "name", "--gap", "2.5", "--save", "o.tsd", "pics"}, K::Save, 2,
         TAutoCaption::Filename, 2.5, ""},
        {{"--arrange", "1x1", "--captions=date", "--print", "a.jpg"}, K::Print, 1, TAutoCaption::FilenameSizeAndDate, 4, ""},
        {{"--arrange", "3x3", "--captions", "SIZE", "--landscape", "--print", "a.jpg"}, K::Print, 3,
         TAutoCaption::FilenameSizeAndDate, 4, ""},
        {{"--arrange", "3x3", "--paper", "A5", "--landscape", "--save", "o.tsd", "a.jpg"}, K::Save, 3, TAutoCaption::None, 4, ""},
        {{"--arrange", "2x2", "--gap", "0", "--print-pdf", "o.pdf", "a.jpg"}, K::PrintPdf, 2, TAutoCaption::None, 0, ""},
        {{"--check", "l.tsd"}, K::Check, 0, TAutoCaption::None, 4, ""},
        {{"--check", "--dpi", "300", "--paper", "A4", "l.tsd"}, K::Check, 0, TAutoCaption::None, 4, ""},
        {{"--arrange", "11x2", "--print", "a.jpg"}, K::None, 0, TAutoCaption::None, 4, "--arrange wants columns x rows"},
        {{"--arrange", "4x5", "a.jpg"}, K::None, 0, TAutoCaption::None, 4, "--arrange wants --save OUT.tsd"},
        {{"--arrange", "4x5", "--print-pdf", "o.pdf"}, K::PrintPdf, 0, TAutoCaption::None, 4, "at least one picture"},
        {{"--arrange", "4x5", "--check", "l.tsd"}, K::Check, 0, TAutoCaption::None, 4, "--arrange wants --save"},
        {{"--save", "o.tsd", "a.jpg"}, K::Save, 0, TAutoCaption::None, 4, "--save needs --arrange"},
        {{"--captions", "name", "--print", "l.tsd"}, K::Print, 0, TAutoCaption::None, 4, "--captions needs --arrange"},
        {{"--gap", "3", "--print-pdf", "o.pdf", "l.tsd"}, K::PrintPdf, 0, TAutoCaption::None, 4, "--gap needs --arrange"},
        {{"--arrange", "2x2", "--gap", "51", "--print", "a.jpg"}, K::None, 0, TAutoCaption::None, 4, "--gap wants millimetres"},
        {{"--arrange", "2x2", "--gap", "-1", "--print", "a.jpg"}, K::None, 0, TAutoCaption::None, 4, "--gap wants"},
        {{"--arrange", "2x2", "--captions", "time", "--print", "a.jpg"}, K::None, 0, TAutoCaption::None, 4,
         "--captions wants none, name, size or date"},
        {{"--check", "--filter", "Box", "l.tsd"}, K::Check, 0, TAutoCaption::None, 4, "--filter does not apply to --check"},
        {{"--check", "a.tsd", "b.tsd"}, K::Check, 0, TAutoCaption::None, 4, "--check wants one layout document"},
        {{"--check", "--print", "l.tsd"}, K::Check, 0, TAutoCaption::None, 4, "cannot be combined"},
        {{"--arrange", "2x2", "--copies", "2", "--save", "o.tsd", "a.jpg"}, K::Save, 0, TAutoCaption::None, 4,
         "--copies does not apply to --save"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args.join(' ').toStdString());
        const TBatchJob job = ParseBatchArguments(c.Args);
        EXPECT_EQ(job.Kind, c.Kind);
        if (!c.Error.isEmpty()) {
            EXPECT_TRUE(job.Error.contains(c.Error)) << job.Error.toStdString();
            EXPECT_TRUE(job.Pictures.isEmpty());
            continue;
        }
        ASSERT_EQ(job.Error, "");
        EXPECT_EQ(job.Arrange.has_value(), c.Columns > 0);
        if (c.Columns > 0) {
            EXPECT_EQ(job.Arrange->Columns, c.Columns);
            EXPECT_EQ(job.Pictures, job.Files);
            EXPECT_FALSE(job.Pictures.isEmpty());
        } else {
            EXPECT_EQ(job.Document, job.Files.value(0));
        }
        EXPECT_EQ(job.Captions, c.Captions);
        EXPECT_DOUBLE_EQ(job.GapMillimetres, c.Gap);
    }
    for (const char* option : {"--arrange", "--save", "--captions", "--gap", "--check"})
        EXPECT_TRUE(BatchUsage().contains(option)) << option;
}

class ArrangeBatch : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        CreateWindow();
    }
    int Run(const QStringList& args)
    {
        Err.str("");
        Out.str("");
        return RunBatch(ParseBatchArguments(args), *Window, Err, &Out);
    }
    QString File(const std::string& name) const { return QString::fromStdString(Config.File(name)); }
    std::ostringstream Err, Out;
};

TEST_F(ArrangeBatch, AFolderBecomesASavedContactSheetAndWhatCannotBeReadIsNamed)
{
    std::filesystem::create_directories(Config.File("photos"));
    for (int i = 0; i < 5; ++i)
        WritePicture("photos/" + std::to_string(i) + ".bmp", 60 + 10 * i, 40);
    WriteFile(Config.File("photos/notes.txt"), std::string("not a picture"));
    const QString saved = File("sheet.tsd");
    EXPECT_EQ(Run({"--arrange", "2x2", "--captions", "name", "--save", saved, File("photos")}), 0) << Err.str();
    const TDocument document = ReadDocumentFile(saved.toStdString());
    ASSERT_EQ(document.Pages.size(), 2u);
    // Picture and caption in turn: four pairs, then one.
    ASSERT_EQ(document.Pages[0].Boxes.size(), 8u);
    ASSERT_EQ(document.Pages[1].Boxes.size(), 2u);
    const TDocumentPage& first = document.Pages[0];
    EXPECT_EQ(first.Boxes[0].FileName, File("photos/0.bmp").toStdString());
    EXPECT_EQ(first.Boxes[1].Lines, std::vector<std::string>({"0.bmp"}));
    EXPECT_EQ(first.Boxes[1].Tag, first.Boxes[0].Tag);
    EXPECT_NE(first.Boxes[0].Tag, 0);
    for (const TDocumentBox& box : first.Boxes) {
        EXPECT_GE(box.Left, 0);
        EXPECT_GE(box.Top, 0);
        EXPECT_LE(box.Left + box.Width, first.Width);
        EXPECT_LE(box.Top + box.Height, first.Height);
    }

    // A picture that cannot be read and a name that is nothing: both named,
    // the rest arranged, exit code 1.
    WriteFile(Config.File("broken.bmp"), std::string("BM broken"));
    EXPECT_EQ(Run({"--arrange", "1x1", "--save", saved, File("photos/1.bmp"), File("broken.bmp"), File("none.bmp")}), 1);
    EXPECT_NE(Err.str().find("tessaria: error: " + Config.File("broken.bmp") + ": "), std::string::npos) << Err.str();
    EXPECT_NE(Err.str().find("Cannot open file " + Config.File("none.bmp")), std::string::npos) << Err.str();
    EXPECT_EQ(ReadDocumentFile(saved.toStdString()).Pages.size(), 1u);

    // A gap that leaves no room on the sheet is a wrong argument.
    EXPECT_EQ(Run({"--arrange", "10x10", "--gap", "50", "--save", saved, File("photos")}), 2);
    EXPECT_NE(Err.str().find("no room"), std::string::npos) << Err.str();
}

TEST_F(ArrangeBatch, TheCheckListsEachKindOfFindingAndExitsThreeOrZeroWithNone)
{
    Window->tbNewPageClick();
    const QString big = WritePicture("big.bmp", 1600, 1200);
    const QString small = WritePicture("small.bmp", 80, 60);
    const QString broken = File("broken.bmp");
    WriteFile(broken.toStdString(), std::string("BM broken"));
    const QSize page = Window->CurrentPage->size();

    const struct {
        const char* Name;
        std::vector<TDocumentBox> Boxes;
        QSize Page; // empty: the window's page
        QString Line; // the start of the one finding; empty for none
    } cases[] = {
        {"none", {PictureRecord(big, 10, 10, 88, 66), TextRecord({"Hello"}, 10, 80, 88, 30, TAlignment::taLeftJustify, 10)},
         {}, ""},
        {"missing", {PictureRecord(File("gone.bmp"), 10, 10, 88, 66)}, {}, "Page 1, box 1: the picture file "},
        {"unreadable", {PictureRecord(broken, 10, 10, 88, 66)}, {}, "Page 1, box 1: the picture " + broken + " cannot be read: "},
        {"low resolution", {PictureRecord(small, 10, 10, 88, 66)}, {}, "Page 1, box 1: small.bmp prints at "},
        {"outside", {PictureRecord(big, -60, 10, 88, 66)}, {}, "Page 1, box 1: big.bmp lies partly outside the printable area"},
        {"text", {TextRecord({"Far too much text for this small a box, at twenty-four points"}, 10, 10, 40, 20,
                             TAlignment::taLeftJustify)},
         {}, "Page 1, box 1: the text \"Far too much text for this sm"},
        {"page shape", {PictureRecord(big, 10, 10, 88, 66)}, {400, 300}, "Page 1: the page's shape differs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TDocument d;
        TDocumentPage p;
        p.Width = c.Page.isEmpty() ? page.width() : c.Page.width();
        p.Height = c.Page.isEmpty() ? page.height() : c.Page.height();
        p.Boxes = c.Boxes;
        d.Pages.push_back(p);
        const std::string path = Config.File(std::string(c.Name) + ".tsd");
        SaveDocument(d, path);
        const int code = Run({"--check", QString::fromStdString(path)});
        const QStringList lines = QString::fromStdString(Out.str()).split('\n', Qt::SkipEmptyParts);
        if (c.Line.isEmpty()) {
            EXPECT_EQ(code, 0) << Out.str() << Err.str();
            EXPECT_TRUE(lines.isEmpty()) << Out.str();
            continue;
        }
        EXPECT_EQ(code, 3) << Err.str();
        ASSERT_EQ(lines.size(), 1) << Out.str();
        EXPECT_TRUE(lines[0].startsWith(c.Line)) << lines[0].toStdString();
    }

    // The resolution it checks against is the one given.
    const std::string low = Config.File("low resolution.tsd");
    EXPECT_EQ(Run({"--check", "--dpi", "20", QString::fromStdString(low)}), 0) << Out.str();
    EXPECT_EQ(Run({"--check", File("nothing.tsd")}), 1);
    WriteFile(Config.File("junk.tsd"), std::string("junk"));
    EXPECT_EQ(Run({"--check", File("junk.tsd")}), 2);
}

// The program started as a user would, without a display.
class ArrangeProgram : public ArrangeBatch {
protected:
    void SetUp() override
    {
        ArrangeBatch::SetUp();
        Path = QString::fromStdString((BinaryDir() / "tessaria").string());
        if (!QFile::exists(Path))
            GTEST_SKIP() << "no tessaria program at " << Path.toStdString();
        if (!HaveProgram("pdfimages") || !HaveProgram("pdftoppm"))
            GTEST_SKIP() << "no poppler-utils";
    }
    bool Start(const QStringList& args)
    {
        const TProgramRun run = RunWithoutDisplay(Path, args, Config.Path());
        ExitCode = run.ExitCode;
        Output = run.Out;
        Error = run.Error;
        return run.Ended;
    }
    QString Path;
    int ExitCode = -1;
    QString Output, Error;
};

// Twenty photos of four shapes and colours on a 4 x 5 sheet of A4 at 100
// DPI: every picture is in the PDF at its resampled size, and on the page
// every coloured pixel lies in one cell, each cell holding its photo's colour
// centred in it.
TEST_F(ArrangeProgram, AContactSheetPdfHasEveryPictureInsideItsCell)
{
    const QColor colours[] = {Qt::red, Qt::blue, QColor(0, 160, 0), Qt::black};
    const QSize shapes[] = {{400, 300}, {300, 400}, {300, 300}, {600, 200}};
    std::filesystem::create_directories(Config.File("photos"));
    QStringList files;
    for (int i = 0; i < 20; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "photos/%02d.jpg", i);
        files << WritePicture(name, shapes[i % 4].width(), shapes[i % 4].height(), colours[i % 4], colours[i % 4]);
    }
    const QString pdf = File("sheet.pdf");
    ASSERT_TRUE(Start({"--arrange", "4x5", "--paper", "A4", "--dpi", "100", "--print-pdf", pdf, File("photos")}));
    ASSERT_EQ(ExitCode, 0) << Error.toStdString();
    EXPECT_TRUE(Output.isEmpty());
    EXPECT_FALSE(Error.contains("\r")) << "no progress line without a terminal";
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const std::vector<QSize> images = PdfImageSizes(pdf);
    ASSERT_EQ(images.size(), 20u);

    // The grid on the sheet, worked out from A4 at 100 DPI and the default
    // margins (half an inch, and the 0.5 inch header and 0.4 inch footer bands).
    const double dpi = 100;
    const QRectF area(0.5 * dpi, 1.0 * dpi, 210 / 25.4 * dpi - dpi, 297 / 25.4 * dpi - 1.9 * dpi);
    const QImage sheet = RenderPdfPage(pdf, 1, int(dpi));
    ASSERT_FALSE(sheet.isNull());
    const double gap = 4 / 25.4 * dpi;
    const double cellW = (area.width() - 3 * gap) / 4, cellH = (area.height() - 4 * gap) / 5;
    // The layout is in whole page pixels (the page is 400 high): sizes and
    // centring hold to one of them, about 2.4 pixels here.
    const double pagePixel = area.height() / 400;
    auto cellOf = [&](int i) {
        const int column = i % 4, row = i / 4;
        return QRectF(area.left() + column * (cellW + gap), area.top() + row * (cellH + gap), cellW, cellH);
    };
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        // The resampled picture: its longer side fills its cell's at 100 DPI, within rounding.
        const QSize shape = shapes[i % 4];
        const double fit = std::min(cellW / shape.width(), cellH / shape.height());
        EXPECT_NEAR(images[size_t(i)].width(), shape.width() * fit, pagePixel + 1);
        EXPECT_NEAR(images[size_t(i)].height(), shape.height() * fit, pagePixel + 1);
        // On the page: the ink inside the cell (half a page pixel of slack
        // for the rounding of its edges) and centred in it.
        const QRectF cell = cellOf(i);
        const QRect ink = DarkBox(sheet, cell.toAlignedRect().adjusted(-3, -3, 3, 3));
        ASSERT_FALSE(ink.isNull());
        EXPECT_GE(ink.left(), cell.left() - 1.5);
        EXPECT_GE(ink.top(), cell.top() - 1.5);
        EXPECT_LE(ink.right(), cell.right() + 1.5);
        EXPECT_LE(ink.bottom(), cell.bottom() + 1.5);
        EXPECT_NEAR(QRectF(ink).center().x(), cell.center().x(), pagePixel + 1);
        EXPECT_NEAR(QRectF(ink).center().y(), cell.center().y(), pagePixel + 1);
        EXPECT_NEAR(ink.width(), shape.width() * fit, pagePixel + 1);
    }
    // The gaps between the cells hold nothing.
    for (int column = 1; column < 4; ++column) {
        const double x = area.left() + column * (cellW + gap) - gap / 2;
        EXPECT_TRUE(DarkBox(sheet, QRect(int(x), int(area.top()), 1, int(area.height()))).isNull()) << column;
    }

    // The saved sheet checks clean at the resolution it was printed at; at
    // 600 DPI these small photos are reported.
    const QString saved = File("sheet.tsd");
    ASSERT_TRUE(Start({"--arrange", "4x5", "--paper", "A4", "--save", saved, File("photos")}));
    ASSERT_EQ(ExitCode, 0) << Error.toStdString();
    ASSERT_TRUE(Start({"--check", "--paper", "A4", "--dpi", "100", saved}));
    EXPECT_EQ(ExitCode, 0) << Output.toStdString() << Error.toStdString();
    EXPECT_TRUE(Output.isEmpty());
    ASSERT_TRUE(Start({"--check", "--paper", "A4", "--dpi", "600", saved}));
    EXPECT_EQ(ExitCode, 3);
    EXPECT_EQ(Output.count('\n'), 20) << Output.toStdString();
}

// On a terminal the run says how far it is; `script` gives it one.
TEST_F(ArrangeProgram, AProgressLineOnATerminal)
{
    if (!HaveProgram("script"))
        GTEST_SKIP() << "no script";
    std::filesystem::create_directories(Config.File("three"));
    for (int i = 0; i < 3; ++i)
        WritePicture("three/" + std::to_string(i) + ".bmp", 30, 20);
    const QString pdf = File("three.pdf");
    const QString command = QStringLiteral("'%1' --arrange 2x2 --print-pdf '%2' '%3'").arg(Path, pdf, File("three"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(Config.Path()));
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start("script", {"-qec", command, "/dev/null"});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString terminal = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("\rtessaria: arranging 3 of 3")) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("\rtessaria: printing 3 of 3")) << terminal.toStdString();
    EXPECT_EQ(PdfPageCount(pdf), 1);
}

} // namespace
