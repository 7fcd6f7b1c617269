// The launcher on a real X server with a window manager, as the desktop starts it: the box of a
// start that cannot read any configuration, the startup feedback of a second start ended, and
// a failed launch from the applications menu shown.

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

class TestDesktopProcess : public QObject, protected ProcessSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(InitSuite()); }
    void cleanup() { EndTest(); }
    void unreadableConfigurationEndsWithOne();
    void secondStartEndsItsLaunchFeedback();
    void menuLaunchFailureIsShown();
};

// Needs a real X server, because the critical box is answered by another process, as a user
// would answer it.
void TestDesktopProcess::unreadableConfigurationEndsWithOne()
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

// On X11 a second start shows no window of its own, so it ends the desktop's launch feedback
// for its startup id itself, read before Qt's X11 plugin takes it from the environment; the
// offscreen platform would hide that.
void TestDesktopProcess::secondStartEndsItsLaunchFeedback()
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
void TestDesktopProcess::menuLaunchFailureIsShown()
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

VELMORA_TEST_MAIN(TestDesktopProcess)
#include "tst_desktopprocess.moc"
