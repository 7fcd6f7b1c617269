// The main window as a user meets it: the widget tree, what selecting does to the buttons,
// launching through the stand-in emulator, and the help page.

#include "applicationsetup.h"
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

namespace {

// Five profiles over a model of four resolutions, three densities and two inputs.
const QByteArray testConfig = "$VERSION\t106\n"
                              "[Profile]\n"
                              "\"Default\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 0 \"\n"
                              "\"Phone\"\t\"[Resolution] 1 [PixelDensity] 2 [Input] 1 -a  b\"\n"
                              "\"My tablet\"\t\"[Resolution] 3 [PixelDensity] 1 [Input] 0 -x 1\"\n"
                              "\"Broken\"\t\"[Resolution] 9 [PixelDensity] 0 [Input] 0 \"\n"
                              "\"Negative\"\t\"[Resolution] -1 [PixelDensity] 0 [Input] 0 \"\n"
                              "[Resolution]\n"
                              "\"Default\"\t\"\"\n"
                              "\"WVGA\"\t\" -windowsize 480x800\"\n"
                              "\"HD\"\t\" -windowsize 720x1280\"\n"
                              "\"Tablet\"\t\" -windowsize 800x1280\"\n"
                              "[PixelDensity]\n"
                              "\"Default\"\t\"\"\n"
                              "\"mdpi\"\t\" -ppi 160\"\n"
                              "\"hdpi\"\t\" -ppi 240\"\n"
                              "[Input]\n"
                              "\"Touch\"\t\"\"\n"
                              "\"Mouse\"\t\" -input mouse\"\n";

QString RecordPath()
{
    return TestEnvironment::current()->root() + QStringLiteral("/emulator-record.jsonl");
}

QString EmulatorCopy()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/VelmoraMobileEmu.exe");
}

// Waits until the stand-in emulator has recorded `count` starts and returns their arguments.
QList<QStringList> WaitForRecords(int count)
{
    QList<QStringList> records;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        records.clear();
        // Only whole lines: a long one may be read while the emulator is still writing it.
        QList<QByteArray> lines = ReadBytes(RecordPath()).split('\n');
        lines.removeLast();
        for (const QByteArray &line : lines) {
            if (line.isEmpty())
                continue;
            QStringList arguments;
            for (const QJsonValue &value : QJsonDocument::fromJson(line).array())
                arguments.append(value.toString());
            records.append(arguments);
        }
        if (records.size() >= count)
            break;
        QTest::qWait(20);
    }
    return records;
}

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void treeAndTexts();
    void startsWithRemoveButtonsOff();
    void selection_data();
    void selection();
    void profileListSizeHint();
    void longListsMeasureLikeQt_data();
    void longListsMeasureLikeQt();
    void launchStartsTheEmulator();
    void longArgumentsAreLaunchedAndStoredWhole();
    void launchTwiceStartsTwo();
    void launchWaitsForAnotherProgramsWrite_data();
    void launchWaitsForAnotherProgramsWrite();
    void launchTooltipShowsWhatStarts();
    void enterInArgumentsLaunchesNothing();
    void missingEmulatorIsReported();
    void listLaunchesAndCopiesTheCommand();
    void accessibleNamesAndTabOrder();
    void quickEndIsReported();
    void earlyEndWindow_data();
    void earlyEndWindow();
    void runningCountsAndStop();
    void rowTooltipIsTheWholeName();
    void longListFilterEndsWithTheLastText();
    void helpOpensThePage();
    void logViewerFollowsFiltersAndSaves();
    void severalProfilesAtOnce();
    void windowsRememberTheirPlace();

private:
    ModalDriver *driver = nullptr;
};

void TestMainWindow::initTestCase()
{
    ShowWindowsAsWindows();
    QVERIFY(WriteBytes(DefaultConfigPath(), ShippedDefaultConfig()));
    qputenv("VELMORA_EMU_RECORD", QFile::encodeName(RecordPath()));
}

void TestMainWindow::init()
{
    QVERIFY(WriteBytes(TestEnvironment::current()->userConfigPath(), testConfig));
    QFile::remove(RecordPath());
    QFile::remove(EmulatorCopy());
    QVERIFY(QFile::copy(QStringLiteral(VELMORA_BIN_DIR "/VelmoraMobileEmu.exe"), EmulatorCopy()));
    driver = new ModalDriver;
}

