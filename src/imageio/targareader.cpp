// Parser of untrusted data: Targa files. Rows are sized from the header's
// width and the picture must be one the data can fill; run-length packets
// are cut at the end of each row and carried into the next, and never read
// past the bytes the file holds.
#include "imageio/targareader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

const char* const InvalidImage = "Targa: invalid image";

unsigned PixelBytes(unsigned pixelSize)
{
    switch (pixelSize) {
    case 8: return 1;
    case 15: case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

} // namespace

size_t DecodeTargaRLE(const uint8_t* src, size_t srcSize, uint8_t* row, size_t rowBytes, unsigned pixelSize,
                      TTargaPacket& carry)
{
    const size_t bpp = PixelBytes(pixelSize);
    if (bpp == 0)
        return 0;
    const uint8_t* p = src;
    const uint8_t* const end = src + srcSize;
    size_t pixels = rowBytes / bpp;
    uint8_t* out = row;
    while (pixels > 0) {
        if (carry.PixelsLeft == 0) {
            if (p == end)
                break;
            const uint8_t h = *p++;
            carry.PixelsLeft = (h & 127u) + 1;
            carry.Repeat = h >= 128;
            if (carry.Repeat) {
                if (size_t(end - p) < bpp) {
                    carry.PixelsLeft = 0;
                    p = end;
                    break;
                }
                std::memcpy(carry.Pixel, p, bpp);
                p += bpp;
            }
        }
        const size_t n = std::min(carry.PixelsLeft, pixels);
        if (carry.Repeat) {
            for (size_t i = 0; i < n; ++i, out += bpp)
                std::memcpy(out, carry.Pixel, bpp);
        } else {
            const size_t have = std::min(n, size_t(end - p) / bpp);
            std::memcpy(out, p, have * bpp);
            out += have * bpp;
            p += have * bpp;
            if (have < n) { // the data ends inside the packet
                carry.PixelsLeft = 0;
                p = end;
                break;
            }
        }
        carry.PixelsLeft -= n;
        pixels -= n;
    }
    return size_t(p - src);
}

void TTargaGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    uint8_t h[18] = {};
    if (stream.Read(h, sizeof h) != sizeof h)
        throw Exception(InvalidImage);
    const bool topFirst = (h[17] & 0x20) != 0;
    std::vector<uint8_t> id = ReadUpTo(stream, h[0]);
    ImageID_.assign(id.begin(), id.end());

    const unsigned mapType = h[1], type = h[2], mapLength = GetLE16(h + 5), mapEntrySize = h[7];
    const unsigned pixelSize = h[16];
    const unsigned bpp = PixelBytes(pixelSize);
    const bool mapped = type == 1 || type == 9, grey = type == 3 || type == 11;
    const bool trueColour = type == 2 || type == 10;
    if (type != 0) {
        // Indices and greys are bytes; true colour is 15 to 32 bits.
        if (bpp == 0 || ((mapped || grey) && bpp != 1) || (trueColour && bpp == 1))
            throw Exception(InvalidImage);
    }
    SetPixelFormat(bpp == 1 ? TPixelFormat::pf8bit
                   : bpp == 2 ? TPixelFormat::pf15bit
                   : bpp == 4 ? TPixelFormat::pf32bit
                              : TPixelFormat::pf24bit);

    const unsigned entryBytes = mapEntrySize == 24 ? 3 : mapEntrySize == 32 ? 4 : 2;
    std::vector<uint8_t> map;
    if (mapType == 1)
        map = ReadUpTo(stream, uint64_t(mapLength) * entryBytes); // read even when unused, to reach the pixels
    if (grey) {
        TPalette palette(256);
        for (unsigned i = 0; i < 256; ++i)
            palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        SetPalette(std::move(palette));
    } else if (mapType == 1) {
        const size_t n = std::min<size_t>(map.size() / entryBytes, MaxPaletteEntries);
        TPalette palette(n);
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* e = map.data() + i * entryBytes;
            if (entryBytes >= 3) {
                palette[i] = {e[2], e[1], e[0], 0};
            } else {
                const unsigned v = GetLE16(e);
                palette[i] = {uint8_t(((v >> 10) & 31) * 8), uint8_t(((v >> 5) & 31) * 8), uint8_t((v & 31) * 8), 0};
            }
        }
        SetPalette(std::move(palette));
    }

    const int width = GetLE16(h + 12), height = GetLE16(h + 14);
    CheckPictureSize(width, height);
    const bool known = mapped || grey || trueColour;
    const size_t rowSize = size_t(bpp) * size_t(width);
    // A kind without pixel data still makes a bitmap, which no data backs.
    const uint64_t needed = known ? uint64_t(rowSize) * uint64_t(height)
                                  : PaddedRowBytes(uint64_t(width), uint64_t(BitsPerPixel())) * uint64_t(height);
    // Uncompressed rows must all be there: a short one is an error anyway.
    if (known && type < 9 && stream.Remaining() < needed)
        throw Exception(InvalidImage);
    CheckDataSupply("Targa", width, height, needed, known ? stream.Remaining() : 0,
                    type < 9 ? Expansion::Raw : Expansion::RunLength);
    SetSize(width, height);
    if (!known || Empty())
        return; // no image data, or a kind this reader does not know
    auto target = [&](int y) { return ScanLine(topFirst ? y : height - 1 - y); };

    if (type < 9) {
        for (int y = 0; y < height; ++y)
            if (stream.Read(target(y), rowSize) != rowSize)
                throw Exception(InvalidImage);
        return;
    }
    // Packets may run across rows: decode the rest of the file as one stream.
    const std::vector<uint8_t> packed = ReadRemaining(stream);
    TTargaPacket carry;
    size_t used = 0;
    for (int y = 0; y < height; ++y)
        used += DecodeTargaRLE(packed.data() + used, packed.size() - used, target(y), rowSize, pixelSize, carry);
}

} // namespace tessaria
