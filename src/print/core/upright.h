#pragma once
// Pictures shown as the camera saw them: the stored bitmap turned (and, for
// the four mirrored orientations, mirrored) by its EXIF orientation.

#include "imageio/bitmap.h"

namespace tessaria {

// Turns bitmap upright for the orientation (1 to 8; anything else leaves it
// as it is); its own orientation is OrientationNormal afterwards. A picture
// that needs turning comes out in 24 bits, as the quarter turns give it.
void TurnUpright(TBitmap& bitmap, int orientation);

// The same for the orientation the bitmap's reader found.
inline void TurnUpright(TBitmap& bitmap) { TurnUpright(bitmap, bitmap.Orientation()); }

// Takes an upright picture back to the picture as stored, which then has
// that orientation again (as a reader gives it).
void TurnBackFromUpright(TBitmap& bitmap, int orientation);

} // namespace tessaria
