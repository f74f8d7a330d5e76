#pragma once
// One small thumbnail: a picture resampled with the Box filter to its fitted
// size and drawn into a square tile of the list's background colour.

#include <QImage>
#include <optional>
#include <string>

#include "imageio/bitmap.h"

namespace tessaria {

// The tile for a loaded picture (switched to 24 bits on the way). A picture so
// thin that its fitted side rounds to 0 still gets a line of 1 pixel.
QImage MakeThumbnailTile(TBitmap& picture, int thumbSize, QRgb background);

// Loads the file by its extension and makes its tile; nothing when the file
// cannot be loaded or scaled. The loaded picture is freed before returning.
std::optional<QImage> MakeThumbnailTileOfFile(const std::string& path, int thumbSize, QRgb background);

} // namespace tessaria
