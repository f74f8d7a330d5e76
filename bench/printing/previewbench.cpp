// One Preview of a layout document as a user would have it: the document
// opened in the main window (offscreen), Preview recorded, and the preview
// window paged through from the first page to the last. Prints its wall
// time and its peak resident memory; the printing benchmark runs it.
//
//   bench_preview FILE.tsd
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

#include "app/forms.h"
#include "app/utessaria.h"
#include "common/offscreenwindow.h"
#include "platform/scripteddialogs.h"
#include "print/prevform.h"
#include "print/prevprinter.h"

using namespace tessaria;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_preview FILE.tsd\n");
        return 2;
    }
    bench::TOffscreenProgram program(argc, argv);
    TScriptedDialogs* dialogs = program.Dialogs;
    int pagesShown = 0;
    dialogs->OnModal = [&](QDialog& dialog) {
        auto* form = dynamic_cast<TPreviewForm*>(&dialog);
        if (!form)
            return 0;
        form->show();
        QApplication::processEvents();
        pagesShown = 1;
        while (form->NextPageBut->isEnabled()) {
            QTest::mouseClick(form->NextPageBut, Qt::LeftButton);
            QApplication::processEvents();
            ++pagesShown;
        }
        form->close();
        return 0;
    };

    const auto start = std::chrono::steady_clock::now();
    int pages = 0;
    {
        TfrmTessaria window;
        CreateStartupForms();
        window.LoadScreenCopies = false; // the preview is measured, not the screen copies
        if (!window.OpenDocumentFile(QString::fromLocal8Bit(argv[1])))
            return 1;
        window.Print1Click(window.Preview1);
        pages = window.PP1->PageCount();
        DestroyStartupForms();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (!dialogs->Texts(TScriptedDialogs::TKind::Error).isEmpty() || pagesShown != pages || pages == 0) {
        std::fprintf(stderr, "preview failed: %d of %d pages shown; %s\n", pagesShown, pages,
                     dialogs->AllTexts().join('\n').toStdString().c_str());
        return 1;
    }
    std::printf("%d pages, %.2f s, peak %.0f MiB\n", pages, seconds, usage.ru_maxrss / 1024.0);
    return 0;
}