void TestMainWindow::cleanup()
{
    EndRecordedEmulators();
    const QStringList problems = driver->Finish();
    delete driver;
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TestMainWindow::treeAndTexts()
{
    MainWindow window;
    WindowParts parts(window);
    QVERIFY(parts.complete());
    QCOMPARE(window.windowTitle(), QStringLiteral("Velmora Mobile Emulator"));
    QVERIFY(!window.findChild<QMenuBar *>());
    QVERIFY(!window.findChild<QToolBar *>());
    QVERIFY(!window.findChild<QStatusBar *>());

    auto *group = window.findChild<QGroupBox *>();
    QVERIFY(group);
    QCOMPARE(group->title(), QStringLiteral("Pro&file"));
    auto *form = group->findChild<QFormLayout *>();
    QVERIFY(form);
    QCOMPARE(FormLabels(group),
             (QStringList{"&Resolution", "&Pixel Density", "&Input", "&Arguments"}));
    auto *argumentsLabel =
        qobject_cast<QLabel *>(form->itemAt(3, QFormLayout::LabelRole)->widget());
    QCOMPARE(argumentsLabel->buddy(), parts.arguments);

    // Each button has a mnemonic of its own.
    QCOMPARE(parts.addResolution->text(), QStringLiteral("A&dd"));
    QCOMPARE(parts.removeResolution->text(), QStringLiteral("Remo&ve"));
    QCOMPARE(parts.addPixelDensity->text(), QStringLiteral("A&dd"));
    QCOMPARE(parts.removePixelDensity->text(), QStringLiteral("Rem&ove"));
    QCOMPARE(parts.removeProfile->text(), QStringLiteral("Re&move"));
    QCOMPARE(parts.help->text(), QStringLiteral("&Help"));
    QCOMPARE(parts.launch->text(), QStringLiteral("&Launch"));
    auto *box = window.findChild<QDialogButtonBox *>();
    QCOMPARE(box->buttonRole(parts.help), QDialogButtonBox::HelpRole);
    QCOMPARE(box->buttonRole(parts.launch), QDialogButtonBox::AcceptRole);

    QStringList rows;
    for (int i = 0; i < parts.profiles->count(); ++i)
        rows.append(parts.profiles->item(i)->text());
    QCOMPARE(rows, (QStringList{"Default", "Phone", "My tablet", "Broken", "Negative"}));
    QCOMPARE(parts.profiles->currentRow(), 0);
    QCOMPARE(parts.resolution->count(), 4);
    QCOMPARE(parts.resolution->itemText(3), QStringLiteral("Tablet"));
    QCOMPARE(parts.pixelDensity->count(), 3);
    QCOMPARE(parts.input->itemText(1), QStringLiteral("Mouse"));
    // The Input row has no buttons of its own: six push buttons in the group box.
    QCOMPARE(group->findChildren<QPushButton *>().size(), 6);
    QCOMPARE(parts.addUpdateState(), QStringLiteral("Add/off"));
}

void TestMainWindow::startsWithRemoveButtonsOff()
{
    // The first profile selects entries other than the first; their Remove buttons still
    // start disabled until the boxes change.
    QByteArray text = testConfig;
    text.replace("\"Default\"\t\"[Resolution] 0 [PixelDensity] 0", "\"Default\"\t\"[Resolution] 2 "
                                                                   "[PixelDensity] 1");
    QVERIFY(WriteBytes(TestEnvironment::current()->userConfigPath(), text));
    MainWindow window;
    WindowParts parts(window);
    QCOMPARE(parts.resolution->currentIndex(), 2);
    QCOMPARE(parts.pixelDensity->currentIndex(), 1);
    QVERIFY(!parts.removeResolution->isEnabled());
    QVERIFY(!parts.removePixelDensity->isEnabled());
    QVERIFY(!parts.removeProfile->isEnabled());
    QCOMPARE(parts.addUpdateState(), QStringLiteral("Add/off"));
    parts.resolution->setCurrentIndex(3);
    QVERIFY(parts.removeResolution->isEnabled());
}

void TestMainWindow::selection_data()
{
    // Steps: "row N" selects a profile row as a user would, "res N"/"pd N"/"in N" choose an
    // option, "args TEXT" types into the line, "slot N" calls OnProfileChanged(N) directly.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("button");   // addUpdateState()
    QTest::addColumn<QString>("removes");  // profile, resolution, pixel density: 1 = enabled
    QTest::addColumn<QList<int>>("boxes"); // current indexes
    QTest::addColumn<QString>("arguments");

    QTest::newRow("other row shows Update") << QStringList{"row 1"} << "Update/off"
                                            << "111" << QList<int>{1, 2, 1} << " -a b";
    QTest::newRow("back to row 0 shows Add") << QStringList{"row 2", "row 0"} << "Add/off"
                                             << "000" << QList<int>{0, 0, 0} << "";
    QTest::newRow("change a box") << QStringList{"row 1", "res 2"} << "Update/on"
                                  << "111" << QList<int>{2, 2, 1} << " -a b";
    QTest::newRow("change a box and back") << QStringList{"row 1", "res 2", "res 1"} << "Update/off"
                                           << "111" << QList<int>{1, 2, 1} << " -a b";
    QTest::newRow("input box counts") << QStringList{"row 0", "in 1"} << "Add/on"
                                      << "000" << QList<int>{0, 0, 1} << "";
    QTest::newRow("first entry disables remove")
        << QStringList{"row 1", "res 0", "pd 0"} << "Update/on"
        << "100" << QList<int>{0, 0, 1} << " -a b";
    QTest::newRow("typing and deleting")
        << QStringList{"row 2", "args -x 12", "args -x 1"} << "Update/off"
        << "111" << QList<int>{3, 1, 0} << "-x 1";
    QTest::newRow("blanks at the ends do not count")
        << QStringList{"row 2", "args   -x 1  "} << "Update/off"
        << "111" << QList<int>{3, 1, 0} << "  -x 1  ";
    QTest::newRow("blanks inside count") << QStringList{"row 2", "args -x  1"} << "Update/on"
                                         << "111" << QList<int>{3, 1, 0} << "-x  1";
    QTest::newRow("selecting discards edits")
        << QStringList{"row 2", "args zzz", "res 0", "row 1"} << "Update/off"
        << "111" << QList<int>{1, 2, 1} << " -a b";
    QTest::newRow("position the list lacks") << QStringList{"row 3"} << "Update/on"
                                             << "110" << QList<int>{-1, 0, 0} << "";
    QTest::newRow("stored -1 compares equal") << QStringList{"row 4"} << "Update/off"
                                              << "110" << QList<int>{-1, 0, 0} << "";
    QTest::newRow("options never touch the line")
        << QStringList{"row 2", "res 1", "pd 2", "in 1"} << "Update/on"
        << "111" << QList<int>{1, 2, 1} << " -x 1";
    QTest::newRow("rows outside change nothing")
        << QStringList{"row 2", "res 0", "slot -1", "slot 5", "slot 99"} << "Update/on"
        << "101" << QList<int>{0, 1, 0} << " -x 1";
}

void TestMainWindow::selection()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, button);
    QFETCH(QString, removes);
    QFETCH(QList<int>, boxes);
    QFETCH(QString, arguments);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowParts parts(window);
    for (const QString &step : steps) {
        const QString verb = step.section(' ', 0, 0);
        const QString rest = step.section(' ', 1);
        if (verb == "row") {
            QListWidgetItem *item = parts.profiles->item(rest.toInt());
            QTest::mouseClick(parts.profiles->viewport(), Qt::LeftButton, {},
                              parts.profiles->visualItemRect(item).center());
            QCOMPARE(parts.profiles->currentRow(), rest.toInt());
        } else if (verb == "res") {
            parts.resolution->setCurrentIndex(rest.toInt());
        } else if (verb == "pd") {
            parts.pixelDensity->setCurrentIndex(rest.toInt());
        } else if (verb == "in") {
            parts.input->setCurrentIndex(rest.toInt());
        } else if (verb == "args") {
            parts.arguments->selectAll();
            QTest::keyClicks(parts.arguments, rest);
        } else if (verb == "slot") {
            window.OnProfileChanged(rest.toInt());
        }
    }
    QCOMPARE(parts.addUpdateState(), button);
    const QString state = QString::number(parts.removeProfile->isEnabled()) +
                          QString::number(parts.removeResolution->isEnabled()) +
                          QString::number(parts.removePixelDensity->isEnabled());
    QCOMPARE(state, removes);
    QCOMPARE((QList<int>{parts.resolution->currentIndex(), parts.pixelDensity->currentIndex(),
                         parts.input->currentIndex()}),
             boxes);
    QCOMPARE(parts.arguments->text(), arguments);
}

