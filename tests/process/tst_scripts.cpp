// The launcher as scripts use it: its options as whole processes, their output and exit codes,
// the profiles as JSON and handed over, the emulators listed, waited for and stopped.

#include "configfile.h"
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

// A launcher run from a script, the stand-in emulator behaving as `behave` asks.
LauncherRun Script(const QString &launcher, const QStringList &arguments,
                   const QByteArray &behave = QByteArray())
{
    QProcessEnvironment e = ScriptEnvironment();
    if (!behave.isEmpty())
        e.insert(QStringLiteral("VELMORA_EMU_BEHAVE"), QString::fromLatin1(behave));
    return RunLauncher(launcher, arguments, e);
}

// What --running lists, a row of its fields per emulator.
QList<QStringList> Running(const QString &launcher)
{
    QList<QStringList> rows;
    for (const QString &line :
         Script(launcher, {"--running"}).Out().split('\n', Qt::SkipEmptyParts))
        rows.append(line.split('\t'));
    return rows;
}

QStringList ProfilesOf(const QList<QStringList> &rows)
{
    QStringList profiles;
    for (const QStringList &row : rows)
        profiles.append(row.value(1));
    profiles.sort();
    return profiles;
}

// A process of its own the records name as an emulator of `profile`: `identity` empty takes
// its true one.
LaunchRecord RecordOf(const QProcess &process, const QString &profile, QString identity)
{
    if (identity.isEmpty())
        identity = ProcessIdentity(process.processId());
    return {profile, process.processId(), identity, QDateTime::currentDateTime(), QString()};
}

} // namespace

using RunningStep = std::function<void(const QString &launcher)>;
Q_DECLARE_METATYPE(RunningStep)

class TestScripts : public QObject, protected ProcessSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(InitSuite()); }
    void cleanup() { EndTest(); }
    void options_data();
    void options();
    void listAsJsonAndExchange();
    void runningAndStopping_data();
    void runningAndStopping();
    void launchAndWait_data();
    void launchAndWait();
};

