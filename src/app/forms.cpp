#include "app/forms.h"

#include "app/about.h"
#include "browse/ubmedit.h"
#include "browse/usearch.h"
#include "browse/uview.h"
#include "layout/ufrmclip.h"
#include "layout/ulorvaneoptions.h"
#include "layout/utextboxproperties.h"

namespace tessaria {

TfrmLorvaneOptions* frmLorvaneOptions = nullptr;
TfrmClipboard* frmClipboard = nullptr;
TFrmAbout* FrmAbout = nullptr;
TfrmTextBoxProperties* frmTextBoxProperties = nullptr;
TfBMEdit* fBMEdit = nullptr;
TfSearch* fSearch = nullptr;

void CreateStartupForms()
{
    if (!frmLorvaneOptions)
        frmLorvaneOptions = new TfrmLorvaneOptions;
    if (!frmClipboard)
        frmClipboard = new TfrmClipboard;
    if (!frmView)
        frmView = new TfrmView;
    if (!FrmAbout)
        FrmAbout = new TFrmAbout;
    if (!fBMEdit)
        fBMEdit = new TfBMEdit;
    if (!fSearch)
        fSearch = new TfSearch;
    if (!frmTextBoxProperties)
        frmTextBoxProperties = new TfrmTextBoxProperties;
}

void DestroyStartupForms()
{
    delete frmTextBoxProperties;
    frmTextBoxProperties = nullptr;
    delete fSearch;
    fSearch = nullptr;
    delete fBMEdit;
    fBMEdit = nullptr;
    delete FrmAbout;
    FrmAbout = nullptr;
    delete frmView;
    frmView = nullptr;
    delete frmClipboard;
    frmClipboard = nullptr;
    delete frmLorvaneOptions;
    frmLorvaneOptions = nullptr;
}

TFrmAbout* AboutForm() { return FrmAbout; }

QWidget* ViewerForm() { return frmView; }

} // namespace tessaria
