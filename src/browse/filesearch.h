#pragma once
// Walking folders for files whose names match a pattern: the files of a
// folder first, then its subfolders depth first. Hidden files and folders are
// never entered or found; symbolic links to folders are not followed and the
// walk stays on the file system it started on, so it always ends.

#include <QString>
#include <functional>

namespace tessaria {

struct TFileSearchHooks {
    // The pattern, read anew in every folder (it may change while searching).
    std::function<QString()> Pattern;
    // Takes one found path; false when there is no room for more.
    std::function<bool(const QString&)> Found;
    // Asked before every entry; false stops the walk.
    std::function<bool()> Searching;
    // Called on entering every folder (the folder with a trailing separator).
    std::function<void(const QString&)> EnteringFolder;
};

enum class TFileSearchEnd { Completed, Stopped, Full };

// Raises EInOutError when the starting folder cannot be read.
TFileSearchEnd SearchFolder(const QString& folder, const TFileSearchHooks& hooks);

} // namespace tessaria
