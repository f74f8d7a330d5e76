#pragma once
// The desktop's shared thumbnail cache ($XDG_CACHE_HOME/thumbnails): PNG files
// named by the MD5 of the picture's file URI, in "normal" (at most 128 x 128)
// and "large" (at most 256 x 256), each carrying the URI and the picture's
// modification time so that a stale one is known. File managers and viewers
// fill it and read it; so does the thumbnail view. A cache that cannot be read
// or written is no error: the thumbnail is then simply made from the picture.

#include <QImage>
#include <QString>
#include <optional>

#include "platform/filenames.h"

namespace tessaria {

// The edge of a "normal" thumbnail.
constexpr int NormalThumbnailSize = 128;

// "file://" and the path's bytes, escaped as in a URI's path: everything but
// letters, digits and -_.!~*'():@&=+$,/ as %XX.
QByteArray ThumbnailUri(const QString& absolutePath);
// The MD5 of the URI in lower-case hexadecimal, with ".png".
QString ThumbnailFileName(const QByteArray& uri);

struct TSharedThumbnail {
    QImage Image;
    int PictureWidth = 0; // the picture's own size when the thumbnail says it, else 0
    int PictureHeight = 0;
};

class TSharedThumbnailCache {
public:
    // The cache under a folder (its "thumbnails" folder); empty means the
    // user's cache folder from the environment.
    explicit TSharedThumbnailCache(const QString& cacheHome = QString());

    QString Folder() const { return Folder_; }

    // A thumbnail of "normal" or else "large" size made for this very file as
    // it is now: the URI matches, the modification time is the file's, and the
    // size, when given, too. Nothing for a missing, stale or damaged one.
    std::optional<TSharedThumbnail> Read(const QString& absolutePath, const TFileStamp& stamp) const;

    // Whether a normal thumbnail is worth storing for a picture of this size in
    // this place: not for pictures that fit in 128 x 128 already, nor for files
    // inside the cache itself.
    bool WantsNormal(const QString& absolutePath, int pictureWidth, int pictureHeight) const;

    // Stores a normal thumbnail (8-bit RGBA PNG, written under a temporary
    // name and renamed, readable by the owner only) with the URI, modification
    // time, size and the picture's own size. False when it could not be stored.
    bool WriteNormal(const QString& absolutePath, const TFileStamp& stamp, const QImage& thumbnail, int pictureWidth,
                     int pictureHeight) const;

    // Where the normal and large thumbnails of a file are.
    QString NormalPath(const QString& absolutePath) const;
    QString LargePath(const QString& absolutePath) const;

private:
    QString Folder_;
};

} // namespace tessaria
