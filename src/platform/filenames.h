#pragma once
// File names as the file system holds them (bytes) and as the program's text.
// Qt drops names that are not UTF-8 from its listings and cannot open them; here
// each byte that is not part of a valid UTF-8 sequence becomes the lone
// surrogate U+DC80 + byte, so that the text turns back into the very same bytes.
// Everything in the browser that touches the disk goes through these.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaria {

QString FileNameText(const QByteArray& bytes);
QByteArray FileNameBytes(const QString& text);
inline std::string FileNameString(const QString& text) { return FileNameBytes(text).toStdString(); }
// "file://" and the path's bytes escaped as in a URI's path (RFC 2396):
// everything but letters, digits and -_.!~*'():@&=+$,/ as %XX.
QByteArray FileUri(const QString& absolutePath);
// The text for showing: each kept byte read as Latin-1, the way a name written
// on an older system was meant.
QString DisplayFileName(const QString& text);

// What stat says of a path (following links).
struct TFileStamp {
    bool Exists = false;
    bool Folder = false;
    bool RegularFile = false;
    int64_t Size = 0;
    int64_t ModifiedNs = 0; // nanoseconds since 1970
    bool operator==(const TFileStamp&) const = default;
    QDateTime Modified() const { return QDateTime::fromMSecsSinceEpoch(ModifiedNs / 1000000); }
};
TFileStamp StampOf(const QString& path);
bool FolderExists(const QString& path);
bool FileExists(const QString& path); // a file that is no folder

// The entries of a folder in the order the file system gives them, without
// "." and "..": names as text and their stamps. Empty when it cannot be read.
struct TFolderEntry {
    QString Name;
    TFileStamp Stamp;
};
std::vector<TFolderEntry> FolderEntries(const QString& folder);

// The folder with a "/" at its end, and a folder joined with a name.
QString WithTrailingSeparator(const QString& folder);
inline QString JoinPath(const QString& folder, const QString& name) { return WithTrailingSeparator(folder) + name; }
// The current directory as text (names kept as in FileNameText).
QString CurrentFolder();

// The names of the folders in a folder (links to folders too), hidden ones
// (starting with ".") left out; and whether there is any.
QStringList SubfolderNames(const QString& folder);
bool HasSubfolder(const QString& folder);

// The path itself when it is a folder, else its nearest parent that is one;
// "/" at worst. Relative paths count from the current directory.
QString NearestExistingFolder(const QString& path);

} // namespace tessaria
