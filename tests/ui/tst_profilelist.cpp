// The profile list as a keyboard user works it: its keys and menu, the filter and moving,
// the selection after each step, the removal question, and the letters of every window.

#include "editingsuite.h"
#include "extrasactions.h"
#include "listorder.h"
#include "windowmemory.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

// Standard buttons as a desktop theme names them, each with a letter of its own ("&Close").
class ThemeLetters : public QTranslator
{
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        const QString text = QString::fromUtf8(source);
        if (qstrcmp(context, "QPlatformTheme") == 0 && !text.contains('&') &&
            text.front().isLetter())
            return '&' + text;
        return QString();
    }
};

} // namespace

class TestProfileList : public QObject, protected EditingSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { InitSuite(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

    void keysOnTheList_data();
    void keysOnTheList();
    void filterAndMove_data();
    void filterAndMove();
    void selectionAfterSteps_data();
    void selectionAfterSteps();
    void removalQuestionListsFifteenNames_data();
    void removalQuestionListsFifteenNames();
    void mnemonicsEverywhere_data();
    void mnemonicsEverywhere();
    void organizeFromTheMenu();
    void sortedList();
    void importAsksBeforeCommands_data();
    void importAsksBeforeCommands();
};

// The list's own keys and context menu, as a user drives them; cleanup() checks the file.
void TestProfileList::keysOnTheList_data()
{
    QTest::addColumn<ListStep>("step");

    QTest::newRow("F2 renames; a name another profile has is refused and asked again") << ListStep(
        [this] {
            parts->profiles->setCurrentRow(1);
            parts->profiles->setFocus();
            const QString title = "Rename Profile";
            const QString label = "Enter the new name for the profile";
            driver->ExpectInput(title, label, "B", "A");
            driver->ExpectMessageBox(title, "A profile named \"B\" already exists.", {"OK"}, "OK");
            driver->ExpectInput(title, label, "Alpha", "B");
            QTest::keyClick(parts->profiles, Qt::Key_F2);
            QCOMPARE(window->Config().profiles.at(1).name, QStringLiteral("Alpha"));
            QCOMPARE(window->Config().profiles.at(1).optionIndex, (QList<int>{2, 1, 0}));
            QCOMPARE(parts->profiles->item(1)->text(), QStringLiteral("Alpha"));
        });
    QTest::newRow("Shift+F10 opens the list's menu, whose letters choose; the first profile "
                  "cannot be removed")
        << ListStep([this] {
               QApplication::setActiveWindow(window);
               QVERIFY(QTest::qWaitForWindowActive(window));
               parts->profiles->setCurrentRow(0);
               QStringList shown;
               bool removeEnabled = true;
               QTimer::singleShot(0, [&] {
                   auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                   if (!menu)
                       return;
                   for (QAction *action : menu->actions()) {
                       if (action->isSeparator())
                           continue;
                       shown.append(action->text());
                       if (action->text() == "Re&move")
                           removeEnabled = action->isEnabled();
                   }
                   QTest::keyClick(menu, Qt::Key_D);
               });
               driver->ExpectInput("Duplicate Profile", "Enter the name for the copy",
                                   "Default (copy)", "Default (copy)");
               // X11 makes no context menu event of Shift+F10: the launcher does.
               parts->profiles->setFocus();
               QTest::keyClick(parts->profiles, Qt::Key_F10, Qt::ShiftModifier);
               QCOMPARE(shown, (QStringList{"&Launch",
                                            "&Stop",
                                            "Show Lo&g",
                                            "&Duplicate…",
                                            "&New Profile from Device…",
                                            "&Rename…",
                                            "Re&move",
                                            "&Undo",
                                            "Red&o",
                                            "&Copy Command Line",
                                            "&Add to Applications Menu",
                                            "Remove &from Applications Menu",
                                            "Organi&ze",
                                            "Launc&h Tag",
                                            "Sto&p Tag",
                                            "Sort &By",
                                            "Windo&ws",
                                            "&Import Profiles…",
                                            "E&xport Profiles…",
                                            "Running &Emulators…",
                                            "S&top All Emulators"}));
               QVERIFY(!removeEnabled);
               QCOMPARE(window->Config().ProfileNames().last(), QStringLiteral("Default (copy)"));
               QCOMPARE(parts->profiles->currentRow(), 5);
               QCOMPARE(window->Config().profiles.at(5).optionIndex, (QList<int>{0, 0, 0}));
           });
    QTest::newRow("Delete asks as the button does; never on the first profile") << ListStep([this] {
        driver->ExpectMessageBox("Confirm Remove Profile",
                                 "Are you sure you want to remove this profile?\n\nFar",
                                 {"OK", "Cancel"}, "OK");
        parts->profiles->setCurrentRow(4);
        parts->profiles->setFocus();
        QTest::keyClick(parts->profiles, Qt::Key_Delete);
        QCOMPARE(window->Config().ProfileNames(), (QStringList{"Default", "A", "B", "C"}));
        QCOMPARE(parts->profiles->currentRow(), 0);
        QTest::keyClick(parts->profiles, Qt::Key_Delete);
        QCOMPARE(window->Config().profiles.size(), 4);
        QCOMPARE(driver->handled, 1);
    });
    QTest::newRow("Shift+F10 on Launch opens its menu") << ListStep([this] {
        QStringList launchMenu;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                poll.stop();
                for (QAction *action : menu->actions())
                    launchMenu.append(action->text());
                QTest::keyClick(menu, Qt::Key_Escape);
            }
        });
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        poll.start(10);
        QTimer::singleShot(5000, &poll, &QTimer::stop);
        parts->launch->setFocus();
        QTest::keyClick(parts->launch, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(launchMenu, QStringList{"&Copy Command Line"});
    });
}

