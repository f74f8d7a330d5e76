// The main window's side of the image viewer: showing a file in it.
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "browse/filelistmodel.h"
#include "browse/filelistview.h"
#include "platform/errorbox.h"

#include "app/utessaria.h"
#include "browse/browsegeometry.h"
#include "platform/busycursor.h"
#include "browse/uview.h"
#include "controls/image.h"
#include "browse/browsepicture.h"
#include "platform/filenames.h"
#include "imageio/qt/qimagebridge.h"

namespace tessaria {

void TfrmTessaria::ViewImage1Click()
{
    const QString path = SelectedFilePath();
    if (!path.isEmpty())
        ShowInViewer(path);
}

void TfrmTessaria::ShowInViewer(const QString& path)
{
    if (!frmView || !FileExists(path))
        return;
    connect(frmView, &TfrmView::ResizedByUser, this, &TfrmTessaria::ViewerResizedByUser, Qt::UniqueConnection);
    connect(frmView, &TfrmView::Step, this, &TfrmTessaria::ViewerStep, Qt::UniqueConnection);
    TBusyCursor busy;
    TReducedPicture picture = LoadBrowsePicture(path, QSize(ViewerWidth, ViewerHeight), TurnsPhotosUpright());
    const QSize outer = ViewerOuterSize(QSize(ViewerWidth, ViewerHeight), QSize(picture.Width, picture.Height));
    frmView->Image1->SetPicture(ToQImage(picture.Bitmap));
    picture.Bitmap.Clear();
    frmView->SetOuterSize(outer);
    frmView->SetFileName(path);
    busy.Restore();
    if (!frmView->isVisible())
        frmView->ShowPlaced();
}

void TfrmTessaria::ViewerStep(int direction)
{
    const int count = LV1->Model()->Count();
    if (count == 0)
        return;
    const int row = LV1->SelectedRow();
    const int next = row < 0 ? (direction > 0 ? 0 : count - 1) : std::clamp(row + direction, 0, count - 1);
    if (next != row)
        RunCommand([&] { LV1->SelectRow(next); }); // the selection shows it here and in the viewer
}

void TfrmTessaria::ViewerResizedByUser(QSize before, QSize after)
{
    if (after.width() != before.width())
        ViewerWidth = after.width();
    if (after.height() != before.height())
        ViewerHeight = after.height();
}

} // namespace tessaria
