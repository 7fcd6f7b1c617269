#include "configstore.h"
#include "files_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

void KeepOwnership(const QString &path, int descriptor)
{
    struct stat old;
    if (descriptor < 0 || ::stat(QFile::encodeName(path).constData(), &old) != 0)
        return;
    struct stat now;
    if (::fstat(descriptor, &now) != 0 || (now.st_uid == old.st_uid && now.st_gid == old.st_gid))
        return;
    const uid_t owner = ::geteuid() == 0 ? old.st_uid : uid_t(-1);
    // Refused when the user is not in the group: the file is then theirs alone, as before.
    if (::fchown(descriptor, owner, old.st_gid) == 0 ||
        (owner != uid_t(-1) && ::fchown(descriptor, owner, gid_t(-1)) == 0))
        ::fchmod(descriptor, old.st_mode & 07777);
}

bool IsFileAt(const QString &path, int descriptor)
{
    struct stat there;
    struct stat open;
    return descriptor >= 0 && ::stat(QFile::encodeName(path).constData(), &there) == 0 &&
           ::fstat(descriptor, &open) == 0 && there.st_dev == open.st_dev &&
           there.st_ino == open.st_ino;
}

ConfigStore::Stamp ConfigStore::StampOf(const QString &path)
{
    Stamp stamp;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = quint64(st.st_ino);
    return stamp;
}

ConfigStore::WriteLock::WriteLock(const QString &path)
{
    // The folder itself is locked, so that no lock file lies beside the user's file.
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
