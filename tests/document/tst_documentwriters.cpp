// The document while other programs write its file: undo and redo after their edits, each step
// taken in any pause of a writer that writes in steps, and the last save of a run bounded.

#include "documentfixture.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

class TestDocumentWriters : public QObject
{
    Q_OBJECT

private slots:
    void stepsAfterOutsideEdits_data();
    void stepsAfterOutsideEdits();
    void stepsWhileAnotherProgramWrites_data();
    void stepsWhileAnotherProgramWrites();
    void closeWritesWithinItsBound_data();
    void closeWritesWithinItsBound();
};

void TestDocumentWriters::stepsAfterOutsideEdits_data()
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
void TestDocumentWriters::stepsAfterOutsideEdits()
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

void TestDocumentWriters::stepsWhileAnotherProgramWrites_data()
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
void TestDocumentWriters::stepsWhileAnotherProgramWrites()
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

void TestDocumentWriters::closeWritesWithinItsBound_data()
{
    QTest::addColumn<bool>("rewriter"); // else a writer that stopped half-way
    QTest::newRow("a writer that stopped half-way") << false;
    QTest::newRow("a program rewriting the file all the time") << true;
}

// Closing never waits for ever on a file someone else keeps changing: the user's change is
// written into what is there once the bound has passed.
void TestDocumentWriters::closeWritesWithinItsBound()
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

VELMORA_TEST_MAIN_WITH(QGuiApplication, TestDocumentWriters)
#include "tst_documentwriters.moc"
