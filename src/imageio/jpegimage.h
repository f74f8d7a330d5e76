#pragma once
// JPEG pictures ("jpeg", "jpg"), decoded by libjpeg with its default options:
// grey files give an 8-bit grey bitmap, colour and CMYK files a 24-bit one.
// Loading decodes at full size; a reduced decode serves pictures that are only
// shown small.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "imageio/bitmap.h"
#include "imageio/graphic.h"

namespace tessaria {

// The least size a reduced decode must give.
struct TJPEGMinimum {
    int Width = 0;
    int Height = 0;
};
// Asked with the picture's own width and height once the header is read.
using TJPEGReduction = std::function<TJPEGMinimum(int width, int height)>;

class TJPEGImage final : public TGraphic {
public:
    static constexpr const char* StaticClassName = "TJPEGImage";

    // Reads the rest of the stream and decodes it. A library error raises
    // "JPEG error #%d" with the library's message number.
    void LoadFromStream(TStream& stream) override;
    // The same at the smallest of libjpeg's scales 1/8 to 8/8 that still gives
    // at least the size the reduction asks for.
    void LoadFromStreamReduced(TStream& stream, const TJPEGReduction& reduction);

    int Width() const override { return Bitmap_.Width(); }
    int Height() const override { return Bitmap_.Height(); }
    void AssignTo(TBitmap& target) const override;
    void MoveTo(TBitmap& target) override;
    const char* ClassName() const override { return StaticClassName; }

    const TBitmap& Bitmap() const { return Bitmap_; }
    // The picture's own size in the file, also after a reduced decode.
    int FullWidth() const { return FullWidth_; }
    int FullHeight() const { return FullHeight_; }

private:
    void LoadReduced(TStream& stream, const TJPEGReduction* reduction);

    TBitmap Bitmap_;
    int FullWidth_ = 0;
    int FullHeight_ = 0;
};

// Decodes a whole JPEG file held in memory into bitmap.
void DecodeJPEG(const uint8_t* data, size_t size, TBitmap& bitmap);
// Decodes at the smallest scale M/8 whose output is at least what the
// reduction asks for (8/8 when no smaller one is); the picture's own size
// goes to fullWidth and fullHeight when given.
void DecodeJPEGReduced(const uint8_t* data, size_t size, const TJPEGReduction& reduction, TBitmap& bitmap,
                       int* fullWidth = nullptr, int* fullHeight = nullptr);

} // namespace tessaria
