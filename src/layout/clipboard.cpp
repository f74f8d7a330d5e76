// The main window's cut, copy and paste of boxes through the layout's own
// one-slot clipboard.
#include <QApplication>

#include "app/forms.h"
#include "app/utessaria.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "layout/ufrmclip.h"
#include "platform/busycursor.h"

namespace tessaria {

namespace {

// The values a copy carries from one box to another; the position stays.
void CopyBoxValues(const TRectBox& from, TRectBox& to)
{
    to.SetBounds(QRect(0, 0, from.Width(), from.Height()));
    to.SetProportionate(from.Proportionate());
    to.SetActiveFrameColor(from.ActiveFrameColor());
    to.SetRatio(from.Ratio());
    to.SetFileName(from.FileName());
    to.SetHidePassiveFrame(from.HidePassiveFrame());
    to.SetTextBox(from.TextBox());
    to.SetFont(from.Font());
    to.SetFontColor(from.FontColor());
    to.SetAlignment(from.Alignment());
    to.SetCanvasPPI(from.CanvasPPI());
    // So that a pasted turned picture prints turned and its caption shows its size.
    to.SetRotation(from.Rotation());
    to.SetPictureWidth(from.PictureWidth());
    to.SetPictureHeight(from.PictureHeight());
    to.SetPictureDate(from.PictureDate());
    if (from.TextBox()) {
        to.SetLines(from.Lines());
        to.ReleasePicture();
    } else {
        to.SetSharedPicture(from.SharedPicture()); // never changed in place: shared, not copied
        to.SetLines({});
    }
}

} // namespace

void TfrmTessaria::CopyBoxToClipboard(TRectBox* box)
{
    CreateStartupForms();
    TfrmClipboard* clip = frmClipboard;
    clip->ClipboardRB->ReleasePicture();
    CopyBoxValues(*box, *clip->ClipboardRB);
    clip->HasChild = box->LinkChild() != nullptr;
    if (TRectBox* child = box->LinkChild())
        CopyBoxValues(*child, *clip->ChildRB);
    clip->Filled = true;
}

void TfrmTessaria::Cut1Click(QAction* sender)
{
    TRectBox* box = SelectedBox();
    if (!box)
        return;
    CopyBoxToClipboard(box);
    UpdateActions(); // there is something to paste now
    if (!sender || sender->text() != "Cut")
        return;
    SetDocumentSaved(false);
    box->UnfocusAll();
    if (TRectBox* parent = box->LinkParent())
        parent->SetLinkChild(nullptr);
    if (TRectBox* child = box->LinkChild())
        RemoveBox(child);
    RemoveBox(box);
    ClearBoxInfo();
}

void TfrmTessaria::Paste1Click()
{
    CreateStartupForms();
    TfrmClipboard* clip = frmClipboard;
    // Before anything was cut or copied there is nothing to paste.
    if (!clip->Filled || !CurrentPage)
        return;
    TBusyCursor busy;
    TRectBox* box = CreateBox(CurrentPage, bhAll);
    CopyBoxValues(*clip->ClipboardRB, *box);
    box->SetActiveFrameColor(QColor(255, 0, 0));
    box->SetFocus(true);
    box->UnfocusAll();
    box->show();
    if (clip->HasChild) {
        TRectBox* child = CreateBox(CurrentPage, bhDrop);
        CopyBoxValues(*clip->ChildRB, *child);
        child->SetActiveFrameColor(QColor(255, 0, 0));
        const int tag = MaxLinkTag() + 1;
        box->SetTag(tag);
        child->SetTag(tag);
        box->SetLinkChild(child);
        child->SetLinkParent(box);
        child->SetFocus(true);
        child->UnfocusAll();
        child->show();
    }
    busy.Restore();
    RectBoxResize(box);
}

} // namespace tessaria
