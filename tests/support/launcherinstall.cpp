#include "launcherinstall.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

LauncherInstall::LauncherInstall(const QString &directory) : dir(directory)
{
    QDir().mkpath(dir);
    valid = true;
    for (const char *name : {"VelmoraMobileEmuLauncher", "LauncherDefault.ini", "LauncherHelp.html",
                             "VelmoraMobileEmu.exe"}) {
        const QString target = dir + QLatin1Char('/') + QLatin1String(name);
        QFile::remove(target);
        valid = QFile::copy(BuiltFile(QLatin1String(name)), target) && valid;
    }
}

QString LauncherInstall::executable() const
{
    return dir + QStringLiteral("/VelmoraMobileEmuLauncher");
}

QString LauncherInstall::defaultConfigPath() const
{
    return dir + QStringLiteral("/LauncherDefault.ini");
}

QString LauncherInstall::BuiltFile(const QString &name)
{
    return QStringLiteral(VELMORA_BIN_DIR) + QLatin1Char('/') + name;
}

bool WaitForListening(const QString &runtimeDir, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QStringList sockets =
            QDir(runtimeDir).entryList({QStringLiteral("*.sock")}, QDir::System | QDir::Files);
        for (const QString &name : sockets) {
            QLocalSocket socket;
            socket.connectToServer(runtimeDir + QLatin1Char('/') + name);
            if (socket.waitForConnected(100)) {
                socket.abort();
                return true;
            }
        }
        QThread::msleep(20);
    }
    return false;
}

int WaitForExit(QProcess &process, int timeoutMs)
{
    if (!process.waitForFinished(timeoutMs))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
