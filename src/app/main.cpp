// Program entry: the application object, then the windows in their fixed
// order, then the message loop until the main window closes. With a batch
// option the document is printed without showing a window.
#include <QFileInfo>
#include <cstdlib>
#include <iostream>

#include "app/about.h"
#include "app/batch.h"
#include "app/forms.h"
#include "app/startupfile.h"
#include "app/utessaria.h"
#include "imageio/qt/metafileimage.h"
#include "platform/application.h"
#include "platform/errorbox.h"

using namespace tessaria;

namespace {

QStringList ArgumentsAfterProgram(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int RunBatchJob(const TBatchJob& job)
{
    TfrmTessaria window;
    CreateStartupForms();
    const int result = RunBatch(job, window, std::cerr);
    DestroyStartupForms();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const TBatchJob job = ParseBatchArguments(ArgumentsAfterProgram(argc, argv));
    // A batch run needs no screen: without one it draws offscreen.
    if (job.Kind != TBatchJob::TKind::None && !getenv("QT_QPA_PLATFORM") && !getenv("DISPLAY") &&
        !getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    TApplication app(argc, argv);
    RegisterMetafileFormats();
    SetApplicationHelpFile("tessaria.hlp");
    SetApplicationTitle("Tessaria");
    QApplication::setWindowIcon(ProgramIcon());
    // Ties the windows to the desktop entry (and its icon) on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvanel.Tessaria"));
    if (job.Kind != TBatchJob::TKind::None)
        return RunBatchJob(job);

    // A layout, picture or folder named on the command line, as the desktop's
    // "Open With" passes it. Made absolute first: showing the window moves the
    // current folder to the one the browser shows.
    const QStringList args = QCoreApplication::arguments();
    const QString startupFile = args.size() == 2 ? QFileInfo(args[1]).absoluteFilePath() : QString();

    int result = 0;
    {
        TfrmTessaria mainForm;
        mainForm.SetMainForm(true);
        CreateStartupForms();
        mainForm.show();
        if (!startupFile.isEmpty())
            RunCommand([&] { OpenStartupArgument(mainForm, startupFile); });
        result = app.exec();
        DestroyStartupForms();
    }
    return result;
}
