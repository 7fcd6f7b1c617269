// Loading at start-up and saving at shutdown, through the real MainWindow with its message
// boxes shown and answered.

#include "configformat.h"
#include "mainwindow.h"
#include "modaldriver.h"
#include "systemguards.h"
#include "testenvironment.h"
#include "windowparts.h"

#include <QApplication>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString warningTitle = QStringLiteral("Velmora Mobile Emulator Launcher Warning");

QString UserPath()
{
    return TestEnvironment::current()->userConfigPath();
}

QString UserDir()
{
    return QFileInfo(UserPath()).absolutePath();
}

QByteArray
ConfigText(const QByteArray &version, const QByteArray &profiles,
           const QByteArray &resolutions = "\"R0\"\t\"\"\n\"R1\"\t\" -windowsize 1x1\"\n")
{
    QByteArray text = "# test\n";
    if (!version.isNull())
        text += "$VERSION\t" + version + "\n";
    return text + "[Profile]\n" + profiles + "[Resolution]\n" + resolutions +
           "[PixelDensity]\n\"P0\"\t\"\"\n[Input]\n\"I0\"\t\"\"\n";
}

} // namespace

class TestConfigStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstRunReadsDefaultSilently();
    void outdatedUserFileIsMovedAside_data();
    void outdatedUserFileIsMovedAside();
    void outdatedUserFileThatCannotMove();
    void outdatedDefaultFileStartsEmpty();
    void acceptedVersionsAreUpgraded_data();
    void acceptedVersionsAreUpgraded();
    void quotedArgumentsSurviveARestart();
    void latin1FileKeepsItsCharacters();
    void unwritableLocationKeepsTheOldFile();
    void writeFailingPartWayKeepsTheOldFile();
    void savingKeepsPermissionsAndLinks_data();
    void savingKeepsPermissionsAndLinks();
    void unreadableUserFileIsLeftAlone_data();
    void unreadableUserFileIsLeftAlone();
    void readOnlyDirectoryWithWritableFile();

private:
    ModalDriver *driver = nullptr;
};

void TestConfigStartup::init()
{
    QDir(TestEnvironment::current()->dataHome()).removeRecursively();
    QDir().mkpath(TestEnvironment::current()->dataHome());
    QVERIFY(WriteBytes(DefaultConfigPath(), ShippedDefaultConfig()));
    driver = new ModalDriver;
}

void TestConfigStartup::cleanup()
{
    const QStringList problems = driver->Finish();
    delete driver;
    QCOMPARE(problems, QStringList());
}

void TestConfigStartup::firstRunReadsDefaultSilently()
{
    LauncherConfig shipped;
    ParseConfigText(DecodeConfigText(ShippedDefaultConfig()), shipped);
    {
        MainWindow window;
        QCOMPARE(window.Config().profiles, shipped.profiles);
        QCOMPARE(driver->handled, 0);
        QVERIFY(!QFileInfo::exists(UserPath()));
    }
    // The user's file now exists, and reads back to the same profiles.
    QVERIFY(QFileInfo::exists(UserPath()));
    QVERIFY(ReadBytes(UserPath()).startsWith("# A configuration out for the Velmora"));
    QVERIFY(WriteBytes(DefaultConfigPath(), ConfigText("106", "\"Other\"\t\"\"\n")));
    MainWindow again;
    QCOMPARE(again.Config().profiles, shipped.profiles);
}

void TestConfigStartup::outdatedUserFileIsMovedAside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("alreadyThere");
    QTest::addColumn<QString>("movedTo");

    QTest::newRow("version 102") << ConfigText("102", "\"Old\"\t\"\"\n") << QStringList()
                                 << "Launcher.102.ini";
    QTest::newRow("version 107") << ConfigText("107", "\"New\"\t\"\"\n") << QStringList()
                                 << "Launcher.107.ini";
    QTest::newRow("no version line")
        << ConfigText(QByteArray(), "\"P\"\t\"\"\n") << QStringList() << "Launcher.0.ini";
    QTest::newRow("empty file") << QByteArray("") << QStringList() << "Launcher.0.ini";
    QTest::newRow("earlier moves are kept")
        << ConfigText("104x", "\"P\"\t\"\"\n") << QStringList{"Launcher.0.ini", "Launcher.0.1.ini"}
        << "Launcher.0.2.ini";
}

