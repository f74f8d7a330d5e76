// Printing the layout: where boxes land on the sheet, the resolution the
// pictures reach the printer with, turns, text, the footer information, the
// gauge, failures, and PDF output when no printer is installed.
#include "printfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <sstream>

#include "app/batch.h"
#include "controls/statusbar.h"
#include "platform/settingsstore.h"
#include "layout/ulorvaneoptions.h"
#include "platform/application.h"
#include "print/prevform.h"
#include "support/localeguard.h"
#include "support/pdfpages.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class Printing : public PrintTest {};

TEST_F(Printing, TheLetterExampleMapsTheBoxAndResamplesItToTheChosenResolution)
{
    UsePrinter({600, 600, 5100, 6600, 0, 0});
    TfrmTessaria& w = ShowWindow();
    // The engine's default margins: 0.5 in. all round, header 0.5, footer 0.4.
    EXPECT_EQ(w.CurrentPage->size(), QSize(330, 400));
    EXPECT_EQ(w.LayoutPPI, 44);
    EXPECT_TRUE(w.Options()->HPC->text().contains("4500"));
    EXPECT_TRUE(w.Options()->VPC->text().contains("5460"));

    const QString picture = WritePicture("photo.bmp", 1000, 800);
    Open(WriteDocument("letter.tsd", {{PictureRecord(picture, 22, 44, 110, 88)}}));
    RecordByPreview();
    ASSERT_EQ(w.PP1->PageCount(), 1);
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Modal), QStringList({"PreviewForm"}));

    // W / 330 = 4500 / 330 and H / 400 = 5460 / 400; ox = 300, oy = 600.
    const QRect expected(300 + 300, 600 + 601, 1500, 1201);
    EXPECT_EQ(ExpectedSheetRect(22, 44, 110, 88), expected);
    const QRect ink = DarkBox(RecordedPage(0, 0.1), QRect(0, 0, 510, 400)); // above the footer
    EXPECT_NEAR(ink.left(), 60, 1);
    EXPECT_NEAR(ink.top(), 120, 1);
    EXPECT_NEAR(ink.width(), 150, 1);
    EXPECT_NEAR(ink.height(), 120, 1);

    // 110 x 88 page pixels at 44 per inch and 200 DPI: 500 x 400 pixels reach the PDF.
    const QString pdf = QString::fromStdString(Config.File("letter.pdf"));
    w.PrintRecordedToPdf(pdf);
    EXPECT_EQ(PdfImageSizes(pdf), std::vector<QSize>({QSize(500, 400)}));
    const QSizeF sheet = PdfPageSize(pdf);
    EXPECT_NEAR(sheet.width(), 612, 0.5);
    EXPECT_NEAR(sheet.height(), 792, 0.5);
    const QRect onPaper = DarkBox(RenderPdfPage(pdf, 1, 100), QRect(0, 0, 850, 600));
    EXPECT_NEAR(onPaper.left(), 100, 1);
    EXPECT_NEAR(onPaper.top(), 200, 1);
    EXPECT_NEAR(onPaper.width(), 250, 2);
}

TEST_F(Printing, ATypedResolutionIsUsedAsItStandsAndANonNumberStopsBeforeRecording)
{
    TfrmTessaria& w = ShowWindow();
    const QString picture = WritePicture("photo.bmp", 300, 200);
    Open(WriteDocument("one.tsd", {{PictureRecord(picture, 0, 0, 110, 88)}}));

    w.Options()->cbDPI->setEditText("100");
    RecordByPreview();
    const QString pdf = QString::fromStdString(Config.File("typed.pdf"));
    w.PrintRecordedToPdf(pdf);
    // 110 / LayoutPPI x 100 by 88 / LayoutPPI x 100.
    const int ppi = w.LayoutPPI;
    EXPECT_EQ(PdfImageSizes(pdf),
              std::vector<QSize>({QSize(int(Round(110.0 / ppi * 100)), int(Round(88.0 / ppi * 100)))}));

    w.PP1->ClearPages();
    Dialogs->Clear();
    w.Options()->cbDPI->setEditText("abc");
    w.Preview1->trigger();
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error), QStringList({"'abc' is not a valid integer value"}));
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Modal).isEmpty());
    EXPECT_EQ(w.PP1->PageCount(), 0);
}

