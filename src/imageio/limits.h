#pragma once
// The one limit on picture size, for every reader: large enough for the biggest
// real photographs and scans, small enough that a file of a few bytes cannot make
// the program allocate gigabytes. TBitmap::SetSize checks it before it allocates
// rows; a reader that needs a buffer of the picture's size before it has a bitmap
// (a whole decoded image, a strip) checks it first with CheckPictureSize.

#include <cstdint>

namespace tessaria {

constexpr int64_t MaxPictureSide = 65535;
constexpr int64_t MaxPicturePixels = int64_t(1) << 28; // 268 megapixels

struct TPictureLimits {
    int64_t MaxSide = MaxPictureSide;
    int64_t MaxPixels = MaxPicturePixels;
};

// The limits in force. Only fuzz targets and tests lower them, to keep
// their runs fast; the program uses the defaults above.
const TPictureLimits& PictureLimits();
void SetPictureLimits(const TPictureLimits& limits);

// Raises EInvalidGraphic "Picture too large (W x H pixels)" or "Invalid picture
// size" when a picture of width x height is negative or beyond the limits.
void CheckPictureSize(int64_t width, int64_t height);

} // namespace tessaria
