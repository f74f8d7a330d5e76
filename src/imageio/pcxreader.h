#pragma once
// ZSoft PCX files ("pcx", "pcc") and Word screen captures ("scr"): 1 bit,
// four planes of 1 bit, 8 bits with the trailing palette, and three planes
// of 8 bits; raw or run-length encoded.

#include "imageio/bitmap.h"

namespace tessaria {

class TPCXGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TPCXGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }
};

} // namespace tessaria
