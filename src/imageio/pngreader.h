#pragma once
// PNG files ("png") through libpng: grey, colour and palette pictures of any
// depth, interlaced or not; transparency is shown over white.

#include "imageio/bitmap.h"

namespace tessaria {

class TPNGGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TPNGGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }
};

} // namespace tessaria
