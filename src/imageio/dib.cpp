// Parser of untrusted data: device-independent bitmaps (BMP files, icon
// entries). Core and info headers up to version 5; 1, 4, 8, 16, 24 and 32 bits;
// RLE4 and RLE8; bit fields; top-down rows.
#include "imageio/dib.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6 };

struct THeader {
    bool Core = false;
    int64_t Width = 0;
    int64_t Height = 0;
    bool TopDown = false;
    unsigned BitCount = 0;
    uint32_t Compression = BI_RGB;
    uint32_t SizeImage = 0;
    uint32_t ColoursUsed = 0;
    uint32_t Masks[4] = {}; // red, green, blue, alpha
    bool HaveMasks = false;
};

// One channel of a bit-field pixel: where it sits and how to widen it to 8 bits.
struct TField {
    unsigned Shift = 0;
    unsigned Bits = 0;
    uint32_t Max = 0;

    explicit TField(uint32_t mask)
    {
        if (!mask)
            return;
        Shift = unsigned(std::countr_zero(mask));
        Bits = unsigned(std::popcount(mask));
        if ((mask >> Shift) != (Bits == 32 ? 0xFFFFFFFFu : (1u << Bits) - 1))
            throw Exception("BMP: invalid bit fields");
        Max = Bits == 32 ? 0xFFFFFFFFu : (1u << Bits) - 1;
    }
    uint8_t Get(uint32_t pixel) const
    {
        if (!Bits)
            return 0;
        const uint32_t v = (pixel >> Shift) & Max;
        if (Bits >= 8)
            return uint8_t(v >> (Bits - 8));
        // Bit replication, so that the largest value gives 255.
        uint32_t r = v << (8 - Bits);
        for (unsigned filled = Bits; filled < 8; filled *= 2)
            r |= r >> filled;
        return uint8_t(r);
    }
};

THeader ReadHeader(TStream& stream, bool iconEntry)
{
    THeader h;
    const uint32_t size = stream.ReadLongLE();
    if (size == 12) {
        uint8_t b[8];
        stream.ReadBuffer(b, sizeof b);
        h.Core = true;
        h.Width = GetLE16(b);
        h.Height = GetLE16(b + 2);
        h.BitCount = GetLE16(b + 6);
    } else if (size >= 40 && size <= 124) {
        uint8_t b[120] = {};
        stream.ReadBuffer(b, size - 4);
        h.Width = int32_t(GetLE32(b));
        h.Height = int32_t(GetLE32(b + 4));
        h.BitCount = GetLE16(b + 10);
        h.Compression = GetLE32(b + 12);
        h.SizeImage = GetLE32(b + 16);
        h.ColoursUsed = GetLE32(b + 28);
        // OS/2 2.x headers (64 bytes) number their own compressions from 3 on.
        if (size == 64 && h.Compression >= BI_BITFIELDS)
            throw Exception("BMP: unsupported compression");
        if (size >= 52 && size != 64) {
            for (int i = 0; i < (size >= 56 ? 4 : 3); ++i)
                h.Masks[i] = GetLE32(b + 36 + 4 * i);
            h.HaveMasks = true;
        }
    } else {
        throw Exception("BMP: unsupported header");
    }

    if (h.Height < 0) {
        h.TopDown = true;
        h.Height = -h.Height; // int64: INT_MIN stays positive
    }
    if (iconEntry)
        h.Height /= 2;
    if (h.Width <= 0 || h.Height <= 0)
        throw Exception("BMP: invalid picture size");
    CheckPictureSize(h.Width, h.Height);

    switch (h.BitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: throw Exception("BMP: unsupported bit depth");
    }
    switch (h.Compression) {
    case BI_RGB: break;
    case BI_RLE8:
        if (h.BitCount != 8)
            throw Exception("BMP: invalid compression");
        break;
    case BI_RLE4:
        if (h.BitCount != 4)
            throw Exception("BMP: invalid compression");
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (h.BitCount != 16 && h.BitCount != 32)
            throw Exception("BMP: invalid compression");
        if (!h.HaveMasks) {
            // Info headers keep the masks after them.
            const int count = h.Compression == BI_ALPHABITFIELDS ? 4 : 3;
            for (int i = 0; i < count; ++i)
                h.Masks[i] = stream.ReadLongLE();
        }
        if (!h.Masks[0] || !h.Masks[1] || !h.Masks[2])
            throw Exception("BMP: invalid bit fields");
        for (uint32_t mask : h.Masks)
            (void)TField(mask); // raises for a mask with holes
        break;
    default:
        throw Exception("BMP: unsupported compression");
    }
    if ((h.Compression == BI_RLE4 || h.Compression == BI_RLE8) && h.TopDown)
        throw Exception("BMP: top-down rows cannot be compressed");
    if (h.Compression == BI_RGB) {
        // Masks in a V4/V5 header mean nothing without bit fields.
        h.Masks[3] = 0;
        if (h.BitCount == 16) {
            h.Masks[0] = 0x7C00; h.Masks[1] = 0x03E0; h.Masks[2] = 0x001F;
        } else if (h.BitCount == 32) {
            h.Masks[0] = 0xFF0000; h.Masks[1] = 0xFF00; h.Masks[2] = 0xFF;
        }
    }
    return h;
}

