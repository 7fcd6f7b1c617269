// The window while other programs write Launcher.ini and the disk fails: edits merged, questions
// that outlast an outside edit, undo after one, saves that fail, a restart.

#include "editingsuite.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

class TestOutsideEdits : public QObject, protected EditingSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { InitSuite(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

    void editsSurviveARestart();
    void failingSavesWarnOnceUntilOneSucceeds();
    void quickChangesEndWithTheNewest();
    void outsideEdits_data();
    void outsideEdits();
    void undoAfterAnOutsideEdit();
    void questionsOutlastOutsideEdits_data();
    void questionsOutlastOutsideEdits();
};

void TestOutsideEdits::editsSurviveARestart()
{
    ExpectAddDialog("Add Resolution", {"&Name:", "&Width:", "&Height:"}, {"Tiny", "10", "20"});
    QTest::mouseClick(parts->addResolution, Qt::LeftButton);
    driver->ExpectInput("Add Profile", "Enter the name for the new profile", "Tiny phone");
    parts->profiles->setCurrentRow(0);
    parts->resolution->setCurrentIndex(4);
    parts->arguments->setText("-ua \"Foo Bar\"");
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    parts->profiles->setCurrentRow(1);
    parts->pixelDensity->setCurrentIndex(1);
    driver->ExpectMessageBox("Confirm remove pixel density",
                             "The following profiles use this option, are you sure you want to "
                             "continue?\n\nA\n",
                             {"Yes", "No"}, "Yes");
    QTest::mouseClick(parts->removePixelDensity, Qt::LeftButton);
    QVERIFY(driver->Settled());

    LauncherConfig before = window->Config();
    delete parts;
    parts = nullptr;
    delete window;
    window = nullptr;

    MainWindow again;
    const LauncherConfig &after = again.Config();
    for (int s = 1; s < SectionCount; ++s)
        QCOMPARE(after.sections.at(s).entries, before.sections.at(s).entries);
    QCOMPARE(after.ProfileNames(), before.ProfileNames());
    for (int i = 0; i < before.profiles.size(); ++i) {
        QCOMPARE(after.profiles.at(i).optionIndex, before.profiles.at(i).optionIndex);
        QCOMPARE(after.profiles.at(i).arguments.simplified(),
                 before.profiles.at(i).arguments.simplified());
    }
    QCOMPARE(after.profiles.last().arguments, QStringLiteral(" -ua \"Foo Bar\""));
    QCOMPARE(after.profiles.at(1).arguments, QStringLiteral(" -x -ppi 160"));
    QCOMPARE(after.profiles.at(1).optionIndex, (QList<int>{2, 0, 0}));
}

void TestOutsideEdits::failingSavesWarnOnceUntilOneSucceeds()
{
    const QString path = TestEnvironment::current()->userConfigPath();
    const auto update = [this](const QString &arguments) {
        parts->profiles->setCurrentRow(1);
        parts->arguments->setText(arguments);
        QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
        QCOMPARE(window->Config().profiles.at(1).arguments, arguments);
        window->WaitForSaves();
    };
    const auto expectWarning = [this, &path] {
        driver->ExpectMessageBox(
            "Velmora Mobile Emulator Launcher Warning",
            "Your changes are not being saved: " + path +
                " cannot be written: File too large.\n\n"
                "The launcher tries again with every change and when it closes.",
            {"OK"}, "OK");
    };
    // Saves fail part-way once the file may not grow past a few bytes.
    const SignalDisposition ignoreFileSize(SIGXFSZ, SIG_IGN);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("File too large$"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("File too large$"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("File too large$"));

    ResourceLimit small(RLIMIT_FSIZE, 64);
    QVERIFY(small.effective());
    expectWarning();
    update("-first");
    update("-second"); // told already: no second box
    QCOMPARE(driver->handled, 1);
    QCOMPARE(ReadBytes(path), testConfig);

    small.lift();
    update("-third");
    QCOMPARE(ReadBytes(path), FormatConfigText(window->Config()).toUtf8());

    // After a save that worked, the next failure is told again.
    small.set();
    QVERIFY(small.effective());
    expectWarning();
    update("-fourth");
    QCOMPARE(driver->handled, 2);
    small.lift();
    update("-fifth");
}

// Changes made faster than they are written: the newest is what ends up on disk, by itself and
// when the window closes right after them.
void TestOutsideEdits::quickChangesEndWithTheNewest()
{
    const QString path = TestEnvironment::current()->userConfigPath();
    parts->profiles->setCurrentRow(1);
    for (const char *arguments : {"-one", "-two", "-three"}) {
        parts->arguments->setText(arguments);
        QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    }
    QCOMPARE(window->Config().profiles.at(1).arguments, QStringLiteral("-three"));
    const QByteArray newest = FormatConfigUtf8(window->Config());
    QTRY_COMPARE(ReadBytes(path), newest);
    window->WaitForSaves();
    QCOMPARE(ReadBytes(path), newest);

    parts->arguments->setText("-four");
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    parts->profiles->setCurrentRow(2);
    parts->arguments->setText("-five");
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    const QByteArray last = FormatConfigUtf8(window->Config());
    QVERIFY(last.contains("-five"));
    delete parts;
    parts = nullptr;
    delete window;
    window = nullptr;
    QCOMPARE(ReadBytes(path), last);
}

void TestOutsideEdits::outsideEdits_data()
{
    QTest::addColumn<QString>("outside");     // what another program does to Launcher.ini
    QTest::addColumn<bool>("changeInWindow"); // B's arguments updated right after it
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("current");
    QTest::newRow("a profile added, then an update in the window")
        << "add" << true << QStringList{"Default", "A", "B", "C", "Far", "Outside"} << 2;
    QTest::newRow("a profile added, noticed while the user types")
        << "add" << false << QStringList{"Default", "A", "B", "C", "Far", "Outside"} << 2;
    QTest::newRow("the selected profile removed")
        << "remove B" << false << QStringList{"Default", "A", "C", "Far"} << 0;
    QTest::newRow("made unreadable, the window's change saved once it is readable")
        << "version 99" << true << QStringList{"Default", "A", "B", "C", "Far", "Outside"} << 2;
    QTest::newRow("edited in place, same size, new time")
        << "in place" << false << QStringList{"Default", "A", "B", "C", "Far"} << 2;
    QTest::newRow("emptied in place, then written, as some editors save")
        << "emptied" << false << QStringList{"Default", "A", "B", "C", "Far", "Outside"} << 2;
}

// Another program replaces Launcher.ini while the window runs, as editors and sync tools do (a
// new file renamed over it). Nothing of theirs is lost, nor the window's change.
void TestOutsideEdits::outsideEdits()
{
    QFETCH(QString, outside);
    QFETCH(bool, changeInWindow);
    QFETCH(QStringList, names);
    QFETCH(int, current);
    const QString path = TestEnvironment::current()->userConfigPath();
    parts->profiles->setCurrentRow(2);
    parts->arguments->setText("-typed");
    QByteArray theirs = testConfig;
    if (outside == "add")
        theirs = AddOutside(theirs);
    if (outside == "remove B")
        theirs.replace("\"B\"\t\"[Resolution] 2 [PixelDensity] 0 [Input] 1 \"\n", "");
    if (outside == "version 99")
        theirs.replace("$VERSION\t106", "$VERSION\t99");
    if (outside != "emptied" && outside != "in place") {
        QVERIFY(WriteBytes(path + ".new", theirs));
        QCOMPARE(::rename(QFile::encodeName(path + ".new").constData(),
                          QFile::encodeName(path).constData()),
                 0);
    }
    if (outside == "version 99") {
        driver->ExpectMessageBox("Velmora Mobile Emulator Launcher Warning",
                                 "Your Launcher.ini configuration file " + path +
                                     " was changed by another program and can no longer be "
                                     "read: it is of version 99.\n\nThe launcher leaves it as it "
                                     "is: your changes are saved to it once it can be read "
                                     "again.",
                                 {"OK"}, "OK");
        QTRY_COMPARE(driver->handled, 1);
        QCOMPARE(window->Config().ProfileNames(), (QStringList{"Default", "A", "B", "C", "Far"}));
        // A change made meanwhile waits, and lands in the file once it is readable again.
        QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
        window->WaitForSaves();
        QCOMPARE(ReadBytes(path), theirs);
        theirs = testConfig;
        QVERIFY(WriteBytes(path, AddOutside(theirs)));
        QTRY_COMPARE(window->Config().ProfileNames(), names);
        QCOMPARE(window->Config().profiles.at(2).arguments, QStringLiteral("-typed"));
        QTRY_COMPARE(ReadBytes(path), FormatConfigUtf8(window->Config()));
        initial = window->Config();
        return;
    }
    if (outside == "in place") {
        // A's "-x" becomes "-y": the same size and file, only the time tells.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 at = ReadBytes(path).indexOf("-x\"");
        QVERIFY(at > 0 && file.seek(at) && file.write("-y") == 2);
        file.close();
        QTRY_COMPARE(window->Config().profiles.at(1).arguments, QStringLiteral(" -y"));
        QCOMPARE(parts->arguments->text(), QStringLiteral("-typed"));
        initial = window->Config();
        return;
    }
    if (outside == "emptied") {
        // Truncated in place; the window notices before the content comes.
        QVERIFY(WriteBytes(path, QByteArray()));
        QTRY_VERIFY(window->SavesHeld() || ReadBytes(path) == FormatConfigUtf8(initial));
        QVERIFY(WriteBytes(path, AddOutside(testConfig)));
        QTRY_COMPARE(window->Config().ProfileNames(), names);
        QTRY_COMPARE(ReadBytes(path), AddOutside(testConfig));
        QVERIFY(!window->SavesHeld());
        initial = window->Config();
        return;
    }
    if (changeInWindow) {
        // Saved before the window has noticed: the save finds the file changed.
        QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
        QCOMPARE(window->Config().profiles.at(2).arguments, QStringLiteral("-typed"));
    }
    QTRY_COMPARE(window->Config().ProfileNames(), names);
    QCOMPARE(parts->profiles->count(), names.size());
    QCOMPARE(parts->profiles->currentRow(), current);
    if (current == 2) {
        // Still the user's profile, with what was typed.
        QCOMPARE(parts->arguments->text(), QStringLiteral("-typed"));
        QCOMPARE(parts->addUpdateState(), changeInWindow ? "Update/off" : "Update/on");
        const LauncherProfile &added = window->Config().profiles.last();
        QCOMPARE(added.arguments, QStringLiteral(" -o"));
        QCOMPARE(added.optionIndex, (QList<int>{3, 2, 1}));
    }
    // What is on disk is what the window shows (cleanup() checks it when the window changed).
    QTRY_COMPARE(ReadBytes(path), changeInWindow ? FormatConfigUtf8(window->Config()) : theirs);
    initial = window->Config();
}

// A step that an edit made outside took away is not undone: the user is told which and why.
void TestOutsideEdits::undoAfterAnOutsideEdit()
{
    window->ListActions()->RenameProfile("B", "Bee");
    window->ListActions()->RenameProfile("A", "Alpha");
    window->WaitForSaves();
    LauncherConfig theirs = window->Config();
    theirs.RemoveProfile(theirs.FindProfile("Bee"));
    QVERIFY(WriteBytes(TestEnvironment::current()->userConfigPath(), FormatConfigUtf8(theirs)));
    QTRY_COMPARE(window->Config().ProfileNames(), theirs.ProfileNames());
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    parts->profiles->setFocus();
    // Still there by name: undone as usual.
    QTest::keyClick(parts->profiles, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->Config().ProfileNames(), (QStringList{"Default", "A", "C", "Far"}));
    driver->ExpectMessageBox("Undo",
                             "Rename \"B\" to \"Bee\" could not be undone: the profile \"Bee\" no "
                             "longer exists. The configuration file was changed outside the "
                             "launcher meanwhile.",
                             {"OK"}, "OK");
    QTest::keyClick(parts->profiles, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(driver->Settled());
    QCOMPARE(window->Config().ProfileNames(), (QStringList{"Default", "A", "C", "Far"}));
    initial = theirs;
}

void TestOutsideEdits::questionsOutlastOutsideEdits_data()
{
    QTest::addColumn<QString>("action");  // what the user asks for
    QTest::addColumn<QString>("outside"); // what another program does while the question is open
    QTest::addColumn<QStringList>("names");
    // What the user is told: "gone B" (the profile or entry no longer there), "changed B" (it
    // no longer stores what the question showed), or nothing.
    QTest::addColumn<QString>("told");
    QTest::newRow("remove B; A removed meanwhile")
        << "remove B"
        << "remove A" << QStringList{"Default", "C", "Far"} << "";
    QTest::newRow("remove the last row; A removed meanwhile")
        << "remove Far"
        << "remove A" << QStringList{"Default", "B", "C"} << "";
    QTest::newRow("remove B; B removed meanwhile")
        << "remove B"
        << "remove B" << QStringList{"Default", "A", "C", "Far"} << "gone B";
    QTest::newRow("remove B; B changed meanwhile")
        << "remove B"
        << "change B" << QStringList{"Default", "A", "B", "C", "Far"} << "changed B";
    QTest::newRow("remove A, B and C; B removed meanwhile")
        << "remove A B C"
        << "remove B" << QStringList{"Default", "Far"} << "gone B";
    QTest::newRow("remove A, B and C; B changed meanwhile")
        << "remove A B C"
        << "change B" << QStringList{"Default", "B", "Far"} << "changed B";
    QTest::newRow("remove the option WVGA; Unused removed meanwhile")
        << "remove WVGA"
        << "remove Unused" << QStringList{"Default", "A", "B", "C", "Far"} << "";
    QTest::newRow("remove the option WVGA; WVGA removed meanwhile")
        << "remove WVGA"
        << "remove WVGA" << QStringList{"Default", "A", "B", "C", "Far"} << "gone WVGA";
    QTest::newRow("remove the option WVGA; B, which uses it, changed meanwhile")
        << "remove WVGA"
        << "change B" << QStringList{"Default", "A", "B", "C", "Far"} << "changed WVGA";
    QTest::newRow("replace B from Add; A removed meanwhile")
        << "replace B"
        << "remove A" << QStringList{"Default", "B", "C", "Far"} << "";
    QTest::newRow("replace B from Add; B removed meanwhile")
        << "replace B"
        << "remove B" << QStringList{"Default", "A", "C", "Far"} << "gone B";
    QTest::newRow("replace B from Add; B changed meanwhile")
        << "replace B"
        << "change B" << QStringList{"Default", "A", "B", "C", "Far"} << "changed B";
    QTest::newRow("rename B; A removed meanwhile")
        << "rename B"
        << "remove A" << QStringList{"Default", "B2", "C", "Far"} << "";
    QTest::newRow("rename B; B removed meanwhile")
        << "rename B"
        << "remove B" << QStringList{"Default", "A", "C", "Far"} << "gone B";
    QTest::newRow("rename B; B changed meanwhile")
        << "rename B"
        << "change B" << QStringList{"Default", "A", "B", "C", "Far"} << "changed B";
    // The answers apply to the profiles as they are after the question, not to a copy.
    QTest::newRow("import over B; Z added meanwhile")
        << "import B"
        << "add Z" << QStringList{"Default", "A", "B", "C", "Far", "Z"} << "";
    QTest::newRow("import over B; B changed meanwhile")
        << "import B"
        << "change B" << QStringList{"Default", "A", "B", "C", "Far"} << "changed B";
}

// A question stays about the profile or option it named, whatever an outside edit changed
// while it was open; what is gone by then is said to be gone, what changed is said to have
// changed and keeps the change, and nothing else is touched.
void TestOutsideEdits::questionsOutlastOutsideEdits()
{
    QFETCH(QString, action);
    QFETCH(QString, outside);
    QFETCH(QStringList, names);
    QFETCH(QString, told);
    const QString path = TestEnvironment::current()->userConfigPath();
    // Watched from the first paint on.
    QTRY_VERIFY(window->Document()->Store().OutsideChangePending() ||
                window->Document()->Store().UserFileUnchanged());
    QByteArray theirs = testConfig;
    if (outside == "remove A")
        theirs.replace("\"A\"\t\"[Resolution] 2 [PixelDensity] 1 [Input] 0 -x\"\n", "");
    if (outside == "remove B")
        theirs.replace("\"B\"\t\"[Resolution] 2 [PixelDensity] 0 [Input] 1 \"\n", "");
    if (outside == "change B")
        theirs.replace("\"B\"\t\"[Resolution] 2 [PixelDensity] 0 [Input] 1 \"\n",
                       "\"B\"\t\"[Resolution] 2 [PixelDensity] 0 [Input] 1 -outside\"\n");
    if (outside == "add Z")
        theirs.replace("[Resolution]\n", "\"Z\"\t\"[Resolution] 1 [PixelDensity] 0 [Input] 0 "
                                         "-z\"\n[Resolution]\n");
    if (outside == "remove Unused" || outside == "remove WVGA") {
        const bool unused = outside == "remove Unused";
        // The entry goes, and the positions after it move up, as the launcher writes them.
        theirs.replace(unused ? "\"Unused\"\t\" -windowsize 320x480\"\n"
                              : "\"WVGA\"\t\" -windowsize 480x800\"\n",
                       "");
        theirs.replace("[Resolution] 3", "[Resolution] 2");
        if (unused)
            theirs.replace("[Resolution] 2 [PixelDensity] 1", "[Resolution] 1 [PixelDensity] 1")
                .replace("[Resolution] 2 [PixelDensity] 0", "[Resolution] 1 [PixelDensity] 0");
        else
            theirs
                .replace("[Resolution] 2 [PixelDensity] 1 [Input] 0 -x",
                         "[Resolution] 0 [PixelDensity] 1 [Input] 0 -x -windowsize 480x800")
                .replace("[Resolution] 2 [PixelDensity] 0 [Input] 1 ",
                         "[Resolution] 0 [PixelDensity] 0 [Input] 1 -windowsize 480x800");
    }
    LauncherConfig expected;
    ParseConfigText(QString::fromUtf8(theirs), expected);
    const QString importFile = TestEnvironment::current()->root() + "/import-question.ini";
    QVERIFY(WriteBytes(importFile, "$VERSION\t106\n[Profile]\n\"B\"\t\"[Resolution] 1 "
                                   "[PixelDensity] 0 [Input] 0 -imported\"\n[Resolution]\n"
                                   "\"Default\"\t\"\"\n\"Unused\"\t\" -windowsize 320x480\"\n"));
    // The other program saves while the question is open; it is answered once the window has
    // taken that in.
    const auto answerAfterOutsideEdit = [=](const QString &button, const QString &typed = {}) {
        driver->Expect([=](QWidget *modal) {
            QVERIFY(WriteBytes(path + ".new", theirs));
            QCOMPARE(::rename(QFile::encodeName(path + ".new").constData(),
                              QFile::encodeName(path).constData()),
                     0);
            driver->Check(QTest::qWaitFor(
                              [&] {
                                  const LauncherConfig &now = window->Config();
                                  return window->Document()->Settled() &&
                                         now.profiles == expected.profiles &&
                                         now.EntryNames(SectionResolution) ==
                                             expected.EntryNames(SectionResolution);
                              },
                              5000),
                          "the outside edit was not taken in");
            if (auto *input = qobject_cast<QInputDialog *>(modal)) {
                input->setTextValue(typed);
                input->accept();
            } else if (QAbstractButton *b = ModalDriver::FindButton(modal, button)) {
                b->click();
            } else {
                driver->Fail("no button " + button);
            }
        });
    };
    const auto expectTold = [=] {
        if (told.isEmpty())
            return;
        const QString what = told.section(' ', 1);
        const QString phrase = told.startsWith("gone") ? "no longer" : "changed outside";
        driver->Expect([=](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            // Named in quotes, or on a line of its own in a list.
            driver->Check(box &&
                              (box->text().contains("\"" + what + "\"") ||
                               box->text().split('\n').contains(what)) &&
                              box->text().contains(phrase),
                          "expected to be told that " + told + ": " + (box ? box->text() : ""));
            if (box)
                box->accept();
        });
    };
    if (action == "remove A B C") {
        parts->profiles->setCurrentRow(1);
        parts->profiles->item(2)->setSelected(true);
        parts->profiles->item(3)->setSelected(true);
        answerAfterOutsideEdit("OK");
        expectTold();
        QTest::mouseClick(parts->removeProfile, Qt::LeftButton);
    } else if (action.startsWith("remove ") && action != "remove WVGA") {
        parts->profiles->setCurrentRow(window->Config().FindProfile(action.mid(7)));
        answerAfterOutsideEdit("OK");
        expectTold();
        QTest::mouseClick(parts->removeProfile, Qt::LeftButton);
    } else if (action == "remove WVGA") {
        parts->profiles->setCurrentRow(2);
        parts->resolution->setCurrentIndex(2);
        answerAfterOutsideEdit("Yes");
        expectTold();
        QTest::mouseClick(parts->removeResolution, Qt::LeftButton);
    } else if (action == "replace B") {
        parts->profiles->setCurrentRow(0);
        parts->arguments->setText("-new");
        driver->ExpectInput("Add Profile", "Enter the name for the new profile", "B");
        answerAfterOutsideEdit("OK");
        expectTold();
        QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    } else if (action == "rename B") {
        parts->profiles->setCurrentRow(2);
        answerAfterOutsideEdit(QString(), "B2");
        expectTold();
        window->ListActions()->OnRenameProfile();
    } else if (action == "import B") {
        answerAfterOutsideEdit("Replace");
        expectTold();
        window->ListActions()->Exchange()->ImportProfilesFrom(importFile, [=](const QString &name) {
            // The question itself, as the menu's import asks it.
            QMessageBox box(QMessageBox::Question, "Import Profiles", "\"" + name + "\"",
                            QMessageBox::NoButton, window);
            QPushButton *replace = box.addButton("Replace", QMessageBox::AcceptRole);
            box.addButton("Skip", QMessageBox::RejectRole);
            box.exec();
            return box.clickedButton() == replace ? ImportChoice::Replace : ImportChoice::Skip;
        });
    }
    QTRY_COMPARE(driver->Settled(), true);
    window->WaitForSaves();
    const LauncherConfig &now = window->Config();
    QCOMPARE(now.ProfileNames(), names);
    // Nothing else was touched: C keeps what it stores, and B what the user chose or what the
    // other program left.
    if (now.FindProfile("C") >= 0)
        QCOMPARE(now.profiles.at(now.FindProfile("C")).arguments, QStringLiteral(" -c"));
    const int b = now.FindProfile("B");
    if (outside == "change B")
        QCOMPARE(now.profiles.at(b).arguments, QStringLiteral(" -outside"));
    else if (action == "replace B" && told.isEmpty())
        QCOMPARE(now.profiles.at(b).arguments, QStringLiteral("-new"));
    else if (action == "import B")
        QCOMPARE(now.profiles.at(b).arguments, QStringLiteral(" -imported"));
    if (outside == "add Z")
        QCOMPARE(now.profiles.last().arguments, QStringLiteral(" -z"));
    if (action == "remove WVGA") {
        const QStringList entries = told.isEmpty()
                                        ? QStringList{"Default", "HD"}
                                        : QStringList{"Default", "Unused", "WVGA", "HD"}.mid(
                                              told.startsWith("gone") ? 0 : 0);
        if (told.startsWith("gone"))
            QCOMPARE(now.EntryNames(SectionResolution), (QStringList{"Default", "Unused", "HD"}));
        else if (told.isEmpty())
            QCOMPARE(now.EntryNames(SectionResolution), entries);
        else
            QCOMPARE(now.EntryNames(SectionResolution), expected.EntryNames(SectionResolution));
        if (!told.startsWith("changed"))
            QVERIFY(
                now.profiles.at(now.FindProfile("A")).arguments.endsWith("-windowsize 480x800"));
    }
    initial = now;
    // Saved when something was done; their file as they left it when nothing was.
    const bool nothingDone = told.startsWith("gone")
                                 ? action != "remove A B C"
                                 : told.startsWith("changed") && action != "remove A B C";
    QCOMPARE(ReadBytes(path), nothingDone ? theirs : FormatConfigUtf8(now));
}

VELMORA_TEST_MAIN(TestOutsideEdits)
#include "tst_outsideedits.moc"
