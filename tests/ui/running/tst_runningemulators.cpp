// The running emulators as the window shows them: counts on the rows, stopping, the notice of
// an emulator that ended at once, and the log viewer.

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

class TestRunningEmulators : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void quickEndIsReported();
    void earlyEndWindow_data();
    void earlyEndWindow();
    void runningCountsAndStop();
    void manyEndsAtOnceMakeOneNotice();
    void logViewerFollowsFiltersAndSaves();
    void largeLogShownByItsEnd();

private:
    ModalDriver *driver = nullptr;
};

void TestRunningEmulators::initTestCase()
{
    QVERIFY(PrepareWindowSuite());
}

void TestRunningEmulators::init()
{
    QVERIFY(PrepareWindowTest(&driver));
}

void TestRunningEmulators::cleanup()
{
    const QStringList problems = EndWindowTest(&driver);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

// An emulator that quits right after its start is reported without blocking the user: which
// profile, how it ended, the last lines of its output, and a way to its whole log.
void TestRunningEmulators::quickEndIsReported()
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

void TestRunningEmulators::earlyEndWindow_data()
{
    QTest::addColumn<int>("agoMs"); // how long before its end it started
    QTest::addColumn<bool>("told");
    QTest::newRow("ended a second after its start") << 1000 << true;
    QTest::newRow("ended six seconds after its start") << 6000 << false;
}

// Only an emulator that ends within five seconds of its start counts as a failed launch.
void TestRunningEmulators::earlyEndWindow()
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
    // The count drops at once; how it ended goes to the records first, off this thread, and
    // the early end is told when that is done.
    QCoreApplication::processEvents();
    monitor.WaitForDisk();
    QCoreApplication::sendPostedEvents(&monitor, QEvent::MetaCall);
    if (told)
        QTRY_COMPARE(ended.count(), 1);
    else
        QCOMPARE(ended.count(), 0);
}

// A row says how many of its emulators run, in words for screen readers, and Stop ends them.
void TestRunningEmulators::runningCountsAndStop()
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

// The log viewer: it follows what the emulator writes (staying where the user scrolled to),
// filters, copies, saves what it shows, and remembers wrapping.
void TestRunningEmulators::logViewerFollowsFiltersAndSaves()
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

// A log larger than the viewer reads at once opens at its end; earlier parts come on demand,
// with the line that was at the top kept there.
void TestRunningEmulators::largeLogShownByItsEnd()
{
    const QString log = LogDirectory() + "/20261207-101530-124-Phone.log";
    QByteArray text;
    for (int n = 0; text.size() < LogText::DefaultWindow + (8 << 20); ++n)
        text += "line " + QByteArray::number(n).rightJustified(7, '0') + QByteArray(52, '.') + '\n';
    QVERIFY(WriteBytes(log, text));
    const int count = int(text.count('\n'));
    // No launcher window: its start prunes a log this large of an emulator long gone.
    QWidget window;
    LogViewer *viewer = LogViewer::Open(&window, "Phone", log);
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    auto *lines = viewer->findChild<QListView *>("logLines");
    auto *earlier = viewer->findChild<QPushButton *>("logEarlier");
    auto *latest = viewer->findChild<QPushButton *>("logLatest");
    QVERIFY(lines && earlier && latest && earlier->isVisible());
    QAbstractItemModel *model = lines->model();
    const auto lineAt = [model](int row) {
        return model->index(row, 0).data().toString().mid(5, 7).toInt();
    };
    QCOMPARE(lineAt(model->rowCount() - 1), count - 1);
    const int firstRead = lineAt(0);
    QVERIFY(firstRead > 0 && model->rowCount() < count);
    QVERIFY(earlier->isEnabled() && !latest->isEnabled());

    lines->scrollToTop();
    QTest::mouseClick(earlier, Qt::LeftButton);
    QVERIFY(lineAt(0) < firstRead);
    QCOMPARE(lineAt(lines->indexAt(QPoint(0, 0)).row()), firstRead);
    QTest::mouseClick(earlier, Qt::LeftButton);
    QCOMPARE(lineAt(0), 0);
    QVERIFY(!earlier->isEnabled() && latest->isEnabled());
    QTest::mouseClick(latest, Qt::LeftButton);
    QCOMPARE(lineAt(model->rowCount() - 1), count - 1);
    // Gone meanwhile (pruned): said, and what is shown stays.
    QVERIFY(QFile::remove(log));
    QTest::mouseClick(earlier, Qt::LeftButton);
    QCOMPARE(lineAt(model->rowCount() - 1), count - 1);
    QVERIFY(viewer->findChild<QLabel *>("logStatus")->text().contains("cannot be read"));
    viewer->close();
}

// Many emulators that end together (a batch that failed) make one notice, the first shown at
// once and the rest added together, newest first.
void TestRunningEmulators::manyEndsAtOnceMakeOneNotice()
{
    MainWindow window;
    const QDateTime started = QDateTime::currentDateTime();
    for (int i = 1; i <= 1000; ++i)
        emit window.Launcher()->Monitor()->endedEarly(
            {QStringLiteral("P%1").arg(i), i + 1, QString(), started, QString()}, QString());
    QCOMPARE(window.findChildren<EarlyEndNotice *>().size(), 1);
    auto *notice = window.findChild<EarlyEndNotice *>();
    QTRY_COMPARE(notice->Count(), 1000);
    QVERIFY2(notice->Text().startsWith("1,000 emulators ended right after they started"),
             qPrintable(notice->Text().left(200)));
    QVERIFY2(notice->Text().contains("\"P1000\""), qPrintable(notice->Text().left(300)));
    notice->close();
}

VELMORA_TEST_MAIN(TestRunningEmulators)
#include "tst_runningemulators.moc"
