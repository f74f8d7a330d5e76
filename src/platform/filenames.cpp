#include "platform/filenames.h"

#include <QDir>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

namespace tessaria {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at data[i], or 0.
int SequenceLength(const unsigned char* data, qsizetype size, qsizetype i, char32_t& code)
{
    const unsigned char b = data[i];
    int length;
    if (b < 0x80) {
        code = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        code = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        code = b & 0x07;
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char c = data[i + k];
        if ((c & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (c & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF)
        return 0;
    return length;
}

void AppendUtf8(QByteArray& out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

bool KeptInUri(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    static const char kept[] = "-_.!~*'():@&=+$,/";
    for (const char* k = kept; *k; ++k)
        if (c == static_cast<unsigned char>(*k))
            return true;
    return false;
}

TFileStamp StampFromStat(const struct stat& info)
{
    TFileStamp stamp;
    stamp.Exists = true;
    stamp.Folder = S_ISDIR(info.st_mode);
    stamp.RegularFile = S_ISREG(info.st_mode);
    stamp.Size = int64_t(info.st_size);
    stamp.ModifiedNs = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

} // namespace

QString FileNameText(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t code = 0;
        const int length = SequenceLength(data, bytes.size(), i, code);
        if (length == 0) {
            text += QChar(char16_t(EscapeBase + data[i]));
            ++i;
        } else {
            text += QString::fromUcs4(&code, 1);
            i += length;
        }
    }
    return text;
}

QByteArray FileNameBytes(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else if (c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF) {
            out += char(c - EscapeBase);
        } else if (QChar::isSurrogate(c)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

QByteArray FileUri(const QString& absolutePath)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    for (const char byte : FileNameBytes(absolutePath)) {
        const auto c = static_cast<unsigned char>(byte);
        if (KeptInUri(c)) {
            uri += char(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

QString DisplayFileName(const QString& text)
{
    QString shown = text;
    for (QChar& c : shown)
        if (c.unicode() >= EscapeBase + 0x80 && c.unicode() <= EscapeBase + 0xFF)
            c = QChar(char16_t(c.unicode() - EscapeBase));
    return shown;
}

TFileStamp StampOf(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(FileNameBytes(path).constData(), &info) != 0)
        return {};
    return StampFromStat(info);
}

bool FolderExists(const QString& path) { return StampOf(path).Folder; }

bool FileExists(const QString& path)
{
    const TFileStamp stamp = StampOf(path);
    return stamp.Exists && !stamp.Folder;
}

std::vector<TFolderEntry> FolderEntries(const QString& folder)
{
    std::vector<TFolderEntry> entries;
    DIR* dir = ::opendir(FileNameBytes(folder).constData());
    if (!dir)
        return entries;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        TFolderEntry item;
        item.Name = FileNameText(QByteArray(name));
        struct stat info {};
        if (::fstatat(fd, name, &info, 0) == 0)
            item.Stamp = StampFromStat(info);
        entries.push_back(std::move(item));
    }
    ::closedir(dir);
    return entries;
}

namespace {

// Calls found(name) for each visible subfolder until it returns false.
template <class F>
void EachSubfolder(const QString& folder, F found)
{
    DIR* dir = ::opendir(FileNameBytes(folder).constData());
    if (!dir)
        return;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFolder = ::fstatat(fd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        if (isFolder && !found(FileNameText(QByteArray(entry->d_name))))
            break;
    }
    ::closedir(dir);
}

} // namespace

QStringList SubfolderNames(const QString& folder)
{
    QStringList names;
    EachSubfolder(folder, [&](const QString& name) {
        names << name;
        return true;
    });
    return names;
}

bool HasSubfolder(const QString& folder)
{
    bool any = false;
    EachSubfolder(folder, [&](const QString&) {
        any = true;
        return false;
    });
    return any;
}

QString WithTrailingSeparator(const QString& folder)
{
    return folder.endsWith('/') ? folder : folder + '/';
}

QString CurrentFolder()
{
    char* path = ::getcwd(nullptr, 0);
    if (!path)
        return QString();
    const QString text = FileNameText(QByteArray(path));
    ::free(path);
    return text;
}

QString NearestExistingFolder(const QString& path)
{
    QString at = QDir::cleanPath(path.startsWith('/') ? path : CurrentFolder() + '/' + path);
    while (!FolderExists(at)) {
        const qsizetype slash = at.lastIndexOf('/');
        if (slash <= 0)
            return QStringLiteral("/");
        at.truncate(slash);
    }
    return at;
}

} // namespace tessaria
