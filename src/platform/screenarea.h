#pragma once
// Keeping a window on the screen: stored bounds from a larger screen, or from
// a display that was scaled differently, would open it partly or wholly off
// the screen.

#include <QRect>

namespace tessaria {

// The bounds moved (and, when larger than the area, shrunk) so that they lie
// within the area. An empty area leaves them as they are.
QRect ClipToScreen(const QRect& bounds, const QRect& area);

// The available area (without panels) of the screen that holds the centre of
// the bounds, or of the primary screen, in the same device-independent pixels
// that window positions use.
QRect ScreenAreaFor(const QRect& bounds);

} // namespace tessaria
