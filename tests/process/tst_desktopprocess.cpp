// The launcher on a real X server with a window manager, as the desktop starts it: the box of a
// start that cannot read any configuration, the startup feedback of a second start ended, and
// a failed launch from the applications menu shown.

#include "filelocations.h"
#include "launcherinstall.h"
#include "launchrecords.h"
#include "processchecks.h"
#include "profileextras.h"
#include "singleapplication.h"
#include "systemguards.h"
#include "testenvironment.h"
#include "xserver.h"
#include <QApplication>
#include <QDBusConnection>
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
// A session bus of the test's own, its socket in the test's folder.
class SessionBus
{
public:
    explicit SessionBus(const QString &folder)
    {
        const QString socket = folder + QStringLiteral("/session-bus");
        QFile::remove(socket);
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1"),
                      QStringLiteral("--address=unix:path=") + socket});
        if (daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(daemon.readLine().trimmed());
    }
    ~SessionBus()
    {
        daemon.kill();
        daemon.waitForFinished(5000);
    }
    QString Address() const { return address; }
    // gdbus on this bus: what it printed (stdout, or the error on stderr) and whether it worked.
    std::pair<bool, QString> Gdbus(const QStringList &arguments) const
    {
        QProcess gdbus;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        // Its output is GVariant text: UTF-8, whatever the test's own locale.
        e.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        gdbus.setProcessEnvironment(e);
        gdbus.start(QStringLiteral("gdbus"), arguments);
        if (!gdbus.waitForFinished(20000))
            return {false, QStringLiteral("gdbus did not end")};
        const bool worked = gdbus.exitStatus() == QProcess::NormalExit && gdbus.exitCode() == 0;
        return {worked, QString::fromUtf8(worked ? gdbus.readAllStandardOutput()
                                                 : gdbus.readAllStandardError())
                            .trimmed()};
    }
    // A method of the launcher's on this bus.
    std::pair<bool, QString> Call(const QString &path, const QString &method,
                                  const QStringList &arguments) const
    {
        return Gdbus(QStringList{QStringLiteral("call"), QStringLiteral("--session"),
                                 QStringLiteral("--dest"),
                                 QStringLiteral("com.velmora.MobileEmulatorLauncher"),
                                 QStringLiteral("--object-path"), path, QStringLiteral("--method"),
                                 method} +
                     arguments);
    }

private:
    QProcess daemon;
    QString address;
};

// A tray host as Plasma and GNOME's extension are one: the StatusNotifierWatcher that tray icons
// register with, here on the test's own bus.
class TrayWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ HostRegistered)
    Q_PROPERTY(int ProtocolVersion READ Protocol)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ Items)

public:
    bool HostRegistered() const { return true; }
    int Protocol() const { return 0; }
    QStringList Items() const { return items; }
    QStringList items;

public slots:
    void RegisterStatusNotifierItem(const QString &service) { items.append(service); }
    void RegisterStatusNotifierHost(const QString &) {}

signals:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierHostRegistered();
};

// Where a window is, as xwininfo reads it: its position on the screen (the window itself,
// inside the frame) and size.
QRect WindowGeometry(const XServer &x, const QString &id)
{
    QProcess info;
    info.setProcessEnvironment(x.Environment());
    info.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    if (!info.waitForFinished(10000))
        return QRect();
    const QString said = QString::fromUtf8(info.readAllStandardOutput());
    const auto field = [&said](const char *name) {
        const QRegularExpression value(QString::fromLatin1(name) + QStringLiteral(":\\s*(-?\\d+)"));
        return value.match(said).captured(1).toInt();
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                 field("Height"));
}

const QString AppPath = QStringLiteral("/com/velmora/MobileEmulatorLauncher");
const QString Application = QStringLiteral("org.freedesktop.Application.");
} // namespace

using BusStep = std::function<void(const SessionBus &bus, const XServer &x, const QString &started,
                                   const QString &launcher)>;
