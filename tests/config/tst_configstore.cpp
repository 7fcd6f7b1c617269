// The user's Launcher.ini as a run keeps it: reading with its limits, what is said about
// dropped lines, and the rules of saving.

#include "configformat.h"
#include "configstore.h"
#include "profileexchange.h"
#include "systemguards.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QtTest>

#include <optional>
#include <unistd.h>

class TestConfigStore : public QObject
{
    Q_OBJECT

private slots:
    void savePolicy_data();
    void savePolicy();
    void ownSavesAreNoOutsideEdit();
    void droppedLinesAreReported();
    void windowChangeOnOutsideEdit_data();
    void windowChangeOnOutsideEdit();
    void sizeLimit_data();
    void sizeLimit();
    void saveLeavesTheFile_data();
    void saveLeavesTheFile();
    void storeLooksAgainBeforeReplacing_data();
    void storeLooksAgainBeforeReplacing();
    void settleRules_data();
    void settleRules();
    void racyStamps_data();
    void racyStamps();
    void watchFollowsAReplacedFile();
    void outdatedPathNeverTaken();
};

void TestConfigStore::savePolicy_data()
{
    QTest::addColumn<QString>("userFile");  // what is at the user's path when it is read
    QTest::addColumn<QStringList>("saves"); // "blocked": the write fails part-way; "free"
    QTest::addColumn<QList<bool>>("saved");
    QTest::addColumn<QList<bool>>("told"); // firstFailure of each save
    QTest::addColumn<bool>("background");  // SaveInBackground, its result from saved()
    for (const bool background : {false, true}) {
        const char *how = background ? ", in the background" : "";
        QTest::addRow("told once until a save works%s", how)
            << "missing" << QStringList{"blocked", "blocked", "free", "blocked", "blocked"}
            << QList<bool>{false, false, true, false, false}
            << QList<bool>{true, false, false, true, false} << background;
        QTest::addRow("an unreadable file is kept, and nothing is told%s", how)
            << "unreadable" << QStringList{"free", "free"} << QList<bool>{false, false}
            << QList<bool>{false, false} << background;
        QTest::addRow("a readable file is saved over%s", how)
            << "readable" << QStringList{"free"} << QList<bool>{true} << QList<bool>{false}
            << background;
    }
}

void TestConfigStore::savePolicy()
{
    QFETCH(QString, userFile);
    QFETCH(QStringList, saves);
    QFETCH(QList<bool>, saved);
    QFETCH(QList<bool>, told);
    QFETCH(bool, background);
    const QString root = TestEnvironment::current()->root() + "/policy-" + QTest::currentDataTag();
    const QString folder = root + "/Velmora";
    const QString user = folder + "/Launcher.ini";
    QVERIFY(QDir().mkpath(root));
    if (userFile == "unreadable")
        QVERIFY(QDir().mkpath(user)); // a directory: not a regular file
    if (userFile == "readable")
        QVERIFY(WriteBytes(user, "$VERSION 106\n[Profile]\n\"Mine\"\t\"\"\n"));

    ConfigStore store(user, root + "/LauncherDefault.ini");
    QList<ConfigSaveResult> delivered;
    connect(&store, &ConfigStore::saved, this,
            [&delivered](const ConfigSaveResult &result, const LauncherConfig &) {
                delivered.append(result);
            });
    const ConfigStore::ReadResult read = store.Read(user, true);
    QCOMPARE(store.KeepsUserFile(), userFile == "unreadable");
    const LauncherConfig model =
        read.status == ConfigStore::ReadResult::Loaded ? read.config : DefaultsOnlyConfig();
    for (int i = 0; i < saves.size(); ++i) {
        // A blocked save fails part-way: the file may not grow past a few bytes.
        const SignalDisposition ignoreFileSize(SIGXFSZ, SIG_IGN);
        std::optional<ResourceLimit> limit;
        if (saves.at(i) == "blocked") {
            limit.emplace(RLIMIT_FSIZE, 16);
            QVERIFY(limit->effective());
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot write "));
        }
        ConfigSaveResult result;
        if (background) {
            // Written on the store's thread, under the same limit; told here, once.
            delivered.clear();
            store.SaveInBackground(model);
            store.FinishSaves();
            QCOMPARE(delivered.size(), 1);
            result = delivered.first();
        } else {
            result = store.Save(model);
        }
        limit.reset();
        QCOMPARE(result.saved, saved.at(i));
        QCOMPARE(result.firstFailure, told.at(i));
        if (result.saved)
            QCOMPARE(ReadBytes(user), FormatConfigUtf8(model));
    }
    if (userFile == "unreadable")
        QVERIFY(QFileInfo(user).isDir());
}

