#include "browse/sharedthumbnails.h"

#include <QCryptographicHash>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <sys/stat.h>

namespace tessaria {

namespace {

constexpr int LargeThumbnailSize = 256;

// Creates the folder and any missing parent readable by the owner only.
bool MakePrivateFolder(const QString& folder)
{
    if (FolderExists(folder))
        return true;
    const qsizetype slash = folder.lastIndexOf('/');
    if (slash > 0 && !MakePrivateFolder(folder.left(slash)))
        return false;
    return ::mkdir(FileNameBytes(folder).constData(), 0700) == 0 || FolderExists(folder);
}

std::optional<TSharedThumbnail> ReadOne(const QString& file, int maxSide, const QByteArray& uri,
                                        const TFileStamp& stamp)
{
    if (!FileExists(file))
        return std::nullopt;
    QImageReader reader(file, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() < 1 || size.height() < 1 || size.width() > maxSide || size.height() > maxSide)
        return std::nullopt;
    if (reader.text("Thumb::URI").toUtf8() != uri)
        return std::nullopt;
    bool ok = false;
    const qlonglong mtime = reader.text("Thumb::MTime").trimmed().toLongLong(&ok);
    if (!ok || mtime != stamp.ModifiedNs / 1000000000)
        return std::nullopt;
    const QString sizeText = reader.text("Thumb::Size").trimmed();
    if (!sizeText.isEmpty() && sizeText.toLongLong(&ok) != stamp.Size)
        return std::nullopt;
    TSharedThumbnail thumbnail;
    thumbnail.PictureWidth = reader.text("Thumb::Image::Width").toInt();
    thumbnail.PictureHeight = reader.text("Thumb::Image::Height").toInt();
    if (thumbnail.PictureWidth < 1 || thumbnail.PictureHeight < 1)
        thumbnail.PictureWidth = thumbnail.PictureHeight = 0;
    if (!reader.read(&thumbnail.Image) || thumbnail.Image.isNull())
        return std::nullopt;
    return thumbnail;
}

} // namespace

QByteArray ThumbnailUri(const QString& absolutePath) { return FileUri(absolutePath); }

QString ThumbnailFileName(const QByteArray& uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + ".png";
}

TSharedThumbnailCache::TSharedThumbnailCache(const QString& cacheHome)
{
    const QString home =
        cacheHome.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) : cacheHome;
    if (!home.isEmpty())
        Folder_ = home + "/thumbnails";
}

QString TSharedThumbnailCache::NormalPath(const QString& absolutePath) const
{
    return Folder_ + "/normal/" + ThumbnailFileName(ThumbnailUri(absolutePath));
}

QString TSharedThumbnailCache::LargePath(const QString& absolutePath) const
{
    return Folder_ + "/large/" + ThumbnailFileName(ThumbnailUri(absolutePath));
}

std::optional<TSharedThumbnail> TSharedThumbnailCache::Read(const QString& absolutePath, const TFileStamp& stamp) const
{
    if (Folder_.isEmpty() || !stamp.Exists)
        return std::nullopt;
    const QByteArray uri = ThumbnailUri(absolutePath);
    const QString name = ThumbnailFileName(uri);
    if (auto normal = ReadOne(Folder_ + "/normal/" + name, NormalThumbnailSize, uri, stamp))
        return normal;
    return ReadOne(Folder_ + "/large/" + name, LargeThumbnailSize, uri, stamp);
}

bool TSharedThumbnailCache::WantsNormal(const QString& absolutePath, int pictureWidth, int pictureHeight) const
{
    if (Folder_.isEmpty())
        return false;
    if (pictureWidth <= NormalThumbnailSize && pictureHeight <= NormalThumbnailSize)
        return false;
    return !absolutePath.startsWith(Folder_ + "/");
}

bool TSharedThumbnailCache::WriteNormal(const QString& absolutePath, const TFileStamp& stamp, const QImage& thumbnail,
                                        int pictureWidth, int pictureHeight) const
{
    if (Folder_.isEmpty() || !stamp.Exists || thumbnail.isNull())
        return false;
    const QString folder = Folder_ + "/normal";
    if (!MakePrivateFolder(folder))
        return false;
    const QByteArray uri = ThumbnailUri(absolutePath);
    QSaveFile file(folder + "/" + ThumbnailFileName(uri));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QImageWriter writer(&file, "png");
    writer.setText("Thumb::URI", QString::fromLatin1(uri));
    writer.setText("Thumb::MTime", QString::number(stamp.ModifiedNs / 1000000000));
    writer.setText("Thumb::Size", QString::number(stamp.Size));
    writer.setText("Thumb::Image::Width", QString::number(pictureWidth));
    writer.setText("Thumb::Image::Height", QString::number(pictureHeight));
    writer.setText("Software", "Tessaria");
    if (!writer.write(thumbnail.convertToFormat(QImage::Format_ARGB32)))
        return false;
    return file.commit();
}

} // namespace tessaria
