// Program entry: the application object, then the windows in their fixed
// order, then the message loop until the main window closes.
#include "app/forms.h"
#include "app/utessaria.h"
#include "platform/application.h"
#include "platform/errorbox.h"

using namespace tessaria;

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    SetApplicationHelpFile("tessaria.hlp");
    SetApplicationTitle("Tessaria");
    QApplication::setWindowIcon(QIcon(":/tessaria.png"));

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
