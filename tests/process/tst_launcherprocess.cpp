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

// Run in the child: a resource limit, as `prlimit` would start the launcher.
static std::function<void()> Limit(int resource, rlim_t limit)
{
    return [resource, limit] {
        const struct rlimit value = {limit, limit};
        ::setrlimit(resource, &value);
    };
}

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
    void oneInstanceHoweverReached_data();
    void oneInstanceHoweverReached();
    void takenRuntimeDirectoryStillLocks_data();
    void takenRuntimeDirectoryStillLocks();
    void plantedServerIsNotTrusted_data();
    void plantedServerIsNotTrusted();
    void earlyAndInheritedSignals_data();
    void earlyAndInheritedSignals();
    void unreadableConfigurationEndsWithOne();
    void secondStartEndsItsLaunchFeedback();
    void menuLaunchFailureIsShown();
    void signalsSaveLikeAClose_data();
    void signalsSaveLikeAClose();
    void launchesFromAFolderNamedWithAQuote();
    void fileSizeLimitFailsTheSaveOnly();
    void floodOfIdleConnectionsStillHandsOver();

private:
    QProcess *Start(const QStringList &arguments = {})
    {
        return processes.StartWindow(install->executable(), arguments);
    }
    QProcess *StartIn(const QString &executable, const QProcessEnvironment &environment,
                      const QStringList &arguments = {})
    {
        return processes.Start(executable, environment, arguments);
    }

    TestEnvironment *env = nullptr;
    std::unique_ptr<LauncherInstall> install;
    LauncherProcesses processes;
};

void TestLauncherProcess::initTestCase()
{
    env = TestEnvironment::current();
    install = std::make_unique<LauncherInstall>(env->root() + QStringLiteral("/app"));
    QVERIFY(install->isValid());
}

void TestLauncherProcess::cleanup()
{
    processes.StopAll();
    EndRecordedEmulators();
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

// Needs a real X server, because the critical box is answered by another process, as a user
// would answer it.
void TestLauncherProcess::unreadableConfigurationEndsWithOne()
{
    XServer x;
    QVERIFY2(x.isReady(), qPrintable(x.problem()));
    LauncherInstall bare(env->root() + QStringLiteral("/bare"));
    QVERIFY(QFile::remove(bare.defaultConfigPath()));
    // Neither file: what earlier tests saved goes.
    QDir(QFileInfo(env->userConfigPath()).absolutePath()).removeRecursively();

    QProcess launcher;
    launcher.setProcessEnvironment(x.Environment());
    launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    launcher.start(bare.executable(), {});
    launcher.waitForStarted();

    // Find the box by its title, focus it and press Return, as a user would.
    const QString window = x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator$"));
    QVERIFY2(!window.isEmpty(), "the critical box did not appear");
    QCOMPARE(launcher.state(), QProcess::Running);
    // A key that comes before the box takes the focus is lost: pressed again until it ends.
    int code = -1;
    for (int attempt = 0; attempt < 5 && code == -1; ++attempt) {
        const bool pressed = x.Xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window,
             QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("Return")});
        // The box may have gone with the previous key while the launcher was slow to end.
        QVERIFY2(pressed || launcher.state() == QProcess::NotRunning, qPrintable(x.lastError()));
        code = WaitForExit(launcher, 3000);
    }
    if (code == -1) {
        launcher.kill();
        launcher.waitForFinished();
    }

    QCOMPARE(code, 1);
    QVERIFY(!QFileInfo::exists(env->userConfigPath()));
    QVERIFY(!QFileInfo::exists(QFileInfo(env->userConfigPath()).absolutePath()));
}

namespace {
// Listens on an X server's root window for the startup-notification messages the desktop's
// launch feedback follows, as a desktop does, and gives each one whole.
class StartupMessages
{
public:
    explicit StartupMessages(const QString &display)
    {
        connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        if (xcb_connection_has_error(connection))
            return;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
        begin = Atom("_NET_STARTUP_INFO_BEGIN");
        more = Atom("_NET_STARTUP_INFO");
        xcb_flush(connection);
    }
    ~StartupMessages() { xcb_disconnect(connection); }
    bool IsListening() const { return begin != XCB_ATOM_NONE; }
    // The messages that came so far, each whole.
    QList<QByteArray> Take()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
                if (message->type == begin)
                    pieces[message->window].clear();
                if (message->type == begin || message->type == more) {
                    QByteArray &text = pieces[message->window];
                    text.append(reinterpret_cast<const char *>(message->data.data8), 20);
                    if (text.contains('\0'))
                        done.append(text.left(text.indexOf('\0')));
                }
            }
            std::free(event);
        }
        return done;
    }

