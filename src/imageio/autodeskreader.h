#pragma once
// Old-style Autodesk Animator pictures ("pic", "cel"): 8 bits with a
// 64-level palette, uncompressed.

#include "imageio/bitmap.h"

namespace tessaria {

class TAutodeskGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TAutodeskGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }
};

} // namespace tessaria
