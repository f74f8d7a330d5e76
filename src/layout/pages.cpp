// The main window's pages: creating, switching, deleting, the grid, and the
// scale of the layout from the printer's printable area.
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>

#include "app/utessaria.h"
#include "controls/updown.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "platform/dialogs.h"
#include "platform/errorbox.h"
#include "platform/settingsstore.h"

namespace tessaria {

QList<TRectBox*> TfrmTessaria::Boxes() const { return TRectBox::BoxesOf(this); }

QList<TRectBox*> TfrmTessaria::PageBoxes(const TCanvasPanel* page) const
{
    QList<TRectBox*> result;
    for (TRectBox* box : Boxes())
        if (box->parentWidget() == page)
            result << box;
    return result;
}

TRectBox* TfrmTessaria::SelectedBox() const
{
    // A box on a page that is not shown cannot be the one the user acts on.
    TRectBox* selected = nullptr;
    for (TRectBox* box : Boxes())
        if (box->Focus() && box->parentWidget() == CurrentPage)
            selected = box;
    return selected;
}

void TfrmTessaria::FreeBox(TRectBox* box)
{
    box->UnfocusAll();
    box->ReleasePicture();
    delete box;
}

void TfrmTessaria::DeleteAllBoxes()
{
    const QList<TRectBox*> boxes = Boxes();
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
        FreeBox(*it);
}

void TfrmTessaria::UpdatePageGeometry()
{
    const TPageGeometry g = ComputePageGeometry(CurrentPrintableArea());
    LayoutOrientation = g.Orientation;
    if (CurrentPage)
        CurrentPage->SetPageSize(QSize(g.Width, g.Height));
    LayoutPPI = g.LayoutPPI;
    // The page, its sheet and its shadow where the zoom puts them.
    LayoutView();
}

void TfrmTessaria::tbNewPageClick()
{
    auto* page = new TCanvasPanel(ScrollBoxContents);
    page->setObjectName(QStringLiteral("Page%1").arg(Pages.size() + 1));
    Pages.append(page);
    CurrentPage = page;
    page->SetColor(Qt::white);
    page->SetScale(Zoom);
    if (Pages.size() > 1)
        page->SetPageSize(Pages[Pages.size() - 2]->PageSize());
    connect(page, &TCanvasPanel::Click, this, [this] { RunCommand([this] { PnlWhiteClick(); }); });
    connect(page, &TCanvasPanel::DragOver, this, [this, page](const QMimeData* data, bool& accept) {
        RunCommand([&] { PnlWhiteDragOver(page, data, accept); });
    });
    connect(page, &TCanvasPanel::DragDrop, this, [this, page](const QMimeData* data, QPoint at) {
        RunCommand([&] { LayoutStep("Place Picture", [&] { PnlWhiteDragDrop(page, data, at); }); });
    });
    // The selection belongs to the page that was shown.
    for (TRectBox* box : Boxes())
        box->SetFocus(false);
    page->show();
    UpdatePageGeometry();
    if (ReadSetting(SettingsKey, "ShowGrid", "0").startsWith('1'))
        page->SetShowGrid(true);
    CanvasPageNumber->SetMax(CanvasPageNumber->Max() + 1);
    CanvasPageNumber->SetPosition(CanvasPageNumber->Max());
    txtPageCount->setText(QStringLiteral(" of %1").arg(CanvasPageNumber->Max()));
}

void TfrmTessaria::CanvasPageNumberClick()
{
    const int index = CanvasPageNumber->Position() - 1;
    if (index < 0 || index >= Pages.size())
        return;
    for (TCanvasPanel* page : Pages)
        page->hide();
    // The selection belongs to the page that was shown.
    for (TRectBox* box : Boxes())
        box->SetFocus(false);
    CurrentPage = Pages[index];
    CurrentPage->show();
    LayoutView(); // the sheet of the page now shown
}

void TfrmTessaria::tbDeleteCurrentPageClick()
{
    const QString question = QStringLiteral("Delete the current page? (page %1)").arg(txtPage->text());
    if (Dialogs().Confirm(question, TMsgButtons::YesNo) != TMsgAnswer::Yes)
        return;
    if (Pages.size() == 1) {
        const QList<TRectBox*> boxes = Boxes();
        for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
            RemoveBox(*it);
    } else if (Pages.size() > 1) {
        int i = CanvasPageNumber->Position() - 1;
        for (TCanvasPanel* page : Pages)
            page->hide();
        const QList<TRectBox*> boxes = PageBoxes(Pages[i]);
        for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
            RemoveBox(*it);
        RemovePage(Pages[i]);
        if (i == Pages.size())
            --i;
        CurrentPage = Pages[i];
        CurrentPage->show();
        LayoutView();
        CanvasPageNumber->SetPosition(i + 1);
        CanvasPageNumber->SetMax(CanvasPageNumber->Max() - 1);
    }
    txtPageCount->setText(QStringLiteral(" of %1").arg(CanvasPageNumber->Max()));
}

void TfrmTessaria::tbShowGridClick()
{
    if (!CurrentPage)
        return;
    CurrentPage->SetShowGrid(!CurrentPage->ShowGrid());
    if (Pages.size() > 1)
        for (TCanvasPanel* page : Pages)
            page->SetShowGrid(CurrentPage->ShowGrid());
}

void TfrmTessaria::PnlWhiteClick()
{
    if (TRectBox* box = SelectedBox())
        box->UnfocusAll();
}

} // namespace tessaria
