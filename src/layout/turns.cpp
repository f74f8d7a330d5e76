// The main window's quarter turns of the selected picture and the auto-align
// raster.
#include "app/utessaria.h"
#include "layout/canvaspanel.h"
#include "layout/layoutrules.h"
#include "layout/rectbox.h"
#include "platform/dialogs.h"
#include "print/core/rotate.h"

namespace tessaria {

void TfrmTessaria::tbRotateLeftClick(QAction* sender)
{
    TRectBox* box = SelectedBox();
    if (!box)
        return;
    if (box->TextBox()) {
        Dialogs().ShowMessage("You can not rotate a text box");
        return;
    }
    TBitmap picture = box->Picture();
    const bool anticlockwise = sender && sender->objectName() == "tbRotateLeft";
    if (!picture.Empty()) {
        picture.SetPixelFormat(TPixelFormat::pf24bit);
        anticlockwise ? RotateAnticlockwise(picture) : RotateClockwise(picture);
        box->SetPicture(picture);
    }
    box->SetRotation(anticlockwise ? (box->Rotation() == 0 ? 270 : box->Rotation() - 90) : (box->Rotation() + 90) % 360);
    const QRect old = box->Bounds();
    box->SetBounds(QRect(old.topLeft(), QSize(old.height(), old.width())));
    if (box->Ratio() != 0)
        box->SetRatio(1 / box->Ratio());
    box->update();
    FollowPicture(box);
}

void TfrmTessaria::tbAlignClick()
{
    if (!CurrentPage || PageBoxes(CurrentPage).isEmpty())
        return;
    for (TRectBox* box : Boxes())
        box->SetBounds(QRect(SnapToRaster(box->Left(), CurrentPage->PageWidth()),
                             SnapToRaster(box->Top(), CurrentPage->PageHeight()), box->Width(), box->Height()));
    // Captions go back under their pictures at once.
    for (TRectBox* box : Boxes())
        FollowPicture(box);
}

} // namespace tessaria
