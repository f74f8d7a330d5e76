#include "platform/help.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/application.h"
#include "platform/dialogs.h"

namespace tessaria {

THelpWindow& THelpWindow::Instance()
{
    static THelpWindow* window = new THelpWindow; // lives until the program ends
    return *window;
}

THelpWindow::THelpWindow() : QWidget(nullptr, Qt::Window), Browser_(new QTextBrowser(this))
{
    setObjectName("HelpWindow");
    setWindowTitle(QStringLiteral("Tessaria Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Browser_);
    Browser_->setOpenLinks(true);
    Browser_->setOpenExternalLinks(false);
    resize(560, 600);
}

bool THelpWindow::ShowAnchor(const QString& helpFile, const QString& anchor)
{
    QFile file(helpFile);
    if (helpFile.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        Dialogs().ShowError(QStringLiteral("Cannot open the help file %1.").arg(helpFile));
        return false;
    }
    if (helpFile != File_) {
        Browser_->setSearchPaths({QFileInfo(helpFile).absolutePath()});
        Browser_->setHtml(QString::fromUtf8(file.readAll()));
        File_ = helpFile;
    }
    Anchor_ = anchor;
    Browser_->scrollToAnchor(anchor);
    show();
    raise();
    activateWindow();
    return true;
}

bool HelpContext(int context)
{
    return THelpWindow::Instance().ShowAnchor(ApplicationHelpFile(), QStringLiteral("context-%1").arg(context));
}

bool HelpCommand(int command, int data)
{
    Q_UNUSED(data);
    const QString anchor = command == HelpCommandFinder ? QStringLiteral("index") : QStringLiteral("contents");
    return THelpWindow::Instance().ShowAnchor(ApplicationHelpFile(), anchor);
}

} // namespace tessaria
