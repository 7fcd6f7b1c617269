// The profiles as the user edits them, without a window: every change a command on a named
// profile, undone and redone against the model as it is at that moment, also after an edit
// made outside the launcher.

#include "configfile.h"
#include "configformat.h"
#include "devicecatalogue.h"
#include "drivenwriter.h"
#include "profiledocument.h"
#include "testenvironment.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

using Edit = std::function<ProfileDocument::EditResult(ProfileDocument &)>;
using Outside = std::function<void(LauncherConfig &)>;
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Outside)
Q_DECLARE_METATYPE(ProfileDocument::EditResult)

namespace {

// Default, A, B and C over three resolutions, two densities and two inputs.
LauncherConfig Model()
{
    LauncherConfig config;
    config.ResetSections();
    config.AppendEntry(SectionResolution, "Phone", " -windowsize 480x800");
    config.AppendEntry(SectionResolution, "Tablet", " -windowsize 800x1280");
    config.AppendEntry(SectionResolution, "HD", " -windowsize 720x1280");
    config.AppendEntry(SectionPixelDensity, "Low", " -ppi 120");
    config.AppendEntry(SectionPixelDensity, "High", " -ppi 320");
    config.AppendEntry(SectionInput, "Touch", "");
    config.AppendEntry(SectionInput, "Keys", " -keys");
    config.profiles = {{"Default", "", {0, 0, 0}},
                       {"A", " -a", {1, 1, 0}},
                       {"B", " -b", {2, 0, 1}},
                       {"C", "", {2, 1, 0}}};
    return config;
}

// "name:resolution/density/input:arguments | ... || entries | entries | entries", options by
// entry name, so that a wrong position shows as the wrong name; blanks in the arguments as the
// file keeps them.
QString Describe(const LauncherConfig &config)
{
    QStringList profiles;
    for (const LauncherProfile &profile : config.profiles) {
        QStringList options;
        for (int s = 1; s <= OptionSectionCount; ++s) {
            const int index = profile.optionIndex.value(s - 1, -1);
            options.append(config.HasEntry(s, index) ? config.sections.at(s).entries.at(index).name
                                                     : QStringLiteral("?"));
        }
        profiles.append(profile.name + ':' + options.join('/') + ':' +
                        profile.arguments.simplified());
    }
    QStringList entries;
    for (int s = 1; s <= OptionSectionCount; ++s)
        entries.append(config.EntryNames(s).join(','));
    return profiles.join(QStringLiteral(" | ")) + QStringLiteral(" || ") +
           entries.join(QStringLiteral(" | "));
}

const QString Initial = "Default:Phone/Low/Touch: | A:Tablet/High/Touch:-a | B:HD/Low/Keys:-b | "
                        "C:HD/High/Touch: || Phone,Tablet,HD | Low,High | Touch,Keys";

ProfileSettings Settings(const QList<int> &positions, const QString &arguments)
{
    return ProfileSettings::Of(Model(), positions, arguments);
}

const ConfigEntry HD{"HD", " -windowsize 720x1280"};

// A document over a Launcher.ini of Model() in this test's home.
struct Fixture
{
    QString path = TestEnvironment::current()->root() + QStringLiteral("/doc/Launcher.ini");
    ProfileDocument document{path, path + QStringLiteral(".default")};

    Fixture()
    {
        QFile::remove(path);
        // With comments a user typed: every step writes them back.
        LauncherConfig model = Model();
        model.comments = {{ConfigComment::BeforeEntry, SectionProfile, "B", {"# about B"}},
                          {ConfigComment::SectionEnd, SectionResolution, {}, {"# by hand"}}};
        WriteBytes(path, FormatConfigUtf8(model));
        document.Read(path, true);
    }
    QString Now() const { return Describe(document.Config()); }
    // What is on disk once every save has landed.
    QString OnDisk()
    {
        document.WaitForSaves();
        const ConfigLoadResult read = LoadConfigFile(path);
        if (read.status != ConfigLoadResult::Loaded)
            return QStringLiteral("unreadable");
        const QByteArray bytes = ReadBytes(path);
        const bool commentsKept =
            bytes.contains("\n# about B\n") && bytes.contains("\n# by hand\n\n[PixelDensity]\n");
        return Describe(read.config) + (commentsKept ? "" : " (comments lost)");
    }
    // With `noticed` false the document is not told: the step that follows finds the file
    // changed by itself, as one made before the watcher spoke does.
    void EditOutside(const Outside &edit, bool noticed = true)
    {
        document.WaitForSaves();
        LauncherConfig theirs = document.Config();
        edit(theirs);
        QVERIFY(WriteBytes(path, FormatConfigUtf8(theirs)));
        if (noticed)
            document.TakeInOutsideChange();
    }
};

// An import whose answers apply at once. Where nothing changed outside, it ends at once; else
// it first waits for that change, which `mayWait` allows.
ProfileDocument::ImportOutcome Imported(ProfileDocument &document, const QString &file,
                                        const ProfileDocument::ImportDecider &decide,
                                        bool mayWait = false)
{
    ProfileDocument::ImportOutcome outcome;
    bool done = false;
    document.Import(file, decide, [&](const ProfileDocument::ImportOutcome &o) {
        outcome = o;
        done = true;
    });
    if (!done && !mayWait)
        qWarning("the import waited");
    if (!QTest::qWaitFor([&done] { return done; }, 5000))
        qWarning("the import never ended");
    return outcome;
}

void RemoveProfileNamed(LauncherConfig &config, const QString &name)
{
    config.RemoveProfile(config.FindProfile(name));
}

} // namespace

