#pragma once
// Replays a metafile's drawing commands on a painter, the picture's frame
// filling the target rectangle.

#include <QPainter>
#include <QRectF>

#include "imageio/metafile.h"

namespace tessaria {

// Text needs a QGuiApplication; without one, text commands are left out.
void PlayMetafile(const TMetafileData& data, QPainter& painter, const QRectF& target);

} // namespace tessaria
