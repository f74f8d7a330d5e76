#include "app/batch.h"

#include <QFileInfo>
#include <iostream>
#include <ostream>
#include <unistd.h>

#include "app/about.h"
#include "app/batchjobs.h"
#include "app/forms.h"
#include "app/utessaria.h"
#include "platform/consoledialogs.h"
#include "platform/printers.h"
#include "print/pictureerror.h"
#include "print/prevprinter.h"

namespace tessaria {

std::optional<int> AnswerWithoutWindow(const TBatchJob& job, std::ostream& out, std::ostream& err)
{
    if (!job.Error.isEmpty()) {
        err << "tessaria: " << job.Error.toStdString() << '\n' << BatchUsage().toStdString();
        return 2;
    }
    switch (job.Kind) {
    case TBatchJob::TKind::Help: out << BatchUsage().toStdString(); return 0;
    case TBatchJob::TKind::Version: out << "Tessaria " << ProgramVersion().toStdString() << '\n'; return 0;
    default: return std::nullopt;
    }
}

int RunBatch(const TBatchJob& job, TfrmTessaria& window, std::ostream& err, std::ostream* out)
{
    using K = TBatchJob::TKind;
    if (!job.Error.isEmpty() || (job.Kind != K::PrintPdf && job.Kind != K::Print && job.Kind != K::Save &&
                                 job.Kind != K::Check)) {
        err << "tessaria: " << (job.Error.isEmpty() ? std::string("no print job") : job.Error.toStdString()) << '\n'
            << BatchUsage().toStdString();
        return 2;
    }
    auto console = std::make_unique<TConsoleDialogs>(err);
    TConsoleDialogs& dialogs = *console;
    TDialogsGuard restore(SetDialogs(std::move(console)));
    try {
        if (job.Arrange) {
            const int result = RunArrangeJob(job, window, err);
            return result == 0 && dialogs.ErrorShown() ? 1 : result;
        }
        if (job.Kind == K::Check)
            return RunCheckJob(job, window, out ? *out : std::cout, err);
        if (!QFileInfo(job.Document).isFile()) {
            err << "tessaria: error: Cannot open file " << job.Document.toStdString() << '\n';
            return 1;
        }
        if (job.Kind == TBatchJob::TKind::Print && !Printers().HasPrinter()) {
            err << "tessaria: error: no printer is installed\n";
            return 1;
        }
        // The sheet is chosen before the document sizes its pages from it.
        if (job.Landscape)
            window.PP1->SetOrientation(TPrinterOrientation::poLandscape);
        if (job.Paper)
            window.PP1->SetPaper(job.Paper);
        window.LoadScreenCopies = false;
        if (!window.OpenDocumentFile(job.Document))
            return 2;
        const int dpi = job.Dpi ? *job.Dpi : window.ChosenPrintDpi();
        const int filter = job.Filter ? *job.Filter : window.ChosenFilterIndex();
        // Each page goes out as soon as it is recorded; further copies are
        // printed again from the recorded pages.
        window.PrintLayout(dpi, filter, job.Kind == TBatchJob::TKind::PrintPdf ? job.Output : QString());
        for (int copy = 1; copy < job.Copies; ++copy)
            window.PP1->Print();
    } catch (const EPictureError& e) {
        err << "tessaria: error: " << e.FileName << ": " << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << "tessaria: error: " << e.what() << '\n';
        return 1;
    }
    return dialogs.ErrorShown() ? 1 : 0;
}

int RunBatchProgram(const TBatchJob& job, std::ostream& err)
{
    TDialogsGuard restore(SetDialogs(std::make_unique<TConsoleDialogs>(err, "warning: ")));
    TfrmTessaria window;
    CreateStartupForms();
    // A progress line for a person watching a terminal; none in a log.
    if (&err == &std::cerr && isatty(STDERR_FILENO))
        window.BatchProgress = [&err](const QString& stage, int done, int total) {
            err << "\rtessaria: " << stage.toStdString() << ' ' << done << " of " << total << std::flush;
            if (done == total)
                err << '\n';
        };
    const int result = RunBatch(job, window, err);
    DestroyStartupForms();
    return result;
}

} // namespace tessaria