class TestProfileDocument : public QObject
{
    Q_OBJECT

private slots:
    void commandsUndoAndRedo_data();
    void commandsUndoAndRedo();
    void stepsAfterOutsideEdits_data();
    void stepsAfterOutsideEdits();
    void editsFindTheirProfileByName_data();
    void editsFindTheirProfileByName();
    void historyOutlastsAHundredSteps();
    void stepsWhileAnotherProgramWrites_data();
    void stepsWhileAnotherProgramWrites();
    void closeWritesWithinItsBound_data();
    void closeWritesWithinItsBound();
};

void TestProfileDocument::commandsUndoAndRedo_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("undoText");

    QTest::newRow("add") << Edit([](ProfileDocument &d) {
        return d.AddProfile("D", Settings({1, 0, 1}, " -d"));
    })
                         << Initial.section(" || ", 0, 0) +
                                " | D:Tablet/Low/Keys:-d || Phone,Tablet,HD | Low,High | "
                                "Touch,Keys"
                         << "Add \"D\"";
    QTest::newRow("update") << Edit([](ProfileDocument &d) {
        return d.UpdateProfile("B", Settings({0, 1, 0}, " -new"));
    }) << QString(Initial).replace("B:HD/Low/Keys:-b", "B:Phone/High/Touch:-new")
                            << "Update \"B\"";
    QTest::newRow("remove, back at its place with what it stored")
        << Edit([](ProfileDocument &d) { return d.RemoveProfile("B"); })
        << QString(Initial).remove("B:HD/Low/Keys:-b | ") << "Remove \"B\"";
    QTest::newRow("remove several in one step, back in their places")
        << Edit([](ProfileDocument &d) {
               const auto removal = d.RemoveProfiles({*d.ExpectedOf("A"),
                                                      *d.ExpectedOf("C"),
                                                      *d.ExpectedOf("Default"),
                                                      {"Gone", ProfileSettings()}});
               return removal.gone == QStringList{"Gone"} ? ProfileDocument::EditResult::Done
                                                          : ProfileDocument::EditResult::Missing;
           })
        << QString(Initial).remove("A:Tablet/High/Touch:-a | ").remove(" | C:HD/High/Touch:")
        << "Remove 2 profiles";
    QTest::newRow("rename") << Edit([](ProfileDocument &d) { return d.RenameProfile("B", "Bee"); })
                            << QString(Initial).replace("B:HD", "Bee:HD")
                            << "Rename \"B\" to \"Bee\"";
    QTest::newRow("move") << Edit([](ProfileDocument &d) { return d.MoveProfile("C", 1); })
                          << "Default:Phone/Low/Touch: | C:HD/High/Touch: | A:Tablet/High/Touch:-a "
                             "| B:HD/Low/Keys:-b || Phone,Tablet,HD | Low,High | Touch,Keys"
                          << "Move \"C\"";
    // Alt+Down held: one step, written once.
    QTest::newRow("moves of one profile in a row")
        << Edit([](ProfileDocument &d) {
               for (const int to : {2, 3, 2, 1}) {
                   d.MoveProfile("C", to);
                   QTest::qWait(20); // as a key repeats, well within the quiet a save waits for
               }
               return d.History()->count() == 1 ? ProfileDocument::EditResult::Done
                                                : ProfileDocument::EditResult::Missing;
           })
        << "Default:Phone/Low/Touch: | C:HD/High/Touch: | A:Tablet/High/Touch:-a "
           "| B:HD/Low/Keys:-b || Phone,Tablet,HD | Low,High | Touch,Keys"
        << "Move \"C\"";
    QTest::newRow("add a resolution") << Edit([](ProfileDocument &d) {
        d.AddOption(SectionResolution, {"Wide", " -windowsize 1920x1080"});
        return ProfileDocument::EditResult::Done;
    }) << QString(Initial).replace("Phone,Tablet,HD", "Phone,Tablet,HD,Wide")
                                      << "Add Resolution \"Wide\"";
    // Both users fall back to the first entry and keep the value in their arguments; undone,
    // they take it again with their arguments as before.
    QTest::newRow("remove a resolution two profiles use")
        << Edit([](ProfileDocument &d) { return d.RemoveOption(SectionResolution, HD); })
        << "Default:Phone/Low/Touch: | A:Tablet/High/Touch:-a | B:Phone/Low/Keys:-b -windowsize "
           "720x1280 | C:Phone/High/Touch:-windowsize 720x1280 || Phone,Tablet | Low,High | "
           "Touch,Keys"
        << "Remove Resolution \"HD\"";
    QTest::newRow("remove a resolution below one in use")
        << Edit([](ProfileDocument &d) {
               return d.RemoveOption(SectionResolution, {"Tablet", " -windowsize 800x1280"});
           })
        << QString(Initial)
               .replace("A:Tablet/High/Touch:-a", "A:Phone/High/Touch:-a -windowsize 800x1280")
               .replace("Phone,Tablet,HD", "Phone,HD")
        << "Remove Resolution \"Tablet\"";
    QTest::newRow("a device profile with the entries it needs")
        << Edit([](ProfileDocument &d) {
               return d.AddDeviceProfile({"Pad", 800, 1280, 240}, true, false);
           })
        << Initial.section(" || ", 0, 0) +
               " | Pad landscape:Pad (1280x800)/240 dpi/Touch: || Phone,Tablet,HD,Pad (1280x800) | "
               "Low,High,240 dpi | Touch,Keys"
        << "New Profile from Device \"Pad landscape\"";
    QTest::newRow("a device profile replacing one, its resolution found by value")
        << Edit([](ProfileDocument &d) {
               d.AddProfile("Pad", Settings({0, 0, 1}, " -x"));
               return d.AddDeviceProfile({"Pad", 720, 1280, 120}, false, true);
           })
        << Initial.section(" || ", 0, 0) + " | Pad:HD/Low/Touch: || Phone,Tablet,HD | Low,High | "
                                           "Touch,Keys"
        << "New Profile from Device \"Pad\"";
    QTest::newRow("import, replacing one") << Edit([](ProfileDocument &d) {
        LauncherConfig other = Model();
        other.profiles = {{"B", " -other", {0, 0, 0}}, {"E", "", {1, 0, 0}}};
        const QString file = TestEnvironment::current()->root() + QStringLiteral("/import.ini");
        WriteBytes(file, FormatConfigUtf8(other));
        const auto outcome =
            Imported(d, file, [](const QString &) { return ImportChoice::Replace; });
        return outcome.report.added.size() == 1 ? ProfileDocument::EditResult::Done
                                                : ProfileDocument::EditResult::Missing;
    })
                                           << QString(Initial)
                                                  .replace("B:HD/Low/Keys:-b",
                                                           "B:Phone/Low/Touch:-other")
                                                  .replace(" || ", " | E:Tablet/Low/Touch: || ")
                                           << "Import Profiles";
}