// The store's own saves, however quick in a row, never look like someone else's edit; an edit
// that is someone else's still does.
void TestConfigStore::ownSavesAreNoOutsideEdit()
{
    const QString root = TestEnvironment::current()->root() + "/own-saves";
    const QString user = root + "/Launcher.ini";
    QVERIFY(WriteBytes(user, "$VERSION 106\n[Profile]\n\"Mine\"\t\"\"\n"));
    ConfigStore store(user, root + "/LauncherDefault.ini");
    LauncherConfig model = store.Read(user, true).config;
    store.WatchUserFile();
    QSignalSpy outside(&store, &ConfigStore::userFileChanged);
    for (int i = 0; i < 5; ++i) {
        model.profiles[0].arguments = QString::number(i);
        store.SaveInBackground(model);
    }
    store.FinishSaves();
    QCOMPARE(ReadBytes(user), FormatConfigUtf8(model));
    // A change made while a long save is being written is written after it, not dropped.
    LauncherConfig large = model;
    for (int i = 0; i < 200000; ++i)
        large.AppendProfile(ParseProfileText(QStringLiteral("P%1").arg(i), u"-x", large.sections));
    store.SaveInBackground(large);
    const QDir folder(root);
    QTRY_VERIFY(!folder.entryList({"Launcher.ini.*"}, QDir::Files | QDir::Hidden).isEmpty() ||
                ReadBytes(user).size() > 1000000);
    model.profiles[0].arguments = QStringLiteral("newest");
    store.SaveInBackground(model);
    store.FinishSaves();
    QCOMPARE(ReadBytes(user), FormatConfigUtf8(model));
    // Nothing to wait for but the watcher's settling time (100 ms) and its events.
    QTest::qWait(400);
    QCOMPARE(outside.count(), 0);

    QVERIFY(WriteBytes(user + ".new", "$VERSION 106\n[Profile]\n\"Theirs\"\t\"\"\n"));
    QCOMPARE(
        ::rename(QFile::encodeName(user + ".new").constData(), QFile::encodeName(user).constData()),
        0);
    QTRY_COMPARE(outside.count(), 1);
}

void TestConfigStore::windowChangeOnOutsideEdit_data()
{
    QTest::addColumn<QString>("change"); // what the window did
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("resolutions");
    QTest::addColumn<QString>("bArguments");
    // Outside, "O" was added at the end and A's arguments changed to "-outside".
    QTest::newRow("B updated") << "update B" << QStringList{"P", "A", "B", "O"}
                               << QStringList{"Default", "Small", "Big"} << "-window";
    QTest::newRow("A renamed, in its place") << "rename A" << QStringList{"P", "A2", "B", "O"}
                                             << QStringList{"Default", "Small", "Big"} << "";
    QTest::newRow("B moved above A") << "move B" << QStringList{"P", "B", "A", "O"}
                                     << QStringList{"Default", "Small", "Big"} << "";
    QTest::newRow("B removed") << "remove B" << QStringList{"P", "A", "O"}
                               << QStringList{"Default", "Small", "Big"} << "";
    QTest::newRow("an option added, used by a new profile")
        << "add N" << QStringList{"P", "A", "B", "O", "N"}
        << QStringList{"Default", "Small", "Big", "Huge"} << "";
    QTest::newRow("B updated to an option that is elsewhere in their list")
        << "B to Small, theirs reordered" << QStringList{"P", "A", "B", "O"}
        << QStringList{"Default", "Big", "Small"} << "";
    QTest::newRow("an option removed; B, which used it, repaired")
        << "remove Big" << QStringList{"P", "A", "B", "O"} << QStringList{"Default", "Small"}
        << " -windowsize 2x2";
}

