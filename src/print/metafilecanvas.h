#pragma once
// One recorded page and the canvas that records it. The page is a QPicture
// that reports the reference printer's resolution, so that a font of S points
// comes out S x dpiY / 72 device pixels high; all coordinates are device
// pixels of that printer with (0, 0) at the sheet's corner.

#include <QPainter>
#include <QPicture>
#include <QTransform>

namespace tessaria {

class TRecordedPage final : public QPicture {
public:
    TRecordedPage(int pixelsPerInchX, int pixelsPerInchY);

    int ReferenceDpiX() const { return DpiX_; }
    int ReferenceDpiY() const { return DpiY_; }

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    int DpiX_;
    int DpiY_;
};

// The recording canvas: a painter on one page, with fonts at the page's
// vertical resolution.
class TTovarMetaFileCanvas final : public QPainter {
public:
    explicit TTovarMetaFileCanvas(TRecordedPage& page);

    int PixelsPerInch() const { return Dpi_; }
    // The font with its size in points turned into device pixels (a font
    // already sized in pixels stays as it is).
    QFont DeviceFont(const QFont& font) const;
    // Sets a font given in points.
    void SetPointFont(const QFont& font) { setFont(DeviceFont(font)); }

private:
    int Dpi_;
};

// Device pixels for a size in points at a resolution.
int PointsToPixels(double points, int pixelsPerInch);

// Replays a recorded page: `sheetToDevice` maps the page's sheet pixels into
// the painter's coordinates (an offset for a printer, a scale for a window).
// QPicture scales a replay by the target's resolution on its own; that is
// undone here, since the page is already in device pixels.
void PlayPage(QPainter& painter, const QPicture& page, const QTransform& sheetToDevice);

} // namespace tessaria