// Each edit, undone and redone: the model and the file are as before and after it, exactly.
void TestProfileDocument::commandsUndoAndRedo()
{
    QFETCH(Edit, edit);
    QFETCH(QString, after);
    QFETCH(QString, undoText);
    Fixture f;
    QCOMPARE(f.Now(), Initial);
    QSignalSpy saves(&f.document.Store(), &ConfigStore::saved);
    QCOMPARE(edit(f.document), ProfileDocument::EditResult::Done);
    QCOMPARE(f.Now(), after);
    QCOMPARE(f.OnDisk(), after);
    // Each step is written once at most (two quick steps may share one write).
    QUndoStack *history = f.document.History();
    QVERIFY2(saves.size() <= history->count(), qPrintable(QString::number(saves.size())));
    QCOMPARE(history->undoText(), undoText);
    history->undo();
    // The replaced profile was added by an earlier step of the same row.
    const QString undone = history->canUndo()
                               ? QString(Initial).replace(" || ", " | Pad:Phone/Low/Keys:-x || ")
                               : Initial;
    QCOMPARE(f.Now(), undone);
    QCOMPARE(f.OnDisk(), undone);
    history->redo();
    QCOMPARE(f.Now(), after);
    QCOMPARE(f.OnDisk(), after);
}

void TestProfileDocument::stepsAfterOutsideEdits_data()
{
    QTest::addColumn<Edit>("edit");
    // After the edit, in order: "outside" (the other program's edit), "undo", "redo".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<Outside>("outside");
    QTest::addColumn<QString>("expected");    // the model and the file at the end
    QTest::addColumn<QStringList>("skipped"); // what the messages said, in order
    QTest::addColumn<int>("history");         // steps left in the history

    const QStringList outsideUndo{"outside", "undo"};
    const Edit removeB = [](ProfileDocument &d) {
        return d.RemoveProfile("B");
    };
    const Edit updateB = [](ProfileDocument &d) {
        return d.UpdateProfile("B", Settings({0, 0, 0}, ""));
    };
    const Edit removeThree = [](ProfileDocument &d) {
        d.RemoveProfiles({*d.ExpectedOf("A"), *d.ExpectedOf("B"), *d.ExpectedOf("C")});
        return ProfileDocument::EditResult::Done;
    };
    const QString updatedB = QString(Initial).replace("B:HD/Low/Keys:-b", "B:Phone/Low/Touch:");
    QTest::newRow("a removal undone below the profile it followed")
        << removeB << outsideUndo << Outside([](LauncherConfig &c) {
               c.profiles.move(c.FindProfile("A"), c.profiles.size() - 1);
           })
        << "Default:Phone/Low/Touch: | C:HD/High/Touch: | A:Tablet/High/Touch:-a | "
           "B:HD/Low/Keys:-b || Phone,Tablet,HD | Low,High | Touch,Keys"
        << QStringList() << 1;
    QTest::newRow("a removal undone at its row once that profile went")
        << removeB << outsideUndo << Outside([](LauncherConfig &c) { RemoveProfileNamed(c, "A"); })
        << "Default:Phone/Low/Touch: | C:HD/High/Touch: | B:HD/Low/Keys:-b || Phone,Tablet,HD | "
           "Low,High | Touch,Keys"
        << QStringList() << 1;
    QTest::newRow("a removal not undone: another profile took the name")
        << removeB << outsideUndo << Outside([](LauncherConfig &c) {
               c.AppendProfile({"B", " -other", {0, 0, 0}});
           })
        << "Default:Phone/Low/Touch: | A:Tablet/High/Touch:-a | C:HD/High/Touch: | "
           "B:Phone/Low/Touch:-other || Phone,Tablet,HD | Low,High | Touch,Keys"
        << QStringList{"Remove \"B\" could not be undone: another profile is named \"B\"."} << 0;
    QTest::newRow("a removal not redone: the profile of that name is another's now")
        << removeB << QStringList{"undo", "outside", "redo"}
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("B")].arguments = " -new"; })
        << QString(Initial).replace("B:HD/Low/Keys:-b", "B:HD/Low/Keys:-new")
        << QStringList{"Remove \"B\" could not be redone: the profile \"B\" was changed outside "
                       "the launcher since."}
        << 0;
    // Undone in part, the step redoes only what its undo did: the other program's new profile
    // of a removed name stays.
    QTest::newRow("several removed; one name taken outside: undone and redone in part")
        << removeThree << QStringList{"outside", "undo", "redo"} << Outside([](LauncherConfig &c) {
               c.AppendProfile({"B", " -theirs", {0, 0, 0}});
           })
        << "Default:Phone/Low/Touch: | B:Phone/Low/Touch:-theirs || Phone,Tablet,HD | Low,High | "
           "Touch,Keys"
        << QStringList{"Remove 3 profiles could not be undone in full: another profile is named "
                       "\"B\"."}
        << 1;
    QTest::newRow("several removed; undone, all back in their places")
        << removeThree << QStringList{"outside", "undo"} << Outside([](LauncherConfig &c) {
               c.AppendProfile({"D", "", {0, 0, 0}});
           })
        << QString(Initial).replace(" || ", " | D:Phone/Low/Touch: || ") << QStringList() << 1;
    QTest::newRow("an update not undone: the profile went")
        << updateB << outsideUndo << Outside([](LauncherConfig &c) { RemoveProfileNamed(c, "B"); })
        << QString(Initial).remove("B:HD/Low/Keys:-b | ")
        << QStringList{"Update \"B\" could not be undone: the profile \"B\" no longer exists."}
        << 0;
    QTest::newRow("an update not undone: the profile was changed outside since")
        << updateB << outsideUndo
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("B")].arguments = " -z"; })
        << QString(updatedB).replace("B:Phone/Low/Touch:", "B:Phone/Low/Touch:-z")
        << QStringList{"Update \"B\" could not be undone: the profile \"B\" was changed outside "
                       "the launcher since."}
        << 0;
    QTest::newRow("an update undone: only the blanks of its arguments differ on disk")
        << Edit([](ProfileDocument &d) {
               return d.UpdateProfile("B", Settings({0, 0, 0}, "  -x   -y "));
           })
        << outsideUndo << Outside([](LauncherConfig &) {}) << Initial << QStringList() << 1;
    QTest::newRow("a rename not undone: the profile was changed outside since")
        << Edit([](ProfileDocument &d) { return d.RenameProfile("B", "Bee"); }) << outsideUndo
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("Bee")].arguments = " -z"; })
        << QString(Initial).replace("B:HD/Low/Keys:-b", "Bee:HD/Low/Keys:-z")
        << QStringList{"Rename \"B\" to \"Bee\" could not be undone: the profile \"Bee\" was "
                       "changed outside the launcher since."}
        << 0;
    QTest::newRow("a rename not undone: its old name was taken meanwhile")
        << Edit([](ProfileDocument &d) { return d.RenameProfile("B", "Bee"); }) << outsideUndo
        << Outside([](LauncherConfig &c) {
               c.AppendProfile({"B", "", {0, 0, 0}});
           })
        << QString(Initial)
               .replace("B:HD/Low/Keys:-b", "Bee:HD/Low/Keys:-b")
               .replace(" || ", " | B:Phone/Low/Touch: || ")
        << QStringList{"Rename \"B\" to \"Bee\" could not be undone: another profile is named "
                       "\"B\"."}
        << 0;
    // Each user of the option takes it back only while it stores what the removal left.
    QTest::newRow("an option removal undone in part: one user was changed outside")
        << Edit([](ProfileDocument &d) { return d.RemoveOption(SectionResolution, HD); })
        << outsideUndo
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("C")].arguments = " -c"; })
        << QString(Initial).replace("C:HD/High/Touch:", "C:Phone/High/Touch:-c")
        << QStringList{"Remove Resolution \"HD\" could not be undone in full: the profile \"C\" "
                       "was changed outside the launcher since."}
        << 1;
    QTest::newRow("an option removal not redone: a profile took the option up outside")
        << Edit([](ProfileDocument &d) { return d.RemoveOption(SectionResolution, HD); })
        << QStringList{"undo", "outside", "redo"}
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("A")].optionIndex[0] = 2; })
        << QString(Initial).replace("A:Tablet/High/Touch:-a", "A:HD/High/Touch:-a")
        << QStringList{"Remove Resolution \"HD\" could not be redone: the profile \"A\" uses the "
                       "option \"HD\" now."}
        << 0;
    QTest::newRow("an option entry removed outside: the update using it is not undone")
        << Edit([](ProfileDocument &d) {
               return d.UpdateProfile("A", Settings({0, 0, 0}, ""));
           })
        << outsideUndo << Outside([](LauncherConfig &c) { c.RemoveOption(SectionResolution, 1); })
        << "Default:Phone/Low/Touch: | A:Phone/Low/Touch: | B:HD/Low/Keys:-b | C:HD/High/Touch: || "
           "Phone,HD | Low,High | Touch,Keys"
        << QStringList{"Update \"A\" could not be undone: the option \"Tablet\" is no longer in "
                       "its list."}
        << 0;
    QTest::newRow("an added option not undone: a profile took it up outside")
        << Edit([](ProfileDocument &d) {
               d.AddOption(SectionPixelDensity, {"Mid", " -ppi 240"});
               return ProfileDocument::EditResult::Done;
           })
        << outsideUndo
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("C")].optionIndex[1] = 2; })
        << QString(Initial)
               .replace("C:HD/High/Touch:", "C:HD/Mid/Touch:")
               .replace("Low,High", "Low,High,Mid")
        << QStringList{"Add Pixel Density \"Mid\" could not be undone: the profile \"C\" uses the "
                       "option \"Mid\" now."}
        << 0;
    QTest::newRow("an add not redone: the name was taken meanwhile")
        << Edit([](ProfileDocument &d) {
               return d.AddProfile("D", Settings({0, 0, 0}, ""));
           })
        << QStringList{"undo", "outside", "redo"} << Outside([](LauncherConfig &c) {
               c.AppendProfile({"D", " -theirs", {1, 1, 1}});
           })
        << Initial.section(" || ", 0, 0) +
               " | D:Tablet/High/Keys:-theirs || Phone,Tablet,HD | Low,High | Touch,Keys"
        << QStringList{"Add \"D\" could not be redone: another profile is named \"D\"."} << 0;
    QTest::newRow("an add not undone: the profile was changed outside since")
        << Edit([](ProfileDocument &d) {
               return d.AddProfile("D", Settings({0, 0, 0}, ""));
           })
        << outsideUndo
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("D")].arguments = " -z"; })
        << Initial.section(" || ", 0, 0) +
               " | D:Phone/Low/Touch:-z || Phone,Tablet,HD | Low,High | Touch,Keys"
        << QStringList{"Add \"D\" could not be undone: the profile \"D\" was changed outside the "
                       "launcher since."}
        << 0;
    // An import is undone profile by profile: a replaced one changed outside keeps that change.
    QTest::newRow("an import undone in part, then redone in part")
        << Edit([](ProfileDocument &d) {
               LauncherConfig other = Model();
               other.profiles = {{"B", " -other", {0, 0, 0}}, {"E", "", {1, 0, 0}}};
               const QString file = TestEnvironment::current()->root() + "/import.ini";
               WriteBytes(file, FormatConfigUtf8(other));
               Imported(d, file, [](const QString &) { return ImportChoice::Replace; });
               return ProfileDocument::EditResult::Done;
           })
        << QStringList{"outside", "undo", "redo"}
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("B")].arguments = " -z"; })
        << QString(Initial)
               .replace("B:HD/Low/Keys:-b", "B:Phone/Low/Touch:-z")
               .replace(" || ", " | E:Tablet/Low/Touch: || ")
        << QStringList{"Import Profiles could not be undone in full: the profile \"B\" was changed "
                       "outside the launcher since."}
        << 1;
}