void TestMainWindow::profileListSizeHint()
{
    MainWindow window;
    WindowParts parts(window);
    const QSize before = parts.profiles->sizeHint();
    QCOMPARE(before.height(), 192);
    const QString longName(60, QLatin1Char('W'));
    parts.profiles->addItem(longName);
    const QSize after = parts.profiles->sizeHint();
    QCOMPARE(after.height(), 192);
    QVERIFY(after.width() > before.width());
    QVERIFY(after.width() >= parts.profiles->fontMetrics().horizontalAdvance(longName) + 5);
}

void TestMainWindow::longListsMeasureLikeQt_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("widest"); // position of the one long name
    QTest::newRow("few, measured one by one") << 10 << 3;
    QTest::newRow("many, widest first") << 3000 << 0;
    QTest::newRow("many, widest last") << 3000 << 2999;
    QTest::newRow("many, widest in the middle") << 3000 << 1234;
}

// Long lists are measured from their probably widest entries only; the result must still be
// what Qt's own measurement of every entry gives.
void TestMainWindow::longListsMeasureLikeQt()
{
    QFETCH(int, count);
    QFETCH(int, widest);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(i == widest ? QStringLiteral("Wide WWWW profile name %1").arg(i)
                                 : QStringLiteral("iii %1").arg(i % 97));

    ProfileQListWidget list;
    list.addItems(names);
    QListWidget plain;
    plain.addItems(names);
    QCOMPARE(list.sizeHint().width() - 5 -
                 list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                           list.verticalScrollBar()),
             plain.sizeHintForColumn(0));
    // A longer name added later widens the hint.
    const int before = list.sizeHint().width();
    list.addItem(QStringLiteral("An even wider profile name WWWWWWWWWWWWWW"));
    QVERIFY(list.sizeHint().width() > before);

    OptionComboBox box;
    box.addItems(names);
    QComboBox reference;
    reference.addItems(names);
    QCOMPARE(box.sizeHint(), reference.sizeHint());
    QCOMPARE(box.minimumSizeHint(), reference.minimumSizeHint());
}

void TestMainWindow::launchStartsTheEmulator()
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