// Profiles by name, options by name and value: the window's change lands in the file as
// someone else left it, and their change stays.
void TestConfigStore::windowChangeOnOutsideEdit()
{
    QFETCH(QString, change);
    QFETCH(QStringList, names);
    QFETCH(QStringList, resolutions);
    QFETCH(QString, bArguments);
    LauncherConfig before;
    ParseConfigText(u"$VERSION 106\n[Profile]\n\"P\"\t\"\"\n\"A\"\t\"[Resolution] 1 \"\n"
                    u"\"B\"\t\"[Resolution] 2 \"\n[Resolution]\n\"Default\"\t\"\"\n"
                    u"\"Small\"\t\" -windowsize 1x1\"\n\"Big\"\t\" -windowsize 2x2\"\n",
                    before);
    LauncherConfig theirs = before;
    theirs.profiles[1].arguments = "-outside";
    theirs.comments = {{ConfigComment::BeforeEntry, SectionProfile, "A", {"# about A"}}};
    theirs.AppendProfile(ParseProfileText("O", u"[Resolution] 1", theirs.sections));
    LauncherConfig after = before;
    if (change == "update B")
        after.UpdateProfile(2, 2, 0, 0, "-window");
    if (change == "rename A")
        after.RenameProfile(1, "A2");
    if (change == "move B")
        after.profiles.move(2, 1);
    if (change == "remove B")
        after.RemoveProfile(2);
    if (change == "add N") {
        after.AppendEntry(SectionResolution, "Huge", " -windowsize 9x9");
        after.AppendProfile(ParseProfileText("N", u"[Resolution] 3", after.sections));
    }
    if (change == "remove Big")
        after.RemoveOption(SectionResolution, 2);
    if (change == "B to Small, theirs reordered") {
        after.UpdateProfile(2, 1, 0, 0, QString());
        theirs.sections[SectionResolution].entries.swapItemsAt(1, 2);
        for (LauncherProfile &profile : theirs.profiles)
            profile.optionIndex[0] = profile.optionIndex[0] == 0 ? 0 : 3 - profile.optionIndex[0];
    }

    ApplyModelChange(theirs, before, after);
    QCOMPARE(theirs.ProfileNames(), names);
    QCOMPARE(theirs.EntryNames(SectionResolution), resolutions);
    const int a = theirs.FindProfile(change == "rename A" ? "A2" : "A");
    QCOMPARE(theirs.profiles.at(a).arguments, QStringLiteral("-outside"));
    // Their comment above A stays above it, renamed or not.
    QCOMPARE(theirs.comments.value(0).entry, theirs.profiles.at(a).name);
    const int b = theirs.FindProfile("B");
    if (b >= 0)
        QCOMPARE(theirs.profiles.at(b).arguments, bArguments);
    if (change == "add N")
        QCOMPARE(theirs.profiles.last().optionIndex.first(), 3);
    // Positions are theirs: B uses "Small" where their list has it.
    if (change == "B to Small, theirs reordered")
        QCOMPARE(theirs.profiles.at(b).optionIndex.first(), 2);
}

