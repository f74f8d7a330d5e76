// Parser of untrusted data: PNG files, through the PNG decoder the icons
// share.
#include "imageio/pngreader.h"

#include "imageio/largebuffer.h"
#include "imageio/pngdecode.h"
#include "imageio/stream.h"

namespace tessaria {

void TPNGGraphic::LoadFromStream(TStream& stream)
{
    TLargeBuffer data(size_t(stream.Remaining()));
    const size_t size = data ? stream.Read(data.get(), data.size()) : 0;
    static const uint8_t empty = 0;
    TBitmap decoded;
    const int orientation = DecodePNG(size ? data.get() : &empty, size, decoded, TPNGAlpha::OverWhite);
    static_cast<TBitmap&>(*this) = std::move(decoded);
    SetOrientation(orientation);
}

} // namespace tessaria