// The list's keys as a keyboard user meets them.
void TestProfileList::keysOnTheList()
{
    QFETCH(ListStep, step);
    step();
}

void TestProfileList::filterAndMove_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("row");       // selected before the filter is typed
    QTest::addColumn<int>("key");       // 0: none
    QTest::addColumn<QString>("where"); // "alt": with Alt in the list; "list", "filter": plain
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("current");
    const QStringList all{"Default", "A", "B", "C", "Far"};
    const int down = Qt::Key_Down;
    const int up = Qt::Key_Up;
    // A name with "*" is shown in italics: its settings meet the filter, its name does not.
    QTest::newRow("ignoring case, by name or settings")
        << "a" << 1 << 0 << "alt" << QStringList{"Default", "A", "B*", "Far"} << all << 1;
    QTest::newRow("by an option's value")
        << "720" << 0 << 0 << "alt" << QStringList{"C*"} << all << 0;
    QTest::newRow("by an option's name")
        << "MOUSE" << 0 << 0 << "alt" << QStringList{"B*"} << all << 0;
    QTest::newRow("a hidden current profile stays current")
        << "-c" << 2 << 0 << "alt" << QStringList{"C*"} << all << 2;
    QTest::newRow("no match") << "zz" << 3 << 0 << "alt" << QStringList{} << all << 3;
    QTest::newRow("down, past the neighbour shown")
        << "a" << 1 << down << "alt" << QStringList{"Default", "A", "B*", "Far"}
        << QStringList{"Default", "B", "A", "C", "Far"} << 2;
    QTest::newRow("up") << "" << 3 << up << "alt" << all
                        << QStringList{"Default", "A", "C", "B", "Far"} << 2;
    QTest::newRow("nothing above the first profile") << "" << 1 << up << "alt" << all << all << 1;
    QTest::newRow("the first profile stays") << "" << 0 << down << "alt" << all << all << 0;
    QTest::newRow("the last stays last") << "" << 4 << down << "alt" << all << all << 4;
    QTest::newRow("a hidden current profile does not move")
        << "-c" << 2 << down << "alt" << QStringList{"C*"} << all << 2;
    QTest::newRow("End with no row shown selects no hidden one")
        << "zz" << 3 << int(Qt::Key_End) << "list" << QStringList{} << all << 3;
    QTest::newRow("Home with no row shown selects no hidden one")
        << "zz" << 3 << int(Qt::Key_Home) << "list" << QStringList{} << all << 3;
    QTest::newRow("Home goes to the first row shown")
        << "-c" << 1 << int(Qt::Key_Home) << "list" << QStringList{"C*"} << all << 3;
    QTest::newRow("Down in the filter goes to the first row shown")
        << "far" << 1 << down << "filter" << QStringList{"Far"} << all << 4;
    QTest::newRow("Down in the filter prefers a row met by its name")
        << "c" << 0 << down << "filter" << QStringList{"Default*", "A*", "C", "Far*"} << all << 3;
}

