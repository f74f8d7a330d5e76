#pragma once
// The picture holder: loads any format of the format table by the file's
// extension and keeps the graphic that read it.

#include <functional>
#include <memory>
#include <string>

#include "imageio/bitmap.h"
#include "imageio/fileformats.h"

namespace tessaria {

class TPicture {
public:
    explicit TPicture(const TFileFormatsList& formats = FileFormats()) : Formats_(&formats) {}

    // Picks the class by the extension (the text after the last "."), makes
    // one and lets it read the file. No row for the extension raises
    // EInvalidGraphic "Unknown picture file extension (.%s)". On any failure
    // the picture keeps its previous graphic.
    void LoadFromFile(const std::string& fileName);

    TGraphic* Graphic() const { return Graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);

    // Makes the picture hold a bitmap: a graphic that is no bitmap (a JPEG
    // image, an icon) is turned into one, handing its pixels over. This is
    // what callers do right after loading, so that the rest of the program
    // only handles bitmaps.
    TBitmap& Bitmap();

    int Width() const { return Graphic_ ? Graphic_->Width() : 0; }
    int Height() const { return Graphic_ ? Graphic_->Height() : 0; }

    // Called whenever the picture's graphic changed.
    std::function<void()> OnChange;

private:
    void Changed();

    const TFileFormatsList* Formats_;
    std::unique_ptr<TGraphic> Graphic_;
};

// Loads a file through the program's format table exactly as the browser,
// the layout and the printing do, and gives it as a bitmap. readerClass, when
// given, receives the name of the class that read the file.
TBitmap LoadBitmapFromFile(const std::string& fileName, std::string* readerClass = nullptr);

} // namespace tessaria
