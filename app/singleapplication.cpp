#include "singleapplication.h"

#include "platform.h"
#include "startupnotification.h"

#include "diagnostics.h"
#include "filelocations.h"
#include "localsocket.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

namespace {

// A frame is a 32-bit big-endian length and a QDataStream of the message and an activation
// token. Anything larger is not ours.
constexpr quint32 MaxFrameSize = 64 * 1024;
constexpr char AckByte = 0x06;
// A peer that connects and then stalls is dropped after this long.
constexpr int PeerTimeoutMs = 3000;
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;
// Connected peers that have not sent their message yet, at most.
constexpr int MaxPendingPeers = 16;
// When the server starts for an instance whose window never paints.
constexpr int ServeAfterMs = 250;
// How long the compositor has to give the window the focus before it asks for attention.
constexpr int ActivationSettleMs = 500;

bool IsPlausibleToken(const QByteArray &token)
{
    if (token.size() > 1024)
        return false;
    for (char c : token) {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

} // namespace

SingleApplication::SingleApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    instanceId = idForUserConfig(GetFilePath(UserConfigFile));
    start();
}

SingleApplication::SingleApplication(const QString &id, int &argc, char **argv)
    : QApplication(argc, argv), instanceId(id)
{
    start();
}

SingleApplication::~SingleApplication()
{
    delete server;
    delete lockFile; // unlocks
}

QString SingleApplication::idForUserConfig(const QString &userConfigPath)
{
    // Every copy of the launcher that this user starts works on the same file, so that file,
    // not the executable, is what only one of them may hold.
    QByteArray key = QByteArray::number(qulonglong(CurrentUserId()));
    key += '\0';
    key += QFile::encodeName(canonicalPath(userConfigPath));
    return QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
}

QString SingleApplication::canonicalPath(const QString &path)
{
    // The same file reached through a linked folder is the same file: the deepest folder that
    // exists is resolved, and the rest (not made yet) appended as it is.
    const QFileInfo info(path);
    QString rest = info.fileName();
    QFileInfo dir(info.absolutePath());
    while (!dir.exists() && !dir.isRoot()) {
        rest = dir.fileName() + QLatin1Char('/') + rest;
        dir.setFile(dir.absolutePath());
    }
    const QString base = dir.canonicalFilePath();
    if (base.isEmpty())
        return info.absoluteFilePath();
    return base.endsWith(QLatin1Char('/')) ? base + rest : base + QLatin1Char('/') + rest;
}

QString SingleApplication::instanceDirectory()
{
    // The runtime directory belongs to the user alone (mode 0700), so nobody else can take
    // the lock or the socket name. Qt reports none when it cannot be used (for instance when
    // its fallback in /tmp was taken by another user); then a private directory of our own in
    // the user's cache or data location serves.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime))
        return runtime;
    return privateInstanceDirectory(QString());
}

QString SingleApplication::privateInstanceDirectory(const QString &except)
{
    for (const auto location :
         {QStandardPaths::GenericCacheLocation, QStandardPaths::GenericDataLocation}) {
        const QString base = QStandardPaths::writableLocation(location);
        // A relative base directory is invalid and would give a lock per working directory.
        if (base.isEmpty() || !QDir::isAbsolutePath(base))
            continue;
        const QString dir = base + QLatin1String("/velmora-launcher-instance");
        if (dir != except && MakePrivateDirectory(dir))
            return dir;
    }
    return QString();
}

void SingleApplication::start()
{
    QString dir = instanceDirectory();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (dir.isEmpty()) {
            primary = true;
            problemText = QT_TR_NOOP("no directory of your own can hold its lock");
            qCWarning(lcLauncher).noquote()
                << QStringLiteral("running unlocked: %1").arg(lockProblem());
            return;
        }
        instanceDir = dir;
        const QString base = dir + QLatin1String("/velmora-") + instanceId;
        socketPath = base + QLatin1String(".sock");
        lockPath = base + QLatin1String(".lock");
        // What another user put at our names (in a folder that was open to others before it was
        // closed) is not ours: it goes.
        const bool cleared = RemoveForeignEntry(socketPath) && RemoveForeignEntry(lockPath);
        if (cleared) {
            switch (probeRunningInstance()) {
            case Probe::OursListening:
                // A launcher of ours answers there, even if its lock is gone: hand over to it.
                primary = false;
                return;
            case Probe::Nobody:
                if (takeLock())
                    return;
                break;
            case Probe::Foreign:
                break;
            }
        }
        qCWarning(lcLauncher).noquote()
            << QStringLiteral("%1 holds a lock or a server of another user; using a private "
                              "folder instead")
                   .arg(QDir::toNativeSeparators(dir));
        dir = privateInstanceDirectory(dir);
    }
    primary = true;
    problemText = QT_TR_NOOP("no directory of your own can hold its lock");
    qCWarning(lcLauncher).noquote() << QStringLiteral("running unlocked: %1").arg(lockProblem());
}

