// The option lists as a user edits them: the add dialog, adding a resolution or a density, and
// removing an entry that profiles use or not.

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

class TestOptionEditing : public QObject, protected EditingSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { InitSuite(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

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
};

void TestOptionEditing::addDialogAcceptance_data()
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

void TestOptionEditing::addDialogAcceptance()
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

void TestOptionEditing::addDialogWithoutRows()
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

void TestOptionEditing::addResolutionAgainstScreen_data()
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

void TestOptionEditing::addResolutionAgainstScreen()
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

void TestOptionEditing::addPixelDensityNeverAsks()
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

void TestOptionEditing::addingTheSameNameTwice()
{
    for (int i = 0; i < 2; ++i) {
        ExpectAddDialog("Add Pixel Density", {"&Name:", "&Pixel Density:"}, {"mdpi", "160"});
        QTest::mouseClick(parts->addPixelDensity, Qt::LeftButton);
    }
    QCOMPARE(window->Config().EntryNames(SectionPixelDensity),
             (QStringList{"Default", "mdpi", "hdpi", "mdpi", "mdpi"}));
    QCOMPARE(parts->pixelDensity->itemText(4), QStringLiteral("mdpi"));
}

void TestOptionEditing::removeUnusedOption()
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

void TestOptionEditing::removeUsedOption_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("no keeps everything") << "No";
    QTest::newRow("yes repairs the profiles") << "Yes";
}

void TestOptionEditing::removeUsedOption()
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

void TestOptionEditing::removeWithoutCurrentEntry()
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

VELMORA_TEST_MAIN(TestOptionEditing)
#include "tst_optionediting.moc"
