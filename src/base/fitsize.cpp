#include "base/fitsize.h"

#include "base/rounding.h"

namespace tessaria {

TSize FitSize(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight)
{
    // An empty picture or box has no proportion to keep.
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return {0, 0};
    const double pictureRatio = double(pictureHeight) / pictureWidth;
    const double boxRatio = double(boxHeight) / boxWidth;
    if (pictureRatio - boxRatio >= 0)
        return {int(Round(double(boxHeight) * pictureWidth / pictureHeight)), boxHeight};
    return {boxWidth, int(Round(double(boxWidth) * pictureHeight / pictureWidth))};
}

} // namespace tessaria
