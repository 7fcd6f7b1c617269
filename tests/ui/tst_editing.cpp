// Editing profiles as a user does it: adding, replacing, updating, renaming and removing, with
// every dialog driven for real.

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

class TestEditing : public QObject, protected EditingSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { InitSuite(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

    void addProfile();
    void addProfileCancelledOrEmpty_data();
    void addProfileCancelledOrEmpty();
    void replaceProfile_data();
    void replaceProfile();
    void declineReplaceThenCancel();
    void refusedNameAsksAgainWithIt_data();
    void refusedNameAsksAgainWithIt();
    void pastedLineBreaksBecomeBlanks_data();
    void pastedLineBreaksBecomeBlanks();
    void updateProfile();
    void removeProfile_data();
    void removeProfile();
    void renameProfile_data();
    void renameProfile();
    void longNamesStayWhole();
    void argumentsWithHeaderWords_data();
    void argumentsWithHeaderWords();
    void longFieldsAreShownCut();
};

void TestEditing::addProfile()
{
    parts->resolution->setCurrentIndex(3);
    parts->input->setCurrentIndex(1);
    parts->arguments->setText("  -new ");
    QCOMPARE(parts->addUpdateState(), QStringLiteral("Add/on"));
    driver->ExpectInput("Add Profile", "Enter the name for the new profile", "a");
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);

    // "a" differs from "A" only in case: a new profile at the end, selected.
    const LauncherConfig &config = window->Config();
    QCOMPARE(config.ProfileNames(), (QStringList{"Default", "A", "B", "C", "Far", "a"}));
    QCOMPARE(config.profiles.last().optionIndex, (QList<int>{3, 0, 1}));
    QCOMPARE(config.profiles.last().arguments, QStringLiteral("  -new "));
    QCOMPARE(parts->profiles->count(), 6);
    QCOMPARE(parts->profiles->item(5)->text(), QStringLiteral("a"));
    QCOMPARE(parts->profiles->currentRow(), 5);
    QCOMPARE(parts->addUpdateState(), QStringLiteral("Update/off"));
    QCOMPARE(parts->arguments->text(), QStringLiteral("  -new "));
}

void TestEditing::addProfileCancelledOrEmpty_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("added");
    QTest::newRow("cancel") << QString() << 0;
    QTest::newRow("empty name") << QStringLiteral("") << 0;
    QTest::newRow("blanks are a name") << QStringLiteral("   ") << 1;
}

void TestEditing::addProfileCancelledOrEmpty()
{
    QFETCH(QString, answer);
    QFETCH(int, added);
    parts->input->setCurrentIndex(1);
    driver->ExpectInput("Add Profile", "Enter the name for the new profile", answer);
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    QCOMPARE(window->Config().profiles.size(), 5 + added);
    QCOMPARE(parts->profiles->count(), 5 + added);
    QCOMPARE(parts->profiles->currentRow(), added ? 5 : 0);
    if (added)
        QCOMPARE(window->Config().profiles.last().name, answer);
    QCOMPARE(driver->handled, 1);
}

void TestEditing::replaceProfile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row");
    QTest::newRow("another profile") << "C" << 3;
    QTest::newRow("the first profile") << "Default" << 0;
}

void TestEditing::replaceProfile()
{
    QFETCH(QString, name);
    QFETCH(int, row);
    parts->resolution->setCurrentIndex(1);
    parts->arguments->setText("-r");
    driver->ExpectInput("Add Profile", "Enter the name for the new profile", name);
    driver->ExpectMessageBox("Add Profile",
                             "This profile already exists. Do you want to replace it?",
                             {"OK", "Cancel"}, "OK");
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    const LauncherConfig &config = window->Config();
    QCOMPARE(config.profiles.size(), 5);
    QCOMPARE(config.profiles.at(row).name, name);
    QCOMPARE(config.profiles.at(row).optionIndex, (QList<int>{1, 0, 0}));
    QCOMPARE(config.profiles.at(row).arguments, QStringLiteral("-r"));
    QCOMPARE(parts->profiles->currentRow(), row);
    QCOMPARE(parts->addUpdate->isEnabled(), false);
}

