#pragma once
// Quarter and half turns of bitmaps, in place. A bitmap of another depth is
// switched to 24 bits per pixel first.

#include "imageio/bitmap.h"

namespace tessaria {

// w x h becomes h x w; the pixel at (x, y) moves to (h - 1 - y, x).
void RotateClockwise(TBitmap& bitmap);
// w x h becomes h x w; the pixel at (x, y) moves to (y, w - 1 - x).
void RotateAnticlockwise(TBitmap& bitmap);
// The size stays; the pixel at (x, y) moves to (w - 1 - x, h - 1 - y).
void RotateHalfTurn(TBitmap& bitmap);

// The size stays; the pixel at (x, y) moves to (w - 1 - x, y).
void MirrorLeftRight(TBitmap& bitmap);

// The turn for a box rotation in degrees clockwise: 90, 180, 270; 0 (and any
// other value) leaves the bitmap as it is.
void RotateByDegrees(TBitmap& bitmap, int degrees);

} // namespace tessaria
