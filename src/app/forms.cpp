#include "app/forms.h"

#include "app/about.h"
#include "browse/uview.h"

namespace tessaria {

TFrmAbout* FrmAbout = nullptr;

void CreateStartupForms()
{
    // Options and clipboard come first, then the viewer.
    if (!frmView)
        frmView = new TfrmView;
    if (!FrmAbout)
        FrmAbout = new TFrmAbout;
}

void DestroyStartupForms()
{
    delete FrmAbout;
    FrmAbout = nullptr;
    delete frmView;
    frmView = nullptr;
}

TFrmAbout* AboutForm() { return FrmAbout; }

QWidget* ViewerForm() { return frmView; }

} // namespace tessaria