void ReadColourTable(TStream& stream, const THeader& h, uint64_t bitsPosition, TBitmap& bitmap)
{
    const unsigned entrySize = h.Core ? 3 : 4;
    if (h.BitCount <= 8 && h.ColoursUsed > MaxPaletteEntries)
        throw Exception("BMP: palette too large");
    uint64_t entries = h.ColoursUsed;
    if (h.BitCount <= 8 && entries == 0)
        entries = 1u << h.BitCount;
    if (bitsPosition) {
        if (bitsPosition < stream.Position())
            throw Exception("BMP: invalid bits offset");
        // Files that state more colours than they hold: the bits start where
        // the file says.
        entries = std::min<uint64_t>(entries, (bitsPosition - stream.Position()) / entrySize);
    }
    if (h.BitCount > 8) {
        // An optional table for palette devices; not needed here.
        stream.Seek(CheckedAdd(stream.Position(), CheckedMul(entries, entrySize)));
        return;
    }
    std::vector<uint8_t> raw(size_t(entries) * entrySize);
    stream.ReadBuffer(raw.data(), raw.size());
    // Indices the table does not cover read as black.
    TPalette palette(size_t(1) << h.BitCount);
    for (size_t i = 0; i < entries && i < palette.size(); ++i)
        palette[i] = {raw[i * entrySize + 2], raw[i * entrySize + 1], raw[i * entrySize], 0};
    bitmap.SetPalette(std::move(palette));
}

// Row y of the file (bottom first unless top-down) in the bitmap.
inline int TargetRow(const THeader& h, int64_t y) { return int(h.TopDown ? y : h.Height - 1 - y); }

void ReadRLE(TStream& stream, const THeader& h, TBitmap& bitmap)
{
    const uint64_t left = stream.Remaining();
    const uint64_t packed = h.SizeImage ? std::min<uint64_t>(h.SizeImage, left) : left;
    std::vector<uint8_t> data(static_cast<size_t>(packed));
    stream.ReadBuffer(data.data(), data.size());

    const bool four = h.Compression == BI_RLE4;
    const int64_t width = h.Width, height = h.Height;
    const uint8_t* p = data.data();
    const uint8_t* const end = p + data.size();
    int64_t x = 0, y = 0;
    uint8_t* row = bitmap.ScanLine(TargetRow(h, 0));
    auto put = [&](uint8_t value) {
        if (x < width) {
            if (!four)
                row[x] = value;
            else if (x & 1)
                row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (value & 0x0F));
            else
                row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | value << 4);
        }
        ++x;
    };
    auto nextRow = [&](int64_t rows) {
        y += rows;
        if (y < height)
            row = bitmap.ScanLine(TargetRow(h, y));
    };
    while (end - p >= 2 && y < height) {
        const unsigned count = p[0];
        const uint8_t value = p[1];
        p += 2;
        if (count) {
            // A run past the row's end is cut there.
            const unsigned n = unsigned(std::min<int64_t>(count, std::max<int64_t>(width - x, 0)));
            for (unsigned i = 0; i < n; ++i)
                put(four ? uint8_t((i & 1) ? value & 0x0F : value >> 4) : value);
            x += count - n;
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            nextRow(1);
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (end - p < 2)
                break;
            x += p[0];
            const unsigned dy = p[1];
            p += 2;
            if (dy)
                nextRow(dy);
        } else { // absolute run of `value` pixels, padded to 16 bits
            const size_t bytes = four ? (value + 1u) / 2 : value;
            const size_t padded = bytes + (bytes & 1);
            const size_t available = std::min<size_t>(bytes, size_t(end - p));
            for (unsigned i = 0; i < value; ++i) {
                const size_t at = four ? i / 2 : i;
                if (at >= available)
                    break;
                put(four ? uint8_t((i & 1) ? p[at] & 0x0F : p[at] >> 4) : p[at]);
            }
            p += std::min<size_t>(padded, size_t(end - p));
        }
    }
}

