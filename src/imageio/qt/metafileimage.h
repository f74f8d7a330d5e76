#pragma once
// Metafile pictures ("wmf", "emf"): the file is parsed when loaded and drawn
// when a bitmap is asked for, on white at the picture's size in screen pixels.

#include <memory>

#include "imageio/fileformats.h"
#include "imageio/graphic.h"
#include "imageio/metafile.h"

namespace tessaria {

class TMetafile final : public TGraphic {
public:
    static constexpr const char* StaticClassName = "TMetafile";

    // Raises the parser's errors, and "Picture too large" for a picture
    // whose size in pixels is beyond the limits, before anything is drawn.
    void LoadFromStream(TStream& stream) override;

    int Width() const override { return Frame_.PixelsX; }
    int Height() const override { return Frame_.PixelsY; }
    // Renders the picture as 24 bits.
    void AssignTo(TBitmap& target) const override;
    const char* ClassName() const override { return StaticClassName; }

    bool Enhanced() const { return Data_ && Data_->Enhanced; }
    const TMetafileData* Data() const { return Data_.get(); }

private:
    std::shared_ptr<const TMetafileData> Data_;
    TMetafileFrame Frame_;
};

// Puts the "wmf" and "emf" rows at the front of the table, once; the program,
// tessaria-convert and the tests call it where they set up.
void RegisterMetafileFormats(TFileFormatsList& list = FileFormats());

} // namespace tessaria
