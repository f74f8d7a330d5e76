#include "imageio/bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/limits.h"

namespace tessaria {

int BitsPerPixel(TPixelFormat format)
{
    switch (format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf15bit: return 16;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
    case TPixelFormat::pfDevice: return 32;
    }
    return 24;
}

TPaletteEntry PaletteColour(const TPalette& palette, TPixelFormat format, unsigned index)
{
    if (index < palette.size())
        return palette[index];
    // Out-of-range indices read as black rather than past the palette.
    if (!palette.empty())
        return {};
    const unsigned levels = 1u << BitsPerPixel(format);
    const unsigned max = levels - 1;
    const uint8_t grey = uint8_t(index > max ? 255 : index * 255 / max);
    return {grey, grey, grey, 0};
}

TBitmap::TBitmap(const TBitmap& other)
    : TGraphic(other), Format_(other.Format_), Palette_(other.Palette_)
{
    SetSizeToOverwrite(other.Width_, other.Height_);
    if (Bits_)
        std::memcpy(Bits_.get(), other.Bits_.get(), RowBytes_ * size_t(Height_));
}

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    if (this != &other) {
        TBitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void TBitmap::MoveTo(TBitmap& target)
{
    if (&target == this)
        return;
    // Slicing on purpose: only the bitmap part of a reader moves over.
    target = std::move(static_cast<TBitmap&>(*this));
    Clear();
}

void TBitmap::SetSize(int width, int height)
{
    CheckPictureSize(width, height);
    if (width == Width_ && height == Height_)
        return;

    const size_t rowBytes = size_t(PaddedRowBytes(uint64_t(width), uint64_t(BitsPerPixel())));
    const size_t total = size_t(CheckedMul(rowBytes, uint64_t(height)));
    // Fresh pages come zeroed at no cost.
    TLargeBuffer bits(total);
    if (Bits_ && bits) {
        const size_t keepBytes = std::min(rowBytes, RowBytes_);
        const int keepRows = std::min(height, Height_);
        for (int y = 0; y < keepRows; ++y)
            std::memcpy(bits.get() + size_t(y) * rowBytes, Bits_.get() + size_t(y) * RowBytes_, keepBytes);
    }
    Bits_ = std::move(bits);
    Width_ = width;
    Height_ = height;
    RowBytes_ = rowBytes;
}

void TBitmap::SetSizeToOverwrite(int width, int height)
{
    CheckPictureSize(width, height);
    const size_t rowBytes = size_t(PaddedRowBytes(uint64_t(width), uint64_t(BitsPerPixel())));
    const size_t total = size_t(CheckedMul(rowBytes, uint64_t(height)));
    Bits_.reset(); // first, so that its block can serve again at once
    Bits_ = TLargeBuffer(total, TLargeBuffer::TFill::Unfilled);
    Width_ = width;
    Height_ = height;
    RowBytes_ = rowBytes;
}

void TBitmap::Clear()
{
    Bits_.reset();
    Width_ = Height_ = 0;
    RowBytes_ = 0;
}

void TBitmap::SetPalette(TPalette palette)
{
    if (palette.size() > MaxPaletteEntries)
        palette.resize(MaxPaletteEntries);
    Palette_ = std::move(palette);
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == Format_)
        return;
    if (!Bits_) {
        Format_ = format;
        RowBytes_ = size_t(PaddedRowBytes(uint64_t(Width_), uint64_t(BitsPerPixel())));
        return;
    }
    ConvertTo(format);
}

void TBitmap::PixelBGR(int x, int y, uint8_t bgr[3]) const
{
    const uint8_t* row = ScanLine(y);
    auto fromPalette = [&](unsigned index) {
        const TPaletteEntry e = PaletteColour(Palette_, Format_, index);
        bgr[0] = e.Blue;
        bgr[1] = e.Green;
        bgr[2] = e.Red;
    };
    switch (Format_) {
    case TPixelFormat::pf1bit: fromPalette((row[x >> 3] >> (7 - (x & 7))) & 1); break;
    case TPixelFormat::pf4bit: fromPalette((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4); break;
    case TPixelFormat::pf8bit: fromPalette(row[x]); break;
    case TPixelFormat::pf15bit: {
        const unsigned v = row[2 * x] | row[2 * x + 1] << 8;
        const unsigned b = v & 31, g = (v >> 5) & 31, r = (v >> 10) & 31;
        bgr[0] = uint8_t(b << 3 | b >> 2);
        bgr[1] = uint8_t(g << 3 | g >> 2);
        bgr[2] = uint8_t(r << 3 | r >> 2);
        break;
    }
    case TPixelFormat::pf24bit: std::memcpy(bgr, row + 3 * x, 3); break;
    case TPixelFormat::pf32bit:
    case TPixelFormat::pfDevice: std::memcpy(bgr, row + 4 * x, 3); break;
    }
}

namespace {

// Blue, green, red and an opaque alpha of every index of a palette format,
// looked up once per picture rather than once per pixel.
using TColourTable = std::array<std::array<uint8_t, 4>, 256>;

void BuildColourTable(const TPalette& palette, TPixelFormat format, TColourTable& table)
{
    const unsigned count = 1u << BitsPerPixel(format);
    for (unsigned i = 0; i < count; ++i) {
        const TPaletteEntry e = PaletteColour(palette, format, i);
        table[i] = {e.Blue, e.Green, e.Red, 255};
    }
}

// 5-bit channel to 8 bits, filling the low bits so that 31 gives 255.
constexpr uint8_t Expand5(unsigned v) { return uint8_t(v << 3 | v >> 2); }

bool Indexed(TPixelFormat format)
{
    return format == TPixelFormat::pf1bit || format == TPixelFormat::pf4bit || format == TPixelFormat::pf8bit;
}

// A palette row to 24-bit (OutBytes 3) or opaque 32-bit (4) pixels. Whole
// bytes of 1- and 4-bit pixels go together: tall icons and faxes spend most
// of their load here.
template <size_t OutBytes>
void IndexedRowToBGR(const uint8_t* in, int width, TPixelFormat format, const TColourTable& table, uint8_t* out)
{
    auto put = [&out, &table](unsigned index) {
        std::memcpy(out, table[index].data(), OutBytes);
        out += OutBytes;
    };
    const int bits = BitsPerPixel(format);
    if (bits == 8) {
        for (int x = 0; x < width; ++x)
            put(in[x]);
        return;
    }
    const int perByte = 8 / bits;
    const int whole = width / perByte;
    for (int i = 0; i < whole; ++i) {
        const unsigned byte = in[i];
        if (bits == 4) {
            put(byte >> 4);
            put(byte & 0x0F);
        } else {
            for (int shift = 7; shift >= 0; --shift)
                put((byte >> shift) & 1);
        }
    }
    const int rest = width - whole * perByte;
    for (int k = 0; k < rest; ++k) // the leading pixels of a last, partial byte
        put((in[whole] >> (8 - bits * (k + 1))) & ((1u << bits) - 1));
}

} // namespace

void TBitmap::RowToBGR24(int row, uint8_t* out) const
{
    const uint8_t* in = ScanLine(row);
    const int w = Width_;
    switch (Format_) {
    case TPixelFormat::pf24bit:
        std::memcpy(out, in, size_t(w) * 3);
        return;
    case TPixelFormat::pf32bit:
    case TPixelFormat::pfDevice:
        for (int x = 0; x < w; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
        return;
    case TPixelFormat::pf15bit:
        for (int x = 0; x < w; ++x, in += 2, out += 3) {
            const unsigned v = unsigned(in[0]) | unsigned(in[1]) << 8;
            out[0] = Expand5(v & 31);
            out[1] = Expand5((v >> 5) & 31);
            out[2] = Expand5((v >> 10) & 31);
        }
        return;
    case TPixelFormat::pf1bit:
    case TPixelFormat::pf4bit:
    case TPixelFormat::pf8bit:
        break;
    }
    TColourTable table;
    BuildColourTable(Palette_, Format_, table);
    IndexedRowToBGR<3>(in, w, Format_, table, out);
}

void TBitmap::ConvertTo(TPixelFormat format)
{
    TBitmap target;
    target.Format_ = format;
    target.SetSize(Width_, Height_);
    const bool fromAlpha = Format_ == TPixelFormat::pf32bit || Format_ == TPixelFormat::pfDevice;
    std::vector<uint8_t> bgr(size_t(Width_) * 3);
    // A palette's colours once for the whole picture, not once a row.
    TColourTable table;
    if (Indexed(Format_))
        BuildColourTable(Palette_, Format_, table);
    auto toBGR24 = [&](int y, uint8_t* out) {
        if (Indexed(Format_))
            IndexedRowToBGR<3>(ScanLine(y), Width_, Format_, table, out);
        else
            RowToBGR24(y, out);
    };
    const bool toAlpha = format == TPixelFormat::pf32bit || format == TPixelFormat::pfDevice;
    for (int y = 0; y < Height_; ++y) {
        uint8_t* out = target.ScanLine(y);
        if (toAlpha && Indexed(Format_)) {
            IndexedRowToBGR<4>(ScanLine(y), Width_, Format_, table, out);
            continue;
        }
        if (format == TPixelFormat::pf24bit) {
            toBGR24(y, out);
            continue;
        }
        if (fromAlpha && toAlpha) {
            std::memcpy(out, ScanLine(y), size_t(Width_) * 4);
            continue;
        }
        toBGR24(y, bgr.data());
        const uint8_t* in = bgr.data();
        switch (format) {
        case TPixelFormat::pf24bit: break;
        case TPixelFormat::pf32bit:
        case TPixelFormat::pfDevice:
            for (int x = 0; x < Width_; ++x, in += 3, out += 4) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = 255;
            }
            break;
        case TPixelFormat::pf15bit:
            for (int x = 0; x < Width_; ++x, in += 3, out += 2) {
                const unsigned v = unsigned(in[0] >> 3) | unsigned(in[1] >> 3) << 5 | unsigned(in[2] >> 3) << 10;
                out[0] = uint8_t(v);
                out[1] = uint8_t(v >> 8);
            }
            break;
        case TPixelFormat::pf1bit:
        case TPixelFormat::pf4bit:
        case TPixelFormat::pf8bit: {
            // Palette formats: a grey level, the nearest the target depth holds.
            const int bits = tessaria::BitsPerPixel(format);
            for (int x = 0; x < Width_; ++x, in += 3) {
                const unsigned grey = (in[0] * 114u + in[1] * 587u + in[2] * 299u) / 1000u;
                const unsigned index = grey >> (8 - bits);
                if (bits == 8)
                    out[x] = uint8_t(index);
                else if (bits == 4)
                    out[x >> 1] |= uint8_t((x & 1) ? index : index << 4);
                else
                    out[x >> 3] |= uint8_t(index << (7 - (x & 7)));
            }
            break;
        }
        }
    }
    // Palette targets use the grey ramp of PaletteColour; a palette has no
    // meaning for the others.
    target.Palette_.clear();
    *this = std::move(target);
}

} // namespace tessaria
