#pragma once
// JPEG pictures ("jpeg", "jpg"), decoded by libjpeg at full size with its
// default options: grey files give an 8-bit grey bitmap, colour and CMYK files
// a 24-bit one.

#include <cstddef>
#include <cstdint>

#include "imageio/bitmap.h"
#include "imageio/graphic.h"

namespace tessaria {

class TJPEGImage final : public TGraphic {
public:
    static constexpr const char* StaticClassName = "TJPEGImage";

    // Reads the rest of the stream and decodes it. A library error raises
    // "JPEG error #%d" with the library's message number.
    void LoadFromStream(TStream& stream) override;

    int Width() const override { return Bitmap_.Width(); }
    int Height() const override { return Bitmap_.Height(); }
    void AssignTo(TBitmap& target) const override;
    void MoveTo(TBitmap& target) override;
    const char* ClassName() const override { return StaticClassName; }

    const TBitmap& Bitmap() const { return Bitmap_; }

private:
    TBitmap Bitmap_;
};

// Decodes a whole JPEG file held in memory into bitmap.
void DecodeJPEG(const uint8_t* data, size_t size, TBitmap& bitmap);

} // namespace tessaria
