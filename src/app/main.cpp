// Program entry: the application object, then the windows in their fixed
// order, then the message loop until the main window closes.
#include "app/forms.h"
#include "app/utessaria.h"
#include "platform/application.h"

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
        result = app.exec();
        DestroyStartupForms();
    }
    return result;
}
