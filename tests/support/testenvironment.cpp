#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <unistd.h>

namespace {
TestEnvironment *currentEnvironment = nullptr;
}

TestEnvironment *TestEnvironment::current()
{
    return currentEnvironment;
}

TestEnvironment::~TestEnvironment()
{
    if (currentEnvironment == this)
        currentEnvironment = nullptr;
}

TestEnvironment::TestEnvironment() : dir(QDir::tempPath() + QStringLiteral("/velmora-test-XXXXXX"))
{
    if (!dir.isValid())
        qFatal("cannot create a temporary home");
    const QString home = dir.path();
    QDir().mkpath(home + QStringLiteral("/data"));
    QDir().mkpath(home + QStringLiteral("/config"));
    QDir().mkpath(home + QStringLiteral("/cache"));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/cache")).toLocal8Bit());
    qputenv("XDG_STATE_HOME", (home + QStringLiteral("/state")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home + QStringLiteral("/runtime")).toLocal8Bit());
    // Keep activation tokens of the session that runs the tests out of the launcher's messages.
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qunsetenv("DESKTOP_STARTUP_ID");
    currentEnvironment = this;
}

QString TestEnvironment::userConfigPath() const
{
    return dataHome() + QStringLiteral("/Velmora/VelmoraMobileEmulator/Launcher.ini");
}

void EndRecordedEmulators()
{
    QFile records(qEnvironmentVariable("XDG_STATE_HOME") +
                  QStringLiteral("/Velmora/VelmoraMobileEmulator/launches.json"));
    if (!records.open(QIODevice::ReadOnly))
        return;
    const QJsonArray running = QJsonDocument::fromJson(records.readAll())
                                   .object()
                                   .value(QStringLiteral("running"))
                                   .toArray();
    for (const QJsonValue &value : running) {
        const QJsonObject record = value.toObject();
        const auto pid = pid_t(record.value(QStringLiteral("pid")).toDouble());
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (pid <= 1 || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        // Field 22, the start time: a process id used again since is left alone.
        if (fields.size() < 20 || QString::fromLatin1(fields.at(19)) !=
                                      record.value(QStringLiteral("identity")).toString())
            continue;
        const pid_t group = ::getpgid(pid);
        if (group > 1 && group != ::getpgrp())
            ::kill(-group, SIGKILL);
        else
            ::kill(pid, SIGKILL);
    }
}
