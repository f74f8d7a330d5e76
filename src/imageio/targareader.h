#pragma once
// Truevision Targa files ("tga", "win", "vst", "vda", "icb"): colour-mapped,
// true-colour and grey images, raw or run-length encoded, in 8, 15, 16, 24 and
// 32 bits per pixel.

#include <cstddef>
#include <cstdint>
#include <string>

#include "imageio/bitmap.h"

namespace tessaria {

// A run-length packet that a row ended in the middle of; the next row goes on
// with it.
struct TTargaPacket {
    size_t PixelsLeft = 0;
    bool Repeat = false;
    uint8_t Pixel[4] = {};
};

// Decodes run-length packets from src (srcSize bytes) into one row of
// rowBytes bytes of pixelSize-bit pixels; returns the source bytes used. A
// packet that the row does not finish is kept in `carry` for the next row.
size_t DecodeTargaRLE(const uint8_t* src, size_t srcSize, uint8_t* row, size_t rowBytes, unsigned pixelSize,
                      TTargaPacket& carry);

class TTargaGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TTargaGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }

    // The header's image identification text.
    const std::string& ImageID() const { return ImageID_; }

private:
    std::string ImageID_;
};

} // namespace tessaria
