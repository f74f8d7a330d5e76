#pragma once
// Transparent pictures on paper: every pixel of a 32-bit bitmap composited
// onto white and made opaque, as browsers and image viewers show them.

#include "imageio/bitmap.h"

namespace tessaria {

void CompositeOverWhite(TBitmap& bitmap);

// One pixel's channel over white.
inline uint8_t OverWhite(unsigned value, unsigned alpha)
{
    return uint8_t((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

} // namespace tessaria
