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

// Lets the message loop handle what is pending. Tests can hook in to run a
// check (or change state) from inside a long loop.
void ProcessMessages();
void SetProcessMessagesHook(std::function<void()> hook);

// The screen's logical pixels per inch, which decides the 120-dpi rule.
// Tests set it; 0 means "ask the primary screen".
int ScreenLogicalDpi();
void SetScreenLogicalDpiOverride(int dpi);

} // namespace tessaria
