#pragma once
// The base of everything a picture can hold: bitmaps and their readers, JPEG
// images, icons and metafiles.

#include <string>

namespace tessaria {

class TStream;
class TBitmap;

class TGraphic {
public:
    virtual ~TGraphic() = default;

    // Opens the file (EInOutError "Cannot open file %s"), reads it with
    // LoadFromStream and closes it again, also on failure.
    virtual void LoadFromFile(const std::string& fileName);
    virtual void LoadFromStream(TStream& stream) = 0;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() == 0 || Height() == 0; }

    // Copies the picture into a bitmap (the "assign to a bitmap" of callers
    // that only handle bitmaps).
    virtual void AssignTo(TBitmap& target) const = 0;
    // As AssignTo, but may hand its pixels over instead of copying them; the
    // graphic is empty afterwards. Loading uses it so that a picture is never
    // held twice at full size.
    virtual void MoveTo(TBitmap& target) { AssignTo(target); }

    // The reader class's name ("TBitmap", "TJPEGImage", ...), for diagnostics.
    virtual const char* ClassName() const = 0;

    // How the stored picture is to be turned to show upright, as EXIF and
    // TIFF number it (see orientation.h); OrientationNormal unless the file
    // says otherwise. Readers set it; the pixels stay as stored.
    int Orientation() const { return Orientation_; }
    // Values outside 1 to 8 mean nothing and are taken as 1.
    void SetOrientation(int orientation) { Orientation_ = orientation >= 1 && orientation <= 8 ? orientation : 1; }

private:
    int Orientation_ = 1;
};

} // namespace tessaria
