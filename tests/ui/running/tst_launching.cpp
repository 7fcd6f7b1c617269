// Launching from the window as a user does: the button, the list's Enter and a selection, what
// the emulator receives, a launch that waits for another program's write, a missing emulator.

#include "commandline.h"
#include "drivenwriter.h"
#include "earlyendnotice.h"
#include "emulatorcontrol.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "exchangedialogs.h"
#include "filelocations.h"
#include "launcherinstall.h"
#include "launchrecords.h"
#include "logviewer.h"
#include "mainwindow.h"
#include "modaldriver.h"
#include "optioncombobox.h"
#include "profiledocument.h"
#include "profilelistactions.h"
#include "profileqlistwidget.h"
#include "runningcountdelegate.h"
#include "runningemulatorsview.h"
#include "runningpanel.h"
#include "systemguards.h"
#include "testenvironment.h"
#include "tooltipprovider.h"
#include "windowmemory.h"
#include "windowparts.h"
#include "windowsuite.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QUndoStack>
#include <QtTest>
#include <spawn.h>

#include <sys/prctl.h>

class TestLaunching : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void launchStartsTheEmulator();
    void longArgumentsAreLaunchedAndStoredWhole();
    void launchTwiceStartsTwo();
    void launchWaitsForAnotherProgramsWrite_data();
    void launchWaitsForAnotherProgramsWrite();
    void missingEmulatorIsReported();
    void listLaunchesAndCopiesTheCommand();
    void severalProfilesAtOnce();

private:
    ModalDriver *driver = nullptr;
};

void TestLaunching::initTestCase()
{
    QVERIFY(PrepareWindowSuite());
}

void TestLaunching::init()
{
    QVERIFY(PrepareWindowTest(&driver));
}

void TestLaunching::cleanup()
{
    const QStringList problems = EndWindowTest(&driver);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TestLaunching::launchStartsTheEmulator()
{
    MainWindow window;
    WindowParts parts(window);
    parts.profiles->setCurrentRow(2);
    parts.input->setCurrentIndex(1);
    parts.arguments->setText(QStringLiteral(" -ua \"Foo Bar\" "));
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    const QList<QStringList> records = WaitForRecords(1);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.at(0), (QStringList{"-windowsize", "800x1280", "-ppi", "160", "-input",
                                         "mouse", "-profile-name", "My tablet", "-ua", "Foo Bar"}));
    // Launching stores nothing.
    QCOMPARE(window.Config().profiles.at(2).arguments, QStringLiteral(" -x 1"));
}

void TestLaunching::longArgumentsAreLaunchedAndStoredWhole()
{
    MainWindow window;
    WindowParts parts(window);
    parts.profiles->setCurrentRow(1);
    const QString longArgument = "-x" + QString(100000, QLatin1Char('a'));
    parts.arguments->setText(longArgument);
    QCOMPARE(parts.arguments->text(), longArgument);
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    const QList<QStringList> records = WaitForRecords(1);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.at(0).last(), longArgument);
    QTest::mouseClick(parts.addUpdate, Qt::LeftButton);
    QCOMPARE(window.Config().profiles.at(1).arguments, longArgument);
    window.WaitForSaves();
    QVERIFY(
        ReadBytes(TestEnvironment::current()->userConfigPath()).contains(longArgument.toUtf8()));
}

void TestLaunching::launchTwiceStartsTwo()
{
    MainWindow window;
    WindowParts parts(window);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    parts.profiles->setCurrentRow(3); // a resolution the list lacks contributes nothing
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    QTest::keyClick(&window, Qt::Key_L, Qt::AltModifier);
    const QList<QStringList> records = WaitForRecords(2);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.at(0), (QStringList{"-profile-name", "Broken"}));
    QCOMPARE(records.at(1), records.at(0));
}

void TestLaunching::launchWaitsForAnotherProgramsWrite_data()
{
    QTest::addColumn<int>("writer"); // DrivenWriter::Kind
    QTest::addColumn<bool>("launchInPause");
    QTest::newRow("two steps, launched in the pause") << int(DrivenWriter::TwoSteps) << true;
    QTest::newRow("two steps, launched before it settled") << int(DrivenWriter::TwoSteps) << false;
    QTest::newRow("renamed over, launched before it settled")
        << int(DrivenWriter::RenameOver) << false;
}

