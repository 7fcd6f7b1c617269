// One launcher per user against what other users and processes leave in its way: a runtime folder
// that is taken, a server planted in its place, a flood of idle connections.

#include "filelocations.h"
#include "launcherinstall.h"
#include "launchrecords.h"
#include "processchecks.h"
#include "singleapplication.h"
#include "systemguards.h"
#include "testenvironment.h"
#include "xserver.h"
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <xcb/xcb.h>

class TestInstanceSecurity : public QObject, protected ProcessSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(InitSuite()); }
    void cleanup() { EndTest(); }
    void takenRuntimeDirectoryStillLocks_data();
    void takenRuntimeDirectoryStillLocks();
    void plantedServerIsNotTrusted_data();
    void plantedServerIsNotTrusted();
    void floodOfIdleConnectionsStillHandsOver();
};

void TestInstanceSecurity::takenRuntimeDirectoryStillLocks_data()
{
    QTest::addColumn<bool>("privateFolderTaken");
    QTest::addColumn<QString>("used");
    QTest::newRow("the runtime folder taken")
        << false << QStringLiteral("/cache/velmora-launcher-instance");
    QTest::newRow("and the private folder in the cache too")
        << true << QStringLiteral("/data/velmora-launcher-instance");
}

void TestInstanceSecurity::takenRuntimeDirectoryStillLocks()
{
    QFETCH(bool, privateFolderTaken);
    QFETCH(QString, used);
    if (::geteuid() != 0)
        QSKIP("only root can hand a directory to another user");
    // Without XDG_RUNTIME_DIR Qt falls back to <tmp>/runtime-<user>; another local user can
    // create that first, and Qt then reports no runtime directory at all.
    const QString tmp = env->root() + QStringLiteral("/tmp");
    const QString taken = tmp + QStringLiteral("/runtime-root");
    QVERIFY(QDir().mkpath(taken));
    QCOMPARE(::chmod(QFile::encodeName(tmp).constData(), 01777), 0);
    QCOMPARE(::chown(QFile::encodeName(taken).constData(), 65534, 65534), 0);
    QCOMPARE(::chmod(QFile::encodeName(taken).constData(), 0700), 0);
    const QString cacheFolder = env->root() + QStringLiteral("/cache/velmora-launcher-instance");
    QDir(cacheFolder).removeRecursively();
    QDir(env->root() + QStringLiteral("/data/velmora-launcher-instance")).removeRecursively();
    if (privateFolderTaken) {
        QVERIFY(QDir().mkpath(cacheFolder));
        QCOMPARE(::chown(QFile::encodeName(cacheFolder).constData(), 65534, 65534), 0);
    }

    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    e.insert(QStringLiteral("TMPDIR"), tmp);
    e.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    QProcess *first = StartIn(install->executable(), e);
    const QString instanceDir = env->root() + used;
    QVERIFY(WaitForListening(instanceDir, 10000));
    QFileInfo dir(instanceDir);
    QCOMPARE(int(dir.permissions() & 0x0077), 0); // nothing for group or others
    QProcess *second = StartIn(install->executable(), e);
    QCOMPARE(WaitForExit(*second, 10000), 0);
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(QDir(taken).isEmpty());
    if (privateFolderTaken)
        QVERIFY(QDir(cacheFolder).isEmpty());
}

void TestInstanceSecurity::plantedServerIsNotTrusted_data()
{
    QTest::addColumn<bool>("ownedByUs");
    QTest::addColumn<QString>("used"); // where the launcher then listens
    QTest::newRow("another user's socket, removed")
        << false << QStringLiteral("/cache/velmora-launcher-instance");
    QTest::newRow("a socket file of ours that another user serves")
        << true << QStringLiteral("/data/velmora-launcher-instance");
}

