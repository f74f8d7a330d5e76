// The main window's preview pane: the selected file scaled into the panel
// below the list, and dragging it onto a page.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>

#include "app/forms.h"
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
#include "layout/ulorvaneoptions.h"
#include "browse/browsepicture.h"
#include "platform/filenames.h"
#include "imageio/qt/qimagebridge.h"

namespace tessaria {

namespace {
// The edge of the reduced copy a box on a page shows.
constexpr int ReducedCopyEdge = 196;
} // namespace

QString TfrmTessaria::SelectedFilePath() const
{
    const int row = LV1->SelectedRow();
    if (row < 0)
        return QString();
    return JoinPath(TV1->Directory(), LV1->Model()->Item(row).Texts.Caption);
}

bool TfrmTessaria::TurnsPhotosUpright() const
{
    return !frmLorvaneOptions || frmLorvaneOptions->cbTurnByOrientation->isChecked();
}

QSize TfrmTessaria::PreviewLoadBox() const
{
    // The preview's picture is also what a drop onto a page reduces to its
    // 196 x 196 copy.
    return PnlLeftBottom->size().expandedTo(QSize(ReducedCopyEdge, ReducedCopyEdge));
}

void TfrmTessaria::ShowPreview()
{
    if (LV1->SelectedCount() != 1)
        return;
    const QString path = SelectedFilePath();
    if (!FileExists(path) || path == PreviewFile)
        return;
    TBusyCursor busy;
    sb1->SetPanelText(0, DisplayFileName(LV1->Model()->Item(LV1->SelectedRow()).Texts.Caption));
    TBrowsePicture picture = LoadBrowsePicture(path, PreviewLoadBox(), TurnsPhotosUpright());
    PreImage->SetPicture(ToQImage(picture.Bitmap));
    PreviewPicture = std::move(picture.Bitmap);
    PreviewPictureSize = QSize(picture.Width, picture.Height);
    PreviewOrientation = picture.TurnedFrom;
    sb1->SetPanelText(1, QString("%1 X %2").arg(picture.Width).arg(picture.Height));
    FitPreview();
    PreviewFile = path;
    busy.Restore();
    if (frmView && frmView->isVisible())
        ViewImage1Click();
}

void TfrmTessaria::FitPreview()
{
    // A reduced picture is placed by the size it has in its file.
    const QSize picture = PreImage->PictureWidth() < 1 || PreImage->PictureHeight() < 1 ? QSize()
                          : PreviewPictureSize.isValid() ? PreviewPictureSize
                                                         : QSize(PreImage->PictureWidth(), PreImage->PictureHeight());
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
