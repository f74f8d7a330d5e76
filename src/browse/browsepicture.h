#pragma once
// The one way the browser reads a picture it shows (thumbnails, the preview
// pane, the viewer): the file loaded for being shown fitted into a box, a JPEG
// only at the reduced scale that box needs. Whatever every shown picture must
// go through (turning it upright, say) belongs here.

#include <QSize>
#include <QString>

#include "imageio/reducedpicture.h"

namespace tessaria {

// Raises what loading raises.
TReducedPicture LoadBrowsePicture(const QString& path, QSize box);

} // namespace tessaria
