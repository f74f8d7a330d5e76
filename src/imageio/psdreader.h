#pragma once
// Photoshop files ("psd", "pdd"): the composite image of bitmap, grey,
// indexed, duotone, RGB, CMYK and Lab files, raw or PackBits; layers are
// not read.

#include <array>
#include <cstdint>

#include "imageio/bitmap.h"

namespace tessaria {

class TPSDGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TPSDGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }

private:
    // An indexed image's colour table: all reds, all greens, all blues.
    std::array<uint8_t, 768> ColourTable_{};
};

} // namespace tessaria
