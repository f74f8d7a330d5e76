#include "layout/canvaspanel.h"

#include <QDragEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "layout/rectbox.h"
#include "layout/viewgeometry.h"

namespace tessaria {

TCanvasPanel::TCanvasPanel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
}

void TCanvasPanel::SetShowGrid(bool value)
{
    if (value == ShowGrid_)
        return;
    if (value && Graularity_ < 1)
        Graularity_ = 10;
    ShowGrid_ = value;
    update();
}

void TCanvasPanel::SetGraularity(int value)
{
    if (value == Graularity_)
        return;
    Graularity_ = value < 2 ? 2 : value;
    update();
}

QSize TCanvasPanel::PageSize() const
{
    // A size given to the widget itself (at scale 1 the same numbers) is taken as the page's.
    if (Placed_ != size()) {
        PageSize_ = tessaria::PageSize(size(), Scale_);
        Placed_ = size();
    }
    return PageSize_;
}

void TCanvasPanel::SetPageSize(const QSize& pageSize)
{
    PageSize_ = pageSize;
    Placed_ = ScreenSize(pageSize, Scale_);
    resize(Placed_);
}

void TCanvasPanel::SetScale(double scale)
{
    if (scale <= 0 || scale == Scale_)
        return;
    const QSize page = PageSize();
    Scale_ = scale;
    SetPageSize(page);
    for (TRectBox* box : findChildren<TRectBox*>(Qt::FindDirectChildrenOnly))
        box->Place();
    update();
}

void TCanvasPanel::SetMarginLine(bool value)
{
    if (value == MarginLine_)
        return;
    MarginLine_ = value;
    update();
}

QPoint TCanvasPanel::ToPage(QPointF screen) const
{
    return QPoint(int(std::floor(screen.x() / Scale_)), int(std::floor(screen.y() / Scale_)));
}

void TCanvasPanel::SetColor(const QColor& colour)
{
    if (colour == Color_)
        return;
    Color_ = colour;
    update();
}

void TCanvasPanel::SetBevel(bool raised)
{
    if (raised == Bevel_)
        return;
    Bevel_ = raised;
    update();
}

void TCanvasPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Color_);
    const QColor shadow = palette().color(QPalette::Dark);
    if (MarginLine_) {
        painter.setPen(QPen(QColor(110, 140, 190), 1, Qt::DashLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    } else if (Bevel_) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.drawLine(0, 0, 0, height() - 1);
        painter.setPen(shadow);
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
        painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    }
    if (ShowGrid_ && Graularity_ >= 2) {
        // Every Graularity page pixels, wherever the zoom puts them.
        painter.setPen(shadow);
        const QSize page = PageSize();
        for (int x = 0; x < page.width(); x += Graularity_) {
            const int sx = int(std::floor(x * Scale_ + 0.5));
            painter.drawLine(sx, 0, sx, height() - 1);
        }
        for (int y = 0; y < page.height(); y += Graularity_) {
            const int sy = int(std::floor(y * Scale_ + 0.5));
            painter.drawLine(0, sy, width() - 1, sy);
        }
    }
}

void TCanvasPanel::mousePressEvent(QMouseEvent* event)
{
    Pressed_ = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TCanvasPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = Pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    Pressed_ = false;
    emit MouseUp(event->button(), ToPage(event->position()));
    if (click)
        emit Click();
}

bool TCanvasPanel::OnTextBox(QPoint at) const
{
    const auto* box = qobject_cast<const TRectBox*>(childAt(at));
    return box && box->TextBox();
}

void TCanvasPanel::dragEnterEvent(QDragEnterEvent* event)
{
    bool accept = false;
    if (!OnTextBox(event->position().toPoint()))
        emit DragOver(event->mimeData(), accept);
    accept ? event->acceptProposedAction() : event->ignore();
}

void TCanvasPanel::dragMoveEvent(QDragMoveEvent* event)
{
    bool accept = false;
    if (!OnTextBox(event->position().toPoint()))
        emit DragOver(event->mimeData(), accept);
    accept ? event->acceptProposedAction() : event->ignore();
}

void TCanvasPanel::dropEvent(QDropEvent* event)
{
    if (OnTextBox(event->position().toPoint())) {
        event->ignore();
        return;
    }
    emit DragDrop(event->mimeData(), ToPage(event->position()));
    event->acceptProposedAction();
}

} // namespace tessaria
