#pragma once
// Wavefront RLA/RPF files ("rla", "rpf"): RGB with an optional matte as
// alpha, run-length encoded per channel row.

#include "imageio/bitmap.h"

namespace tessaria {

class TRLAGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TRLAGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }
};

} // namespace tessaria
