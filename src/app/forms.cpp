#include "app/forms.h"

#include "app/about.h"
#include "layout/ufrmclip.h"
#include "layout/ulorvaneoptions.h"
#include "layout/utextboxproperties.h"

namespace tessaria {

TfrmLorvaneOptions* frmLorvaneOptions = nullptr;
TfrmClipboard* frmClipboard = nullptr;
TFrmAbout* FrmAbout = nullptr;
TfrmTextBoxProperties* frmTextBoxProperties = nullptr;

void CreateStartupForms()
{
    if (!frmLorvaneOptions)
        frmLorvaneOptions = new TfrmLorvaneOptions;
    if (!frmClipboard)
        frmClipboard = new TfrmClipboard;
    if (!FrmAbout)
        FrmAbout = new TFrmAbout;
    if (!frmTextBoxProperties)
        frmTextBoxProperties = new TfrmTextBoxProperties;
}

void DestroyStartupForms()
{
    delete frmTextBoxProperties;
    frmTextBoxProperties = nullptr;
    delete FrmAbout;
    FrmAbout = nullptr;
    delete frmClipboard;
    frmClipboard = nullptr;
    delete frmLorvaneOptions;
    frmLorvaneOptions = nullptr;
}

TFrmAbout* AboutForm() { return FrmAbout; }

QWidget* ViewerForm() { return nullptr; }

} // namespace tessaria
