#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <string>

namespace tessaria {

struct TProgramRun {
    bool Ended = false; // false when it did not end within two minutes
    int ExitCode = -1;
    QString Out, Error;
};

// Starts a program as a user would without a display, under the US locale,
// with its settings under `configFolder`.
inline TProgramRun RunWithoutDisplay(const QString& program, const QStringList& args, const std::string& configFolder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(configFolder));
    env.insert("LC_ALL", "en_US.UTF-8");
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(program, args);
    TProgramRun run;
    run.Ended = p.waitForFinished(120000);
    if (!run.Ended)
        p.kill();
    run.ExitCode = p.exitCode();
    run.Out = QString::fromUtf8(p.readAllStandardOutput());
    run.Error = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace tessaria