// The filter above the list, keys on it, and Alt+Up/Down on the list; a move keeps what the
// widgets show and is saved at once (cleanup() reads the file).
void TestProfileList::filterAndMove()
{
    QFETCH(QString, filter);
    QFETCH(int, row);
    QFETCH(int, key);
    QFETCH(QString, where);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, order);
    QFETCH(int, current);
    auto *filterEdit = window->findChild<QLineEdit *>("profileFilter");
    QVERIFY(filterEdit);
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    // The list has the keyboard from the start.
    QCOMPARE(QApplication::focusWidget(), parts->profiles);
    parts->profiles->setCurrentRow(row);
    parts->arguments->setText("-typed");
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), filterEdit);
    QTest::keyClicks(filterEdit, filter);
    const auto visible = [this] {
        QStringList names;
        for (int r = 0; r < parts->profiles->count(); ++r) {
            const QListWidgetItem *row = parts->profiles->item(r);
            if (parts->profiles->isRowHidden(r))
                continue;
            // What the italics show is said to screen readers too.
            const bool said = row->data(Qt::AccessibleDescriptionRole)
                                  .toString()
                                  .contains("found by its options or arguments");
            names.append(row->text() + (row->font().italic() ? "*" : "") +
                         (said != row->font().italic() ? " (not said)" : ""));
        }
        return names;
    };
    QCOMPARE(visible(), shown);
    if (key && where == "filter") {
        QTest::keyClick(filterEdit, Qt::Key(key));
        QCOMPARE(QApplication::focusWidget(), parts->profiles);
    } else if (key) {
        parts->profiles->setFocus();
        QTest::keyClick(parts->profiles, Qt::Key(key),
                        where == "alt" ? Qt::AltModifier : Qt::NoModifier);
    }
    QCOMPARE(window->Config().ProfileNames(), order);
    QStringList rows;
    for (int r = 0; r < parts->profiles->count(); ++r)
        rows.append(parts->profiles->item(r)->text());
    QCOMPARE(rows, order);
    QCOMPARE(parts->profiles->currentRow(), current);
    // A row dropped onto the first profile stays below it.
    emit static_cast<ProfileQListWidget *>(parts->profiles)->moveRequested(2, 0);
    QCOMPARE(window->Config().ProfileNames(), order);
    // The widgets show the current profile: what was typed while it stayed, its own otherwise.
    QCOMPARE(parts->arguments->text(), initial.profiles.at(row).name == order.at(current)
                                           ? QStringLiteral("-typed")
                                           : window->Config().profiles.at(current).arguments);
    if (filter == "a" && !key) {
        // Renamed and added rows follow the filter.
        window->ListActions()->RenameProfile("B", "Bat");
        window->ListActions()->RenameProfile("A", "Q");
        QCOMPARE(visible(), (QStringList{"Default", "Q*", "Bat", "Far"}));
        // So do profiles whose settings change.
        parts->profiles->setCurrentRow(3);
        parts->resolution->setCurrentIndex(2);
        QTest::mouseClick(parts->addUpdate, Qt::LeftButton);
        QCOMPARE(visible(), (QStringList{"Default", "Q*", "Bat", "C*", "Far"}));
        parts->profiles->setCurrentRow(current);
        initial = window->Config();
    }
    // Escape empties the filter and returns to the list.
    filterEdit->setFocus();
    QTest::keyClick(filterEdit, Qt::Key_Escape);
    QCOMPARE(filterEdit->text(), QString());
    QCOMPARE(QApplication::focusWidget(), parts->profiles);
    for (int r = 0; r < parts->profiles->count(); ++r)
        QVERIFY(!parts->profiles->isRowHidden(r));
    QCOMPARE(parts->profiles->currentRow(), current);
}

void TestProfileList::selectionAfterSteps_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("selected"); // the current profile first
    QTest::addColumn<QString>("resolution");   // what the box shows then
    // The Remove button leaves the first profile selected, as it always did.
    QTest::newRow("removed: the first profile")
        << "remove B" << QStringList{"Default"} << "Default";
    QTest::newRow("an added profile at the end undone: the one above")
        << "add, undo" << QStringList{"Far"} << "(none)";
    QTest::newRow("several removed and brought back: all of them")
        << "remove A B, undo" << QStringList{"A", "B"} << "WVGA";
    QTest::newRow("an added resolution undone: the profile's own again")
        << "add resolution, undo" << QStringList{"B"} << "WVGA";
}

