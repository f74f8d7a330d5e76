// Parser of untrusted data: Windows bitmap files ("bmp", "dib", "rle").
#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/bitmap.h"
#include "imageio/dib.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

void TBitmap::LoadFromStream(TStream& stream)
{
    const uint64_t start = stream.Position();
    uint8_t header[14];
    stream.ReadBuffer(header, sizeof header);
    if (header[0] != 'B' || header[1] != 'M')
        throw EInvalidGraphic("Bitmap image is not valid");
    const uint32_t bitsOffset = GetLE32(header + 10);
    TBitmap result;
    // An offset of 0 (some writers) means the bits follow the colour table.
    ReadDIB(stream, result, bitsOffset ? CheckedAdd(start, bitsOffset) : 0);
    // Only a complete picture replaces the previous one.
    static_cast<TBitmap&>(*this) = std::move(result);
}

} // namespace tessaria
