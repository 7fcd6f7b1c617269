// What follows a profile outside Launcher.ini (its menu entry, its launch records, its newest
// log), and the launch service that starts, records and stops emulators: without a window.

#include "configformat.h"
#include "desktopentry.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "extrascompanion.h"
#include "filelocations.h"
#include "launchrecords.h"
#include "profilecompanions.h"
#include "profiledocument.h"
#include "profileuse.h"
#include "testenvironment.h"

#include <QGuiApplication>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString Emulator = QStringLiteral(VELMORA_BIN_DIR "/VelmoraMobileEmu.exe");

LauncherConfig Model(const QStringList &names)
{
    LauncherConfig config;
    config.ResetSections();
    for (const QString &name : names)
        config.profiles.append({name, QString(), {0, 0, 0}});
    return config;
}

// A document over a Launcher.ini of Default, A and B, with the window's launch service and the
// companions of its profiles.
struct World
{
    QString path = TestEnvironment::current()->root() + QStringLiteral("/doc/Launcher.ini");
    ProfileDocument document{path, path + QStringLiteral(".default")};
    EmulatorLauncher launcher;
    ProfileCompanions companions{&document, &launcher, QStringLiteral("/opt/launcher")};

    World(const QStringList &entries = {})
    {
        QDir(QFileInfo(DesktopEntryPath(QStringLiteral("x"))).absolutePath()).removeRecursively();
        QDir(StateDirectory()).removeRecursively();
        for (const QString &name : entries)
            WriteDesktopEntry(QStringLiteral("/opt/launcher"), name);
        WriteBytes(path, FormatConfigUtf8(Model({"Default", "A", "B"})));
        QFile::remove(ExtrasPath(path));
        document.Read(path, true);
        launcher.Start();
        companions.Start();
        companions.WaitForFiles();
    }
    ~World()
    {
        launcher.WaitForRecords();
        EndRecordedEmulators();
    }
    // Whose entries the applications folder holds, and whose the companions know of.
    QStringList Entries()
    {
        document.WaitForSaves();
        companions.WaitForFiles();
        QStringList names = DesktopEntryProfiles();
        names.sort();
        return names;
    }
    QStringList Known() const
    {
        QStringList names;
        for (const QString &name : document.Config().ProfileNames()) {
            if (companions.HasMenuEntry(name))
                names.append(name);
        }
        names.sort();
        return names;
    }
    void EditOutside(const QStringList &names)
    {
        document.WaitForSaves();
        QVERIFY(WriteBytes(path, FormatConfigUtf8(Model(names))));
        document.TakeInOutsideChange();
    }
};

} // namespace

class TestCompanions : public QObject
{
    Q_OBJECT

private slots:
    void menuEntriesFollowTheirProfile_data();
    void menuEntriesFollowTheirProfile();
    void entriesThatCannotBeWritten();
    void extrasFollowTheirProfile_data();
    void extrasFollowTheirProfile();
    void launchService_data();
    void launchService();
    void stopsReachOnlyWhatTheyName_data();
    void stopsReachOnlyWhatTheyName();
    void recordsAndLogsFollowARename();
    void aHeldRecordsLockHoldsNothingUp();
};

void TestCompanions::menuEntriesFollowTheirProfile_data()
{
    QTest::addColumn<QStringList>("before"); // entries when the launcher starts
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("a profile removed while no launcher ran")
        << QStringList{"A", "Gone"} << "" << QStringList{"A"};
    QTest::newRow("renamed") << QStringList{"A"} << "rename A A2" << QStringList{"A2"};
    QTest::newRow("renamed and undone")
        << QStringList{"A"} << "rename A A2, undo" << QStringList{"A"};
    QTest::newRow("removed") << QStringList{"A", "B"} << "remove A" << QStringList{"B"};
    QTest::newRow("removed and undone: it comes back")
        << QStringList{"A"} << "remove A, undo" << QStringList{"A"};
    QTest::newRow("removed by another program")
        << QStringList{"A", "B"} << "outside Default B" << QStringList{"B"};
    QTest::newRow("removed by another program and brought back")
        << QStringList{"A"} << "outside Default B, outside Default A B" << QStringList{"A"};
    QTest::newRow("added, then the profile removed outside at once")
        << QStringList{} << "add B, outside Default A" << QStringList{};
    QTest::newRow("removed from the menu by hand stays away after an undo")
        << QStringList{"A"} << "unlist A, remove A, undo" << QStringList{};
}