TEST_F(Printing, TwoPagesOfThreeBoxesDriveTheGaugeAndNameEachFile)
{
    TfrmTessaria& w = ShowWindow();
    const QString a = WritePicture("a.bmp", 120, 90);
    const QString b = WritePicture("b.jpg", 120, 90);
    const auto text = TextRecord({"words"}, 200, 300, 100, 40, TAlignment::taLeftJustify);
    Open(WriteDocument("two.tsd", {{PictureRecord(a, 0, 0, 60, 45), text, PictureRecord(b, 100, 0, 60, 45)},
                                   {PictureRecord(b, 0, 0, 60, 45), PictureRecord(a, 100, 100, 60, 45), text}}));
    std::vector<int> gauge;
    QStringList panel;
    SetProcessMessagesHook([&] {
        if (w.PP1->Recording()) {
            gauge.push_back(w.sb1->GaugePosition());
            panel << w.sb1->PanelText(1);
        }
    });
    RecordByPreview();
    SetProcessMessagesHook(nullptr);
    EXPECT_EQ(gauge, std::vector<int>({17, 33, 50, 67, 83, 100}));
    EXPECT_EQ(panel, QStringList({"Scaling a.bmp...", "Scaling ...", "Scaling b.jpg...", "Scaling b.jpg...",
                                  "Scaling a.bmp...", "Scaling ..."}));
    EXPECT_EQ(w.PP1->PageCount(), 2);
    // Afterwards the status bar is clear and the cursor normal again.
    EXPECT_EQ(w.sb1->PanelText(1), "");
    EXPECT_EQ(w.sb1->GaugePosition(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Each page carries its page number at the bottom.
    const QString pdf = QString::fromStdString(Config.File("two.pdf"));
    w.PrintRecordedToPdf(pdf);
    EXPECT_EQ(PdfPageCount(pdf), 2);
    EXPECT_TRUE(PdfText(pdf, 2).contains("2"));
}

TEST_F(Printing, ATurnedPictureIsTurnedOnPaperAndTextSitsAsItsBoxSays)
{
    TfrmTessaria& w = ShowWindow();
    // 400 x 200, red left and blue right; turned a quarter clockwise red is on top.
    const QString picture = WritePicture("wide.bmp", 400, 200);
    const auto right = TextRecord({"Right"}, 150, 250, 150, 60, TAlignment::taRightJustify);
    Open(WriteDocument("turned.tsd", {{PictureRecord(picture, 20, 20, 50, 100, 90), right}}));
    RecordByPreview();
    ASSERT_EQ(w.PP1->PageCount(), 1);
    const double scale = 0.25;
    const QImage page = RecordedPage(0, scale);

    const QRect box = Scaled(ExpectedSheetRect(20, 20, 50, 100), scale);
    const QPoint upper(box.center().x(), box.top() + box.height() / 4);
    const QPoint lower(box.center().x(), box.bottom() - box.height() / 4);
    EXPECT_TRUE(Reddish(page.pixel(upper))) << std::hex << page.pixel(upper);
    EXPECT_TRUE(Bluish(page.pixel(lower))) << std::hex << page.pixel(lower);
    // Resampled to the turned box's sides at 200 DPI both ways.
    const QString pdf = QString::fromStdString(Config.File("turned.pdf"));
    w.PrintRecordedToPdf(pdf);
    const int ppi = w.LayoutPPI;
    EXPECT_EQ(PdfImageSizes(pdf),
              std::vector<QSize>({QSize(int(Round(50.0 / ppi * 200)), int(Round(100.0 / ppi * 200)))}));

    // The text ends at the rectangle's right edge and starts a 32nd of an inch down.
    const QRect target = ExpectedSheetRect(150, 250, 150, 60);
    const QRect ink = DarkBox(RecordedPage(0, 1.0), target.adjusted(-5, -5, 5, 5));
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.right(), target.right(), 4);
    EXPECT_GT(ink.left(), target.center().x());
    EXPECT_GE(ink.top(), target.top() + int(Round(w.PP1->PixelsPerInchY() * 0.03125)));
}

TEST_F(Printing, PrintInfoInFooterNamesPrinterResolutionAndFilter)
{
    TfrmTessaria& w = ShowWindow();
    w.Options()->cbPrintInfo->click();
    ASSERT_TRUE(w.Options()->cbPrintInfo->isChecked());
    EXPECT_EQ(w.PP1->TextOptions()->PrintPageNumber(), TPrintPageNumber::pnNone);
    const QString picture = WritePicture("photo.bmp", 100, 100);
    Open(WriteDocument("info.tsd", {{PictureRecord(picture, 10, 10, 50, 50)}}));
    w.Print1->trigger();
    const TTextOptions& o = *w.PP1->TextOptions();
    EXPECT_EQ(o.Footer(), "Test Printer at 200 DPI     Interpolation = Lanczos3");
    EXPECT_EQ(o.FooterAlign(), TAlignment::taLeftJustify);
    EXPECT_EQ(o.FooterFont().Font.family(), "Arial");
    EXPECT_EQ(o.FooterFont().Font.pointSize(), 6);

    // Print went to the printer without a dialog, footer at the left margin.
    auto* standIn = dynamic_cast<TStandInPrinters*>(&Printers());
    ASSERT_NE(standIn, nullptr);
    ASSERT_EQ(standIn->JobFiles().size(), 1);
    const QString job = standIn->JobFiles()[0];
    EXPECT_TRUE(PdfText(job).contains(QRegularExpression("Test Printer at 200 DPI\\s+Interpolation = Lanczos3")));
    const QImage page = RenderPdfPage(job, 1, 100);
    const QRect footer = DarkBox(page, QRect(0, page.height() - 60, page.width(), 60));
    ASSERT_FALSE(footer.isNull());
    EXPECT_NEAR(footer.left(), 50, 3);
    EXPECT_LT(footer.height(), 10); // 6-point text
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty());
}