// An edit made outside keeps the history: a step that still applies by name, to a profile that
// still stores what the step expects, is undone (or redone) as usual; one that no longer does
// is left out, said, and nothing changes; a step of several applies to each on its own.
void TestProfileDocument::stepsAfterOutsideEdits()
{
    QFETCH(Edit, edit);
    QFETCH(QStringList, steps);
    QFETCH(Outside, outside);
    QFETCH(QString, expected);
    QFETCH(QStringList, skipped);
    QFETCH(int, history);
    Fixture f;
    QSignalSpy said(&f.document, &ProfileDocument::stepSkipped);
    QCOMPARE(edit(f.document), ProfileDocument::EditResult::Done);
    QUndoStack *undo = f.document.History();
    for (const QString &step : std::as_const(steps)) {
        const QString before = f.Now();
        const qsizetype told = said.size();
        if (step == "outside")
            f.EditOutside(outside);
        else if (step == "undo")
            undo->undo();
        else
            undo->redo();
        // A step of which nothing applied changes nothing.
        if (said.size() > told && undo->count() == 0)
            QCOMPARE(f.Now(), before);
    }
    QCOMPARE(f.Now(), expected);
    QCOMPARE(f.OnDisk(), expected);
    QStringList messages;
    for (const QList<QVariant> &message : std::as_const(said))
        messages.append(message.first().toString());
    QCOMPARE(messages, skipped);
    QCOMPARE(undo->count(), history);
}

