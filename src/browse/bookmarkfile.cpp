#include "browse/bookmarkfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include "base/exceptions.h"
#include "platform/application.h"

namespace tessaria {

namespace {
QString& Override()
{
    static QString path;
    return path;
}
} // namespace

QString ProgramFolderBookmarkFilePath() { return ProgramFolder() + "bookmrks.dat"; }

QString BookmarkFilePath()
{
    if (!Override().isEmpty())
        return Override();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        return ProgramFolderBookmarkFilePath();
    QDir().mkpath(data); // made on first use; Add Bookmark writes there
    return data + "/bookmrks.dat";
}

void AdoptProgramFolderBookmarks()
{
    const QString mine = BookmarkFilePath();
    const QString old = ProgramFolderBookmarkFilePath();
    if (mine == old || QFileInfo::exists(mine) || !QFileInfo::exists(old))
        return;
    QDir().mkpath(QFileInfo(mine).absolutePath());
    QFile::copy(old, mine);
}

void SetBookmarkFilePath(const QString& path) { Override() = path; }

bool ReadBookmarks(const QString& path, QStringList& entries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    entries.clear();
    QString line;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            entries << line;
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        entries << line;
    return true;
}

void WriteBookmarks(const QString& path, const QStringList& entries)
{
    QByteArray bytes;
    for (const QString& e : entries)
        bytes += e.toUtf8() + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw EInOutError(QStringLiteral("Cannot write the file %1: %2").arg(path, file.errorString()).toStdString());
}

QString BookmarkFolder(const QString& entry) { return entry.left(entry.lastIndexOf('/') + 1); }

QString BookmarkName(const QString& entry) { return entry.mid(entry.lastIndexOf('/') + 1); }

int FirstCaptionStartingWith(const QStringList& captions, const QString& name)
{
    for (int i = 0; i < captions.size(); ++i)
        if (captions[i].startsWith(name, Qt::CaseInsensitive))
            return i;
    return -1;
}

} // namespace tessaria
