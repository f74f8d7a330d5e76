#pragma once
// The help viewer: a small window of our own showing the application's help
// file, an HTML file named "tessaria.hlp" in the program's folder. A context
// number selects the anchor "context-N"; contents and index have anchors of
// their own.

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tessaria {

// Help commands as the program issues them.
constexpr int HelpCommandContents = 3;
constexpr int HelpCommandFinder = 11;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    static THelpWindow& Instance();

    // False (after telling the user) when the help file cannot be read.
    bool ShowAnchor(const QString& helpFile, const QString& anchor);
    QString CurrentAnchor() const { return Anchor_; }
    QString CurrentFile() const { return File_; }
    QTextBrowser* Browser() const { return Browser_; }

private:
    THelpWindow();
    QTextBrowser* Browser_;
    QString File_;
    QString Anchor_;
};

// Both go to the application's help file.
bool HelpContext(int context);
bool HelpCommand(int command, int data);

} // namespace tessaria