void TestEditing::declineReplaceThenCancel()
{
    const LauncherConfig before = window->Config();
    parts->input->setCurrentIndex(1);
    driver->ExpectInput("Add Profile", "Enter the name for the new profile", "B");
    driver->ExpectMessageBox("Add Profile",
                             "This profile already exists. Do you want to replace it?",
                             {"OK", "Cancel"}, "Cancel");
    driver->ExpectInput("Add Profile", "Enter the name for the new profile", QString());
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    QCOMPARE(driver->handled, 3);
    QCOMPARE(window->Config().profiles, before.profiles);
    QCOMPARE(parts->profiles->currentRow(), 0);
}

void TestEditing::refusedNameAsksAgainWithIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString quote = "A profile name cannot contain a double quote.";
    const QString lineBreak = "A profile name cannot contain a line break.";
    QTest::newRow("double quote") << "My \"phone\"" << quote;
    QTest::newRow("LF") << "Evil\n[Input]\nX" << lineBreak;
    QTest::newRow("CR") << "Evil\r[Input]" << lineBreak;
    QTest::newRow("CR LF") << "Evil\r\n[Input]" << lineBreak;
    QTest::newRow("line separator") << "Evil\u2028[Input]" << lineBreak;
    QTest::newRow("paragraph separator") << "Evil\u2029[Input]" << lineBreak;
    const QString control = "A profile name cannot contain a control character, such as a tab.";
    QTest::newRow("tab") << "Two\tcolumns" << control;
    QTest::newRow("escape") << "Red \x1b[31m" << control;
    QTest::newRow("delete") << "Del\x7f" << control;
}

void TestEditing::refusedNameAsksAgainWithIt()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    const QString title = "Add Profile";
    const QString label = "Enter the name for the new profile";
    driver->ExpectInput(title, label, name);
    driver->ExpectMessageBox(title, message, {"OK"}, "OK");
    driver->ExpectInput(title, label, "My phone", name);
    parts->arguments->setText("-n");
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    QCOMPARE(window->Config().ProfileNames().last(), QStringLiteral("My phone"));
    QCOMPARE(window->Config().profiles.size(), 6);
    QCOMPARE(window->Config().sections.at(SectionInput).entries.size(), 2);
}

void TestEditing::pastedLineBreaksBecomeBlanks_data()
{
    QTest::addColumn<QString>("lineBreak");
    QTest::newRow("LF") << "\n";
    QTest::newRow("CR") << "\r";
    QTest::newRow("CR LF") << "\r\n";
    QTest::newRow("line separator") << "\u2028";
    QTest::newRow("paragraph separator") << "\u2029";
}

void TestEditing::pastedLineBreaksBecomeBlanks()
{
    QFETCH(QString, lineBreak);
    parts->profiles->setCurrentRow(1);
    parts->arguments->clear();
    QApplication::clipboard()->setText("-a" + lineBreak + "-b");
    parts->arguments->paste();
    QCOMPARE(parts->arguments->text(), QStringLiteral("-a -b"));
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);

    // Read back, the file holds the same profiles, and no new one named "-b".
    window->WaitForSaves();
    LauncherConfig back;
    ParseConfigText(DecodeConfigText(ReadBytes(TestEnvironment::current()->userConfigPath())),
                    back);
    QCOMPARE(back.ProfileNames(), window->Config().ProfileNames());
    QCOMPARE(back.profiles.at(1).arguments, QStringLiteral(" -a -b"));

    // A name row of the add dialog holding one keeps OK disabled.
    AddDlg dialog(window, "Add Pixel Density", {{TextField, "&Name:"}, {NumberField, "Ppi:"}});
    dialog.fields.at(0).edit->setText("a" + lineBreak + "b");
    QTest::keyClicks(dialog.fields.at(1).edit, "160");
    QCOMPARE(OkState(dialog), QStringLiteral("off"));
}

void TestEditing::updateProfile()
{
    parts->profiles->setCurrentRow(2);
    QCOMPARE(parts->addUpdateState(), QStringLiteral("Update/off"));
    parts->pixelDensity->setCurrentIndex(2);
    parts->arguments->setText(" -u  ");
    QCOMPARE(parts->addUpdateState(), QStringLiteral("Update/on"));
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    QCOMPARE(driver->handled, 0);
    const LauncherProfile &b = window->Config().profiles.at(2);
    QCOMPARE(b.name, QStringLiteral("B"));
    QCOMPARE(b.optionIndex, (QList<int>{2, 2, 1}));
    QCOMPARE(b.arguments, QStringLiteral(" -u  "));
    QCOMPARE(parts->profiles->currentRow(), 2);
    QCOMPARE(parts->addUpdateState(), QStringLiteral("Update/off"));
}

