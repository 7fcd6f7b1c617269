// The profiles as the user edits them, without a window: every change a command on a named
// profile, undone and redone against the model as it is at that moment, also after an edit
// made outside the launcher.

#include "documentfixture.h"

class TestProfileDocument : public QObject
{
    Q_OBJECT

private slots:
    void commandsUndoAndRedo_data();
    void commandsUndoAndRedo();
    void editsFindTheirProfileByName_data();
    void editsFindTheirProfileByName();
    void historyOutlastsAHundredSteps();
    void historyBoundedByMemory();
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

// Past the history's memory, the oldest steps let go of what they keep: undoing one says why it
// cannot be, and it leaves the history; the newest step keeps its own however large.
void TestProfileDocument::historyBoundedByMemory()
{
    Fixture f;
    f.document.SetHistoryBytes(100);
    QUndoStack *history = f.document.History();
    QSignalSpy skipped(&f.document, &ProfileDocument::stepSkipped);
    QCOMPARE(f.document.RemoveProfiles({*f.document.ExpectedOf("A")}).gone, QStringList());
    history->undo();
    QCOMPARE(f.Now(), Initial);
    QCOMPARE(skipped.size(), 0);
    history->redo();

    f.document.SetHistoryBytes(2000);
    QCOMPARE(f.document.RemoveProfiles({*f.document.ExpectedOf("C")}).gone, QStringList());
    const QString withoutA = QString(Initial).remove("A:Tablet/High/Touch:-a | ");
    history->undo();
    QCOMPARE(f.Now(), withoutA);
    QVERIFY(history->canUndo());
    history->undo();
    QCOMPARE(f.Now(), withoutA);
    QCOMPARE(f.OnDisk(), withoutA);
    QCOMPARE(skipped.size(), 1);
    QVERIFY2(skipped.first().first().toString().contains("let go to keep the history within"),
             qPrintable(skipped.first().first().toString()));
    QVERIFY(!history->canUndo());
}

VELMORA_TEST_MAIN_WITH(QGuiApplication, TestProfileDocument)
#include "tst_profiledocument.moc"
