#include "print/core/upright.h"

#include "imageio/orientation.h"
#include "print/core/rotate.h"

namespace tessaria {

void TurnUpright(TBitmap& bitmap, int orientation)
{
    // A mirrored orientation is its row direction's turn of the mirror image.
    if (OrientationMirrors(orientation))
        MirrorLeftRight(bitmap);
    RotateByDegrees(bitmap, OrientationTurn(orientation));
    bitmap.SetOrientation(OrientationNormal);
}

void TurnBackFromUpright(TBitmap& bitmap, int orientation)
{
    if (orientation < 1 || orientation > 8)
        return;
    RotateByDegrees(bitmap, (360 - OrientationTurn(orientation)) % 360);
    if (OrientationMirrors(orientation))
        MirrorLeftRight(bitmap);
    bitmap.SetOrientation(orientation);
}

} // namespace tessaria