// Another program writes Launcher.ini while the user presses Launch: the window shows the file
// as it stood, so the launch waits until the new file is taken in, and starts what the window
// shows then, never what half a file said.
void TestLaunching::launchWaitsForAnotherProgramsWrite()
{
    QFETCH(int, writer);
    QFETCH(bool, launchInPause);
    MainWindow window;
    WindowParts parts(window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ConfigStore &store = window.Document()->Store();
    qint64 now = 0;
    store.SetClock([&now] { return now; });
    parts.profiles->setCurrentRow(2);
    const QString path = TestEnvironment::current()->userConfigPath();
    // Theirs gives "My tablet" another resolution and density.
    QByteArray theirs = testConfig;
    theirs.replace("\"My tablet\"\t\"[Resolution] 3 [PixelDensity] 1",
                   "\"My tablet\"\t\"[Resolution] 2 [PixelDensity] 2");
    DrivenWriter other(path, theirs, DrivenWriter::Kind(writer));
    QVERIFY(other.Begin());
    if (!launchInPause)
        QVERIFY(other.Finish());
    // The watcher notices: from now on the file is changing.
    QTRY_VERIFY(store.OutsideChangePending());
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    // Nothing started: the window does not show the file yet.
    QVERIFY(!window.Document()->Settled());
    QCOMPARE(window.Launcher()->Monitor()->Records().size(), 0);
    QVERIFY(!QFileInfo::exists(RecordPath()));
    if (launchInPause)
        QVERIFY(other.Finish());
    now += ConfigStore::DefaultSettleMs;
    store.CheckUserFile();
    now += ConfigStore::DefaultSettleMs;
    store.CheckUserFile();
    QVERIFY(window.Document()->Settled());
    const QList<QStringList> records = WaitForRecords(1);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.at(0), (QStringList{"-windowsize", "720x1280", "-ppi", "240", "-profile-name",
                                         "My tablet", "-x", "1"}));
    QCOMPARE(parts.resolution->currentText(), QStringLiteral("HD"));
}

void TestLaunching::missingEmulatorIsReported()
{
    QVERIFY(QFile::remove(EmulatorCopy()));
    MainWindow window;
    WindowParts parts(window);
    driver->ExpectMessageBox(QStringLiteral("Velmora Mobile Emulator Launcher"),
                             QStringLiteral("Failed to start Velmora Mobile Emulator!"), {"OK"},
                             "OK");
    // The path it tried and the system's reason come below the text.
    // It comes once the start was tried, off the window's thread.
    QString details;
    QTimer look;
    connect(&look, &QTimer::timeout, [&details] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            details = box->informativeText();
    });
    look.start(5);
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    QTRY_COMPARE(driver->handled, 1);
    QVERIFY2(details.startsWith(EmulatorCopy() + ": ") && details.contains("No such file"),
             qPrintable(details));
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(parts.profiles->currentRow(), 0);
}

void TestLaunching::listLaunchesAndCopiesTheCommand()
{
    MainWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    WindowParts parts(window);
    const QStringList tablet = {"-windowsize",   "800x1280",  "-ppi", "160",
                                "-profile-name", "My tablet", "-x",   "1"};

    // A double click selects the row, loading the profile, and launches it.
    QWidget *viewport = parts.profiles->viewport();
    const QPoint row2 = parts.profiles->visualItemRect(parts.profiles->item(2)).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, row2);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, row2);
    QCOMPARE(parts.profiles->currentRow(), 2);
    QCOMPARE(WaitForRecords(1).value(0), tablet);
    // Enter on the list launches what Launch would, arguments as shown. (The stand-in quits at
    // once, and the notice saying so may have taken the focus on this platform.)
    parts.arguments->setText("-y");
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    parts.profiles->setFocus();
    QTest::keyClick(parts.profiles, Qt::Key_Return);
    QCOMPARE(WaitForRecords(2).value(1), tablet.first(6) + QStringList{"-y"});

    // The copied command, run by a shell, starts the same as a click.
    QAction *copy = nullptr;
    for (QAction *action : parts.launch->actions())
        copy = action->text() == "&Copy Command Line" ? action : copy;
    QVERIFY(copy);
    parts.arguments->setText(R"( -q "it's $HOME" `x` *)");
    copy->trigger();
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    QProcess shell;
    shell.start("sh", {"-c", QGuiApplication::clipboard()->text()});
    QVERIFY(shell.waitForFinished(10000));
    const QList<QStringList> records = WaitForRecords(4);
    QCOMPARE(records.size(), 4);
    QCOMPARE(records.at(3), records.at(2));
    QCOMPARE(records.at(2).mid(6), (QStringList{"-q", "it's $HOME", "`x`", "*"}));
}