// After a step the window shows a profile the user expects, with what it stores: the
// neighbour of one removed, every profile an undo brought back, and an option box that an
// undone addition leaves where it was.
void TestProfileList::selectionAfterSteps()
{
    QFETCH(QString, step);
    QFETCH(QStringList, selected);
    QFETCH(QString, resolution);
    ProfileDocument *document = window->Document();
    const auto select = [this](const QStringList &names) {
        parts->profiles->setCurrentRow(window->Config().FindProfile(names.first()));
        for (const QString &name : names.mid(1))
            parts->profiles->item(window->Config().FindProfile(name))->setSelected(true);
    };
    if (step.startsWith("remove ")) {
        const QStringList names = step.section(',', 0, 0).mid(7).split(' ');
        select(names);
        driver->ExpectMessageBox(
            "Confirm Remove Profile",
            names.size() == 1 ? "Are you sure you want to remove this profile?\n\n" + names.first()
                              : "Are you sure you want to remove these 2 profiles?\n\nA\nB",
            {"OK", "Cancel"}, "OK");
        QTest::mouseClick(parts->removeProfile, Qt::LeftButton);
    } else if (step.startsWith("add,")) {
        parts->profiles->setCurrentRow(4);
        QCOMPARE(document->AddProfile("New", ProfileSettings::Of(window->Config(), {1, 0, 0}, "")),
                 ProfileDocument::EditResult::Done);
        parts->profiles->setCurrentRow(5);

    } else if (step.startsWith("add resolution")) {
        select({"B"});
        ExpectAddDialog("Add Resolution", {"&Name:", "&Width:", "&Height:"}, {"Wide", "8", "9"});
        QTest::mouseClick(parts->addResolution, Qt::LeftButton);
        QCOMPARE(parts->resolution->currentText(), QStringLiteral("Wide"));
    }
    if (step.endsWith("undo"))
        document->History()->undo();
    QTRY_VERIFY(driver->Settled());
    QStringList now{window->Config().profiles.at(parts->profiles->currentRow()).name};
    for (const QListWidgetItem *item : parts->profiles->selectedItems()) {
        if (item->text() != now.first())
            now.append(item->text());
    }
    QCOMPARE(now, selected);
    QCOMPARE(parts->resolution->currentText(), resolution == "(none)" ? QString() : resolution);
    // What is shown is what the profile stores: nothing to update (but for Far, whose
    // resolution lies past the list).
    QCOMPARE(parts->addUpdate->isEnabled(), now.first() == "Far");
    initial = window->Config();
}

void TestProfileList::removalQuestionListsFifteenNames_data()
{
    QTest::addColumn<int>("users");
    QTest::addColumn<QString>("more");
    QTest::newRow("fifteen: all named") << 15 << "";
    QTest::newRow("sixteen") << 16 << "… and 1 more profiles.\n";
    QTest::newRow("twenty") << 20 << "… and 5 more profiles.\n";
}

void TestProfileList::removalQuestionListsFifteenNames()
{
    QFETCH(int, users);
    QFETCH(QString, more);
    QByteArray config = testConfig;
    QByteArray many;
    for (int i = 0; i < users; ++i)
        many += "\"User " + QByteArray::number(i) + "\"\t\"[Resolution] 1 \"\n";
    config.replace("[Resolution]\n", many + "[Resolution]\n");
    Reopen(config);

    QString expected = "The following profiles use this option, are you sure you want to "
                       "continue?\n\n";
    for (int i = 0; i < qMin(users, 15); ++i)
        expected += "User " + QString::number(i) + "\n";
    expected += more;
    driver->ExpectMessageBox("Confirm remove resolution", expected, {"Yes", "No"}, "No");
    parts->resolution->setCurrentIndex(1);
    QTest::mouseClick(parts->removeResolution, Qt::LeftButton);
    QCOMPARE(driver->handled, 1);
}

void TestProfileList::mnemonicsEverywhere_data()
{
    QTest::addColumn<bool>("german");
    QTest::addColumn<bool>("themeLetters");
    QTest::newRow("English") << false << false;
    QTest::newRow("German") << true << false;
    // A desktop's theme gives "&Close" the letter of our "&Copy".
    QTest::newRow("English, standard buttons with a theme's letters") << false << true;
}

