#pragma once
// WebP files ("webp") through libwebp: lossy and lossless, with or without
// alpha (shown over white); of an animation the first frame. The EXIF
// orientation of an extended file is kept.

#include "imageio/bitmap.h"

namespace tessaria {

class TWebPGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TWebPGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }
};

} // namespace tessaria
