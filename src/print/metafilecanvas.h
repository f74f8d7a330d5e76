#pragma once
// One recorded page and the canvas that records it. The page reports the
// reference printer's resolution, so that a font of S points comes out
// S x dpiY / 72 device pixels high; all coordinates are device pixels of that
// printer with (0, 0) at the sheet's corner.
//
// Vector drawing goes into QPicture layers; a placed picture is kept between
// them as an image, in drawing order. A QPicture would store every image as
// PNG, and encoding it cost more than decoding and resampling the photo.

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTransform>
#include <memory>
#include <utility>
#include <vector>

namespace tessaria {

// A vector layer: a QPicture that reports the reference resolution.
class TPageLayer final : public QPicture {
public:
    TPageLayer(int pixelsPerInchX, int pixelsPerInchY) : DpiX_(pixelsPerInchX), DpiY_(pixelsPerInchY) {}

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    int DpiX_;
    int DpiY_;
};

// How an image of a page is made again once it was let go (a picture read
// again from its file and resampled). Made on any thread; gives the same
// pixels every time.
class TImageSource {
public:
    virtual ~TImageSource() = default;
    virtual QImage Make() const = 0;
};

class TRecordedPage {
public:
    TRecordedPage(int pixelsPerInchX, int pixelsPerInchY) : DpiX_(pixelsPerInchX), DpiY_(pixelsPerInchY) {}

    int ReferenceDpiX() const { return DpiX_; }
    int ReferenceDpiY() const { return DpiY_; }

    // Starts a new vector layer on top of everything so far.
    QPicture& OpenLayer();
    // Puts an image on top: `target` in the coordinates that `world` maps to
    // the sheet. With a source the image can be let go and made again.
    void AddImage(const QRectF& target, const QImage& image, const QTransform& world,
                  std::shared_ptr<const TImageSource> source = nullptr);

    struct TLayer {
        std::unique_ptr<TPageLayer> Vector; // null for an image
        QImage Image;                        // null while let go
        std::shared_ptr<const TImageSource> Source;
        QRectF Target;
        QTransform World;
    };
    const std::vector<TLayer>& Layers() const { return Layers_; }

    // Lets go of every image that can be made again.
    void ReleaseImages();
    // Whether every image is there to be drawn.
    bool ImagesHeld() const;
    // The images let go, with their layers' indexes; made again (on any
    // thread, from the sources alone); put back where still missing.
    using TMissingImages = std::vector<std::pair<size_t, std::shared_ptr<const TImageSource>>>;
    using TMadeImages = std::vector<std::pair<size_t, QImage>>;
    TMissingImages MissingImages() const;
    static TMadeImages MakeImages(const TMissingImages& missing);
    void PutBackImages(TMadeImages images);
    void RestoreImages() { PutBackImages(MakeImages(MissingImages())); }
    // Bytes of pixels the page holds now.
    size_t HeldImageBytes() const;

private:
    int DpiX_;
    int DpiY_;
    std::vector<TLayer> Layers_;
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
    // Draws a picture stretched into the rectangle, keeping its pixels as
    // they are; the painter's font, pen, brush and transform carry on. With
    // a source the page may let the image go and make it again.
    void DrawPicture(const QRect& target, const QImage& image, std::shared_ptr<const TImageSource> source = nullptr);

private:
    TRecordedPage& Page_;
    int Dpi_;
};

// Device pixels for a size in points at a resolution.
int PointsToPixels(double points, int pixelsPerInch);

// Replays a recorded page: `sheetToDevice` maps the page's sheet pixels into
// the painter's coordinates (an offset for a printer, a scale for a window).
// An image let go is left out.
void PlayPage(QPainter& painter, const TRecordedPage& page, const QTransform& sheetToDevice);

} // namespace tessaria
