#pragma once

// What the process suites ask of /proc: a process group's end, a process's signal masks.

#include "launcherinstall.h"
#include "testenvironment.h"

#include <QByteArray>
#include <QDir>
#include <QString>

#include <functional>
#include <memory>

#include <sys/resource.h>
#include <sys/types.h>

// Whether every process of the group has ended (what is left are zombies nobody reaped).
inline bool ProcessGroupIsZombies(pid_t group)
{
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        entry.toInt(&number);
        if (!number)
            continue;
        const QByteArray stat = ReadBytes("/proc/" + entry + "/stat");
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toInt() == group && fields.at(0) != "Z")
            return false;
    }
    return true;
}

// The signal mask of a /proc/PID/status line ("SigCgt:", "SigIgn:").
inline quint64 SignalMask(qint64 pid, const QByteArray &field)
{
    const QList<QByteArray> lines =
        ReadBytes(QStringLiteral("/proc/%1/status").arg(pid)).split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().toULongLong(nullptr, 16);
    }
    return 0;
}

// Whether `signal` is in `mask`.
inline bool Has(quint64 mask, int signal)
{
    return (mask >> (signal - 1)) & 1;
}

// Run in the child: a resource limit, as `prlimit` would start the launcher.
inline std::function<void()> Limit(int resource, rlim_t limit)
{
    return [resource, limit] {
        const struct rlimit value = {limit, limit};
        ::setrlimit(resource, &value);
    };
}

// What every process suite has: its home, a copy of the launcher laid out as installed there,
// and the launchers it leaves running, ended after each test with what they started.
class ProcessSuite
{
protected:
    bool InitSuite()
    {
        env = TestEnvironment::current();
        install = std::make_unique<LauncherInstall>(env->root() + QStringLiteral("/app"));
        return install->isValid();
    }
    void EndTest()
    {
        processes.StopAll();
        EndRecordedEmulators();
    }
    QProcess *Start(const QStringList &arguments = {})
    {
        return processes.StartWindow(install->executable(), arguments);
    }
    QProcess *StartIn(const QString &executable, const QProcessEnvironment &environment,
                      const QStringList &arguments = {})
    {
        return processes.Start(executable, environment, arguments);
    }

    TestEnvironment *env = nullptr;
    std::unique_ptr<LauncherInstall> install;
    LauncherProcesses processes;
};