void TestMainWindow::longArgumentsAreLaunchedAndStoredWhole()
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

void TestMainWindow::launchTwiceStartsTwo()
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

void TestMainWindow::launchWaitsForAnotherProgramsWrite_data()
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
void TestMainWindow::launchWaitsForAnotherProgramsWrite()
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

void TestMainWindow::launchTooltipShowsWhatStarts()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowParts parts(window);
    parts.profiles->setCurrentRow(1);
    parts.arguments->setText(QStringLiteral("<b>x</b>  \"a  b\""));
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), parts.launch->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(parts.launch, &event);
    const QString expected = QStringLiteral("Starts %1\nwith the arguments:\n  -windowsize\n  "
                                            "480x800\n  -ppi\n  240\n  -input\n  mouse\n  "
                                            "-profile-name\n  Phone\n  <b>x</b>\n  a  b")
                                 .arg(EmulatorCopy());
    QCOMPARE(QToolTip::text(), ToolTipProvider::ToolTipHtml(expected));
    QToolTip::hideText();
}

void TestMainWindow::enterInArgumentsLaunchesNothing()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowParts parts(window);
    parts.arguments->setFocus();
    parts.arguments->setText(QStringLiteral("-typed"));
    QTest::keyClick(parts.arguments, Qt::Key_Return);
    QTest::keyClick(parts.arguments, Qt::Key_Enter);
    // Launches start in order: had Enter started one, it would be recorded before the click's.
    parts.arguments->setText(QStringLiteral("-clicked"));
    parts.launch->click();
    const QList<QStringList> records = WaitForRecords(1);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().last(), QStringLiteral("-clicked"));
}

void TestMainWindow::missingEmulatorIsReported()
{
    QVERIFY(QFile::remove(EmulatorCopy()));
    MainWindow window;
    WindowParts parts(window);
    driver->ExpectMessageBox(QStringLiteral("Velmora Mobile Emulator Launcher"),
                             QStringLiteral("Failed to start Velmora Mobile Emulator!"), {"OK"},
                             "OK");
    // The path it tried and the system's reason come below the text.
    QString details;
    QTimer::singleShot(0, [&details] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            details = box->informativeText();
    });
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    QVERIFY2(details.startsWith(EmulatorCopy() + ": ") && details.contains("No such file"),
             qPrintable(details));
    QCOMPARE(driver->handled, 1);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(parts.profiles->currentRow(), 0);
}

void TestMainWindow::listLaunchesAndCopiesTheCommand()
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

// An emulator that quits right after its start is reported without blocking the user: which
// profile, how it ended, the last lines of its output, and a way to its whole log.
void TestMainWindow::quickEndIsReported()
{
    // As main() makes the launcher: the emulators' subreaper, so that their end is known.
    struct Subreaper
    {
        Subreaper() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
        ~Subreaper() { ::prctl(PR_SET_CHILD_SUBREAPER, 0); }
    } subreaper;
    const EnvironmentVariable behave("VELMORA_EMU_BEHAVE", "exit:3");
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowParts parts(window);
    parts.profiles->setCurrentRow(1);
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    EarlyEndNotice *notice = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((notice = window.findChild<EarlyEndNotice *>()) != nullptr, 10000);
    QVERIFY(!notice->isModal());
    QVERIFY2(notice->Text().startsWith("The emulator for \"" + window.Config().profiles.at(1).name +
                                       "\" ended "),
             qPrintable(notice->Text()));
    QVERIFY2(notice->Text().endsWith(" seconds after it started: it exited with code 3."),
             qPrintable(notice->Text()));
    // Of 26 lines the first 5 (where a program says why it gives up) and the last 15.
    const QStringList lines = notice->Output().split('\n');
    QCOMPARE(lines.size(), 21);
    QCOMPARE(lines.at(5), QStringLiteral("[lines left out: 6]"));
    QCOMPARE(lines.last(), QStringLiteral("output line 25"));
    QVERIFY(lines.contains("VelmoraMobileEmu: giving up on purpose"));
    QVERIFY(ModalDriver::ButtonTexts(notice).contains("Open Log"));
    // It has the focus, so that Escape reaches it.
    QTRY_COMPARE(QApplication::activeWindow(), notice);
    // How it ended is in the records for the Running Emulators window, in numbers that any
    // launcher says in its own language.
    QTRY_VERIFY([] {
        const QList<EndedLaunch> ends = RecordedEnds();
        return std::any_of(ends.cbegin(), ends.cend(), [](const EndedLaunch &end) {
            return end.exited && end.code == 3 && HowEnded(end) == "it exited with code 3";
        });
    }());

    // A second failure joins the same notice, newest first; it says when nothing was written.
    const EnvironmentVariable silent("VELMORA_EMU_BEHAVE", "silent:4");
    parts.profiles->setCurrentRow(2);
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(notice->Count() == 2, 10000);
    QVERIFY(notice->Text().startsWith("2 emulators ended right after they started"));
    QVERIFY(notice->Text().section("\n\n", 1).startsWith(
        "The emulator for \"" + window.Config().profiles.at(2).name + "\" ended "));
    QCOMPARE(notice->Output(), QStringLiteral("It wrote nothing."));
    QCOMPARE(window.findChildren<EarlyEndNotice *>().size(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), notice);
    QTest::keyClick(notice, Qt::Key_Escape);
    QTRY_VERIFY(!window.findChild<EarlyEndNotice *>());

    // One started from the command line while the window runs is reported by the window, even
    // when it ended before the window could watch it.
    const EnvironmentVariable again("VELMORA_EMU_BEHAVE", "exit:3");
    QCOMPARE(RunLauncher(QStringLiteral(VELMORA_BIN_DIR "/VelmoraMobileEmuLauncher"),
                         {"--launch", window.Config().profiles.at(0).name})
                 .code,
             0);
    QTRY_VERIFY_WITH_TIMEOUT((notice = window.findChild<EarlyEndNotice *>()) != nullptr, 10000);
    QVERIFY2(notice->Text().startsWith("The emulator for \"" + window.Config().profiles.at(0).name +
                                       "\" ended "),
             qPrintable(notice->Text()));
    // How it ended, which the process that started it noted.
    QVERIFY2(notice->Text().endsWith(": it exited with code 3."), qPrintable(notice->Text()));
    notice->close();
}

