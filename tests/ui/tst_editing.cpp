// Editing as a user does it: the add dialog, adding and removing options, adding, replacing,
// updating and removing profiles, with every dialog driven for real.

#include "adddlg.h"
#include "commandline.h"
#include "configformat.h"
#include "devicedialog.h"
#include "earlyendnotice.h"
#include "emulatorcontrol.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "exchangedialogs.h"
#include "logviewer.h"
#include "mainwindow.h"
#include "mnemoniccheck.h"
#include "mnemonics.h"
#include "modaldriver.h"
#include "profilelistactions.h"
#include "profileqlistwidget.h"
#include "runningemulatorsview.h"
#include "runningpanel.h"
#include "systemguards.h"
#include "testenvironment.h"
#include "translations.h"
#include "windowparts.h"

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

const QByteArray testConfig = "$VERSION\t106\n"
                              "[Profile]\n"
                              "\"Default\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 0 \"\n"
                              "\"A\"\t\"[Resolution] 2 [PixelDensity] 1 [Input] 0 -x\"\n"
                              "\"B\"\t\"[Resolution] 2 [PixelDensity] 0 [Input] 1 \"\n"
                              "\"C\"\t\"[Resolution] 3 [PixelDensity] 2 [Input] 0 -c\"\n"
                              "\"Far\"\t\"[Resolution] 9 [PixelDensity] 0 [Input] 0 \"\n"
                              "[Resolution]\n"
                              "\"Default\"\t\"\"\n"
                              "\"Unused\"\t\" -windowsize 320x480\"\n"
                              "\"WVGA\"\t\" -windowsize 480x800\"\n"
                              "\"HD\"\t\" -windowsize 720x1280\"\n"
                              "[PixelDensity]\n"
                              "\"Default\"\t\"\"\n"
                              "\"mdpi\"\t\" -ppi 160\"\n"
                              "\"hdpi\"\t\" -ppi 240\"\n"
                              "[Input]\n"
                              "\"Touch\"\t\"\"\n"
                              "\"Mouse\"\t\" -input mouse\"\n";

// The configuration with a profile "Outside" added at the end, as another program adds it.
QByteArray AddOutside(QByteArray config)
{
    return config.replace("[Resolution]\n", "\"Outside\"\t\"[Resolution] 3 [PixelDensity] 2 "
                                            "[Input] 1 -o\"\n[Resolution]\n");
}

QString OkState(AddDlg &dialog)
{
    return dialog.okButton->isEnabled() ? QStringLiteral("on") : QStringLiteral("off");
}

} // namespace

// A step of a test row, run on the window the test set up.
using ListStep = std::function<void()>;
Q_DECLARE_METATYPE(ListStep)

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addDialogAcceptance_data();
    void addDialogAcceptance();
    void addDialogWithoutRows();
    void addResolutionAgainstScreen_data();
    void addResolutionAgainstScreen();
    void addPixelDensityNeverAsks();
    void addingTheSameNameTwice();
    void removeUnusedOption();
    void removeUsedOption_data();
    void removeUsedOption();
    void removeWithoutCurrentEntry();

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

    void editsSurviveARestart();
    void failingSavesWarnOnceUntilOneSucceeds();
    void quickChangesEndWithTheNewest();
    void keysOnTheList_data();
    void keysOnTheList();
    void renameProfile_data();
    void renameProfile();
    void longNamesStayWhole();
    void argumentsWithHeaderWords_data();
    void argumentsWithHeaderWords();
    void longFieldsAreShownCut();
    void filterAndMove_data();
    void filterAndMove();
    void outsideEdits_data();
    void outsideEdits();
    void undoAfterAnOutsideEdit();
    void questionsOutlastOutsideEdits_data();
    void questionsOutlastOutsideEdits();
    void exportThenImport_data();
    void exportThenImport();
    void mnemonicsEverywhere_data();
    void mnemonicsEverywhere();
    void newProfileFromDevice_data();
    void newProfileFromDevice();
    void removalQuestionListsFifteenNames_data();
    void removalQuestionListsFifteenNames();
    void selectionAfterSteps_data();
    void selectionAfterSteps();

