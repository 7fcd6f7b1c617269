#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

// A directory laid out like an installed launcher: a copy of the built launcher (a copy, not a
// link, since the launcher finds its files beside its real path) with the shipped default
// configuration, the help page and the stand-in emulator beside it.
class LauncherInstall
{
public:
    explicit LauncherInstall(const QString &directory);

    bool isValid() const { return valid; }
    QString directory() const { return dir; }
    QString executable() const;
    QString defaultConfigPath() const;

    static QString BuiltFile(const QString &name);

private:
    QString dir;
    bool valid = false;
};

// Waits until some launcher listens in `runtimeDir`.
bool WaitForListening(const QString &runtimeDir, int timeoutMs);

// Waits for a finished process; returns its exit code, or -1 when it did not end in time.
int WaitForExit(QProcess &process, int timeoutMs);

// How a launcher run as a script runs it ended: its exit code (-1 when it crashed or was
// killed at its time limit) and what it said.
struct LauncherRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;
    QString Out() const { return QString::fromUtf8(out); }
    QString Err() const { return QString::fromUtf8(err); }
};

// The environment a script gives the launcher: the test's home, and no display, so that no
// window can open and none may be asked for.
QProcessEnvironment ScriptEnvironment();

// Runs `executable` with `arguments` to its end, serving this process's event loop meanwhile
// (a window of the test may have to answer it); killed after `timeoutMs`. `inChild` runs in
// the child before it becomes the launcher.
LauncherRun RunLauncher(const QString &executable, const QStringList &arguments,
                        const QProcessEnvironment &environment = ScriptEnvironment(),
                        int timeoutMs = 20000, const std::function<void()> &inChild = {});

// Launchers a test starts and leaves running, ended after it: each one killed (woken first, in
// case the test stopped it) and deleted.
class LauncherProcesses
{
public:
    LauncherProcesses() = default;
    ~LauncherProcesses() { StopAll(); }
    LauncherProcesses(const LauncherProcesses &) = delete;
    LauncherProcesses &operator=(const LauncherProcesses &) = delete;

    // stderr goes to the test's unless `keepStderr`; `inChild` runs in the child before it
    // becomes the launcher.
    QProcess *Start(const QString &executable, const QProcessEnvironment &environment,
                    const QStringList &arguments = {}, const std::function<void()> &inChild = {},
                    bool keepStderr = false);
    // The launcher's window on the offscreen platform.
    QProcess *StartWindow(const QString &executable, const QStringList &arguments = {},
                          const std::function<void()> &inChild = {}, bool keepStderr = false);
    void StopAll();

private:
    QList<QProcess *> running;
};