void TestProfileDocument::editsFindTheirProfileByName_data()
{
    QTest::addColumn<Outside>("outside");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<ProfileDocument::EditResult>("result");
    // Where the edit is also made before the document noticed the outside edit: the model and
    // the file once the save that found the file changed has merged the two.
    QTest::addColumn<QString>("unnoticed");

    using R = ProfileDocument::EditResult;
    const auto row = [](const char *name, const Outside &outside, const Edit &edit, R result,
                        const QString &unnoticed = QString()) {
        QTest::newRow(name) << outside << edit << result << QString();
        if (!unnoticed.isEmpty())
            QTest::addRow("%s, not yet noticed", name) << outside << edit << result << unnoticed;
    };
    const Outside removeB = [](LauncherConfig &c) {
        RemoveProfileNamed(c, "B");
    };
    const Outside removeA = [](LauncherConfig &c) {
        RemoveProfileNamed(c, "A");
    };
    const Outside addZ = [](LauncherConfig &c) {
        c.AppendProfile({"Z", "", {0, 0, 0}});
    };
    row(
        "remove", removeB, [](ProfileDocument &d) { return d.RemoveProfile("B"); }, R::Missing,
        QString(Initial).remove("B:HD/Low/Keys:-b | "));
    row(
        "update", removeB,
        [](ProfileDocument &d) {
            return d.UpdateProfile("B", Settings({0, 0, 0}, ""));
        },
        R::Missing);
    row(
        "rename", removeB, [](ProfileDocument &d) { return d.RenameProfile("B", "Y"); },
        R::Missing);
    row(
        "move", removeB, [](ProfileDocument &d) { return d.MoveProfile("B", 1); }, R::Missing);
    row(
        "replace by a device profile", removeA,
        [](ProfileDocument &d) {
            return d.AddDeviceProfile({"A", 480, 800, 120}, false, true);
        },
        R::Missing);
    row(
        "remove an option", [](LauncherConfig &c) { c.RemoveOption(SectionResolution, 2); },
        [](ProfileDocument &d) { return d.RemoveOption(SectionResolution, HD); }, R::Missing);
    // A's stored entry is found by value after the list moved under it.
    row(
        "update, the option found by value",
        [](LauncherConfig &c) { c.RemoveOption(SectionResolution, 0 + 1); },
        [](ProfileDocument &d) {
            return d.UpdateProfile("A", Settings({2, 0, 0}, ""));
        },
        R::Done);
    // The import adds to the file as it is now, the outside profile kept.
    row(
        "import beside a profile added meanwhile", addZ,
        [](ProfileDocument &d) {
            LauncherConfig other = Model();
            other.profiles = {{"E", "", {1, 0, 0}}};
            const QString file =
                TestEnvironment::current()->root() + QStringLiteral("/import-z.ini");
            WriteBytes(file, FormatConfigUtf8(other));
            const auto outcome = Imported(
                d, file, [](const QString &) { return ImportChoice::Skip; }, true);
            return outcome.report.added == QStringList{"E"} ? R::Done : R::Missing;
        },
        R::Done,
        QString(Initial).replace(" || ", " | Z:Phone/Low/Touch: | E:Tablet/Low/Touch: || "));
    row(
        "rename to a name added meanwhile", addZ,
        [](ProfileDocument &d) { return d.RenameProfile("B", "Z"); }, R::NameTaken,
        QString(Initial).replace(" || ", " | Z:Phone/Low/Touch: || "));
}

