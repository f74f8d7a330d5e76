#include "support/cupsqueue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "support/testfiles.h"

namespace tessaria::test {

namespace {

QString Output(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

QString DefaultCupsPdfQueue(QString& why)
{
    if (!HaveProgram("lpstat")) {
        why = "no CUPS client (lpstat)";
        return QString();
    }
    const QString d = Output("lpstat", {"-d"}).trimmed();
    const int colon = d.lastIndexOf(": ");
    const QString queue = d.startsWith("system default destination") && colon > 0 ? d.mid(colon + 2) : QString();
    if (queue.isEmpty()) {
        why = "lpstat shows no default printer";
        return QString();
    }
    if (!Output("lpstat", {"-v", queue}).contains("cups-pdf:")) {
        why = "the default printer " + queue + " is no cups-pdf queue";
        return QString();
    }
    return queue;
}

QStringList WaitForQueuePdfs(const QString& title, int count)
{
    const QDir folder(QDir::homePath() + "/PDF");
    QElapsedTimer timer;
    timer.start();
    QStringList ready;
    while (timer.elapsed() < 90000) {
        ready.clear();
        const QFileInfoList files = folder.entryInfoList({title + "*.pdf"}, QDir::Files, QDir::Time | QDir::Reversed);
        for (const QFileInfo& f : files)
            if (f.size() > 0 && Output("pdfinfo", {f.filePath()}).contains("Pages:"))
                ready << f.filePath();
        if (ready.size() >= count)
            break;
        QThread::msleep(250);
    }
    return ready;
}

} // namespace tessaria::test
