#include "print/metafilecanvas.h"

#include <cmath>

#include "base/exceptions.h"
#include "base/rounding.h"

namespace tessaria {

int TPageLayer::metric(PaintDeviceMetric m) const
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

QPicture& TRecordedPage::OpenLayer()
{
    TLayer layer;
    layer.Vector = std::make_unique<TPageLayer>(DpiX_, DpiY_);
    Layers_.push_back(std::move(layer));
    return *Layers_.back().Vector;
}

void TRecordedPage::AddImage(const QRectF& target, const QImage& image, const QTransform& world,
                             std::shared_ptr<const TImageSource> source)
{
    TLayer layer;
    layer.Image = image;
    layer.Source = std::move(source);
    layer.Target = target;
    layer.World = world;
    Layers_.push_back(std::move(layer));
}

void TRecordedPage::ReleaseImages()
{
    for (TLayer& layer : Layers_)
        if (layer.Source)
            layer.Image = QImage();
}

bool TRecordedPage::ImagesHeld() const
{
    for (const TLayer& layer : Layers_)
        if (!layer.Vector && layer.Image.isNull() && layer.Source)
            return false;
    return true;
}

TRecordedPage::TMissingImages TRecordedPage::MissingImages() const
{
    TMissingImages missing;
    for (size_t i = 0; i < Layers_.size(); ++i) {
        const TLayer& layer = Layers_[i];
        if (!layer.Vector && layer.Image.isNull() && layer.Source)
            missing.emplace_back(i, layer.Source);
    }
    return missing;
}

TRecordedPage::TMadeImages TRecordedPage::MakeImages(const TMissingImages& missing)
{
    TMadeImages made;
    for (const auto& [index, source] : missing)
        made.emplace_back(index, source->Make());
    return made;
}

void TRecordedPage::PutBackImages(TMadeImages images)
{
    for (auto& [index, image] : images)
        if (index < Layers_.size() && Layers_[index].Image.isNull())
            Layers_[index].Image = std::move(image);
}

size_t TRecordedPage::HeldImageBytes() const
{
    size_t bytes = 0;
    for (const TLayer& layer : Layers_)
        bytes += size_t(layer.Image.sizeInBytes());
    return bytes;
}

int PointsToPixels(double points, int pixelsPerInch) { return int(Round(points * pixelsPerInch / 72.0)); }

TTovarMetaFileCanvas::TTovarMetaFileCanvas(TRecordedPage& page) : Page_(page), Dpi_(page.ReferenceDpiY())
{
    if (!begin(&page.OpenLayer()))
        throw Exception("Cannot record the page");
}

QFont TTovarMetaFileCanvas::DeviceFont(const QFont& font) const
{
    QFont f = font;
    if (font.pointSizeF() > 0)
        f.setPixelSize(std::max(1, PointsToPixels(font.pointSizeF(), Dpi_)));
    return f;
}

void TTovarMetaFileCanvas::DrawPicture(const QRect& target, const QImage& image,
                                       std::shared_ptr<const TImageSource> source)
{
    const QFont font = this->font();
    const QPen pen = this->pen();
    const QBrush brush = this->brush();
    const QBrush background = this->background();
    const Qt::BGMode mode = backgroundMode();
    const QTransform world = worldTransform();
    const RenderHints hints = renderHints();
    const qreal opacity = this->opacity();
    end();
    Page_.AddImage(target, image, world, std::move(source));
    if (!begin(&Page_.OpenLayer()))
        throw Exception("Cannot record the page");
    setFont(font);
    setPen(pen);
    setBrush(brush);
    setBackground(background);
    setBackgroundMode(mode);
    setWorldTransform(world);
    setRenderHints(hints);
    setOpacity(opacity);
}

void PlayPage(QPainter& painter, const TRecordedPage& page, const QTransform& sheetToDevice)
{
    // QPicture scales a replay by the target's resolution on its own; that is
    // undone here, since the page is already in device pixels.
    const QPicture plain;
    const QPaintDevice* device = painter.device();
    for (const TRecordedPage::TLayer& layer : page.Layers()) {
        painter.save();
        painter.setWorldTransform(sheetToDevice, true);
        if (layer.Vector) {
            if (device && device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
                painter.scale(double(plain.logicalDpiX()) / device->logicalDpiX(),
                              double(plain.logicalDpiY()) / device->logicalDpiY());
            painter.drawPicture(0, 0, *layer.Vector);
        } else if (!layer.Image.isNull()) {
            painter.setWorldTransform(layer.World, true);
            painter.drawImage(layer.Target, layer.Image);
        }
        painter.restore();
    }
}

} // namespace tessaria