// Every menu and window of the launcher, in each catalogue: each menu item, button, labelled
// field and group has a mnemonic of its own.
void TestProfileList::mnemonicsEverywhere()
{
    QFETCH(bool, german);
    QFETCH(bool, themeLetters);
    const auto english = qScopeGuard([] {
        for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QLocale::setDefault(QLocale::c());
    });
    if (german) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(InstallTranslations(qApp));
    }
    if (themeLetters)
        QCoreApplication::installTranslator(new ThemeLetters(qApp));
    MainWindow w;
    WindowParts p(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QStringList problems;
    const auto walk = [&](QWidget *shown) {
        problems += WindowMnemonicProblems(shown);
    };
    // The modal dialogs, each looked at and closed.
    const auto lookAndClose = [&] {
        driver->Expect([&](QWidget *modal) {
            walk(modal);
            static_cast<QDialog *>(modal)->reject();
        });
    };
    walk(&w);
    p.profiles->setCurrentRow(1); // "Update" instead of "Add"
    walk(&w);
    lookAndClose(); // the question before a removal
    QTest::mouseClick(p.removeProfile, Qt::LeftButton);
    p.profiles->setCurrentRow(0);
    p.arguments->setText(" -new");
    lookAndClose(); // the name of a new profile
    QTest::mouseClick(p.addUpdate, Qt::LeftButton);
    lookAndClose();
    QTest::mouseClick(p.addPixelDensity, Qt::LeftButton);
    // A resolution larger than any screen: the form, then its question.
    driver->Expect([&](QWidget *modal) {
        walk(modal);
        const QList<QLineEdit *> fields = modal->findChildren<QLineEdit *>();
        for (QLineEdit *field : fields)
            field->setText(field == fields.first() ? "Huge" : "99999");
        static_cast<QDialog *>(modal)->accept();
    });
    lookAndClose();
    QTest::mouseClick(p.addResolution, Qt::LeftButton);
    lookAndClose();
    w.ListActions()->OnNewProfileFromDevice();
    p.profiles->selectAll();
    lookAndClose(); // all profiles, or only those selected
    w.ListActions()->Exchange()->OnExportProfiles();

    // The list's menu with every entry enabled as it can be, and the Launch button's.
    p.profiles->setCurrentRow(1);
    w.ListActions()->RenameProfile(p.profiles->item(1)->text(), "R&D");
    problems += MenuMnemonicProblems("list menu", p.profiles->actions() + w.actions());
    // A name's own '&' is shown, not taken for a mnemonic.
    QStringList texts;
    for (const QAction *action : w.actions())
        texts.append(action->text());
    QVERIFY2(texts.filter("R&&D").size() == 1, qPrintable(texts.join('|')));
    problems += MenuMnemonicProblems("Launch menu", p.launch->actions());

    // The Running Emulators window, its table's menu, a log viewer and the early-end notice.
    w.Control()->OpenRunningPanel();
    auto *panel = w.findChild<RunningPanel *>();
    QVERIFY(panel);
    walk(panel);
    for (QWidget *child : panel->findChildren<QWidget *>()) {
        if (child->contextMenuPolicy() == Qt::ActionsContextMenu)
            problems += MenuMnemonicProblems("table menu", child->actions());
    }
    const QString log = TestEnvironment::current()->root() + "/some.log";
    QVERIFY(WriteBytes(log, "a line\n"));
    LogViewer *viewer = LogViewer::Open(&w, "R&D", log);
    walk(viewer);
    emit w.Launcher()->Monitor()->endedEarly(
        {"R&D", 1, QString(), QDateTime::currentDateTime(), log}, QString());
    auto *notice = w.findChild<EarlyEndNotice *>();
    QVERIFY(notice);
    QVERIFY(QTest::qWaitForWindowExposed(notice));
    walk(notice);
    notice->close();
    viewer->close();
    panel->close();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    QCOMPARE(driver->handled, 7);
}

