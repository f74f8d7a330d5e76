#include "browse/filesearch.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

#include "base/exceptions.h"
#include "platform/application.h"

namespace tessaria {

namespace {

dev_t DeviceOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_dev : dev_t(-1);
}

TFileSearchEnd Walk(const QString& folder, dev_t device, const TFileSearchHooks& hooks)
{
    const QString prefix = folder.endsWith('/') ? folder : folder + '/';
    if (hooks.EnteringFolder)
        hooks.EnteringFolder(prefix);
    QDir dir(prefix);
    const QStringList files = dir.entryList({hooks.Pattern()}, QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QString& name : files) {
        if (!hooks.Searching())
            return TFileSearchEnd::Stopped;
        if (!hooks.Found(prefix + name))
            return TFileSearchEnd::Full;
    }
    const QStringList folders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::NoSort);
    for (const QString& name : folders) {
        if (!hooks.Searching())
            return TFileSearchEnd::Stopped;
        const QString sub = prefix + name;
        if (DeviceOf(sub) != device)
            continue; // another file system mounted here: it is a drive of its own
        ProcessMessages();
        const TFileSearchEnd end = Walk(sub, device, hooks);
        if (end != TFileSearchEnd::Completed)
            return end;
    }
    return TFileSearchEnd::Completed;
}

} // namespace

TFileSearchEnd SearchFolder(const QString& folder, const TFileSearchHooks& hooks)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable())
        throw EInOutError(QStringLiteral("Cannot search %1").arg(folder).toStdString());
    return Walk(folder, DeviceOf(folder), hooks);
}

} // namespace tessaria
