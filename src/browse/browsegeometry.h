#pragma once
// Where the browser puts pictures: the preview inside its panel, a thumbnail
// inside its tile, the viewer's window size; and the build's gauge value.

#include <QRect>
#include <QSize>

namespace tessaria {

// The picture fitted into the panel's outer size and centred; halves of the
// spare room are truncated toward zero.
QRect PreviewPlacement(QSize panel, QSize picture);

// The picture fitted into a square tile, centred across and resting on the
// tile's bottom edge.
QRect ThumbnailPlacement(int thumbSize, QSize picture);

// The viewer window's outer size: the picture fitted into the box.
QSize ViewerOuterSize(QSize box, QSize picture);

// The gauge after item `done` (counted from 0) of `count`: round(done / count x 100).
int ThumbnailGaugePercent(int done, int count);

} // namespace tessaria
