#pragma once
// One small thumbnail: a picture resampled with the Box filter to its fitted
// size and drawn into a square tile of the list's background colour.

#include <QImage>
#include <QSize>
#include <optional>
#include <string>

#include "imageio/bitmap.h"
#include "platform/filenames.h"

namespace tessaria {

class TSharedThumbnailCache;

// The tile for a loaded picture (switched to 24 bits on the way). A picture so
// thin that its fitted side rounds to 0 still gets a line of 1 pixel.
QImage MakeThumbnailTile(TBitmap& picture, int thumbSize, QRgb background);
// The same for a picture loaded reduced: the place in the tile comes from the
// picture's own size, the pixels from the bitmap.
QImage MakeThumbnailTile(TBitmap& picture, QSize pictureSize, int thumbSize, QRgb background);

// A "normal" thumbnail of the shared cache: the picture fitted into 128 x 128
// with the Box filter (never enlarged), the fit taken from its own size.
QImage MakeNormalThumbnail(TBitmap& picture, QSize pictureSize);

// What a tile is made of.
struct TThumbnailJob {
    QString Path;     // absolute
    TFileStamp Stamp; // the file as the build saw it
    bool Upright = true; // photos turned by their camera orientation
};

// The tile of one file: from a valid thumbnail of the shared cache when there is
// one; otherwise the file is loaded (a JPEG at a reduced scale) and, when the
// picture is larger than 128 x 128, its normal thumbnail is made, stored in the
// cache and the tile made from it, so that a tile is the same whether the cache
// had the thumbnail or not. Nothing when the file cannot be loaded or scaled.
// The cache may be null (none used). The desktop's thumbnails are upright, so
// a job that keeps photos as stored neither reads nor writes the cache.
std::optional<QImage> MakeThumbnailTileOfFile(const TThumbnailJob& job, int thumbSize, QRgb background,
                                              const TSharedThumbnailCache* cache);

} // namespace tessaria
