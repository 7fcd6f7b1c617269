// The real launcher as whole processes: how instances find each other, and the start-up path
// that ends the process because no configuration can be read.

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

#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <tuple>

#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

class TestLauncherProcess : public QObject, protected ProcessSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(InitSuite()); }
    void cleanup() { EndTest(); }
    void secondStartExitsZero();
    void killedLauncherDoesNotBlock();
    void frozenLauncherMakesSecondExitOne();
    void simultaneousStartsGiveOnePrimary();
    void ownArgumentsAreIgnored();
    void oneInstanceHoweverReached_data();
    void oneInstanceHoweverReached();
    void earlyAndInheritedSignals_data();
    void earlyAndInheritedSignals();
    void signalsFromTheFirstMoment_data();
    void signalsFromTheFirstMoment();
    void signalsSaveLikeAClose_data();
    void signalsSaveLikeAClose();
    void launchesFromAFolderNamedWithAQuote();
    void fileSizeLimitFailsTheSaveOnly();
};

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
    // In a process group of its own: a SIGCONT to the test's group (a shell job that goes on)
    // must not wake it.
    QProcess *first = processes.StartWindow(install->executable(), {}, [] { ::setpgid(0, 0); });
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    ::kill(pid_t(first->processId()), SIGSTOP);
    const auto wake = qScopeGuard([first] { ::kill(pid_t(first->processId()), SIGCONT); });

    QElapsedTimer timer;
    timer.start();
    QProcess *second = Start();
    QCOMPARE(WaitForExit(*second, 20000), 1);
    // It waited for its timeout rather than giving up at once.
    QVERIFY(timer.elapsed() >= 4500);
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
    // Qt's own options reach Qt: "-style fusion" is no "-s -t -y -l e", "-reverse" no "-v"; a
    // second start with others of them still hands over.
    QProcess *first =
        Start({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-style"),
               QStringLiteral("fusion"), QStringLiteral("-reverse")});
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    QProcess *second = Start({QStringLiteral("-reverse")});
    QCOMPARE(WaitForExit(*second, 10000), 0);
    // A mistyped option hands nothing over and starts nothing: it is an error.
    QProcess *mistyped = Start({QStringLiteral("--new-instance")});
    QCOMPARE(WaitForExit(*mistyped, 10000), 2);
    QCOMPARE(first->state(), QProcess::Running);
}

void TestLauncherProcess::oneInstanceHoweverReached_data()
{
    QTest::addColumn<QString>("way");
    // An installed launcher and a build tree, say: both work on the same Launcher.ini.
    QTest::newRow("another copy of the launcher") << "copy";
    QTest::newRow("the data folder through a link") << "linked data";
    QTest::newRow("a relative runtime folder, other working folders") << "relative runtime";
    QTest::newRow("its lock removed behind its back") << "lock removed";
    QTest::newRow("its socket removed behind its back") << "socket removed";
}

// However the second start reaches the same Launcher.ini, it finds the first and hands over.
void TestLauncherProcess::oneInstanceHoweverReached()
{
    QFETCH(QString, way);
    LauncherInstall other(env->root() + QStringLiteral("/elsewhere"));
    QVERIFY(other.isValid());
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QString runtime = env->runtimeDir();
    if (way == "relative runtime") {
        // A relative runtime folder is ignored: Qt's own fallback serves.
        const QString tmp = env->root() + QStringLiteral("/tmp-relative");
        QVERIFY(QDir().mkpath(tmp));
        e.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("rt"));
        e.insert(QStringLiteral("TMPDIR"), tmp);
        runtime = tmp + QStringLiteral("/runtime-") +
                  QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    }
    // What launchers killed earlier left behind.
    for (const QString &left : QDir(runtime).entryList({"velmora-*"}, QDir::System | QDir::Files))
        QFile::remove(runtime + '/' + left);
    QProcess first;
    first.setProcessEnvironment(e);
    first.setWorkingDirectory(env->root());
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(install->executable(), {});
    QVERIFY(first.waitForStarted());
    const auto stop = qScopeGuard([&first] {
        first.kill();
        first.waitForFinished();
    });
    QVERIFY(WaitForListening(runtime, 10000));

    QProcessEnvironment second = e;
    QString executable = install->executable();
    if (way == "copy")
        executable = other.executable();
    if (way == "linked data") {
        const QString link = env->root() + QStringLiteral("/linked-data");
        QFile::remove(link);
        QVERIFY(QFile::link(env->dataHome(), link));
        second.insert(QStringLiteral("XDG_DATA_HOME"), link);
    }
    const QStringList sockets = QDir(runtime).entryList({"*.sock"}, QDir::System);
    QCOMPARE(sockets.size(), 1);
    const QString socket = runtime + '/' + sockets.first();
    const QString lock = socket.chopped(5) + ".lock";
    if (way == "lock removed") {
        QVERIFY(QFile::remove(lock));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lock), 10000);
    }
    if (way == "socket removed") {
        QVERIFY(QFile::remove(socket));
        QVERIFY(WaitForListening(runtime, 10000));
    }
    QProcess next;
    next.setProcessEnvironment(second);
    next.setWorkingDirectory(other.directory());
    next.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    next.start(executable, {});
    QCOMPARE(WaitForExit(next, 10000), 0);
    QVERIFY(!first.waitForFinished(0));
}