private:
    // Closes the window and opens a new one on `config`.
    void Reopen(const QByteArray &config);
    // Expects an AddDlg with this title and these row labels, types `texts` and presses OK.
    void ExpectAddDialog(const QString &title, const QStringList &labels, const QStringList &texts,
                         bool cancel = false);

    ModalDriver *driver = nullptr;
    MainWindow *window = nullptr;
    WindowParts *parts = nullptr;
    LauncherConfig initial;
};

void TestEditing::initTestCase()
{
    QVERIFY(WriteBytes(DefaultConfigPath(), ShippedDefaultConfig()));
    CompleteMnemonicsOfDialogs(qApp);
}

void TestEditing::init()
{
    QVERIFY(WriteBytes(TestEnvironment::current()->userConfigPath(), testConfig));
    driver = new ModalDriver;
    window = new MainWindow;
    // Another program's edit is taken in a tenth of a second after it settled: the tests of
    // the settle time itself set their own.
    window->Document()->Store().SetSettleTime(100);
    initial = window->Config();
    parts = new WindowParts(*window);
    QVERIFY(parts->complete());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestEditing::cleanup()
{
    // Every change reached the file once written, exactly as the close would write it.
    if (window)
        window->WaitForSaves();
    const LauncherConfig now = window ? window->Config() : initial;
    bool changed = now.profiles != initial.profiles;
    for (int s = 0; s < SectionCount; ++s)
        changed = changed || now.sections.at(s).entries != initial.sections.at(s).entries;
    const QByteArray expected = changed ? FormatConfigText(now).toUtf8() : QByteArray();
    const QByteArray onDisk =
        changed ? ReadBytes(TestEnvironment::current()->userConfigPath()) : QByteArray();
    const QStringList problems = driver->Finish();
    delete parts;
    parts = nullptr;
    delete window;
    window = nullptr;
    delete driver;
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    QCOMPARE(onDisk, expected);
}

void TestEditing::ExpectAddDialog(const QString &title, const QStringList &labels,
                                  const QStringList &texts, bool cancel)
{
    driver->Expect([=](QWidget *modal) {
        auto *dialog = qobject_cast<AddDlg *>(modal);
        if (!dialog) {
            driver->Fail("expected the add dialog " + title);
            return;
        }
        driver->Check(dialog->windowTitle() == title, "add dialog title " + dialog->windowTitle());
        driver->Check(FormLabels(dialog) == labels,
                      "add dialog rows " + FormLabels(dialog).join('|'));
        driver->Check(!dialog->okButton->isEnabled(), "OK enabled before any input");
        for (int i = 0; i < texts.size() && i < dialog->fields.size(); ++i)
            QTest::keyClicks(dialog->fields.at(i).edit, texts.at(i));
        if (cancel) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        driver->Check(dialog->okButton->isEnabled(), "OK disabled for " + texts.join('|'));
        dialog->okButton->click();
    });
}

void TestEditing::addDialogAcceptance_data()
{
    QTest::addColumn<QStringList>("typed"); // typed into Name, Width, Height
    QTest::addColumn<QStringList>("shown"); // what the rows then hold
    QTest::addColumn<QString>("ok");

    QTest::newRow("nothing yet") << QStringList{"", "", ""} << QStringList{"", "", ""} << "off";
    QTest::newRow("smallest") << QStringList{"a", "1", "1"} << QStringList{"a", "1", "1"} << "on";
    QTest::newRow("name missing") << QStringList{"", "1", "1"} << QStringList{"", "1", "1"}
                                  << "off";
    QTest::newRow("height missing")
        << QStringList{"a", "1", ""} << QStringList{"a", "1", ""} << "off";
    QTest::newRow("a blank is a name")
        << QStringList{" ", "480", "800"} << QStringList{" ", "480", "800"} << "on";
    QTest::newRow("leading zero refused")
        << QStringList{"a", "05", "0"} << QStringList{"a", "5", ""} << "off";
    QTest::newRow("zeros after the first digit")
        << QStringList{"a", "10", "100"} << QStringList{"a", "10", "100"} << "on";
    QTest::newRow("signs, blanks and letters refused")
        << QStringList{"a", "+-1 2x", "7"} << QStringList{"a", "12", "7"} << "on";
    QTest::newRow("largest int") << QStringList{"a", "2147483647", "1"}
                                 << QStringList{"a", "2147483647", "1"} << "on";
    QTest::newRow("beyond int") << QStringList{"a", "2147483648", "1"}
                                << QStringList{"a", "2147483648", "1"} << "off";
    QTest::newRow("double quote in the name")
        << QStringList{"a\"b", "1", "1"} << QStringList{"a\"b", "1", "1"} << "off";
}

void TestEditing::addDialogAcceptance()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    QFETCH(QString, ok);

    AddDlg dialog(window, "Add Resolution",
                  {{TextField, "&Name:"}, {NumberField, "&Width:"}, {NumberField, "&Height:"}});
    QCOMPARE(FormLabels(&dialog), (QStringList{"&Name:", "&Width:", "&Height:"}));
    QCOMPARE(OkState(dialog), QStringLiteral("off"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClicks(dialog.fields.at(i).edit, typed.at(i));
    QStringList texts;
    for (const AddDlgField &field : dialog.fields)
        texts.append(field.edit->text());
    QCOMPARE(texts, shown);
    QCOMPARE(OkState(dialog), ok);

    // Clearing any row takes OK away again.
    if (ok == "on") {
        dialog.fields.at(1).edit->clear();
        QCOMPARE(OkState(dialog), QStringLiteral("off"));
    }
}

void TestEditing::addDialogWithoutRows()
{
    AddDlg dialog(window, "Empty", {});
    QCOMPARE(OkState(dialog), QStringLiteral("off"));
    QCOMPARE(ModalDriver::ButtonTexts(&dialog), QStringList());
    driver->Expect([this](QWidget *modal) {
        driver->Check(ModalDriver::ButtonTexts(modal) == QStringList({"Cancel", "OK"}),
                      "buttons " + ModalDriver::ButtonTexts(modal).join('|'));
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

void TestEditing::addResolutionAgainstScreen_data()
{
    QTest::addColumn<int>("extraWidth");
    QTest::addColumn<int>("extraHeight");
    QTest::addColumn<QString>("answer"); // empty: no question expected
    QTest::addColumn<bool>("added");
    QTest::newRow("exactly the screen") << 0 << 0 << "" << true;
    QTest::newRow("one pixel wider, no") << 1 << 0 << "No" << false;
    QTest::newRow("one pixel higher, yes") << 0 << 1 << "Yes" << true;
    QTest::newRow("smaller") << -100 << -100 << "" << true;
}

void TestEditing::addResolutionAgainstScreen()
{
    QFETCH(int, extraWidth);
    QFETCH(int, extraHeight);
    QFETCH(QString, answer);
    QFETCH(bool, added);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int width = screen.width() + extraWidth;
    const int height = screen.height() + extraHeight;
    ExpectAddDialog("Add Resolution", {"&Name:", "&Width:", "&Height:"},
                    {"Big", QString::number(width), QString::number(height)});
    if (!answer.isEmpty()) {
        driver->ExpectMessageBox(
            "Resolution bigger than the current screen size!",
            QStringLiteral("You are trying to add: %1x%2\nbut the current screen resolution is: "
                           "%3x%4\n\nAre you sure ?")
                .arg(width)
                .arg(height)
                .arg(screen.width())
                .arg(screen.height()),
            {"Yes", "No"}, answer);
    }
    parts->resolution->setCurrentIndex(0);
    QTest::mouseClick(parts->addResolution, Qt::LeftButton);

    const QList<ConfigEntry> &entries = window->Config().sections.at(SectionResolution).entries;
    if (added) {
        QCOMPARE(entries.size(), 5);
        QCOMPARE(entries.last().name, QStringLiteral("Big"));
        QCOMPARE(entries.last().value, QStringLiteral(" -windowsize %1x%2").arg(width).arg(height));
        QCOMPARE(parts->resolution->count(), 5);
        QCOMPARE(parts->resolution->itemText(4), QStringLiteral("Big"));
        QCOMPARE(parts->resolution->currentIndex(), 4);
        QVERIFY(parts->removeResolution->isEnabled());
        QCOMPARE(parts->addUpdateState(), QStringLiteral("Add/on"));
    } else {
        QCOMPARE(entries.size(), 4);
        QCOMPARE(parts->resolution->count(), 4);
        QCOMPARE(parts->resolution->currentIndex(), 0);
    }
}

void TestEditing::addPixelDensityNeverAsks()
{
    ExpectAddDialog("Add Pixel Density", {"&Name:", "&Pixel Density:"}, {"huge", "99999"});
    QTest::mouseClick(parts->addPixelDensity, Qt::LeftButton);
    const QList<ConfigEntry> &entries = window->Config().sections.at(SectionPixelDensity).entries;
    QCOMPARE(entries.last(), (ConfigEntry{"huge", " -ppi 99999"}));
    QCOMPARE(parts->pixelDensity->currentIndex(), 3);
    QVERIFY(parts->removePixelDensity->isEnabled());

    // Cancelling adds nothing.
    ExpectAddDialog("Add Pixel Density", {"&Name:", "&Pixel Density:"}, {"x", "1"}, true);
    QTest::mouseClick(parts->addPixelDensity, Qt::LeftButton);
    QCOMPARE(window->Config().sections.at(SectionPixelDensity).entries.size(), 4);
}

void TestEditing::addingTheSameNameTwice()
{
    for (int i = 0; i < 2; ++i) {
        ExpectAddDialog("Add Pixel Density", {"&Name:", "&Pixel Density:"}, {"mdpi", "160"});
        QTest::mouseClick(parts->addPixelDensity, Qt::LeftButton);
    }
    QCOMPARE(window->Config().EntryNames(SectionPixelDensity),
             (QStringList{"Default", "mdpi", "hdpi", "mdpi", "mdpi"}));
    QCOMPARE(parts->pixelDensity->itemText(4), QStringLiteral("mdpi"));
}

void TestEditing::removeUnusedOption()
{
    // An edit not stored yet survives the removal of an option the profile does not use.
    parts->profiles->setCurrentRow(2);
    parts->arguments->setText("-typed");
    parts->resolution->setCurrentIndex(1);
    QVERIFY(parts->removeResolution->isEnabled());
    QTest::mouseClick(parts->removeResolution, Qt::LeftButton);
    QCOMPARE(driver->handled, 0);
    QCOMPARE(window->Config().EntryNames(SectionResolution),
             (QStringList{"Default", "WVGA", "HD"}));
    QCOMPARE(parts->resolution->count(), 3);
    QCOMPARE(parts->resolution->currentIndex(), 0);
    QVERIFY(!parts->removeResolution->isEnabled());
    QCOMPARE(parts->arguments->text(), QStringLiteral("-typed"));
    QCOMPARE(parts->profiles->currentRow(), 2);
    // Profiles behind the removed entry still name the same options.
    QCOMPARE(window->Config().profiles.at(1).optionIndex, (QList<int>{1, 1, 0}));
    QCOMPARE(window->Config().profiles.at(3).optionIndex, (QList<int>{2, 2, 0}));
    QCOMPARE(window->Config().profiles.at(4).optionIndex, (QList<int>{8, 0, 0}));
}

void TestEditing::removeUsedOption_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("no keeps everything") << "No";
    QTest::newRow("yes repairs the profiles") << "Yes";
}

void TestEditing::removeUsedOption()
{
    QFETCH(QString, answer);
    const LauncherConfig before = window->Config();
    parts->profiles->setCurrentRow(2); // B uses WVGA too
    parts->resolution->setCurrentIndex(2);
    driver->ExpectMessageBox("Confirm remove resolution",
                             "The following profiles use this option, are you sure you want to "
                             "continue?\n\nA\nB\n",
                             {"Yes", "No"}, answer);
    QTest::mouseClick(parts->removeResolution, Qt::LeftButton);
    const LauncherConfig &after = window->Config();

    if (answer == "No") {
        QCOMPARE(after.profiles, before.profiles);
        QCOMPARE(after.sections.at(SectionResolution).entries,
                 before.sections.at(SectionResolution).entries);
        QCOMPARE(parts->resolution->count(), 4);
        QCOMPARE(parts->resolution->currentIndex(), 2);
        return;
    }
    QCOMPARE(after.EntryNames(SectionResolution), (QStringList{"Default", "Unused", "HD"}));
    QCOMPARE(parts->resolution->itemText(2), QStringLiteral("HD"));
    QCOMPARE(parts->resolution->currentIndex(), 0);
    QVERIFY(!parts->removeResolution->isEnabled());
    QCOMPARE(after.profiles.at(1).optionIndex, (QList<int>{0, 1, 0}));
    QCOMPARE(after.profiles.at(1).arguments, QStringLiteral(" -x  -windowsize 480x800"));
    QCOMPARE(after.profiles.at(2).optionIndex, (QList<int>{0, 0, 1}));
    QCOMPARE(after.profiles.at(2).arguments, QStringLiteral(" -windowsize 480x800"));
    QCOMPARE(after.profiles.at(3).optionIndex, (QList<int>{2, 2, 0}));
    QCOMPARE(after.profiles.at(3).arguments, QStringLiteral(" -c"));
    // The window shows what B stores now, so Update has nothing to undo.
    QCOMPARE(parts->arguments->text(), QStringLiteral(" -windowsize 480x800"));
    QCOMPARE(parts->addUpdateState(), QStringLiteral("Update/off"));
    window->OnAddUpdateProfile();
    QCOMPARE(window->Config().profiles.at(2).arguments, QStringLiteral(" -windowsize 480x800"));
    parts->profiles->setCurrentRow(1);
    QCOMPARE(parts->arguments->text(), QStringLiteral(" -x  -windowsize 480x800"));
}

void TestEditing::removeWithoutCurrentEntry()
{
    parts->profiles->setCurrentRow(4); // position 9 of four resolutions
    QCOMPARE(parts->resolution->currentIndex(), -1);
    QVERIFY(parts->removeResolution->isEnabled());
    const LauncherConfig before = window->Config();
    // A question would open inside the click and be answered by the driver.
    QTest::mouseClick(parts->removeResolution, Qt::LeftButton);
    QCOMPARE(driver->handled, 0);
    QCOMPARE(window->Config().profiles, before.profiles);
    QCOMPARE(window->Config().sections.at(SectionResolution).entries,
             before.sections.at(SectionResolution).entries);
    QCOMPARE(parts->resolution->count(), 4);
    QCOMPARE(parts->resolution->currentIndex(), -1);

    // The first entry is never removed, even when the slots are called with it selected.
    parts->profiles->setCurrentRow(0);
    parts->resolution->setCurrentIndex(0);
    parts->pixelDensity->setCurrentIndex(0);
    window->OnRemoveResolution();
    window->OnRemovePixelDensity();
    QCOMPARE(driver->handled, 0);
    QCOMPARE(window->Config().profiles, before.profiles);
    for (int s = SectionResolution; s <= SectionPixelDensity; ++s)
        QCOMPARE(window->Config().sections.at(s).entries, before.sections.at(s).entries);
}

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

// A step that an edit made outside took away is not undone: the user is told which and why.
void TestEditing::undoAfterAnOutsideEdit()
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

void TestEditing::editsSurviveARestart()
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

void TestEditing::failingSavesWarnOnceUntilOneSucceeds()
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
void TestEditing::quickChangesEndWithTheNewest()
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

// The list's own keys and context menu, as a user drives them; cleanup() checks the file.
void TestEditing::keysOnTheList_data()
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
               QCOMPARE(shown,
                        (QStringList{"&Launch", "&Stop", "Show Lo&g", "&Duplicate…",
                                     "&New Profile from Device…", "&Rename…", "Re&move", "&Undo",
                                     "Red&o", "&Copy Command Line", "&Add to Applications Menu",
                                     "Remove &from Applications Menu", "&Import Profiles…",
                                     "E&xport Profiles…", "Running &Emulators…",
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
void TestEditing::keysOnTheList()
{
    QFETCH(ListStep, step);
    step();
}

void TestEditing::Reopen(const QByteArray &config)
{
    delete parts;
    delete window; // which saves its own configuration on the way
    QVERIFY(WriteBytes(TestEnvironment::current()->userConfigPath(), config));
    window = new MainWindow;
    // Another program's edit is taken in a tenth of a second after it settled: the tests of
    // the settle time itself set their own.
    window->Document()->Store().SetSettleTime(100);
    initial = window->Config();
    parts = new WindowParts(*window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
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

void TestEditing::filterAndMove_data()
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
void TestEditing::filterAndMove()
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

void TestEditing::outsideEdits_data()
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
void TestEditing::outsideEdits()
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

void TestEditing::questionsOutlastOutsideEdits_data()
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
void TestEditing::questionsOutlastOutsideEdits()
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

void TestEditing::exportThenImport_data()
{
    QTest::addColumn<QString>("which");  // "Selected Profile" or "All Profiles"
    QTest::addColumn<QString>("answer"); // to "replace or skip?", for all the rest
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("bArguments");
    QTest::newRow("the selected profile, imported after a rename")
        << "Selected Profile"
        << "" << QStringList{"Default", "A2", "B", "C", "Far", "A"} << "-changed";
    QTest::newRow("all, each one replaced")
        << "All Profiles"
        << "Replace" << QStringList{"Default", "A2", "B", "C", "Far", "A"} << "";
    QTest::newRow("all, each one skipped")
        << "All Profiles"
        << "Skip" << QStringList{"Default", "A2", "B", "C", "Far", "A"} << "-changed";
}

// Export Profiles… and Import Profiles… from the list's menu, with their dialogs answered.
void TestEditing::exportThenImport()
{
    QFETCH(QString, which);
    QFETCH(QString, answer);
    QFETCH(QStringList, names);
    QFETCH(QString, bArguments);
    const QString file =
        TestEnvironment::current()->root() + "/shared-" + which.left(3) + answer + ".ini";
    QFile::remove(file);
    const auto chooseFile = [this, file] {
        driver->Expect([=](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog) {
                driver->Fail("expected a file dialog");
                return;
            }
            // Typed as a user would; accepted as it stands: QFileDialog's own accept() and
            // selectFile() wait for its view of the folder, which is read in the background.
            auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
            driver->Check(name, "the file name field");
            if (name)
                name->setText(file);
            driver->Check(dialog->selectedFiles() == QStringList{file},
                          "chose " + dialog->selectedFiles().join('|'));
            static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        });
    };
    const auto clickButton = [this](const QString &title, const QString &button,
                                    bool forTheRest = false) {
        driver->Expect([=](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            driver->Check(box && box->windowTitle() == title, "expected the box " + title);
            if (!box)
                return;
            if (forTheRest && box->checkBox())
                box->checkBox()->setChecked(true);
            // The file's first profile that exists here is asked about first: "Default" too.
            if (forTheRest)
                driver->Check(box->text().contains("\"Default\""),
                              "the first question is about " + box->text());
            for (QAbstractButton *b : box->buttons()) {
                if (ModalDriver::PlainText(b->text()) == button) {
                    b->click();
                    return;
                }
            }
            driver->Fail("no button " + button + " in " + ModalDriver::ButtonTexts(box).join('|'));
        });
    };
    const LauncherProfile a = window->Config().profiles.at(1);
    parts->profiles->setCurrentRow(1);
    clickButton("Export Profiles", which);
    chooseFile();
    window->ListActions()->Exchange()->OnExportProfiles();
    QVERIFY(QFileInfo::exists(file));

    // Changed since: A renamed, B updated.
    window->ListActions()->RenameProfile("A", "A2");
    parts->profiles->setCurrentRow(2);
    parts->arguments->setText("-changed");
    QTest::mouseClick(parts->addUpdate, Qt::LeftButton);

    chooseFile();
    if (!answer.isEmpty())
        clickButton("Import Profiles", answer, true); // once, then for all the rest
    window->ListActions()->Exchange()->OnImportProfiles();
    const LauncherConfig &config = window->Config();
    QCOMPARE(config.ProfileNames(), names);
    // A came back with its own options, met by value: no entry was added.
    QCOMPARE(config.profiles.last().optionIndex, a.optionIndex);
    QCOMPARE(config.profiles.last().arguments, a.arguments);
    for (int s = 1; s < SectionCount; ++s)
        QCOMPARE(config.sections.at(s).entries, initial.sections.at(s).entries);
    QCOMPARE(config.profiles.at(2).arguments, bArguments);
    QCOMPARE(parts->profiles->count(), names.size());
}

void TestEditing::newProfileFromDevice_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QString>("secondTime"); // "": once; else the answer to "replace?"
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("options");
    QTest::addColumn<QStringList>("added"); // entries appended: resolution, then density
    QTest::newRow("a new size and density")
        << "pixel 7" << false << ""
        << "Pixel 7" << QList<int>{4, 3, 0} << QStringList{"Pixel 7 (1082x2402)", "420 dpi"};
    QTest::newRow("the size of an entry there already")
        << "Z30" << false << ""
        << "BlackBerry Z30" << QList<int>{3, 3, 0} << QStringList{"320 dpi"};
    QTest::newRow("landscape") << "z30" << true << ""
                               << "BlackBerry Z30 landscape" << QList<int>{4, 3, 0}
                               << QStringList{"BlackBerry Z30 (1280x720)", "320 dpi"};
    QTest::newRow("the same again, replaced")
        << "Z30" << false << "OK"
        << "BlackBerry Z30" << QList<int>{3, 3, 0} << QStringList{"320 dpi"};
    QTest::newRow("the same again, not replaced")
        << "Z30" << false << "Cancel"
        << "BlackBerry Z30" << QList<int>{3, 3, 0} << QStringList{"320 dpi"};
}

// "New Profile from Device…" from the list's menu: ordinary entries and an ordinary profile,
// saved at once (cleanup() reads the file).
void TestEditing::newProfileFromDevice()
{
    QFETCH(QString, filter);
    QFETCH(bool, landscape);
    QFETCH(QString, secondTime);
    QFETCH(QString, name);
    QFETCH(QList<int>, options);
    QFETCH(QStringList, added);
    const auto pick = [this, filter, landscape, name](bool cancel) {
        driver->Expect([=](QWidget *modal) {
            auto *dialog = qobject_cast<DeviceDialog *>(modal);
            if (!dialog) {
                driver->Fail("expected the device dialog");
                return;
            }
            driver->Check(dialog->windowTitle() == "New Profile from Device", "device title");
            // Every row shows whole.
            driver->Check(!dialog->deviceList->horizontalScrollBar()->isVisible(),
                          "a horizontal scroll bar in the device list");
            if (cancel) {
                dialog->reject();
                return;
            }
            dialog->filterEdit->clear();
            QTest::keyClicks(dialog->filterEdit, filter);
            if (landscape)
                dialog->landscapeButton->click();
            const int row = dialog->deviceList->currentRow();
            driver->Check(row >= 0 && dialog->deviceList->item(row)->text().startsWith(
                                          name.section(" landscape", 0, 0) + " — "),
                          "the first match picked");
            dialog->accept();
        });
    };
    parts->arguments->setText("-typed");
    pick(false);
    window->ListActions()->OnNewProfileFromDevice();
    if (!secondTime.isEmpty()) {
        pick(false);
        driver->ExpectMessageBox("New Profile from Device",
                                 "This profile already exists. Do you want to replace it?",
                                 {"OK", "Cancel"}, secondTime);
        if (secondTime == "Cancel")
            pick(true); // back in the list, then cancelled
        window->ListActions()->OnNewProfileFromDevice();
    }
    const LauncherConfig &config = window->Config();
    QCOMPARE(config.profiles.size(), 6);
    QCOMPARE(config.profiles.last().name, name);
    QCOMPARE(config.profiles.last().optionIndex, options);
    QCOMPARE(config.profiles.last().arguments, QString());
    QCOMPARE(parts->profiles->currentRow(), 5);
    QCOMPARE(parts->arguments->text(), QString());
    QCOMPARE(parts->resolution->currentIndex(), options.at(0));
    QStringList appended = config.EntryNames(SectionResolution).mid(4);
    appended += config.EntryNames(SectionPixelDensity).mid(3);
    QCOMPARE(appended, added);
    QCOMPARE(parts->resolution->count(), config.EntryNames(SectionResolution).size());
    QCOMPARE(parts->pixelDensity->count(), config.EntryNames(SectionPixelDensity).size());
}

void TestEditing::removalQuestionListsFifteenNames_data()
{
    QTest::addColumn<int>("users");
    QTest::addColumn<QString>("more");
    QTest::newRow("fifteen: all named") << 15 << "";
    QTest::newRow("sixteen") << 16 << "… and 1 more profiles.\n";
    QTest::newRow("twenty") << 20 << "… and 5 more profiles.\n";
}

void TestEditing::removalQuestionListsFifteenNames()
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

void TestEditing::mnemonicsEverywhere_data()
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
void TestEditing::mnemonicsEverywhere()
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

void TestEditing::selectionAfterSteps_data()
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
void TestEditing::selectionAfterSteps()
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

VELMORA_TEST_MAIN(TestEditing)
#include "tst_editing.moc"
