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
#include <QRegularExpression>

#include "controls/statusbar.h"
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
    EXPECT_TRUE(Dialogs->Texts(TScriptedDialogs::TKind::Modal).isEmpty());
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
