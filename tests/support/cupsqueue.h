#pragma once
// The test print queue: the default CUPS queue when it is a cups-pdf one,
// and the PDFs its jobs leave in the user's PDF folder.

#include <QString>
#include <QStringList>

namespace tessaria::test {

// The default queue's name, or empty with the reason in `why` when there is
// no default queue or it does not write PDFs through cups-pdf.
QString DefaultCupsPdfQueue(QString& why);

// Waits up to 90 s for `count` finished PDFs whose names begin with `title`;
// gives those there are, oldest first.
QStringList WaitForQueuePdfs(const QString& title, int count);

} // namespace tessaria::test