void TestConfigStartup::outdatedUserFileIsMovedAside()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, alreadyThere);
    QFETCH(QString, movedTo);

    QVERIFY(WriteBytes(UserPath(), content));
    for (const QString &name : alreadyThere)
        QVERIFY(WriteBytes(UserDir() + '/' + name, "earlier " + name.toUtf8()));
    const QString target = UserDir() + '/' + movedTo;
    driver->ExpectMessageBox(warningTitle,
                             QStringLiteral("Your Launcher.ini configuration file is out of date "
                                            "and will not be used. It has been renamed to %1 to "
                                            "make place for a new configuration file.")
                                 .arg(target),
                             {"OK"}, "OK");
    {
        MainWindow window;
        QCOMPARE(window.Config().ProfileNames().first(), QStringLiteral("Default"));
        QCOMPARE(ReadBytes(target), content);
        QVERIFY(!QFileInfo::exists(UserPath()));
        for (const QString &name : alreadyThere)
            QCOMPARE(ReadBytes(UserDir() + '/' + name), "earlier " + name.toUtf8());
    }
    // A fresh file takes its place at shutdown.
    QVERIFY(ReadBytes(UserPath()).contains("$VERSION\t106\n"));
}

void TestConfigStartup::outdatedUserFileThatCannotMove()
{
    const QByteArray content = ConfigText("99", "\"Old\"\t\"\"\n");
    QVERIFY(WriteBytes(UserPath(), content));
    driver->ExpectMessageBox(warningTitle,
                             QStringLiteral("Your Launcher.ini configuration file is out of date "
                                            "and will not be used. It could not be renamed to %1 "
                                            "and will be replaced by the launcher's "
                                            "configuration at your first change, or when the "
                                            "launcher closes.")
                                 .arg(UserDir() + "/Launcher.99.ini"),
                             {"OK"}, "OK");
    bool written = true;
    {
        ReadOnlyDirectory readOnly(UserDir());
        QVERIFY(readOnly.effective() || ::geteuid() != 0);
        MainWindow window;
        QCOMPARE(window.Config().ProfileNames().first(), QStringLiteral("Default"));
        written = window.WriteConfig();
    }
    QVERIFY(!written);
    QCOMPARE(ReadBytes(UserPath()), content);
    QVERIFY(!QFileInfo::exists(UserDir() + "/Launcher.99.ini"));
}

void TestConfigStartup::outdatedDefaultFileStartsEmpty()
{
    QVERIFY(WriteBytes(DefaultConfigPath(), ConfigText("1", "\"Phone\"\t\"[Resolution] 1 \"\n")));
    driver->ExpectMessageBox(warningTitle, QStringLiteral("Config file is out of date"), {"OK"},
                             "OK");
    MainWindow window;
    const LauncherConfig &config = window.Config();
    QCOMPARE(config.ProfileNames(), QStringList{"Default"});
    QCOMPARE(config.profiles.at(0).optionIndex, (QList<int>{0, 0, 0}));
    QCOMPARE(config.profiles.at(0).arguments, QString());
    for (int s = 1; s <= OptionSectionCount; ++s) {
        QCOMPARE(config.sections.at(s).entries, (QList<ConfigEntry>{{"Default", ""}}));
    }
    QCOMPARE(ReadBytes(DefaultConfigPath()), ConfigText("1", "\"Phone\"\t\"[Resolution] 1 \"\n"));
}

void TestConfigStartup::acceptedVersionsAreUpgraded_data()
{
    QTest::addColumn<QByteArray>("versionLine");
    QTest::newRow("103 tab") << QByteArray("$VERSION\t103");
    QTest::newRow("104 blanks") << QByteArray("$VERSION   104");
    QTest::newRow("105 equals") << QByteArray("$VERSION=105");
    QTest::newRow("106 comma") << QByteArray("$VERSION,106");
}

void TestConfigStartup::acceptedVersionsAreUpgraded()
{
    QFETCH(QByteArray, versionLine);
    QByteArray text = ConfigText(QByteArray(), "\"A\"\t\"[Resolution]   1 [Input] x 5\"\n");
    text.replace("# test\n", versionLine + "\n");
    QVERIFY(WriteBytes(UserPath(), text));
    {
        MainWindow window;
        QCOMPARE(window.Config().ProfileNames(), QStringList{"A"});
    }
    const QByteArray written = ReadBytes(UserPath());
    QVERIFY(written.contains("\n$VERSION\t106\n"));
    QVERIFY(written.contains(
        "[Profile]\n\"A\"\t\"[Resolution] 1 [PixelDensity] 0 [Input] 0 x 5\"\n\n[Resolution]\n"));
}

