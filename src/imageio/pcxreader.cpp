// Parser of untrusted data: PCX files. Rows are sized from the picture's
// width, a stated line length must hold them, the picture must be one the
// data can fill, and lines are decoded one at a time as the data goes.
#include "imageio/pcxreader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/decoders.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

// Writers pad lines to an even length, some to 4 or 8 bytes; anything
// longer is no real file, only a way to ask for memory.
constexpr uint64_t MaxLinePadding = 64;

TPalette GreyRamp(unsigned n, unsigned step)
{
    TPalette palette(n);
    for (unsigned i = 0; i < n; ++i)
        palette[i] = {uint8_t(i * step), uint8_t(i * step), uint8_t(i * step), 0};
    return palette;
}

} // namespace

void TPCXGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    const uint64_t start = stream.Position();
    uint8_t h[128] = {};
    stream.Read(h, sizeof h); // a short header reads as zeros
    if (h[0] != 10 && h[0] != 205)
        throw Exception("Not a PCX or SCR file.");
    const unsigned bits = h[3], planes = h[65];
    TPixelFormat format;
    if (bits == 1 && planes == 1)
        format = TPixelFormat::pf1bit;
    else if (bits == 1 && planes == 4)
        format = TPixelFormat::pf4bit;
    else if (bits == 8 && planes == 1)
        format = TPixelFormat::pf8bit;
    else if (bits == 8 && planes == 3)
        format = TPixelFormat::pf24bit;
    else
        throw Exception("PCX: wrong pixel format");
    SetPixelFormat(format);

    const uint64_t afterHeader = std::min<uint64_t>(stream.Size(), start + sizeof h);
    const bool eightBit = format == TPixelFormat::pf8bit;
    uint64_t dataSize = stream.Size() - afterHeader;
    dataSize = eightBit ? (dataSize > 769 ? dataSize - 769 : 0) : dataSize;

    const unsigned paletteType = GetLE16(h + 68);
    if (format == TPixelFormat::pf1bit) {
        SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    } else if (format == TPixelFormat::pf4bit) {
        TPalette palette(16);
        for (unsigned i = 0; i < 16; ++i)
            palette[i] = {h[16 + 3 * i], h[17 + 3 * i], h[18 + 3 * i], 0};
        SetPalette(paletteType == 2 ? GreyRamp(16, 16) : palette);
    } else if (eightBit) {
        uint8_t block[769] = {};
        if (stream.Size() - start >= sizeof block + sizeof h) {
            stream.Seek(stream.Size() - sizeof block);
            stream.ReadBuffer(block, sizeof block);
        }
        if (block[0] == 12) {
            TPalette palette(256);
            for (unsigned i = 0; i < 256; ++i)
                palette[i] = {block[1 + 3 * i], block[2 + 3 * i], block[3 + 3 * i], 0};
            SetPalette(std::move(palette));
        } else {
            // No palette block: greys, the only reading that shows the picture.
            SetPalette(GreyRamp(256, 1));
        }
    }

    const int width = int(GetLE16(h + 8)) - int(GetLE16(h + 4)) + 1;
    const int height = int(GetLE16(h + 10)) - int(GetLE16(h + 6)) + 1;
    if (width <= 0 || height <= 0)
        throw Exception("PCX: invalid image size");
    CheckPictureSize(width, height);
    const uint64_t planeBytes = GetLE16(h + 66);
    const uint64_t needed = (uint64_t(width) * bits + 7) / 8;
    if (planeBytes < needed || planeBytes > needed + MaxLinePadding)
        throw Exception("PCX: invalid bytes per line");
    const size_t lineSize = size_t(planes * planeBytes);
    const bool runLength = h[2] == 1;
    CheckDataSupply("PCX", width, height, CheckedMul(uint64_t(height), lineSize), dataSize,
                    runLength ? Expansion::RunLength : Expansion::Raw);
    SetSize(width, height);

    stream.Seek(afterHeader);
    const std::vector<uint8_t> data = ReadUpTo(stream, dataSize);
    // One line at a time, as far as the data goes; runs may cross lines.
    TPackedSource source(data.data(), data.size());
    TPCXRLE decoder;
    std::vector<uint8_t> buffer(lineSize);
    for (int y = 0; y < height; ++y) {
        std::fill(buffer.begin(), buffer.end(), 0);
        size_t got;
        if (runLength) {
            got = decoder.DecodeMore(source, source.Left(), buffer);
        } else {
            got = std::min(lineSize, source.Left());
            if (got)
                std::memcpy(buffer.data(), source.Position(), got);
            source.Skip(got);
        }
        if (got == 0)
            break; // the data ends: the rows below stay as they are
        const uint8_t* line = buffer.data();
        uint8_t* row = ScanLine(y);
        switch (format) {
        case TPixelFormat::pf1bit:
            std::memcpy(row, line, size_t(needed));
            break;
        case TPixelFormat::pf4bit:
            for (int x = 0; x < width; ++x) {
                const unsigned bit = 7 - unsigned(x & 7);
                unsigned value = 0;
                for (unsigned p = 0; p < 4; ++p)
                    value |= ((line[p * planeBytes + size_t(x >> 3)] >> bit) & 1u) << p;
                row[x >> 1] = uint8_t(x & 1 ? (row[x >> 1] & 0xF0) | value : value << 4);
            }
            break;
        case TPixelFormat::pf8bit:
            std::memcpy(row, line, size_t(width));
            break;
        default:
            for (int x = 0; x < width; ++x) {
                row[3 * x] = line[2 * planeBytes + size_t(x)];
                row[3 * x + 1] = line[planeBytes + size_t(x)];
                row[3 * x + 2] = line[size_t(x)];
            }
            break;
        }
    }
}

} // namespace tessaria
