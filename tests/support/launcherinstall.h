#pragma once

#include <QProcess>
#include <QString>

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
