#include "controls/statusbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace tessaria {

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(19);
}

int TStatusBar::AddPanel(int width, TPanelKind kind)
{
    Panels_.push_back({width, kind, QString()});
    update();
    return int(Panels_.size()) - 1;
}

void TStatusBar::SetPanelText(int index, const QString& text)
{
    TPanel& panel = Panels_.at(size_t(index));
    if (panel.Text == text)
        return;
    panel.Text = text;
    update(PanelRect(index));
}

void TStatusBar::SetGaugePosition(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == Gauge_)
        return;
    Gauge_ = percent;
    for (int i = 0; i < PanelCount(); ++i)
        if (Panels_[size_t(i)].Kind == TPanelKind::Gauge)
            update(PanelRect(i));
}

int TStatusBar::PanelAt(QPoint point) const
{
    for (int i = 0; i < PanelCount(); ++i)
        if (PanelRect(i).contains(point))
            return i;
    return -1;
}

void TStatusBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int panel = PanelAt(event->position().toPoint());
    if (panel >= 0 && event->button() == Qt::LeftButton)
        emit PanelDoubleClicked(panel);
    QWidget::mouseDoubleClickEvent(event);
}

QRect TStatusBar::PanelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += Panels_[size_t(i)].Width;
    // The last text panel takes what is left; a gauge keeps its width.
    const bool last = index == PanelCount() - 1 && Panels_[size_t(index)].Kind == TPanelKind::Text;
    const int width = last ? std::max(Panels_[size_t(index)].Width, this->width() - left) : Panels_[size_t(index)].Width;
    return QRect(left, 0, width, height());
}

QSize TStatusBar::sizeHint() const
{
    int width = 0;
    for (const TPanel& p : Panels_)
        width += p.Width;
    return QSize(width, 19);
}

void TStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < PanelCount(); ++i) {
        const TPanel& panel = Panels_[size_t(i)];
        const QRect r = PanelRect(i).adjusted(0, 1, -2, -1);
        // A sunken bevel: dark top-left, light bottom-right.
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        const QRect inner = r.adjusted(2, 1, -1, 0);
        if (panel.Kind == TPanelKind::Gauge) {
            const int filled = inner.width() * Gauge_ / 100;
            painter.fillRect(inner, palette().color(QPalette::Base));
            painter.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()),
                             palette().color(QPalette::Highlight));
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(inner, Qt::AlignCenter, QStringLiteral("%1%").arg(Gauge_));
        } else {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(inner.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             painter.fontMetrics().elidedText(panel.Text, Qt::ElideRight, inner.width() - 2));
        }
    }
}

} // namespace tessaria
