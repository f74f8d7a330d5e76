// Opens one layout document in the main window, shown on the offscreen
// platform, as File > Open does after its dialog, and prints the time the
// opening took in milliseconds. The opening benchmark runs it.
//
//   bench_open FILE.tsd
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/forms.h"
#include "app/utessaria.h"
#include "common/offscreenwindow.h"
#include "platform/scripteddialogs.h"

using namespace tessaria;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_open FILE.tsd\n");
        return 2;
    }
    bench::TOffscreenProgram program(argc, argv);
    TScriptedDialogs* dialogs = program.Dialogs;
    double ms = 0;
    bool opened = false;
    {
        TfrmTessaria window;
        CreateStartupForms();
        window.show();
        QApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        opened = window.OpenDocumentFile(QString::fromLocal8Bit(argv[1]));
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        DestroyStartupForms();
    }
    if (!opened || !dialogs->AllTexts().isEmpty()) {
        std::fprintf(stderr, "opening failed: %s\n", dialogs->AllTexts().join('\n').toStdString().c_str());
        return 1;
    }
    std::printf("%.1f\n", ms);
    return 0;
}