// The log viewer: it follows what the emulator writes (staying where the user scrolled to),
// filters, copies, saves what it shows, and remembers wrapping.
void TestMainWindow::logViewerFollowsFiltersAndSaves()
{
    const QString log = LogDirectory() + "/20261207-101530-123-Phone.log";
    QVERIFY(WriteBytes(log, "first\r\nsecond\nthird")); // the last line not ended yet
    MainWindow window;
    LogViewer *viewer = LogViewer::Open(&window, "Phone", log);
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    auto *lines = viewer->findChild<QListView *>("logLines");
    auto *filter = viewer->findChild<QLineEdit *>("logFilter");
    auto *wrap = viewer->findChild<QCheckBox *>("logWrap");
    QVERIFY(lines && filter && wrap);
    QAbstractItemModel *model = lines->model();
    const auto rows = [model] {
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, 0).data().toString());
        return texts;
    };
    QCOMPARE(rows(), (QStringList{"first", "second", "third"}));
    QCOMPARE(LogViewer::Open(&window, "Phone", log), viewer);

    // The open line is completed and new lines follow; the view stays at the end.
    QByteArray more = " line\n";
    for (int i = 1; i <= 500; ++i)
        more += "line " + QByteArray::number(i) + '\n';
    QFile file(log);
    QVERIFY(file.open(QIODevice::Append));
    QVERIFY(file.write(more) == more.size() && file.flush());
    QTRY_COMPARE(model->rowCount(), 503);
    QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("third line"));
    QScrollBar *bar = lines->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
    // Scrolled up, it stays where the user is.
    bar->setValue(0);
    QVERIFY(file.write("line 501\nline 502\n") > 0 && file.flush());
    QTRY_COMPARE(model->rowCount(), 505);
    QCOMPARE(bar->value(), 0);

    // Plain text ignoring case; a regular expression after "/"; one that is none shows nothing.
    filter->setText("LINE 1");
    QTRY_COMPARE(model->rowCount(), 1 + 10 + 100);
    filter->setText("/^line [1-3]$");
    QTRY_COMPARE(rows(), (QStringList{"line 1", "line 2", "line 3"}));
    QVERIFY(file.write("line 3\nline 4\n") > 0 && file.flush());
    QTRY_COMPARE(rows(), (QStringList{"line 1", "line 2", "line 3", "line 3"}));
    lines->selectAll();
    QTest::keyClick(lines, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("line 1\nline 2\nline 3\nline 3\n"));
    const QString saved = TestEnvironment::current()->root() + "/saved.log";
    driver->Expect([this, saved](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        driver->Check(dialog, "expected a file dialog");
        if (!dialog)
            return;
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(saved);
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    });
    QTest::mouseClick(ModalDriver::FindButton(viewer, "Save As…"), Qt::LeftButton);
    QCOMPARE(ReadBytes(saved), QByteArray("line 1\nline 2\nline 3\nline 3\n"));
    // A line finished by a later write is filtered again as a whole: gone once it no longer
    // matches, shown once it does.
    const QStringList four = rows();
    QVERIFY(file.write("line 2") > 0 && file.flush());
    QTRY_COMPARE(rows(), four + QStringList{"line 2"});
    QVERIFY(file.write("0\n") > 0 && file.flush());
    QTRY_COMPARE(rows(), four);
    QVERIFY(file.write("line ") > 0 && file.flush());
    QTest::qWait(300); // read while still open
    QVERIFY(file.write("1\n") > 0 && file.flush());
    QTRY_COMPARE(rows(), four + QStringList{"line 1"});
    filter->setText("/(");
    QCOMPARE(model->rowCount(), 0);
    auto *status = viewer->findChild<QLabel *>("logStatus");
    QVERIFY(status->text().startsWith("The filter is no regular expression"));

    // An expression that backtracks for ages on a line never holds up the window: it searches
    // on its own thread, a new keystroke ends it, and the lines it gave up on are counted.
    QByteArray costly;
    for (int i = 0; i < 300; ++i)
        costly += QByteArray(40, 'a') + "b\n";
    QVERIFY(file.write(costly) == costly.size() && file.flush());
    QTRY_COMPARE(viewer->findChild<QListView *>("logLines")->model()->rowCount(), 0);
    filter->setText("/(a+)+");
    filter->setText("/(a+)+$");
    QTRY_VERIFY2(status->text().contains("too costly for 300 lines"), qPrintable(status->text()));
    QVERIFY(!status->text().contains("searching"));
    QCOMPARE(model->rowCount(), 0);
    filter->setText("/a{40}b");
    QTRY_COMPARE(model->rowCount(), 300);

    // Escape empties the filter, and then closes the viewer; it is a window to a screen reader.
    QCOMPARE(QAccessible::queryAccessibleInterface(viewer)->role(), QAccessible::Window);
    filter->setFocus();
    QTest::keyClick(filter, Qt::Key_Escape);
    QCOMPARE(filter->text(), QString());
    QVERIFY(viewer->isVisible());
    QTest::keyClick(filter, Qt::Key_Escape);
    QTRY_VERIFY(!window.findChild<LogViewer *>());
    viewer = LogViewer::Open(&window, "Phone", log);
    wrap = viewer->findChild<QCheckBox *>("logWrap");

    // Wrapping is remembered for the next viewer.
    QVERIFY(!wrap->isChecked());
    wrap->setChecked(true);
    viewer->close();
    QTRY_VERIFY(!window.findChild<LogViewer *>());
    viewer = LogViewer::Open(&window, "Phone", log);
    QVERIFY(viewer->findChild<QCheckBox *>("logWrap")->isChecked());
    QVERIFY(viewer->findChild<QListView *>("logLines")->wordWrap());
    viewer->findChild<QCheckBox *>("logWrap")->setChecked(false);
    viewer->close();
}

