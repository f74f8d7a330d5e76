// Program entry: the application object, then the windows in their fixed
// order, then the message loop until the main window closes. With a batch
// option the document is printed without showing a window; --help, --version
// and wrong arguments are answered before anything else starts.
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

} // namespace

int main(int argc, char** argv)
{
    const TBatchJob job = ParseBatchArguments(ArgumentsAfterProgram(argc, argv));
    if (const std::optional<int> exitCode = AnswerWithoutWindow(job, std::cout, std::cerr))
        return *exitCode;
    const bool batch = job.Kind != TBatchJob::TKind::None;
    // A batch run needs no screen: without one it draws offscreen.
    if (batch && !getenv("QT_QPA_PLATFORM") && !getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    TApplication app(argc, argv);
    RegisterMetafileFormats();
    SetApplicationHelpFile("tessaria.hlp");
    SetApplicationTitle("Tessaria");
    QApplication::setWindowIcon(ProgramIcon());
    // Ties the windows to the desktop entry (and its icon) on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvanel.Tessaria"));
    if (batch)
        return RunBatchProgram(job, std::cerr);

    // A layout, picture or folder named on the command line, as the desktop's
    // "Open With" passes it (Qt has taken its own options out of the
    // arguments by now). Made absolute first: showing the window moves the
    // current folder to the one the browser shows.
    const QStringList files = ParseBatchArguments(QCoreApplication::arguments().mid(1)).Files;
    const QString startupFile = files.size() == 1 ? QFileInfo(files[0]).absoluteFilePath() : QString();

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