TEST_F(Printing, AMissingPictureStopsTheRecordingWithTheErrorBox)
{
    TfrmTessaria& w = ShowWindow();
    const QString picture = WritePicture("photo.bmp", 100, 100);
    Open(WriteDocument("gone.tsd", {{PictureRecord(picture, 0, 0, 50, 50), PictureRecord(picture, 60, 0, 50, 50)}}));
    QFile::remove(picture);
    Dialogs->Clear();
    w.Preview1->trigger();
    ASSERT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Error).size(), 1);
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error)[0].contains("photo.bmp"));
    // The check named the missing picture first; no preview followed the error.
    EXPECT_EQ(Dialogs->Texts(TScriptedDialogs::TKind::Modal), QStringList{"frmPrintCheck"});
    EXPECT_EQ(w.sb1->PanelText(1), "");
    EXPECT_EQ(w.sb1->GaugePosition(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Printing, WithoutAPrinterPrintAsksForAPdfFile)
{
    LocaleGuard locale("en_US");
    SetPrinters(std::make_unique<TStandInPrinters>("", TDeviceValues{}, QString::fromStdString(Config.Path())));
    TfrmTessaria& w = ShowWindow();
    const QString picture = WritePicture("photo.bmp", 100, 100);
    Open(WriteDocument("noprinter.tsd", {{PictureRecord(picture, 0, 0, 100, 100)}}));

    Dialogs->FileNames = {""}; // cancelled: nothing is recorded
    w.Print1->trigger();
    EXPECT_EQ(w.PP1->PageCount(), 0);

    const QString pdf = QString::fromStdString(Config.File("out.pdf"));
    Dialogs->FileNames = {pdf};
    w.Print1->trigger();
    ASSERT_FALSE(Dialogs->FileSpecs.empty());
    EXPECT_EQ(Dialogs->FileSpecs.back().DefaultExt, "pdf");
    EXPECT_TRUE(Dialogs->FileSpecs.back().OverwritePrompt);
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty());
    ASSERT_EQ(PdfPageCount(pdf), 1);
    // The engine's sheet (Letter in the US) and margins.
    const QSizeF sheet = PdfPageSize(pdf);
    EXPECT_NEAR(sheet.width(), 612, 1);
    EXPECT_NEAR(sheet.height(), 792, 1);
    const QRect ink = DarkBox(RenderPdfPage(pdf, 1, 100), QRect(0, 0, 850, 600));
    EXPECT_NEAR(ink.left(), 50, 2);
    EXPECT_NEAR(ink.top(), 100, 2);
}

TEST_F(Printing, ThePrintButtonRunsThePrinterSetUp)
{
    TfrmTessaria& w = ShowWindow();
    Dialogs->PrinterAnswers = {false, true};
    w.tbPrint->trigger();
    EXPECT_EQ(Dialogs->LastText(), "cancelled");
    Dialogs->Clear();
    w.tbPrint->trigger();
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Message).isEmpty());
}

} // namespace