// A question answered after an edit made outside: the edit names its profile, finds it again,
// and changes nothing (and no file) when it is gone.
void TestProfileDocument::editsFindTheirProfileByName()
{
    QFETCH(Outside, outside);
    QFETCH(Edit, edit);
    QFETCH(ProfileDocument::EditResult, result);
    QFETCH(QString, unnoticed);
    Fixture f;
    f.EditOutside(outside, unnoticed.isEmpty());
    if (!unnoticed.isEmpty()) {
        // Taken on the model the window shows; its save finds the file changed, and once the
        // change has settled the two are merged and written.
        f.document.Store().SetSettleTime(50);
        f.document.Store().WatchUserFile();
        QSignalSpy notKept(&f.document, &ProfileDocument::changesNotKept);
        QCOMPARE(edit(f.document), ProfileDocument::EditResult::Done);
        QTRY_COMPARE(f.Now(), unnoticed);
        QTRY_COMPARE(f.OnDisk(), unnoticed);
        // What of the user's could not be kept is said.
        QCOMPARE(notKept.size(), result == ProfileDocument::EditResult::NameTaken ? 1 : 0);
        return;
    }
    const QString before = f.OnDisk();
    QCOMPARE(edit(f.document), result);
    if (result == ProfileDocument::EditResult::Done) {
        const QString expected =
            QString(QTest::currentDataTag()).startsWith("import")
                ? QString(Initial).replace(" || ",
                                           " | Z:Phone/Low/Touch: | E:Tablet/Low/Touch: || ")
                : "Default:Phone/Low/Touch: | A:HD/Low/Touch: | B:HD/Low/Keys:-b | "
                  "C:HD/High/Touch: || Phone,HD | Low,High | Touch,Keys";
        QCOMPARE(f.Now(), expected);
        QCOMPARE(f.OnDisk(), expected);
        return;
    }
    QCOMPARE(f.Now(), before);
    QCOMPARE(f.OnDisk(), before);
    QCOMPARE(f.document.History()->count(), 0);
}