// Every kind of change reaches the entries: the rows' own signals and a whole new model.
void TestCompanions::menuEntriesFollowTheirProfile()
{
    QFETCH(QStringList, before);
    QFETCH(QString, steps);
    QFETCH(QStringList, after);
    World world(before);
    for (const QString &step : steps.split(", ", Qt::SkipEmptyParts)) {
        const QStringList words = step.split(' ');
        if (words.first() == "rename")
            QCOMPARE(world.document.RenameProfile(words.at(1), words.at(2)),
                     ProfileDocument::EditResult::Done);
        else if (words.first() == "remove")
            QCOMPARE(world.document.RemoveProfile(words.at(1)), ProfileDocument::EditResult::Done);
        else if (words.first() == "undo")
            world.document.History()->undo();
        else if (words.first() == "outside")
            world.EditOutside(words.mid(1));
        else if (words.first() == "add")
            world.companions.AddMenuEntries({words.at(1)});
        else if (words.first() == "unlist")
            world.companions.RemoveMenuEntries({words.at(1)});
    }
    QCOMPARE(world.Entries(), after);
    // What the menu asks is what the folder holds, without asking the folder.
    QCOMPARE(world.Known(), after);
}

void TestCompanions::extrasFollowTheirProfile_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("after"); // in memory, as "name:tag/tag#note | ..."
    QTest::addColumn<QString>("file");  // the side file; "same" as in memory
    QTest::newRow("tagged, written") << "tag A x y, note B hello"
                                     << "A:x/y | B:#hello"
                                     << "same";
    QTest::newRow("undone and redone") << "tag A x, tag A z, undo, undo, redo"
                                       << "A:x"
                                       << "same";
    QTest::newRow("renamed") << "tag A x, rename A A2"
                             << "A2:x"
                             << "same";
    QTest::newRow("renamed, undone") << "tag A x, rename A A2, undo"
                                     << "A:x"
                                     << "same";
    QTest::newRow("removed: out of the file, back with an undo") << "tag A x, tag B y, remove A"
                                                                 << "B:y"
                                                                 << "same";
    QTest::newRow("removed and undone") << "tag A x, remove A, undo"
                                        << "A:x"
                                        << "same";
    QTest::newRow("removed by another program and brought back")
        << "tag A x, outside Default B, outside Default A B"
        << "A:x"
        << "same";
    QTest::newRow("a hand edit of the side file, merged with ours")
        << "tag A x, hand B:#by-hand, tag A w"
        << "A:w | B:#by-hand"
        << "same";
    QTest::newRow("a hand edit replacing ours is taken as it stands") << "tag A x, hand A:mine"
                                                                      << "A:mine"
                                                                      << "same";
    QTest::newRow("a side file that cannot be read is never replaced") << "hand {broken, tag A x"
                                                                       << "A:x"
                                                                       << "{broken";
}