// Each line the reader drops is named with the file and its number, up to twenty a file; the
// shipped default drops none, so a normal start says nothing.
void TestConfigStore::droppedLinesAreReported()
{
    const QString path = TestEnvironment::current()->root() + "/dropped.ini";
    QByteArray text;
    for (int i = 0; i < 25; ++i)
        text += "stray " + QByteArray::number(i) + "\n";
    text += "[Input]\n\"\"\"\"\n\"Touch\"\t\"\"\n$VERSION 106\n";
    QVERIFY(WriteBytes(path, text));
    for (int line = 1; line <= 20; ++line) {
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("%1:%2: line ignored: it "
                                                                     "comes before any section "
                                                                     "header")
                                                          .arg(path)
                                                          .arg(line)));
    }
    QTest::ignoreMessage(QtWarningMsg, qPrintable(path + ": 6 more lines ignored"));
    QTest::failOnWarning(QRegularExpression("line ignored"));
    const ConfigLoadResult loaded = LoadConfigFile(path);
    QCOMPARE(loaded.config.EntryNames(SectionInput), QStringList{"Touch"});

    QList<DroppedConfigLine> dropped;
    LauncherConfig shipped;
    ParseConfigText(DecodeConfigText(ReadBytes(VELMORA_SOURCE_DIR "/data/LauncherDefault.ini")),
                    shipped, &dropped);
    QCOMPARE(dropped.size(), 0);
    QVERIFY(shipped.profiles.size() > 1);
}

void TestConfigStore::sizeLimit_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("status");
    QTest::newRow("exactly the limit") << MaxConfigFileSize << int(ConfigLoadResult::Loaded);
    QTest::newRow("one byte more") << MaxConfigFileSize + 1 << int(ConfigLoadResult::Unreadable);
}

void TestConfigStore::sizeLimit()
{
    QFETCH(qint64, size);
    QFETCH(int, status);
    const QString path = TestEnvironment::current()->root() + QStringLiteral("/sized.ini");
    // The rest of the file is one comment line, padded with zero bytes.
    QVERIFY(WriteBytes(path, "$VERSION 106\n[Profile]\n\"Big\"\t\"\"\n#"));
    QCOMPARE(::truncate(QFile::encodeName(path).constData(), off_t(size)), 0);
    const ConfigLoadResult loaded = LoadConfigFile(path);
    QCOMPARE(int(loaded.status), status);
    if (loaded.status == ConfigLoadResult::Loaded)
        QCOMPARE(loaded.config.ProfileNames(), QStringList{"Big"});
    QVERIFY(QFile::remove(path));
}

void TestConfigStore::saveLeavesTheFile_data()
{
    QTest::addColumn<qint64>("size"); // of the file the model makes
    QTest::addColumn<bool>("editedWhileWritten");
    QTest::addColumn<bool>("saved");
    QTest::newRow("exactly the limit") << MaxConfigFileSize << false << true;
    QTest::newRow("one byte more: it could never be read")
        << MaxConfigFileSize + 1 << false << false;
    QTest::newRow("an edit that lands while the file is written") << qint64(0) << true << false;
}

// A save never leaves a file the launcher would refuse to read, and never replaces an edit
// someone made while it was being written: the file stays as it was.
void TestConfigStore::saveLeavesTheFile()
{
    QFETCH(qint64, size);
    QFETCH(bool, editedWhileWritten);
    QFETCH(bool, saved);
    const QString path = TestEnvironment::current()->root() + QStringLiteral("/kept.ini");
    const QByteArray old = "$VERSION 106\n[Profile]\n\"Old\"\t\"\"\n";
    QVERIFY(WriteBytes(path, old));
    LauncherConfig model = DefaultsOnlyConfig();
    if (size > 0) {
        const qint64 without = FormatConfigUtf8(model).size();
        model.profiles[0].arguments = QString(qsizetype(size - without), QLatin1Char('x'));
        QCOMPARE(qint64(FormatConfigUtf8(model).size()), size);
    }
    const QByteArray edit = "$VERSION 106\n[Profile]\n\"Theirs\"\t\"\"\n";
    const ConfigSaveResult result = SaveConfigFile(path, model, true, [&] {
        if (editedWhileWritten)
            WriteBytes(path, edit);
        return !editedWhileWritten;
    });
    QCOMPARE(result.saved, saved);
    QCOMPARE(result.changedOnDisk, editedWhileWritten);
    if (saved)
        QCOMPARE(QFileInfo(path).size(), size);
    else
        QCOMPARE(ReadBytes(path), editedWhileWritten ? edit : old);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList({"kept.ini.*"}), QStringList());
    QVERIFY(QFile::remove(path));
}