void TestScripts::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err"); // a part of what stderr says; empty: says nothing

    const QString shipped = "Default\nSmall phone\nHD phone\nTablet, landscape\n";
    QTest::newRow("version") << QStringList{"--version"} << "" << 0
                             << "VelmoraMobileEmuLauncher " VELMORA_VERSION "\n"
                             << "";
    QTest::newRow("list, first run") << QStringList{"--list"} << "" << 0 << shipped << "";
    QTest::newRow("list, own file") << QStringList{"--list"} << "user" << 0 << "Mine\nTwo\n"
                                    << "";
    QTest::newRow("list beside a running launcher")
        << QStringList{"--list"} << "running" << 0 << "Mine\nTwo\n"
        << "";
    QTest::newRow("list, out-of-date file is left")
        << QStringList{"--list"} << "outdated" << 0 << shipped << "is out of date (version 102)";
    QTest::newRow("list, unreadable file") << QStringList{"--list"} << "directory" << 0 << shipped
                                           << "cannot be read: it is not a regular file";
    QTest::newRow("list, nothing readable") << QStringList{"--list"} << "no default" << 1 << ""
                                            << "no configuration can be read";
    QTest::newRow("unknown profile")
        << QStringList{"--launch", "Nope"} << "user" << 2 << ""
        << "No profile named \"Nope\". The profiles are: \"Mine\", \"Two\".";
    QTest::newRow("print the command")
        << QStringList{"--print-command", "Two"} << "user" << 0
        << "@/VelmoraMobileEmu.exe -ppi 160 -profile-name Two -a 'b c'\n"
        << "";
    QTest::newRow("launch") << QStringList{"-l", "Two"} << "user" << 0 << ""
                            << "";
    QTest::newRow("names that look like options, Qt's and ours")
        << QStringList{"--print-command", "-platform"} << "dashes" << 0
        << "@/VelmoraMobileEmu.exe -profile-name -platform\n"
        << "";
    // Alone, a mistyped option starts no window either (none could, without a display).
    QTest::newRow("a mistyped option alone")
        << QStringList{"--runing"} << "user" << 2 << ""
        << "unknown option --runing (did you mean --running?); see --help";
    // The command line speaks the user's language too.
    QTest::newRow("a mistyped option, in German")
        << QStringList{"--runing"} << "German" << 2 << ""
        << "unbekannte Option --runing (meinten Sie --running?); siehe --help";
    QTest::newRow("log of an unknown profile, in German")
        << QStringList{"--log", "Nope"} << "German" << 2 << ""
        << "Kein Profil namens „Nope“.";
    QTest::newRow("the window without a display") << QStringList{} << "user" << 1 << ""
                                                  << "the window cannot open: there is no display";
    QTest::newRow("unknown names among several: nothing starts")
        << QStringList{"--launch", "Two", "Nope", "Mine", "Zed"} << "user" << 2 << ""
        << "No profiles named \"Nope\", \"Zed\". The profiles are: \"Mine\", \"Two\".";
    QTest::newRow("no log yet") << QStringList{"--log", "Mine"} << "user" << 1 << ""
                                << "No emulator of \"Mine\" has left a log yet.";
    QTest::newRow("log of an unknown profile") << QStringList{"--log", "Nope"} << "user" << 2 << ""
                                               << "No profile named \"Nope\".";
    QTest::newRow("export of an unknown profile")
        << QStringList{"--export", "out.ini", "Nope"} << "user" << 2 << ""
        << "No profile named \"Nope\".";
    QTest::newRow("import of something else")
        << QStringList{"--import", "@/LauncherHelp.html"} << "user" << 1 << ""
        << "is no launcher configuration";
    QTest::newRow("standard output closed") << QStringList{"--list"} << "closed stdout" << 1 << ""
                                            << "write error: Bad file descriptor";
    QTest::newRow("reader gone") << QStringList{"--help"} << "broken pipe" << 1 << ""
                                 << "write error: Broken pipe";
    // The catalogue as the data file has it: name, TAB, WIDTHxHEIGHT, TAB, density.
    QString devices;
    for (const QByteArray &line : ReadBytes(VELMORA_SOURCE_DIR "/data/devices.tsv").split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (!line.startsWith('#') && fields.size() == 4)
            devices += QString::fromUtf8(fields.at(0) + '\t' + fields.at(1) + 'x' + fields.at(2) +
                                         '\t' + fields.at(3) + '\n');
    }
    QTest::newRow("list the devices, without a display")
        << QStringList{"--list-devices"} << "" << 0 << devices << "";
    // Tags, notes and environment from the side file beside Launcher.ini.
    QTest::newRow("list by tag, ignoring case")
        << QStringList{"--list", "--tag", "android"} << "tagged" << 0 << "Mine\nTwo\n"
        << "";
    QTest::newRow("list by a tag nobody has")
        << QStringList{"--list", "--tag", "nope"} << "tagged" << 2 << ""
        << "No profile has the tag \"nope\".";
    QTest::newRow("list the tags, each once, ignoring case")
        << QStringList{"--list-tags"} << "tagged" << 0 << "android\ntablets\n"
        << "";
    QTest::newRow("a tag is no action") << QStringList{"--tag", "android"} << "tagged" << 2 << ""
                                        << "--tag goes with --list";
    QTest::newRow("print the command with its environment")
        << QStringList{"--print-command", "Two"} << "tagged" << 0
        << "env 'FOO=bar baz' @/VelmoraMobileEmu.exe -ppi 160 -profile-name Two -a 'b c'\n"
        << "";
    QTest::newRow("launch a tag") << QStringList{"--launch-tag", "ANDROID"} << "tagged" << 0 << ""
                                  << "";
    QTest::newRow("launch a tag nobody has")
        << QStringList{"--launch-tag", "nope"} << "tagged" << 2 << ""
        << "No profile has the tag \"nope\".";
    QTest::newRow("launch without an emulator")
        << QStringList{"--launch", "Two"} << "no emulator" << 1 << ""
        << "cannot start";
}