SingleApplication::Probe SingleApplication::probeRunningInstance() const
{
    if (!QFileInfo::exists(socketPath))
        return Probe::Nobody;
    // A folder that others could write to may hold a server of theirs at our socket's name.
    const int fd = ConnectLocal(socketPath, 1000);
    if (fd < 0)
        return Probe::Nobody;
    const Probe found = PeerIsThisUser(fd) ? Probe::OursListening : Probe::Foreign;
    CloseLocal(fd);
    return found;
}

bool SingleApplication::takeLock()
{
    delete lockFile;
    lockFile = new QLockFile(lockPath);
    // Never stale by age: a frozen launcher still owns its lock. A dead one's lock is found
    // stale through its process id.
    lockFile->setStaleLockTime(0);
    if (!lockFile->tryLock(0) && lockFile->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host;
        QString application;
        // A lock naming another user's process (its id reused since ours ended) is stale.
        if (!lockFile->getLockInfo(&pid, &host, &application) || !IsOtherUsersProcess(pid)) {
            primary = false;
            return true;
        }
        lockFile->removeStaleLockFile();
        if (!lockFile->tryLock(0))
            return false;
    }
    if (!lockFile->isLocked()) {
        primary = true;
        problemText = QT_TR_NOOP("its lock cannot be created in %1");
        problemArgument = QDir::toNativeSeparators(instanceDir);
        qCWarning(lcLauncher).noquote()
            << QStringLiteral("running unlocked: %1").arg(lockProblem());
        return true;
    }
    primary = true;
    if (!server) {
        server = new LocalListener;
        connect(server, &LocalListener::connection, this, &SingleApplication::acceptConnection);
    }
    // The lock is what makes a later start hand over, and that one keeps trying to reach the
    // socket for seconds: the server starts once the window has painted (setActivationWindow),
    // or after a moment when there is none.
    QTimer::singleShot(ServeAfterMs, this, &SingleApplication::serve);
    return true;
}

void SingleApplication::serve()
{
    if (serving)
        return;
    serving = true;
    // Watched before the socket is there, so that nothing removed from then on goes unseen.
    watchInstanceFiles();
    listen();
}

bool SingleApplication::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Paint) {
        window->removeEventFilter(this);
        // Once the paint is done.
        QTimer::singleShot(0, this, &SingleApplication::serve);
    }
    return QApplication::eventFilter(watched, event);
}

void SingleApplication::watchInstanceFiles()
{
    if (watcher)
        return;
    // A temporary-file cleaner or a user may remove the lock or the socket: a later start would
    // then find nobody. Both are made again as soon as the folder changes.
    watcher = new QFileSystemWatcher(this);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this,
            &SingleApplication::restoreInstanceFiles);
    if (!watcher->addPath(instanceDir)) {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &SingleApplication::restoreInstanceFiles);
        timer->start(2000);
    }
}

void SingleApplication::restoreInstanceFiles()
{
    if (!primary || !lockFile || !server)
        return;
    if (!QFileInfo::exists(socketPath) && !QFileInfo(socketPath).isSymLink()) {
        qCWarning(lcLauncher).noquote()
            << QStringLiteral("%1 was removed; listening again").arg(socketPath);
        server->Close();
        listen();
    }
    if (!QFileInfo::exists(lockPath) && !QFileInfo(lockPath).isSymLink()) {
        qCWarning(lcLauncher).noquote()
            << QStringLiteral("%1 was removed; locking again").arg(lockPath);
        // The old lock object would remove the new file when it goes: it goes first.
        delete lockFile;
        lockFile = new QLockFile(lockPath);
        lockFile->setStaleLockTime(0);
        if (!lockFile->tryLock(0))
            qCWarning(lcLauncher).noquote() << QStringLiteral("cannot lock %1 again").arg(lockPath);
    }
}

void SingleApplication::listen()
{
    if (server->IsListening())
        return;
    // Only the holder of the lock may remove a socket left behind by a crashed instance (or
    // by this one, when its server closed after an error): Listen makes it afresh.
    if (!server->Listen(socketPath))
        qCWarning(lcLauncher).noquote()
            << QStringLiteral("cannot listen on %1: %2").arg(socketPath, server->ErrorString());
}

QString SingleApplication::lockProblem() const
{
    if (!problemText)
        return QString();
    const QString text = tr(problemText);
    return problemArgument.isEmpty() ? text : text.arg(problemArgument);
}

bool SingleApplication::isRunning() const
{
    return !primary;
}

