#pragma once
// The bookmark file "bookmrks.dat": one entry per line, a folder with a
// trailing separator or a folder and a file name. It lives in the user's data
// folder, which the user can write also when the program is installed; a file
// beside the program (where older versions kept it) is taken over once.

#include <QString>
#include <QStringList>

namespace tessaria {

// The file's path; tests point it elsewhere.
QString BookmarkFilePath();
void SetBookmarkFilePath(const QString& path); // empty: the user's data folder again
// The file beside the program.
QString ProgramFolderBookmarkFilePath();
// When the user has no bookmark file yet and the program's folder has one,
// copies it to the user's (silently: a file that cannot be copied stays
// where it is and is read from there). Done at start-up.
void AdoptProgramFolderBookmarks();

// Lines as entries: CR LF, CR or LF end a line, empty lines stay. Text that is
// not UTF-8 is read as Latin-1. A missing or unreadable file gives false.
bool ReadBookmarks(const QString& path, QStringList& entries);
// Every entry followed by CR LF; raises EInOutError when it cannot be written.
void WriteBookmarks(const QString& path, const QStringList& entries);

// A bookmark's folder (up to and including its last separator) and file name.
QString BookmarkFolder(const QString& entry);
QString BookmarkName(const QString& entry);

// The first of the captions that begins with the name, letter case ignored;
// -1 when none does.
int FirstCaptionStartingWith(const QStringList& captions, const QString& name);

} // namespace tessaria
