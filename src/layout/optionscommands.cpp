// The main window's side of the layout options dialog.
#include <QDir>

#include "app/forms.h"
#include "app/utessaria.h"
#include "browse/filelistview.h"
#include "controls/foldertree.h"
#include "controls/statusbar.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "layout/ulorvaneoptions.h"
#include "platform/dialogs.h"
#include "platform/errorbox.h"

namespace tessaria {

TfrmLorvaneOptions* TfrmTessaria::Options()
{
    CreateStartupForms();
    TfrmLorvaneOptions* options = frmLorvaneOptions;
    if (!OptionsConnected_) {
        OptionsConnected_ = true;
        connect(options, &TfrmLorvaneOptions::ProportionChanged, this, [this](bool proportionate) {
            for (TRectBox* box : Boxes())
                box->SetProportionate(proportionate);
        });
        connect(options, &TfrmLorvaneOptions::OrientationChanged, this,
                [this](int index) { RunCommand([&] { OrientationChosen(index); }); });
        connect(options, &TfrmLorvaneOptions::PrintInfoChanged, this,
                [this](bool ticked) { RunCommand([&] { PrintInfoChosen(ticked); }); });
        connect(options, &TfrmLorvaneOptions::ShowGridChanged, this, [this](bool shown) {
            if (CurrentPage)
                CurrentPage->SetShowGrid(shown);
        });
    }
    return options;
}

void TfrmTessaria::tbPropertiesClick()
{
    TfrmLorvaneOptions* options = Options();
    const QString before = FileMask;
    options->Prepare(LayoutOrientation, FileMask);
    if (Dialogs().ExecModal(*options) == QDialog::Accepted)
        FileMask = options->FileMask();
    if (FileMask == before)
        return;
    sb1->SetPanelText(0, QString());
    if (QDir(TV1->Directory()).exists() && !TV1->Directory().isEmpty()) {
        LV1->SetViewStyle(TViewStyle::vsReport);
        RefillFileList();
    }
}

} // namespace tessaria
