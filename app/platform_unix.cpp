#include "platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

uint CurrentUserId()
{
    return uint(::geteuid());
}

bool IsOtherUsersProcess(qint64 pid)
{
    struct stat st;
    const QByteArray proc = "/proc/" + QByteArray::number(pid);
    return pid > 0 && ::stat(proc.constData(), &st) == 0 && st.st_uid != ::geteuid();
}

bool RemoveForeignEntry(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0 || st.st_uid == ::geteuid())
        return true;
    return ::unlink(native.constData()) == 0;
}

bool MakePrivateDirectory(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Whether it was made now or was there, what is there decides.
    ::mkdir(native.constData(), 0700);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 077) == 0 || ::chmod(native.constData(), 0700) == 0;
}
void AdoptOrphanedChildren()
{
#ifdef Q_OS_LINUX
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
#endif
}

bool ReopenClosedStandardStreams()
{
    bool outputClosed = false;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == STDOUT_FILENO)
            outputClosed = true;
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
    return outputClosed;
}

bool WriteStandardOutput(const QByteArray &bytes, bool closed, QString *error)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    if (closed) {
        *error = QString::fromLocal8Bit(std::strerror(EBADF));
        return false;
    }
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO));
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

bool AttachedToTerminal()
{
    return ::isatty(STDIN_FILENO) || ::isatty(STDOUT_FILENO) || ::isatty(STDERR_FILENO);
}
