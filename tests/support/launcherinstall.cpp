#include "launcherinstall.h"

#include <csignal>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTest>
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

QProcessEnvironment ScriptEnvironment()
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        e.remove(QLatin1String(name));
    return e;
}

LauncherRun RunLauncher(const QString &executable, const QStringList &arguments,
                        const QProcessEnvironment &environment, int timeoutMs,
                        const std::function<void()> &inChild)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(executable, arguments);
    LauncherRun run;
    if (!process.waitForStarted(timeoutMs))
        return run;
    QDeadlineTimer deadline(timeoutMs);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(10);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.code = process.exitCode();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QProcess *LauncherProcesses::Start(const QString &executable,
                                   const QProcessEnvironment &environment,
                                   const QStringList &arguments,
                                   const std::function<void()> &inChild, bool keepStderr)
{
    auto *process = new QProcess;
    running.append(process);
    process->setProcessEnvironment(environment);
    if (!keepStderr)
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (inChild)
        process->setChildProcessModifier(inChild);
    process->start(executable, arguments);
    process->waitForStarted();
    return process;
}

QProcess *LauncherProcesses::StartWindow(const QString &executable, const QStringList &arguments,
                                         const std::function<void()> &inChild, bool keepStderr)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return Start(executable, e, arguments, inChild, keepStderr);
}

void LauncherProcesses::StopAll()
{
    for (QProcess *process : std::as_const(running)) {
        if (process->state() != QProcess::NotRunning) {
            ::kill(pid_t(process->processId()), SIGCONT);
            process->kill();
            process->waitForFinished(5000);
        }
        delete process;
    }
    running.clear();
}
