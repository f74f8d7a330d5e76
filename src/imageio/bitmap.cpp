#include "imageio/bitmap.h"

#include <cstring>

#include "base/checked.h"
#include "base/exceptions.h"
#include "base/format.h"
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
    SetSize(other.Width_, other.Height_);
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

void TBitmap::SetSize(int width, int height)
{
    if (width < 0 || height < 0)
        throw EInvalidGraphic("Invalid picture size");
    if (width == Width_ && height == Height_)
        return;
    if (width > MaxPictureSide || height > MaxPictureSide || int64_t(width) * height > MaxPicturePixels)
        throw EInvalidGraphic(Format("Picture too large (%d x %d pixels)", width, height));

    const size_t rowBytes = size_t(PaddedRowBytes(uint64_t(width), uint64_t(BitsPerPixel())));
    const size_t total = size_t(CheckedMul(rowBytes, uint64_t(height)));
    std::unique_ptr<uint8_t, FreeDeleter> bits;
    if (total) {
        // calloc: large blocks come as fresh zero pages at no cost.
        bits.reset(static_cast<uint8_t*>(std::calloc(total, 1)));
        if (!bits)
            throw Exception("Out of memory");
        if (Bits_) {
            const size_t keepBytes = std::min(rowBytes, RowBytes_);
            const int keepRows = std::min(height, Height_);
            for (int y = 0; y < keepRows; ++y)
                std::memcpy(bits.get() + size_t(y) * rowBytes, Bits_.get() + size_t(y) * RowBytes_, keepBytes);
        }
    }
    Bits_ = std::move(bits);
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

void TBitmap::ConvertTo(TPixelFormat format)
{
    TBitmap target;
    target.Format_ = format;
    target.SetSize(Width_, Height_);
    const bool toPalette = format == TPixelFormat::pf1bit || format == TPixelFormat::pf4bit ||
                           format == TPixelFormat::pf8bit;
    for (int y = 0; y < Height_; ++y) {
        uint8_t* out = target.ScanLine(y);
        for (int x = 0; x < Width_; ++x) {
            uint8_t bgr[3];
            PixelBGR(x, y, bgr);
            switch (format) {
            case TPixelFormat::pf24bit: std::memcpy(out + 3 * x, bgr, 3); break;
            case TPixelFormat::pf32bit:
            case TPixelFormat::pfDevice:
                std::memcpy(out + 4 * x, bgr, 3);
                out[4 * x + 3] = (Format_ == TPixelFormat::pf32bit || Format_ == TPixelFormat::pfDevice)
                                     ? ScanLine(y)[4 * x + 3]
                                     : 255;
                break;
            case TPixelFormat::pf15bit: {
                const unsigned v = unsigned(bgr[0] >> 3) | unsigned(bgr[1] >> 3) << 5 | unsigned(bgr[2] >> 3) << 10;
                out[2 * x] = uint8_t(v);
                out[2 * x + 1] = uint8_t(v >> 8);
                break;
            }
            default: {
                // Palette formats: a grey level, the nearest the target depth holds.
                const unsigned grey = (bgr[0] * 114u + bgr[1] * 587u + bgr[2] * 299u) / 1000u;
                const int bits = tessaria::BitsPerPixel(format);
                const unsigned index = grey >> (8 - bits);
                if (bits == 8)
                    out[x] = uint8_t(index);
                else if (bits == 4)
                    out[x >> 1] |= uint8_t((x & 1) ? index : index << 4);
                else
                    out[x >> 3] |= uint8_t(index << (7 - (x & 7)));
                break;
            }
            }
        }
    }
    if (toPalette)
        target.Palette_.clear(); // the grey ramp of PaletteColour
    *this = std::move(target);
}

} // namespace tessaria
