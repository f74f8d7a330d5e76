#include "print/pageview.h"

#include <QPainter>
#include <QPicture>

#include "print/metafilecanvas.h"

namespace tessaria {

void PaintPage(QPainter& painter, const TRecordedPage& page, int sheetWidth, int sheetHeight, const QRect& target)
{
    if (sheetWidth <= 0 || sheetHeight <= 0 || target.isEmpty())
        return;
    painter.fillRect(target, Qt::white);
    QTransform t;
    t.translate(target.left(), target.top());
    t.scale(double(target.width()) / sheetWidth, double(target.height()) / sheetHeight);
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PlayPage(painter, page, t);
    painter.restore();
}

} // namespace tessaria