void TestEditing::removeProfile_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("ok") << "OK";
    QTest::newRow("cancel") << "Cancel";
}

void TestEditing::removeProfile()
{
    QFETCH(QString, answer);
    parts->profiles->setCurrentRow(2);
    QVERIFY(parts->removeProfile->isEnabled());
    driver->ExpectMessageBox("Confirm Remove Profile",
                             "Are you sure you want to remove this profile?\n\nB", {"OK", "Cancel"},
                             answer);
    QTest::mouseClick(parts->removeProfile, Qt::LeftButton);
    if (answer == "Cancel") {
        QCOMPARE(window->Config().profiles.size(), 5);
        QCOMPARE(parts->profiles->currentRow(), 2);
        return;
    }
    QCOMPARE(window->Config().ProfileNames(), (QStringList{"Default", "A", "C", "Far"}));
    QCOMPARE(parts->profiles->count(), 4);
    QCOMPARE(parts->profiles->item(2)->text(), QStringLiteral("C"));
    QCOMPARE(parts->profiles->currentRow(), 0);
    QVERIFY(!parts->removeProfile->isEnabled());
    // Row 0 can never be removed, even when asked directly.
    window->OnRemoveProfile();
    QCOMPARE(window->Config().profiles.size(), 4);

    // Undone from the keyboard: back at its place, selected, with everything it stored.
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    parts->profiles->setFocus();
    QTest::keyClick(parts->profiles, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->Config().profiles, initial.profiles);
    QCOMPARE(parts->profiles->item(2)->text(), QStringLiteral("B"));
    QCOMPARE(parts->profiles->currentRow(), 2);
    QCOMPARE(parts->arguments->text(), initial.profiles.at(2).arguments);
    // In a text field the keys edit the text and leave the profiles alone.
    parts->arguments->setFocus();
    QTest::keyClicks(parts->arguments, "x");
    for (const QKeyCombination key :
         {Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Z})
        QTest::keyClick(parts->arguments, key.key(), key.keyboardModifiers());
    QCOMPARE(parts->arguments->text(), initial.profiles.at(2).arguments);
    QTest::keyClick(parts->arguments, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(window->Config().profiles.size(), 5);
    parts->arguments->clear();
    // Redone from a box with Ctrl+Shift+Z, undone and redone again with Ctrl+Z and Ctrl+Y.
    parts->resolution->setFocus();
    QTest::keyClick(parts->resolution, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(window->Config().ProfileNames(), (QStringList{"Default", "A", "C", "Far"}));
    QTest::keyClick(parts->resolution, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(parts->resolution, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(window->Config().ProfileNames(), (QStringList{"Default", "A", "C", "Far"}));
}

void TestEditing::renameProfile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("another profile's name") << "B" << true;
    QTest::newRow("the first profile's name") << "Default" << true;
    QTest::newRow("a new name, saved at once") << "C:\\temp\\tools" << false;
}

void TestEditing::renameProfile()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    const QString title = "Rename Profile";
    const QString label = "Enter the new name for the profile";
    parts->profiles->setCurrentRow(1);
    driver->ExpectInput(title, label, name, "A");
    if (refused) {
        driver->ExpectMessageBox(title, "A profile named \"" + name + "\" already exists.", {"OK"},
                                 "OK");
        driver->ExpectInput(title, label, QString(), name);
    }
    window->ListActions()->OnRenameProfile();
    QCOMPARE(window->Config().ProfileNames(),
             (QStringList{"Default", refused ? "A" : name, "B", "C", "Far"}));
    QCOMPARE(parts->profiles->item(1)->text(), refused ? "A" : name);
    // cleanup() finds the rename on disk, with no other change after it.
}

void TestEditing::longNamesStayWhole()
{
    // Longer than the 32,767 characters a line edit takes by default.
    const QString longName(40000, u'n');
    parts->profiles->setCurrentRow(1);
    driver->ExpectInput("Rename Profile", "Enter the new name for the profile", longName, "A");
    window->ListActions()->OnRenameProfile();
    QCOMPARE(window->Config().profiles.at(1).name, longName);

    // Duplicate stores what the window shows, under the whole name and its " (copy)".
    parts->arguments->setText("-shown");
    const QString copy = longName + " (copy)";
    driver->ExpectInput("Duplicate Profile", "Enter the name for the copy", copy, copy);
    window->ListActions()->OnDuplicateProfile();
    QCOMPARE(window->Config().profiles.last().name, copy);
    QCOMPARE(window->Config().profiles.last().arguments, QStringLiteral("-shown"));
    QCOMPARE(window->Config().profiles.at(1).arguments, QStringLiteral(" -x"));
}

void TestEditing::argumentsWithHeaderWords_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("refusedWord"); // empty: stored
    QTest::newRow("add") << 0 << "add"
                         << " -x [Input] 3 [Resolution] 99"
                         << "[Input]";
    QTest::newRow("update") << 1 << "update"
                            << "-y\t[PixelDensity]"
                            << "[PixelDensity]";
    QTest::newRow("duplicate") << 1 << "duplicate"
                               << "[Resolution] 1"
                               << "[Resolution]";
    QTest::newRow("like a header, but not one") << 1 << "update"
                                                << "-x [Inputs] [input]"
                                                << "";
}

// Stored, such a word would be read back as an option position after a restart.
void TestEditing::argumentsWithHeaderWords()
{
    QFETCH(int, row);
    QFETCH(QString, action);
    QFETCH(QString, arguments);
    QFETCH(QString, refusedWord);
    parts->profiles->setCurrentRow(row);
    parts->arguments->setText(arguments);
    const QString title = action == "add"         ? "Add Profile"
                          : action == "duplicate" ? "Duplicate Profile"
                                                  : "Velmora Mobile Emulator Launcher Warning";
    if (!refusedWord.isEmpty()) {
        driver->ExpectMessageBox(title,
                                 "The arguments cannot contain the word " + refusedWord +
                                     ": when the launcher reads the profile again, it would "
                                     "take the word for one of the profile's options.",
                                 {"OK"}, "OK");
    }
    if (action == "duplicate")
        window->ListActions()->OnDuplicateProfile();
    else
        window->OnAddUpdateProfile();
    QCOMPARE(driver->handled, refusedWord.isEmpty() ? 0 : 1);
    if (refusedWord.isEmpty())
        QCOMPARE(window->Config().profiles.at(row).arguments, arguments);
    else
        QCOMPARE(window->Config().profiles, initial.profiles);
}

void TestEditing::longFieldsAreShownCut()
{
    const QByteArray name(70000, 'N');
    const QByteArray arguments = " -x" + QByteArray(70000, 'a');
    QByteArray config = testConfig;
    config.replace("[Resolution]\n\"Default\"", "\"" + name + "\"\t\"[Resolution] 2" + arguments +
                                                    "\"\n[Resolution]\n\"Default\"");
    // An option name no screen can show is cut far shorter: a box paints its text each time.
    config.replace("\"HD\"", "\"" + QByteArray(30000, 'H') + "\"");
    Reopen(config);
    QCOMPARE(parts->resolution->itemText(3).size(), 301);
    QVERIFY(parts->resolution->itemText(3).endsWith(u'…'));
    QCOMPARE(parts->profiles->count(), 6);
    const QString shown = parts->profiles->item(5)->text();
    QCOMPARE(shown.size(), MaxShownLength + 1);
    QVERIFY(shown.endsWith(u'…'));

    parts->profiles->setCurrentRow(5);
    QVERIFY(parts->arguments->isReadOnly());
    QCOMPARE(parts->arguments->text().size(), MaxShownLength + 1);
    QCOMPARE(parts->addUpdateState(), QStringLiteral("Update/off"));
    // A launch gets every byte.
    const SplitCommand command = window->CurrentCommand();
    QCOMPARE(command.arguments.mid(2), (QStringList{"-profile-name", QString::fromLatin1(name),
                                                    QString::fromLatin1(arguments.mid(1))}));
    // An update stores the whole text, not what is shown.
    parts->input->setCurrentIndex(1);
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
    QCOMPARE(window->Config().profiles.at(5).arguments, QString::fromLatin1(arguments));
    // A profile of ordinary size can be edited again.
    parts->profiles->setCurrentRow(1);
    QVERIFY(!parts->arguments->isReadOnly());
    QCOMPARE(parts->arguments->text(), QStringLiteral(" -x"));
}

VELMORA_TEST_MAIN(TestEditing)
#include "tst_editing.moc"
