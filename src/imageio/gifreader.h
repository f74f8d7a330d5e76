#pragma once
// GIF files ("gif"): the first image of the file, LZW-decoded, as an 8-bit
// bitmap with its colour table. Transparency, animation and the image's
// place on the screen are not read.

#include "imageio/bitmap.h"

namespace tessaria {

class TGIFGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TGIFGraphic";

    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }
};

} // namespace tessaria