// What profiles carry beside Launcher.ini follows them in memory and in its side file, and
// another program's edit of that file is merged, never lost.
void TestCompanions::extrasFollowTheirProfile()
{
    QFETCH(QString, steps);
    QFETCH(QString, after);
    QFETCH(QString, file);
    World world;
    ExtrasCompanion *extras = world.companions.Extras();
    const QString side = ExtrasPath(world.path);
    const auto describe = [](const ExtrasMap &map) {
        QStringList parts;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            parts.append(it.key() + ':' + it->tags.join('/') +
                         (it->notes.isEmpty() ? QString() : '#' + it->notes));
        return parts.join(" | ");
    };
    for (const QString &step : steps.split(", ", Qt::SkipEmptyParts)) {
        const QStringList words = step.split(' ');
        const QString verb = words.first();
        if (verb == "tag" || verb == "note") {
            ProfileExtras now = extras->Of(words.at(1));
            if (verb == "tag")
                now.tags = words.mid(2);
            else
                now.notes = words.mid(2).join(' ');
            extras->Edit("Set", {{words.at(1), now}});
        } else if (verb == "rename") {
            QCOMPARE(world.document.RenameProfile(words.at(1), words.at(2)),
                     ProfileDocument::EditResult::Done);
        } else if (verb == "remove") {
            QCOMPARE(world.document.RemoveProfile(words.at(1)), ProfileDocument::EditResult::Done);
        } else if (verb == "undo" || verb == "redo") {
            if (verb == "undo")
                world.document.History()->undo();
            else
                world.document.History()->redo();
        } else if (verb == "outside") {
            world.EditOutside(words.mid(1));
        } else if (verb == "hand") {
            // Another program writes the side file: "{..." as it stands, else name:tags#note.
            extras->WaitForFiles();
            QByteArray text = step.mid(5).toUtf8();
            if (!text.startsWith('{')) {
                ExtrasMap map = ReadExtras(side).extras;
                const QString name = QString(text).section(':', 0, 0);
                const QString rest = QString(text).section(':', 1);
                ProfileExtras extras;
                extras.tags = rest.section('#', 0, 0).split('/', Qt::SkipEmptyParts);
                extras.notes = rest.section('#', 1);
                map.insert(name, extras);
                text = FormatExtras(map);
            }
            QVERIFY(WriteBytes(side, text));
            // Taken in once the file kept still for a moment (or found unreadable).
            if (step.mid(5).startsWith('{'))
                QTRY_VERIFY(!extras->Problem().isEmpty());
            else
                QTRY_VERIFY(describe(extras->All()).contains(step.mid(5)));
        }
    }
    extras->WaitForFiles();
    QTRY_COMPARE(describe(extras->All()), after);
    if (file == "same")
        QCOMPARE(describe(ReadExtras(side).extras), after);
    else
        QCOMPARE(ReadBytes(side), file.toUtf8());
    QCOMPARE(extras->Problem().isEmpty(), file == "same");
}

// A folder that cannot take an entry: the profiles are named, and not taken to have one.
void TestCompanions::entriesThatCannotBeWritten()
{
    World world;
    const QString folder = QFileInfo(DesktopEntryPath("A")).absolutePath();
    QDir(folder).removeRecursively();
    QVERIFY(WriteBytes(folder, "a file where the folder would be"));
    QSignalSpy failed(&world.companions, &ProfileCompanions::menuEntriesFailed);
    world.companions.AddMenuEntries({"A", "B"});
    QVERIFY(world.companions.HasMenuEntry("A")); // as asked, until the files say otherwise
    world.companions.WaitForFiles();
    QCOMPARE(failed.size(), 1);
    const auto failures = failed.first().first().value<QList<CompanionFailure>>();
    QCOMPARE(failures.size(), 2);
    QCOMPARE(failures.at(1).profile, QStringLiteral("B"));
    QVERIFY(!failures.at(1).error.isEmpty());
    QCOMPARE(world.Known(), QStringList());
    QFile::remove(folder);
}

// What the launcher told it started, once the launches asked for are done.
static QList<LaunchRecord> Launched(World &world, const QSignalSpy &launched)
{
    world.launcher.WaitForRecords();
    QCoreApplication::sendPostedEvents(&world.launcher, QEvent::MetaCall);
    QList<LaunchRecord> records;
    for (const QList<QVariant> &signal : launched)
        records.append(signal.first().value<LaunchRecord>());
    return records;
}

void TestCompanions::launchService_data()
{
    QTest::addColumn<QStringList>("programs"); // per profile A, B, ...: "ok" or "missing"
    QTest::addColumn<QString>("trouble");
    QTest::addColumn<QStringList>("failedProfiles");
    QTest::newRow("one") << QStringList{"ok"} << "" << QStringList{};
    QTest::newRow("a batch with one missing program: the others start, one failure told")
        << QStringList{"ok", "missing", "ok"} << "" << QStringList{"B"};
    QTest::newRow("no log can be kept: it still starts, once said")
        << QStringList{"ok", "ok"} << "log folder a link" << QStringList{};
    QTest::newRow("no record can be written: it still starts, said after")
        << QStringList{"ok"} << "records a folder" << QStringList{};
}

