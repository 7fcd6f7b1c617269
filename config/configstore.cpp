#include "configstore.h"

#include "configformat.h"
#include "diagnostics.h"
#include "filelocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <cerrno>

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

ConfigStore::~ConfigStore()
{
    worker.Wait();
}

void ConfigStore::KeepUserFile()
{
    const std::lock_guard<std::mutex> lock(stateMutex);
    keepUserFile = true;
}

bool ConfigStore::KeepsUserFile() const
{
    const std::lock_guard<std::mutex> lock(stateMutex);
    return keepUserFile;
}

ConfigStore::ReadResult ConfigStore::Read(const QString &path, bool isUserFile,
                                          PendingProfiles *later)
{
    return ReadFile(path, isUserFile, later, true);
}

ConfigStore::ReadResult ConfigStore::ReadChangedUserFile()
{
    return ReadFile(userPath, true, nullptr, false);
}

void ConfigStore::HoldUserFile(bool held)
{
    const std::lock_guard<std::mutex> lock(stateMutex);
    holdUserFile = held;
}

bool ConfigStore::HoldsUserFile() const
{
    const std::lock_guard<std::mutex> lock(stateMutex);
    return holdUserFile;
}

ConfigStore::ReadResult ConfigStore::ReadFile(const QString &path, bool isUserFile,
                                              PendingProfiles *later, bool keepUnreadable)
{
    // The stamp first: a change made while the file is read shows as a change later.
    if (isUserFile) {
        const Stamp stamp = StampOf(path);
        const std::lock_guard<std::mutex> lock(stateMutex);
        known = stamp;
    }
    ConfigLoadResult loaded = LoadConfigFile(path, later);
    ReadResult result;
    result.version = loaded.version;
    result.reason = loaded.reason;
    result.empty = loaded.status != ConfigLoadResult::Loaded &&
                   loaded.status != ConfigLoadResult::Missing && QFileInfo(path).size() == 0;
    switch (loaded.status) {
    case ConfigLoadResult::Loaded:
        qCInfo(lcLauncher).noquote()
            << QStringLiteral("read %1: %2 profiles")
                   .arg(Shown(path))
                   .arg(later && later->Pending() ? later->names.size()
                                                  : loaded.config.profiles.size());
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
        if (isUserFile && keepUnreadable)
            KeepUserFile();
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
    AcceptDiskState();
    qCInfo(lcLauncher).noquote() << (move.moved ? QStringLiteral("moved %1 to %2")
                                                : QStringLiteral("cannot move %1 to %2"))
                                        .arg(Shown(userPath), Shown(move.path));
    return move;
}

ConfigSaveResult ConfigStore::Save(const LauncherConfig &config)
{
    worker.Wait();
    return Write(config);
}

void ConfigStore::SaveInBackground(const LauncherConfig &config)
{
    bool queued;
    {
        const std::lock_guard<std::mutex> lock(stateMutex);
        queued = pending.has_value();
        pending = config;
    }
    if (!queued)
        worker.Post([this] { WritePending(); });
}

void ConfigStore::WritePending()
{
    LauncherConfig config;
    {
        const std::lock_guard<std::mutex> lock(stateMutex);
        if (!pending)
            return;
        config = std::move(*pending);
        pending.reset();
    }
    const ConfigSaveResult result = Write(config);
    {
        const std::lock_guard<std::mutex> lock(stateMutex);
        // The window takes the file in again and saves its newest model into it: a newer
        // request would only find the same change on disk.
        if (result.changedOnDisk)
            pending.reset();
        finished.append({result, std::move(config)});
    }
    QMetaObject::invokeMethod(this, &ConfigStore::DeliverFinished, Qt::QueuedConnection);
}

void ConfigStore::DeliverFinished()
{
    QList<std::pair<ConfigSaveResult, LauncherConfig>> results;
    {
        const std::lock_guard<std::mutex> lock(stateMutex);
        results.swap(finished);
    }
    for (const auto &[result, config] : std::as_const(results))
        emit saved(result, config);
}

void ConfigStore::FinishSaves()
{
    worker.Wait();
    DeliverFinished();
}

bool ConfigStore::Saving() const
{
    {
        const std::lock_guard<std::mutex> lock(stateMutex);
        if (pending || !finished.isEmpty())
            return true;
    }
    return !worker.Idle();
}

ConfigSaveResult ConfigStore::Write(const LauncherConfig &config)
{
    if (config.sections.size() < SectionCount || KeepsUserFile() || HoldsUserFile())
        return {};
    const WriteLock lock(userPath);
    if (!UserFileUnchanged()) {
        qCInfo(lcLauncher).noquote()
            << QStringLiteral("%1 was changed by someone else").arg(Shown(userPath));
        ConfigSaveResult changed;
        changed.changedOnDisk = true;
        return changed;
    }
    // Asked again just before the replace: an editor may save while a long file is written.
    ConfigSaveResult result =
        SaveConfigFile(userPath, config, true, [this] { return UserFileUnchanged(); });
    if (result.changedOnDisk) {
        qCInfo(lcLauncher).noquote()
            << QStringLiteral("%1 was changed by someone else while it was written")
                   .arg(Shown(userPath));
        return result;
    }
    const Stamp stamp = StampOf(userPath);
    const std::lock_guard<std::mutex> state(stateMutex);
    if (result.saved) {
        known = stamp;
        failureReported = false;
        return result;
    }
    qCWarning(lcLauncher).noquote()
        << QStringLiteral("cannot write %1: %2").arg(Shown(userPath), result.reason);
    result.firstFailure = !failureReported;
    failureReported = true;
    return result;
}

bool ConfigStore::UserFileUnchanged() const
{
    const Stamp stamp = StampOf(userPath);
    const std::lock_guard<std::mutex> lock(stateMutex);
    return stamp == known;
}

void ConfigStore::AcceptDiskState()
{
    const Stamp stamp = StampOf(userPath);
    const std::lock_guard<std::mutex> lock(stateMutex);
    known = stamp;
}

void ConfigStore::WatchUserFile()
{
    if (watcher)
        return;
    watcher = new QFileSystemWatcher(this);
    settle = new QTimer(this);
    settle->setSingleShot(true);
    // An editor writes in several steps: the file is looked at once they have settled.
    settle->setInterval(100);
    connect(watcher, &QFileSystemWatcher::fileChanged, settle, qOverload<>(&QTimer::start));
    connect(watcher, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
    connect(settle, &QTimer::timeout, this, &ConfigStore::OnWatched);
    const QString folder = QFileInfo(userPath).absolutePath();
    QDir().mkpath(folder);
    watcher->addPath(folder);
    if (QFileInfo::exists(userPath))
        watcher->addPath(userPath);
    // A change made between the read and now is looked at as one made from now on.
    if (!UserFileUnchanged())
        settle->start();
}

void ConfigStore::OnWatched()
{
    // A file replaced by renaming is a new file: it is watched anew.
    if (QFileInfo::exists(userPath) && !watcher->files().contains(userPath))
        watcher->addPath(userPath);
    // The launcher's own save changes the file too: it is looked at once that is done.
    if (Saving()) {
        settle->start();
        return;
    }
    if (!UserFileUnchanged())
        emit userFileChanged();
}
