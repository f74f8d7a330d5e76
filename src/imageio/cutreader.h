#pragma once
// Dr. Halo pictures ("cut"): 8-bit run-length rows, with the palette in a
// companion ".pal" file of the same name.

#include <string>

#include "imageio/bitmap.h"

namespace tessaria {

class TCUTGraphic final : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TCUTGraphic";

    // Takes the palette from the file's name with ".pal" for its extension.
    void LoadFromFile(const std::string& fileName) override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return StaticClassName; }

    // Empty or missing: 256 greys.
    const std::string& PaletteFileName() const { return PaletteFileName_; }
    void SetPaletteFileName(const std::string& name) { PaletteFileName_ = name; }

private:
    std::string PaletteFileName_;
};

} // namespace tessaria
