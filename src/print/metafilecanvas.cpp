#include "print/metafilecanvas.h"

#include <cmath>

#include "base/exceptions.h"
#include "base/rounding.h"

namespace tessaria {

TRecordedPage::TRecordedPage(int pixelsPerInchX, int pixelsPerInchY) : DpiX_(pixelsPerInchX), DpiY_(pixelsPerInchY)
{
}

int TRecordedPage::metric(PaintDeviceMetric m) const
{
    switch (m) {
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return DpiX_;
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return DpiY_;
    default:
        return QPicture::metric(m);
    }
}

int PointsToPixels(double points, int pixelsPerInch) { return int(Round(points * pixelsPerInch / 72.0)); }

TTovarMetaFileCanvas::TTovarMetaFileCanvas(TRecordedPage& page) : Dpi_(page.ReferenceDpiY())
{
    if (!begin(&page))
        throw Exception("Cannot record the page");
}

QFont TTovarMetaFileCanvas::DeviceFont(const QFont& font) const
{
    QFont f = font;
    if (font.pointSizeF() > 0)
        f.setPixelSize(std::max(1, PointsToPixels(font.pointSizeF(), Dpi_)));
    return f;
}

void PlayPage(QPainter& painter, const QPicture& page, const QTransform& sheetToDevice)
{
    const QPicture plain; // reports the resolution QPicture scales from
    const QPaintDevice* device = painter.device();
    painter.save();
    painter.setWorldTransform(sheetToDevice, true);
    if (device && device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
        painter.scale(double(plain.logicalDpiX()) / device->logicalDpiX(),
                      double(plain.logicalDpiY()) / device->logicalDpiY());
    painter.drawPicture(0, 0, page);
    painter.restore();
}

} // namespace tessaria
