// The single-instance layer from the running launcher's side: this test process is the
// running instance (for the identity of a launcher copy), and the real launcher is the second
// start that hands over to it.

#include "emulatorlaunch.h"
#include "launcherinstall.h"
#include "singleapplication.h"
#include "testenvironment.h"

#include <QDataStream>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QWidget>
#include <QtEndian>
#include <QtTest>

#include <unistd.h>

namespace {
// A message as a second launcher sends it: a 32-bit big-endian length, then the message and an
// (empty) activation token in a QDataStream.
QByteArray Frame(const QString &message)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << message << QByteArray();
    QByteArray frame(4, '\0');
    qToBigEndian<quint32>(quint32(payload.size()), frame.data());
    return frame + payload;
}

LauncherInstall *install = nullptr;
TestEnvironment *environment_ = nullptr;
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void secondStartHandsOverOnce();
    void messageRaisesMinimisedWindow();
    void activationTokenIsForwarded_data();
    void activationTokenIsForwarded();
    void onlyTheUserReachesTheSocket();
    void hostilePeersAreSurvived_data();
    void hostilePeersAreSurvived();
    void sendMessageWithoutPeerFails();
    void messageInPiecesIsAnswered();

private:
    int StartSecondLauncher(
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    SingleApplication *app() { return static_cast<SingleApplication *>(qApp); }
};

int TestSingleInstance::StartSecondLauncher(const QProcessEnvironment &environment)
{
    // Run while serving our own event loop, which answers the message.
    return RunLauncher(install->executable(), {}, environment, 15000).code;
}

void TestSingleInstance::init()
{
    QVERIFY(install->isValid());
    QVERIFY(!app()->isRunning());
    // Without a window to paint, the running launcher listens a moment after its start.
    QTRY_COMPARE(
        QDir(environment_->runtimeDir()).entryList({QStringLiteral("*.sock")}, QDir::System).size(),
        1);
}

void TestSingleInstance::secondStartHandsOverOnce()
{
    QSignalSpy received(app(), &SingleApplication::messageReceived);
    QCOMPARE(StartSecondLauncher(), 0);
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QString());
    // The second launcher touched no file.
    QVERIFY(!QFileInfo::exists(environment_->userConfigPath()));
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

void TestSingleInstance::activationTokenIsForwarded_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<QByteArray>("applied");
    QTest::addColumn<bool>("focusElsewhere"); // another window takes the focus meanwhile
    QTest::newRow("wayland token")
        << "XDG_ACTIVATION_TOKEN" << QByteArray("abc_123") << QByteArray("abc_123") << false;
    QTest::newRow("startup id") << "DESKTOP_STARTUP_ID" << QByteArray("id-9_TIME42")
                                << QByteArray("id-9_TIME42") << false;
    QTest::newRow("control characters refused")
        << "XDG_ACTIVATION_TOKEN" << QByteArray("a\nb") << QByteArray() << false;
    // Handed over without it: a start never fails on a token it cannot send.
    QTest::newRow("a token past 64 KiB left out")
        << "XDG_ACTIVATION_TOKEN" << QByteArray(70 * 1024, 'x') << QByteArray() << false;
    QTest::newRow("no token, the focus kept elsewhere: attention asked for")
        << "XDG_ACTIVATION_TOKEN" << QByteArray() << QByteArray() << true;
}

namespace {
// Notes the activation token in the environment when the window is brought back from
// minimised, which is while it is being activated.
class TokenWitness : public QWidget
{
public:
    QByteArray seen = "never activated";

protected:
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::WindowStateChange && !isMinimized())
            seen = qgetenv("XDG_ACTIVATION_TOKEN");
        QWidget::changeEvent(event);
    }
};
} // namespace

