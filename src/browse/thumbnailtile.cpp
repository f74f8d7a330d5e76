#include "browse/thumbnailtile.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "browse/browsegeometry.h"
#include "imageio/picture.h"
#include "print/core/resample.h"

namespace tessaria {

namespace {
constexpr int BoxFilter = 0;
}

QImage MakeThumbnailTile(TBitmap& picture, int thumbSize, QRgb background)
{
    QRect place = ThumbnailPlacement(thumbSize, QSize(picture.Width(), picture.Height()));
    if (place.width() < 1 || place.height() < 1) {
        const int w = std::max(1, place.width()), h = std::max(1, place.height());
        place = QRect((thumbSize - w) / 2, thumbSize - h, w, h);
    }
    TBitmap small;
    StretchInto(place.width(), place.height(), BoxFilter, 0.0f, picture, small);

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

std::optional<QImage> MakeThumbnailTileOfFile(const std::string& path, int thumbSize, QRgb background)
{
    try {
        TBitmap picture = LoadBitmapFromFile(path);
        return MakeThumbnailTile(picture, thumbSize, background);
    } catch (const std::exception&) {
        // A damaged or unreadable file simply gets no thumbnail.
        return std::nullopt;
    }
}

} // namespace tessaria
