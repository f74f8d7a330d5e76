#pragma once
// SGI image files ("sgi", "rgb", "rgba", "bw"): grey, RGB and RGBA, with 1
// or 2 bytes per sample, raw or run-length encoded.

#include <cstdint>
#include <vector>

#include "imageio/bitmap.h"
#include "imageio/decoders.h"

namespace tessaria {

class TSGIGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TSGIGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }

private:
    // Row `y` of channel `c` into Scratch_ (width bytes); false when the file
    // holds none of it.
    bool ReadChannelRow(unsigned c, unsigned y);

    TStream* Stream_ = nullptr;
    uint64_t BasePosition_ = 0;
    std::vector<uint32_t> RowStart_, RowSize_;
    std::vector<uint8_t> Scratch_, Packed_;
    TSGIRLE Decoder_;
    bool RunLength_ = false;
    unsigned BytesPerSample_ = 1;
    unsigned XSize_ = 0, YSize_ = 0;
};

} // namespace tessaria
