// Program entry: the application object, then the windows in their fixed
// order, then the message loop until the main window closes. With a batch
// option the document is printed without showing a window.
#include <cstdlib>
#include <iostream>

#include "app/batch.h"
#include "app/forms.h"
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
    QApplication::setWindowIcon(QIcon(":/tessaria.png"));
    if (job.Kind != TBatchJob::TKind::None)
        return RunBatchJob(job);

    int result = 0;
    {
        TfrmTessaria mainForm;
        mainForm.SetMainForm(true);
        CreateStartupForms();
        mainForm.show();
        // A layout document named on the command line opens at once.
        const QStringList args = QCoreApplication::arguments();
        if (args.size() == 2 && args[1].endsWith(".tsd", Qt::CaseInsensitive))
            RunCommand([&] { mainForm.OpenDocumentFile(args[1]); });
        result = app.exec();
        DestroyStartupForms();
    }
    return result;
}
