#pragma once
// The device-independent bitmap every reader fills and the rest of the program
// handles: a pixel format, a palette of up to 256 entries and rows from the top,
// each padded to 32 bits.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "imageio/graphic.h"
#include "imageio/largebuffer.h"

namespace tessaria {

enum class TPixelFormat {
    pf1bit,   // palette
    pf4bit,   // palette
    pf8bit,   // palette
    pf15bit,  // 5-5-5, blue in the low bits
    pf24bit,  // blue, green, red
    pf32bit,  // blue, green, red, alpha
    pfDevice, // the screen's own layout; here blue, green, red, unused
};

int BitsPerPixel(TPixelFormat format);

struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Flags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

using TPalette = std::vector<TPaletteEntry>;
constexpr size_t MaxPaletteEntries = 256;

class TBitmap : public TGraphic {
public:
    TBitmap() = default;
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    TBitmap(TBitmap&&) noexcept = default;
    TBitmap& operator=(TBitmap&&) noexcept = default;
    ~TBitmap() override = default;

    // Reads a Windows bitmap file ("bmp", "dib", "rle"); readers of other
    // formats override it.
    void LoadFromStream(TStream& stream) override;

    int Width() const override { return Width_; }
    int Height() const override { return Height_; }
    TPixelFormat PixelFormat() const { return Format_; }
    int BitsPerPixel() const { return tessaria::BitsPerPixel(Format_); }
    size_t RowBytes() const { return RowBytes_; }

    // Changing the format of a bitmap that has pixels converts them.
    void SetPixelFormat(TPixelFormat format);
    // Resizing keeps the overlapping top-left part; new pixels are zero.
    // Raises EInvalidGraphic when the size is beyond the program's limit,
    // before anything is allocated.
    void SetWidth(int width) { SetSize(width, Height_); }
    void SetHeight(int height) { SetSize(Width_, height); }
    void SetSize(int width, int height);
    // A new size for a caller that writes every byte of every row, the
    // padding included: the old pixels go and the rows are not cleared
    // (clearing a big picture costs as much as a fast decoder filling it).
    void SetSizeToOverwrite(int width, int height);
    // Back to an empty 0 x 0 bitmap; the pixel format and palette stay.
    void Clear();

    uint8_t* ScanLine(int row) { return Bits_.get() + size_t(row) * RowBytes_; }
    const uint8_t* ScanLine(int row) const { return Bits_.get() + size_t(row) * RowBytes_; }
    uint8_t* Bits() { return Bits_.get(); }
    const uint8_t* Bits() const { return Bits_.get(); }

    const TPalette& Palette() const { return Palette_; }
    // The bitmap owns the palette from here on; entries beyond 256 are dropped.
    void SetPalette(TPalette palette);

    void Assign(const TBitmap& other) { *this = other; }
    void AssignTo(TBitmap& target) const override { target = *this; }
    // Hands rows, palette and format to target (as a plain TBitmap); this
    // bitmap is left empty.
    void MoveTo(TBitmap& target) override;
    static constexpr const char* StaticClassName = "TBitmap";
    const char* ClassName() const override { return StaticClassName; }

    // The colour of pixel (x, y) as blue, green, red, whatever the format.
    void PixelBGR(int x, int y, uint8_t bgr[3]) const;
    // Row `row` as Width() pixels of blue, green, red (3 x Width() bytes at
    // `bgr`), whatever the format; alpha is dropped. This is how every
    // picture becomes the resampler's 24-bit input.
    void RowToBGR24(int row, uint8_t* bgr) const;

private:
    void ConvertTo(TPixelFormat format);

    TPixelFormat Format_ = TPixelFormat::pf24bit;
    int Width_ = 0;
    int Height_ = 0;
    size_t RowBytes_ = 0;
    TLargeBuffer Bits_;
    TPalette Palette_;
};

// Colour of palette index i: the palette entry, or a grey ramp (black and white
// for 1 bit) when the bitmap has no palette.
TPaletteEntry PaletteColour(const TPalette& palette, TPixelFormat format, unsigned index);

} // namespace tessaria
