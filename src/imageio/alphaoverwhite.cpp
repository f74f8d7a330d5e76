#include "imageio/alphaoverwhite.h"

namespace tessaria {

void CompositeOverWhite(TBitmap& bitmap)
{
    if (bitmap.PixelFormat() != TPixelFormat::pf32bit)
        return;
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += 4) {
            const unsigned a = p[3];
            p[0] = OverWhite(p[0], a);
            p[1] = OverWhite(p[1], a);
            p[2] = OverWhite(p[2], a);
            p[3] = 255;
        }
    }
}

} // namespace tessaria
