#include "commandline.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QtTest>

namespace {

LauncherConfig Options()
{
    LauncherConfig config;
    config.ResetSections();
    config.AppendEntry(SectionResolution, "Default", "");
    config.AppendEntry(SectionResolution, "WVGA", " -windowsize 480x800");
    config.AppendEntry(SectionPixelDensity, "Default", "");
    config.AppendEntry(SectionPixelDensity, "mdpi", " -ppi 160");
    config.AppendEntry(SectionInput, "Touch", "");
    config.AppendEntry(SectionInput, "Mouse", " -input mouse");
    return config;
}

const QString emulator = QStringLiteral("/opt/velmora launcher/VelmoraMobileEmu.exe");

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void compose_data();
    void compose();
    void describe();
};

void TestCommandLine::compose_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("received"); // what the emulator gets, program left out

    const QString q = QStringLiteral("\"") + emulator + QStringLiteral("\"");
    QTest::newRow("worked example")
        << QList<int>{1, 1, 0} << "My phone"
        << "-x 1" << q + "  -windowsize 480x800 -ppi 160 -profile-name \"My phone\" -x 1"
        << QStringList{"-windowsize",   "480x800",  "-ppi", "160",
                       "-profile-name", "My phone", "-x",   "1"};
    QTest::newRow("empty values and arguments")
        << QList<int>{0, 0, 0} << "Default"
        << "" << q + "  -profile-name \"Default\" " << QStringList{"-profile-name", "Default"};
    QTest::newRow("box without current item is skipped")
        << QList<int>{-1, 1, 1} << "P"
        << "" << q + "  -ppi 160 -input mouse -profile-name \"P\" "
        << QStringList{"-ppi", "160", "-input", "mouse", "-profile-name", "P"};
    QTest::newRow("position past the list is skipped")
        << QList<int>{7, 0, 0} << "P"
        << "" << q + "  -profile-name \"P\" " << QStringList{"-profile-name", "P"};
    QTest::newRow("arguments untrimmed, quotes group")
        << QList<int>{0, 0, 0} << "P"
        << "  -ua \"Foo Bar\" " << q + "  -profile-name \"P\"   -ua \"Foo Bar\" "
        << QStringList{"-profile-name", "P", "-ua", "Foo Bar"};
    QTest::newRow("triple quotes give a literal quote")
        << QList<int>{0, 0, 0} << "P"
        << "-t \"\"\"x\"\"\"" << q + "  -profile-name \"P\" -t \"\"\"x\"\"\""
        << QStringList{"-profile-name", "P", "-t", "\"x\""};
    QTest::newRow("empty name vanishes")
        << QList<int>{0, 0, 0} << ""
        << "-a" << q + "  -profile-name \"\" -a" << QStringList{"-profile-name", "-a"};
}

void TestCommandLine::compose()
{
    QFETCH(QList<int>, indexes);
    QFETCH(QString, name);
    QFETCH(QString, arguments);
    QFETCH(QString, commandLine);
    QFETCH(QStringList, received);

    const QString composed = ComposeCommandLine(emulator, Options(), indexes, name, arguments);
    QCOMPARE(composed, commandLine);
    const SplitCommand split = SplitCommandLine(composed);
    QCOMPARE(split.program, emulator);
    QCOMPARE(split.arguments, received);
}

void TestCommandLine::describe()
{
    QCOMPARE(DescribeCommand(SplitCommandLine(QString())), QStringLiteral("Nothing to start."));
    QCOMPARE(DescribeCommand(SplitCommandLine("   ")), QStringLiteral("Nothing to start."));
    QCOMPARE(DescribeCommand(SplitCommandLine("\"/a b/emu\"")),
             QStringLiteral("Starts /a b/emu\nwith no arguments."));
    QCOMPARE(DescribeCommand(SplitCommandLine("emu -profile-name \"My phone\" <b>")),
             QStringLiteral("Starts emu\nwith the arguments:\n  -profile-name\n  My phone\n  <b>"));
}

VELMORA_GUILESS_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
