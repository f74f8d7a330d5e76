#pragma once
// HEIF and AVIF files ("heic", "heif", "avif") through libheif: the primary
// picture, turned and mirrored as the file says (so it needs no orientation
// of its own), alpha shown over white, deeper samples cut to 8 bits.

#include "imageio/bitmap.h"

namespace tessaria {

class THEIFGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "THEIFGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }
};

} // namespace tessaria