void TestConfigStore::storeLooksAgainBeforeReplacing_data()
{
    QTest::addColumn<QString>("edit"); // what another program does while the save is written
    QTest::addColumn<bool>("saved");
    QTest::newRow("nothing") << "" << true;
    QTest::newRow("rewritten in place, the same size") << "same size" << false;
    QTest::newRow("replaced by a rename") << "rename" << false;
    QTest::newRow("removed") << "remove" << false;
}

// The store asks once more whether the file is the one it knows after its new file is on the
// disk: an edit made while a save was being written is never replaced.
void TestConfigStore::storeLooksAgainBeforeReplacing()
{
    QFETCH(QString, edit);
    QFETCH(bool, saved);
    const QString root = TestEnvironment::current()->root() + "/last-look";
    const QString user = root + "/Launcher.ini";
    const QByteArray mine = "$VERSION 106\n[Profile]\n\"Mine\"\t\"\"\n";
    QVERIFY(WriteBytes(user, mine));
    ConfigStore store(user, root + "/LauncherDefault.ini");
    LauncherConfig model = store.Read(user, true).config;
    model.profiles[0].arguments = QStringLiteral("-new");
    const QByteArray theirs = QByteArray(mine).replace("Mine", "Their");
    store.SetBeforeReplace([&] {
        if (edit == "same size")
            QVERIFY(WriteBytes(user, theirs));
        if (edit == "rename") {
            QVERIFY(WriteBytes(user + ".theirs", theirs));
            QVERIFY(::rename(QFile::encodeName(user + ".theirs").constData(),
                             QFile::encodeName(user).constData()) == 0);
        }
        if (edit == "remove")
            QVERIFY(QFile::remove(user));
    });
    const ConfigSaveResult result = store.Save(model);
    QCOMPARE(result.saved, saved);
    QCOMPARE(result.changedOnDisk, !saved);
    const QByteArray expected =
        saved ? FormatConfigUtf8(model) : (edit == "remove" ? QByteArray() : theirs);
    QCOMPARE(ReadBytes(user), expected);
    QCOMPARE(QFileInfo::exists(user), edit != "remove");
    QCOMPARE(QDir(root).entryList({"Launcher.ini.*"}, QDir::Files | QDir::Hidden), QStringList());
}

void TestConfigStore::settleRules_data()
{
    // Steps: "write <text>" (in place), "rename <text>" (a new file renamed over), "wait <ms>"
    // (on the store's clock), "check" (the store looks, as its watcher or timer makes it),
    // "save" (the launcher's own save of the model it read).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<bool>>("announced"); // after each "check"
    QTest::addColumn<bool>("saveWritten");      // the last "save", if any
    const QByteArray whole = "$VERSION 106\n[Profile]\n\"Theirs\"\t\"\"\n[Resolution]\n"
                             "[PixelDensity]\n[Input]\n";
    QTest::newRow("taken in once it has kept its stamp for the settle time")
        << QStringList{"write " + whole, "check", "wait 499", "check", "wait 1", "check"}
        << QList<bool>{false, false, true} << false;
    QTest::newRow("a change within the settle time starts it again")
        << QStringList{"write " + whole, "check",    "wait 400", "write " + whole + "# more\n",
                       "check",          "wait 400", "check",    "wait 100",
                       "check"}
        << QList<bool>{false, false, false, true} << false;
    QTest::newRow("a file cut in a line is given five settle times")
        << QStringList{"write $VERSION 106\n[Profile]\n\"The",
                       "check",
                       "wait 600",
                       "check",
                       "wait 1899",
                       "check",
                       "wait 1",
                       "check"}
        << QList<bool>{false, false, false, true} << false;
    QTest::newRow("nothing is written while a change is unsettled")
        << QStringList{"rename " + whole, "check", "wait 100", "save"} << QList<bool>{false}
        << false;
    QTest::newRow("a change the watcher missed is found by the save")
        << QStringList{"rename " + whole, "save"} << QList<bool>{} << false;
}

