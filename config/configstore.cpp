#include "configstore.h"

#include "configformat.h"
#include "diagnostics.h"
#include "filelocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

ConfigStore::ReadResult ConfigStore::Read(const QString &path, bool isUserFile)
{
    // The stamp first: a change made while the file is read shows as a change later.
    if (isUserFile)
        known = StampOf(path);
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
    known = StampOf(userPath);
    qCInfo(lcLauncher).noquote() << (move.moved ? QStringLiteral("moved %1 to %2")
                                                : QStringLiteral("cannot move %1 to %2"))
                                        .arg(Shown(userPath), Shown(move.path));
    return move;
}

ConfigSaveResult ConfigStore::Save(const LauncherConfig &config)
{
    if (config.sections.size() < SectionCount || keepUserFile)
        return {};
    const WriteLock lock(userPath);
    if (!UserFileUnchanged()) {
        qCInfo(lcLauncher).noquote()
            << QStringLiteral("%1 was changed by someone else").arg(Shown(userPath));
        ConfigSaveResult changed;
        changed.changedOnDisk = true;
        return changed;
    }
    ConfigSaveResult result = SaveConfigFile(userPath, config);
    if (result.saved) {
        known = StampOf(userPath);
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
    return StampOf(userPath) == known;
}

ConfigStore::Stamp ConfigStore::StampOf(const QString &path)
{
    Stamp stamp;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = quint64(st.st_ino);
#else
    const QFileInfo info(path);
    stamp.exists = info.exists();
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return stamp;
}

ConfigStore::WriteLock::WriteLock(const QString &path)
{
#ifdef Q_OS_UNIX
    // The folder itself is locked, so that no lock file lies beside the user's file.
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
#else
    Q_UNUSED(path);
#endif
}

ConfigStore::WriteLock::~WriteLock()
{
#ifdef Q_OS_UNIX
    if (fd >= 0)
        ::close(fd); // releases the lock
#endif
}

void ConfigStore::AcceptDiskState()
{
    known = StampOf(userPath);
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
}

void ConfigStore::OnWatched()
{
    // A file replaced by renaming is a new file: it is watched anew.
    if (QFileInfo::exists(userPath) && !watcher->files().contains(userPath))
        watcher->addPath(userPath);
    if (!UserFileUnchanged())
        emit userFileChanged();
}
