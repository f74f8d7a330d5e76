// The main window's side of the image viewer: showing a file in it.
#include <QFile>
#include <QFileInfo>

#include "app/utessaria.h"
#include "browse/browsegeometry.h"
#include "platform/busycursor.h"
#include "browse/uview.h"
#include "controls/image.h"
#include "imageio/picture.h"
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
    const QFileInfo file(path);
    if (!frmView || !file.exists() || file.isDir())
        return;
    connect(frmView, &TfrmView::ResizedByUser, this, &TfrmTessaria::ViewerResizedByUser, Qt::UniqueConnection);
    TBusyCursor busy;
    TBitmap picture = LoadBitmapFromFile(QFile::encodeName(path).toStdString());
    const QSize outer = ViewerOuterSize(QSize(ViewerWidth, ViewerHeight), QSize(picture.Width(), picture.Height()));
    frmView->Image1->SetPicture(ToQImage(picture));
    picture.Clear();
    frmView->SetOuterSize(outer);
    busy.Restore();
    if (!frmView->isVisible())
        frmView->ShowPlaced();
}

void TfrmTessaria::ViewerResizedByUser(QSize before, QSize after)
{
    if (after.width() != before.width())
        ViewerWidth = after.width();
    if (after.height() != before.height())
        ViewerHeight = after.height();
}

} // namespace tessaria