void TestLauncherProcess::earlyAndInheritedSignals_data()
{
    QTest::addColumn<bool>("hangUpIgnored");
    QTest::newRow("SIGTERM as soon as it is caught") << false;
    QTest::newRow("SIGHUP ignored, as nohup starts it") << true;
}

void TestLauncherProcess::earlyAndInheritedSignals()
{
    QFETCH(bool, hangUpIgnored);
    QProcess *launcher = processes.StartWindow(
        install->executable(), {},
        hangUpIgnored ? std::function<void()>([] { ::signal(SIGHUP, SIG_IGN); }) : nullptr, true);
    QVERIFY(launcher->waitForStarted());
    const qint64 pid = launcher->processId();
    // The moment main() catches SIGTERM, long before the event loop runs.
    QTRY_VERIFY_WITH_TIMEOUT(Has(SignalMask(pid, "SigCgt:"), SIGTERM), 10000);
    if (!hangUpIgnored) {
        ::kill(pid_t(pid), SIGTERM);
        QCOMPARE(WaitForExit(*launcher, 10000), 0);
        return;
    }
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    QVERIFY(Has(SignalMask(pid, "SigIgn:"), SIGHUP));
    ::kill(pid_t(pid), SIGHUP);
    // Still there to answer a second start.
    QCOMPARE(WaitForExit(*Start(), 10000), 0);
    QCOMPARE(launcher->state(), QProcess::Running);
}

void TestLauncherProcess::signalsFromTheFirstMoment_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code"); // -1: ended by the signal
    QTest::newRow("the window ends as a close does") << QStringList() << 0;
    QTest::newRow("a script's launcher ends as killed") << QStringList{"--list"} << -1;
}

// A SIGTERM that comes before main() runs (here: sent while it was blocked, so that it waits,
// pending, through the exec) is obeyed at once, whatever the launcher was about to do.
void TestLauncherProcess::signalsFromTheFirstMoment()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const LauncherRun run = RunLauncher(install->executable(), arguments, e, 10000, [] {
        sigset_t term;
        sigemptyset(&term);
        sigaddset(&term, SIGTERM);
        ::sigprocmask(SIG_BLOCK, &term, nullptr);
        ::raise(SIGTERM);
    });
    QCOMPARE(run.code, code);
    if (code == -1)
        QCOMPARE(run.out, QByteArray()); // it ended before it listed anything
}

void TestLauncherProcess::signalsSaveLikeAClose_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGKILL") << int(SIGKILL);
}

