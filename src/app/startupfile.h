#pragma once
// What the program does with the one file or folder named on its command line,
// which is also how the desktop hands over a file opened with Tessaria: a
// layout document opens (and the browser shows its folder), a picture is
// shown selected in its folder, a folder is shown.

#include <QString>

namespace tessaria {

class TfrmTessaria;

enum class TStartupArgument { Missing, Folder, Layout, Picture };

// By the file system and the name: a folder; a ".tsd" file; a file whose
// extension the format table reads; any other file is tried as a layout (a
// layout can reach us without its extension, known by its first bytes).
TStartupArgument ClassifyStartupArgument(const QString& path);

// Runs inside the command guard: errors end up in the standard error box.
void OpenStartupArgument(TfrmTessaria& window, const QString& path);

} // namespace tessaria