// An extended selection: Launch starts each selected profile as stored, Remove asks once for
// all, more than five launches are asked about first; the current row still fills the window.
void TestLaunching::severalProfilesAtOnce()
{
    // They stay: an emulator that quits at once would take the focus with its notice.
    const EnvironmentVariable behave("VELMORA_EMU_BEHAVE", "stay");
    MainWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    WindowParts parts(window);
    parts.profiles->setCurrentRow(1);
    parts.arguments->setText("-typed"); // shown, not stored: no launch takes it
    parts.profiles->setFocus();
    QTest::keyClick(parts.profiles, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(parts.profiles, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(parts.profiles->selectionModel()->selectedRows().size(), 3);
    QCOMPARE(parts.profiles->currentRow(), 3);
    QCOMPARE(parts.arguments->text(), QString()); // "Broken" stores none
    QTest::keyClick(parts.profiles, Qt::Key_Return);
    QTRY_COMPARE(window.Launcher()->Monitor()->Records().size(), 3);
    QStringList names;
    for (const LaunchRecord &record : window.Launcher()->Monitor()->Records()) {
        names.append(record.profile);
        // Each as stored.
        QVERIFY(!record.command.contains("-typed"));
        if (record.profile == "Phone")
            QCOMPARE(record.command.mid(record.command.indexOf("-profile-name") + 2),
                     (QStringList{"-a", "b"}));
    }
    QCOMPARE(names, (QStringList{"Phone", "My tablet", "Broken"}));

    driver->ExpectMessageBox("Confirm Remove Profile",
                             "Are you sure you want to remove these 3 profiles?\n\nPhone\nMy "
                             "tablet\nBroken",
                             {"OK", "Cancel"}, "OK");
    QTest::keyClick(parts.profiles, Qt::Key_Delete);
    QVERIFY(driver->Settled());
    QCOMPARE(window.Config().ProfileNames(), (QStringList{"Default", "Negative"}));
    // One step of the history brings all three back where they were.
    QCOMPARE(window.Document()->History()->undoText(), QStringLiteral("Remove 3 profiles"));
    window.Document()->History()->undo();
    QCOMPARE(window.Config().ProfileNames(),
             (QStringList{"Default", "Phone", "My tablet", "Broken", "Negative"}));

    // Five start unasked; six at once are asked about, and declined, none starts.
    QApplication::setActiveWindow(&window); // the question had it
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(parts.profiles, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(parts.profiles->selectionModel()->selectedRows().size(), 5);
    QTest::keyClick(parts.profiles, Qt::Key_Return);
    QTRY_COMPARE(window.Launcher()->Monitor()->Records().size(), 3 + 5);
    QVERIFY(driver->Settled());
    QCOMPARE(window.Document()->AddProfile(
                 "Sixth", ProfileSettings::Of(window.Config(), {0, 0, 0}, QString())),
             ProfileDocument::EditResult::Done);
    QTest::keyClick(parts.profiles, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(parts.profiles->selectionModel()->selectedRows().size(), 6);
    driver->ExpectMessageBox("Launch", "Start 6 emulators, one for each selected profile?",
                             {"OK", "Cancel"}, "Cancel");
    QApplication::setActiveWindow(&window); // the question had it
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(parts.profiles, Qt::Key_Return);
    QVERIFY(driver->Settled());
    QTest::qWait(300);
    QCOMPARE(window.Launcher()->Monitor()->Records().size(), 3 + 5);
}

VELMORA_TEST_MAIN(TestLaunching)
#include "tst_launching.moc"
