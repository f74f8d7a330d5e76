// The main window's printing commands: recording the layout into the engine,
// preview, print (or a PDF file when no printer is installed), printer set-up
// and page setup.
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <new>

#include "app/utessaria.h"
#include "base/convert.h"
#include "base/exceptions.h"
#include "base/rounding.h"
#include "controls/statusbar.h"
#include "imageio/picture.h"
#include "imageio/qt/qimagebridge.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "layout/ulorvaneoptions.h"
#include "platform/application.h"
#include "platform/busycursor.h"
#include "platform/printers.h"
#include "print/core/filters.h"
#include "print/core/resample.h"
#include "print/core/rotate.h"
#include "print/metafilecanvas.h"
#include "print/pdfprinter.h"
#include "print/pictureerror.h"
#include "print/prevprinter.h"
#include "print/printjob.h"
#include "print/printlayout.h"
#include "print/printpicture.h"

namespace tessaria {

namespace {

Qt::Alignment QtHorizontal(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taLeftJustify: return Qt::AlignLeft;
    case TAlignment::taRightJustify: return Qt::AlignRight;
    case TAlignment::taCenter: break;
    }
    return Qt::AlignHCenter;
}

QRect ToQRect(const TSheetRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

// Puts the status bar, the gauge and the flag back however the recording ends.
class TRecordingState {
public:
    TRecordingState(TStatusBar* statusBar, bool& recording) : StatusBar_(statusBar), Recording_(recording)
    {
        Recording_ = true;
    }
    ~TRecordingState()
    {
        StatusBar_->SetPanelText(1, QString());
        StatusBar_->SetGaugePosition(0);
        Recording_ = false;
    }
    TRecordingState(const TRecordingState&) = delete;
    TRecordingState& operator=(const TRecordingState&) = delete;

private:
    TStatusBar* StatusBar_;
    bool& Recording_;
};

void DrawTextBox(TTovarMetaFileCanvas& canvas, const TRectBox& box, QRect target, int pixelsPerInchY)
{
    canvas.SetPointFont(box.Font());
    canvas.setPen(box.FontColor());
    target.setTop(target.top() + TextDrop(pixelsPerInchY));
    canvas.drawText(target, int(Qt::TextWordWrap | Qt::AlignTop | QtHorizontal(box.Alignment())),
                    box.Lines().join('\n'));
}

void DrawPictureBox(TTovarMetaFileCanvas& canvas, const TRectBox& box, TBitmap picture, const QRect& target,
                    int layoutPPI, int dpi, int filterIndex)
{
    // The box's sides are already those of the turned picture; resampling to
    // the sides before the turn keeps the chosen resolution along both.
    const TPixelSize size =
        SizeBeforeTurn(ResampledSize(box.Width(), box.Height(), layoutPPI, dpi), box.Rotation());
    if (size.Width <= 0 || size.Height <= 0 || target.isEmpty())
        return;
    const TPrintPicture recipe{box.FileName().toStdString(), size.Width, size.Height, filterIndex, box.Rotation()};
    const QImage image = FinishPrintPicture(recipe, std::move(picture)); // one full picture at a time
    canvas.DrawPicture(target, image, std::make_shared<TPrintPictureSource>(recipe));
}

// Before a job starts sending pages: a picture that is gone or cannot be
// opened stops it here, with the reader's message, before any page is out.
void CheckPicturesCanBeRead(const std::vector<std::string>& files)
{
    for (const std::string& file : files) {
        const QFileInfo info(QString::fromStdString(file));
        if (!info.isFile() || !info.isReadable())
            LoadPrintPicture(file); // raises the reader's own message
    }
}

} // namespace

int TfrmTessaria::ChosenPrintDpi() { return StrToInt(Options()->cbDPI->currentText().trimmed().toStdString()); }

int TfrmTessaria::ChosenFilterIndex()
{
    const int index = Options()->cbFilterBox->currentIndex();
    return index >= 0 && index < FilterCount ? index : int(TResampleFilter::Lanczos3);
}

void TfrmTessaria::RecordLayout(int dpi, int filterIndex) { RecordPages(dpi, filterIndex, nullptr); }

void TfrmTessaria::PrintLayout(int dpi, int filterIndex, const QString& pdf)
{
    if (pdf.isEmpty()) {
        RecordPages(dpi, filterIndex, [] { return &Printers().Printer(); });
        return;
    }
    std::unique_ptr<QPrinter> file;
    RecordPages(dpi, filterIndex, [&] {
        file = PdfPrinterFor(*PP1, pdf);
        return file.get();
    });
}

void TfrmTessaria::RecordPages(int dpi, int filterIndex, const std::function<QPrinter*()>& printer)
{
    TRecordingState state(sb1, Recording_);
    TBusyCursor busy;

    std::vector<std::string> files;
    for (TCanvasPanel* page : Pages)
        for (TRectBox* box : PageBoxes(page))
            if (!box->TextBox())
                files.push_back(box->FileName().toStdString());
    if (printer)
        CheckPicturesCanBeRead(files);

    PP1->BeginDoc();
    TTextOptions* options = PP1->TextOptions();
    if (Options()->cbPrintInfo->isChecked()) {
        const std::string filter = FilterName(FilterFromIndex(filterIndex));
        options->SetFooter(QString::fromStdString(FooterInfoText(PP1->PrinterName().toStdString(), dpi, filter)));
        options->SetFooterAlign(TAlignment::taLeftJustify);
        options->SetFooterFont(MakePrintFont(QStringLiteral("Arial"), 6));
    }

    // The engine's device values are fresh from BeginDoc; the labels follow.
    EnginePrintableArea();
    const TPrintGeometry g = PP1->LayoutArea();
    const double sx = double(g.Width) / CurrentPage->PageWidth();
    const double sy = double(g.Height) / CurrentPage->PageHeight();

    // Each page goes to the printer as soon as it is recorded and keeps only
    // what makes its pictures again; for the preview, pages past the first
    // two let go of their pictures at once (the preview has them back when
    // it shows them). Memory stays that of a few pages.
    std::unique_ptr<TPrintJob> job;
    if (printer)
        job = std::make_unique<TPrintJob>(*PP1, *printer());
    PP1->SetKeepDeviceValues(job != nullptr);
    PP1->SetOnPageRecorded([&](int index) {
        if (job)
            job->Add(PP1->GetPage(index), true);
        else if (index > 1)
            PP1->ReleasePageImages(index);
    });
    struct TForget {
        TPreviewPrinter* Engine;
        ~TForget()
        {
            Engine->SetOnPageRecorded(nullptr);
            Engine->SetKeepDeviceValues(false);
        }
    } forget{PP1};

    TPicturesAhead pictures(files);
    size_t nextPicture = 0;
    const int total = CountBoxes();
    int done = 0;
    for (int p = 0; p < Pages.size(); ++p) {
        for (TRectBox* box : PageBoxes(Pages[p])) {
            const QString name = box->TextBox() ? QString() : QFileInfo(box->FileName()).fileName();
            sb1->SetPanelText(1, QStringLiteral("Scaling ") + name + QStringLiteral("..."));
            const QRect target = ToQRect(TargetRect(g, sx, sy, box->Left(), box->Top(), box->Width(), box->Height()));
            TTovarMetaFileCanvas& canvas = *PP1->RecordingCanvas();
            if (box->TextBox()) {
                DrawTextBox(canvas, *box, target, PP1->PixelsPerInchY());
            } else {
                // Read again at full size (the box holds only its reduced
                // copy), the next ones already being read meanwhile.
                TBitmap picture = pictures.Take(nextPicture++);
                DrawPictureBox(canvas, *box, std::move(picture), target, LayoutPPI, dpi, filterIndex);
            }
            ++done;
            sb1->SetGaugePosition(int(Round(double(done) / total * 100)));
            if (BatchProgress)
                BatchProgress(QStringLiteral("printing"), done, total);
            ProcessMessages();
        }
        PP1->PrintHeaderFooter(PP1->PageCount());
        if (p < Pages.size() - 1)
            PP1->NewPage();
    }
    PP1->EndDoc();
    if (job)
        job->Finish();
}

void TfrmTessaria::PrintRecordedToPdf(const QString& fileName)
{
    const std::unique_ptr<QPrinter> printer = PdfPrinterFor(*PP1, fileName);
    if (!PP1->PrintRange(0, PP1->PageCount() - 1, *printer))
        throw Exception("There is no page to print");
}

void TfrmTessaria::Print1Click(QAction* sender)
{
    if (Recording_)
        return; // chosen again from inside the recording's message loop
    const bool print = sender && sender->property("Tag").toInt() == 1;
    const int dpi = ChosenPrintDpi(); // a bad number stops here, before anything is recorded
    if (!CheckBeforePrinting(print, dpi))
        return;
    // Without a printer the pages go to a PDF file; its name is asked first,
    // so that a cancel costs no recording.
    QString pdf;
    if (print && !Printers().HasPrinter()) {
        TFileDialogSpec spec;
        spec.Title = QStringLiteral("Print to PDF File");
        spec.Filter = QStringLiteral("PDF files (*.pdf)|*.pdf");
        spec.DefaultExt = QStringLiteral("pdf");
        spec.OverwritePrompt = true;
        if (!Dialogs().SaveFile(spec))
            return;
        pdf = spec.FileName;
    }
    if (!print) {
        RecordLayout(dpi, ChosenFilterIndex());
        PP1->Preview();
    } else {
        PrintLayout(dpi, ChosenFilterIndex(), pdf);
    }
}

void TfrmTessaria::tbPrintClick()
{
    if (Recording_)
        return;
    if (!Dialogs().PrinterSetup(Printers().Printer())) {
        Dialogs().ShowMessage(QStringLiteral("cancelled"));
        return;
    }
    // Another printer or paper may have been chosen: the pages take its
    // printable area first, so that the sheet printed is the one shown.
    UpdatePageGeometry();
    Print1Click(Print1);
}

void TfrmTessaria::tbPageSetupClick()
{
    PP1->PageSetup();
    UpdatePageGeometry();
}

} // namespace tessaria
