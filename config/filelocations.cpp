#include "filelocations.h"

#include <QCoreApplication>
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
