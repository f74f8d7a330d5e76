// Parser of untrusted data: Windows bitmap files.
#include "imageio/bitmap.h"

#include "base/exceptions.h"
#include "imageio/stream.h"

namespace tessaria {

void TBitmap::LoadFromStream(TStream&)
{
    throw EInvalidGraphic("Bitmap image is not valid");
}

} // namespace tessaria
