#pragma once

// What the suites of the main window and its running emulators share: five profiles, the
// stand-in emulator copied beside the test so that it notes each start, and the driver of the
// dialogs they answer.

#include "applicationsetup.h"
#include "modaldriver.h"
#include "testenvironment.h"
#include "windowparts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <QTest>

// Five profiles over a model of four resolutions, three densities and two inputs.
inline const QByteArray testConfig =
    "$VERSION\t106\n"
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

inline QString RecordPath()
{
    return TestEnvironment::current()->root() + QStringLiteral("/emulator-record.jsonl");
}

inline QString EmulatorCopy()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/VelmoraMobileEmu.exe");
}

// Waits until the stand-in emulator has recorded `count` starts and returns their arguments.
inline QList<QStringList> WaitForRecords(int count)
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

// Once per suite: windows as windows, the shipped default beside the test, starts noted.
inline bool PrepareWindowSuite()
{
    ShowWindowsAsWindows();
    qputenv("VELMORA_EMU_RECORD", QFile::encodeName(RecordPath()));
    return WriteBytes(DefaultConfigPath(), ShippedDefaultConfig());
}

// Before each test: the five profiles, no start noted, a fresh emulator and driver.
inline bool PrepareWindowTest(ModalDriver **driver)
{
    QFile::remove(RecordPath());
    QFile::remove(EmulatorCopy());
    *driver = new ModalDriver;
    return WriteBytes(TestEnvironment::current()->userConfigPath(), testConfig) &&
           QFile::copy(QStringLiteral(VELMORA_BIN_DIR "/VelmoraMobileEmu.exe"), EmulatorCopy());
}

// After each test: no emulator left running; what the dialogs did wrong.
inline QStringList EndWindowTest(ModalDriver **driver)
{
    EndRecordedEmulators();
    const QStringList problems = (*driver)->Finish();
    delete *driver;
    *driver = nullptr;
    return problems;
}