bool SingleApplication::sendMessage(const QString &message, int timeout)
{
    if (primary)
        return false;

    // A token the running launcher would not take (far too long, or not plain text) is not
    // sent: the window is raised without it.
    // As the environment had it when the process began: Qt's X11 plugin takes the startup id
    // out of it while the application object connects.
    QByteArray token = ActivationToken();
    if (token.isEmpty())
        token = TakeActivationToken();
    if (!IsPlausibleToken(token))
        token.clear();
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(StreamVersion);
        out << message << token;
    }
    if (payload.size() > qsizetype(MaxFrameSize))
        return false;
    QByteArray frame(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(payload.size()), frame.data());
    frame += payload;

    const QDeadlineTimer deadline(timeout);
    const auto remaining = [&deadline] {
        const qint64 left = deadline.remainingTime();
        return left < 0 ? -1 : int(left);
    };

    // The running instance may hold the lock but not listen yet: keep trying until the end.
    // A connection closed unanswered is tried again too: a launcher busy with a flood of
    // connections may drop one before it has read it (a second activation does no harm).
    for (;;) {
        const int left = remaining();
        const int fd = ConnectLocal(socketPath, left < 0 ? 200 : qMin(left, 200));
        if (fd >= 0 && !PeerIsThisUser(fd)) {
            // Nothing of ours: it gets neither the message nor the activation token.
            qCWarning(lcLauncher).noquote()
                << QStringLiteral("%1 is served by another user; not sending to it")
                       .arg(socketPath);
            CloseLocal(fd);
            return false;
        }
        if (fd >= 0) {
            const bool acknowledged =
                WriteLocal(fd, frame, deadline) && ReadByteLocal(fd, deadline) == uchar(AckByte);
            CloseLocal(fd);
            if (acknowledged)
                return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(left < 0 ? 50 : qMin(left, 50));
    }
}

void SingleApplication::setActivationWindow(QWidget *w, bool activate)
{
    if (window)
        window->removeEventFilter(this);
    window = w;
    activateOnMessage = activate;
    if (window && primary && server && !serving)
        window->installEventFilter(this);
}

void SingleApplication::acceptConnection(int fd)
{
    auto *peer = new LocalPeer(fd, this);
    auto *timer = new QTimer(peer);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, peer] { drop(peer); });
    timer->start(PeerTimeoutMs);
    connect(peer, &LocalPeer::closed, this, [this, peer] { drop(peer); });
    connect(peer, &LocalPeer::readyRead, this, [this, peer] { readFrame(peer); });
    peers.append(peer);
    // A second start writes its message as soon as it is connected: what is there already is
    // answered now, before a flood of other connections could push it out below.
    peer->ReadNow();
    // Peers that connect and say nothing must not use up the descriptors: past a few, the one
    // waiting longest goes.
    while (peers.size() > MaxPendingPeers)
        drop(peers.first());
}

void SingleApplication::drop(LocalPeer *peer)
{
    peers.removeAll(peer);
    peer->disconnect(this);
    // Its descriptor goes now: a flood of peers must not outrun the deferred deletion.
    peer->Close();
    peer->deleteLater();
}

void SingleApplication::readFrame(LocalPeer *peer)
{
    const QByteArray &received = peer->Received();
    if (received.size() < 4)
        return;
    const quint32 size = qFromBigEndian<quint32>(received.constData());
    if (size > MaxFrameSize) {
        drop(peer);
        return;
    }
    if (received.size() < 4 + qsizetype(size))
        return; // the rest is still on its way

    const QByteArray payload = received.mid(4, size);
    QString message;
    QByteArray token;
    QDataStream in(payload);
    in.setVersion(StreamVersion);
    in >> message >> token;
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        drop(peer);
        return;
    }

    // One message per connection: acknowledge, then the connection ends.
    peer->Write(QByteArrayView(&AckByte, 1));
    drop(peer);

    emit messageReceived(message);
    if (activateOnMessage)
        activate(IsPlausibleToken(token) ? token : QByteArray());
}

void SingleApplication::activate(const QByteArray &activationToken)
{
    if (!window)
        return;
    // On Wayland a window may only take the focus with a token from the starting process.
    // Qt reads it from the environment while activating; it serves this activation only, and
    // must not reach the emulators started later.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    // On X11 with the time of the user's action that began the second start.
    UseStartupTime(window, activationToken);
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qunsetenv("DESKTOP_STARTUP_ID");
    // Without a token a Wayland compositor keeps the focus where it is, and so may a window
    // manager that prevents focus stealing: the window then asks for attention (its entry in
    // the task bar), so that a second start never goes without a sign.
    QTimer::singleShot(ActivationSettleMs, this, [this, shown = QPointer<QWidget>(window)] {
        if (!shown || shown->isActiveWindow() || !shown->isVisible())
            return;
        QApplication::alert(shown);
        emit attentionRequested();
    });
}
