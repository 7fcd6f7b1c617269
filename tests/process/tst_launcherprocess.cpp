// The real launcher as whole processes: how instances find each other, and the start-up path
// that ends the process because no configuration can be read.

#include "launcherinstall.h"
#include "testenvironment.h"

#include <QApplication>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

#include <signal.h>

class TestLauncherProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void secondStartExitsZero();
    void killedLauncherDoesNotBlock();
    void frozenLauncherMakesSecondExitOne();
    void simultaneousStartsGiveOnePrimary();
    void ownArgumentsAreIgnored();
    void unreadableConfigurationEndsWithOne();

private:
    QProcess *Start(const QStringList &arguments = {});
    void StopAll();

    TestEnvironment *env = nullptr;
    std::unique_ptr<LauncherInstall> install;
    QList<QProcess *> running;
};

void TestLauncherProcess::initTestCase()
{
    env = TestEnvironment::current();
    install = std::make_unique<LauncherInstall>(env->root() + QStringLiteral("/app"));
    QVERIFY(install->isValid());
}

QProcess *TestLauncherProcess::Start(const QStringList &arguments)
{
    auto *process = new QProcess(this);
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(e);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(install->executable(), arguments);
    process->waitForStarted();
    running.append(process);
    return process;
}

void TestLauncherProcess::StopAll()
{
    for (QProcess *process : std::as_const(running)) {
        if (process->state() != QProcess::NotRunning) {
            ::kill(pid_t(process->processId()), SIGCONT);
            process->kill();
            process->waitForFinished(5000);
        }
        delete process;
    }
    running.clear();
}

void TestLauncherProcess::cleanup()
{
    StopAll();
}

void TestLauncherProcess::secondStartExitsZero()
{
    QProcess *first = Start();
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    QProcess *second = Start();
    QCOMPARE(WaitForExit(*second, 10000), 0);
    QCOMPARE(first->state(), QProcess::Running);
}

void TestLauncherProcess::killedLauncherDoesNotBlock()
{
    QProcess *first = Start();
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    first->kill();
    first->waitForFinished();

    // The lock and the socket of the dead launcher are still on disk.
    QProcess *next = Start();
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    QTest::qWait(200);
    QCOMPARE(next->state(), QProcess::Running);
    QProcess *third = Start();
    QCOMPARE(WaitForExit(*third, 10000), 0);
    QCOMPARE(next->state(), QProcess::Running);
}

void TestLauncherProcess::frozenLauncherMakesSecondExitOne()
{
    QProcess *first = Start();
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    ::kill(pid_t(first->processId()), SIGSTOP);

    QElapsedTimer timer;
    timer.start();
    QProcess *second = Start();
    QCOMPARE(WaitForExit(*second, 20000), 1);
    // It waited for its timeout rather than giving up at once.
    QVERIFY(timer.elapsed() >= 4500);
    ::kill(pid_t(first->processId()), SIGCONT);
}

void TestLauncherProcess::simultaneousStartsGiveOnePrimary()
{
    QList<QProcess *> processes;
    for (int i = 0; i < 4; ++i)
        processes.append(Start());
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    // Those that hand over leave; exactly one stays.
    QDeadlineTimer deadline(15000);
    auto stillRunning = [&] {
        int count = 0;
        for (QProcess *p : processes)
            count += p->state() != QProcess::NotRunning;
        return count;
    };
    while (stillRunning() > 1 && !deadline.hasExpired())
        QTest::qWait(20);
    QCOMPARE(stillRunning(), 1);
    for (QProcess *p : processes) {
        if (p->state() == QProcess::NotRunning) {
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
    }
}

void TestLauncherProcess::ownArgumentsAreIgnored()
{
    // Arguments that mean nothing to Qt change nothing: the launcher still runs and a second
    // start with other arguments still hands over.
    QProcess *first = Start({QStringLiteral("--profile"), QStringLiteral("x"),
                             QStringLiteral("-windowsize"), QStringLiteral("1x1")});
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    QProcess *second = Start({QStringLiteral("--new-instance")});
    QCOMPARE(WaitForExit(*second, 10000), 0);
    QCOMPARE(first->state(), QProcess::Running);
}

// Needs a real X server, because the critical box is answered by another process, as a user
// would answer it.
void TestLauncherProcess::unreadableConfigurationEndsWithOne()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xvfb.isEmpty() || xdotool.isEmpty())
        QFAIL("Xvfb and xdotool are needed (scripts/test installs them)");

    LauncherInstall bare(env->root() + QStringLiteral("/bare"));
    QVERIFY(QFile::remove(bare.defaultConfigPath()));

    // A display number of our own, free of other X servers.
    int display = 90 + int(QCoreApplication::applicationPid() % 400);
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    for (int attempt = 0; attempt < 20; ++attempt, ++display) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)) ||
            QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
            continue;
        server.start(xvfb, {QStringLiteral(":%1").arg(display), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1024x768x24"),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        server.waitForStarted();
        QDeadlineTimer up(5000);
        while (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)) &&
               server.state() == QProcess::Running && !up.hasExpired())
            QTest::qWait(20);
        if (server.state() == QProcess::Running)
            break;
    }
    QCOMPARE(server.state(), QProcess::Running);
    const QString displayName = QStringLiteral(":%1").arg(display);

    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("DISPLAY"), displayName);
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    e.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess launcher;
    launcher.setProcessEnvironment(e);
    launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    launcher.start(bare.executable(), {});
    launcher.waitForStarted();

    // Find the box by its title, focus it and press Return, as a user would.
    QString window;
    QDeadlineTimer deadline(20000);
    while (window.isEmpty() && !deadline.hasExpired() && launcher.state() == QProcess::Running) {
        QProcess search;
        search.setProcessEnvironment(e);
        search.start(xdotool, {QStringLiteral("search"), QStringLiteral("--name"),
                               QStringLiteral("^Velmora Mobile Emulator$")});
        search.waitForFinished(5000);
        window = QString::fromLatin1(search.readAllStandardOutput())
                     .section(QLatin1Char('\n'), 0, 0)
                     .trimmed();
        if (window.isEmpty())
            QTest::qWait(100);
    }
    QVERIFY2(!window.isEmpty(), "the critical box did not appear");
    QCOMPARE(launcher.state(), QProcess::Running);

    QTest::qWait(300);
    QProcess key;
    key.setProcessEnvironment(e);
    key.start(xdotool, {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window,
                        QStringLiteral("key"), QStringLiteral("--clearmodifiers"),
                        QStringLiteral("Return")});
    key.waitForFinished(10000);
    int code = WaitForExit(launcher, 5000);
    if (code == -1) {
        // Some servers without a window manager refuse activation: type into the window.
        QProcess direct;
        direct.setProcessEnvironment(e);
        direct.start(xdotool, {QStringLiteral("windowfocus"), window, QStringLiteral("key"),
                               QStringLiteral("Return")});
        direct.waitForFinished(10000);
        code = WaitForExit(launcher, 10000);
    }
    if (code == -1)
        launcher.kill();
    server.terminate();
    server.waitForFinished(5000);

    QCOMPARE(code, 1);
    QVERIFY(!QFileInfo::exists(env->userConfigPath()));
    QVERIFY(!QFileInfo::exists(QFileInfo(env->userConfigPath()).absolutePath()));
}

VELMORA_TEST_MAIN(TestLauncherProcess)
#include "tst_launcherprocess.moc"