void TestConfigStartup::quotedArgumentsSurviveARestart()
{
    const QByteArray profile =
        "\"Browser\"\t\"[Resolution] 1 [PixelDensity] 0 [Input] 0 -ua \"Foo Bar\" -x\"\n";
    QVERIFY(WriteBytes(UserPath(), ConfigText("106", "\"Default\"\t\"\"\n" + profile)));
    {
        MainWindow window;
        QCOMPARE(window.Config().profiles.at(1).arguments, QStringLiteral(" -ua \"Foo Bar\" -x"));
        QCOMPARE(window.Config().profiles.at(1).optionIndex, (QList<int>{1, 0, 0}));
    }
    QVERIFY(ReadBytes(UserPath()).contains(profile));
}

void TestConfigStartup::latin1FileKeepsItsCharacters()
{
    QVERIFY(
        WriteBytes(UserPath(), ConfigText("106", "\"Caf\xe9\"\t\"\"\n", "\"M\xfcller\"\t\"\"\n")));
    {
        MainWindow window;
        QCOMPARE(window.Config().ProfileNames(), QStringList{QStringLiteral("Café")});
        QCOMPARE(window.Config().EntryNames(SectionResolution),
                 QStringList{QStringLiteral("Müller")});
    }
    const QByteArray written = ReadBytes(UserPath());
    QVERIFY(written.contains("\"Caf\xc3\xa9\"\t\"[Resolution] 0"));
    QVERIFY(written.contains("\"M\xc3\xbcller\"\t\"\""));
}

void TestConfigStartup::unwritableLocationKeepsTheOldFile()
{
    const QByteArray content = ConfigText("106", "\"Mine\"\t\"\"\n");
    QVERIFY(WriteBytes(UserPath(), content));
    // One line naming the file and the reason for each save: here and on the way out.
    const QRegularExpression line("^cannot write " + QRegularExpression::escape(UserPath()) +
                                  ": Permission denied$");
    QTest::ignoreMessage(QtWarningMsg, line);
    QTest::ignoreMessage(QtWarningMsg, line);
    {
        ReadOnlyDirectory readOnly(UserDir());
        MainWindow window;
        QVERIFY(!window.WriteConfig());
    }
    QCOMPARE(ReadBytes(UserPath()), content);
    QCOMPARE(QDir(UserDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"Launcher.ini"});
}

void TestConfigStartup::writeFailingPartWayKeepsTheOldFile()
{
    QByteArray profiles;
    for (int i = 0; i < 2000; ++i)
        profiles += "\"Profile " + QByteArray::number(i) + "\"\t\"[Resolution] 1 -x\"\n";
    const QByteArray content = ConfigText("106", profiles);
    QVERIFY(WriteBytes(UserPath(), content));

    MainWindow window;
    // A file this long has its profiles read while the window is built: whole, in order.
    LauncherConfig expected;
    ParseConfigText(QString::fromUtf8(content), expected);
    QCOMPARE(window.Config().profiles, expected.profiles);
    QCOMPARE(WindowParts(window).profiles->count(), 2000);
    // The file may grow to a tenth of what the save needs; the write then fails part-way.
    bool written = true;
    {
        const SignalDisposition ignoreFileSize(SIGXFSZ, SIG_IGN);
        const ResourceLimit small(RLIMIT_FSIZE, rlim_t(content.size() / 10));
        QVERIFY(small.effective());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(": File too large$"));
        written = window.WriteConfig();
    }

    QVERIFY(!written);
    QCOMPARE(ReadBytes(UserPath()), content);
    QCOMPARE(QDir(UserDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"Launcher.ini"});
    QVERIFY(window.WriteConfig());
}

void TestConfigStartup::savingKeepsPermissionsAndLinks_data()
{
    QTest::addColumn<uint>("owner");
    QTest::addColumn<uint>("group");
    QTest::addColumn<int>("mode");
    QTest::newRow("the user's own, read by the group") << ::geteuid() << ::getegid() << 0640;
    // As root (sudo with the user's HOME), the file stays the user's and the group's.
    QTest::newRow("shared with a group") << ::geteuid() << 65534u << 0660;
    QTest::newRow("another user's, saved by root") << 65534u << 65534u << 0600;
}

