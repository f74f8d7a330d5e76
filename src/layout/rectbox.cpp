#include "layout/rectbox.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "imageio/qt/qimagebridge.h"
#include "layout/canvaspanel.h"
#include "layout/viewgeometry.h"

namespace tessaria {

namespace {

// Every live box in creation order; a box's owner picks its own from here.
std::vector<TRectBox*>& Registry()
{
    static std::vector<TRectBox*> boxes;
    return boxes;
}

Qt::CursorShape CursorFor(TZoneCursor c)
{
    switch (c) {
    case TZoneCursor::SizeNWSE: return Qt::SizeFDiagCursor;
    case TZoneCursor::SizeNESW: return Qt::SizeBDiagCursor;
    case TZoneCursor::SizeHorizontal: return Qt::SizeHorCursor;
    case TZoneCursor::SizeVertical: return Qt::SizeVerCursor;
    default: return Qt::ArrowCursor;
    }
}

template <class T>
bool Store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

TRectBox::TRectBox(QObject* owner, QWidget* parent) : QWidget(parent), Owner_(owner)
{
    Registry().push_back(this);
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_NoSystemBackground);
    SetBounds(QRect(0, 0, 100, 100));
}

TRectBox::~TRectBox()
{
    auto& boxes = Registry();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
}

QList<TRectBox*> TRectBox::BoxesOf(const QObject* owner)
{
    QList<TRectBox*> result;
    for (TRectBox* box : Registry())
        if (box->Owner_ == owner)
            result << box;
    return result;
}

QRect TRectBox::Bounds() const
{
    if (!HasBounds_ || geometry() != Placed_) {
        Bounds_ = PageRect(geometry(), ViewScale());
        Placed_ = geometry();
        HasBounds_ = true;
    }
    return Bounds_;
}

void TRectBox::SetBounds(const QRect& bounds)
{
    Bounds_ = bounds;
    HasBounds_ = true;
    Place();
}

double TRectBox::ViewScale() const
{
    const auto* page = qobject_cast<const TCanvasPanel*>(parentWidget());
    return page ? page->Scale() : 1.0;
}

void TRectBox::Place()
{
    const QRect bounds = Bounds();
    Placed_ = ScreenRect(bounds, ViewScale());
    if (geometry() != Placed_)
        setGeometry(Placed_);
}

namespace {

// The size of a box's page in page pixels.
QSize PageOf(const QWidget* parent)
{
    if (const auto* page = qobject_cast<const TCanvasPanel*>(parent))
        return page->PageSize();
    return parent->size();
}

} // namespace

void TRectBox::SetAutoSize(bool v)
{
    if (Store(AutoSize_, v))
        update();
}

void TRectBox::SetFrameType(TFrameType v)
{
    if (Store(FrameType_, v))
        update();
}

void TRectBox::SetHidePassiveFrame(bool v)
{
    if (Store(HidePassiveFrame_, v))
        update();
}

void TRectBox::SetCaption(const QString& v)
{
    if (Store(Caption_, v))
        update();
}

void TRectBox::SetFileName(const QString& v)
{
    if (Store(FileName_, v))
        update();
}

void TRectBox::SetBoxSize(int v)
{
    int stored = 0;
    if (v == BoxSize_ || !NormalisedBoxSize(v, stored))
        return;
    BoxSize_ = stored;
    update();
}

void TRectBox::SetBoxColor(const QColor& v)
{
    if (Store(BoxColor_, v))
        update();
}

void TRectBox::SetActiveFrameColor(const QColor& v)
{
    if (Store(ActiveFrameColor_, v))
        update();
}

void TRectBox::SetPassiveFrameColor(const QColor& v)
{
    if (Store(PassiveFrameColor_, v))
        update();
}

void TRectBox::SetDrawFrame(bool v)
{
    if (Store(DrawFrame_, v))
        update();
}

void TRectBox::SetDrawBoxes(bool v)
{
    if (Store(DrawBoxes_, v))
        update();
}

void TRectBox::SetShowPos(bool v)
{
    if (Store(ShowPos_, v))
        update();
}

void TRectBox::SetShowSize(bool v)
{
    if (Store(ShowSize_, v))
        update();
}

void TRectBox::SetInfoTextColor(const QColor& v)
{
    if (Store(InfoTextColor_, v))
        update();
}

void TRectBox::SetFocus(bool v)
{
    if (Store(Focus_, v)) {
        update();
        emit FocusChanged(this);
    }
}

void TRectBox::SetFont(const QFont& v)
{
    if (Store(Font_, v))
        update();
}

void TRectBox::SetFontColor(const QColor& v)
{
    if (Store(FontColor_, v))
        update();
}

const TBitmap& TRectBox::Picture() const
{
    static const TBitmap none;
    return Picture_ ? *Picture_ : none;
}

void TRectBox::SetPicture(const TBitmap& picture) { SetSharedPicture(std::make_shared<const TBitmap>(picture)); }

void TRectBox::SetSharedPicture(std::shared_ptr<const TBitmap> picture)
{
    if (picture == Picture_)
        return;
    Picture_ = std::move(picture);
    PictureImageValid_ = false;
}

const QImage& TRectBox::PictureImage() const
{
    if (!PictureImageValid_) {
        PictureImage_ = HasPicture() ? ToQImage(*Picture_) : QImage();
        PictureImageValid_ = true;
    }
    return PictureImage_;
}

void TRectBox::ReleasePicture()
{
    Picture_.reset();
    PictureImage_ = QImage();
    PictureImageValid_ = true;
}

void TRectBox::SetTextBox(bool v)
{
    if (Store(TextBox_, v))
        update();
}

void TRectBox::SetCanvasPPI(int v)
{
    if (Store(CanvasPPI_, v))
        update();
}

void TRectBox::SetAlignment(TAlignment v)
{
    if (Store(Alignment_, v))
        update();
}

void TRectBox::SetLines(const QStringList& v)
{
    Lines_ = v;
    update();
}

void TRectBox::UnfocusAll()
{
    for (TRectBox* box : BoxesOf(Owner_))
        if (box->Focus_) {
            box->Focus_ = false;
            box->update();
            emit box->FocusChanged(box);
        }
}

QFont TRectBox::PageFont() const
{
    QFont font = Font_;
    if (CanvasPPI_ > 0 && Font_.pointSizeF() > 0)
        font.setPixelSize(std::max(1, int(Font_.pointSizeF() * CanvasPPI_ / 72.0 + 0.5)));
    return font;
}

int TRectBox::Inset() const
{
    switch (FrameType_) {
    case TFrameType::ftOuter: return 0;
    case TFrameType::ftInner: return BoxSize_;
    case TFrameType::ftMiddle: return BoxSize_ / 2;
    }
    return 0;
}

QRect TRectBox::TextArea() const
{
    const int shrink = Inset() + 1;
    return rect().adjusted(shrink, shrink, -shrink, -shrink);
}

QRect TRectBox::FrameRect() const
{
    const int i = Inset();
    return QRect(QPoint(i, i), QPoint(width() - 1 - i, height() - 1 - i));
}

void TRectBox::paintEvent(QPaintEvent*)
{
    if (AutoSize_) {
        const QFontMetrics metrics(PageFont());
        const QSize extent(metrics.horizontalAdvance(Caption_), metrics.height());
        if (extent != Bounds().size() && extent.width() > 0)
            SetBounds(QRect(Bounds().topLeft(), extent));
    }
    QPainter canvas(this);
    const int i = Inset();
    const int W = width(), H = height(), B = BoxSize_;
    const QRect textArea = TextArea();
    QRect frame = FrameRect();
    emit OnPaint(this, &canvas, frame);

    if (DrawFrame_ && (Focus_ || !HidePassiveFrame_)) {
        canvas.setPen(Focus_ ? ActiveFrameColor_ : PassiveFrameColor_);
        canvas.setBrush(Qt::NoBrush);
        const QPoint corners[] = {{i, i}, {W - 1 - i, i}, {W - 1 - i, H - 1 - i}, {i, H - 1 - i}, {i, i}};
        canvas.drawPolyline(corners, 5);
    }
    if (DrawBoxes_ && Focus_) {
        const THandles handles = HandlePositions(W, H, B);
        for (const QPoint& corner : handles.Corner)
            canvas.fillRect(QRect(corner, QSize(B, B)), BoxColor_);
    }
    if (Focus_ && (ShowPos_ || ShowSize_)) {
        QFont info("MS Sans Serif");
        info.setPixelSize(10);
        canvas.save();
        canvas.setFont(info);
        canvas.setPen(InfoTextColor_);
        canvas.setClipRect(textArea);
        const int ascent = QFontMetrics(info).ascent();
        const QRect bounds = Bounds();
        if (ShowPos_)
            canvas.drawText(B + 2, B + ascent, QStringLiteral("L:%1 T:%2").arg(bounds.x()).arg(bounds.y()));
        if (ShowSize_)
            canvas.drawText(B + 2, 10 + B + 3 + ascent,
                            QStringLiteral("W:%1 H:%2").arg(bounds.width()).arg(bounds.height()));
        canvas.restore();
    }
    if (TextBox_) {
        // Laid out in page pixels at paper scale and drawn at the zoom, so it
        // wraps the same at every zoom and stays sharp.
        const double s = ViewScale();
        canvas.save();
        canvas.setRenderHint(QPainter::TextAntialiasing);
        canvas.scale(s, s);
        canvas.setFont(PageFont());
        canvas.setPen(FontColor_);
        int flags = Qt::TextWordWrap | Qt::AlignTop;
        switch (Alignment_) {
        case TAlignment::taLeftJustify: flags |= Qt::AlignLeft; break;
        case TAlignment::taRightJustify: flags |= Qt::AlignRight; break;
        case TAlignment::taCenter: flags |= Qt::AlignHCenter; break;
        }
        const QRectF area(textArea.x() / s, textArea.y() / s, textArea.width() / s, textArea.height() / s);
        canvas.drawText(area, flags, Lines_.join('\n'));
        canvas.restore();
    }
}

void TRectBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Press_ = event->position().toPoint();
        Pressed_ = true;
        // The zone under the press is the one the last hover chose; a press
        // that arrives without a hover (from a pen, or a test) finds it too.
        DragMode_ = HitZone(Press_.x(), Press_.y(), width(), height(), BoxSize_).Mode;
        if (AutoForeGround_)
            raise();
        UnfocusAll();
        Focus_ = true;
        update();
        emit FocusChanged(this);
    }
    emit OnMouseDown(this, event->button(), event->position().toPoint());
}

void TRectBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton)) {
        const THitZone zone = HitZone(p.x(), p.y(), width(), height(), BoxSize_);
        DragMode_ = zone.Mode;
        if (zone.Cursor != TZoneCursor::Unchanged)
            setCursor(CursorFor(zone.Cursor));
        return;
    }
    if (Press_.x() < 0 || Press_.y() < 0)
        return;
    if (DragMode_ != TDragMode::None) {
        // In page pixels: the press point, and the pointer as far from it as
        // the screen distance at this zoom.
        const double s = ViewScale();
        const int pressX = PageDistance(Press_.x(), s), pressY = PageDistance(Press_.y(), s);
        const int x = pressX + PageDistance(p.x() - Press_.x(), s), y = pressY + PageDistance(p.y() - Press_.y(), s);
        const QRect now = Bounds();
        QRect bounds = DragBounds(DragMode_, now, x, y, pressX, pressY, Proportionate_, Ratio_);
        // A box dragged past its page's edge could never be grabbed again.
        bool reachable = true;
        if (const QWidget* parent = parentWidget()) {
            const QSize page = PageOf(parent);
            if (DragMode_ == TDragMode::Move)
                bounds = KeptOnPage(bounds, page);
            else
                reachable = ReachesPage(bounds, page) || !ReachesPage(now, page);
        }
        if (AcceptableBounds(bounds, BoxSize_) && reachable && bounds != now) {
            SetBounds(bounds);
            update();
        }
    }
    emit OnResize(this);
}

void TRectBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = Pressed_ && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton) {
        Press_ = QPoint(-1, -1);
        Pressed_ = false;
        DragMode_ = TDragMode::None;
        update();
    }
    emit OnMouseUp(this, event->button(), event->position().toPoint());
    if (click)
        emit OnClick(this);
}

void TRectBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The press of a double click selects as a single press does.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit OnDblClick(this);
}

void TRectBox::dragEnterEvent(QDragEnterEvent* event)
{
    bool accept = false;
    emit OnDragOver(this, event->mimeData(), accept);
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TRectBox::dragMoveEvent(QDragMoveEvent* event)
{
    bool accept = false;
    emit OnDragOver(this, event->mimeData(), accept);
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TRectBox::dropEvent(QDropEvent* event)
{
    emit OnDragDrop(this, event->mimeData(), event->position().toPoint());
    event->acceptProposedAction();
}

} // namespace tessaria
