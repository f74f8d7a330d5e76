#pragma once
// The orientation a camera records with a photo (EXIF and TIFF tag 274):
// where the stored picture's first row and first column belong when it is
// shown upright.

#include <cstddef>
#include <cstdint>

namespace tessaria {

enum : int {
    OrientationNormal = 1,        // as stored
    OrientationMirrored = 2,      // mirrored left to right
    OrientationHalfTurn = 3,      // turned half round
    OrientationFlipped = 4,       // mirrored top to bottom
    OrientationTransposed = 5,    // rows become columns: mirrored, and a quarter turn anticlockwise
    OrientationClockwise = 6,     // to be turned a quarter clockwise
    OrientationTransverse = 7,    // mirrored, and a quarter turn clockwise
    OrientationAnticlockwise = 8, // to be turned a quarter anticlockwise
};

// The quarter turn, in degrees clockwise (0, 90, 180, 270), that shows a
// picture of this orientation upright; a mirrored orientation gives the turn
// of its row direction, so that only a mirror image remains.
int OrientationTurn(int orientation);
// True for the four orientations that need a mirror image as well.
bool OrientationMirrors(int orientation);
// True when the upright picture's width is the stored height.
inline bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

// The orientation in an EXIF block: the bytes of a TIFF structure (byte
// order mark first), with or without the "Exif\0\0" that APP1 and some
// other containers put before it. OrientationNormal when it holds none or
// is damaged.
int ExifOrientation(const uint8_t* data, size_t size);

// The orientation in a JPEG file's first EXIF APP1 segment, found by walking
// the markers before the first scan; OrientationNormal when there is none.
int JPEGOrientation(const uint8_t* data, size_t size);

} // namespace tessaria
