#include "platform/application.h"

#include <QDir>
#include <QScreen>

#include "platform/errorbox.h"

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