// One way for every launch: started in order, each told, the failures of a batch told once,
// recorded in the background, the newest log known to the companions at once.
void TestCompanions::launchService()
{
    QFETCH(QStringList, programs);
    QFETCH(QString, trouble);
    QFETCH(QStringList, failedProfiles);
    World world;
    world.launcher.WaitForRecords(); // the first pruning of the logs
    if (trouble == "log folder a link") {
        QDir(LogDirectory()).removeRecursively();
        QVERIFY(QFile::link(TestEnvironment::current()->root(), LogDirectory()));
    }
    const QString records = StateDirectory() + "/launches.json";
    if (trouble == "records a folder")
        QVERIFY(QDir().mkpath(records + "/x"));
    QSignalSpy launched(&world.launcher, &EmulatorLauncher::launched);
    QSignalSpy failed(&world.launcher, &EmulatorLauncher::failed);
    QSignalSpy logProblem(&world.launcher, &EmulatorLauncher::logProblem);
    QSignalSpy recordProblem(&world.launcher, &EmulatorLauncher::recordProblem);
    QList<LaunchRequest> requests;
    QStringList started;
    for (int i = 0; i < programs.size(); ++i) {
        const QString profile(QChar(u'A' + i));
        const QString program = programs.at(i) == "ok" ? Emulator : Emulator + ".gone";
        requests.append({profile, {program, {"-profile-name", profile}}});
        if (programs.at(i) == "ok")
            started.append(profile);
    }
    // A window's launches start off its thread: nothing is returned, each is told, in order.
    QVERIFY(world.launcher.Launch(requests).isEmpty());
    const QList<LaunchRecord> records_ = Launched(world, launched);
    QStringList told;
    for (const LaunchRecord &record : records_)
        told.append(record.profile);
    QCOMPARE(told, started);
    QCOMPARE(failed.size(), failedProfiles.isEmpty() ? 0 : 1);
    if (!failedProfiles.isEmpty()) {
        const auto failures = failed.first().first().value<QList<LaunchFailure>>();
        QCOMPARE(failures.size(), failedProfiles.size());
        QCOMPARE(failures.first().profile, failedProfiles.first());
        QCOMPARE(failures.first().program, Emulator + ".gone");
        QVERIFY(!failures.first().error.isEmpty());
    }
    QCOMPARE(logProblem.size(), trouble == "log folder a link" ? started.size() : 0);
    world.launcher.WaitForRecords();
    if (trouble == "records a folder") {
        QTRY_COMPARE(recordProblem.size(), 1);
    } else {
        QCOMPARE(recordProblem.size(), 0);
        QCOMPARE(RunningEmulators().size(), started.size());
        // The log each was given is the newest the menu offers, known without a look.
        for (const LaunchRecord &record : records_)
            QCOMPARE(world.companions.NewestLog(record.profile),
                     trouble.isEmpty() ? record.log : QString());
    }
    // Stopping goes the same way: in the background, told when done.
    QSignalSpy stopped(&world.launcher, &EmulatorLauncher::stopped);
    world.launcher.Stop(QString());
    QVERIFY(stopped.wait(10000));
    QCOMPARE(stopped.first().first().toStringList(), QStringList());
    if (trouble == "records a folder") {
        // Unrecorded, so no stop of the launcher's reaches them: ended here, with what they
        // started (each leads its own session).
        for (const LaunchRecord &record : records_)
            ::kill(-pid_t(record.pid), SIGKILL);
        QDir(records).removeRecursively();
    }
    if (trouble == "log folder a link")
        QFile::remove(LogDirectory());
}

void TestCompanions::stopsReachOnlyWhatTheyName_data()
{
    QTest::addColumn<QString>("stop"); // a profile's name, "#1" for A's first emulator, or ""
    QTest::addColumn<QStringList>("left");
    QTest::newRow("a profile: all of its emulators") << "A" << QStringList{"B"};
    QTest::newRow("one emulator") << "#1" << QStringList{"A", "B"};
    QTest::newRow("every one") << "" << QStringList{};
    QTest::newRow("a profile with none running") << "Z" << QStringList{"A", "A", "B"};
}

// A stop ends what it names and nothing else, in the background, told when done.
void TestCompanions::stopsReachOnlyWhatTheyName()
{
    QFETCH(QString, stop);
    QFETCH(QStringList, left);
    World world;
    QSignalSpy launched(&world.launcher, &EmulatorLauncher::launched);
    world.launcher.Launch({{"A", {Emulator, {"-profile-name", "A"}}},
                           {"A", {Emulator, {"-profile-name", "A"}}},
                           {"B", {Emulator, {"-profile-name", "B"}}}});
    const QList<LaunchRecord> started = Launched(world, launched);
    QCOMPARE(started.size(), 3);
    world.launcher.WaitForRecords();
    QSignalSpy stopped(&world.launcher, &EmulatorLauncher::stopped);
    if (stop == "#1")
        world.launcher.Stop(started.first());
    else
        world.launcher.Stop(stop.isEmpty() ? QString() : stop);
    QVERIFY(stopped.wait(10000));
    QCOMPARE(stopped.first().first().toStringList(), QStringList());
    QStringList running;
    for (const LaunchRecord &record : RunningEmulators())
        running.append(record.profile);
    running.sort();
    QCOMPARE(running, left);
    if (stop == "#1") {
        QVERIFY(!IsRunning(started.at(0)));
        QVERIFY(IsRunning(started.at(1)));
    }
}

