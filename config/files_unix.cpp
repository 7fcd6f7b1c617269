#include "configstore.h"
#include "files_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

FileStamp StampOfStat(const struct stat &st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The new file takes the place of the old one, so it takes its owner, group and mode as well,
// where the system lets it: a file shared through a group stays in that group, and one that
// root saves for a user (sudo with the user's HOME) stays the user's.
void KeepOwnership(const struct stat &old, int descriptor)
{
    struct stat now;
    if (::fstat(descriptor, &now) != 0)
        return;
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        const uid_t owner = ::geteuid() == 0 ? old.st_uid : uid_t(-1);
        // Refused when the user is not in the group: the file is then theirs alone, as before.
        if (::fchown(descriptor, owner, old.st_gid) != 0 &&
            (owner == uid_t(-1) || ::fchown(descriptor, owner, gid_t(-1)) != 0))
            return;
    }
    if ((now.st_mode & 07777) != (old.st_mode & 07777))
        ::fchmod(descriptor, old.st_mode & 07777);
}

bool WriteAll(int fd, const char *data, qint64 size, int *error)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A write that stops short (a file-size limit, a full disk) reports nothing of its
            // own; writing the rest makes the system say why.
            *error = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

FileStamp StampOfFile(const QString &path)
{
    struct stat st;
    if (::stat(Native(path).constData(), &st) != 0)
        return FileStamp();
    return StampOfStat(st);
}

FileStamp StampOfDescriptor(int descriptor)
{
    struct stat st;
    if (descriptor < 0 || ::fstat(descriptor, &st) != 0)
        return FileStamp();
    return StampOfStat(st);
}

qint64 FileClockNowNs()
{
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

ReplacementFile::ReplacementFile(const QString &path, bool inPlace)
    : target(path), inPlaceIfNeeded(inPlace)
{
    // Through a link the file itself is replaced, and the link stays.
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        target = !resolved.isEmpty() ? resolved : info.symLinkTarget();
    }
}

ReplacementFile::~ReplacementFile()
{
    if (fd >= 0)
        ::close(fd);
    if (!committed && !temporary.isEmpty())
        ::unlink(Native(temporary).constData());
}

bool ReplacementFile::Fail(int error)
{
    reason = SystemReason(error);
    return false;
}

bool ReplacementFile::Open()
{
    QDir().mkpath(QFileInfo(target).absolutePath());
    // Named beside the file, as Qt's own save files are, so that the rename stays in one file
    // system; made with the user's umask like any new file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            target + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate() & 0xffffff, 6,
                                               36, QLatin1Char('0'));
        fd = ::open(Native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temporary = name;
            struct stat old;
            if (::stat(Native(target).constData(), &old) == 0)
                KeepOwnership(old, fd);
            return true;
        }
        if (errno == EEXIST || errno == EINTR)
            continue;
        // A folder that takes no new file: the file itself is written, if it can be.
        if (errno == EACCES && inPlaceIfNeeded) {
            inPlace = true;
            return true;
        }
        return Fail(errno);
    }
    return Fail(EEXIST);
}

bool ReplacementFile::Write(const char *data, qint64 size)
{
    int error = 0;
    if (inPlace) {
        // Held until the commit: nothing of the old file is touched before its last look.
        pendingInPlace.append(data, size);
        return true;
    }
    if (WriteAll(fd, data, size, &error))
        return true;
    return Fail(error);
}

ReplacementFile::Outcome ReplacementFile::Commit(const std::function<bool()> &stillUnchanged)
{
    if (inPlace) {
        if (stillUnchanged && !stillUnchanged())
            return Outcome::Changed;
        fd = ::open(Native(target).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        int error = 0;
        if (fd < 0 || !WriteAll(fd, pendingInPlace.constData(), pendingInPlace.size(), &error) ||
            ::fsync(fd) != 0) {
            Fail(fd < 0 || error == 0 ? errno : error);
            return Outcome::Failed;
        }
        stamp = StampOfDescriptor(fd);
        committed = true;
        return Outcome::Replaced;
    }
    // On the disk first: the flush can take a while, and the last look must come after it.
    if (::fsync(fd) != 0) {
        Fail(errno);
        return Outcome::Failed;
    }
    if (stillUnchanged && !stillUnchanged())
        return Outcome::Changed;
    if (::rename(Native(temporary).constData(), Native(target).constData()) != 0) {
        Fail(errno);
        return Outcome::Failed;
    }
    committed = true;
    // The rename moved the inode's change time on: the stamp is taken from the open file, so
    // that a file someone else puts there a moment later is never taken for this one.
    stamp = StampOfDescriptor(fd);
    return Outcome::Replaced;
}

ConfigStore::WriteLock::WriteLock(const QString &path)
{
    // The folder itself is locked, so that no lock file lies beside the user's file.
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

ConfigStore::WriteLock::~WriteLock()
{
    if (fd >= 0)
        ::close(fd); // releases the lock
}
