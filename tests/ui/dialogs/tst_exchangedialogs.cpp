// Profiles in and out of the window: export and import through their dialogs, and new profiles
// from the device catalogue.

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

class TestExchangeDialogs : public QObject, protected EditingSuite
{
    Q_OBJECT

private slots:
    void initTestCase() { InitSuite(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

    void exportThenImport_data();
    void exportThenImport();
    void newProfileFromDevice_data();
    void newProfileFromDevice();
};

void TestExchangeDialogs::exportThenImport_data()
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
void TestExchangeDialogs::exportThenImport()
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

void TestExchangeDialogs::newProfileFromDevice_data()
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
void TestExchangeDialogs::newProfileFromDevice()
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

VELMORA_TEST_MAIN(TestExchangeDialogs)
#include "tst_exchangedialogs.moc"
