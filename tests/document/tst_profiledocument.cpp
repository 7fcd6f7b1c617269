// The profiles as the user edits them, without a window: every change a command on a named
// profile, undone and redone against the model as it is at that moment, also after an edit
// made outside the launcher.

#include "configfile.h"
#include "configformat.h"
#include "devicecatalogue.h"
#include "profiledocument.h"
#include "testenvironment.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

#include <functional>

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
    void EditOutside(const Outside &edit)
    {
        document.WaitForSaves();
        LauncherConfig theirs = document.Config();
        edit(theirs);
        QVERIFY(WriteBytes(path, FormatConfigUtf8(theirs)));
        document.TakeInOutsideChange();
    }
};

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
               return d.RemoveProfiles({"A", "C", "Default", "Gone"});
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
        const auto outcome = d.Import(file, [](const QString &) { return ImportChoice::Replace; });
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
    QCOMPARE(edit(f.document), ProfileDocument::EditResult::Done);
    QCOMPARE(f.Now(), after);
    QCOMPARE(f.OnDisk(), after);
    QUndoStack *history = f.document.History();
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
    QTest::addColumn<bool>("undoFirst"); // the outside edit comes between undo and redo
    QTest::addColumn<Outside>("outside");
    QTest::addColumn<QString>("expected"); // after the undo (or the redo)
    QTest::addColumn<QString>("skipped");  // what the message says, when the step is left out

    const Edit removeB = [](ProfileDocument &d) {
        return d.RemoveProfile("B");
    };
    QTest::newRow("a removal undone below the profile it followed")
        << removeB << false << Outside([](LauncherConfig &c) {
               c.profiles.move(c.FindProfile("A"), c.profiles.size() - 1);
           })
        << "Default:Phone/Low/Touch: | C:HD/High/Touch: | A:Tablet/High/Touch:-a | "
           "B:HD/Low/Keys:-b || Phone,Tablet,HD | Low,High | Touch,Keys"
        << QString();
    QTest::newRow("a removal undone at its row once that profile went")
        << removeB << false << Outside([](LauncherConfig &c) { RemoveProfileNamed(c, "A"); })
        << "Default:Phone/Low/Touch: | C:HD/High/Touch: | B:HD/Low/Keys:-b || Phone,Tablet,HD | "
           "Low,High | Touch,Keys"
        << QString();
    QTest::newRow("a removal not undone: another profile took the name")
        << removeB << false << Outside([](LauncherConfig &c) {
               c.AppendProfile({"B", " -other", {0, 0, 0}});
           })
        << "Default:Phone/Low/Touch: | A:Tablet/High/Touch:-a | C:HD/High/Touch: | "
           "B:Phone/Low/Touch:-other || Phone,Tablet,HD | Low,High | Touch,Keys"
        << "Remove \"B\" could not be undone: another profile is named \"B\".";
    QTest::newRow("an update not undone: the profile went")
        << Edit([](ProfileDocument &d) {
               return d.UpdateProfile("B", Settings({0, 0, 0}, ""));
           })
        << false << Outside([](LauncherConfig &c) { RemoveProfileNamed(c, "B"); })
        << QString(Initial).remove("B:HD/Low/Keys:-b | ")
        << "Update \"B\" could not be undone: the profile \"B\" no longer exists.";
    QTest::newRow("a rename undone by name, keeping what changed outside")
        << Edit([](ProfileDocument &d) { return d.RenameProfile("B", "Bee"); }) << false
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("Bee")].arguments = " -z"; })
        << QString(Initial).replace("B:HD/Low/Keys:-b", "B:HD/Low/Keys:-z") << QString();
    QTest::newRow("an option removal undone; a user changed outside keeps its change")
        << Edit([](ProfileDocument &d) { return d.RemoveOption(SectionResolution, HD); }) << false
        << Outside([](LauncherConfig &c) { c.profiles[c.FindProfile("C")].arguments = " -c"; })
        << QString(Initial).replace("C:HD/High/Touch:", "C:Phone/High/Touch:-c") << QString();
    QTest::newRow("an option entry removed outside: the update using it is not undone")
        << Edit([](ProfileDocument &d) {
               return d.UpdateProfile("A", Settings({0, 0, 0}, ""));
           })
        << false << Outside([](LauncherConfig &c) { c.RemoveOption(SectionResolution, 1); })
        << "Default:Phone/Low/Touch: | A:Phone/Low/Touch: | B:HD/Low/Keys:-b | C:HD/High/Touch: || "
           "Phone,HD | Low,High | Touch,Keys"
        << "Update \"A\" could not be undone: the option \"Tablet\" is no longer in its list.";
    QTest::newRow("an add not redone: the name was taken meanwhile")
        << Edit([](ProfileDocument &d) {
               return d.AddProfile("D", Settings({0, 0, 0}, ""));
           })
        << true << Outside([](LauncherConfig &c) {
               c.AppendProfile({"D", " -theirs", {1, 1, 1}});
           })
        << Initial.section(" || ", 0, 0) +
               " | D:Tablet/High/Keys:-theirs || Phone,Tablet,HD | Low,High | Touch,Keys"
        << "Add \"D\" could not be redone: another profile is named \"D\".";
}