// Another user's server at the launcher's socket name, put there while the launcher's private
// folder was open to others: the launcher neither sends it anything nor hands over to it.
void TestInstanceSecurity::plantedServerIsNotTrusted()
{
    QFETCH(bool, ownedByUs);
    QFETCH(QString, used);
    if (::geteuid() != 0)
        QSKIP("only root can act as another user");
    // No runtime folder (Qt's fallback is another user's), so the private folder serves.
    const QString tmp = env->root() + QStringLiteral("/tmp-planted");
    const QString taken = tmp + QStringLiteral("/runtime-root");
    QVERIFY(QDir().mkpath(taken));
    QCOMPARE(::chown(QFile::encodeName(taken).constData(), 65534, 65534), 0);
    const QString open = env->root() + QStringLiteral("/cache/velmora-launcher-instance");
    QDir(open).removeRecursively();
    QDir(env->root() + QStringLiteral("/data/velmora-launcher-instance")).removeRecursively();
    QVERIFY(QDir().mkpath(open));
    QCOMPARE(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    const QString name =
        open + "/velmora-" + SingleApplication::idForUserConfig(env->userConfigPath()) + ".sock";
    QLocalServer planted;
    {
        // Listening as "nobody" makes the server that user's.
        const RestrictedPath asNobody(open, 0777);
        QVERIFY(asNobody.effective());
        QVERIFY2(planted.listen(name), qPrintable(planted.errorString()));
    }
    if (ownedByUs)
        QCOMPARE(::chown(QFile::encodeName(name).constData(), 0, 0), 0);

    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    e.insert(QStringLiteral("TMPDIR"), tmp);
    e.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    QProcess *launcher = StartIn(install->executable(), e);
    // The planted socket answers too: wait for one of ours where the launcher listens.
    const QString ours = env->root() + used + name.mid(name.lastIndexOf('/'));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(ours).exists() && QFileInfo(ours).ownerId() == 0 &&
                                 (ours != name || !ownedByUs),
                             10000);
    QVERIFY(WaitForListening(env->root() + used, 10000));
    QCOMPARE(launcher->state(), QProcess::Running);
    QCOMPARE(int(QFileInfo(open).permissions() & 0x0077), 0);
    // A second start finds the launcher, not the planted server.
    QCOMPARE(WaitForExit(*StartIn(install->executable(), e), 10000), 0);
    QCoreApplication::processEvents();
    while (QLocalSocket *peer = planted.nextPendingConnection()) {
        peer->waitForReadyRead(100);
        QCOMPARE(peer->bytesAvailable(), 0);
        delete peer;
    }
}

void TestInstanceSecurity::floodOfIdleConnectionsStillHandsOver()
{
    // Enough descriptors for this process to hold more connections than the launcher may.
    struct rlimit limit;
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlim_t wanted = std::max(limit.rlim_cur, std::min<rlim_t>(limit.rlim_max, 4096));
    const ResourceLimit more(RLIMIT_NOFILE, wanted);
    QVERIFY(more.effective());
    const int flood = int(std::min<rlim_t>(wanted - 64, 1000));

    // The launcher gets far fewer descriptors than the flood holds connections.
    QProcess *first =
        processes.StartWindow(install->executable(), {}, Limit(RLIMIT_NOFILE, 256), true);
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    const QStringList sockets =
        QDir(env->runtimeDir()).entryList({QStringLiteral("*.sock")}, QDir::System);
    QCOMPARE(sockets.size(), 1);
    const QByteArray path = QFile::encodeName(env->runtimeDir() + '/' + sockets.first());
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);

    QList<int> idle;
    for (int i = 0; i < flood; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            break;
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
            ::close(fd);
            continue; // the backlog is full for a moment
        }
        idle.append(fd);
    }
    // More connections than the launcher has descriptors; a launcher that stopped listening
    // refuses the rest.
    QVERIFY2(idle.size() > 512,
             qPrintable(QStringLiteral("only %1 connections were accepted").arg(idle.size())));
    QProcess *second = Start();
    const int code = WaitForExit(*second, 20000);
    for (const int fd : std::as_const(idle))
        ::close(fd);
    QCOMPARE(code, 0);
    QCOMPARE(first->state(), QProcess::Running);
    QProcess *third = Start();
    QCOMPARE(WaitForExit(*third, 20000), 0);

    // Connections that keep coming while several second starts hand over: the launcher drops
    // idle ones, never a start that has said what it wants.
    std::atomic<bool> flooding{true};
    std::thread churn([&] {
        QList<int> held;
        for (int round = 0; flooding && round < 200000; ++round) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            if (fd < 0)
                break;
            if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
                held.append(fd);
            else
                ::close(fd);
            while (held.size() > 64)
                ::close(held.takeFirst());
        }
        for (const int fd : std::as_const(held))
            ::close(fd);
    });
    const auto stopChurn = qScopeGuard([&] {
        flooding = false;
        churn.join();
    });
    QList<QProcess *> seconds;
    for (int i = 0; i < 6; ++i)
        seconds.append(Start());
    for (QProcess *start : std::as_const(seconds))
        QCOMPARE(WaitForExit(*start, 20000), 0);
}

VELMORA_TEST_MAIN(TestInstanceSecurity)
#include "tst_instancesecurity.moc"
