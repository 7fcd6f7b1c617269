#include "filelocations.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QtTest>

class TestFileLocations : public QObject
{
    Q_OBJECT

private slots:
    void besideExecutable_data();
    void besideExecutable();
    void userConfigFollowsDataHome();
    void unknownKindIsEmpty();
};

void TestFileLocations::besideExecutable_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("default configuration")
        << int(DefaultConfigFile) << QStringLiteral("LauncherDefault.ini");
    QTest::newRow("help page") << int(HelpFile) << QStringLiteral("LauncherHelp.html");
    QTest::newRow("emulator") << int(EmulatorFile) << QStringLiteral("VelmoraMobileEmu.exe");
}

void TestFileLocations::besideExecutable()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    const QString path = GetFilePath(FileKind(kind));
    // Exactly one separator between the directory and the name, and no existence test.
    QCOMPARE(path, QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
    QVERIFY(QFileInfo(path).isAbsolute());
    QVERIFY(!path.contains(QLatin1String("//")));
    QCOMPARE(AppDirFilePath(name), path);
}

void TestFileLocations::userConfigFollowsDataHome()
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const QString other = QDir::tempPath() + QStringLiteral("/velmora-elsewhere");
    qputenv("XDG_DATA_HOME", other.toLocal8Bit());
    const QString path = GetFilePath(UserConfigFile);
    qputenv("XDG_DATA_HOME", saved);

    QCOMPARE(path, other + QStringLiteral("/Velmora/VelmoraMobileEmulator/Launcher.ini"));
    QCOMPARE(GetFilePath(UserConfigFile),
             QString::fromLocal8Bit(saved) +
                 QStringLiteral("/Velmora/VelmoraMobileEmulator/Launcher.ini"));
    QVERIFY(!QFileInfo::exists(GetFilePath(UserConfigFile)));
}

void TestFileLocations::unknownKindIsEmpty()
{
    QVERIFY(GetFilePath(FileKind(4)).isNull());
    QVERIFY(GetFilePath(FileKind(-1)).isNull());
}

VELMORA_GUILESS_TEST_MAIN(TestFileLocations)
#include "tst_filelocations.moc"
