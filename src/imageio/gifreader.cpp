// Parser of untrusted data: GIF files. The image's size passes the picture
// limit and what its data can give before the bitmap is made, the LZW
// decoder never writes past a line, and the data sub-blocks are read with
// exact reads.
#include "imageio/gifreader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "base/exceptions.h"
#include "imageio/decoders.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

TPalette ReadColourTable(TStream& stream, uint8_t flags)
{
    const unsigned n = 2u << (flags & 7);
    uint8_t bytes[3 * 256];
    stream.ReadBuffer(bytes, 3 * n);
    TPalette palette(n);
    for (unsigned i = 0; i < n; ++i)
        palette[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2], 0};
    return palette;
}

// Sub-blocks up to the one of size 0; a stream that ends first ends them.
void SkipSubBlocks(TStream& stream)
{
    for (;;) {
        uint8_t size;
        if (stream.Read(&size, 1) == 0 || size == 0)
            return;
        if (stream.Remaining() < size)
            throw EReadError();
        stream.Seek(stream.Position() + size);
    }
}

} // namespace

void TGIFGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    SetPixelFormat(TPixelFormat::pf8bit);
    uint8_t header[6];
    stream.ReadBuffer(header, sizeof header);
    if (std::toupper(header[0]) != 'G' || std::toupper(header[1]) != 'I' || std::toupper(header[2]) != 'F')
        throw Exception("Not a valid GIF file.");
    uint8_t screen[7];
    stream.ReadBuffer(screen, sizeof screen);
    TPalette palette;
    if (screen[4] & 0x80)
        palette = ReadColourTable(stream, screen[4]);

    for (;;) {
        const uint8_t introducer = stream.ReadByte();
        if (introducer == 0x3B)
            return; // no image before the trailer: an empty bitmap
        if (introducer == 0x21) {
            stream.ReadByte(); // the label
            SkipSubBlocks(stream);
        } else if (introducer == 0x2C) {
            break;
        }
    }

    uint8_t descriptor[9];
    stream.ReadBuffer(descriptor, sizeof descriptor);
    unsigned width = GetLE16(descriptor + 4), height = GetLE16(descriptor + 6);
    if (width == 0)
        width = GetLE16(screen);
    if (height == 0)
        height = GetLE16(screen + 2);
    if (width == 0 || height == 0)
        throw Exception("GIF: empty image");
    CheckPictureSize(width, height);
    const uint8_t flags = descriptor[8];
    if (flags & 0x80)
        palette = ReadColourTable(stream, flags);

    TGIFLZW decoder;
    decoder.InitialCodeSize = stream.ReadByte();
    // All the data sub-blocks in one buffer, never more than the file holds.
    std::vector<uint8_t> packed;
    for (;;) {
        uint8_t size;
        if (stream.Read(&size, 1) == 0 || size == 0)
            break;
        const size_t at = packed.size();
        if (stream.Remaining() < size)
            throw EReadError();
        packed.resize(at + size);
        stream.ReadBuffer(packed.data() + at, size);
    }

    CheckDataSupply("GIF", width, height, uint64_t(width) * height, packed.size(), Expansion::LZW);

    SetPalette(std::move(palette));
    SetSize(int(width), int(height));
    // Line by line as the codes give them; lines the data does not reach
    // are left as they are.
    TPackedSource source(packed.data(), packed.size());
    std::vector<uint8_t> line(width);
    const bool interlaced = (flags & 0x40) != 0;
    static const unsigned start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    unsigned pass = 0, y = 0;
    for (unsigned n = 0; n < height; ++n) {
        std::fill(line.begin(), line.end(), 0);
        if (decoder.DecodeMore(source, source.Left(), line) == 0)
            break;
        if (interlaced) {
            while (y >= height) // a pass that holds no line of a short picture
                y = start[++pass];
            std::memcpy(ScanLine(int(y)), line.data(), width);
            y += step[pass];
        } else {
            std::memcpy(ScanLine(int(n)), line.data(), width);
        }
    }
}

} // namespace tessaria
