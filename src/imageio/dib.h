#pragma once
// Device-independent bitmaps: the header, colour table and bits shared by BMP
// files and the BMP-encoded entries of icons (and, later, by metafiles).

#include <cstdint>

#include "imageio/bitmap.h"

namespace tessaria {

class TStream;

struct TDIBInfo {
    int Width = 0;
    int Height = 0;      // of the picture (half the header's for an icon entry)
    int BitCount = 0;
    bool HasAlpha = false; // 32-bit rows whose fourth byte is real alpha
    bool TopDown = false;
};

// Reads a DIB that starts at the stream's position (its header size first)
// into bitmap. bitsPosition is where the bits start (a BMP file header's
// offset, already added to the file's start), or 0 for right after the
// colour table. An icon entry's header counts the AND mask in its height;
// with iconEntry the picture is the upper half and the stream is left right
// after the colour bits, where the mask starts.
TDIBInfo ReadDIB(TStream& stream, TBitmap& bitmap, uint64_t bitsPosition, bool iconEntry = false);

} // namespace tessaria
