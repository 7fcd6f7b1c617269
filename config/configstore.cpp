#include "configstore.h"

#include "configformat.h"
#include "diagnostics.h"
#include "filelocations.h"
#include "files_p.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The digest of what is at `path` now, or nothing when it cannot be read.
QByteArray DigestOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return ContentDigest(file.read(MaxConfigFileSize + 1));
}

// Whether the file ends with a line break: one that does not (or is empty) is likely half of
// what someone is writing.
bool LooksFinished(const QString &path, const FileStamp &stamp)
{
    if (!stamp.exists)
        return true;
    QFile file(path);
    char last = 0;
    return stamp.size > 0 && file.open(QIODevice::ReadOnly) && file.seek(stamp.size - 1) &&
           file.getChar(&last) && (last == '\n' || last == '\r');
}

} // namespace

ConfigStore::ConfigStore()
    : ConfigStore(GetFilePath(UserConfigFile), GetFilePath(DefaultConfigFile))
{
}

ConfigStore::ConfigStore(const QString &user, const QString &fallback)
    : userPath(user), defaultPath(fallback)
{
    clock = [timer = std::make_shared<QElapsedTimer>()]() {
        if (!timer->isValid())
            timer->start();
        return timer->elapsed();
    };
}

ConfigStore::~ConfigStore()
{
    worker.Wait();
}

void ConfigStore::SetClock(Clock c)
{
    clock = std::move(c);
}

void ConfigStore::SetSettleTime(int ms)
{
    settleMs = ms;
    if (poll)
        poll->setInterval(qBound(10, settleMs / 5, 100));
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
    return ReadFile(path, isUserFile, later, Reading::Startup);
}

ConfigStore::ReadResult ConfigStore::ReadUserFileOnce(int boundMs)
{
    const QDeadlineTimer deadline(boundMs);
    for (;;) {
        ReadResult read = ReadFile(userPath, true, nullptr, Reading::AsItIs);
        const FileStamp stamp = StampOfFile(userPath);
        const qint64 leftForMs =
            (FileClockNowNs() - qMax(stamp.modifiedNs, stamp.changedNs)) / 1000000;
        const bool beingWritten =
            read.changedWhileRead ||
            (read.cutInLine && leftForMs < UnfinishedSettleFactor * qint64(settleMs));
        if (!beingWritten || deadline.hasExpired())
            return read;
        QThread::msleep(20);
    }
}