// An edit made outside keeps the history: a step that still applies by name is undone (or
// redone) as usual, one that no longer does is left out, said, and nothing changes.
void TestProfileDocument::stepsAfterOutsideEdits()
{
    QFETCH(Edit, edit);
    QFETCH(bool, undoFirst);
    QFETCH(Outside, outside);
    QFETCH(QString, expected);
    QFETCH(QString, skipped);
    Fixture f;
    QSignalSpy said(&f.document, &ProfileDocument::stepSkipped);
    QCOMPARE(edit(f.document), ProfileDocument::EditResult::Done);
    QUndoStack *history = f.document.History();
    if (undoFirst)
        history->undo();
    f.EditOutside(outside);
    const QString before = f.Now();
    if (undoFirst)
        history->redo();
    else
        history->undo();
    QCOMPARE(f.Now(), skipped.isEmpty() ? expected : before);
    QCOMPARE(f.Now(), expected);
    QCOMPARE(f.OnDisk(), expected);
    QCOMPARE(said.size(), skipped.isEmpty() ? 0 : 1);
    if (!skipped.isEmpty()) {
        QCOMPARE(said.first().first().toString(), skipped);
        // Left out of the history: nothing is left to undo or redo.
        QCOMPARE(history->count(), 0);
    }
}

void TestProfileDocument::editsFindTheirProfileByName_data()
{
    QTest::addColumn<Outside>("outside");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<ProfileDocument::EditResult>("result");

    const Outside removeB = [](LauncherConfig &c) {
        RemoveProfileNamed(c, "B");
    };
    const Outside removeA = [](LauncherConfig &c) {
        RemoveProfileNamed(c, "A");
    };
    using R = ProfileDocument::EditResult;
    QTest::newRow("remove") << removeB
                            << Edit([](ProfileDocument &d) { return d.RemoveProfile("B"); })
                            << R::Missing;
    QTest::newRow("update") << removeB << Edit([](ProfileDocument &d) {
        return d.UpdateProfile("B", Settings({0, 0, 0}, ""));
    }) << R::Missing;
    QTest::newRow("rename") << removeB
                            << Edit([](ProfileDocument &d) { return d.RenameProfile("B", "Z"); })
                            << R::Missing;
    QTest::newRow("rename to a name added meanwhile") << Outside([](LauncherConfig &c) {
        c.AppendProfile({"Z", "", {0, 0, 0}});
    }) << Edit([](ProfileDocument &d) { return d.RenameProfile("B", "Z"); })
                                                      << R::NameTaken;
    QTest::newRow("move") << removeB
                          << Edit([](ProfileDocument &d) { return d.MoveProfile("B", 1); })
                          << R::Missing;
    QTest::newRow("replace by a device profile") << removeA << Edit([](ProfileDocument &d) {
        return d.AddDeviceProfile({"A", 480, 800, 120}, false, true);
    }) << R::Missing;
    QTest::newRow("remove an option")
        << Outside([](LauncherConfig &c) { c.RemoveOption(SectionResolution, 2); })
        << Edit([](ProfileDocument &d) { return d.RemoveOption(SectionResolution, HD); })
        << R::Missing;
    // A's stored entry is found by value after the list moved under it.
    QTest::newRow("update, the option found by value") << Outside([](LauncherConfig &c) {
        c.RemoveOption(SectionResolution, 0 + 1);
    }) << Edit([](ProfileDocument &d) {
        return d.UpdateProfile("A", Settings({2, 0, 0}, ""));
    }) << R::Done;
}

// A question answered after an edit made outside: the edit names its profile, finds it again,
// and changes nothing (and no file) when it is gone.
void TestProfileDocument::editsFindTheirProfileByName()
{
    QFETCH(Outside, outside);
    QFETCH(Edit, edit);
    QFETCH(ProfileDocument::EditResult, result);
    Fixture f;
    f.EditOutside(outside);
    const QString before = f.Now();
    QCOMPARE(edit(f.document), result);
    if (result == ProfileDocument::EditResult::Done) {
        QCOMPARE(f.Now(), "Default:Phone/Low/Touch: | A:HD/Low/Touch: | B:HD/Low/Keys:-b | "
                          "C:HD/High/Touch: || Phone,HD | Low,High | Touch,Keys");
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

VELMORA_TEST_MAIN_WITH(QGuiApplication, TestProfileDocument)
#include "tst_profiledocument.moc"
