#pragma once
// Scales a window's designed sizes by m/d: fixed sizes, and the places and
// sizes of children outside layouts. Fonts stay as they are; splitter sizes
// are the caller's, who knows the designed ones.

class QWidget;

namespace tessaria {

void ScaleControls(QWidget* root, int m, int d);

} // namespace tessaria
