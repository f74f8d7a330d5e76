#include "browse/thumbnailtile.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "base/fitsize.h"
#include "browse/browsegeometry.h"
#include "browse/browsepicture.h"
#include "browse/sharedthumbnails.h"
#include "imageio/qt/qimagebridge.h"
#include "print/core/resample.h"

namespace tessaria {

namespace {

constexpr int BoxFilter = 0;

QImage TileOf(const TBitmap& small, QRect place, int thumbSize, QRgb background)
{
    QImage tile(thumbSize, thumbSize, QImage::Format_RGB888);
    tile.fill(background);
    for (int y = 0; y < small.Height(); ++y) {
        const uint8_t* bgr = small.ScanLine(y);
        uint8_t* rgb = tile.scanLine(place.top() + y) + 3 * place.left();
        for (int x = 0; x < small.Width(); ++x, bgr += 3, rgb += 3) {
            rgb[0] = bgr[2];
            rgb[1] = bgr[1];
            rgb[2] = bgr[0];
        }
    }
    return tile;
}

QRect TilePlace(int thumbSize, QSize pictureSize)
{
    QRect place = ThumbnailPlacement(thumbSize, pictureSize);
    if (place.width() < 1 || place.height() < 1) {
        const int w = std::max(1, place.width()), h = std::max(1, place.height());
        place = QRect((thumbSize - w) / 2, thumbSize - h, w, h);
    }
    return place;
}

QImage TileFromThumbnail(const QImage& thumbnail, QSize pictureSize, int thumbSize, QRgb background)
{
    TBitmap bitmap = FromQImage(thumbnail.convertToFormat(QImage::Format_RGB32));
    return MakeThumbnailTile(bitmap, pictureSize, thumbSize, background);
}

} // namespace

QImage MakeThumbnailTile(TBitmap& picture, int thumbSize, QRgb background)
{
    return MakeThumbnailTile(picture, QSize(picture.Width(), picture.Height()), thumbSize, background);
}

QImage MakeThumbnailTile(TBitmap& picture, QSize pictureSize, int thumbSize, QRgb background)
{
    const QRect place = TilePlace(thumbSize, pictureSize);
    TBitmap small;
    StretchInto(place.width(), place.height(), BoxFilter, 0.0f, picture, small);
    return TileOf(small, place, thumbSize, background);
}

QImage MakeNormalThumbnail(TBitmap& picture, QSize pictureSize)
{
    TSize fit{pictureSize.width(), pictureSize.height()};
    if (fit.Width > NormalThumbnailSize || fit.Height > NormalThumbnailSize)
        fit = FitSize(NormalThumbnailSize, NormalThumbnailSize, pictureSize.width(), pictureSize.height());
    TBitmap small;
    StretchInto(std::max(1, fit.Width), std::max(1, fit.Height), BoxFilter, 0.0f, picture, small);
    return ToQImage(small).convertToFormat(QImage::Format_RGB32);
}

std::optional<QImage> MakeThumbnailTileOfFile(const TThumbnailJob& job, int thumbSize, QRgb background,
                                              const TSharedThumbnailCache* cache)
{
    try {
        if (!job.Upright)
            cache = nullptr;
        if (cache)
            if (const std::optional<TSharedThumbnail> shared = cache->Read(job.Path, job.Stamp)) {
                QSize own = shared->PictureWidth > 0 ? QSize(shared->PictureWidth, shared->PictureHeight)
                                                     : shared->Image.size();
                // Thumbnailers turn a photo upright but may give the size it
                // has as stored.
                const QSize image = shared->Image.size();
                if ((own.width() > own.height() && image.width() < image.height()) ||
                    (own.width() < own.height() && image.width() > image.height()))
                    own.transpose();
                return TileFromThumbnail(shared->Image, own, thumbSize, background);
            }
        TReducedPicture picture = LoadBrowsePicture(job.Path, QSize(thumbSize, thumbSize), job.Upright);
        const QSize own(picture.Width, picture.Height);
        if (own.width() <= NormalThumbnailSize && own.height() <= NormalThumbnailSize)
            return MakeThumbnailTile(picture.Bitmap, own, thumbSize, background);
        const QImage normal = MakeNormalThumbnail(picture.Bitmap, own);
        picture.Bitmap.Clear();
        if (cache && cache->WantsNormal(job.Path, own.width(), own.height()))
            cache->WriteNormal(job.Path, job.Stamp, normal, own.width(), own.height());
        return TileFromThumbnail(normal, own, thumbSize, background);
    } catch (const std::exception&) {
        // A damaged or unreadable file simply gets no thumbnail.
        return std::nullopt;
    }
}

} // namespace tessaria