void TestProfileDocument::historyOutlastsAHundredSteps()
{
    Fixture f;
    for (int i = 0; i < 150; ++i)
        QCOMPARE(f.document.RenameProfile(i % 2 ? "Bee" : "B", i % 2 ? "B" : "Bee"),
                 ProfileDocument::EditResult::Done);
    f.document.AddOption(SectionPixelDensity, {"Mid", " -ppi 240"});
    for (int i = 0; i < 151; ++i) {
        QVERIFY(f.document.History()->canUndo());
        f.document.History()->undo();
    }
    QCOMPARE(f.Now(), Initial);
    QCOMPARE(f.OnDisk(), Initial);
}

void TestProfileDocument::stepsWhileAnotherProgramWrites_data()
{
    QTest::addColumn<int>("writer");     // DrivenWriter::Kind
    QTest::addColumn<QString>("moment"); // of the user's step: "pause", "finished", "long pause"
    QTest::addColumn<QString>("step");
    const QStringList steps{"update", "remove", "rename", "undo", "redo", "import"};
    const std::pair<int, const char *> writers[] = {{DrivenWriter::TwoSteps, "two steps"},
                                                    {DrivenWriter::RenameOver, "rename over"},
                                                    {DrivenWriter::InPlace, "in place"}};
    for (const auto &[writer, name] : writers) {
        for (const char *moment : {"pause", "finished"}) {
            for (const QString &step : steps)
                QTest::addRow("%s, %s in the %s", name, qPrintable(step),
                              moment == QLatin1String("pause") ? "pause" : "settle time")
                    << writer << QString(moment) << step;
        }
    }
    // Cut in the middle of a line, the file is waited for five settle times; left so longer,
    // it is never taken in nor merged into, and the user's step waits for the whole file.
    for (const char *step : {"update", "undo"}) {
        QTest::addRow("two steps, %s in a pause twice the settle time", step)
            << int(DrivenWriter::TwoSteps) << "long pause" << QString(step);
        QTest::addRow("two steps, %s in a pause ten times the settle time", step)
            << int(DrivenWriter::TwoSteps) << "very long pause" << QString(step);
    }
}

