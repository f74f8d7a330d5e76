#include "app/batchjobs.h"

#include <QDir>
#include <QFileInfo>
#include <ostream>

#include "app/utessaria.h"
#include "imageio/fileformats.h"
#include "layout/canvaspanel.h"
#include "platform/printers.h"
#include "print/prevprinter.h"

namespace tessaria {

QStringList PicturesOf(const QStringList& arguments, QStringList& problems)
{
    QStringList pictures;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (info.isFile()) {
            pictures << info.absoluteFilePath();
        } else if (info.isDir()) {
            const qsizetype before = pictures.size();
            const QFileInfoList entries =
                QDir(argument).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
            for (const QFileInfo& entry : entries)
                if (FileFormats().FindExt(entry.suffix().toStdString()))
                    pictures << entry.absoluteFilePath();
            if (pictures.size() == before)
                problems << QStringLiteral("%1: the folder holds no pictures").arg(argument);
        } else {
            problems << QStringLiteral("Cannot open file %1").arg(argument);
        }
    }
    return pictures;
}

namespace {

void ApplySheet(const TBatchJob& job, TfrmTessaria& window)
{
    // The sheet is chosen before a page is sized from it.
    if (job.Landscape)
        window.PP1->SetOrientation(TPrinterOrientation::poLandscape);
    if (job.Paper)
        window.PP1->SetPaper(job.Paper);
}

} // namespace

int RunArrangeJob(const TBatchJob& job, TfrmTessaria& window, std::ostream& err)
{
    if (job.Kind == TBatchJob::TKind::Print && !Printers().HasPrinter()) {
        err << "tessaria: error: no printer is installed\n";
        return 1;
    }
    QStringList problems;
    const QStringList pictures = PicturesOf(job.Pictures, problems);
    for (const QString& problem : problems)
        err << "tessaria: error: " << problem.toStdString() << '\n';
    if (pictures.isEmpty()) {
        err << "tessaria: error: there are no pictures to arrange\n";
        return 1;
    }
    ApplySheet(job, window);
    window.ReadStoredTurnOption(window.Options());
    window.New1Click(); // one empty page of the sheet
    const TArrangeSettings settings{*job.Arrange, job.GapMillimetres, false, job.Captions};
    TGridLayout layout;
    layout.Page = window.CurrentPage->PageSize();
    layout.Grid = settings.Grid;
    layout.Gap = MillimetresToPagePixels(settings.GapMillimetres, window.LayoutPPI);
    if (!GridHasRoom(layout)) {
        err << "tessaria: the gap leaves no room for the pictures on this sheet\n";
        return 2;
    }
    const QList<TfrmTessaria::TFileFailure> failures = window.ArrangeFiles(pictures, settings);
    for (const auto& f : failures)
        err << "tessaria: error: " << f.FileName.toStdString() << ": " << f.Message.toStdString() << '\n';
    if (window.CountBoxes() == 0)
        return 1;
    switch (job.Kind) {
    case TBatchJob::TKind::Save: window.SaveDocumentFile(job.Output); break;
    case TBatchJob::TKind::PrintPdf:
    case TBatchJob::TKind::Print: {
        const int dpi = job.Dpi ? *job.Dpi : window.ChosenPrintDpi();
        const int filter = job.Filter ? *job.Filter : window.ChosenFilterIndex();
        window.RecordLayout(dpi, filter);
        if (job.Kind == TBatchJob::TKind::PrintPdf)
            window.PrintRecordedToPdf(job.Output);
        else
            for (int copy = 0; copy < job.Copies; ++copy)
                window.PP1->Print();
        break;
    }
    default: return 2;
    }
    return failures.isEmpty() && problems.isEmpty() ? 0 : 1;
}

int RunCheckJob(const TBatchJob& job, TfrmTessaria& window, std::ostream& out, std::ostream& err)
{
    if (!QFileInfo(job.Document).isFile()) {
        err << "tessaria: error: Cannot open file " << job.Document.toStdString() << '\n';
        return 1;
    }
    ApplySheet(job, window);
    // The check reads every picture itself.
    window.LoadScreenCopies = false;
    if (!window.OpenDocumentFile(job.Document))
        return 2;
    const int dpi = job.Dpi ? *job.Dpi : window.ChosenPrintDpi();
    const std::vector<TFinding> findings = window.CheckLayoutForPrinting(dpi);
    for (const TFinding& finding : findings)
        out << finding.Text.toStdString() << '\n';
    out.flush();
    return findings.empty() ? 0 : CheckFoundSomething;
}

} // namespace tessaria
