#pragma once
// PNG data, decoded by libpng: the PNG format's own files, and the PNG
// entries of icons.

#include <cstddef>
#include <cstdint>

#include "imageio/bitmap.h"

namespace tessaria {

enum class TPNGAlpha {
    Keep,      // always a 32-bit bitmap with the file's alpha (icons)
    OverWhite, // grey, colour or, with alpha, 32-bit composited onto white and opaque
};

// Decodes PNG data into bitmap and gives its EXIF orientation (an eXIf
// chunk before the image data), or OrientationNormal. Raises
// "PNG: <libpng's message>" on damaged data and the limits' messages for
// pictures too large for the program or for their data; data that ends
// after some rows leaves the rest of the picture as it is.
int DecodePNG(const uint8_t* data, size_t size, TBitmap& bitmap, TPNGAlpha alpha = TPNGAlpha::Keep);

bool IsPNG(const uint8_t* data, size_t size);

} // namespace tessaria