private:
    xcb_atom_t Atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, false, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }
    xcb_connection_t *connection = nullptr;
    xcb_atom_t begin = XCB_ATOM_NONE;
    xcb_atom_t more = XCB_ATOM_NONE;
    QHash<xcb_window_t, QByteArray> pieces;
    QList<QByteArray> done;
};
} // namespace

// On X11 a second start shows no window of its own, so it ends the desktop's launch feedback
// for its startup id itself, read before Qt's X11 plugin takes it from the environment; the
// offscreen platform would hide that.
void TestLauncherProcess::secondStartEndsItsLaunchFeedback()
{
    XServer x;
    QVERIFY2(x.isReady(), qPrintable(x.problem()));
    QProcessEnvironment first = x.Environment();
    first.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
    QProcess *running = StartIn(install->executable(), first);
    QVERIFY2(!x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator$")).isEmpty(),
             "the window did not appear");
    QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    StartupMessages desktop(x.display());
    QVERIFY(desktop.IsListening());
    QProcessEnvironment second = x.Environment();
    second.insert(QStringLiteral("DESKTOP_STARTUP_ID"), QStringLiteral("velmora test_TIME4242"));
    QProcess *again = StartIn(install->executable(), second);
    QCOMPARE(WaitForExit(*again, 10000), 0);
    QTRY_COMPARE(desktop.Take(), QList<QByteArray>{"remove: ID=\"velmora test_TIME4242\""});
    QCOMPARE(running->state(), QProcess::Running);
}

// Started from the applications menu (no terminal, a display), a launch that fails says why in
// a message: the desktop shows nobody what goes to stderr.
void TestLauncherProcess::menuLaunchFailureIsShown()
{
    XServer x;
    QVERIFY2(x.isReady(), qPrintable(x.problem()));
    QVERIFY(WriteBytes(env->userConfigPath(), "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n"));
    QProcess launcher;
    launcher.setProcessEnvironment(x.Environment());
    launcher.start(install->executable(), {QStringLiteral("--launch=Gone")});
    QVERIFY(launcher.waitForStarted());
    const QString box = x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator Launcher$"));
    QVERIFY2(!box.isEmpty(), "no message appeared");
    int code = -1;
    for (int attempt = 0; attempt < 5 && code == -1; ++attempt) {
        x.Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), box,
                   QStringLiteral("key"), QStringLiteral("--clearmodifiers"),
                   QStringLiteral("Return")});
        code = WaitForExit(launcher, 3000);
    }
    QCOMPARE(code, 2);
    QVERIFY(launcher.readAllStandardError().contains("No profile named \"Gone\""));
    // On a terminal (here: none, and no display) it is only said on stderr.
    QCOMPARE(RunLauncher(install->executable(), {QStringLiteral("--launch=Gone")}).code, 2);
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

void TestLauncherProcess::takenRuntimeDirectoryStillLocks_data()
{
    QTest::addColumn<bool>("privateFolderTaken");
    QTest::addColumn<QString>("used");
    QTest::newRow("the runtime folder taken")
        << false << QStringLiteral("/cache/velmora-launcher-instance");
    QTest::newRow("and the private folder in the cache too")
        << true << QStringLiteral("/data/velmora-launcher-instance");
}

void TestLauncherProcess::takenRuntimeDirectoryStillLocks()
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

void TestLauncherProcess::plantedServerIsNotTrusted_data()
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
void TestLauncherProcess::plantedServerIsNotTrusted()
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

void TestLauncherProcess::floodOfIdleConnectionsStillHandsOver()
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

VELMORA_TEST_MAIN(TestLauncherProcess)
#include "tst_launcherprocess.moc"