// Another program writes Launcher.ini in steps while the user works: nothing is written while
// its change is unsettled, and once it has settled the user's step lands in their file by name.
void TestProfileDocument::stepsWhileAnotherProgramWrites()
{
    QFETCH(int, writer);
    QFETCH(QString, moment);
    QFETCH(QString, step);
    Fixture f;
    ConfigStore &store = f.document.Store();
    qint64 now = 0;
    store.SetClock([&now] { return now; });
    const ProfileSettings updated = Settings({0, 0, 0}, " -u");
    if (step == "undo" || step == "redo")
        QCOMPARE(f.document.UpdateProfile("B", updated), ProfileDocument::EditResult::Done);
    if (step == "redo")
        f.document.History()->undo();
    f.document.WaitForSaves();

    // Theirs: A's arguments changed (the same size in place), and a profile added otherwise.
    LauncherConfig theirs = f.document.Config();
    theirs.profiles[theirs.FindProfile("A")].arguments = " -w";
    if (writer != DrivenWriter::InPlace)
        theirs.AppendProfile({"Outside", " -o", {1, 0, 0}});
    // What the user's step makes of B, in theirs.
    LauncherConfig expected = theirs;
    const int b = expected.FindProfile("B");
    if (step == "update" || step == "redo")
        expected.profiles[b] = {"B", " -u", {0, 0, 0}};
    if (step == "remove")
        expected.RemoveProfile(b);
    if (step == "rename")
        expected.RenameProfile(b, "Bee");
    if (step == "undo")
        expected.profiles[b] = Model().profiles.at(2);
    if (step == "import")
        expected.profiles[b] = {"B", " -imported", {1, 1, 1}};
    const QString importFile = TestEnvironment::current()->root() + "/import-while.ini";
    LauncherConfig imported = Model();
    imported.profiles = {{"B", " -imported", {1, 1, 1}}};
    QVERIFY(WriteBytes(importFile, FormatConfigUtf8(imported)));

    std::optional<ProfileDocument::ImportOutcome> importOutcome;
    const auto userStep = [&] {
        if (step == "update")
            QCOMPARE(f.document.UpdateProfile("B", updated), ProfileDocument::EditResult::Done);
        if (step == "remove")
            QCOMPARE(f.document.RemoveProfile("B"), ProfileDocument::EditResult::Done);
        if (step == "rename")
            QCOMPARE(f.document.RenameProfile("B", "Bee"), ProfileDocument::EditResult::Done);
        if (step == "undo")
            f.document.History()->undo();
        if (step == "redo")
            f.document.History()->redo();
        if (step == "import")
            f.document.Import(
                importFile, [](const QString &) { return ImportChoice::Replace; },
                [&](const ProfileDocument::ImportOutcome &o) { importOutcome = o; });
        f.document.WaitForSaves();
    };

    const QByteArray text = FormatConfigUtf8(theirs);
    // Cut in the middle of a line, as a writer that stops after so many bytes cuts it.
    DrivenWriter other(f.path, text, DrivenWriter::Kind(writer));
    QVERIFY(other.Begin());
    store.CheckUserFile();
    const QByteArray during = ReadBytes(f.path);
    if (moment == "finished") {
        QVERIFY(other.Finish());
        store.CheckUserFile();
    }
    QSignalSpy cutOff(&f.document, &ProfileDocument::outsideChangeUnusable);
    now += moment == "long pause"        ? 2 * ConfigStore::DefaultSettleMs
           : moment == "very long pause" ? 10 * ConfigStore::DefaultSettleMs
                                         : 100;
    store.CheckUserFile();
    // Said once a cut-off file has been left so for longer than any writer pauses.
    QCOMPARE(cutOff.size(), moment == "very long pause" ? 1 : 0);
    userStep();
    if (writer != DrivenWriter::RenameOver) {
        // Nothing replaced the file they are writing, and nothing half-written was taken in.
        QVERIFY(!f.document.Settled() || f.document.SavesHeld());
        QCOMPARE(ReadBytes(f.path), moment == "finished" ? text : during);
        QCOMPARE(f.document.Config().ProfileNames().contains("Outside"), false);
    }
    if (moment != "finished") {
        QVERIFY(other.Finish());
        store.CheckUserFile();
    }
    now += ConfigStore::DefaultSettleMs;
    store.CheckUserFile();
    f.document.WaitForSaves();
    QVERIFY(f.document.Settled());
    QCOMPARE(f.OnDisk(), Describe(expected));
    QCOMPARE(f.Now(), Describe(expected));
    if (step == "import") {
        QVERIFY(importOutcome);
        QCOMPARE(importOutcome->report.replaced, QStringList{"B"});
    }
}

void TestProfileDocument::closeWritesWithinItsBound_data()
{
    QTest::addColumn<bool>("rewriter"); // else a writer that stopped half-way
    QTest::newRow("a writer that stopped half-way") << false;
    QTest::newRow("a program rewriting the file all the time") << true;
}

// Closing never waits for ever on a file someone else keeps changing: the user's change is
// written into what is there once the bound has passed.
void TestProfileDocument::closeWritesWithinItsBound()
{
    QFETCH(bool, rewriter);
    Fixture f;
    ConfigStore &store = f.document.Store();
    store.SetSettleTime(50);
    LauncherConfig theirs = f.document.Config();
    theirs.AppendProfile({"Outside", " -o", {1, 0, 0}});
    const QByteArray text = FormatConfigUtf8(theirs);
    std::atomic<bool> stop{false};
    std::thread rewriting;
    // The first part of theirs ends after C's line, in the middle of Outside's.
    DrivenWriter other(f.path, text, DrivenWriter::TwoSteps, text.indexOf("\"Outside\"") + 4);
    if (rewriter) {
        rewriting = std::thread([&] {
            for (int i = 0; !stop; ++i) {
                DrivenWriter again(f.path, text + "# " + QByteArray::number(i) + "\n",
                                   DrivenWriter::RenameOver);
                again.Begin();
                again.Finish();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    } else {
        QVERIFY(other.Begin());
    }
    QTRY_VERIFY((store.CheckUserFile(), store.OutsideChangePending()));
    QCOMPARE(f.document.UpdateProfile("C", Settings({0, 0, 0}, " -closing")),
             ProfileDocument::EditResult::Done);
    const bool written = f.document.WriteAll();
    stop = true;
    if (rewriting.joinable())
        rewriting.join();
    QVERIFY(written);
    if (!rewriter) {
        // Never merged into half a file: the last whole file with the user's change takes its
        // place, every option list kept.
        QVERIFY(!f.document.Config().ProfileNames().contains("Outside"));
        QCOMPARE(f.OnDisk(),
                 QString(Initial).replace("C:HD/High/Touch:", "C:Phone/Low/Touch:-closing"));
    }
}

VELMORA_TEST_MAIN_WITH(QGuiApplication, TestProfileDocument)
#include "tst_profiledocument.moc"