// When someone else's change of Launcher.ini is read, and when the launcher writes, decided on
// the store's own clock: no test here sleeps.
void TestConfigStore::settleRules()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<bool>, announced);
    QFETCH(bool, saveWritten);
    const QString root = TestEnvironment::current()->root() + "/settle-" + QTest::currentDataTag();
    const QString user = root + "/Launcher.ini";
    const QByteArray mine = "$VERSION 106\n[Profile]\n\"Mine\"\t\"\"\n";
    QVERIFY(WriteBytes(user, mine));
    ConfigStore store(user, root + "/LauncherDefault.ini");
    qint64 now = 0;
    store.SetClock([&now] { return now; });
    const LauncherConfig model = store.Read(user, true).config;
    QSignalSpy changed(&store, &ConfigStore::userFileChanged);
    QList<bool> seen;
    ConfigSaveResult saved;
    for (const QString &step : std::as_const(steps)) {
        const QString argument = step.section(' ', 1);
        if (step.startsWith("write ")) {
            QVERIFY(WriteBytes(user, argument.toUtf8()));
        } else if (step.startsWith("rename ")) {
            QVERIFY(WriteBytes(user + ".new", argument.toUtf8()));
            QCOMPARE(::rename(QFile::encodeName(user + ".new").constData(),
                              QFile::encodeName(user).constData()),
                     0);
        } else if (step.startsWith("wait ")) {
            now += argument.toInt();
        } else if (step == "check") {
            changed.clear();
            store.CheckUserFile();
            seen.append(changed.size() == 1);
        } else if (step == "save") {
            const QByteArray before = ReadBytes(user);
            saved = store.Save(model);
            QCOMPARE(ReadBytes(user) == before, !saved.saved);
            QVERIFY(saved.saved || saved.waiting || saved.changedOnDisk);
        }
    }
    QCOMPARE(seen, announced);
    if (steps.contains("save"))
        QCOMPARE(saved.saved, saveWritten);
    else
        QCOMPARE(store.OutsideChangePending(), announced.contains(true));
}

void TestConfigStore::racyStamps_data()
{
    QTest::addColumn<qint64>("modifiedNs");
    QTest::addColumn<qint64>("changedNs");
    QTest::addColumn<qint64>("nowNs");
    QTest::addColumn<bool>("racy");
    const qint64 ms = 1000000;
    const qint64 t = qint64(1765000000) * 1000000000 + 123456789;
    QTest::newRow("changed a moment ago") << t << t << t + 50 * ms << true;
    QTest::newRow("changed long enough ago") << t << t << t + 150 * ms << false;
    QTest::newRow("only the inode changed a moment ago")
        << t - 5000 * ms << t << t + 10 * ms << true;
    // A file system that keeps whole seconds stamps a whole second alike.
    const qint64 whole = qint64(1765000000) * 1000000000;
    QTest::newRow("whole seconds, 1.5 s ago") << whole << whole << whole + 1500 * ms << true;
    QTest::newRow("whole seconds, 2.5 s ago") << whole << whole << whole + 2500 * ms << false;
}

