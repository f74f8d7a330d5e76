#pragma once
// The application object: title, help file, the standard error box around
// every event, and the one ProcessMessages() that long loops call.

#include <QApplication>
#include <functional>

namespace tessaria {

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The application's help file ("tessaria.hlp", then its full path) and title.
QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString& path);
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);
// The program's own folder, with a trailing separator.
QString ProgramFolder();
// The folder of the read-only files that come with the program (the help
// file, the samples), with a trailing separator: the program's own folder when
// it holds the help file (the build folder), else share/tessaria found from
// the executable as installed (any prefix). When neither holds it, the
// program's own folder, so that messages name the usual place.
QString DataFolder();
// The rule behind DataFolder: `installedData` is the data folder's path
// relative to the program's folder.
QString FindDataFolder(const QString& programFolder, const QString& installedData);

// Lets the message loop handle what is pending. Tests can hook in to run a
// check (or change state) from inside a long loop.
void ProcessMessages();
void SetProcessMessagesHook(std::function<void()> hook);

// The screen's logical pixels per inch, which decides the 120-dpi rule.
// Tests set it; 0 means "ask the primary screen".
int ScreenLogicalDpi();
void SetScreenLogicalDpiOverride(int dpi);

} // namespace tessaria
