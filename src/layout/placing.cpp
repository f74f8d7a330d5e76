// The main window's picture boxes: placing a dropped picture, replacing it,
// the handlers every box gets, and deleting the selected box.
#include <QApplication>
#include <QFile>
#include <algorithm>
#include <QCheckBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QUrl>

#include "app/utessaria.h"
#include "platform/filenames.h"
#include "base/paths.h"
#include "base/rounding.h"
#include "browse/filelistview.h"
#include "controls/foldertree.h"
#include "controls/statusbar.h"
#include "imageio/orientation.h"
#include "imageio/picture.h"
#include "imageio/reducedpicture.h"
#include "layout/boxgeometry.h"
#include "layout/canvaspanel.h"
#include "layout/layoutrules.h"
#include "layout/rectbox.h"
#include "layout/screencopies.h"
#include "layout/ulorvaneoptions.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "platform/datetext.h"
#include "platform/errorbox.h"
#include "print/core/rotate.h"
#include "print/core/upright.h"

namespace tessaria {

namespace {

// Drags from the file list and the preview name their source; a drop from the
// desktop's file manager carries file URLs only.
constexpr char SourceFormat[] = "application/x-tessaria-source";

bool FromOurBrowser(const QMimeData* data) { return data && data->hasFormat(SourceFormat); }

QStringList DroppedLocalFiles(const QMimeData* data)
{
    QStringList files;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
    return files;
}

QString DroppedLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

// The quarter turn a picture is placed with: its camera orientation's, when
// the options say so. A mirrored orientation takes the turn of its rows, as
// printing turns but never mirrors.
int CameraTurn(const TBitmap& picture, const TfrmLorvaneOptions* options)
{
    return options->cbTurnByOrientation->isChecked() ? OrientationTurn(picture.Orientation()) : 0;
}

// The box's reduced copy, turned as a turned box shows it.
TBitmap TurnedReducedCopy(const TBitmap& picture, int turn)
{
    TBitmap copy = ReducedCopy(picture);
    RotateByDegrees(copy, turn);
    return copy;
}

double DefaultInches(QLineEdit* edit, double fallback, const char* fallbackText)
{
    double inches = 0;
    if (!InchesFromText(edit->text(), inches)) {
        edit->setText(fallbackText);
        inches = fallback;
    }
    return inches;
}

} // namespace

TRectBox* TfrmTessaria::CreateBox(TCanvasPanel* page, unsigned handlers)
{
    auto* box = new TRectBox(this, page);
    box->SetActiveFrameColor(QColor(255, 0, 0));
    connect(box, &TRectBox::OnPaint, this,
            [this](TRectBox* b, QPainter* canvas, QRect& r) { RunCommand([&] { RectBoxPaint(b, canvas, r); }); });
    connect(box, &TRectBox::OnClick, this, [this](TRectBox* b) { RunCommand([&] { RectBoxClick(b); }); });
    connect(box, &TRectBox::OnDblClick, this,
            [this](TRectBox* b) { RunCommand([&] { LayoutStep("Edit Text", [&] { RectBoxDblClick(b); }); }); });
    // A drag with the mouse, from press to release, is one step.
    connect(box, &TRectBox::OnMouseDown, this, [this](TRectBox*, Qt::MouseButton button, QPoint) {
        if (button != Qt::LeftButton)
            return;
        History->BeginDrag("Move");
        // The arrow keys go to the page area, not to the list that had the focus.
        ScrollBox1->setFocus(Qt::MouseFocusReason);
    });
    connect(box, &TRectBox::OnMouseUp, this, [this](TRectBox*, Qt::MouseButton button, QPoint) {
        if (button == Qt::LeftButton)
            RunCommand([this] { History->EndDrag(); });
    });
    connect(box, &TRectBox::FocusChanged, this, [this] { UpdateActions(); });
    connect(box, &TRectBox::OnDragOver, this, [this](TRectBox* b, const QMimeData* d, bool& accept) {
        RunCommand([&] { RectBoxDragOver(b, d, accept); });
    });
    if (handlers & bhDrop)
        connect(box, &TRectBox::OnDragDrop, this, [this](TRectBox* b, const QMimeData* d, QPoint at) {
            RunCommand([&] { LayoutStep("Replace Picture", [&] { RectBoxDragDrop(b, d, at); }); });
        });
    if (handlers & bhResize)
        connect(box, &TRectBox::OnResize, this, [this](TRectBox* b) { RunCommand([&] { RectBoxResize(b); }); });
    return box;
}

QString TfrmTessaria::BoxSizeText(const TRectBox* box) const
{
    return tessaria::BoxSizeText(box->Width(), box->Height(), LayoutPPI);
}

void TfrmTessaria::ClearBoxInfo()
{
    sb1->SetPanelText(0, QString());
    sb1->SetPanelText(1, QString());
}

const TBitmap* TfrmTessaria::DroppedPicture(const QMimeData* data, TBitmap& loaded, QSize& pictureSize,
                                            QString& path)
{
    if (FromOurBrowser(data)) {
        // The file selected in the list, as the preview pane shows it.
        const QModelIndexList rows = LV1->Selection() ? LV1->Selection()->selectedRows(0) : QModelIndexList();
        if (rows.size() != 1)
            return nullptr;
        path = SelectedFilePath();
        if (path == PreviewFile && !PreviewPicture.Empty()) {
            // The preview may hold a reduced picture; the box takes the file's own size.
            pictureSize = PreviewPictureSize.isValid() ? PreviewPictureSize
                                                       : QSize(PreviewPicture.Width(), PreviewPicture.Height());
            // The preview's own picture, not a copy: a big one is hundreds of megabytes.
            if (PreviewOrientation == OrientationNormal)
                return &PreviewPicture;
            // A photo the preview shows upright is taken as stored, with its
            // orientation, as a file read for the drop is.
            loaded = PreviewPicture;
            TurnBackFromUpright(loaded, PreviewOrientation);
            if (OrientationSwapsSides(PreviewOrientation))
                pictureSize.transpose();
            return &loaded;
        }
        // The preview still shows an earlier file (this one could not be
        // read for it): read the file itself, so that its reader's message
        // is shown and no box takes another file's picture.
    } else {
        path = DroppedLocalFile(data);
        if (path.isEmpty())
            return nullptr;
    }
    // Read only as large as the box's copy needs (a JPEG at a reduced scale),
    // as opening a document reads it: a big photo is not decoded whole.
    TReducedPicture read = LoadPictureForBox(FileNameString(path), ReducedCopySide, ReducedCopySide);
    loaded = std::move(read.Bitmap);
    pictureSize = QSize(read.Width, read.Height);
    RepaintWhileBusy();
    return loaded.Empty() ? nullptr : &loaded;
}

void TfrmTessaria::RepaintWhileBusy()
{
    // A big picture takes seconds to read and to reduce: the window repaints
    // between the steps, but takes no input until the drop is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmTessaria::PnlWhiteDragOver(TCanvasPanel*, const QMimeData* data, bool& accept)
{
    accept = FromOurBrowser(data) || !DroppedLocalFile(data).isEmpty();
    LV1->update();
}

void TfrmTessaria::PnlWhiteDragDrop(TCanvasPanel*, const QMimeData* data, QPoint position)
{
    if (!CurrentPage)
        return;
    // Several files, from the list or the file manager, go one after another.
    if (const QStringList files = DroppedLocalFiles(data); files.size() > 1) {
        PlaceFiles(files, position);
        return;
    }
    TBusyCursor busy;
    TBitmap loaded;
    QSize pictureSize;
    QString path;
    const TBitmap* dropped = DroppedPicture(data, loaded, pictureSize, path);
    if (!dropped)
        return; // nothing selected: the drop places nothing
    TfrmLorvaneOptions* options = Options();
    const int turn = CameraTurn(*dropped, options);
    TBitmap reduced = TurnedReducedCopy(*dropped, turn);
    loaded = TBitmap(); // the full picture goes before the box is made
    RepaintWhileBusy();
    SetDocumentSaved(false);
    const bool proportion = options->cbMaintainProportion->isChecked();

    TRectBox* box = CreateBox(CurrentPage, bhAll);
    box->SetBounds(QRect(position, box->Bounds().size()));
    box->SetProportionate(proportion);
    box->SetCanvasPPI(LayoutPPI);
    box->SetRatio((long double)pictureSize.height() / pictureSize.width());
    box->SetPictureWidth(pictureSize.width());
    box->SetPictureHeight(pictureSize.height());
    box->SetPicture(reduced);
    box->SetFileName(path);
    box->SetPictureDate(DateTimeValue(QFileInfo(path).lastModified()));
    RememberPicture(path, box->PictureWidth(), box->PictureHeight());
    box->SetFocus(true);
    box->SetTag(0);
    box->SetHidePassiveFrame(true);

    const double heightInches = DefaultInches(options->txtHeight, 4.0, "4.0");
    const double height = Round(LayoutPPI * heightInches);
    double width;
    if (proportion)
        width = Round(double((long double)height / box->Ratio()));
    else
        width = Round(LayoutPPI * DefaultInches(options->txtWidth, 6.0, "6.0"));
    // A box must stay big enough to grab and small enough to lie on its page.
    QSize wanted(int(std::clamp(width, 0.0, 1e6)), int(std::clamp(height, 0.0, 1e6)));
    // A photo taken turned is placed as if placed and then turned by hand:
    // the document keeps its format and printing turns it the usual way.
    box->SetRotation(turn);
    if (turn == 90 || turn == 270) {
        wanted.transpose();
        box->SetRatio(1 / box->Ratio());
    }
    const QSize page = CurrentPage->PageSize();
    const QSize size = NewBoxSize(wanted, page, box->BoxSize());
    box->SetBounds(KeptOnPage(QRect(NewBoxPosition(position, size, wanted, page), size), page));
    box->UnfocusAll();
    box->show();

    if (options->AutoCaption() != TAutoCaption::None) {
        box->SetFocus(true);
        tbAddTextClick();
    }
}

void TfrmTessaria::RectBoxDragOver(TRectBox* box, const QMimeData* data, bool& accept)
{
    // A caption or a free text never becomes a picture box.
    accept = !box->TextBox() && (FromOurBrowser(data) || !DroppedLocalFile(data).isEmpty());
}

void TfrmTessaria::RectBoxDragDrop(TRectBox* box, const QMimeData* data, QPoint)
{
    if (box->TextBox())
        return;
    // Read first: a file that cannot be read ends here with its reader's
    // message, before any question.
    TBitmap loaded;
    QSize pictureSize;
    QString path;
    const TBitmap* picture = DroppedPicture(data, loaded, pictureSize, path);
    if (!picture)
        return;
    // What the box needs is taken before the question, whose message loop
    // could change the preview's picture.
    const int turn = CameraTurn(*picture, Options());
    TBitmap reduced = TurnedReducedCopy(*picture, turn);
    loaded = TBitmap();
    if (Dialogs().Confirm("replace " + box->FileName() + " with " + path + "?", TMsgButtons::YesNo) != TMsgAnswer::Yes)
        return;
    SetDocumentSaved(false);
    box->SetRatio((long double)pictureSize.height() / pictureSize.width());
    if (turn == 90 || turn == 270)
        box->SetRatio(1 / box->Ratio());
    box->SetPictureWidth(pictureSize.width());
    box->SetPictureHeight(pictureSize.height());
    box->SetPictureDate(DateTimeValue(QFileInfo(path).lastModified()));
    box->SetPicture(reduced);
    const QRect before = box->Bounds();
    const double width = Round(double(before.height() / box->Ratio()));
    box->SetBounds(QRect(before.topLeft(), QSize(std::max(3 * box->BoxSize(), int(std::clamp(width, 0.0, 1e6))),
                                                 before.height())));
    box->SetFileName(path);
    box->SetRotation(turn);
    box->update();
    if (TRectBox* caption = box->LinkChild()) {
        RectBoxResize(box);
        if (Options()->AutoCaption() != TAutoCaption::None)
            caption->SetLines({CaptionFor(box)});
    }
}

void TfrmTessaria::RectBoxPaint(TRectBox* box, QPainter* canvas, QRect& rect)
{
    // The frame rectangle with its right and bottom edges left out.
    const QRect target(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1);
    QImage shown;
    if (!box->TextBox() && target.isValid()) {
        // A copy made for the box's size on the screen, sharp at any zoom.
        const qreal ratio = canvas->device()->devicePixelRatioF();
        shown = ScreenCopies->For(*box, QSize(qRound(target.width() * ratio), qRound(target.height() * ratio)));
    }
    if (!shown.isNull()) {
        canvas->drawImage(QRectF(target), shown);
    } else if (!box->TextBox() && !box->FileName().isEmpty()) {
        // A picture whose file could not be read: say so where it would be.
        canvas->fillRect(rect, QColor(240, 240, 240));
        canvas->setPen(QColor(160, 0, 0));
        canvas->drawText(rect.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap,
                         "Missing picture:\n" + FileNamePart(box->FileName()));
    }
    // Keeps a caption glued under its picture whatever moved the picture.
    if (TRectBox* child = box->LinkChild()) {
        const QRect under(box->Left(), box->Top() + box->Height(), child->Width(), child->Height());
        if (child->Bounds() != under)
            child->SetBounds(under);
    }
}

void TfrmTessaria::RectBoxClick(TRectBox* box)
{
    if (box->TextBox()) {
        sb1->SetPanelText(0, box->Caption());
        return;
    }
    sb1->SetPanelText(0, FileNamePart(box->FileName()));
    sb1->SetPanelText(1, BoxSizeText(box));
}

void TfrmTessaria::RectBoxResize(TRectBox* box)
{
    if (TRectBox* child = box->LinkChild()) {
        child->SetBounds(QRect(child->Bounds().topLeft(), QSize(box->Width(), child->Height())));
        // Glued now, not only at the picture's next paint, so that a save
        // sees the caption where the screen shows it.
        FollowPicture(box);
    }
    sb1->SetPanelText(1, BoxSizeText(box));
    if (box == SelectedBox())
        ShowBoxPosition();
}

void TfrmTessaria::RectBoxDblClick(TRectBox* box)
{
    if (box->TextBox())
        EditTextBox(box);
    else
        ShowInViewer(box->FileName());
}

void TfrmTessaria::DeleteSelectedBox()
{
    TRectBox* box = SelectedBox();
    if (!box)
        return;
    box->UnfocusAll();
    if (TRectBox* child = box->LinkChild()) {
        box->SetLinkChild(nullptr);
        RemoveBox(child);
    } else if (TRectBox* parent = box->LinkParent()) {
        parent->SetLinkChild(nullptr);
        parent->SetTag(0);
    }
    RemoveBox(box);
    ClearBoxInfo();
}

} // namespace tessaria
