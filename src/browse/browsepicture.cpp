#include "browse/browsepicture.h"

#include <utility>

#include "platform/filenames.h"
#include "print/core/upright.h"

namespace tessaria {

TBrowsePicture LoadBrowsePicture(const QString& path, QSize box, bool upright)
{
    TBrowsePicture picture;
    const std::string name = FileNameString(path);
    static_cast<TReducedPicture&>(picture) = upright ? LoadPictureForBoxEitherWay(name, box.width(), box.height())
                                                     : LoadPictureForBox(name, box.width(), box.height());
    const int orientation = picture.Bitmap.Orientation();
    if (!upright || orientation == OrientationNormal)
        return picture;
    TurnUpright(picture.Bitmap, orientation);
    if (OrientationSwapsSides(orientation))
        std::swap(picture.Width, picture.Height);
    picture.TurnedFrom = orientation;
    return picture;
}

} // namespace tessaria