// The options as a script uses them: real processes, their output and exit codes.
void TestScripts::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, setup);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);

    LauncherInstall copy(env->root() + QStringLiteral("/options"));
    QVERIFY(copy.isValid());
    const QString user = env->userConfigPath();
    QDir(QFileInfo(user).absolutePath()).removeRecursively();
    const QByteArray mine = "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n"
                            "\"Two\"\t\"[PixelDensity] 1 -a \"b c\"\"\n"
                            "[PixelDensity]\n\"Default\"\t\"\"\n\"mdpi\"\t\" -ppi 160\"\n";
    if (setup == "user" || setup == "running" || setup == "no emulator" ||
        setup == "closed stdout" || setup == "broken pipe" || setup == "German" ||
        setup == "tagged")
        QVERIFY(WriteBytes(user, mine));
    const QString extras = ExtrasPath(user);
    if (setup == "tagged")
        QVERIFY(WriteBytes(extras, R"({"version": 1, "profiles": {
            "Mine": {"tags": ["android"]},
            "Two": {"tags": ["Android", "tablets"], "notes": "the big one",
                    "environment": [["FOO", "bar baz"]]}}})"));
    const QByteArray extrasBefore = ReadBytes(extras);
    if (setup == "outdated")
        QVERIFY(WriteBytes(user, "$VERSION 102\n[Profile]\n\"Old\"\n"));
    if (setup == "dashes")
        QVERIFY(WriteBytes(user, "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n\"-l\"\t\"\"\n"
                                 "\"-platform\"\t\"\"\n\"-reverse\"\t\"\"\n"));
    if (setup == "directory")
        QVERIFY(QDir().mkpath(user));
    if (setup == "no default")
        QVERIFY(QFile::remove(copy.defaultConfigPath()));
    if (setup == "no emulator")
        QVERIFY(QFile::remove(copy.directory() + "/VelmoraMobileEmu.exe"));
    QProcess *window = nullptr;
    if (setup == "running") {
        window = Start();
        QVERIFY(WaitForListening(env->runtimeDir(), 10000));
    }
    const QByteArray before = ReadBytes(user);
    for (const QString &lock : QDir(env->runtimeDir()).entryList({"*.lock"}, QDir::Files)) {
        if (!window)
            QFile::remove(env->runtimeDir() + '/' + lock); // left by a launcher killed earlier
    }
    const QString record = env->root() + QStringLiteral("/options-record.jsonl");
    QFile::remove(record);

    const QString environment = env->root() + QStringLiteral("/options-environment.jsonl");
    QFile::remove(environment);
    QProcessEnvironment e = ScriptEnvironment();
    e.insert(QStringLiteral("VELMORA_EMU_RECORD"), record);
    e.insert(QStringLiteral("VELMORA_EMU_RECORD_ENVIRONMENT"), environment);
    e.insert(QStringLiteral("VELMORA_EMU_RECORD_NAMES"), QStringLiteral("FOO"));
    if (setup == "German") {
        e.remove(QStringLiteral("LANGUAGE"));
        e.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    }
    std::function<void()> inChild;
    if (setup == "closed stdout")
        inChild = [] {
            ::close(STDOUT_FILENO);
        };
    if (setup == "broken pipe") {
        inChild = [] {
            int fds[2];
            if (::pipe(fds) == 0) {
                ::dup2(fds[1], STDOUT_FILENO);
                ::close(fds[0]);
                ::close(fds[1]);
            }
        };
    }
    for (QString &argument : arguments)
        argument.replace('@', copy.directory());
    const LauncherRun run = RunLauncher(copy.executable(), arguments, e, 10000, inChild);
    QCOMPARE(run.code, code);
    QCOMPARE(run.Out(), QString(out).replace('@', copy.directory()));
    const QString said = run.Err();
    if (err.isEmpty())
        QCOMPARE(said, QString());
    else
        QVERIFY2(said.contains(err) && said.count('\n') == 1, qPrintable(said));

    // Nothing was written, moved or locked.
    QCOMPARE(ReadBytes(user), before);
    QCOMPARE(ReadBytes(extras), extrasBefore);
    QCOMPARE(QDir(QFileInfo(user).absolutePath()).entryList(QDir::Files).size(),
             (before.isEmpty() ? 0 : 1) + (extrasBefore.isEmpty() ? 0 : 1));
    if (window) {
        QCOMPARE(window->state(), QProcess::Running);
        QCOMPARE(WaitForExit(*Start(), 10000), 0);
    } else {
        QCOMPARE(QDir(env->runtimeDir()).entryList({"*.lock"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }
    if (arguments.value(0) == "--launch-tag" && code == 0) {
        // Each profile of the tag, and only its own emulator given its environment.
        QTRY_COMPARE_WITH_TIMEOUT(ReadBytes(environment).count('\n'), 2, 10000);
        QList<QByteArray> lines = ReadBytes(environment).trimmed().split('\n');
        std::sort(lines.begin(), lines.end());
        QCOMPARE(lines, (QList<QByteArray>{"{\"FOO\":\"bar baz\"}", "{}"}));
    }
    if (arguments.value(0) == "-l") {
        QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(record).endsWith('\n'), 10000);
        QCOMPARE(ReadBytes(record),
                 QByteArray("[\"-ppi\",\"160\",\"-profile-name\",\"Two\",\"-a\",\"b c\"]\n"));
    }
}

// What scripts read and how a team hands profiles over: --list --json read by a JSON reader,
// --export in one home and --import in another giving the same emulator arguments.
void TestScripts::listAsJsonAndExchange()
{
    const QString user = env->userConfigPath();
    QVERIFY(WriteBytes(user, "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n"
                             "\"Two\"\t\"[PixelDensity] 1 [Input] 7 -a \"b c\"\"\n"
                             "\"T\\ab\tM\xc3\xbcller \x1b\x7f\"\t\"-x \\\"\\\"\"\n"
                             "[PixelDensity]\n\"Default\"\t\"\"\n\"mdpi\"\t\" -ppi 160\"\n"));
    QFile::remove(StateDirectory() + "/profile-use.json"); // launches of earlier tests
    QVERIFY(WriteBytes(ExtrasPath(user), R"({"version": 1, "profiles": {"Mine": {
        "tags": ["b", "a"], "notes": "two\nlines", "environment": [["Z", "1"], ["A", "x y"]],
        "hooks": {"beforeLaunch": "rm -rf ~/x", "timeoutSeconds": 5}}}})"));
    QString said;
    const auto run = [this, &said](const QStringList &arguments,
                                   const QString &dataHome = QString()) {
        QProcessEnvironment e = ScriptEnvironment();
        if (!dataHome.isEmpty())
            e.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        const LauncherRun run = RunLauncher(install->executable(), arguments, e);
        said = run.Err();
        return std::make_pair(run.code, run.out);
    };
    const auto [code, json] = run({"--list", "--json"});
    QCOMPARE(code, 0);
    QJsonParseError error;
    const QJsonArray profiles = QJsonDocument::fromJson(json, &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(profiles.size(), 3);
    // Written as it goes, it is what a JSON writer makes of the same, byte for byte; escapes
    // included.
    QCOMPARE(json, QJsonDocument(profiles).toJson(QJsonDocument::Indented));
    QCOMPARE(profiles.at(2).toObject().value("name").toString(),
             QStringLiteral("T\\ab\tMüller \x1b\x7f"));
    const QJsonObject two = profiles.at(1).toObject();
    QCOMPARE(two.value("name").toString(), QStringLiteral("Two"));
    QCOMPARE(two.value("arguments").toString(), QStringLiteral(" -a \"b c\""));
    QCOMPARE(two.value("pixelDensity").toObject().value("value").toString(),
             QStringLiteral(" -ppi 160"));
    QVERIFY(two.value("input").isNull()); // position 7 of one entry
    QCOMPARE(two.value("command").toArray().toVariantList().mid(1),
             (QVariantList{"-ppi", "160", "-profile-name", "Two", "-a", "b c"}));
    // What the side file adds, under names scripts rely on.
    const QJsonObject mine = profiles.at(0).toObject();
    QCOMPARE(mine.value("tags").toArray().toVariantList(), (QVariantList{"b", "a"}));
    QCOMPARE(mine.value("notes").toString(), QStringLiteral("two\nlines"));
    QCOMPARE(mine.value("environment").toObject().toVariantMap(),
             (QVariantMap{{"Z", "1"}, {"A", "x y"}}));
    QVERIFY(mine.value("lastLaunched").isNull());
    QCOMPARE(mine.value("launchCount").toInt(-1), 0);
    QCOMPARE(two.value("tags").toArray().size(), 0);
    QCOMPARE(two.value("environment").toObject().size(), 0);

    const QString shared = env->root() + QStringLiteral("/shared.ini");
    QCOMPARE(run({"--export", shared, "Two", "Mine"}).first, 0);
    // The extras ride in comment lines, which Launcher.ini's readers pass over.
    const ConfigLoadResult exported = LoadConfigFile(shared);
    QCOMPARE(exported.status, ConfigLoadResult::Loaded);
    QCOMPARE(exported.config.ProfileNames(), (QStringList{"Two", "Mine"}));
    QCOMPARE(ExtrasFromComments(exported.config.comments).value("Mine"),
             ReadExtras(ExtrasPath(user)).extras.value("Mine"));
    const QString colleague = env->root() + QStringLiteral("/colleague");
    QVERIFY(WriteBytes(colleague + "/Velmora/VelmoraMobileEmulator/Launcher.ini",
                       "$VERSION\t106\n[Profile]\n\"Theirs\"\t\"[PixelDensity] 1 \"\n"
                       "[PixelDensity]\n\"Default\"\t\"\"\n\"Mine too\"\t\" -ppi 160\"\n"));
    QCOMPARE(run({"--import", shared}, colleague).first, 0);
    // Tags and notes come along; commands somebody else wrote are not taken unseen.
    QVERIFY2(said.contains("left out the environment and hooks of \"Mine\""), qPrintable(said));
    const ProfileExtras taken =
        ReadExtras(colleague + "/Velmora/VelmoraMobileEmulator/Launcher.extras.json")
            .extras.value("Mine");
    QCOMPARE(taken.tags, (QStringList{"b", "a"}));
    QCOMPARE(taken.notes, QStringLiteral("two\nlines"));
    QVERIFY(!CarriesCommands(taken));
    // A file another tool wrote carries nothing: what the profile has here stays.
    const QString plain = env->root() + QStringLiteral("/plain.ini");
    QVERIFY(WriteBytes(plain, "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n"));
    QCOMPARE(run({"--import", plain}, colleague).first, 0);
    QCOMPARE(ReadExtras(colleague + "/Velmora/VelmoraMobileEmulator/Launcher.extras.json")
                 .extras.value("Mine"),
             taken);
    QCOMPARE(run({"--list"}, colleague).second, QByteArray("Theirs\nTwo\nMine\n"));
    // The same arguments, and the density entry met by its value, not added again.
    QCOMPARE(run({"--print-command", "Two"}, colleague).second,
             run({"--print-command", "Two"}).second);
    const QByteArray merged = ReadBytes(colleague + "/Velmora/VelmoraMobileEmulator/Launcher.ini");
    QCOMPARE(merged.count("-ppi 160"), 1);
    // Never over the launcher's own file.
    QCOMPARE(run({"--export", user}).first, 1);
}