// A stamp this recent cannot tell two writes of the same size apart: the store then compares
// the file's contents.
void TestConfigStore::racyStamps()
{
    QFETCH(qint64, modifiedNs);
    QFETCH(qint64, changedNs);
    QFETCH(qint64, nowNs);
    QFETCH(bool, racy);
    FileStamp stamp;
    stamp.exists = true;
    stamp.modifiedNs = modifiedNs;
    stamp.changedNs = changedNs;
    QCOMPARE(stamp.IsRacy(nowNs), racy);
    // A file written a moment ago is racy; the same bytes are still the same file, others not.
    const QString path = TestEnvironment::current()->root() + "/racy.ini";
    QVERIFY(WriteBytes(path, "$VERSION 106\n[Profile]\n\"Aa\"\t\"\"\n"));
    ConfigStore store(path, path + ".default");
    store.Read(path, true);
    QVERIFY(store.UserFileUnchanged());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(25) && file.write("Bb") == 2);
    file.close();
    QVERIFY(!store.UserFileUnchanged());
}

// The watch goes with a file that is removed or renamed away; the file that takes its place is
// watched anew, so that a later edit in place is still seen.
void TestConfigStore::watchFollowsAReplacedFile()
{
    const QString root = TestEnvironment::current()->root() + "/watched";
    const QString user = root + "/Launcher.ini";
    const QByteArray sections = "[Resolution]\n[PixelDensity]\n[Input]\n";
    QVERIFY(WriteBytes(user, "$VERSION 106\n[Profile]\n\"One\"\t\"\"\n" + sections));
    ConfigStore store(user, root + "/LauncherDefault.ini");
    store.SetSettleTime(20);
    store.Read(user, true);
    store.WatchUserFile();
    QSignalSpy changed(&store, &ConfigStore::userFileChanged);
    QVERIFY(QFile::remove(user));
    QVERIFY(WriteBytes(user + ".new", sections + "$VERSION 106\n[Profile]\n\"Two\"\t\"\"\n"));
    QCOMPARE(
        ::rename(QFile::encodeName(user + ".new").constData(), QFile::encodeName(user).constData()),
        0);
    QTRY_COMPARE(changed.size(), 1);
    QCOMPARE(store.ReadChangedUserFile().config.ProfileNames(), QStringList{"Two"});
    QFile file(user);
    QVERIFY(file.open(QIODevice::Append) && file.write("\"Three\"\t\"\"\n") > 0);
    file.close();
    QTRY_COMPARE(changed.size(), 2);
    QCOMPARE(store.ReadChangedUserFile().config.ProfileNames(), (QStringList{"Two", "Three"}));
}

void TestConfigStore::outdatedPathNeverTaken()
{
    const QString dir = TestEnvironment::current()->root() + QStringLiteral("/outdated");
    QDir().mkpath(dir);
    const QString user = dir + QStringLiteral("/Launcher.ini");
    QCOMPARE(FreeOutdatedConfigPath(user, 104), dir + QStringLiteral("/Launcher.104.ini"));
    QCOMPARE(FreeOutdatedConfigPath(user, 0), dir + QStringLiteral("/Launcher.0.ini"));
    QCOMPARE(FreeOutdatedConfigPath(user, -5), dir + QStringLiteral("/Launcher.-5.ini"));

    for (const QString name : {"Launcher.104.ini", "Launcher.104.1.ini"}) {
        QFile file(dir + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(FreeOutdatedConfigPath(user, 104), dir + QStringLiteral("/Launcher.104.2.ini"));
    // A dangling link is a taken name too.
    QVERIFY(
        QFile::link(dir + QStringLiteral("/nowhere"), dir + QStringLiteral("/Launcher.105.ini")));
    QCOMPARE(FreeOutdatedConfigPath(user, 105), dir + QStringLiteral("/Launcher.105.1.ini"));
}

VELMORA_GUILESS_TEST_MAIN(TestConfigStore)
#include "tst_configstore.moc"
