#include "print/textfit.h"

#include <QFontMetricsF>
#include <cmath>

#include "print/metafilecanvas.h"
#include "print/printlayout.h"

namespace tessaria {

namespace {

QFont DeviceFontAt(const QFont& font, int dpi)
{
    QFont f = font;
    if (font.pointSizeF() > 0)
        f.setPixelSize(std::max(1, PointsToPixels(font.pointSizeF(), dpi)));
    return f;
}

QRectF TextExtent(const QFont& font, const QString& text, int width, int dpi)
{
    const QFontMetricsF metrics(DeviceFontAt(font, dpi));
    return metrics.boundingRect(QRectF(0, 0, std::max(1, width), 1e7), Qt::TextWordWrap | Qt::AlignTop | Qt::AlignLeft,
                                text);
}

bool NoText(const QString& text) { return text.trimmed().isEmpty(); }

} // namespace

int PrintedTextHeight(const QFont& font, const QString& text, int width, int dpi)
{
    if (NoText(text) || dpi <= 0)
        return 0;
    return int(std::ceil(TextExtent(font, text, width, dpi).height())) + TextDrop(dpi);
}

bool PrintedTextFits(const QFont& font, const QString& text, const QSize& box, int dpi)
{
    if (NoText(text) || dpi <= 0)
        return true;
    const QRectF extent = TextExtent(font, text, box.width(), dpi);
    // Half a pixel of slack: the metrics are fractional, the box is not.
    return extent.width() <= box.width() + 0.5 &&
           std::ceil(extent.height() - 0.5) + TextDrop(dpi) <= box.height();
}

} // namespace tessaria