// A renamed profile keeps its running count and its logs in the records and in what the
// companions know.
void TestCompanions::recordsAndLogsFollowARename()
{
    World world;
    QSignalSpy launched(&world.launcher, &EmulatorLauncher::launched);
    world.launcher.Launch({{"A", {Emulator, {"-profile-name", "A"}}}});
    const QList<LaunchRecord> started = Launched(world, launched);
    QCOMPARE(started.size(), 1);
    QCOMPARE(world.document.RenameProfile("A", "A2"), ProfileDocument::EditResult::Done);
    world.launcher.WaitForRecords();
    QCOMPARE(world.companions.NewestLog("A2"), started.first().log);
    QCOMPARE(world.companions.NewestLog("A"), QString());
    const QList<LaunchRecord> running = RunningEmulators();
    QCOMPARE(running.size(), 1);
    QCOMPARE(running.first().profile, QStringLiteral("A2"));
    QCOMPARE(NewestLog("A2"), started.first().log);
    // How much it was used goes along, and outlives the records.
    const QHash<QString, ProfileUse> use = ReadProfileUse();
    QCOMPARE(use.value("A2").launchCount, 1);
    QCOMPARE(use.value("A2").lastLaunched, started.first().started);
    QVERIFY(!use.contains("A"));
    // A look at the files again finds the same.
    world.EditOutside({"Default", "A2", "B"});
    world.companions.WaitForFiles();
    QCOMPARE(world.companions.NewestLog("A2"), started.first().log);
}

// While another launcher holds the records' lock, the window's thread never waits for it: what
// an ended emulator and a new look at the records need is done once the lock is free.
void TestCompanions::aHeldRecordsLockHoldsNothingUp()
{
    World world;
    EmulatorMonitor *monitor = world.launcher.Monitor();
    monitor->WaitForDisk();
    QSignalSpy launched(&world.launcher, &EmulatorLauncher::launched);
    world.launcher.Launch({{"A", {Emulator, {"-profile-name", "A"}}}});
    const QList<LaunchRecord> started = Launched(world, launched);
    QCOMPARE(started.size(), 1);
    world.launcher.WaitForRecords();
    // What the launch's own write made the monitor read is read and delivered first.
    QTest::qWait(100);
    monitor->WaitForDisk();
    QCoreApplication::processEvents();
    int lock = ::open(QFile::encodeName(StateDirectory() + "/launches.lock").constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(lock >= 0);
    const auto release = qScopeGuard([&lock] {
        if (lock >= 0)
            ::close(lock);
    });
    QVERIFY(::flock(lock, LOCK_EX) == 0);
    // A launch meanwhile starts and is told at once; its record waits.
    world.launcher.Launch({{"B", {Emulator, {"-profile-name", "B"}}}});
    QTRY_COMPARE(launched.size(), 2);
    QCOMPARE(world.launcher.Monitor()->Records().size(), 2);
    QSignalSpy counts(monitor, &EmulatorMonitor::countsChanged);
    QSignalSpy read(monitor, &EmulatorMonitor::recordsRead);
    monitor->ReadAgain();
    ::kill(pid_t(started.first().pid), SIGKILL);
    // The end is seen at once; the records wait for the lock.
    QVERIFY(counts.wait(5000));
    QCOMPARE(monitor->Records().size(), 1);
    QTest::qWait(200);
    QCOMPARE(read.size(), 0);
    ::close(lock);
    lock = -1;
    QTRY_VERIFY(read.size() > 0);
    world.launcher.WaitForRecords();
    monitor->WaitForDisk();
    QTRY_COMPARE(RunningEmulators().size(), 1);
    QCOMPARE(RunningEmulators().first().profile, QStringLiteral("B"));
    world.launcher.Stop(QString());
}

VELMORA_TEST_MAIN_WITH(QGuiApplication, TestCompanions)
#include "tst_companions.moc"
