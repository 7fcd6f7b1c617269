// The catalogue of phones and tablets: its lines, the shipped file, regenerating it, and the
// option entries a device profile finds or adds.

#include "configfile.h"
#include "configformat.h"
#include "devicecatalogue.h"
#include "formattext.h"
#include "testenvironment.h"
#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>
#include <algorithm>
#include <iconv.h>

class TestDeviceCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void deviceLines_data();
    void deviceLines();
    void shippedDevicesAreSane();
    void devicesRegenerate();
    void deviceEntriesFoundOrAdded_data();
    void deviceEntriesFoundOrAdded();
};

void TestDeviceCatalogue::deviceLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("device");
    QTest::newRow("a device") << "Pixel 7\t1080\t2400\t420" << true;
    QTest::newRow("CR LF") << "Pixel 7\t1080\t2400\t420\r" << true;
    QTest::newRow("comment") << "# Pixel 7\t1080\t2400\t420" << false;
    QTest::newRow("blanks, not TABs") << "Pixel 7 1080 2400 420" << false;
    QTest::newRow("a field missing") << "Pixel 7\t1080\t2400" << false;
    QTest::newRow("a field too many") << "Pixel 7\t1080\t2400\t420\t1" << false;
    QTest::newRow("zero") << "Pixel 7\t0\t2400\t420" << false;
    QTest::newRow("not a number") << "Pixel 7\t1080px\t2400\t420" << false;
    QTest::newRow("no name") << " \t1080\t2400\t420" << false;
    QTest::newRow("a double quote in the name") << "The \"7\"\t1080\t2400\t420" << false;
}

void TestDeviceCatalogue::deviceLines()
{
    QFETCH(QString, line);
    QFETCH(bool, device);
    QList<qsizetype> skipped;
    const QList<DeviceSpec> devices =
        ParseDeviceCatalogue(QStringLiteral("\n") + line + QStringLiteral("\n"), &skipped);
    QCOMPARE(devices.size(), device ? 1 : 0);
    if (device)
        QCOMPARE(devices.first(), (DeviceSpec{"Pixel 7", 1080, 2400, 420}));
    else if (!line.startsWith('#'))
        QCOMPARE(skipped, QList<qsizetype>{2});
}

void TestDeviceCatalogue::shippedDevicesAreSane()
{
    QList<qsizetype> skipped;
    const QList<DeviceSpec> devices = ParseDeviceCatalogue(
        QString::fromUtf8(ReadBytes(VELMORA_SOURCE_DIR "/data/devices.tsv")), &skipped);
    QCOMPARE(skipped, QList<qsizetype>());
    QVERIFY(devices.size() >= 60);
    QCOMPARE(DeviceCatalogue(), devices); // what is built in is the file
    QSet<QString> names;
    for (const DeviceSpec &device : devices) {
        QVERIFY2(device.width > 0 && device.width <= device.height, qPrintable(device.name));
        QVERIFY2(device.density >= 100 && device.density <= 800, qPrintable(device.name));
        QVERIFY2(!names.contains(device.name), qPrintable(device.name));
        QVERIFY(!device.name.endsWith(" landscape"));
        names.insert(device.name);
    }
    for (const char *family : {"Pixel", "Galaxy", "iPhone", "iPad"}) {
        QVERIFY2(std::any_of(names.cbegin(), names.cend(),
                             [family](const QString &name) { return name.startsWith(family); }),
                 family);
    }
    QVERIFY(ReadBytes(VELMORA_SOURCE_DIR "/data/devices.tsv").contains("Apache-2.0"));
}

// The regeneration script on a small copy of the package's format: desktops and landscape
// twins left out, physical pixels in portrait, density 160 per device pixel.
void TestDeviceCatalogue::devicesRegenerate()
{
    if (QStandardPaths::findExecutable("node").isEmpty())
        QFAIL("node is needed (scripts/test installs it)");
    const QString package = TestEnvironment::current()->root() + "/fake-playwright";
    QVERIFY(WriteBytes(package + "/package.json",
                       R"({"name": "playwright-core", "version": "9.8.7", "license": "Apache-2.0",
                           "main": "index.js"})"));
    QVERIFY(WriteBytes(package + "/index.js", R"(module.exports = { devices: {
        "Phone A": { viewport: {width: 360, height: 640}, screen: {width: 360, height: 780},
                     deviceScaleFactor: 3, isMobile: true },
        "Phone A landscape": { viewport: {width: 780, height: 360}, deviceScaleFactor: 3,
                               isMobile: true },
        "Desktop Thing": { viewport: {width: 1920, height: 1080}, deviceScaleFactor: 1,
                           isMobile: false },
        "Tablet B": { viewport: {width: 1280, height: 800}, deviceScaleFactor: 2.625,
                      isMobile: true }
    } };)"));
    const QString out = TestEnvironment::current()->root() + "/devices.tsv";
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start("bash", {VELMORA_SOURCE_DIR "/scripts/update-devices", package, out});
    QVERIFY(script.waitForFinished(30000));
    QCOMPARE(script.exitCode(), 0);
    const QByteArray written = ReadBytes(out);
    QVERIFY(written.contains("playwright-core 9.8.7"));
    QVERIFY(written.contains("Apache-2.0"));
    QCOMPARE(ParseDeviceCatalogue(QString::fromUtf8(written)),
             (QList<DeviceSpec>{{"Phone A", 1080, 2340, 480}, {"Tablet B", 2100, 3360, 420}}));
}

void TestDeviceCatalogue::deviceEntriesFoundOrAdded_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<int>("resolution");
    QTest::addColumn<int>("density");
    QTest::addColumn<QStringList>("resolutions");
    QTest::addColumn<QStringList>("densities");
    QTest::newRow("portrait: both there already")
        << false << 1 << 1 << QStringList{"Default", "Own"}
        << QStringList{"Default", "xhdpi (320)"};
    QTest::newRow("landscape: a new size, the same density")
        << true << 2 << 1 << QStringList{"Default", "Own", "Phone (1280x720)"}
        << QStringList{"Default", "xhdpi (320)"};
}

void TestDeviceCatalogue::deviceEntriesFoundOrAdded()
{
    QFETCH(bool, landscape);
    QFETCH(int, resolution);
    QFETCH(int, density);
    QFETCH(QStringList, resolutions);
    QFETCH(QStringList, densities);
    LauncherConfig config;
    config.ResetSections();
    config.AppendEntry(SectionResolution, "Default", "");
    config.AppendEntry(SectionResolution, "Own", " -windowsize 720x1280");
    config.AppendEntry(SectionPixelDensity, "Default", "");
    config.AppendEntry(SectionPixelDensity, "xhdpi (320)", " -ppi 320");
    const DeviceSpec phone{"Phone", 720, 1280, 320};
    const DeviceEntries entries = EnsureDeviceEntries(config, phone, landscape);
    QCOMPARE(entries.resolution, resolution);
    QCOMPARE(entries.density, density);
    QCOMPARE(config.EntryNames(SectionResolution), resolutions);
    QCOMPARE(config.EntryNames(SectionPixelDensity), densities);
    QCOMPARE(entries.resolutionAdded, resolution == 2);
    QCOMPARE(DeviceProfileName(phone, landscape), landscape ? "Phone landscape" : "Phone");
    // A second time finds what the first added.
    const DeviceEntries again = EnsureDeviceEntries(config, phone, landscape);
    QCOMPARE(again.resolution, resolution);
    QVERIFY(!again.resolutionAdded && !again.densityAdded);
}

VELMORA_GUILESS_TEST_MAIN(TestDeviceCatalogue)
#include "tst_devicecatalogue.moc"
