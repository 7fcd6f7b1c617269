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

namespace {

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
    void launchTooltipShowsWhatStarts();
    void enterInArgumentsLaunchesNothing();
    void accessibleNamesAndTabOrder();
    void rowTooltipIsTheWholeName();
    void longListFilterEndsWithTheLastText();
    void helpOpensThePage();
    void windowsRememberTheirPlace();

private:
    ModalDriver *driver = nullptr;
};

void TestMainWindow::initTestCase()
{
    QVERIFY(PrepareWindowSuite());
}

void TestMainWindow::init()
{
    QVERIFY(PrepareWindowTest(&driver));
}

void TestMainWindow::cleanup()
{
    const QStringList problems = EndWindowTest(&driver);
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
    // A remembered size larger than any screen (another program wrote it) fits the screen.
    {
        QWidget huge;
        huge.setGeometry(QRect(screen.topLeft() + QPoint(10, 10), QSize(100000, 100000)));
        WindowSettings().setValue("huge/geometry", huge.saveGeometry());
        QWidget again;
        RememberGeometry(&again, "huge");
        QVERIFY2(screen.contains(again.geometry()),
                 qPrintable(QStringLiteral("%1x%2").arg(again.width()).arg(again.height())));
    }
    // A settings file larger than the launcher ever writes is set aside, not read.
    const QString settings = TestEnvironment::current()->root() + "/big.conf";
    QVERIFY(WriteBytes(settings, QByteArray(2 << 20, 'x')));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is larger than 1024 KiB"));
    QVERIFY(SetAsideIfTooLarge(settings, MaxWindowSettingsBytes));
    QVERIFY(!QFileInfo::exists(settings) && QFileInfo::exists(settings + ".too-large"));
    QVERIFY(WriteBytes(settings, QByteArray(4096, 'x')));
    QVERIFY(!SetAsideIfTooLarge(settings, MaxWindowSettingsBytes));

    const QString folder = TestEnvironment::current()->root() + "/exports";
    QVERIFY(QDir().mkpath(folder));
    NoteLastFolder(folder + "/Profiles.ini");
    QFileDialog dialog;
    StartInLastFolder(&dialog);
    QCOMPARE(dialog.directory().absolutePath(), folder);
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
