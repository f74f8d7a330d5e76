// The main window's bookmark and search commands (the rest of browsing is in
// filelist.cpp, preview.cpp, thumbnails.cpp and viewer.cpp).
#include "app/utessaria.h"

namespace tessaria {

void TfrmTessaria::AddBookmark1Click() {}
void TfrmTessaria::EditBookmarks1Click() {}
void TfrmTessaria::BuildBookmarkItems() {}
void TfrmTessaria::tbSearchClick() {}

} // namespace tessaria