void TestConfigStartup::savingKeepsPermissionsAndLinks()
{
    QFETCH(uint, owner);
    QFETCH(uint, group);
    QFETCH(int, mode);
    if ((owner != ::geteuid() || group != ::getegid()) && ::geteuid() != 0)
        QSKIP("only root can give a file to another user or group");
    const QString real = TestEnvironment::current()->root() + "/elsewhere/Launcher.ini";
    QVERIFY(WriteBytes(real, ConfigText("106", "\"Linked\"\t\"\"\n")));
    const QByteArray native = QFile::encodeName(real);
    QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
    QCOMPARE(::chown(native.constData(), owner, group), 0);
    QDir().mkpath(UserDir());
    QFile::remove(UserPath());
    QVERIFY(QFile::link(real, UserPath()));
    {
        MainWindow window;
        QCOMPARE(window.Config().ProfileNames(), QStringList{"Linked"});
        QVERIFY(window.WriteConfig());
    }
    QVERIFY(QFileInfo(UserPath()).isSymLink());
    struct stat st;
    QCOMPARE(::stat(native.constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(mode));
    QCOMPARE(uint(st.st_uid), owner);
    QCOMPARE(uint(st.st_gid), group);
    QVERIFY(ReadBytes(real).contains("[Profile]\n\"Linked\"\t\"[Resolution] 0 [PixelDensity] 0 "
                                     "[Input] 0 \"\n"));
}

void TestConfigStartup::unreadableUserFileIsLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no read permission") << "mode 000"
                                        << "Permission denied";
    QTest::newRow("a directory") << "directory"
                                 << "it is not a regular file";
    QTest::newRow("a FIFO") << "fifo"
                            << "it is not a regular file";
    // Only what the test made in its own folder: a regression must fail here, never write
    // through a link to a device.
    QTest::newRow("a link to a FIFO") << "link to fifo"
                                      << "it is not a regular file";
    QTest::newRow("larger than 64 MiB") << "large"
                                        << "it is larger than 64 MiB";
}

// What is there may be all of the user's profiles: the defaults serve for the run, the user is
// told, and nothing is written over it, neither at a change nor at the close.
void TestConfigStartup::unreadableUserFileIsLeftAlone()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QByteArray path = QFile::encodeName(UserPath());
    const QByteArray content = ConfigText("106", "\"Mine\"\t\"\"\n");
    QDir().mkpath(UserDir());
    if (kind == "directory") {
        QVERIFY(QDir().mkdir(UserPath()));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(path.constData(), 0600), 0);
    } else if (kind == "link to fifo") {
        const QByteArray fifo =
            QFile::encodeName(TestEnvironment::current()->root() + "/elsewhere.fifo");
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QVERIFY(QFile::link(QFile::decodeName(fifo), UserPath()));
    } else {
        QVERIFY(WriteBytes(UserPath(), content));
        if (kind == "large")
            QCOMPARE(::truncate(path.constData(), (64 << 20) + 1), 0);
    }
    struct stat before;
    QCOMPARE(::lstat(path.constData(), &before), 0);

    driver->ExpectMessageBox(warningTitle,
                             "Your Launcher.ini configuration file " + UserPath() +
                                 " cannot be read: " + reason +
                                 ".\n\nThe launcher starts with its default configuration and "
                                 "leaves your file as it is: nothing is saved to it while the "
                                 "launcher runs.",
                             {"OK"}, "OK");
    {
        std::optional<RestrictedPath> unreadable;
        if (kind == "mode 000")
            unreadable.emplace(UserPath(), 0);
        MainWindow window;
        LauncherConfig shipped;
        ParseConfigText(DecodeConfigText(ShippedDefaultConfig()), shipped);
        QCOMPARE(window.Config().profiles, shipped.profiles);
        // A change would be saved at once, and the close saves too.
        WindowParts parts(window);
        parts.profiles->setCurrentRow(1);
        parts.arguments->setText("-changed");
        parts.addUpdate->click();
        QCOMPARE(window.Config().profiles.at(1).arguments, QStringLiteral("-changed"));
        QVERIFY(!window.WriteConfig());
    }
    struct stat after;
    QCOMPARE(::lstat(path.constData(), &after), 0);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_size, before.st_size);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    if (kind == "mode 000")
        QCOMPARE(ReadBytes(UserPath()), content);
    QCOMPARE(QDir(UserDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList{"Launcher.ini"});
}

void TestConfigStartup::readOnlyDirectoryWithWritableFile()
{
    // The save cannot create its temporary file beside Launcher.ini, but the file itself can be
    // written: it is, in place.
    QVERIFY(WriteBytes(UserPath(), ConfigText("106", "\"Mine\"\t\"\"\n")));
    // Group bits too: a test run as root acts as "nobody" but keeps root's group.
    QVERIFY(QFile::setPermissions(UserPath(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ReadGroup | QFile::WriteGroup |
                                                  QFile::ReadOther | QFile::WriteOther));
    {
        ReadOnlyDirectory readOnly(UserDir());
        MainWindow window;
        QVERIFY(window.WriteConfig());
    }
    QVERIFY(ReadBytes(UserPath()).startsWith("# A configuration out for the Velmora"));
    QVERIFY(ReadBytes(UserPath()).contains("[Profile]\n\"Mine\"\t\"[Resolution] 0 "));
}

VELMORA_TEST_MAIN(TestConfigStartup)
#include "tst_configstartup.moc"
