#pragma once
// PNG data (as icons embed it), decoded by libpng into a 32-bit bitmap with
// alpha.

#include <cstddef>
#include <cstdint>

#include "imageio/bitmap.h"

namespace tessaria {

// Raises "PNG: <libpng's message>" on damaged data.
void DecodePNG(const uint8_t* data, size_t size, TBitmap& bitmap);

bool IsPNG(const uint8_t* data, size_t size);

} // namespace tessaria
