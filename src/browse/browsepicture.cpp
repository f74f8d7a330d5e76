#include "browse/browsepicture.h"

#include "platform/filenames.h"

namespace tessaria {

TReducedPicture LoadBrowsePicture(const QString& path, QSize box)
{
    return LoadPictureForBox(FileNameString(path), box.width(), box.height());
}

} // namespace tessaria
