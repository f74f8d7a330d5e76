#pragma once
// Loading a picture that is only needed small: a thumbnail, a preview, a box's
// copy on the page. JPEG files are decoded at a reduced libjpeg scale; every
// other format is read whole. Printing reads pictures whole (picture.h).

#include <string>

#include "imageio/bitmap.h"

namespace tessaria {

struct TReducedPicture {
    TBitmap Bitmap; // the picture, possibly reduced
    int Width = 0;  // the picture's own size in its file
    int Height = 0;
    bool Reduced() const { return Bitmap.Width() != Width || Bitmap.Height() != Height; }
};

// Loads the file by its extension through the format table, as
// LoadBitmapFromFile does, but a JPEG file only at the smallest scale M/8 whose
// bitmap is at least minWidth x minHeight (whole when the picture is smaller).
// Raises what loading raises.
TReducedPicture LoadPictureAtLeast(const std::string& fileName, int minWidth, int minHeight);

// Loads the file for showing it fitted (FitSize) into a box of boxWidth x
// boxHeight: the bitmap has at least twice the fitted width and height, so that
// resampling it down to the fitted size still averages over every pixel it
// covers.
TReducedPicture LoadPictureForBox(const std::string& fileName, int boxWidth, int boxHeight);
// The same for a picture that may yet be turned a quarter (by its camera
// orientation, known only once it is read): at least twice the fitted size
// whichever way it ends up.
TReducedPicture LoadPictureForBoxEitherWay(const std::string& fileName, int boxWidth, int boxHeight);

// The least bitmap size LoadPictureForBox asks for: twice the fitted size.
struct TMinimumSize {
    int Width = 0;
    int Height = 0;
};
TMinimumSize MinimumSizeForBox(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);

} // namespace tessaria