// A real launcher under a real X server, edited by keyboard, then ended by a signal as a
// logout, a service manager or a crash would end it.
void TestLauncherProcess::signalsSaveLikeAClose()
{
    QFETCH(int, signal);
    QFile::remove(env->userConfigPath());
    XServer x;
    QVERIFY2(x.isReady(), qPrintable(x.problem()));
    QProcess *launcher = StartIn(install->executable(), x.Environment());
    const QString window = x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator$"));
    QVERIFY2(!window.isEmpty(), qPrintable(x.lastError()));

    // Arguments for the first profile, then its "Add" button (six controls back, the disabled
    // Remove buttons skipped), and a name for the new profile.
    QVERIFY2(x.Xdotool({"windowactivate", "--sync", window, "key", "--clearmodifiers", "alt+a"}),
             qPrintable(x.lastError()));
    QVERIFY2(x.Xdotool({"type", "--delay", "20", " -edited"}), qPrintable(x.lastError()));
    QVERIFY2(x.Xdotool({"key", "--delay", "50", "shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab",
                        "shift+Tab", "shift+Tab", "space"}),
             qPrintable(x.lastError()));
    const QString dialog = x.WaitForWindow(QStringLiteral("^Add Profile$"));
    QVERIFY2(!dialog.isEmpty(), "the name dialog did not open");
    QVERIFY2(x.Xdotool({"windowactivate", "--sync", dialog, "type", "--delay", "20", "Signalled"}),
             qPrintable(x.lastError()));
    QVERIFY2(x.Xdotool({"key", "Return"}), qPrintable(x.lastError()));
    // The profile is added as the dialog goes; its save runs in the background. A termination
    // signal right then waits for it; a SIGKILL a second later finds it written.
    QVERIFY2(x.WaitForWindowGone(QStringLiteral("^Add Profile$")), qPrintable(x.lastError()));
    if (signal == SIGKILL)
        QThread::sleep(1);
    ::kill(pid_t(launcher->processId()), signal);
    QVERIFY(launcher->waitForFinished(10000));
    if (signal == SIGKILL) {
        QCOMPARE(launcher->exitStatus(), QProcess::CrashExit);
    } else {
        QCOMPARE(launcher->exitStatus(), QProcess::NormalExit);
        QCOMPARE(launcher->exitCode(), 0);
    }
    // Saved when the profile was added, and for a signal again at the close: whole either way.
    const QByteArray stored =
        "\"Signalled\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 0 -edited\"";
    const QByteArray written = ReadBytes(env->userConfigPath());
    QVERIFY(written.contains(stored));
    QVERIFY(written.endsWith("\"Stylus\"\t\" -input stylus\"\n\n"));
}

void TestLauncherProcess::launchesFromAFolderNamedWithAQuote()
{
    QDir(QFileInfo(env->userConfigPath()).absolutePath()).removeRecursively();
    LauncherInstall quoted(env->root() + QStringLiteral("/say \"cheese\" here"));
    QVERIFY(quoted.isValid());
    XServer x;
    QVERIFY2(x.isReady(), qPrintable(x.problem()));
    const QString record = env->root() + QStringLiteral("/quoted-record.jsonl");
    QFile::remove(record);
    QProcessEnvironment e = x.Environment();
    e.insert(QStringLiteral("VELMORA_EMU_RECORD"), record);
    StartIn(quoted.executable(), e);
    const QString window = x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator$"));
    QVERIFY2(!window.isEmpty(), qPrintable(x.lastError()));
    QVERIFY2(x.Xdotool({"windowactivate", "--sync", window, "key", "--clearmodifiers", "alt+l"}),
             qPrintable(x.lastError()));
    QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(record).endsWith('\n'), 10000);
    const QByteArray launched = "[\"-windowsize\",\"480x800\",\"-profile-name\",\"Default\"]\n";
    QCOMPARE(ReadBytes(record), launched);

    // The command --print-command gives, run by a shell, starts the same.
    QProcess print;
    print.start(quoted.executable(), {"--print-command", "Default"});
    QCOMPARE(WaitForExit(print, 10000), 0);
    QProcess shell;
    shell.setProcessEnvironment(e);
    shell.start("sh", {"-c", QString::fromLocal8Bit(print.readAllStandardOutput())});
    QCOMPARE(WaitForExit(shell, 10000), 0);
    QCOMPARE(ReadBytes(record), launched + launched);
}

void TestLauncherProcess::fileSizeLimitFailsTheSaveOnly()
{
    // As `prlimit --fsize=512` would start it: room for the instance lock, not for the file: the
    // save at the close fails, and says why.
    QFile::remove(env->userConfigPath());
    QProcess *launcher =
        processes.StartWindow(install->executable(), {}, Limit(RLIMIT_FSIZE, 512), true);
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    ::kill(pid_t(launcher->processId()), SIGTERM);
    QVERIFY(launcher->waitForFinished(10000));
    QCOMPARE(launcher->exitStatus(), QProcess::NormalExit);
    QCOMPARE(launcher->exitCode(), 0);
    QVERIFY2(launcher->readAllStandardError().contains(": File too large"), "no reason given");
    QVERIFY(!QFileInfo::exists(env->userConfigPath()));
    QCOMPARE(
        QDir(QFileInfo(env->userConfigPath()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
        QStringList());
}

VELMORA_TEST_MAIN(TestLauncherProcess)
#include "tst_launcherprocess.moc"
