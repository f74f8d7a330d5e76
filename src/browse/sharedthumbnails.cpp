#include "browse/sharedthumbnails.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <sys/stat.h>

#include "browse/thumbnailpng.h"

namespace tessaria {

namespace {

constexpr int LargeThumbnailSize = 256;
constexpr int64_t MaxThumbnailFileSize = 4 << 20;

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

std::string TextOf(const TPngText& text, const char* key)
{
    const auto found = text.find(key);
    return found == text.end() ? std::string() : found->second;
}

std::optional<TSharedThumbnail> ReadOne(const QString& path, int maxSide, const QByteArray& uri,
                                        const TFileStamp& stamp)
{
    const TFileStamp file = StampOf(path);
    // A thumbnail of at most 256 x 256 pixels is far below this.
    if (!file.RegularFile || file.Size > MaxThumbnailFileSize)
        return std::nullopt;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = in.readAll();
    QSize size;
    TPngText text;
    if (!ReadPngHeader(bytes, size, text) || size.width() < 1 || size.height() < 1 || size.width() > maxSide ||
        size.height() > maxSide)
        return std::nullopt;
    if (TextOf(text, "Thumb::URI") != uri.toStdString())
        return std::nullopt;
    bool ok = false;
    const qlonglong mtime = QByteArray::fromStdString(TextOf(text, "Thumb::MTime")).trimmed().toLongLong(&ok);
    if (!ok || mtime != stamp.ModifiedNs / 1000000000)
        return std::nullopt;
    const QByteArray sizeText = QByteArray::fromStdString(TextOf(text, "Thumb::Size")).trimmed();
    if (!sizeText.isEmpty() && sizeText.toLongLong(&ok) != stamp.Size)
        return std::nullopt;
    TSharedThumbnail thumbnail;
    thumbnail.PictureWidth = QByteArray::fromStdString(TextOf(text, "Thumb::Image::Width")).toInt();
    thumbnail.PictureHeight = QByteArray::fromStdString(TextOf(text, "Thumb::Image::Height")).toInt();
    if (thumbnail.PictureWidth < 1 || thumbnail.PictureHeight < 1)
        thumbnail.PictureWidth = thumbnail.PictureHeight = 0;
    thumbnail.Image = ReadPngPixels(bytes, maxSide);
    if (thumbnail.Image.isNull())
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
    const QByteArray png = WritePng(thumbnail, {{"Thumb::URI", uri.toStdString()},
                                                {"Thumb::MTime", std::to_string(stamp.ModifiedNs / 1000000000)},
                                                {"Thumb::Size", std::to_string(stamp.Size)},
                                                {"Thumb::Image::Width", std::to_string(pictureWidth)},
                                                {"Thumb::Image::Height", std::to_string(pictureHeight)},
                                                {"Software", "Tessaria"}});
    if (png.isEmpty())
        return false;
    // Written under a temporary name in the same folder and renamed, so that
    // another program never reads half a thumbnail.
    QSaveFile file(folder + "/" + ThumbnailFileName(uri));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(png) != png.size())
        return false;
    return file.commit();
}

} // namespace tessaria
