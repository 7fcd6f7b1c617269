#include "filelocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

QString AppDirFilePath(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

QString GetFilePath(FileKind kind)
{
    switch (kind) {
    case UserConfigFile:
        // The generic location, not the application one: no organisation or application name
        // is set, and the file has always lived directly below Velmora/VelmoraMobileEmulator.
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QLatin1String("/Velmora/VelmoraMobileEmulator/Launcher.ini");
    case DefaultConfigFile:
        return AppDirFilePath(QStringLiteral("LauncherDefault.ini"));
    case HelpFile:
        return AppDirFilePath(QStringLiteral("LauncherHelp.html"));
    case EmulatorFile:
        return AppDirFilePath(QStringLiteral("VelmoraMobileEmu.exe"));
    }
    return QString();
}

void IgnoreRelativeBaseDirectories()
{
    for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_RUNTIME_DIR"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty() && !QDir::isAbsolutePath(value))
            qunsetenv(name);
    }
}

QString ShownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString StateDirectory()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // Qt has no state location yet; a relative value would differ with the working directory.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Velmora/VelmoraMobileEmulator");
}

QString LogDirectory()
{
    return StateDirectory() + QStringLiteral("/logs");
}
