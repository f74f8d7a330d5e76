// The main window's undo and redo: the history of layout steps, the Edit
// menu's Undo and Redo, what the selection lets act, and moving the selected
// box with the arrow keys.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QUndoStack>

#include "app/forms.h"
#include "app/utessaria.h"
#include "controls/statusbar.h"
#include "controls/updown.h"
#include "layout/boxgeometry.h"
#include "layout/boxposition.h"
#include "layout/layoutrules.h"
#include "platform/dialogs.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "layout/ufrmclip.h"

namespace tessaria {

namespace {

class TWindowLayoutHost final : public TLayoutHost {
public:
    explicit TWindowLayoutHost(TfrmTessaria& window) : W(window) {}
    QObject* LayoutOwner() override { return &W; }
    QList<TCanvasPanel*> LayoutPages() const override { return W.Pages; }
    TCanvasPanel* LayoutCurrentPage() const override { return W.CurrentPage; }
    void RestorePages(const QList<TCanvasPanel*>& pages, TCanvasPanel* current) override
    {
        W.ShowPages(pages, current);
    }
    void LayoutRestored() override { W.UpdateActions(); }

private:
    TfrmTessaria& W;
};

// Arrow key moves of one box that follow each other make one step.
constexpr int ArrowMoveStep = 1;

} // namespace

void TfrmTessaria::CreateHistory()
{
    LayoutHost_ = std::make_unique<TWindowLayoutHost>(*this);
    History = new TLayoutHistory(*LayoutHost_, this);
    QUndoStack* stack = History->Stack();
    auto follow = [this] {
        DocumentSaved = History->Stack()->isClean();
        UpdateCaption();
    };
    connect(stack, &QUndoStack::cleanChanged, this, follow);
    connect(stack, &QUndoStack::indexChanged, this, follow);
    connect(stack, &QUndoStack::canUndoChanged, Undo1, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, Redo1, &QAction::setEnabled);
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);
}

void TfrmTessaria::Undo1Click()
{
    History->EndDrag();
    History->Stack()->undo();
}

void TfrmTessaria::Redo1Click()
{
    History->EndDrag();
    History->Stack()->redo();
}

void TfrmTessaria::UpdateActions()
{
    const TRectBox* selected = SelectedBox();
    const bool picture = selected && !selected->TextBox();
    const bool text = selected && selected->TextBox();
    for (QAction* action : {Cut1, Copy1})
        if (action)
            action->setEnabled(selected != nullptr);
    if (Paste1)
        Paste1->setEnabled(frmClipboard && frmClipboard->Filled);
    for (QAction* action : {tbRotateLeft, tbRotateRight})
        if (action)
            action->setEnabled(picture);
    for (QAction* action : {tbAlignLeft, tbAlignCenter, tbAlignRight})
        if (action)
            action->setEnabled(text);
    ShowBoxPosition();
}

void TfrmTessaria::ShowBoxPosition()
{
    if (!sb1 || sb1->PanelCount() <= BoxPositionPanel)
        return;
    const TRectBox* selected = SelectedBox();
    sb1->SetPanelText(BoxPositionPanel, selected ? PositionText(selected->Bounds(), LayoutPPI, QLocale()) : QString());
}

void TfrmTessaria::EditBoxPosition()
{
    TRectBox* box = SelectedBox();
    if (!box || !CurrentPage)
        return;
    TfrmBoxPosition dialog(this);
    const int least = 3 * box->BoxSize();
    const bool caption = box->LinkParent() != nullptr;
    dialog.Prepare(box->Bounds(), LayoutPPI, MeasuresInMillimetres(QLocale()), least, caption);
    if (Dialogs().ExecModal(dialog) != QDialog::Accepted)
        return;
    QRect bounds = dialog.Bounds();
    if (caption)
        bounds.moveTopLeft(box->Bounds().topLeft());
    bounds.setSize(bounds.size().expandedTo(QSize(least, least)));
    TLayoutEdit step(*History, "Position");
    box->SetBounds(KeptOnPage(bounds, CurrentPage->PageSize()));
    RectBoxResize(box); // a caption takes the new width and place
    ShowBoxPosition();
}

void TfrmTessaria::ShowPages(const QList<TCanvasPanel*>& pages, TCanvasPanel* current)
{
    for (TCanvasPanel* page : Pages)
        page->hide();
    for (TCanvasPanel* page : pages)
        page->hide();
    for (TRectBox* box : Boxes())
        box->SetFocus(false);
    Pages = pages;
    CurrentPage = pages.contains(current) ? current : (pages.isEmpty() ? nullptr : pages.first());
    if (CurrentPage)
        CurrentPage->show();
    LayoutView();
    CanvasPageNumber->SetMax(int(Pages.size()));
    CanvasPageNumber->SetPosition(int(Pages.indexOf(CurrentPage)) + 1);
    txtPageCount->setText(QStringLiteral(" of %1").arg(Pages.size()));
    UpdateActions();
}

void TfrmTessaria::RemoveBox(TRectBox* box)
{
    if (History && History->Recording())
        TLayoutHistory::TakeOut(*box);
    else
        FreeBox(box);
}

void TfrmTessaria::RemovePage(TCanvasPanel* page)
{
    Pages.removeAll(page);
    page->hide();
    if (!History || !History->Recording())
        delete page;
}

void TfrmTessaria::FollowPicture(TRectBox* picture)
{
    TRectBox* caption = picture->LinkChild();
    if (!caption)
        return;
    const QRect under(picture->Bounds().left(), picture->Bounds().bottom() + 1, caption->Bounds().width(),
                      caption->Bounds().height());
    if (caption->Bounds() != under)
        caption->SetBounds(under);
}

bool TfrmTessaria::ArrowKeyMove(int key, Qt::KeyboardModifiers modifiers)
{
    int dx = 0, dy = 0;
    switch (key) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    default: return false;
    }
    TRectBox* box = SelectedBox();
    if (!box || !CurrentPage)
        return false;
    // Lists, the tree and edits keep their own arrow keys.
    const QWidget* focus = QApplication::focusWidget();
    if (focus && focus != this && focus != ScrollBox1 && !ScrollBox1->isAncestorOf(focus))
        return false;
    TLayoutEdit step(*History, "Move", ArrowMoveStep);
    const bool raster = modifiers & Qt::ShiftModifier;
    QRect bounds = box->Bounds();
    if (dx)
        bounds.moveLeft(ArrowStep(bounds.left(), dx, raster));
    if (dy)
        bounds.moveTop(ArrowStep(bounds.top(), dy, raster));
    box->SetBounds(KeptOnPage(bounds, CurrentPage->PageSize()));
    FollowPicture(box);
    ShowBoxPosition();
    return true;
}

} // namespace tessaria
