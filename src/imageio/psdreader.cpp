// Parser of untrusted data: Photoshop files. Section lengths and PackBits
// row counts are checked against the bytes left before anything is read or
// allocated, only the channels the picture shows are kept, and each row is
// decoded from its own byte count into a buffer of exactly one row.
#include "imageio/psdreader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/colourconv.h"
#include "imageio/decoders.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

const char* const NotValid = "Not a valid psd file.";

void Skip(TStream& stream, uint64_t length)
{
    if (stream.Remaining() < length)
        throw EReadError();
    stream.Seek(stream.Position() + length);
}

} // namespace

void TPSDGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    uint8_t h[26];
    stream.ReadBuffer(h, sizeof h);
    if (std::memcmp(h, "8BPS", 4) != 0)
        throw Exception(NotValid);
    const unsigned channels = GetBE16(h + 12);
    const uint32_t rows = GetBE32(h + 14), columns = GetBE32(h + 18);
    const unsigned depth = GetBE16(h + 22), mode = GetBE16(h + 24);

    const bool single = mode == 0 || mode == 1 || mode == 2 || mode == 8;
    const bool colour = mode == 3 || mode == 4 || mode == 9;
    if (mode == 0)
        SetPixelFormat(TPixelFormat::pf1bit);
    else if (single)
        SetPixelFormat(TPixelFormat::pf8bit);
    else
        SetPixelFormat(TPixelFormat::pf24bit);
    // What the picture needs of the file before a row is read.
    const unsigned needed = mode == 4 ? 4 : colour ? 3 : 1;
    if (single || colour) {
        if (channels < needed)
            throw Exception(NotValid);
        const bool depthOk = mode == 0 ? depth == 1 : mode == 9 || mode == 2 ? depth == 8 : depth == 8 || depth == 16;
        if (!depthOk)
            throw Exception("PSD: unsupported depth");
    }

    const uint32_t modeDataLength = stream.ReadLongBE();
    if (mode == 2) {
        const uint32_t kept = std::min<uint32_t>(modeDataLength, 768);
        if (stream.Remaining() < modeDataLength)
            throw EReadError();
        stream.ReadBuffer(ColourTable_.data(), kept);
        Skip(stream, modeDataLength - kept);
    } else {
        Skip(stream, modeDataLength);
    }

    if (single) {
        if (depth == 1) {
            SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}});
        } else {
            TPalette palette(256);
            for (unsigned i = 0; i < 256; ++i)
                palette[i] = mode == 2 ? TPaletteEntry{ColourTable_[i], ColourTable_[256 + i], ColourTable_[512 + i], 0}
                                       : TPaletteEntry{uint8_t(i), uint8_t(i), uint8_t(i), 0};
            SetPalette(std::move(palette));
        }
    }
    CheckPictureSize(columns, rows);
    SetSize(int(columns), int(rows));
    Skip(stream, stream.ReadLongBE()); // image resources
    Skip(stream, stream.ReadLongBE()); // layers and masks
    const unsigned compression = stream.ReadWordBE();
    if (!single && !colour)
        return; // a mode this reader does not show: the size only
    if (rows == 0 || columns == 0)
        return;

    const unsigned sampleBytes = depth == 16 ? 2 : 1;
    const size_t rowBytes = depth == 1 ? (size_t(columns) + 7) / 8 : size_t(columns) * sampleBytes;
    const size_t planeBytes = size_t(CheckedMul(rowBytes, rows));
    // The planes of the channels shown, one after another.
    std::vector<uint8_t> planes(size_t(CheckedMul(planeBytes, needed)));
    if (compression == 1) {
        const uint64_t tableBytes = CheckedMul(uint64_t(channels) * rows, 2);
        if (stream.Remaining() < tableBytes)
            throw EReadError();
        std::vector<uint8_t> table(static_cast<size_t>(tableBytes));
        stream.ReadBuffer(table.data(), table.size());
        uint64_t packedBytes = 0;
        for (size_t i = 0; i < size_t(needed) * rows; ++i)
            packedBytes += GetBE16(table.data() + 2 * i);
        if (stream.Remaining() < packedBytes)
            throw EReadError();
        std::vector<uint8_t> packed(static_cast<size_t>(packedBytes));
        stream.ReadBuffer(packed.data(), packed.size());
        TPackbitsRLE decoder;
        TPackedSource source(packed.data(), packed.size());
        for (size_t i = 0; i < size_t(needed) * rows; ++i) {
            const size_t count = GetBE16(table.data() + 2 * i);
            // Uses the whole count, so the next row starts where its count says.
            decoder.Decode(source, count, std::span<uint8_t>(planes.data() + i * rowBytes, rowBytes));
        }
    } else {
        if (stream.Remaining() < planes.size())
            throw EReadError();
        stream.ReadBuffer(planes.data(), planes.size());
    }
    if (depth == 16)
        SwapShorts(planes.data(), planes.size() / 2);

    const unsigned bits = depth == 16 ? 16 : 8;
    if (single) {
        for (uint32_t y = 0; y < rows; ++y) {
            const uint8_t* line = planes.data() + size_t(y) * rowBytes;
            if (depth == 16)
                Convert16To8(line, ScanLine(int(y)), columns);
            else
                std::memcpy(ScanLine(int(y)), line, rowBytes);
        }
        return;
    }
    const uint8_t* p[4] = {planes.data(), planes.data() + planeBytes, planes.data() + 2 * planeBytes,
                           needed > 3 ? planes.data() + 3 * planeBytes : nullptr};
    if (mode == 4)
        for (uint8_t& v : planes)
            v = uint8_t(255 - v);
    if (mode == 9)
        for (size_t i = planeBytes; i < 3 * planeBytes; ++i)
            planes[i] = uint8_t(planes[i] + 128);
    for (uint32_t y = 0; y < rows; ++y) {
        const size_t at = size_t(y) * rowBytes;
        uint8_t* row = ScanLine(int(y));
        if (mode == 3)
            ConvertRGBPlanar(p[0] + at, p[1] + at, p[2] + at, 3 * size_t(columns), bits, row);
        else if (mode == 4)
            ConvertCMYKPlanar(p[0] + at, p[1] + at, p[2] + at, p[3] + at, 4 * size_t(columns), bits, row);
        else
            ConvertLabPlanar(p[0] + at, p[1] + at, p[2] + at, 3 * size_t(columns), row);
    }
}

} // namespace tessaria
