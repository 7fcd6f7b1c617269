#include "configstore.h"

#include "configformat.h"
#include "diagnostics.h"
#include "filelocations.h"

#include <QDir>

namespace {
QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

ConfigStore::ConfigStore()
    : ConfigStore(GetFilePath(UserConfigFile), GetFilePath(DefaultConfigFile))
{
}

ConfigStore::ConfigStore(const QString &user, const QString &fallback)
    : userPath(user), defaultPath(fallback)
{
}

ConfigStore::ReadResult ConfigStore::Read(const QString &path, bool isUserFile)
{
    ConfigLoadResult loaded = LoadConfigFile(path);
    ReadResult result;
    result.version = loaded.version;
    result.reason = loaded.reason;
    switch (loaded.status) {
    case ConfigLoadResult::Loaded:
        qCInfo(lcLauncher).noquote() << QStringLiteral("read %1: %2 profiles")
                                            .arg(Shown(path))
                                            .arg(loaded.config.profiles.size());
        result.status = ReadResult::Loaded;
        result.config = std::move(loaded.config);
        break;
    case ConfigLoadResult::Missing:
        qCInfo(lcLauncher).noquote() << QStringLiteral("%1 is missing").arg(Shown(path));
        result.status = ReadResult::Missing;
        break;
    case ConfigLoadResult::Unreadable:
        qCInfo(lcLauncher).noquote()
            << QStringLiteral("%1 cannot be read: %2").arg(Shown(path), loaded.reason);
        result.status = ReadResult::Unreadable;
        // Whatever is there may be all the user's profiles: it is never written over.
        if (isUserFile)
            keepUserFile = true;
        break;
    case ConfigLoadResult::OutOfDate:
        qCInfo(lcLauncher).noquote() << QStringLiteral("%1 is of version %2, which is not read")
                                            .arg(Shown(path))
                                            .arg(loaded.version);
        result.status = ReadResult::OutOfDate;
        // The default file's contents are not used; its sections and one profile still are.
        if (!isUserFile)
            result.config = DefaultsOnlyConfig();
        break;
    }
    return result;
}

ConfigMoveResult ConfigStore::MoveOutdated(int version)
{
    const ConfigMoveResult move = MoveOutdatedConfig(userPath, version);
    qCInfo(lcLauncher).noquote() << (move.moved ? QStringLiteral("moved %1 to %2")
                                                : QStringLiteral("cannot move %1 to %2"))
                                        .arg(Shown(userPath), Shown(move.path));
    return move;
}

ConfigSaveResult ConfigStore::Save(const LauncherConfig &config)
{
    if (config.sections.size() < SectionCount || keepUserFile)
        return {};
    ConfigSaveResult result = SaveConfigFile(userPath, config);
    if (result.saved) {
        failureReported = false;
        return result;
    }
    qCWarning(lcLauncher).noquote()
        << QStringLiteral("cannot write %1: %2").arg(Shown(userPath), result.reason);
    result.firstFailure = !failureReported;
    failureReported = true;
    return result;
}
