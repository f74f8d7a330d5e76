#include "app/startupfile.h"

#include <QDir>
#include <QFileInfo>

#include "app/utessaria.h"
#include "imageio/fileformats.h"
#include "platform/dialogs.h"

namespace tessaria {

TStartupArgument ClassifyStartupArgument(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return TStartupArgument::Missing;
    if (info.isDir())
        return TStartupArgument::Folder;
    const QString extension = info.suffix().toLower();
    if (extension == QLatin1String("tsd"))
        return TStartupArgument::Layout;
    if (!extension.isEmpty() && FileFormats().FindExt(extension.toStdString()))
        return TStartupArgument::Picture;
    return TStartupArgument::Layout;
}

void OpenStartupArgument(TfrmTessaria& window, const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    switch (ClassifyStartupArgument(path)) {
    case TStartupArgument::Missing:
        Dialogs().ShowError(QStringLiteral("Cannot open %1: there is no such file or folder.").arg(path));
        return;
    case TStartupArgument::Folder:
        window.ShowFolderAndFile(QDir::cleanPath(full) + '/');
        return;
    case TStartupArgument::Layout:
        // The browser shows the layout's folder, where its pictures usually are.
        window.ShowFolderAndFile(QFileInfo(full).absolutePath() + '/');
        window.OpenDocumentFile(full);
        return;
    case TStartupArgument::Picture:
        window.ShowFolderAndFile(full);
        // A picture the file mask hides is not in the list: show it anyway.
        if (window.PreviewFile != full)
            window.ShowInViewer(full);
        return;
    }
}

} // namespace tessaria
