#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The launcher's local socket, on the system's AF_UNIX sockets. Qt's local sockets live in its
// network library, which would load that library and its own (Kerberos, proxy discovery) into
// every start of the launcher, for nothing else.

// A connection to the socket at `path`, or -1 when none is accepted within `timeoutMs`.
int ConnectLocal(const QString &path, int timeoutMs);
// Whether the process at the other end of the connection runs as this user.
bool PeerIsThisUser(int fd);
// Writes all of `bytes` before the deadline.
bool WriteLocal(int fd, QByteArrayView bytes, const QDeadlineTimer &deadline);
// The next byte, or -1 when none comes before the deadline or the other end closed.
int ReadByteLocal(int fd, const QDeadlineTimer &deadline);
void CloseLocal(int fd);

// A socket listening at a path that only this user can reach; what was at the path before is
// removed. Each connection is announced with its descriptor, which the receiver then owns.
class LocalListener : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~LocalListener() override;

    // False, with ErrorString() saying why, when it cannot listen.
    bool Listen(const QString &path);
    bool IsListening() const { return fd >= 0; }
    void Close();
    QString ErrorString() const { return error; }
    // Stops taking connections for a moment: no descriptor is left for one.
    void Pause(int ms);

signals:
    void connection(int fd);

private:
    void Accept();

    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    QString error;
};

// An accepted connection: what arrives collects in Received() (readyRead() says so), and
// closed() says that the other end went. Its descriptor is closed with it, or at Close().
class LocalPeer : public QObject
{
    Q_OBJECT

public:
    LocalPeer(int fd, QObject *parent);
    ~LocalPeer() override;

    QByteArray &Received() { return received; }
    // Reads what has arrived already, as if the socket had said so (readyRead() or closed()).
    void ReadNow() { Read(); }
    // Writes what the socket takes at once; small answers always fit.
    void Write(QByteArrayView bytes);
    void Close();

signals:
    void readyRead();
    void closed();

private:
    void Read();

    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    QByteArray received;
};
