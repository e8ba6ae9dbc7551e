#pragma once
// Runs the built kelvora-admin as a separate process in a working directory.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kvtest {

struct AdminResult {
    int rc = -1;
    QString out;
    QString err;
};

inline AdminResult runAdmin(const QStringList& args, const QString& workDir)
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(KELVORA_ADMIN), args);
    AdminResult r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("<no terminó a tiempo>");
        return r;
    }
    r.rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace kvtest