// Emulators started from the command line as a tester would: recorded, listed, outliving a
// killed launcher window, stopped with what they started, and nobody else's process touched.
void TestScripts::runningAndStopping_data()
{
    QTest::addColumn<RunningStep>("step");

    QTest::newRow("listed: process, profile, start, log") << RunningStep([](const QString &l) {
        QCOMPARE(Script(l, {"--launch", "Two"}, "child").code, 0);
        QCOMPARE(Script(l, {"--launch", "Mine"}, "stay").code, 0);
        const QList<QStringList> rows = Running(l);
        QCOMPARE(ProfilesOf(rows), (QStringList{"Mine", "Two"}));
        static const QRegularExpression iso(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"));
        for (const QStringList &row : rows) {
            QCOMPARE(row.size(), 4);
            QVERIFY2(QFileInfo::exists("/proc/" + row.at(0)), qPrintable(row.join(' ')));
            QVERIFY2(iso.match(row.at(2)).hasMatch(), qPrintable(row.at(2)));
            const QDateTime started = QDateTime::fromString(row.at(2), Qt::ISODate);
            QVERIFY2(qAbs(started.secsTo(QDateTime::currentDateTime())) < 60,
                     qPrintable(row.at(2)));
            QVERIFY(QFileInfo::exists(row.at(3)));
            // The launcher ignores SIGPIPE; the emulator starts with the default again.
            QVERIFY(!Has(SignalMask(pid_t(row.at(0).toLongLong()), "SigIgn:"), SIGPIPE));
            // In a process group of its own, which a stop ends as a whole.
            const pid_t group = ::getpgid(pid_t(row.at(0).toLongLong()));
            QVERIFY(group > 1 && group != ::getpgrp());
        }
    });
    QTest::newRow("old logs pruned, the user's own kept") << RunningStep([](const QString &l) {
        const QString logs =
            TestEnvironment::current()->root() + "/state/Velmora/VelmoraMobileEmulator/logs";
        QVERIFY(QDir(logs).removeRecursively() && QDir().mkpath(logs));
        // Logs of emulators long gone, more than are kept, and two of the user's own.
        for (int i = 0; i < 62; ++i) {
            const QString name =
                i < 60 ? QStringLiteral("20200101-000000-%1-Old.log").arg(i, 3, 10, QChar('0'))
                       : QStringList{"notes.log", "20200101-report.log"}.at(i - 60);
            QVERIFY(WriteBytes(logs + '/' + name, "old output\n"));
            QFile file(logs + '/' + name);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(
                file.setFileTime(QDateTime(QDate(i < 60 ? 2020 : 2019, 1, 1), QTime(0, 0, i % 60)),
                                 QFileDevice::FileModificationTime));
        }
        QCOMPARE(Script(l, {"--launch", "Two"}, "stay").code, 0);
        const QStringList kept = QDir(logs).entryList({"*.log"}, QDir::Files, QDir::Name);
        QCOMPARE(kept.size(), 50 + 1 + 2);
        QVERIFY(kept.contains("notes.log") && kept.contains("20200101-report.log"));
        QVERIFY(!kept.contains("20200101-000000-009-Old.log"));
        QVERIFY(kept.contains("20200101-000000-059-Old.log")); // the newest of the old ones
    });
    QTest::newRow("a window killed outright leaves them running")
        << RunningStep([](const QString &l) {
               QCOMPARE(Script(l, {"--launch", "Two", "Mine"}, "stay").code, 0);
               QProcess window;
               QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
               e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
               window.setProcessEnvironment(e);
               window.start(l, QStringList());
               QVERIFY(WaitForListening(TestEnvironment::current()->runtimeDir(), 10000));
               window.kill();
               window.waitForFinished();
               QCOMPARE(ProfilesOf(Running(l)), (QStringList{"Mine", "Two"}));
           });
    QTest::newRow("a stop ends what the emulator started, and no reused process id")
        << RunningStep([](const QString &l) {
               QCOMPARE(Script(l, {"--launch", "Two"}, "child").code, 0);
               QCOMPARE(Script(l, {"--launch", "Mine"}, "stay").code, 0);
               const QList<QStringList> before = Running(l);
               const QStringList two = before.value(before.at(0).at(1) == "Two" ? 0 : 1);
               const pid_t group = ::getpgid(pid_t(two.at(0).toLongLong()));
               // A record whose process id now belongs to an unrelated process.
               QProcess unrelated;
               unrelated.start("sleep", {"60"});
               QVERIFY(unrelated.waitForStarted());
               const auto end = qScopeGuard([&unrelated] {
                   unrelated.kill();
                   unrelated.waitForFinished();
               });
               QCOMPARE(RecordLaunch(RecordOf(unrelated, "Two", "1")), QString());
               QCOMPARE(Running(l).size(), 2); // not listed: it is not the one recorded

               const LauncherRun stop = Script(l, {"--stop", "Two"});
               QCOMPARE(stop.code, 0);
               QVERIFY2(stop.err.isEmpty(), stop.err.constData());
               QCOMPARE(ProfilesOf(Running(l)), QStringList{"Mine"});
               QTRY_COMPARE(::kill(-group, 0) == 0 && !ProcessGroupIsZombies(group), false);
               QCOMPARE(unrelated.state(), QProcess::Running);
               QCOMPARE(Script(l, {"--stop", "Two"}).code, 0); // none ran
           });
    QTest::newRow("unknown names among several stop nothing") << RunningStep([](const QString &l) {
        QCOMPARE(Script(l, {"--launch", "Two", "Mine"}, "stay").code, 0);
        QCOMPARE(Script(l, {"--stop", "Nope"}).code, 2);
        const LauncherRun stop = Script(l, {"--stop", "Two", "Nope", "Zed"});
        QCOMPARE(stop.code, 2);
        QVERIFY2(stop.Err().contains("No profiles named \"Nope\", \"Zed\""), stop.err.constData());
        QCOMPARE(Running(l).size(), 2);
        QCOMPARE(Script(l, {"--stop", "Two", "Mine"}).code, 0);
        QCOMPARE(Running(l).size(), 0);
    });
    QTest::newRow("as JSON") << RunningStep([](const QString &l) {
        QCOMPARE(Script(l, {"--launch", "Two", "Two", "Mine"}, "stay").code, 0);
        const QJsonArray objects =
            QJsonDocument::fromJson(Script(l, {"--running", "--json"}).out).array();
        QCOMPARE(objects.size(), 3);
        const QList<QStringList> rows = Running(l);
        for (const QJsonValue &value : objects) {
            const QJsonObject o = value.toObject();
            QCOMPARE(o.keys(), (QStringList{"command", "log", "pid", "profile", "started"}));
            // The same emulators, with the same start, as the lines list them.
            const QString pid = QString::number(o.value("pid").toInteger());
            const auto row = std::find_if(rows.begin(), rows.end(),
                                          [&pid](const QStringList &r) { return r.at(0) == pid; });
            QVERIFY2(row != rows.end(), qPrintable(pid));
            QCOMPARE(o.value("profile").toString(), row->at(1));
            QCOMPARE(o.value("started").toString(), row->at(2));
            QCOMPARE(o.value("log").toString(), row->at(3));
            const QJsonArray command = o.value("command").toArray();
            QVERIFY(command.first().toString().endsWith("/VelmoraMobileEmu.exe"));
            QVERIFY(command.contains(o.value("profile")));
        }
    });
    // Only root could signal it at all.
    QTest::newRow("another user's process is never signalled") << RunningStep([](const QString &l) {
        if (::geteuid() != 0)
            QSKIP("only root can start a process of another user");
        QCOMPARE(Script(l, {"--launch", "Mine"}, "stay").code, 0);
        QProcess foreign;
        foreign.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
        foreign.start("sleep", {"60"});
        QVERIFY(foreign.waitForStarted());
        const auto end = qScopeGuard([&foreign] {
            foreign.kill();
            foreign.waitForFinished();
        });
        QTRY_VERIFY(QFileInfo("/proc/" + QString::number(foreign.processId())).ownerId() == 65534);
        QCOMPARE(RecordLaunch(RecordOf(foreign, "Other", QString())), QString());
        const LauncherRun stop = Script(l, {"--stop-all"});
        QCOMPARE(stop.code, 1);
        QVERIFY2(stop.Err().contains("belongs to another user and is not signalled"),
                 stop.err.constData());
        QCOMPARE(foreign.state(), QProcess::Running);
        QCOMPARE(ProfilesOf(Running(l)), QStringList{"Other"});
    });
}

void TestScripts::runningAndStopping()
{
    QFETCH(RunningStep, step);
    QVERIFY(WriteBytes(env->userConfigPath(), "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n"
                                              "\"Two\"\t\"\"\n"));
    const QString records = StateDirectory() + "/launches.json";
    QFile::remove(records);
    step(install->executable());
}

// --wait tells a script how its launches went: 0 while every emulator runs five seconds on,
// else the first end's status with what the emulator wrote.
void TestScripts::launchAndWait_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QByteArray>("behave");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("said"); // parts of stderr, in order
    QTest::addColumn<QByteArray>("hooks"); // Two's hooks in the side file
    QTest::addColumn<QByteArray>("after"); // what its hook after wrote

    QTest::newRow("all still run") << QStringList{"Mine", "Two"} << QByteArray("stay") << 0
                                   << QStringList() << QByteArray() << QByteArray();
    // The hooks run in the profile's environment around the emulator, their output in its log.
    QTest::newRow("hooks before and after, around an emulator that exits with 3")
        << QStringList{"Two"} << QByteArray("exit:3") << 3
        << QStringList{"exited with code 3", "ready bar\n", "output line 1\n"}
        << QByteArray(R"({"beforeLaunch": "echo ready $FOO",
                          "afterExit": "echo \"$VELMORA_EXIT_CODE $FOO $VELMORA_LOG\" > \"$HOOK_OUT\""})")
        << QByteArray("3 bar @log\n");
    QTest::newRow("a hook before that fails: no emulator starts, the hook after does not run")
        << QStringList{"Two"} << QByteArray("stay") << 4
        << QStringList{"exited with code 4", "checking\n",
                       "The command before launch failed with exit code 4; the emulator was not "
                       "started."}
        << QByteArray(
               R"({"beforeLaunch": "echo checking; exit 4", "afterExit": "touch \"$HOOK_OUT\""})")
        << QByteArray();
    QTest::newRow("a hook before that hangs is stopped at its time limit")
        << QStringList{"Two"} << QByteArray("stay") << 124
        << QStringList{"exited with code 124",
                       "The command before launch did not end within 1 s and was stopped; the "
                       "emulator was not started."}
        << QByteArray(R"({"beforeLaunch": "sleep 60", "timeoutSeconds": 1})") << QByteArray();
    QTest::newRow("exits with 3")
        << QStringList{"Two"} << QByteArray("exit:3") << 3
        << QStringList{"the emulator for \"Two\" ended: it exited with code 3",
                       "giving up on purpose",
                       "output line 1\n",
                       "output line 4\n",
                       "[lines left out: 6]",
                       "output line 11\n",
                       "output line 25"}
        << QByteArray() << QByteArray();
    QTest::newRow("exits with 0 at once")
        << QStringList{"Mine"} << QByteArray("exit:0") << 1
        << QStringList{"ended: it exited with code 0"} << QByteArray() << QByteArray();
}