// An extended selection: Launch starts each selected profile as stored, Remove asks once for
// all, more than five launches are asked about first; the current row still fills the window.
void TestMainWindow::severalProfilesAtOnce()
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

// Size and place come back at the next start, put on a screen that is there; file dialogs
// start in the folder used last.
void TestMainWindow::windowsRememberTheirPlace()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint place : {screen.topLeft() + QPoint(40, 30), QPoint(20000, 20000)}) {
        {
            QWidget window;
            RememberGeometry(&window, "test");
            window.setGeometry(QRect(place, QSize(420, 260)));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.close();
        }
        QWidget again;
        RememberGeometry(&again, "test");
        QCOMPARE(again.size(), QSize(420, 260));
        QVERIFY2(screen.intersects(again.geometry()), qPrintable(QString::number(again.x())));
        if (place.x() < 10000)
            QCOMPARE(again.pos(), place);
    }
    const QString folder = TestEnvironment::current()->root() + "/exports";
    QVERIFY(QDir().mkpath(folder));
    NoteLastFolder(folder + "/Profiles.ini");
    QFileDialog dialog;
    StartInLastFolder(&dialog);
    QCOMPARE(dialog.directory().absolutePath(), folder);
}

void TestMainWindow::earlyEndWindow_data()
{
    QTest::addColumn<int>("agoMs"); // how long before its end it started
    QTest::addColumn<bool>("told");
    QTest::newRow("ended a second after its start") << 1000 << true;
    QTest::newRow("ended six seconds after its start") << 6000 << false;
}

