// The user's Launcher.ini as a run keeps it: reading with its limits, what is said about
// dropped lines, and the rules of saving.

#include "configformat.h"
#include "configstore.h"
#include "systemguards.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QtTest>

#include <optional>
#include <unistd.h>

class TestConfigStore : public QObject
{
    Q_OBJECT

private slots:
    void savePolicy_data();
    void savePolicy();
    void droppedLinesAreReported();
    void sizeLimit_data();
    void sizeLimit();
};

void TestConfigStore::savePolicy_data()
{
    QTest::addColumn<QString>("userFile");  // what is at the user's path when it is read
    QTest::addColumn<QStringList>("saves"); // "blocked": the write fails part-way; "free"
    QTest::addColumn<QList<bool>>("saved");
    QTest::addColumn<QList<bool>>("told"); // firstFailure of each save
    QTest::newRow("told once until a save works")
        << "missing" << QStringList{"blocked", "blocked", "free", "blocked", "blocked"}
        << QList<bool>{false, false, true, false, false}
        << QList<bool>{true, false, false, true, false};
    QTest::newRow("an unreadable file is kept, and nothing is told")
        << "unreadable" << QStringList{"free", "free"} << QList<bool>{false, false}
        << QList<bool>{false, false};
    QTest::newRow("a readable file is saved over")
        << "readable" << QStringList{"free"} << QList<bool>{true} << QList<bool>{false};
}

void TestConfigStore::savePolicy()
{
    QFETCH(QString, userFile);
    QFETCH(QStringList, saves);
    QFETCH(QList<bool>, saved);
    QFETCH(QList<bool>, told);
    const QString root = TestEnvironment::current()->root() + "/policy-" + QTest::currentDataTag();
    const QString folder = root + "/Velmora";
    const QString user = folder + "/Launcher.ini";
    QVERIFY(QDir().mkpath(root));
    if (userFile == "unreadable")
        QVERIFY(QDir().mkpath(user)); // a directory: not a regular file
    if (userFile == "readable")
        QVERIFY(WriteBytes(user, "$VERSION 106\n[Profile]\n\"Mine\"\t\"\"\n"));

    ConfigStore store(user, root + "/LauncherDefault.ini");
    const ConfigStore::ReadResult read = store.Read(user, true);
    QCOMPARE(store.KeepsUserFile(), userFile == "unreadable");
    const LauncherConfig model =
        read.status == ConfigStore::ReadResult::Loaded ? read.config : DefaultsOnlyConfig();
    for (int i = 0; i < saves.size(); ++i) {
        // A blocked save fails part-way: the file may not grow past a few bytes.
        const SignalDisposition ignoreFileSize(SIGXFSZ, SIG_IGN);
        std::optional<ResourceLimit> limit;
        if (saves.at(i) == "blocked") {
            limit.emplace(RLIMIT_FSIZE, 16);
            QVERIFY(limit->effective());
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot write "));
        }
        const ConfigSaveResult result = store.Save(model);
        limit.reset();
        QCOMPARE(result.saved, saved.at(i));
        QCOMPARE(result.firstFailure, told.at(i));
        if (result.saved)
            QCOMPARE(ReadBytes(user), FormatConfigUtf8(model));
    }
    if (userFile == "unreadable")
        QVERIFY(QFileInfo(user).isDir());
}

// Each line the reader drops is named with the file and its number, up to twenty a file; the
// shipped default drops none, so a normal start says nothing.
void TestConfigStore::droppedLinesAreReported()
{
    const QString path = TestEnvironment::current()->root() + "/dropped.ini";
    QByteArray text;
    for (int i = 0; i < 25; ++i)
        text += "stray " + QByteArray::number(i) + "\n";
    text += "[Input]\n\"\"\"\"\n\"Touch\"\t\"\"\n$VERSION 106\n";
    QVERIFY(WriteBytes(path, text));
    for (int line = 1; line <= 20; ++line) {
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("%1:%2: line ignored: it "
                                                                     "comes before any section "
                                                                     "header")
                                                          .arg(path)
                                                          .arg(line)));
    }
    QTest::ignoreMessage(QtWarningMsg, qPrintable(path + ": 6 more lines ignored"));
    QTest::failOnWarning(QRegularExpression("line ignored"));
    const ConfigLoadResult loaded = LoadConfigFile(path);
    QCOMPARE(loaded.config.EntryNames(SectionInput), QStringList{"Touch"});

    QList<DroppedConfigLine> dropped;
    LauncherConfig shipped;
    ParseConfigText(DecodeConfigText(ReadBytes(VELMORA_SOURCE_DIR "/data/LauncherDefault.ini")),
                    shipped, &dropped);
    QCOMPARE(dropped.size(), 0);
    QVERIFY(shipped.profiles.size() > 1);
}

void TestConfigStore::sizeLimit_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("status");
    QTest::newRow("exactly the limit") << MaxConfigFileSize << int(ConfigLoadResult::Loaded);
    QTest::newRow("one byte more") << MaxConfigFileSize + 1 << int(ConfigLoadResult::Unreadable);
}

void TestConfigStore::sizeLimit()
{
    QFETCH(qint64, size);
    QFETCH(int, status);
    const QString path = TestEnvironment::current()->root() + QStringLiteral("/sized.ini");
    // The rest of the file is one comment line, padded with zero bytes.
    QVERIFY(WriteBytes(path, "$VERSION 106\n[Profile]\n\"Big\"\t\"\"\n#"));
    QCOMPARE(::truncate(QFile::encodeName(path).constData(), off_t(size)), 0);
    const ConfigLoadResult loaded = LoadConfigFile(path);
    QCOMPARE(int(loaded.status), status);
    if (loaded.status == ConfigLoadResult::Loaded)
        QCOMPARE(loaded.config.ProfileNames(), QStringList{"Big"});
    QVERIFY(QFile::remove(path));
}

VELMORA_GUILESS_TEST_MAIN(TestConfigStore)
#include "tst_configstore.moc"
