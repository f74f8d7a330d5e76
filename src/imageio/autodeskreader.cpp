// Parser of untrusted data: old-style Autodesk Animator pictures. The
// header and palette are exact reads; a file may be short, but not by more
// than the limit allows; rows are plain reads into bitmap rows that start
// zeroed.
#include "imageio/autodeskreader.h"

#include "base/exceptions.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

void TAutodeskGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    uint8_t h[32];
    stream.ReadBuffer(h, 2);
    if (GetLE16(h) != 0x9119)
        throw Exception("Cannot load image. Only old style Autodesk images are supported.");
    stream.ReadBuffer(h + 2, sizeof h - 2);
    uint8_t colours[768];
    stream.ReadBuffer(colours, sizeof colours);
    TPalette palette(256);
    for (unsigned i = 0; i < 256; ++i)
        palette[i] = {uint8_t(colours[3 * i] * 4), uint8_t(colours[3 * i + 1] * 4), uint8_t(colours[3 * i + 2] * 4), 0};
    SetPixelFormat(TPixelFormat::pf8bit);
    SetPalette(std::move(palette));
    const unsigned width = GetLE16(h + 2), height = GetLE16(h + 4);
    CheckPictureSize(width, height);
    CheckDataSupply("Autodesk", width, height, uint64_t(width) * height, stream.Remaining(), Expansion::Raw);
    SetSize(int(width), int(height));
    if (Empty())
        return;
    for (unsigned y = 0; y < height; ++y)
        if (stream.Read(ScanLine(int(y)), width) < width)
            break; // cut short: the rest stays black
}

} // namespace tessaria
