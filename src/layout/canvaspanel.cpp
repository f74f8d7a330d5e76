#include "layout/canvaspanel.h"

#include <QDragEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include "layout/rectbox.h"

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
    if (Bevel_) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.drawLine(0, 0, 0, height() - 1);
        painter.setPen(shadow);
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
        painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    }
    if (ShowGrid_ && Graularity_ >= 2) {
        painter.setPen(shadow);
        for (int x = 0; x < width(); x += Graularity_)
            painter.drawLine(x, 0, x, height() - 1);
        for (int y = 0; y < height(); y += Graularity_)
            painter.drawLine(0, y, width() - 1, y);
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
    emit MouseUp(event->button(), event->position().toPoint());
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
    emit DragDrop(event->mimeData(), event->position().toPoint());
    event->acceptProposedAction();
}

} // namespace tessaria
