// The single-instance layer from the running launcher's side: this test process is the
// running instance (for the identity of a launcher copy), and the real launcher is the second
// start that hands over to it.

#include "launcherinstall.h"
#include "singleapplication.h"
#include "testenvironment.h"

#include <QDataStream>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QWidget>
#include <QtEndian>
#include <QtTest>

namespace {
LauncherInstall *install = nullptr;
TestEnvironment *environment = nullptr;
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void secondStartHandsOverOnce();
    void messageRaisesMinimisedWindow();
    void hostilePeersAreSurvived_data();
    void hostilePeersAreSurvived();
    void sendMessageWithoutPeerFails();

private:
    int StartSecondLauncher();
    SingleApplication *app() { return static_cast<SingleApplication *>(qApp); }
};

int TestSingleInstance::StartSecondLauncher()
{
    QProcess second;
    second.start(install->executable(), {});
    // Wait while serving our own event loop, which answers the message.
    QDeadlineTimer deadline(15000);
    while (second.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(10);
    if (second.state() != QProcess::NotRunning) {
        second.kill();
        second.waitForFinished();
        return -1;
    }
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

void TestSingleInstance::init()
{
    QVERIFY(install->isValid());
    QVERIFY(!app()->isRunning());
}

void TestSingleInstance::secondStartHandsOverOnce()
{
    QSignalSpy received(app(), &SingleApplication::messageReceived);
    QCOMPARE(StartSecondLauncher(), 0);
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QString());
    // The second launcher touched no file.
    QVERIFY(!QFileInfo::exists(environment->userConfigPath()));
}

void TestSingleInstance::messageRaisesMinimisedWindow()
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("running launcher"));
    window.showMinimized();
    QVERIFY(window.isMinimized());
    app()->setActivationWindow(&window);

    QCOMPARE(StartSecondLauncher(), 0);
    QVERIFY(!window.isMinimized());
    QVERIFY(window.isVisible());
    app()->setActivationWindow(nullptr);
}

void TestSingleInstance::hostilePeersAreSurvived_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("closeEarly");

    QByteArray valid;
    {
        QByteArray payload;
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << QString() << QByteArray();
        valid.resize(4);
        qToBigEndian<quint32>(quint32(payload.size()), valid.data());
        valid += payload;
    }
    QByteArray huge(4, '\0');
    qToBigEndian<quint32>(0x7fffffff, huge.data());
    QByteArray lying(4, '\0');
    qToBigEndian<quint32>(6, lying.data());
    lying += QByteArray("\xff\xff\xff\x00\x00\x01", 6);

    QTest::newRow("garbage text") << QByteArray("GET / HTTP/1.0\r\n\r\n") << true;
    QTest::newRow("half a frame, then gone") << valid.left(valid.size() - 2) << true;
    QTest::newRow("half a frame, then silence") << valid.left(3) << false;
    QTest::newRow("oversized length") << huge + QByteArray(1000, 'x') << false;
    QTest::newRow("string longer than the frame") << lying << false;
    QTest::newRow("nothing at all") << QByteArray() << false;
}

void TestSingleInstance::hostilePeersAreSurvived()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, closeEarly);

    QSignalSpy received(app(), &SingleApplication::messageReceived);
    const QStringList sockets =
        QDir(environment->runtimeDir()).entryList({QStringLiteral("*.sock")}, QDir::System);
    QCOMPARE(sockets.size(), 1);
    QLocalSocket peer;
    peer.connectToServer(environment->runtimeDir() + QLatin1Char('/') + sockets.first());
    QVERIFY(peer.waitForConnected(2000));
    peer.write(bytes);
    QVERIFY(peer.waitForBytesWritten(2000) || bytes.isEmpty());
    if (closeEarly)
        peer.disconnectFromServer();
    QTest::qWait(50);

    // The hostile peer may still be connected: the running launcher answers the next one.
    QCOMPARE(StartSecondLauncher(), 0);
    QCOMPARE(received.count(), 1);
    // Nothing was acknowledged to the hostile peer.
    if (peer.state() == QLocalSocket::ConnectedState)
        peer.waitForReadyRead(100);
    QCOMPARE(peer.bytesAvailable(), 0);
}

void TestSingleInstance::sendMessageWithoutPeerFails()
{
    // The running instance itself has nobody to send to.
    QVERIFY(!app()->sendMessage(QString(), 100));
}

int main(int argc, char *argv[])
{
    TestEnvironment env;
    environment = &env;
    LauncherInstall launcher(env.root() + QStringLiteral("/app"));
    install = &launcher;
    // Run as the launcher copy would: the same identity, so it finds us running.
    SingleApplication app(SingleApplication::IdForExecutable(launcher.executable()), argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