// 16- and 32-bit pixels whose fields need widening: one row at a time
// through a row buffer.
void ReadBitFieldRows(TStream& stream, const THeader& h, TBitmap& bitmap)
{
    const TField red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]), alpha(h.Masks[3]);
    const size_t fileRow = size_t(PaddedRowBytes(uint64_t(h.Width), h.BitCount));
    std::vector<uint8_t> buffer(fileRow);
    const bool withAlpha = bitmap.PixelFormat() == TPixelFormat::pf32bit;
    const unsigned step = withAlpha ? 4 : 3;
    for (int64_t y = 0; y < h.Height; ++y) {
        stream.ReadBuffer(buffer.data(), fileRow);
        uint8_t* out = bitmap.ScanLine(TargetRow(h, y));
        const uint8_t* in = buffer.data();
        for (int64_t x = 0; x < h.Width; ++x, out += step) {
            uint32_t pixel;
            if (h.BitCount == 16) {
                pixel = GetLE16(in);
                in += 2;
            } else {
                pixel = GetLE32(in);
                in += 4;
            }
            out[0] = blue.Get(pixel);
            out[1] = green.Get(pixel);
            out[2] = red.Get(pixel);
            if (withAlpha)
                out[3] = alpha.Bits ? alpha.Get(pixel) : 255;
        }
    }
}

void SetOpaque(TBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x)
            row[4 * x + 3] = 255;
    }
}

bool AllAlphaZero(const TBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x)
            if (row[4 * x + 3])
                return false;
    }
    return true;
}

} // namespace

TDIBInfo ReadDIB(TStream& stream, TBitmap& bitmap, uint64_t bitsPosition, bool iconEntry)
{
    const THeader h = ReadHeader(stream, iconEntry);

    const bool rle = h.Compression == BI_RLE4 || h.Compression == BI_RLE8;
    bool direct = true; // file rows are bitmap rows byte for byte
    TPixelFormat format = TPixelFormat::pf24bit;
    bool alpha = false;
    switch (h.BitCount) {
    case 1: format = TPixelFormat::pf1bit; break;
    case 4: format = TPixelFormat::pf4bit; break;
    case 8: format = TPixelFormat::pf8bit; break;
    case 24: format = TPixelFormat::pf24bit; break;
    case 16:
        if (h.Masks[0] == 0x7C00 && h.Masks[1] == 0x03E0 && h.Masks[2] == 0x001F &&
            h.Masks[3] == 0) {
            format = TPixelFormat::pf15bit;
        } else {
            direct = false;
            alpha = h.Masks[3] != 0;
            format = alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
        }
        break;
    case 32:
        format = TPixelFormat::pf32bit;
        // Icons keep alpha in the fourth byte without saying so.
        alpha = h.Masks[3] != 0 || (iconEntry && h.Compression == BI_RGB);
        direct = h.Masks[0] == 0xFF0000 && h.Masks[1] == 0xFF00 && h.Masks[2] == 0xFF &&
                 (h.Masks[3] == 0 || h.Masks[3] == 0xFF000000u);
        break;
    }

    TBitmap result;
    result.SetPixelFormat(format);
    ReadColourTable(stream, h, bitsPosition, result);
    if (bitsPosition)
        stream.Seek(bitsPosition);
    // Rows are exact reads, so a file without them fails at once rather
    // than after the bitmap is made; run-length data is held to what it can
    // expand to.
    const uint64_t fileRow = PaddedRowBytes(uint64_t(h.Width), h.BitCount);
    const uint64_t rowsBytes = CheckedMul(fileRow, uint64_t(h.Height));
    if (rle) {
        const uint64_t packed = h.SizeImage ? std::min<uint64_t>(h.SizeImage, stream.Remaining()) : stream.Remaining();
        CheckDataSupply("BMP", h.Width, h.Height, rowsBytes, packed, Expansion::RunLength);
    } else if (stream.Remaining() < rowsBytes) {
        throw EReadError();
    }
    result.SetSize(int(h.Width), int(h.Height));

    if (rle) {
        ReadRLE(stream, h, result);
    } else if (direct) {
        const size_t rowBytes = result.RowBytes(); // the file pads rows to 32 bits as well
        for (int64_t y = 0; y < h.Height; ++y)
            stream.ReadBuffer(result.ScanLine(TargetRow(h, y)), rowBytes);
        // A 32-bit file without an alpha mask leaves the fourth byte unused;
        // one with a mask but no alpha anywhere was written by a program that
        // did not fill it in.
        if (format == TPixelFormat::pf32bit && (!alpha || AllAlphaZero(result))) {
            SetOpaque(result);
            alpha = false;
        }
    } else {
        ReadBitFieldRows(stream, h, result);
        if (alpha && AllAlphaZero(result)) {
            SetOpaque(result);
            alpha = false;
        }
    }

    bitmap = std::move(result);
    return {int(h.Width), int(h.Height), int(h.BitCount), alpha, h.TopDown};
}

} // namespace tessaria
