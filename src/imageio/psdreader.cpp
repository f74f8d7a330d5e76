// Parser of untrusted data: Photoshop files. Section lengths and PackBits
// row counts are checked against the bytes left before anything is read or
// allocated, the picture must be one its data can fill, only the channels
// the picture shows are read, and each row is decoded from its own byte
// count into a buffer of exactly one row of each plane.
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
    Skip(stream, stream.ReadLongBE()); // image resources
    Skip(stream, stream.ReadLongBE()); // layers and masks
    const unsigned compression = stream.ReadWordBE();

    const unsigned sampleBytes = depth == 16 ? 2 : 1;
    const size_t rowBytes = depth == 1 ? (size_t(columns) + 7) / 8 : size_t(columns) * sampleBytes;
    const uint64_t planeBytes = CheckedMul(rowBytes, rows);
    if (!single && !colour) {
        // A mode this reader does not show: the size only, which one plane
        // of data must still back.
        CheckDataSupply("PSD", columns, rows, planeBytes, stream.Remaining(),
                        compression == 1 ? Expansion::RunLength : Expansion::Raw);
        SetSize(int(columns), int(rows));
        return;
    }

    // The planes are stored one after another; each row of the picture takes
    // its row of every plane shown into `line`, plane after plane.
    std::vector<uint8_t> packed;
    std::vector<uint64_t> rowStart; // PackBits: where each row of each plane starts in `packed`
    std::vector<uint16_t> rowCount;
    uint64_t dataStart = 0;
    if (compression == 1) {
        const uint64_t tableBytes = CheckedMul(uint64_t(channels) * rows, 2);
        if (stream.Remaining() < tableBytes)
            throw EReadError();
        std::vector<uint8_t> table(static_cast<size_t>(tableBytes));
        stream.ReadBuffer(table.data(), table.size());
        const size_t entries = size_t(needed) * rows;
        rowStart.resize(entries);
        rowCount.resize(entries);
        uint64_t packedBytes = 0;
        for (size_t i = 0; i < entries; ++i) {
            rowStart[i] = packedBytes;
            rowCount[i] = GetBE16(table.data() + 2 * i);
            packedBytes += rowCount[i];
        }
        if (stream.Remaining() < packedBytes)
            throw EReadError();
        CheckDataSupply("PSD", columns, rows, CheckedMul(planeBytes, needed), packedBytes, Expansion::RunLength);
        packed.resize(static_cast<size_t>(packedBytes));
        stream.ReadBuffer(packed.data(), packed.size());
    } else {
        if (stream.Remaining() < CheckedMul(planeBytes, needed))
            throw EReadError();
        dataStart = stream.Position();
    }
    SetSize(int(columns), int(rows));
    if (rows == 0 || columns == 0)
        return;
    std::vector<uint8_t> line(rowBytes * needed);
    TPackbitsRLE decoder;
    auto readLine = [&](uint32_t y) {
        for (unsigned c = 0; c < needed; ++c) {
            uint8_t* out = line.data() + size_t(c) * rowBytes;
            if (compression == 1) {
                const size_t i = size_t(c) * rows + y;
                std::fill(out, out + rowBytes, 0);
                TPackedSource source(packed.data() + rowStart[i], rowCount[i]);
                decoder.Decode(source, rowCount[i], std::span<uint8_t>(out, rowBytes));
            } else {
                stream.Seek(dataStart + c * planeBytes + uint64_t(y) * rowBytes);
                stream.ReadBuffer(out, rowBytes);
            }
        }
        if (depth == 16)
            SwapShorts(line.data(), line.size() / 2);
    };

    const unsigned bits = depth == 16 ? 16 : 8;
    for (uint32_t y = 0; y < rows; ++y) {
        readLine(y);
        uint8_t* row = ScanLine(int(y));
        if (single) {
            if (depth == 16)
                Convert16To8(line.data(), row, columns);
            else
                std::memcpy(row, line.data(), rowBytes);
            continue;
        }
        const uint8_t* p[4] = {line.data(), line.data() + rowBytes, line.data() + 2 * rowBytes,
                               needed > 3 ? line.data() + 3 * rowBytes : nullptr};
        if (mode == 4)
            for (uint8_t& v : line)
                v = uint8_t(255 - v);
        if (mode == 9)
            for (size_t i = rowBytes; i < 3 * rowBytes; ++i)
                line[i] = uint8_t(line[i] + 128);
        if (mode == 3)
            ConvertRGBPlanar(p[0], p[1], p[2], 3 * size_t(columns), bits, row);
        else if (mode == 4)
            ConvertCMYKPlanar(p[0], p[1], p[2], p[3], 4 * size_t(columns), bits, row);
        else
            ConvertLabPlanar(p[0], p[1], p[2], 3 * size_t(columns), row);
    }
}

} // namespace tessaria
