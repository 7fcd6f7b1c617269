#include "localsocket.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool AddressOf(const QString &path, sockaddr_un *address)
{
    const QByteArray native = QFile::encodeName(path);
    *address = {};
    address->sun_family = AF_UNIX;
    if (native.isEmpty() || size_t(native.size()) >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, native.constData(), size_t(native.size()));
    return true;
}

// Waits for `events` on `fd` until the deadline; false when they did not come.
bool WaitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const qint64 left = deadline.remainingTime();
        const int n = ::poll(&entry, 1, left < 0 ? -1 : int(qMin<qint64>(left, 1 << 30)));
        if (n > 0)
            return (entry.revents & (events | POLLHUP | POLLERR)) != 0;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

int ConnectLocal(const QString &path, int timeoutMs)
{
    sockaddr_un address;
    if (!AddressOf(path, &address))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
            return fd;
        // A full backlog refuses for a moment: the listener is busy, not gone.
        if ((errno == EAGAIN || errno == EINTR) && !deadline.hasExpired()) {
            ::usleep(2000);
            continue;
        }
        if (errno == EINPROGRESS && WaitFor(fd, POLLOUT, deadline)) {
            int failure = 0;
            socklen_t length = sizeof failure;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &length) == 0 && failure == 0)
                return fd;
        }
        ::close(fd);
        return -1;
    }
}

bool PeerIsThisUser(int fd)
{
    struct ucred credentials = {};
    socklen_t length = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           credentials.uid == ::geteuid();
}

bool WriteLocal(int fd, QByteArrayView bytes, const QDeadlineTimer &deadline)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.data() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && WaitFor(fd, POLLOUT, deadline))
            continue;
        return false;
    }
    return true;
}

int ReadByteLocal(int fd, const QDeadlineTimer &deadline)
{
    for (;;) {
        unsigned char byte = 0;
        const ssize_t n = ::recv(fd, &byte, 1, 0);
        if (n == 1)
            return byte;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && WaitFor(fd, POLLIN, deadline))
            continue;
        return -1;
    }
}

void CloseLocal(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

LocalListener::~LocalListener()
{
    Close();
}

bool LocalListener::Listen(const QString &path)
{
    Close();
    sockaddr_un address;
    if (!AddressOf(path, &address)) {
        error = QStringLiteral("the path is too long for a socket");
        return false;
    }
    fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::unlink(address.sun_path);
    // For this user alone. It lies in a folder only this user can enter, so nobody else can
    // reach it before its mode is set either (the process's umask is not touched: other
    // threads create files meanwhile).
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, 50) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        Close();
        return false;
    }
    notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &LocalListener::Accept);
    return true;
}

void LocalListener::Close()
{
    delete notifier;
    notifier = nullptr;
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void LocalListener::Pause(int ms)
{
    if (!notifier || !notifier->isEnabled())
        return;
    notifier->setEnabled(false);
    QTimer::singleShot(ms, notifier, [n = notifier] { n->setEnabled(true); });
}

void LocalListener::Accept()
{
    while (fd >= 0) {
        const int peer = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer >= 0) {
            emit connection(peer);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        // Out of descriptors, say: waiting connections stay queued until there is room again,
        // instead of the notifier firing without end.
        if (errno != EAGAIN)
            Pause(100);
        return;
    }
}

LocalPeer::LocalPeer(int descriptor, QObject *parent) : QObject(parent), fd(descriptor)
{
    notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &LocalPeer::Read);
}

LocalPeer::~LocalPeer()
{
    Close();
}

void LocalPeer::Write(QByteArrayView bytes)
{
    if (fd >= 0)
        (void)::send(fd, bytes.data(), size_t(bytes.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
}

void LocalPeer::Close()
{
    delete notifier;
    notifier = nullptr;
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void LocalPeer::Read()
{
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            received.append(chunk, n);
            // The reader decides what is too much; a peer that keeps writing is not read
            // without end meanwhile.
            if (n < qsizetype(sizeof chunk) || received.size() > (1 << 20))
                break;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            break;
        if (notifier)
            notifier->setEnabled(false);
        emit closed();
        return;
    }
    emit readyRead();
}
