// Parser of untrusted data: Windows icon files.
#include "imageio/iconimage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/dib.h"
#include "imageio/pngdecode.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

struct TEntry {
    const uint8_t* Data;
    size_t Size;
    uint64_t Pixels; // what the entry's own header says, for choosing
    unsigned Depth;
};

// Size and depth as the entry's data states them; the directory's bytes are
// often wrong (0 for 256, 0 colours for true colour).
bool Describe(TEntry& e, const uint8_t* dir)
{
    uint64_t w = dir[0] ? dir[0] : 256, h = dir[1] ? dir[1] : 256;
    unsigned depth = GetLE16(dir + 6);
    if (IsPNG(e.Data, e.Size) && e.Size >= 26) {
        w = GetBE32(e.Data + 16);
        h = GetBE32(e.Data + 20);
        const unsigned bits = e.Data[24], type = e.Data[25];
        const unsigned channels = type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 1;
        depth = bits * channels;
    } else if (e.Size >= 16) {
        const uint32_t header = GetLE32(e.Data);
        if (header == 12) {
            w = GetLE16(e.Data + 4);
            h = GetLE16(e.Data + 6) / 2u;
            depth = GetLE16(e.Data + 10);
        } else if (header >= 40 && e.Size >= 40) {
            const int32_t sw = int32_t(GetLE32(e.Data + 4)), sh = int32_t(GetLE32(e.Data + 8));
            if (sw <= 0 || sh == 0)
                return false;
            w = uint64_t(sw);
            h = uint64_t(sh < 0 ? -int64_t(sh) : sh) / 2;
            depth = GetLE16(e.Data + 14);
        } else {
            return false;
        }
    } else {
        return false;
    }
    e.Pixels = w * h;
    e.Depth = depth;
    return true;
}

// Fully transparent pixels become white, so that a copy without alpha shows
// the icon as drawn on a white sheet.
void WhitenTransparent(TBitmap& bitmap)
{
    const int width = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x, row += 4)
            if (row[3] == 0)
                row[0] = row[1] = row[2] = 255;
    }
}

// Pixels whose mask bit is set become white and fully transparent, as
// WhitenTransparent would leave them; the others keep their opaque alpha.
void ApplyMaskRow(const uint8_t* mask, int width, uint8_t* row)
{
    static constexpr uint8_t WhiteTransparent[4] = {255, 255, 255, 0};
    for (int i = 0; 8 * i < width; ++i) {
        if (mask[i] == 0)
            continue; // eight opaque pixels, the common case
        const int count = std::min(8, width - 8 * i);
        for (int k = 0; k < count; ++k)
            if ((mask[i] >> (7 - k)) & 1)
                std::memcpy(row + 4 * (8 * i + k), WhiteTransparent, 4);
    }
}

// The BMP-encoded entry: colour bits, then the AND mask (1 = transparent).
void ReadDIBEntry(const TEntry& e, TBitmap& bitmap)
{
    TMemoryStream stream(e.Data, e.Size);
    TBitmap colours;
    const TDIBInfo info = ReadDIB(stream, colours, 0, true);
    colours.SetPixelFormat(TPixelFormat::pf32bit); // opaque unless the entry has alpha
    if (info.HasAlpha) {
        WhitenTransparent(colours);
    } else {
        // A mask cut short leaves the rest opaque.
        const size_t maskRow = size_t(PaddedRowBytes(uint64_t(info.Width), 1));
        std::vector<uint8_t> mask(maskRow);
        for (int y = 0; y < info.Height; ++y) {
            std::memset(mask.data(), 0, maskRow);
            if (stream.Read(mask.data(), maskRow) == 0)
                break;
            ApplyMaskRow(mask.data(), info.Width, colours.ScanLine(info.TopDown ? y : info.Height - 1 - y));
        }
    }
    bitmap = std::move(colours);
}

} // namespace

void TIcon::LoadFromStream(TStream& stream)
{
    const std::vector<uint8_t> file = ReadRemaining(stream);
    const uint8_t* p = file.data();
    const size_t size = file.size();
    if (size < 6 || GetLE16(p) != 0 || (GetLE16(p + 2) != 1 && GetLE16(p + 2) != 2) || GetLE16(p + 4) == 0)
        throw EInvalidGraphic("Icon image is not valid");
    const unsigned count = GetLE16(p + 4);
    if (6 + uint64_t(count) * 16 > size)
        throw Exception("ICO: directory beyond end of file");

    int best = -1;
    TEntry chosen{};
    for (unsigned i = 0; i < count; ++i) {
        const uint8_t* dir = p + 6 + 16 * i;
        const uint64_t bytes = GetLE32(dir + 8), offset = GetLE32(dir + 12);
        if (offset > size || bytes > size - offset || bytes == 0)
            continue; // an entry outside the file
        TEntry e{p + offset, size_t(bytes), 0, 0};
        if (!Describe(e, dir))
            continue;
        if (best < 0 || e.Pixels > chosen.Pixels || (e.Pixels == chosen.Pixels && e.Depth > chosen.Depth)) {
            best = int(i);
            chosen = e;
        }
    }
    if (best < 0)
        throw Exception("ICO: no readable entry");

    TBitmap result;
    if (IsPNG(chosen.Data, chosen.Size)) {
        DecodePNG(chosen.Data, chosen.Size, result);
        WhitenTransparent(result);
    } else {
        ReadDIBEntry(chosen, result);
    }
    Bitmap_ = std::move(result);
    EntryIndex_ = best;
}

} // namespace tessaria