VELMORA_TEST_MAIN(TestProfileList)
// Tags for several profiles at once, a note and an environment, set from the list's menu: the
// filter finds them, the row's tooltip and Launch's command show them, an undo takes them back.
void TestProfileList::organizeFromTheMenu()
{
    auto *filterEdit = window->findChild<QLineEdit *>("profileFilter");
    ExtrasActions *extras = window->ListActions()->Extras();
    parts->profiles->setCurrentRow(1);
    parts->profiles->item(2)->setSelected(true);
    const QString a = window->Config().profiles.at(1).name;
    const QString b = window->Config().profiles.at(2).name;
    driver->ExpectInput("Tags",
                        "Tags of the 2 selected profiles, separated by commas (they replace the "
                        "tags each has):",
                        " android,Tablets ,ANDROID");
    extras->EditTags();
    const auto shown = [this] {
        QStringList names;
        for (int r = 0; r < parts->profiles->count(); ++r) {
            if (!parts->profiles->isRowHidden(r))
                names.append(parts->profiles->item(r)->text());
        }
        return names;
    };
    // Typed a key at a time: "tag:" changes what the text means as it is typed.
    filterEdit->clear();
    QTest::keyClicks(filterEdit, "TAG:tab");
    QTRY_COMPARE(shown(), (QStringList{a, b}));
    QCOMPARE(extras->Describe(a), QStringLiteral("Tags: android, Tablets"));

    parts->profiles->setCurrentRow(1);
    driver->ExpectInput("Notes", QString("Notes of \"%1\":").arg(a), "Crashes on rotation\n");
    extras->EditNotes();
    filterEdit->setText("rotation");
    QTRY_COMPARE(shown(), QStringList{a});

    // A slip is said, and the dialog comes back with what was typed.
    const QString label =
        QString("Variables the emulators of \"%1\" are given, one NAME=value per line:").arg(a);
    driver->ExpectInput("Environment", label, "OK=1\nBAD-NAME=2");
    driver->ExpectMessageBox("Environment",
                             "\"BAD-NAME=2\" is no NAME=value line: a name is made of letters, "
                             "digits and _, and does not start with a digit.",
                             {"OK"}, "OK");
    driver->ExpectInput("Environment", label, "FOO=bar baz", "OK=1\nBAD-NAME=2");
    extras->EditEnvironment();
    QCOMPARE(window->CurrentCommand().environment, QStringList{"FOO=bar baz"});
    QVERIFY(extras->Describe(a).endsWith("Environment: FOO=bar baz"));

    // Hooks are a form of their own; what they run is always in the row's tooltip.
    driver->Expect([this](QWidget *modal) {
        auto *before = modal->findChild<QPlainTextEdit *>("beforeLaunch");
        auto *limit = modal->findChild<QSpinBox *>("hookTimeout");
        driver->Check(before && limit && limit->value() == 60, "the hooks form as it opens");
        if (before && limit) {
            before->setPlainText("  adb wait-for-device\n");
            limit->setValue(30);
        }
        if (QAbstractButton *ok = ModalDriver::FindButton(modal, "OK"))
            ok->click();
    });
    extras->EditHooks();
    QVERIFY(extras->Describe(a).endsWith("Before launch: adb wait-for-device"));
    QCOMPARE(window->CurrentCommand().hooks, (LaunchHooks{"adb wait-for-device", {}, 30}));

    // Each was one step of the history.
    QUndoStack *history = window->Document()->History();
    QCOMPARE(history->undoText(), QString("Set Hooks of \"%1\"").arg(a));
    history->undo();
    QCOMPARE(window->CurrentCommand().hooks, LaunchHooks());
    QCOMPARE(history->undoText(), QString("Set Environment of \"%1\"").arg(a));
    history->undo();
    history->undo();
    QCOMPARE(window->CurrentCommand().environment, QStringList());
    QCOMPARE(extras->Describe(a), QStringLiteral("Tags: android, Tablets"));
    history->undo();
    QCOMPARE(extras->Describe(b), QString());
    filterEdit->clear();
}

