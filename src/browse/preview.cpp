// The main window's preview pane: the selected file scaled into the panel
// below the list, and dragging it onto a page.
#include <QFile>
#include <QFileInfo>
#include <QFrame>

#include "app/utessaria.h"
#include "base/paths.h"
#include "browse/browsegeometry.h"
#include "platform/busycursor.h"
#include "browse/dragstarter.h"
#include "browse/filelistmodel.h"
#include "browse/filelistview.h"
#include "browse/uview.h"
#include "controls/foldertree.h"
#include "controls/image.h"
#include "controls/statusbar.h"
#include "imageio/picture.h"
#include "imageio/qt/qimagebridge.h"

namespace tessaria {

QString TfrmTessaria::SelectedFilePath() const
{
    const int row = LV1->SelectedRow();
    if (row < 0)
        return QString();
    const std::string folder = WithTrailingBackslash(TV1->Directory().toStdString());
    return QString::fromStdString(folder) + LV1->Model()->Item(row).Texts.Caption;
}

void TfrmTessaria::ShowPreview()
{
    if (LV1->SelectedCount() != 1)
        return;
    const QString path = SelectedFilePath();
    const QFileInfo file(path);
    if (!file.exists() || file.isDir() || path == PreviewFile)
        return;
    TBusyCursor busy;
    sb1->SetPanelText(0, file.fileName());
    TBitmap picture = LoadBitmapFromFile(QFile::encodeName(path).toStdString());
    PreImage->SetPicture(ToQImage(picture));
    PreviewPicture = std::move(picture);
    sb1->SetPanelText(1, QString("%1 X %2").arg(PreviewPicture.Width()).arg(PreviewPicture.Height()));
    FitPreview();
    PreviewFile = path;
    busy.Restore();
    if (frmView && frmView->isVisible())
        ViewImage1Click();
}

void TfrmTessaria::FitPreview()
{
    const QSize picture(PreImage->PictureWidth(), PreImage->PictureHeight());
    if (picture.width() < 1 || picture.height() < 1)
        return;
    PreImage->setGeometry(PreviewPlacement(PnlLeftBottom->size(), picture));
}

void TfrmTessaria::PnlLeftBottomResize() { FitPreview(); }

void TfrmTessaria::PreImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint position)
{
    // An empty preview has nothing a page could take.
    if (button == Qt::LeftButton && PreviewDrag && PreviewPicture.Width() > 0)
        PreviewDrag->Arm(position);
}

QMimeData* TfrmTessaria::PreviewDragData() const { return MakeFileDragData(PreviewFile, "preview"); }

} // namespace tessaria
