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

} // namespace tessaria
