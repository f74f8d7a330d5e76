#include "platform/application.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>

#include "platform/errorbox.h"

// share/tessaria as seen from the installed executable's folder; the build
// works it out from its install folders.
#ifndef TESSARIA_DATA_FROM_PROGRAM
#define TESSARIA_DATA_FROM_PROGRAM "../share/tessaria"
#endif

namespace tessaria {

namespace {
QString& HelpFile()
{
    static QString file;
    return file;
}
std::function<void()>& Hook()
{
    static std::function<void()> hook;
    return hook;
}
int& DpiOverride()
{
    static int dpi = 0;
    return dpi;
}
} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException();
        return true;
    }
}

QString ApplicationHelpFile() { return HelpFile(); }
void SetApplicationHelpFile(const QString& path) { HelpFile() = path; }
QString ApplicationTitle() { return QApplication::applicationName(); }
void SetApplicationTitle(const QString& title) { QApplication::setApplicationName(title); }

QString ProgramFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

QString FindDataFolder(const QString& programFolder, const QString& installedData)
{
    const QString marker = QStringLiteral("tessaria.hlp");
    if (QFileInfo::exists(programFolder + marker))
        return programFolder;
    QString installed = QDir::cleanPath(programFolder + installedData);
    if (!installed.endsWith('/'))
        installed += '/';
    if (QFileInfo::exists(installed + marker))
        return installed;
    return programFolder;
}

QString DataFolder()
{
    return FindDataFolder(ProgramFolder(), QStringLiteral(TESSARIA_DATA_FROM_PROGRAM));
}

void ProcessMessages()
{
    QCoreApplication::processEvents();
    if (Hook())
        Hook()();
}

void SetProcessMessagesHook(std::function<void()> hook) { Hook() = std::move(hook); }

int ScreenLogicalDpi()
{
    if (DpiOverride())
        return DpiOverride();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

void SetScreenLogicalDpiOverride(int dpi) { DpiOverride() = dpi; }

} // namespace tessaria
