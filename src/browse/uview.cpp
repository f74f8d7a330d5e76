#include "browse/uview.h"

#include <QCloseEvent>
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
