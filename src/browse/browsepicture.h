#pragma once
// The one way the browser reads a picture it shows (thumbnails, the preview
// pane, the viewer): the file loaded for being shown fitted into a box, a JPEG
// only at the reduced scale that box needs, and turned upright by the
// orientation its camera recorded when asked to.

#include <QSize>
#include <QString>

#include "imageio/orientation.h"
#include "imageio/reducedpicture.h"

namespace tessaria {

struct TBrowsePicture : TReducedPicture {
    // The orientation the bitmap was turned upright from; Width and Height
    // are then the upright picture's. OrientationNormal when not turned.
    int TurnedFrom = OrientationNormal;
};

// Raises what loading raises.
TBrowsePicture LoadBrowsePicture(const QString& path, QSize box, bool upright);

} // namespace tessaria