// Only an emulator that ends within five seconds of its start counts as a failed launch.
void TestMainWindow::earlyEndWindow()
{
    QFETCH(int, agoMs);
    QFETCH(bool, told);
    // A child of this process, as the window's own emulators are: how it ended is known at once.
    pid_t child = 0;
    char sleep[] = "sleep";
    char sixty[] = "60";
    char *argv[] = {sleep, sixty, nullptr};
    QCOMPARE(::posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
    const qint64 pid = child;
    QTRY_VERIFY(!ProcessIdentity(pid).isEmpty());
    EmulatorMonitor monitor;
    QSignalSpy ended(&monitor, &EmulatorMonitor::endedEarly);
    monitor.Add({QStringLiteral("Timed"), pid, ProcessIdentity(pid),
                 QDateTime::currentDateTime().addMSecs(-agoMs), QString()});
    QCOMPARE(monitor.Counts().value("Timed"), 1);
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QTRY_COMPARE(monitor.Counts().value("Timed"), 0);
    QCOMPARE(ended.count(), told ? 1 : 0);
}

// A row says how many of its emulators run, in words for screen readers, and Stop ends them.
void TestMainWindow::runningCountsAndStop()
{
    const EnvironmentVariable behave("VELMORA_EMU_BEHAVE", "stay");
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowParts parts(window);
    parts.profiles->setCurrentRow(1);
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    QListWidgetItem *row = parts.profiles->item(1);
    QTRY_COMPARE(row->data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("2 running"));
    QCOMPARE(row->data(RunningCountDelegate::CountRole).toInt(), 2);
    QCOMPARE(row->text(), window.Config().profiles.at(1).name); // the name stays as it is
    QCOMPARE(parts.profiles->item(0)->data(Qt::AccessibleDescriptionRole).toString(), QString());
    const QList<LaunchRecord> running = window.Launcher()->Monitor()->Records();
    QCOMPARE(running.size(), 2);

    // The Running Emulators window (Ctrl+R): one row each; one stopped alone, its command
    // copied and launched again.
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(parts.profiles, Qt::Key_R, Qt::ControlModifier);
    auto *panel = window.findChild<RunningPanel *>();
    QVERIFY(panel && panel->isVisible());
    QVERIFY(RunningPanel::WasOpen());
    auto *table = panel->findChild<QTableView *>("runningTable");
    QAbstractItemModel *rows = table->model();
    // Emulators of earlier tests are listed as ended; these two are found by their id.
    const auto rowOf = [rows](qint64 pid) {
        for (int r = 0; r < rows->rowCount(); ++r) {
            if (rows->index(r, EmulatorTableModel::PidColumn).data().toLongLong() == pid)
                return r;
        }
        return -1;
    };
    const auto stateOf = [rows, &rowOf](qint64 pid) {
        return rows->index(rowOf(pid), EmulatorTableModel::StateColumn).data().toString();
    };
    QTRY_COMPARE(stateOf(running.at(0).pid), QStringLiteral("running"));
    QCOMPARE(stateOf(running.at(1).pid), QStringLiteral("running"));
    table->sortByColumn(EmulatorTableModel::PidColumn, Qt::AscendingOrder);
    for (int r = 1; r < rows->rowCount(); ++r)
        QVERIFY(rows->index(r - 1, EmulatorTableModel::PidColumn).data().toLongLong() <=
                rows->index(r, EmulatorTableModel::PidColumn).data().toLongLong());
    table->selectRow(rowOf(running.at(0).pid));
    QTest::mouseClick(ModalDriver::FindButton(panel, "Stop"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(row->data(RunningCountDelegate::CountRole).toInt(), 1, 10000);
    QTRY_COMPARE(stateOf(running.at(0).pid), QStringLiteral("stopped by the launcher"));
    QCOMPARE(stateOf(running.at(1).pid), QStringLiteral("running"));
    const int listed = rows->rowCount();
    table->selectRow(rowOf(running.at(0).pid));
    // A window to a screen reader; Tab leaves the table for its buttons.
    QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(panel);
    QVERIFY(shown);
    QCOMPARE(shown->role(), QAccessible::Window);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Tab);
    QVERIFY(qobject_cast<QPushButton *>(QApplication::focusWidget()));
    QTest::mouseClick(ModalDriver::FindButton(panel, "Copy Command Line"), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), ShellCommand(window.CurrentCommand()));
    QTest::mouseClick(ModalDriver::FindButton(panel, "Launch Again"), Qt::LeftButton);
    QTRY_COMPARE(row->data(RunningCountDelegate::CountRole).toInt(), 2);
    QTRY_COMPARE(rows->rowCount(), listed + 1);
    QTest::keyClick(table, Qt::Key_Escape);
    QTRY_VERIFY(!panel->isVisible());
    QVERIFY(!RunningPanel::WasOpen());
    // Stopped within a second of their start: that is no failed launch to report.
    window.Control()->StopSelected();
    QTRY_COMPARE_WITH_TIMEOUT(row->data(Qt::AccessibleDescriptionRole).toString(), QString(),
                              10000);
    for (const LaunchRecord &record : running)
        QVERIFY(!IsRunning(record));
    QCOMPARE(window.Launcher()->Monitor()->Records().size(), 0);
    QCOMPARE(window.findChild<EarlyEndNotice *>(), nullptr);
    // Nor when another launcher process stops it.
    QTest::mouseClick(parts.launch, Qt::LeftButton);
    QTRY_COMPARE(row->data(RunningCountDelegate::CountRole).toInt(), 1);
    QCOMPARE(
        RunLauncher(QStringLiteral(VELMORA_BIN_DIR "/VelmoraMobileEmuLauncher"), {"--stop-all"})
            .code,
        0);
    QTRY_COMPARE_WITH_TIMEOUT(row->data(RunningCountDelegate::CountRole).toInt(), 0, 10000);
    QCOMPARE(window.findChild<EarlyEndNotice *>(), nullptr);
}

void TestMainWindow::accessibleNamesAndTabOrder()
{
    MainWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    WindowParts parts(window);
    parts.profiles->setCurrentRow(1); // every Remove button enabled
    parts.resolution->setCurrentIndex(1);
    parts.pixelDensity->setCurrentIndex(1);

    const auto name = [](QWidget *widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    QCOMPARE(name(parts.profiles), QStringLiteral("Profiles"));
    QCOMPARE(name(window.findChild<QLineEdit *>("profileFilter")),
             QStringLiteral("Filter profiles"));
    // A combo box is named by its entry here; its label comes through the "labelled by"
    // relation, which screen readers read out with it.
    const auto label = [](QWidget *widget) {
        const auto relations =
            QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label);
        return relations.isEmpty() ? QString() : relations.first().first->text(QAccessible::Name);
    };
    QCOMPARE(label(parts.resolution), QStringLiteral("Resolution"));
    QCOMPARE(label(parts.pixelDensity), QStringLiteral("Pixel Density"));
    QCOMPARE(label(parts.input), QStringLiteral("Input"));
    QCOMPARE(label(parts.arguments), QStringLiteral("Arguments"));
    QCOMPARE(name(parts.addUpdate), QStringLiteral("Update profile"));
    QCOMPARE(name(parts.removeProfile), QStringLiteral("Remove profile"));
    QCOMPARE(name(parts.addResolution), QStringLiteral("Add resolution"));
    QCOMPARE(name(parts.removeResolution), QStringLiteral("Remove resolution"));
    QCOMPARE(name(parts.addPixelDensity), QStringLiteral("Add pixel density"));
    QCOMPARE(name(parts.removePixelDensity), QStringLiteral("Remove pixel density"));
    parts.profiles->setCurrentRow(0);
    QCOMPARE(name(parts.addUpdate), QStringLiteral("Add profile"));
    parts.arguments->setText("-described");
    QCOMPARE(QAccessible::queryAccessibleInterface(parts.launch)->text(QAccessible::Description),
             DescribeCommand(window.CurrentCommand()));
    QVERIFY(DescribeCommand(window.CurrentCommand()).endsWith("-described"));
    // The visible texts stay the design's, with a mnemonic.
    QCOMPARE(parts.addUpdate->text(), QStringLiteral("A&dd"));
    // A screen reader that selects a row selects the profile: the widgets show it, and Launch
    // starts it.
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(parts.profiles);
    QVERIFY(list && list->tableInterface());
    // The list takes several rows: a reader that picks one unselects the other first.
    QVERIFY(list->tableInterface()->unselectRow(0));
    QVERIFY(list->tableInterface()->selectRow(2));
    QCOMPARE(parts.profiles->currentRow(), 2);
    QCOMPARE(parts.arguments->text(), window.Config().profiles.at(2).arguments);

    // Tab visits every control in visual order, Help included, and comes back.
    parts.profiles->setCurrentRow(1);
    parts.resolution->setCurrentIndex(1);
    parts.pixelDensity->setCurrentIndex(1);
    parts.arguments->setText("-changed"); // Update enabled
    parts.profiles->setFocus();
    QStringList order;
    for (int i = 0; i < 15; ++i) {
        order.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QVERIFY(!parts.launch->isDefault());
    // The platform decides where Help and Launch stand; Tab takes them left to right.
    const bool helpFirst = parts.help->x() < parts.launch->x();
    QCOMPARE(
        order,
        (QStringList{"profileList", "addUpdateButton", "removeProfileButton", "resolutionBox",
                     "addResolutionButton", "removeResolutionButton", "pixelDensityBox",
                     "addPixelDensityButton", "removePixelDensityButton", "inputBox",
                     "argumentsEdit", helpFirst ? "helpButton" : "launchButton",
                     helpFirst ? "launchButton" : "helpButton", "profileFilter", "profileList"}));
}

// A long list is filtered a slice at a time: texts typed faster than that end with the rows of
// the last one, and a longer text does not trust rows an earlier, unfinished text left hidden.
void TestMainWindow::longListFilterEndsWithTheLastText()
{
    ProfileQListWidget list;
    QStringList names;
    for (int i = 0; i < 12000; ++i)
        names.append(QStringLiteral("Profile %1").arg(i));
    list.addItems(names);
    list.setCurrentRow(11999);
    list.SetFilter("zz");
    QTRY_VERIFY(list.FilterApplied());
    list.SetFilter("profile 1");
    list.SetFilter("PROFILE 11");
    QTRY_VERIFY(list.FilterApplied());
    int shown = 0;
    for (int row = 0; row < list.count(); ++row) {
        const bool contains = names.at(row).startsWith("Profile 11");
        QCOMPARE(list.isRowHidden(row), !contains);
        shown += contains ? 1 : 0;
    }
    QCOMPARE(shown, 1111); // 11, 110-119, 1100-1199, 11000-11999
    QCOMPARE(list.currentRow(), 11999);
    QVERIFY(list.CurrentRowShown());
}

void TestMainWindow::rowTooltipIsTheWholeName()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowParts parts(window);
    QWidget *viewport = parts.profiles->viewport();
    const QPoint row = parts.profiles->visualItemRect(parts.profiles->item(2)).center();
    QHelpEvent event(QEvent::ToolTip, row, viewport->mapToGlobal(row));
    QApplication::sendEvent(viewport, &event);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), ToolTipProvider::ToolTipHtml("My tablet"));
    QToolTip::hideText();
}

void TestMainWindow::helpOpensThePage()
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    MainWindow window;
    WindowParts parts(window);
    QTest::mouseClick(parts.help, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(recorder.urls, QList<QUrl>{QUrl::fromLocalFile(QCoreApplication::applicationDirPath() +
                                                            QStringLiteral("/LauncherHelp.html"))});
}

VELMORA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
