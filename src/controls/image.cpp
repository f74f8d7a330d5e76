#include "controls/image.h"

#include <QMouseEvent>
#include <QPainter>

namespace tessaria {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const QImage& picture)
{
    Picture_ = picture;
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    if (Picture_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), Picture_);
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(event->button(), event->modifiers(), event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit DoubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace tessaria
