#pragma once
// Netpbm files ("pbm", "pgm", "ppm"): plain (text) and raw (binary) bitmaps,
// grey maps and pixel maps, with maximum values up to 65535.

#include <cstdint>
#include <vector>

#include "imageio/bitmap.h"

namespace tessaria {

class TPPMGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TPPMGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }

private:
    uint8_t NextByte();
    void ReadBytes(uint8_t* dest, size_t count);
    uint32_t ReadNumber();

    TStream* Stream_ = nullptr;
    std::vector<uint8_t> Buffer_;
    size_t BufferPos_ = 0;
};

} // namespace tessaria
