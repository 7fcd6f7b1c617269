// The command line as the parser reads it, and what the launcher prints for scripts, without a
// process: what was asked, or the usage error said about it.

#include "desktopbus.h"
#include "desktopsearch.h"
#include "jsonoutput.h"
#include "launcheroptions.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QtTest>

#include <ctime>

class TestLauncherOptions : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void desktopSearch_data();
    void desktopSearch();
    void startTimesKeepTheirOffset_data();
    void startTimesKeepTheirOffset();
};

using A = LauncherOptions;

void TestLauncherOptions::parse_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("name"); // the profile of --print-command and --log, or the file
    QTest::addColumn<QString>("usage");

    const QStringList none;
    QTest::newRow("nothing: the window") << none << int(A::OpenWindow) << none << ""
                                         << "";
    // The window's arguments are files to import ("names" holds them), as "Open With" gives
    // them: paths, relative ones made whole, or file URIs.
    QTest::newRow("files open the window to import them")
        << QStringList{"shared.vmprofiles", "file:///tmp/a%20b.ini"} << int(A::OpenWindow)
        << QStringList{QDir::currentPath() + "/shared.vmprofiles", "/tmp/a b.ini"} << ""
        << "";
    QTest::newRow("started by the session bus")
        << QStringList{"--dbus-service"} << int(A::OpenWindow) << none << ""
        << "";
    QTest::newRow("arrange the emulators' windows")
        << QStringList{"--arrange=cascade"} << int(A::Arrange) << none << ""
        << "";
    QTest::newRow("an arrangement nobody knows")
        << QStringList{"--arrange", "spiral"} << int(A::UsageError) << none << ""
        << "--arrange takes tile or cascade, not \"spiral\"";
    QTest::newRow("the bus's start with an action")
        << QStringList{"--dbus-service", "--list"} << int(A::UsageError) << none << ""
        << "--dbus-service opens no action";
    QTest::newRow("help") << QStringList{"-h"} << int(A::Help) << none << ""
                          << "";
    QTest::newRow("version") << QStringList{"--version"} << int(A::Version) << none << ""
                             << "";
    QTest::newRow("launch, names after it")
        << QStringList{"-l", "A", "B C"} << int(A::Launch) << QStringList{"A", "B C"} << ""
        << "";
    QTest::newRow("launch, joined and repeated")
        << QStringList{"--launch=A", "--launch", "B", "C"} << int(A::Launch)
        << QStringList{"A", "B", "C"} << ""
        << "";
    QTest::newRow("a name that is our own short option")
        << QStringList{"--launch", "-l"} << int(A::Launch) << QStringList{"-l"} << ""
        << "";
    QTest::newRow("a name that is Qt's option") << QStringList{"--print-command", "-platform"}
                                                << int(A::PrintCommand) << none << "-platform"
                                                << "";
    QTest::newRow("a name joined to its option")
        << QStringList{"--print-command=-reverse"} << int(A::PrintCommand) << none << "-reverse"
        << "";
    QTest::newRow("Qt's own options around an option")
        << QStringList{"-platform", "xcb", "-style", "fusion", "-reverse", "--list"} << int(A::List)
        << none << ""
        << "";
    QTest::newRow("a name after the end of the options")
        << QStringList{"--stop", "A", "--", "-x"} << int(A::Stop) << QStringList{"A", "-x"} << ""
        << "";
    QTest::newRow("export of two") << QStringList{"--export", "out.ini", "A", "B"} << int(A::Export)
                                   << QStringList{"A", "B"} << "out.ini"
                                   << "";
    QTest::newRow("import") << QStringList{"--import=in.ini"} << int(A::Import) << none << "in.ini"
                            << "";
    QTest::newRow("stop all") << QStringList{"--stop-all"} << int(A::StopAll) << none << ""
                              << "";
    QTest::newRow("log") << QStringList{"--log", "A"} << int(A::Log) << none << "A"
                         << "";
    QTest::newRow("list the devices")
        << QStringList{"--list-devices"} << int(A::ListDevices) << none << ""
        << "";
    QTest::newRow("running as JSON")
        << QStringList{"--json", "--running"} << int(A::Running) << none << ""
        << "";
    QTest::newRow("launch and wait")
        << QStringList{"--wait", "-l", "A"} << int(A::Launch) << QStringList{"A"} << ""
        << "";

    const int error = A::UsageError;
    QTest::newRow("print-command without a name")
        << QStringList{"--print-command"} << error << none << ""
        << "option --print-command needs a profile name";
    QTest::newRow("export without a file")
        << QStringList{"--list", "--export"} << error << none << ""
        << "option --export needs a file name";
    QTest::newRow("an unknown option beside an action")
        << QStringList{"--list", "--bogus"} << error << none << ""
        << "unknown option --bogus";
    QTest::newRow("a mistyped option alone") << QStringList{"--runing"} << error << none << ""
                                             << "unknown option --runing (did you mean --running?)";
    QTest::newRow("an option in the wrong case") << QStringList{"--List"} << error << none << ""
                                                 << "unknown option --List (did you mean --list?)";
    QTest::newRow("a short option nobody knows") << QStringList{"-q"} << error << none << ""
                                                 << "unknown option -q";
    // Said as it was typed, with its one dash.
    QTest::newRow("a short option with its name glued on")
        << QStringList{"-lTwo"} << error << none << ""
        << "unknown option -lTwo";
    QTest::newRow("an unknown option with a value")
        << QStringList{"--profile=Two"} << error << none << ""
        << "unknown option --profile";
    QTest::newRow("a stray argument beside an action")
        << QStringList{"--list", "extra"} << error << none << ""
        << "unexpected argument \"extra\"";
    QTest::newRow("two actions") << QStringList{"--list", "--version"} << error << none << ""
                                 << "give one action at a time";
    QTest::newRow("wait without a launch") << QStringList{"--wait", "--list"} << error << none << ""
                                           << "--wait goes with --launch";
    QTest::newRow("wait alone") << QStringList{"--wait"} << error << none << ""
                                << "--wait goes with --launch";
    QTest::newRow("JSON with a launch") << QStringList{"--json", "-l", "A"} << error << none << ""
                                        << "--json goes with --list or --running";
}

