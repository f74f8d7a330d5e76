#pragma once
// Kodak Photo-CD image packs ("pcd"): one of the three base resolutions,
// turned as the file's orientation says.

#include <cstdint>

#include "imageio/bitmap.h"

namespace tessaria {

class TPCDGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TPCDGraphic";

    TPCDGraphic() = default;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }

    // 0: 192 x 128, 1: 384 x 256, 2: 768 x 512 (the default).
    int Resolution() const { return Resolution_; }
    void SetResolution(int resolution) { Resolution_ = resolution; }

private:
    uint64_t BasePosition_ = 0;
    int Resolution_ = 2;
};

} // namespace tessaria