Q_DECLARE_METATYPE(BusStep)

class TestDesktopProcess : public QObject, protected ProcessSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(InitSuite()); }
    void cleanup() { EndTest(); }
    void unreadableConfigurationEndsWithOne();
    void secondStartEndsItsLaunchFeedback();
    void menuLaunchFailureIsShown();
    void desktopBus_data();
    void desktopBus();
    void trayOnAStatusNotifierHost();
    void emulatorWindowsArranged();
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

void TestDesktopProcess::desktopBus_data()
{
    QTest::addColumn<BusStep>("step");
    // The launcher was started by the bus (--dbus-service): no window until one is asked for.
    QTest::newRow("activated with the desktop's startup id") << BusStep(
        [](const SessionBus &bus, const XServer &x, const QString &, const QString &) {
            QVERIFY(x.FirstVisibleWindow(QStringLiteral("^Velmora Mobile Emulator$")).isEmpty());
            StartupMessages desktop(x.display());
            QVERIFY(desktop.IsListening());
            const auto [worked, said] =
                bus.Call(AppPath, Application + "Activate",
                         {QStringLiteral("{'desktop-startup-id': <'velmora test_TIME4343'>}")});
            QVERIFY2(worked, qPrintable(said));
            QVERIFY(!x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator$")).isEmpty());
            // The window took the id: the desktop's launch feedback ends.
            QTRY_COMPARE(desktop.Take(), QList<QByteArray>{"remove: ID=\"velmora test_TIME4343\""});
        });
    QTest::newRow("the launch action; an unknown profile is refused") << BusStep(
        [](const SessionBus &bus, const XServer &, const QString &started, const QString &) {
            const auto [refused, why] =
                bus.Call(AppPath, Application + "ActivateAction", {"launch", "[<'Gone'>]", "{}"});
            QVERIFY(!refused && why.contains("no profile named \"Gone\""));
            const auto [worked, said] =
                bus.Call(AppPath, Application + "ActivateAction", {"launch", "[<'Two'>]", "{}"});
            QVERIFY2(worked, qPrintable(said));
            QTRY_COMPARE_WITH_TIMEOUT(ReadBytes(started).count('\n'), 1, 10000);
            const auto [stopped, stopSaid] =
                bus.Call(AppPath, Application + "ActivateAction", {"stop-all", "[]", "{}"});
            QVERIFY2(stopped, qPrintable(stopSaid));
        });
    QTest::newRow("GNOME Shell's search finds by name and tag and launches") << BusStep(
        [](const SessionBus &bus, const XServer &, const QString &started, const QString &) {
            const QString provider = AppPath + "/SearchProvider";
            const QString search = QStringLiteral("org.gnome.Shell.SearchProvider2.");
            QCOMPARE(bus.Call(provider, search + "GetInitialResultSet", {"['TW']"}).second,
                     QStringLiteral("(['Two'],)"));
            QCOMPARE(
                bus.Call(provider, search + "GetSubsearchResultSet", {"['Two']", "['tablets']"})
                    .second,
                QStringLiteral("(['Two'],)"));
            const QString metas = bus.Call(provider, search + "GetResultMetas", {"['Two']"}).second;
            QVERIFY2(metas.contains("'name': <'Launch Two'>") && metas.contains("tablets"),
                     qPrintable(metas));
            QVERIFY(bus.Call(provider, search + "ActivateResult", {"Two", "['tw']", "0"}).first);
            QTRY_COMPARE_WITH_TIMEOUT(ReadBytes(started).count('\n'), 1, 10000);
        });
    QTest::newRow("KRunner's runner finds and launches") << BusStep(
        [](const SessionBus &bus, const XServer &, const QString &started, const QString &) {
            const QString runner = AppPath + "/Runner";
            const QString krunner = QStringLiteral("org.kde.krunner1.");
            const QString matches = bus.Call(runner, krunner + "Match", {"two"}).second;
            QVERIFY2(matches.startsWith("([('Two', 'Launch Two', "), qPrintable(matches));
            QVERIFY(bus.Call(runner, krunner + "Run", {"Two", ""}).first);
            QTRY_COMPARE_WITH_TIMEOUT(ReadBytes(started).count('\n'), 1, 10000);
        });
    QTest::newRow("a file opened over the bus, and by a second start, is imported") << BusStep(
        [this](const SessionBus &bus, const XServer &x, const QString &, const QString &l) {
            const QString first = env->root() + QStringLiteral("/first.vmprofiles");
            const QString second = env->root() + QStringLiteral("/second file.ini");
            QVERIFY(WriteBytes(first, "$VERSION\t106\n[Profile]\n\"Shared\"\t\"\"\n"));
            QVERIFY(WriteBytes(second, "$VERSION\t106\n[Profile]\n\"Handed\"\t\"\"\n"));
            const auto [worked, said] =
                bus.Call(AppPath, Application + "Open",
                         {"['file://" + QUrl::toPercentEncoding(first, "/") + "']", "{}"});
            QVERIFY2(worked, qPrintable(said));
            QTRY_VERIFY_WITH_TIMEOUT(
                RunLauncher(l, {QStringLiteral("--list")}).Out().contains("Shared\n"), 10000);
            QVERIFY(!x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator$")).isEmpty());
            QCOMPARE(RunLauncher(l, {second}, x.Environment()).code, 0);
            QTRY_VERIFY_WITH_TIMEOUT(
                RunLauncher(l, {QStringLiteral("--list")}).Out().contains("Handed\n"), 10000);
        });
}

// The desktop reaches the launcher over a session bus of the test's own, as GNOME and Plasma
// do: activation, actions, their searches, files opened.
void TestDesktopProcess::desktopBus()
{
    QFETCH(BusStep, step);
    XServer x;
    QVERIFY2(x.isReady(), qPrintable(x.problem()));
    SessionBus bus(env->root());
    QVERIFY2(!bus.Address().isEmpty(), "dbus-daemon did not start");
    QVERIFY(WriteBytes(env->userConfigPath(), "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n"
                                              "\"Two\"\t\"\"\n"));
    QVERIFY(WriteBytes(ExtrasPath(env->userConfigPath()),
                       R"({"version": 1, "profiles": {"Two": {"tags": ["tablets"]}}})"));
    const QString started = env->root() + QStringLiteral("/bus-started");
    QFile::remove(started);
    QProcessEnvironment e = x.Environment();
    e.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
    e.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.Address());
    e.insert(QStringLiteral("VELMORA_EMU_BEHAVE"), QStringLiteral("stay"));
    e.insert(QStringLiteral("VELMORA_EMU_STARTED"), started);
    StartIn(install->executable(), e, {QStringLiteral("--dbus-service")});
    // As a desktop waits for the name it started the program for.
    const auto [named, why] =
        bus.Gdbus({"wait", "--session", "--timeout", "20", "com.velmora.MobileEmulatorLauncher"});
    QVERIFY2(named, qPrintable(why));
    step(bus, x, started, install->executable());
}

// "Show in Tray" on a desktop with a tray host: the icon registers, says how many emulators
// run, and its menu (read as the host reads it, over D-Bus) launches and quits.
void TestDesktopProcess::trayOnAStatusNotifierHost()
{
    XServer x;
    QVERIFY2(x.isReady(), qPrintable(x.problem()));
    SessionBus bus(env->root());
    QVERIFY2(!bus.Address().isEmpty(), "dbus-daemon did not start");
    QDBusConnection host = QDBusConnection::connectToBus(bus.Address(), "tray-host");
    const auto leave = qScopeGuard([] { QDBusConnection::disconnectFromBus("tray-host"); });
    TrayWatcher watcher;
    QVERIFY(host.registerObject("/StatusNotifierWatcher", &watcher,
                                QDBusConnection::ExportAllContents));
    QVERIFY(host.registerService("org.kde.StatusNotifierWatcher"));
    QVERIFY(WriteBytes(env->userConfigPath(), "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n"
                                              "\"Two\"\t\"\"\n"));
    const QString settings = env->root() + "/config/Velmora/VelmoraMobileEmuLauncher.conf";
    QVERIFY(WriteBytes(settings, "[tray]\nshow=true\nkeepRunning=true\n"));
    const QString started = env->root() + QStringLiteral("/tray-started");
    QFile::remove(started);
    QProcessEnvironment e = x.Environment();
    e.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.Address());
    e.insert(QStringLiteral("XDG_CONFIG_HOME"), env->root() + "/config");
    e.insert(QStringLiteral("VELMORA_EMU_BEHAVE"), QStringLiteral("stay"));
    e.insert(QStringLiteral("VELMORA_EMU_STARTED"), started);
    QProcess *launcher = StartIn(install->executable(), e);
    QTRY_VERIFY_WITH_TIMEOUT(!watcher.items.isEmpty(), 20000);
    const QString item = watcher.items.first().section('/', 0, 0);
    const auto property = [&bus, &item](const QString &name) {
        return bus
            .Gdbus({"call", "--session", "--dest", item, "--object-path", "/StatusNotifierItem",
                    "--method", "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierItem",
                    name})
            .second;
    };
    QTRY_VERIFY_WITH_TIMEOUT(property("ToolTip").contains("no emulator runs"), 10000);
    // Kept running in the tray: closing the window hides it.
    const QString title = QStringLiteral("^Velmora Mobile Emulator$");
    QVERIFY(!x.WaitForWindow(title).isEmpty());
    QProcess close;
    close.setProcessEnvironment(x.Environment());
    close.start(QStringLiteral("wmctrl"), {QStringLiteral("-c"), "Velmora Mobile Emulator"});
    QVERIFY(close.waitForFinished(10000));
    QVERIFY(x.WaitForWindowGone(title));
    QCOMPARE(launcher->state(), QProcess::Running);
    // Launch Two from the window's list as a user would; the tooltip counts it, and the menu
    // offers it as recently used.
    QVERIFY(RunLauncher(install->executable(), {"--launch", "Two"}, e).code == 0);
    QTRY_VERIFY_WITH_TIMEOUT(property("ToolTip").contains("emulators running: 1"), 10000);
    const QString menuPath = property("Menu").section('\'', 1, 1);
    QVERIFY2(menuPath.startsWith('/'), qPrintable(property("Menu")));
    const auto layout = [&bus, &item, &menuPath] {
        // Opening the menu fills it, as the host tells it before showing it.
        bus.Gdbus({"call", "--session", "--dest", item, "--object-path", menuPath, "--method",
                   "com.canonical.dbusmenu.AboutToShow", "0"});
        return bus
            .Gdbus({"call", "--session", "--dest", item, "--object-path", menuPath, "--method",
                    "com.canonical.dbusmenu.GetLayout", "--", "0", "-1", "['label']"})
            .second;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(layout().contains("'Launch Two'"), qPrintable(layout()), 10000);
    const QString shown = layout();
    for (const char *entry :
         {"Running _Emulators…", "S_top All Emulators", "Show _Window", "_Quit"})
        QVERIFY2(shown.contains(entry), qPrintable(shown));
    // Quit ends the launcher, emulators running on.
    const QRegularExpression quit(R"(\((\d+), \{[^}]*'label': <'_Quit'>)");
    const QString id = quit.match(shown).captured(1);
    QVERIFY2(!id.isEmpty(), qPrintable(shown));
    bus.Gdbus({"call", "--session", "--dest", item, "--object-path", menuPath, "--method",
               "com.canonical.dbusmenu.Event", id, "clicked", "<0>", "0"});
    QCOMPARE(WaitForExit(*launcher, 10000), 0);
    QCOMPARE(ReadBytes(started).count('\n'), 1);
}

// Four stand-in emulators' windows tiled and cascaded from a script, and a remembered place
// honoured at a launch from the window.
void TestDesktopProcess::emulatorWindowsArranged()
{
    XServer x;
    QVERIFY2(x.isReady(), qPrintable(x.problem()));
    SessionBus bus(env->root());
    QVERIFY2(!bus.Address().isEmpty(), "dbus-daemon did not start");
    QVERIFY(WriteBytes(env->userConfigPath(),
                       "$VERSION\t106\n[Profile]\n\"Default\"\t\"\"\n\"P1\"\t\"\"\n"
                       "\"P2\"\t\"\"\n\"P3\"\t\"\"\n\"P4\"\t\"\"\n"));
    // P4's window was put at 200,150 (its frame) and remembered there.
    const QString settings = env->root() + "/config/Velmora/VelmoraMobileEmuLauncher.conf";
    QVERIFY(WriteBytes(settings, "[emulatorPlaces]\n" + QByteArray("P4").toHex() +
                                     "=@Rect(200 150 300 260)\n"));
    QProcessEnvironment e = x.Environment();
    e.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.Address());
    e.insert(QStringLiteral("XDG_CONFIG_HOME"), env->root() + "/config");
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    e.remove(QStringLiteral("VELMORA_EMU_BEHAVE"));
    StartIn(install->executable(), e);
    QVERIFY(!x.WaitForWindow(QStringLiteral("^Velmora Mobile Emulator$")).isEmpty());
    QVERIFY(
        bus.Gdbus({"wait", "--session", "--timeout", "20", "com.velmora.MobileEmulatorLauncher"})
            .first);
    QVERIFY(RunLauncher(install->executable(), {"--launch", "P1", "P2", "P3"}, e).code == 0);
    QVERIFY(bus.Call(AppPath, Application + "ActivateAction", {"launch", "[<'P4'>]", "{}"}).first);
    QStringList ids;
    for (const char *title : {"^P1$", "^P2$", "^P3$", "^P4$"}) {
        ids.append(x.WaitForWindow(QString::fromLatin1(title)));
        QVERIFY2(!ids.last().isEmpty(), title);
    }
    // The remembered place: the frame's corner there, the window inside it.
    QTRY_VERIFY_WITH_TIMEOUT(
        QRect(200, 150, 60, 60).contains(WindowGeometry(x, ids.at(3)).topLeft()), 10000);

    // Tiled: a 2×2 grid of the 1024×768 screen, each window in a cell of its own and no larger.
    QCOMPARE(RunLauncher(install->executable(), {"--arrange", "tile"}, e).code, 0);

    const auto tiled = [&] {
        QSet<int> cells;
        for (const QString &id : ids) {
            const QRect at = WindowGeometry(x, id);
            const int cell = (at.x() / 512) + 2 * (at.y() / 384);
            if (at.isEmpty() || at.width() > 512 || at.height() > 384 ||
                at.right() >= (at.x() / 512 + 1) * 512 || at.bottom() >= (at.y() / 384 + 1) * 384)
                return false;
            cells.insert(cell);
        }
        return cells.size() == 4;
    };
    QTRY_VERIFY_WITH_TIMEOUT(tiled(), 10000);
    // Cascaded: each a step down and right of the one before.
    QCOMPARE(RunLauncher(install->executable(), {"--arrange", "cascade"}, e).code, 0);
    const auto cascaded = [&] {
        for (qsizetype i = 1; i < ids.size(); ++i) {
            const QPoint step =
                WindowGeometry(x, ids.at(i)).topLeft() - WindowGeometry(x, ids.at(i - 1)).topLeft();
            if (step != QPoint(32, 32))
                return false;
        }
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(cascaded(), 10000);
    // A script without X is told why.
    const LauncherRun without = RunLauncher(install->executable(), {"--arrange", "tile"});
    QCOMPARE(without.code, 1);
}

VELMORA_TEST_MAIN(TestDesktopProcess)
#include "tst_desktopprocess.moc"