ConfigStore::ReadResult ConfigStore::ReadChangedUserFile()
{
    return ReadFile(userPath, true, nullptr, Reading::Again);
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

void ConfigStore::NoteKnownLocked(const FileStamp &stamp, const QByteArray &digest)
{
    known.stamp = stamp;
    known.digest = digest;
    known.racy = stamp.IsRacy(FileClockNowNs());
}

ConfigStore::ReadResult ConfigStore::ReadFile(const QString &path, bool isUserFile,
                                              PendingProfiles *later, Reading reading)
{
    ConfigLoadResult loaded = LoadConfigFile(path, later);
    ReadResult result;
    if (isUserFile) {
        const std::lock_guard<std::mutex> lock(stateMutex);
        // Cut off, most likely: left unread for a while yet, as the settle time allows. How
        // long it has been left so: since the change was seen, or by its own time.
        const qint64 leftFor =
            changing ? clock() - lastChangeAt
                     : (FileClockNowNs() - qMax(loaded.stamp.modifiedNs, loaded.stamp.changedNs)) /
                           1000000;
        if (reading == Reading::Again && !loaded.changedWhileRead && !loaded.complete &&
            loaded.status != ConfigLoadResult::Missing &&
            leftFor < UnfinishedSettleFactor * qint64(settleMs)) {
            if (!changing) {
                StartSettlingLocked(loaded.stamp);
                lastChangeAt -= leftFor;
            }
            unfinished = loaded.stamp;
            changing = true;
            if (poll)
                QMetaObject::invokeMethod(poll, qOverload<>(&QTimer::start));
            result.status = ReadResult::Changing;
            return result;
        }
        NoteKnownLocked(loaded.stamp, loaded.digest);
        changing = false;
        if (loaded.changedWhileRead) {
            // Perhaps half of what someone is writing: read again once it has settled. At
            // start-up what was read serves until then, and nothing is written meanwhile.
            qCInfo(lcLauncher).noquote()
                << QStringLiteral("%1 changed while it was read").arg(Shown(path));
            StartSettlingLocked(StampOfFile(path));
            if (reading == Reading::Again) {
                if (poll)
                    QMetaObject::invokeMethod(poll, qOverload<>(&QTimer::start));
                result.status = ReadResult::Changing;
                return result;
            }
        }
    }
    result.version = loaded.version;
    result.reason = loaded.reason;
    result.complete = loaded.complete;
    result.changedWhileRead = loaded.changedWhileRead;
    result.cutInLine = loaded.cutInLine;
    result.empty = loaded.status != ConfigLoadResult::Loaded &&
                   loaded.status != ConfigLoadResult::Missing && loaded.stamp.exists &&
                   loaded.stamp.size == 0;
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
        if (isUserFile && reading == Reading::Startup)
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

ConfigSaveResult ConfigStore::Save(const LauncherConfig &config, bool overOutsideChanges)
{
    worker.Wait();
    return Write(config, overOutsideChanges);
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
        if (result.changedOnDisk || result.waiting)
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

void ConfigStore::SetBeforeReplace(std::function<void()> call)
{
    beforeReplace = std::move(call);
}

ConfigSaveResult ConfigStore::Write(const LauncherConfig &config, bool overOutsideChanges)
{
    if (config.sections.size() < SectionCount || KeepsUserFile() || HoldsUserFile())
        return {};
    const WriteLock lock(userPath);
    {
        const std::lock_guard<std::mutex> state(stateMutex);
        if (changing && !overOutsideChanges) {
            ConfigSaveResult waiting;
            waiting.waiting = true;
            return waiting;
        }
        writing = true;
    }
    // Asked right before the new file takes the old one's place, after it is on the disk: a
    // program that replaces the file every few milliseconds finds no gap to fall into.
    ConfigSaveResult result = SaveConfigFile(
        userPath, config, true,
        [this, overOutsideChanges] { return overOutsideChanges || UserFileUnchanged(); },
        beforeReplace);
    const std::lock_guard<std::mutex> state(stateMutex);
    writing = false;
    if (result.saved)
        changing = false;
    if (result.changedOnDisk) {
        qCInfo(lcLauncher).noquote()
            << QStringLiteral("%1 was changed by someone else").arg(Shown(userPath));
        return result;
    }
    if (result.saved) {
        NoteKnownLocked(result.stamp, result.digest);
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
    const FileStamp now = StampOfFile(userPath);
    Known was;
    {
        const std::lock_guard<std::mutex> lock(stateMutex);
        if (now != known.stamp)
            return false;
        if (!known.racy)
            return true;
        was = known;
    }
    // The same stamp so soon after the last write may hide another write of the same size.
    if (DigestOfFile(userPath) != was.digest)
        return false;
    const std::lock_guard<std::mutex> lock(stateMutex);
    if (known.stamp == was.stamp && !now.IsRacy(FileClockNowNs()))
        known.racy = false;
    return true;
}

void ConfigStore::AcceptDiskState()
{
    const FileStamp stamp = StampOfFile(userPath);
    const QByteArray digest = stamp.exists ? DigestOfFile(userPath) : QByteArray();
    const std::lock_guard<std::mutex> lock(stateMutex);
    NoteKnownLocked(stamp, digest);
    changing = false;
}

void ConfigStore::WatchUserFile()
{
    if (watcher)
        return;
    watcher = new QFileSystemWatcher(this);
    poll = new QTimer(this);
    poll->setInterval(qBound(10, settleMs / 5, 100));
    connect(watcher, &QFileSystemWatcher::fileChanged, this, &ConfigStore::CheckUserFile);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, &ConfigStore::CheckUserFile);
    connect(poll, &QTimer::timeout, this, &ConfigStore::CheckUserFile);
    QDir().mkpath(QFileInfo(userPath).absolutePath());
    EnsureWatched();
    // A change made between the read and now is looked at as one made from now on.
    CheckUserFile();
}

void ConfigStore::EnsureWatched()
{
    const QString folder = QFileInfo(userPath).absolutePath();
    if (!watcher->directories().contains(folder))
        watcher->addPath(folder);
    // A file replaced by renaming is a new file, and one removed takes its watch along: it is
    // watched anew whenever it is looked at.
    if (!watcher->files().contains(userPath) && QFileInfo::exists(userPath))
        watcher->addPath(userPath);
}

void ConfigStore::StartSettlingLocked(const FileStamp &seen)
{
    changing = true;
    lastSeen = seen;
    lastChangeAt = clock();
}

void ConfigStore::NoteOutsideChange()
{
    {
        const std::lock_guard<std::mutex> lock(stateMutex);
        StartSettlingLocked(StampOfFile(userPath));
    }
    if (poll)
        poll->start();
}

bool ConfigStore::OutsideChangePending() const
{
    const std::lock_guard<std::mutex> lock(stateMutex);
    return changing;
}

void ConfigStore::CheckUserFile()
{
    if (watcher)
        EnsureWatched();
    const FileStamp now = StampOfFile(userPath);
    bool settled = false;
    {
        std::unique_lock<std::mutex> lock(stateMutex);
        // The launcher's own save is replacing the file: its stamp is known once it is done.
        if (writing) {
            lock.unlock();
            if (poll)
                poll->start();
            return;
        }
        if (!changing) {
            if (now == known.stamp && !known.racy)
                return;
            lock.unlock();
            if (UserFileUnchanged())
                return;
            lock.lock();
            StartSettlingLocked(now);
        } else if (now != lastSeen) {
            // Still being written: the settle time starts again.
            lastSeen = now;
            lastChangeAt = clock();
        } else if (clock() - lastChangeAt >= settleMs) {
            settled = true;
        }
    }
    // A file that does not end with a line break, or was read and found cut off, was most
    // likely left so by a writer that is not done: it is given longer. Everything the launcher
    // and editors write ends so.
    if (settled && (now == unfinished || !LooksFinished(userPath, now)) &&
        clock() - lastChangeAt < UnfinishedSettleFactor * qint64(settleMs))
        settled = false;
    if (!settled) {
        if (poll && !poll->isActive())
            poll->start();
        return;
    }
    if (poll)
        poll->stop();
    // Back as it was (a file touched and put back): nothing to take in.
    if (UserFileUnchanged()) {
        const std::lock_guard<std::mutex> lock(stateMutex);
        changing = false;
        return;
    }
    emit userFileChanged();
}
