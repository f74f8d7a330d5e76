// The main window's browsing commands: folder tree, file list, preview pane,
// thumbnails, viewer, bookmarks and search.
#include "app/utessaria.h"

namespace tessaria {

void TfrmTessaria::TV1Change() {}
void TfrmTessaria::Update1Click() {}
void TfrmTessaria::LV1Click() {}
void TfrmTessaria::LV1Change() {}
void TfrmTessaria::LV1ColumnClick(int) {}
void TfrmTessaria::ShowPreview() {}
void TfrmTessaria::PnlLeftBottomResize() {}
void TfrmTessaria::FitPreview() {}
void TfrmTessaria::PreImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint) {}
void TfrmTessaria::ViewImage1Click() {}
void TfrmTessaria::ViewFileDetails1Click(QAction*) {}
void TfrmTessaria::AddBookmark1Click() {}
void TfrmTessaria::EditBookmarks1Click() {}
void TfrmTessaria::BuildBookmarkItems() {}
void TfrmTessaria::tbSearchClick() {}
void TfrmTessaria::ShowInViewer(const QString&) {}
void TfrmTessaria::RefillFileList() {}

} // namespace tessaria