namespace {

class PrintingSheets : public PrintTest {
protected:
    // A window on no printer under a locale, as the program starts.
    TfrmTessaria& WindowWithoutAPrinter()
    {
        Window.reset();
        DestroyStartupForms();
        SetPrinters(std::make_unique<TStandInPrinters>("", TDeviceValues{}, QString::fromStdString(Config.Path())));
        return ShowWindow();
    }
    QString Pdf(const std::string& name) const { return QString::fromStdString(Config.File(name)); }
};

TEST_F(Printing, PicturesReachThePdfAndThePrinterPixelForPixel)
{
    UsePrinter({600, 600, 5100, 6600, 0, 0});
    TfrmTessaria& w = ShowWindow();
    ASSERT_EQ(w.LayoutPPI, 44);
    // 110 x 88 page pixels at 44 per inch and 200 DPI: 500 x 400, one to one.
    const QString stripes = WriteStripes("stripes.bmp", 500, 400);
    Open(WriteDocument("stripes.tsd", {{PictureRecord(stripes, 22, 44, 110, 88)}}));
    w.Print1->trigger();
    ASSERT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty()) << Dialogs->AllTexts().join('\n').toStdString();
    auto* standIn = dynamic_cast<TStandInPrinters*>(&Printers());
    ASSERT_NE(standIn, nullptr);
    ASSERT_EQ(standIn->JobFiles().size(), 1);
    const QString pdf = QString::fromStdString(Config.File("stripes.pdf"));
    w.PrintRecordedToPdf(pdf);

    const QImage source = QImage(stripes).convertToFormat(QImage::Format_RGB32);
    for (const QString& file : {standIn->JobFiles()[0], pdf}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(PdfImageEncodings(file), QStringList({"image"})) << "Flate, not jpeg";
        const std::vector<QImage> images = PdfImages(file);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(LargestDifference(images[0], source), 0);
    }
}

// Print without a printer, the print dialog's file output (which Qt would
// give a paper of its own) and --print-pdf: one sheet, the locale's, and the
// boxes in the same places.
TEST_F(PrintingSheets, EveryRouteWithoutAPrinterGivesTheLocalesSheet)
{
    const struct {
        const char* locale;
        QSizeF points;
    } cases[] = {{"de_DE", {595.3, 841.9}}, {"en_US", {612, 792}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        LocaleGuard locale(c.locale);
        TfrmTessaria& w = WindowWithoutAPrinter();
        const QSize page = w.CurrentPage->size();
        const QString photo = WritePicture("black.bmp", 300, 200, Qt::black, Qt::black);
        const QRect corners[] = {{0, 0, 80, 60}, {page.width() - 80, page.height() - 60, 80, 60}};
        const QString document = WriteDocument(
            "routes.tsd", {{PictureRecord(photo, corners[0].x(), corners[0].y(), 80, 60),
                            PictureRecord(photo, corners[1].x(), corners[1].y(), 80, 60)}});
        Open(document);

        const QString viaPrint = Pdf(std::string("print-") + c.locale + ".pdf");
        Dialogs->FileNames = {viaPrint};
        w.Print1->trigger();
        // The preview's Print... with the dialog's file output on an A3 sheet.
        const QString viaDialog = Pdf(std::string("dialog-") + c.locale + ".pdf");
        Dialogs->OnPrint = [&](QPrinter& printer, TPrintDialogSpec&) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(viaDialog);
            printer.setPageSize(QPageSize(QPageSize::A3));
            return true;
        };
        ASSERT_TRUE(w.PP1->PrintWithDialog());
        const QString viaBatch = Pdf(std::string("batch-") + c.locale + ".pdf");
        std::ostringstream err;
        ASSERT_EQ(RunBatch(ParseBatchArguments({"--print-pdf", viaBatch, document}), w, err), 0) << err.str();
        ASSERT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty())
            << Dialogs->AllTexts().join('\n').toStdString();

        // The preview shows the same sheet.
        EXPECT_NEAR(w.PP1->PhysicalWidth() * 72.0 / w.PP1->PixelsPerInchX(), c.points.width(), 1);
        EXPECT_NEAR(w.PP1->PhysicalHeight() * 72.0 / w.PP1->PixelsPerInchY(), c.points.height(), 1);
        const double toRender = 100.0 / w.PP1->PixelsPerInchX();
        for (const QString& pdf : {viaPrint, viaDialog, viaBatch}) {
            SCOPED_TRACE(pdf.toStdString());
            const QSizeF sheet = PdfPageSize(pdf);
            EXPECT_NEAR(sheet.width(), c.points.width(), 1);
            EXPECT_NEAR(sheet.height(), c.points.height(), 1);
            const QImage rendered = RenderPdfPage(pdf, 1, 100);
            for (const QRect& box : corners) {
                const QRect expected = Scaled(ExpectedSheetRect(box.x(), box.y(), box.width(), box.height()), toRender);
                const QRect ink = DarkBox(rendered, expected.adjusted(-10, -10, 10, 10));
                EXPECT_NEAR(ink.left(), expected.left(), 2);
                EXPECT_NEAR(ink.top(), expected.top(), 2);
                EXPECT_NEAR(ink.right(), expected.right(), 2);
                EXPECT_NEAR(ink.bottom(), expected.bottom(), 2);
            }
        }
    }
}

