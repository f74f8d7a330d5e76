#pragma once
// TIFF files ("tif", "tiff"): the first image of the file, in strips or
// tiles, chunky or planar, uncompressed, LZW, PackBits, Deflate (zlib) or
// JPEG, with or without the horizontal predictor; bilevel, grey, palette,
// RGB(A), CMYK, CIE L*a*b* and YCbCr; with the orientation it records.

#include <cstdint>
#include <vector>

#include "imageio/bitmap.h"

namespace tessaria {

class TTIFFGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TTIFFGraphic";

    TTIFFGraphic() { SetPixelFormat(TPixelFormat::pf24bit); }
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }

    // One directory entry as stored: the value field keeps the file's bytes.
    struct TDirEntry {
        uint16_t Tag = 0;
        uint16_t Type = 0;
        uint32_t Count = 0;
        uint8_t Value[4] = {};
    };

private:
    uint16_t ByteOrder_ = 0;
    uint16_t Version_ = 0;
    uint32_t FirstIFD_ = 0;
    std::vector<TDirEntry> Entries_;
    uint64_t BasePosition_ = 0;
    std::vector<uint16_t> ColorMap_;
};

} // namespace tessaria
