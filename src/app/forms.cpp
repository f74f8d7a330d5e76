#include "app/forms.h"

#include "app/about.h"

namespace tessaria {

TFrmAbout* FrmAbout = nullptr;

void CreateStartupForms()
{
    if (!FrmAbout)
        FrmAbout = new TFrmAbout;
}

void DestroyStartupForms()
{
    delete FrmAbout;
    FrmAbout = nullptr;
}

TFrmAbout* AboutForm() { return FrmAbout; }

QWidget* ViewerForm() { return nullptr; }

} // namespace tessaria
