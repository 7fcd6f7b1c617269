#include "testenvironment.h"

#include <QDir>
#include <QFile>

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
