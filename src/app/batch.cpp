#include "app/batch.h"

#include <QFileInfo>
#include <ostream>

#include "app/utessaria.h"
#include "platform/consoledialogs.h"
#include "platform/printers.h"
#include "print/prevprinter.h"

namespace tessaria {

const char* const BatchUsage = "usage: tessaria --print-pdf OUT.pdf FILE.tsd\n"
                               "       tessaria --print FILE.tsd\n";

TBatchJob ParseBatchArguments(const QStringList& arguments)
{
    TBatchJob job;
    if (arguments.isEmpty())
        return job;
    const QString& option = arguments.first();
    if (option == "--print-pdf") {
        job.Kind = TBatchJob::TKind::PrintPdf;
        if (arguments.size() != 3)
            job.Error = "--print-pdf wants a PDF file and a layout document";
        else {
            job.Output = arguments[1];
            job.Document = arguments[2];
        }
    } else if (option == "--print") {
        job.Kind = TBatchJob::TKind::Print;
        if (arguments.size() != 2)
            job.Error = "--print wants one layout document";
        else
            job.Document = arguments[1];
    }
    return job;
}

int RunBatch(const TBatchJob& job, TfrmTessaria& window, std::ostream& err)
{
    if (!job.Error.isEmpty()) {
        err << "tessaria: " << job.Error.toStdString() << '\n' << BatchUsage;
        return 2;
    }
    auto console = std::make_unique<TConsoleDialogs>(err);
    TConsoleDialogs& dialogs = *console;
    TDialogsGuard restore(SetDialogs(std::move(console)));
    try {
        if (!QFileInfo(job.Document).isFile()) {
            err << "tessaria: error: Cannot open file " << job.Document.toStdString() << '\n';
            return 1;
        }
        window.LoadScreenCopies = false;
        if (!window.OpenDocumentFile(job.Document))
            return 2;
        if (job.Kind == TBatchJob::TKind::Print && !Printers().HasPrinter()) {
            err << "tessaria: error: no printer is installed\n";
            return 1;
        }
        window.RecordLayout(window.ChosenPrintDpi(), window.ChosenFilterIndex());
        if (job.Kind == TBatchJob::TKind::PrintPdf)
            window.PrintRecordedToPdf(job.Output);
        else
            window.PP1->Print();
    } catch (const std::exception& e) {
        err << "tessaria: error: " << e.what() << '\n';
        return 1;
    }
    return dialogs.ErrorShown() ? 1 : 0;
}

} // namespace tessaria