void TestLauncherOptions::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QStringList, names);
    QFETCH(QString, name);
    QFETCH(QString, usage);

    const LauncherOptions options =
        ParseLauncherOptions(QStringList{"VelmoraMobileEmuLauncher"} + arguments);
    QCOMPARE(UsageErrorText(options), usage);
    QCOMPARE(int(options.action), action);
    if (action == A::UsageError)
        return;
    QCOMPARE(action == A::OpenWindow ? options.files : options.names, names);
    QCOMPARE(options.service, arguments.contains("--dbus-service"));
    QCOMPARE(action == A::Export || action == A::Import ? options.file : options.profileName, name);
    QCOMPARE(options.json, arguments.contains("--json"));
    QCOMPARE(options.wait, arguments.contains("--wait"));
}

void TestLauncherOptions::desktopSearch_data()
{
    QTest::addColumn<QStringList>("terms");
    QTest::addColumn<QString>("found"); // profiles in order, with "*" for a match by name
    // "Pixel 7" was launched last, "Pixel tablet" most; the others never.
    QTest::newRow("a part of the name: recently used first")
        << QStringList{"pix"} << "Pixel 7*|Pixel tablet*";
    QTest::newRow("every term, ignoring case") << QStringList{"PIXEL", "tab"} << "Pixel tablet*";
    QTest::newRow("a tag") << QStringList{"regression"} << "Pixel tablet|Old phone";
    QTest::newRow("an option's name") << QStringList{"hd"} << "Old phone";
    QTest::newRow("nothing typed finds nothing") << QStringList{" "} << "";
    QTest::newRow("nobody") << QStringList{"zzz"} << "";
}

void TestLauncherOptions::desktopSearch()
{
    QFETCH(QStringList, terms);
    QFETCH(QString, found);
    LauncherConfig config;
    config.sections = {{"[Profile]", {}}, {"[Resolution]", {{"Default", ""}, {"HD", " -w 720"}}}};
    for (const QString &name : QStringList{"Default", "Old phone", "Pixel tablet", "Pixel 7"})
        config.profiles.append({name, QString(), {name == "Old phone" ? 1 : 0, -1, -1}});
    ExtrasMap extras;
    extras["Old phone"].tags = QStringList{"regression"};
    extras["Pixel tablet"].tags = QStringList{"Regression suite"};
    const QDateTime day(QDate(2026, 12, 1), QTime(9, 0));
    const QHash<QString, ProfileUse> use{{"Pixel 7", {day.addDays(1), 1}},
                                         {"Pixel tablet", {day, 9}}};
    QStringList hits;
    for (const SearchHit &hit : SearchProfiles(
             config, extras, [&use](const QString &name) { return use.value(name); }, terms))
        hits.append(hit.profile + (hit.byName ? "*" : ""));
    QCOMPARE(hits.join('|'), found);
}

// --running's start times are local, with the offset that makes them exact: east and west of
// Greenwich, and half hours.
void TestLauncherOptions::startTimesKeepTheirOffset_data()
{
    QTest::addColumn<QByteArray>("zone"); // POSIX TZ: the offset is west of Greenwich
    QTest::addColumn<QString>("expected");

    const QString utc = "2026-01-15T12:00:00";
    QTest::newRow("Greenwich") << QByteArray("UTC0") << utc + "+00:00";
    QTest::newRow("west") << QByteArray("XST5") << "2026-01-15T07:00:00-05:00";
    QTest::newRow("east, half an hour") << QByteArray("IST-5:30") << "2026-01-15T17:30:00+05:30";
    QTest::newRow("west, half an hour") << QByteArray("NST3:30") << "2026-01-15T08:30:00-03:30";
}

void TestLauncherOptions::startTimesKeepTheirOffset()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, expected);
    const QByteArray before = qgetenv("TZ");
    const bool had = qEnvironmentVariableIsSet("TZ");
    const auto restore = qScopeGuard([&] {
        if (had)
            qputenv("TZ", before);
        else
            qunsetenv("TZ");
        ::tzset();
    });
    qputenv("TZ", zone);
    ::tzset();
    QCOMPARE(LocalIsoTime(QDateTime(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC)), expected);
}

VELMORA_GUILESS_TEST_MAIN(TestLauncherOptions)
#include "tst_launcheroptions.moc"