// On Wayland a window may only come to the front with the starting process's token, so the
// second start hands its token over and the running launcher uses it to activate, once: the
// emulators it starts afterwards carry no token.
void TestSingleInstance::activationTokenIsForwarded()
{
    QFETCH(QString, variable);
    QFETCH(QByteArray, token);
    QFETCH(QByteArray, applied);
    QFETCH(bool, focusElsewhere);
    qunsetenv("XDG_ACTIVATION_TOKEN");
    TokenWitness window;
    window.showMinimized();
    app()->setActivationWindow(&window);
    QWidget other;
    other.show();
    const QSignalSpy attention(app(), &SingleApplication::attentionRequested);
    QMetaObject::Connection steal;
    if (focusElsewhere)
        steal = connect(app(), &SingleApplication::messageReceived, &other, [&other] {
            QTimer::singleShot(0, &other, [&other] { other.activateWindow(); });
        });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    environment.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
    if (!token.isEmpty())
        environment.insert(variable, QString::fromLatin1(token));
    QCOMPARE(StartSecondLauncher(environment), 0);
    disconnect(steal);
    QCOMPARE(window.seen, applied);
    QVERIFY(!qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));
    // A window that did not get the focus asks for attention; one that got it does not.
    if (focusElsewhere)
        QTRY_COMPARE(attention.size(), 1);
    else
        QTest::qWait(700);
    QCOMPARE(attention.size(), int(focusElsewhere));
    QCOMPARE(window.isActiveWindow(), !focusElsewhere);
    app()->setActivationWindow(nullptr);

    // Even a token the launcher was started with does not reach an emulator.
    qputenv("DESKTOP_STARTUP_ID", "own-startup-id");
    const QString record = environment_->root() + QStringLiteral("/emulator-environment.jsonl");
    QFile::remove(record);
    qputenv("VELMORA_EMU_RECORD", QFile::encodeName(environment_->root() + "/emulator-args"));
    qputenv("VELMORA_EMU_RECORD_ENVIRONMENT", QFile::encodeName(record));
    QVERIFY(StartDetached({LauncherInstall::BuiltFile("VelmoraMobileEmu.exe"), {}}));
    qunsetenv("DESKTOP_STARTUP_ID");
    qunsetenv("VELMORA_EMU_RECORD");
    qunsetenv("VELMORA_EMU_RECORD_ENVIRONMENT");
    QTRY_VERIFY(ReadBytes(record).endsWith('\n'));
    QCOMPARE(ReadBytes(record), QByteArray("{}\n"));
}

void TestSingleInstance::onlyTheUserReachesTheSocket()
{
    // The runtime directory is the user's alone, and so is the socket in it.
    const QFile::Permissions groupAndOthers(0x0077);
    QCOMPARE(QFileInfo(environment_->runtimeDir()).permissions() & groupAndOthers,
             QFile::Permissions());
    const QStringList sockets =
        QDir(environment_->runtimeDir()).entryList({QStringLiteral("*.sock")}, QDir::System);
    QCOMPARE(sockets.size(), 1);
    const QFileInfo socket(environment_->runtimeDir() + QLatin1Char('/') + sockets.first());
    QCOMPARE(socket.permissions() & groupAndOthers, QFile::Permissions());
    QCOMPARE(socket.ownerId(), ::getuid());
}

void TestSingleInstance::hostilePeersAreSurvived_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("closeEarly");

    const QByteArray valid = Frame(QString());
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
        QDir(environment_->runtimeDir()).entryList({QStringLiteral("*.sock")}, QDir::System);
    QCOMPARE(sockets.size(), 1);
    QLocalSocket peer;
    peer.connectToServer(environment_->runtimeDir() + QLatin1Char('/') + sockets.first());
    QVERIFY(peer.waitForConnected(2000));
    peer.write(bytes);
    QVERIFY(peer.waitForBytesWritten(2000) || bytes.isEmpty());
    if (closeEarly)
        peer.disconnectFromServer();

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

// A message may arrive in pieces: the running launcher keeps what came and answers once the
// whole frame is there.
void TestSingleInstance::messageInPiecesIsAnswered()
{
    const QByteArray frame = Frame(QStringLiteral("in pieces"));

    QSignalSpy received(app(), &SingleApplication::messageReceived);
    const QStringList sockets =
        QDir(environment_->runtimeDir()).entryList({QStringLiteral("*.sock")}, QDir::System);
    QCOMPARE(sockets.size(), 1);
    QLocalSocket peer;
    peer.connectToServer(environment_->runtimeDir() + QLatin1Char('/') + sockets.first());
    QVERIFY(peer.waitForConnected(2000));
    for (const QByteArray &piece : {frame.left(3), frame.mid(3, 5), frame.mid(8)}) {
        peer.write(piece);
        QVERIFY(peer.waitForBytesWritten(2000));
        // The server may read each piece on its own, or several at once: the answer is the same.
        QTest::qWait(20);
    }
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("in pieces"));
    QVERIFY(peer.bytesAvailable() > 0 || peer.waitForReadyRead(2000));
    QCOMPARE(peer.read(1), QByteArray("\x06"));
}

int main(int argc, char *argv[])
{
    TestEnvironment env;
    environment_ = &env;
    LauncherInstall launcher(env.root() + QStringLiteral("/app"));
    install = &launcher;
    // The same user and the same Launcher.ini as the launcher copy: it finds us running.
    SingleApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
