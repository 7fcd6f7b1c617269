// The real launcher as whole processes: how instances find each other, and the start-up path
// that ends the process because no configuration can be read.

#include "launcherinstall.h"
#include "testenvironment.h"
#include "xserver.h"

#include <QApplication>
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
    auto stillRunning = [&] {
        int count = 0;
        for (QProcess *p : processes)
            count += p->state() != QProcess::NotRunning;
        return count;
    };
    QTRY_COMPARE_WITH_TIMEOUT(stillRunning(), 1, 15000);
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
    XServer x;
    QVERIFY2(x.isRunning(), "Xvfb and openbox are needed (scripts/test installs them)");
    LauncherInstall bare(env->root() + QStringLiteral("/bare"));
    QVERIFY(QFile::remove(bare.defaultConfigPath()));

    QProcess launcher;
    launcher.setProcessEnvironment(x.Environment());
    launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    launcher.start(bare.executable(), {});
    launcher.waitForStarted();

    // Find the box by its title, focus it and press Return, as a user would.
    const QString window = x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator$"));
    QVERIFY2(!window.isEmpty(), "the critical box did not appear");
    QCOMPARE(launcher.state(), QProcess::Running);
    x.Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window,
               QStringLiteral("key"), QStringLiteral("--clearmodifiers"),
               QStringLiteral("Return")});
    const int code = WaitForExit(launcher, 10000);
    if (code == -1)
        launcher.kill();

    QCOMPARE(code, 1);
    QVERIFY(!QFileInfo::exists(env->userConfigPath()));
    QVERIFY(!QFileInfo::exists(QFileInfo(env->userConfigPath()).absolutePath()));
}

VELMORA_TEST_MAIN(TestLauncherProcess)
#include "tst_launcherprocess.moc"
