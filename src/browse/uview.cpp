#include "browse/uview.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "controls/image.h"
#include "platform/filenames.h"

namespace tessaria {

TfrmView* frmView = nullptr;

namespace {
constexpr int DesignSize = 480;

void CentreOnScreen(QWidget& window, QSize outer)
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window.move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
}
} // namespace

TfrmView::TfrmView(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName("frmView");
    setWindowTitle("View");
    setFont(QFont("MS Sans Serif", 8));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Image1 = new TImage(this);
    Image1->setObjectName("Image1");
    setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(Image1);
    resize(DesignSize, DesignSize);
    CentreOnScreen(*this, size());
}

void TfrmView::ShowPlaced()
{
    if (!Placed_)
        CentreOnScreen(*this, OuterSize());
    Placed_ = true;
    show();
    // The frame is known once the window is shown.
    if (Wanted_.isValid() && FrameExtra() != AppliedFrame_)
        SetOuterSize(Wanted_);
}

QSize TfrmView::FrameExtra() const
{
    return frameGeometry().size() - geometry().size();
}

QSize TfrmView::OuterSize() const { return size() + FrameExtra(); }

void TfrmView::SetOuterSize(QSize size)
{
    Wanted_ = size;
    AppliedFrame_ = FrameExtra();
    resize((size - AppliedFrame_).expandedTo(QSize(1, 1)));
}

void TfrmView::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The window manager adds its frame after the window was shown.
    if (Wanted_.isValid() && FrameExtra() != AppliedFrame_)
        SetOuterSize(Wanted_);
}

void TfrmView::SetFileName(const QString& path)
{
    const QString name = DisplayFileName(path.mid(path.lastIndexOf('/') + 1));
    setWindowTitle(name.isEmpty() ? QStringLiteral("View") : QStringLiteral("View - ") + name);
}

void TfrmView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A size the program did not ask for is the user's (a drag of the frame
    // or the window manager's maximise): later pictures fit into it.
    const QSize asked = Wanted_.isValid() ? (Wanted_ - AppliedFrame_).expandedTo(QSize(1, 1)) : QSize();
    if (event->spontaneous() && isVisible() && asked.isValid() && event->size() != asked) {
        const QSize before = event->oldSize() + FrameExtra();
        const QSize after = OuterSize();
        Wanted_ = after;
        AppliedFrame_ = FrameExtra();
        emit ResizedByUser(before, after);
    }
}

void TfrmView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Space:
    case Qt::Key_PageDown: emit Step(+1); return;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp: emit Step(-1); return;
    case Qt::Key_Escape: close(); return;
    default: QWidget::keyPressEvent(event);
    }
}

void TfrmView::FormClose() { Image1->SetPicture(QImage()); }

void TfrmView::closeEvent(QCloseEvent* event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TfrmView::FormMouseDown() { DownSize_ = OuterSize(); }

void TfrmView::FormMouseUp()
{
    const QSize now = OuterSize();
    if (DownSize_.isValid() && now != DownSize_)
        emit ResizedByUser(DownSize_, now);
}

void TfrmView::mousePressEvent(QMouseEvent* event)
{
    FormMouseDown();
    QWidget::mousePressEvent(event);
}

void TfrmView::mouseReleaseEvent(QMouseEvent* event)
{
    FormMouseUp();
    QWidget::mouseReleaseEvent(event);
}

} // namespace tessaria
