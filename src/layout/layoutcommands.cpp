// The main window's layout commands: pages, boxes, text, turns, clipboard and
// options.
#include "app/utessaria.h"

namespace tessaria {

void TfrmTessaria::tbAlignClick() {}
void TfrmTessaria::tbRotateLeftClick(QAction*) {}
void TfrmTessaria::tbAddTextClick() {}
void TfrmTessaria::tbAlignLeftClick(QAction*) {}
void TfrmTessaria::Cut1Click(QAction*) {}
void TfrmTessaria::Paste1Click() {}
void TfrmTessaria::tbPropertiesClick() {}
void TfrmTessaria::DeleteSelectedBox() {}
void TfrmTessaria::PnlWhiteDragOver(TCanvasPanel*, const QMimeData*, bool&) {}
void TfrmTessaria::PnlWhiteDragDrop(TCanvasPanel*, const QMimeData*, QPoint) {}

} // namespace tessaria
