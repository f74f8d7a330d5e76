#pragma once
// The bridge between bitmaps and Qt's images, for display and printing.

#include <QImage>

#include "imageio/bitmap.h"

namespace tessaria {

// A QImage that owns a copy of the pixels: palette formats become indexed
// 8-bit images with the bitmap's colours, 15 bits RGB555, 24 bits BGR888,
// 32 bits ARGB32 (straight alpha), device-dependent RGB32.
QImage ToQImage(const TBitmap& bitmap);

// A 24-bit bitmap, or a 32-bit one when the image has alpha.
TBitmap FromQImage(const QImage& image);

} // namespace tessaria
