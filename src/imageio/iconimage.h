#pragma once
// Windows icons ("ico"): the largest, deepest entry of the file, BMP- or
// PNG-encoded, as a 32-bit bitmap whose alpha comes from the entry's own
// alpha or its AND mask.

#include "imageio/bitmap.h"
#include "imageio/graphic.h"

namespace tessaria {

class TIcon final : public TGraphic {
public:
    static constexpr const char* StaticClassName = "TIcon";

    void LoadFromStream(TStream& stream) override;

    int Width() const override { return Bitmap_.Width(); }
    int Height() const override { return Bitmap_.Height(); }
    void AssignTo(TBitmap& target) const override { target = Bitmap_; }
    void MoveTo(TBitmap& target) override { Bitmap_.MoveTo(target); }
    const char* ClassName() const override { return StaticClassName; }

    const TBitmap& Bitmap() const { return Bitmap_; }
    // Index of the entry that was read.
    int EntryIndex() const { return EntryIndex_; }

private:
    TBitmap Bitmap_;
    int EntryIndex_ = -1;
};

} // namespace tessaria