// Sorted by name, the list shows another order; the file, the current profile and every
// action by row stay the profiles' own.
void TestProfileList::sortedList()
{
    QListWidget *view = parts->profiles;
    const auto shownOrder = [view] {
        QStringList names;
        for (int v = 0; v < view->count(); ++v)
            names.append(view->item(v)->text()); // QListWidget's: the row shown
        return names;
    };
    ProfileDocument *document = window->Document();
    QVERIFY(document->RenameProfile("A", "zed") == ProfileDocument::EditResult::Done);
    parts->profiles->setCurrentRow(1);
    QVERIFY(window->CurrentCommand().arguments.contains("zed"));
    QMenu *sortBy = window->ListActions()->Order()->Menu();
    sortBy->actions().at(1)->trigger(); // Name
    QCOMPARE(shownOrder(), (QStringList{"Default", "B", "C", "Far", "zed"}));
    QCOMPARE(WindowSettings().value("profileList/order").toString(), QStringLiteral("name"));
    // The same profile is current, and nothing about it changed.
    QCOMPARE(parts->profiles->currentRow(), 1);
    QCOMPARE(view->currentItem()->text(), QStringLiteral("zed"));
    QVERIFY(window->CurrentCommand().arguments.contains("zed"));
    // Rows are not moved: there is no place to move to.
    parts->profiles->setFocus();
    QTest::keyClick(parts->profiles, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(window->Config().ProfileNames(), (QStringList{"Default", "zed", "B", "C", "Far"}));
    // A rename, a removal and its undo find their places.
    QVERIFY(document->RenameProfile("Far", "Able") == ProfileDocument::EditResult::Done);
    QTRY_COMPARE(shownOrder(), (QStringList{"Default", "Able", "B", "C", "zed"}));
    const ProfileDocument::Removal removal = document->RemoveProfiles(
        {{"B", ProfileSettings::Of(window->Config(), window->Config().profiles.at(2))}});
    QCOMPARE(removal.removed, QStringList{"B"});
    QCOMPARE(shownOrder(), (QStringList{"Default", "Able", "C", "zed"}));
    document->History()->undo();
    QTRY_COMPARE(shownOrder(), (QStringList{"Default", "Able", "B", "C", "zed"}));
    // The profile brought back is the current one, where it shows.
    QCOMPARE(parts->profiles->currentRow(), 2);
    QCOMPARE(view->currentItem()->text(), QStringLiteral("B"));
    // The filter hides by profile, wherever its row shows.
    auto *filterEdit = window->findChild<QLineEdit *>("profileFilter");
    filterEdit->setText("zed");
    QTRY_VERIFY(parts->profiles->FilterApplied());
    QVERIFY(!parts->profiles->isRowHidden(1) && parts->profiles->isRowHidden(4));
    QVERIFY(!view->isRowHidden(4) && view->isRowHidden(1)); // where they show
    filterEdit->clear();
    // Back in the stored order; remembered so for the tests after.
    sortBy->actions().at(0)->trigger();
    QCOMPARE(shownOrder(), window->Config().ProfileNames());
    QVERIFY(window->CurrentCommand().arguments.contains("B"));
}

void TestProfileList::importAsksBeforeCommands_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("described");
    QTest::addColumn<bool>("dropped"); // onto the window, else Import Profiles
    QTest::newRow("taken once seen")
        << "Take Them"
        << "Tags: team\nshared by Ann\nEnvironment: ANDROID_SERIAL=emulator-5554\n"
           "Before launch: make check"
        << false;
    QTest::newRow("left out, from a file dropped onto the window")
        << "Leave Them Out"
        << "Tags: team\nshared by Ann" << true;
}

// An exported file carries its profiles' extras; the window shows the commands and asks.
void TestProfileList::importAsksBeforeCommands()
{
    QFETCH(QString, answer);
    QFETCH(QString, described);
    QFETCH(bool, dropped);
    ProfileExtras carried;
    carried.tags = QStringList{"team"};
    carried.notes = "shared by Ann";
    carried.environment = {{"ANDROID_SERIAL", "emulator-5554"}};
    carried.beforeLaunch = "make check";
    const QString file = TestEnvironment::current()->root() + "/shared.ini";
    QVERIFY(WriteBytes(
        file, "$VERSION\t106\n[Profile]\n\"Shared\"\t\"\"\n" +
                  ExtrasCommentLines({{"Shared", carried}}, {"Shared"}).join('\n').toUtf8() +
                  '\n'));
    driver->Expect([this, answer](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        driver->Check(box && box->windowTitle() == "Import Profiles" &&
                          box->text().startsWith("The imported profiles carry an environment") &&
                          box->detailedText().contains("Before launch: make check") &&
                          box->detailedText().contains("ANDROID_SERIAL=emulator-5554"),
                      "the question shows what would run");
        if (QAbstractButton *button = ModalDriver::FindButton(modal, answer))
            button->click();
    });
    if (dropped) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
        QVERIFY(drop.isAccepted());
    } else {
        window->ListActions()->Exchange()->ImportProfilesFrom(
            file, [](const QString &) { return ImportChoice::Replace; });
    }
    ExtrasActions *extras = window->ListActions()->Extras();
    QTRY_COMPARE(extras->Describe("Shared"), described);
    // One step, undone before the import itself.
    window->Document()->History()->undo();
    QCOMPARE(extras->Describe("Shared"), QString());
    QVERIFY(window->Config().FindProfile("Shared") >= 0);
}

#include "tst_profilelist.moc"
