#pragma once
// The one limit on picture size, for every reader: large enough for the biggest
// real photographs and scans, small enough that a file of a few bytes cannot make
// the program allocate gigabytes. Checked by TBitmap before it allocates rows.

#include <cstdint>

namespace tessaria {

constexpr int64_t MaxPictureSide = 65535;
constexpr int64_t MaxPicturePixels = int64_t(1) << 28; // 268 megapixels

} // namespace tessaria