void TestScripts::launchAndWait()
{
    QFETCH(QStringList, names);
    QFETCH(QByteArray, behave);
    QFETCH(int, code);
    QFETCH(QStringList, said);
    QFETCH(QByteArray, hooks);
    QFETCH(QByteArray, after);
    QVERIFY(WriteBytes(env->userConfigPath(), "$VERSION\t106\n[Profile]\n\"Mine\"\t\"\"\n"
                                              "\"Two\"\t\"\"\n"));
    const QString side = ExtrasPath(env->userConfigPath());
    QFile::remove(side);
    if (!hooks.isEmpty())
        QVERIFY(WriteBytes(side, R"({"version": 1, "profiles": {"Two": {
            "environment": [["FOO", "bar"]], "hooks": )" +
                                     hooks + "}}}"));
    const QString afterFile = env->root() + QStringLiteral("/after");
    QFile::remove(afterFile);
    const QString started = env->root() + QStringLiteral("/wait-record.jsonl");
    QFile::remove(started);
    QProcessEnvironment e = ScriptEnvironment();
    e.insert(QStringLiteral("VELMORA_EMU_BEHAVE"), QString::fromLatin1(behave));
    e.insert(QStringLiteral("VELMORA_EMU_STARTED"), started);
    e.insert(QStringLiteral("HOOK_OUT"), afterFile);
    const LauncherRun run = RunLauncher(install->executable(),
                                        QStringList{"--launch"} + names + QStringList{"--wait"}, e);
    QCOMPARE(run.code, code);
    const QString err = run.Err();
    qsizetype at = 0;
    for (const QString &part : said) {
        at = err.indexOf(part, at);
        QVERIFY2(at >= 0, qPrintable(part + " not in order in:\n" + err));
        ++at;
    }
    if (said.isEmpty())
        QVERIFY2(err.isEmpty(), qPrintable(err));
    // The log the emulator wrote is the profile's newest.
    const QString path = Script(install->executable(), {"--log", names.last()}).Out().trimmed();
    QVERIFY2(QFileInfo(path).isFile() && path.endsWith(names.last() + ".log"), qPrintable(path));
    // A hook that fails keeps the emulator from starting at all.
    QCOMPARE(QFile::exists(started), code != 4 && code != 124);
    QCOMPARE(ReadBytes(afterFile), QByteArray(after).replace("@log", path.toUtf8()));
}

VELMORA_TEST_MAIN(TestScripts)
#include "tst_scripts.moc"
