#pragma once

// What the suites of editing share: a window on a configuration of five profiles, the driver of
// its dialogs, and the check at the end of each test that every change reached the file.

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
#include <QtTest>

#include <functional>

inline const QByteArray testConfig = "$VERSION\t106\n"
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
inline QByteArray AddOutside(QByteArray config)
{
    return config.replace("[Resolution]\n", "\"Outside\"\t\"[Resolution] 3 [PixelDensity] 2 "
                                            "[Input] 1 -o\"\n[Resolution]\n");
}

inline QString OkState(AddDlg &dialog)
{
    return dialog.okButton->isEnabled() ? QStringLiteral("on") : QStringLiteral("off");
}

// A step of a test row, run on the window the test set up.
using ListStep = std::function<void()>;
Q_DECLARE_METATYPE(ListStep)

class EditingSuite
{
protected:
    // Once per suite: the shipped default beside the test, and the dialogs' letters.
    void InitSuite();
    // A new window on the five profiles.
    void Init();
    // Every change reached the file once written; every dialog was answered as expected.
    void Cleanup();
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

inline void EditingSuite::InitSuite()
{
    QVERIFY(WriteBytes(DefaultConfigPath(), ShippedDefaultConfig()));
    CompleteMnemonicsOfDialogs(qApp);
}

inline void EditingSuite::Init()
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

inline void EditingSuite::Cleanup()
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

inline void EditingSuite::Reopen(const QByteArray &config)
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

inline void EditingSuite::ExpectAddDialog(const QString &title, const QStringList &labels,
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