TEST_F(PrintingSheets, LandscapeWithoutAPrinterTurnsThePageAndThePdf)
{
    LocaleGuard locale("en_US");
    TfrmTessaria& w = WindowWithoutAPrinter();
    w.OrientationChosen(1); // as the options' orientation does
    const QSize page = w.CurrentPage->size();
    ASSERT_GT(page.width(), page.height());
    const QString photo = WritePicture("black.bmp", 300, 200, Qt::black, Qt::black);
    // In the top right corner of the page as the editor shows it.
    const QRect box(page.width() - 100, 0, 100, 50);
    Open(WriteDocument("landscape.tsd", {{PictureRecord(photo, box.x(), box.y(), box.width(), box.height())}}));
    const QString pdf = Pdf("landscape.pdf");
    Dialogs->FileNames = {pdf};
    w.Print1->trigger();
    ASSERT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty());
    const QSizeF sheet = PdfPageSize(pdf);
    EXPECT_NEAR(sheet.width(), 792, 1);
    EXPECT_NEAR(sheet.height(), 612, 1);
    // Margins of half an inch, the header band below the top one: the box
    // ends at the layout area's right edge, 10.5 in. from the left.
    const QRect ink = DarkBox(RenderPdfPage(pdf, 1, 100), QRect(0, 0, 1100, 500)); // above the page number
    const QRect expected = Scaled(ExpectedSheetRect(box.x(), box.y(), box.width(), box.height()),
                                  100.0 / w.PP1->PixelsPerInchX());
    EXPECT_NEAR(ink.right() + 1, 1050, 2);
    EXPECT_NEAR(ink.top(), 100, 2);
    EXPECT_NEAR(ink.left(), expected.left(), 2);
    EXPECT_NEAR(ink.bottom(), expected.bottom(), 2);
}

TEST_F(Printing, ConfirmingThePrintButtonsSetUpPrintsTheLayout)
{
    TfrmTessaria& w = ShowWindow();
    const QString picture = WritePicture("photo.bmp", 100, 100);
    Open(WriteDocument("two.tsd", {{PictureRecord(picture, 0, 0, 50, 50)}, {PictureRecord(picture, 10, 10, 50, 50)}}));
    auto* standIn = dynamic_cast<TStandInPrinters*>(&Printers());
    ASSERT_NE(standIn, nullptr);

    Dialogs->PrinterAnswers = {false};
    w.tbPrint->trigger();
    EXPECT_EQ(Dialogs->LastText(), "cancelled");
    EXPECT_TRUE(standIn->JobFiles().isEmpty());
    EXPECT_EQ(w.PP1->PageCount(), 0);

    Dialogs->Clear();
    Dialogs->PrinterAnswers = {true};
    w.tbPrint->trigger();
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Message).isEmpty());
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty());
    ASSERT_EQ(standIn->JobFiles().size(), 1);
    EXPECT_EQ(PdfPageCount(standIn->JobFiles()[0]), 2);
    EXPECT_EQ(standIn->JobTitles(), QStringList({"Tessaria Page"}));
}

// The program's start with stored page setup values that are no number: one
// error box naming them, those fields at their defaults, every other stored
// value in force.
TEST_F(Printing, StoredMarginsThatAreNoNumberCostOnlyThemselves)
{
    const QString values = "Software\\Tessaria\\PageSetupForm\\Values";
    WriteSetting(values, "LeftEdit", "abc");
    WriteSetting(values, "TopEdit", "0,5");
    WriteSetting(values, "RightEdit", "1");
    WriteSetting(values, "FtrMarginEdit", "0.25");
    WriteSetting(values, "FooterEdit", "my footer");
    TfrmTessaria& w = ShowWindow();
    const QStringList errors = Dialogs->Texts(TScriptedDialogs::TKind::Error);
    ASSERT_EQ(errors.size(), 1) << Dialogs->AllTexts().join('\n').toStdString();
    EXPECT_TRUE(errors[0].contains("LeftEdit") && errors[0].contains("\"abc\"")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains("TopEdit") && errors[0].contains("\"0,5\"")) << errors[0].toStdString();
    const TTextOptions& o = *w.PP1->TextOptions();
    EXPECT_DOUBLE_EQ(o.MarginLeft(), 0.5);
    EXPECT_DOUBLE_EQ(o.MarginTop(), 0.5);
    EXPECT_DOUBLE_EQ(o.MarginRight(), 1.0);
    EXPECT_DOUBLE_EQ(o.FooterMargin(), 0.25);
    EXPECT_EQ(o.Footer(), "my footer");
}

} // namespace
