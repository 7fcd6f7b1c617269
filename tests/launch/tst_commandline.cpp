#include "commandline.h"
#include "desktopentry.h"
#include "emulators_p.h"
#include "emulatorwindows.h"
#include "filelocations.h"
#include "launchrecords.h"
#include "logtext.h"
#include "profileuse.h"
#include "systemguards.h"
#include "testenvironment.h"

#include <csignal>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

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
    void desktopEntries_data();
    void desktopEntries();
    void logExcerpt_data();
    void logExcerpt();
    void recordsSurviveAFailedWrite();
    void longCommandsKeepEveryRecord();
    void logTextFollowsItsFile_data();
    void logTextFollowsItsFile();
    void arrangedWindows_data();
    void arrangedWindows();
    void profileOrders_data();
    void profileOrders();
    void largeLogReadInParts_data();
    void largeLogReadInParts();
    void logFilterAndLogsOfAProfile();
};

void TestCommandLine::compose_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("commandLine");  // the quoted path, a blank and the option text
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
    QTest::newRow("shell characters stay words")
        << QList<int>{0, 0, 0} << "It's $HOME"
        << "-a 'b' `c` \\d *" << q + "  -profile-name \"It's $HOME\" -a 'b' `c` \\d *"
        << QStringList{"-profile-name", "It's $HOME", "-a", "'b'", "`c`", "\\d", "*"};
    QTest::newRow("tilde and the rest of sh's characters")
        << QList<int>{0, 0, 0} << "~"
        << "~ ~/x a=~ x:~ # ; & | < > ( ) { } [ ] ? ! ^ %"
        << q + "  -profile-name \"~\" ~ ~/x a=~ x:~ # ; & | < > ( ) { } [ ] ? ! ^ %"
        << QStringList{"-profile-name",
                       "~",
                       "~",
                       "~/x",
                       "a=~",
                       "x:~",
                       "#",
                       ";",
                       "&",
                       "|",
                       "<",
                       ">",
                       "(",
                       ")",
                       "{",
                       "}",
                       "[",
                       "]",
                       "?",
                       "!",
                       "^",
                       "%"};
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

    const QString composed =
        "\"" + emulator + "\" " + ComposeOptionText(Options(), indexes, name, arguments);
    QCOMPARE(composed, commandLine);
    // The whole line split as one string gives what the emulator receives.
    QCOMPARE(QProcess::splitCommand(composed), QStringList{emulator} + received);
    const SplitCommand command = EmulatorCommand(emulator, Options(), indexes, name, arguments);
    QCOMPARE(command.program, emulator);
    QCOMPARE(command.arguments, received);
    // A path holding a double quote is still the program, and changes nothing after it.
    const QString quoted = QStringLiteral("/opt/\"quoted\" dir/VelmoraMobileEmu.exe");
    const SplitCommand odd = EmulatorCommand(quoted, Options(), indexes, name, arguments);
    QCOMPARE(odd.program, quoted);
    QCOMPARE(odd.arguments, received);
    // Pasted into a POSIX shell, the copied command gives the same words back.
    QProcess shell;
    shell.start("sh",
                {"-c", "for a in " + ShellCommand(command) + "; do printf '%s\\0' \"$a\"; done"});
    QVERIFY(shell.waitForFinished(10000));
    QStringList words = QString::fromUtf8(shell.readAllStandardOutput()).split(QChar(0));
    words.removeLast();
    QCOMPARE(words, QStringList{emulator} + received);
}

void TestCommandLine::describe()
{
    QCOMPARE(DescribeCommand(SplitCommand()), QStringLiteral("Nothing to start."));
    QCOMPARE(DescribeCommand({"/a b/emu", {}}),
             QStringLiteral("Starts /a b/emu\nwith no arguments."));
    QCOMPARE(DescribeCommand({"emu", {"-profile-name", "My phone", "<b>"}}),
             QStringLiteral("Starts emu\nwith the arguments:\n  -profile-name\n  My phone\n  <b>"));
    // A tooltip or a screen reader gets no megabytes: each word is cut, and says so.
    const QString described = DescribeCommand({"emu", {QString(100000, u'x')}});
    QCOMPARE(described.size(), QStringLiteral("Starts emu\nwith the arguments:\n  ").size() + 1025);
    QVERIFY(described.endsWith(QStringLiteral("x…")));
    // Commands that run on a launch are always shown with it.
    QCOMPARE(DescribeCommand({"emu", {}, {"A=1"}, {"adb wait", "adb kill", 9}}),
             QStringLiteral("Starts emu\nwith no arguments.\nand in its environment:\n  A=1\n"
                            "Before it starts, runs (stopping the launch when it fails or takes "
                            "longer than 9 s):\n  adb wait\nAfter it ends, runs:\n  adb kill"));
}

void TestCommandLine::desktopEntries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("written"); // a control character cannot be in a desktop file
    QTest::newRow("plain") << "HD phone" << true;
    QTest::newRow("names that look like options") << "-platform" << true;
    QTest::newRow("a dash and a letter") << "-l" << true;
    QTest::newRow("an escape character") << "red \x1b[31m phone" << false;
    QTest::newRow("percent signs") << "100% %f %%u" << true;
    QTest::newRow("backslashes") << "C:\\temp\\tools\\" << true;
    QTest::newRow("shell characters") << "$HOME `id` 'x' ~ ; & | < > * ? # ( ) \\$" << true;
    QTest::newRow("blanks, tabs and non-ASCII") << "  Über\t日本 " << true;
    QTest::newRow("equals and brackets") << "[Desktop Entry] a=b" << true;
}

namespace {
// A value of type string as a desktop reads it.
QString UnescapeString(const QString &value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == u'\\' && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            text += next == u's'   ? QChar(u' ')
                    : next == u'n' ? QChar(u'\n')
                    : next == u't' ? QChar(u'\t')
                    : next == u'r' ? QChar(u'\r')
                                   : next;
        } else {
            text += value.at(i);
        }
    }
    return text;
}

// How a desktop (GLib, KIO) turns an Exec value into a program and its arguments: the string
// escapes of the value first, then quoting, with \", \`, \$ and \\ inside quotes, and %% for %.
QStringList SplitExec(const QString &value)
{
    const QString exec = UnescapeString(value);
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size())
                word += exec.at(++i);
            else if (c == u'"')
                quoted = false;
            else if (c == u'%' && i + 1 < exec.size() && exec.at(i + 1) == u'%')
                word += exec.at(++i);
            else
                word += c;
        } else if (c == u' ') {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == u'"')
                quoted = true;
            else if (c == u'%' && i + 1 < exec.size() && exec.at(i + 1) == u'%')
                word += exec.at(++i);
            else
                word += c;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}
} // namespace

// "Add to Applications Menu": any name gives an entry the desktop's validator accepts and whose
// Exec starts the launcher for exactly that name.
void TestCommandLine::desktopEntries()
{
    QFETCH(QString, name);
    QFETCH(bool, written);
    const QString launcher = QStringLiteral("/opt/velmora \"launcher\"/VelmoraMobileEmuLauncher");
    QString error;
    QCOMPARE(WriteDesktopEntry(launcher, name, &error), written);
    if (!written) {
        QVERIFY(error.contains("control character"));
        QVERIFY(!HasDesktopEntry(name));
        return;
    }
    const QString path = DesktopEntryPath(name);
    QVERIFY(path.startsWith(TestEnvironment::current()->dataHome() + "/applications/"));
    QVERIFY(QFileInfo(path).fileName().startsWith("com.velmora.MobileEmulatorLauncher.profile-"));
    QVERIFY(HasDesktopEntry(name));

    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start("desktop-file-validate", {path});
    QVERIFY2(validate.waitForFinished(10000), "desktop-file-validate is needed");
    QVERIFY2(validate.exitCode() == 0 && validate.readAll().trimmed().isEmpty(),
             qPrintable(QString::fromUtf8(ReadBytes(path))));

    QString exec;
    QString stored;
    QString shown;
    QString tryExec;
    for (const QString &line : QString::fromUtf8(ReadBytes(path)).split('\n')) {
        if (line.startsWith("Exec="))
            exec = line.mid(5);
        if (line.startsWith("X-Velmora-Profile="))
            stored = line.mid(18);
        if (line.startsWith("Name="))
            shown = line.mid(5);
        if (line.startsWith("TryExec="))
            tryExec = line.mid(8);
    }
    QCOMPARE(SplitExec(exec), (QStringList{launcher, "--launch=" + name}));
    QCOMPARE(UnescapeString(stored), name); // the key of its own holds the name too
    // The menu says what it starts, and hides it once the launcher is gone.
    QCOMPARE(UnescapeString(shown), name + " (Velmora Mobile Emulator)");
    QCOMPARE(UnescapeString(tryExec), launcher);

    // It follows a rename and goes with the profile.
    RenameDesktopEntry(launcher, name, name + " 2");
    QVERIFY(!HasDesktopEntry(name));
    QVERIFY(HasDesktopEntry(name + " 2"));
    // The entry of a profile no longer stored goes once the launcher reads the file; others
    // stay, and so does a file of the same shape that is not an entry of ours.
    QVERIFY(WriteDesktopEntry(launcher, "Kept"));
    const QString foreign =
        QFileInfo(path).absolutePath() + "/com.velmora.MobileEmulatorLauncher.profile-mine.desktop";
    QVERIFY(WriteBytes(foreign, "[Desktop Entry]\nX-Velmora-Profile=" + name.toUtf8() + "\n"));
    QCOMPARE(RemoveStaleDesktopEntries({"Kept"}), QStringList{name + " 2"});
    QVERIFY(!HasDesktopEntry(name + " 2"));
    QVERIFY(HasDesktopEntry("Kept"));
    QVERIFY(QFileInfo::exists(foreign));
    RemoveDesktopEntry("Kept");
    QVERIFY(QFile::remove(foreign));
}

void TestCommandLine::logExcerpt_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QStringList>("lines");
    const auto numbered = [](int from, int to) {
        QStringList lines;
        for (int i = from; i <= to; ++i)
            lines.append(QString::number(i));
        return lines;
    };
    const auto text = [&numbered](int count, const char *end) {
        return numbered(1, count).join('\n').toUtf8() + end;
    };
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("a FIFO in the log's place, never waited for")
        << QByteArray("|") << QStringList();
    QTest::newRow("twenty lines, all shown") << text(20, "\n") << numbered(1, 20);
    QTest::newRow("a final line end starts no line")
        << text(21, "\n")
        << QStringList{"1", "2", "3", "4", "5", "[lines left out: 1]"} + numbered(7, 21);
    QTest::newRow("twenty lines and an empty one")
        << text(20, "\n\n")
        << QStringList{"1", "2", "3", "4", "5", "[lines left out: 1]"} + numbered(7, 20) +
               QStringList{""};
    QTest::newRow("no final line end")
        << text(26, "")
        << QStringList{"1", "2", "3", "4", "5", "[lines left out: 6]"} + numbered(12, 26);
    // Longer than what is read from each end: the lines between are counted, not shown.
    QByteArray longLog;
    for (int i = 1; i <= 30000; ++i)
        longLog += QByteArray::number(i) + '\n';
    // A few lines longer than what is read from each end: the first line's beginning (the
    // reason) and the last line's end, each cut where the reading stopped.
    const QByteArray wide(40000, 'w');
    QTest::newRow("three long lines")
        << "reason " + wide + '\n' + wide + '\n' + wide + " end\n"
        << QStringList{"reason " + wide, QString(64 * 1024 - 40008, u'w') + "…", wide + " end"};
    QTest::newRow("one line longer than both ends")
        << "why " + QByteArray(200000, 'x')
        << QStringList{"why " + QString(64 * 1024 - 4, u'x') + "…"};
    QTest::newRow("a long log") << longLog
                                << QStringList{"1", "2", "3", "4", "5", "[lines left out: 29980]"} +
                                       numbered(29986, 30000);
}

// What a notice shows of an emulator's output: its first lines, where a program says why it
// gives up, and its last ones.
void TestCommandLine::logExcerpt()
{
    QFETCH(QByteArray, log);
    QFETCH(QStringList, lines);
    const QString path = TestEnvironment::current()->root() + "/excerpt.log";
    QFile::remove(path);
    if (log == "|")
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else
        QVERIFY(WriteBytes(path, log));
    const QString excerpt = LogExcerpt(path);
    QCOMPARE(excerpt.isEmpty() ? QStringList() : excerpt.split('\n'), lines);
    QFile::remove(path);
}

// A write of the records that fails (a full disk, here a file-size limit) keeps the records
// that were there, and says so.
void TestCommandLine::recordsSurviveAFailedWrite()
{
    LaunchRecord mine{"Mine", qint64(::getpid()), ProcessIdentity(::getpid()),
                      QDateTime::currentDateTime(), QString()};
    QVERIFY(!mine.identity.isEmpty());
    QCOMPARE(RecordLaunch(mine), QString());
    const QString records = StateDirectory() + "/launches.json";
    const QByteArray before = ReadBytes(records);
    QVERIFY(before.contains("\"Mine\""));
    {
        const SignalDisposition ignoreFileSize(SIGXFSZ, SIG_IGN);
        const ResourceLimit limit(RLIMIT_FSIZE, 16);
        QVERIFY(limit.effective());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot write "));
        LaunchRecord other = mine;
        other.profile = "Other";
        QVERIFY(!RecordLaunch(other).isEmpty());
    }
    QCOMPARE(ReadBytes(records), before);
    QCOMPARE(RunningEmulators().size(), 1);
    QVERIFY(QFile::remove(records));
}

// Commands of megabytes (three running, fifty ended) keep every emulator in the records: each
// keeps the start of its command and the whole length, and the file stays small.
void TestCommandLine::longCommandsKeepEveryRecord()
{
    const QString records = StateDirectory() + "/launches.json";
    QFile::remove(records);
    const QString huge(1800 * 1000, u'a');
    for (int i = 0; i < 3; ++i) {
        LaunchRecord record{"Long", qint64(::getpid()), ProcessIdentity(::getpid()),
                            QDateTime::currentDateTime(), QString()};
        record.command = {"/emulator", "-x", huge};
        QCOMPARE(RecordLaunch(record), QString());
    }
    for (int i = 0; i < 50; ++i)
        RecordHowEnded(100000 + i, "1", true, 0);
    const QList<LaunchRecord> running = RunningEmulators();
    QCOMPARE(running.size(), 3);
    for (const LaunchRecord &record : running) {
        QCOMPARE(record.commandChars, qint64(huge.size() + 2 + 9));
        QCOMPARE(record.command.join(QString()).size(), MaxKeptCommandChars);
        QCOMPARE(record.command.first(), QStringLiteral("/emulator"));
    }
    QVERIFY2(QFileInfo(records).size() < 3 * 2 * MaxKeptCommandChars,
             qPrintable(QString::number(QFileInfo(records).size())));
    // A file larger than the launcher writes is set aside, not read.
    QVERIFY(WriteBytes(records, QByteArray(MaxRecordsBytes + 1, ' ')));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is larger than 64 MiB"));
    QCOMPARE(RunningEmulators().size(), 0);
    QVERIFY(QFileInfo::exists(records + ".too-large"));
    QFile::remove(records + ".too-large");
    QFile::remove(records);
}

VELMORA_GUILESS_TEST_MAIN(TestCommandLine)
// A chunk is appended to the log and read; one starting with "!" replaces the file instead.
void TestCommandLine::logTextFollowsItsFile_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("lastRead");

    const int grown = int(LogText::Read::Grown);
    QTest::newRow("an open last line")
        << QList<QByteArray>{"a\nb\nc"} << QStringList{"a", "b", "c"} << grown;
    QTest::newRow("the open line completed later")
        << QList<QByteArray>{"a\nb", "c\nd\n"} << QStringList{"a", "bc", "d"} << grown;
    QTest::newRow("CR LF and empty lines")
        << QList<QByteArray>{"a\r\n\r\n\nb\n"} << QStringList{"a", "", "", "b"} << grown;
    QTest::newRow("nothing new") << QList<QByteArray>{"a\n", ""} << QStringList{"a"}
                                 << int(LogText::Read::Unchanged);
    QTest::newRow("bytes that are no UTF-8")
        << QList<QByteArray>{"\xff ok\n"}
        << QStringList{QString(QChar::ReplacementCharacter) + " ok"} << grown;
    // "!" writes the file anew in place, "~" puts another file in its place, "|" a FIFO.
    const int restarted = int(LogText::Read::Restarted);
    QTest::newRow("begun anew when shorter")
        << QList<QByteArray>{"one\ntwo\n", "!x\n"} << QStringList{"x"} << restarted;
    QTest::newRow("written anew, longer") << QList<QByteArray>{"one\n", "!first\nsecond\n"}
                                          << QStringList{"first", "second"} << restarted;
    QTest::newRow("replaced by a longer file")
        << QList<QByteArray>{"one\n", "~one\ntwo\n"} << QStringList{"one", "two"} << restarted;
    QTest::newRow("a FIFO in its place is not read, and never waited for")
        << QList<QByteArray>{"one\n", "|"} << QStringList{"one"} << int(LogText::Read::Failed);
}

void TestCommandLine::logTextFollowsItsFile()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, lines);
    QFETCH(int, lastRead);
    const QString path = TestEnvironment::current()->root() + "/follow.log";
    QVERIFY(WriteBytes(path, QByteArray()));
    LogText log;
    QCOMPARE(log.ReadMore(path), LogText::Read::Restarted);
    LogText::Read read = LogText::Read::Failed;
    for (const QByteArray &chunk : chunks) {
        if (chunk.startsWith('!')) {
            QVERIFY(WriteBytes(path, chunk.mid(1)));
        } else if (chunk.startsWith('~')) {
            QVERIFY(WriteBytes(path + ".new", chunk.mid(1)));
            QVERIFY(::rename(QFile::encodeName(path + ".new").constData(),
                             QFile::encodeName(path).constData()) == 0);
        } else if (chunk.startsWith('|')) {
            QVERIFY(QFile::remove(path));
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append) && file.write(chunk) == chunk.size());
        }
        read = log.ReadMore(path);
    }
    QCOMPARE(int(read), lastRead);
    QStringList shown;
    for (qsizetype i = 0; i < log.LineCount(); ++i)
        shown.append(log.Line(i));
    QCOMPARE(shown, lines);
    QCOMPARE(log.ReadMore(path + ".gone"), LogText::Read::Failed);
    QCOMPARE(log.LineCount(), lines.size());
    QFile::remove(path);
}

// A log larger than the window the viewer keeps: its end is read, earlier parts on demand,
// and what is kept stays within the window's bytes and lines. Steps: "earlier", "latest", and
// "+text" (appended, then read).
void TestCommandLine::arrangedWindows_data()
{
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<QList<QSize>>("frames");
    QTest::addColumn<QList<QRect>>("placed");
    const QSize phone(400, 300);
    // The area is 1000×700 at 10,20.
    QTest::newRow("tile: one keeps its size at the corner")
        << Arrangement::Tile << QList<QSize>{phone} << QList<QRect>{{10, 20, 400, 300}};
    QTest::newRow("tile: three in a 2×2 grid, each in its cell")
        << Arrangement::Tile << QList<QSize>{phone, phone, phone}
        << QList<QRect>{{10, 20, 400, 300}, {510, 20, 400, 300}, {10, 370, 400, 300}};
    QTest::newRow("tile: larger than its cell is made smaller")
        << Arrangement::Tile << QList<QSize>{{900, 900}, {100, 100}}
        << QList<QRect>{{10, 20, 500, 700}, {510, 20, 100, 100}};
    QTest::newRow("cascade: a step down and right each")
        << Arrangement::Cascade << QList<QSize>{phone, phone}
        << QList<QRect>{{10, 20, 400, 300}, {42, 52, 400, 300}};
    QTest::newRow("cascade: back to the corner when the next would leave the area")
        << Arrangement::Cascade << QList<QSize>{{900, 600}, {900, 600}, {900, 600}, {2000, 50}}
        << QList<QRect>{
               {10, 20, 900, 600}, {42, 52, 900, 600}, {74, 84, 900, 600}, {10, 20, 1000, 50}};
    QTest::newRow("none") << Arrangement::Tile << QList<QSize>{} << QList<QRect>{};
}

void TestCommandLine::arrangedWindows()
{
    QFETCH(Arrangement, arrangement);
    QFETCH(QList<QSize>, frames);
    QFETCH(QList<QRect>, placed);
    QCOMPARE(ArrangedRects(arrangement, frames, QRect(10, 20, 1000, 700)), placed);
}

void TestCommandLine::profileOrders_data()
{
    QTest::addColumn<ProfileOrder>("order");
    QTest::addColumn<QString>("shown");
    // Default stays first; "phone 10" after "Phone 9"; B and c never launched keep their order.
    QTest::newRow("stored") << ProfileOrder::Stored << "Default|phone 10|c|Phone 9|B|a";
    QTest::newRow("name: case ignored, numbers by value")
        << ProfileOrder::Name << "Default|a|B|c|Phone 9|phone 10";
    QTest::newRow("last launch: newest first, never launched last")
        << ProfileOrder::LastLaunch << "Default|a|Phone 9|phone 10|c|B";
    QTest::newRow("launch count: most first, ties as stored")
        << ProfileOrder::LaunchCount << "Default|phone 10|Phone 9|a|c|B";
}

void TestCommandLine::profileOrders()
{
    QFETCH(ProfileOrder, order);
    QFETCH(QString, shown);
    const QStringList names{"Default", "phone 10", "c", "Phone 9", "B", "a"};
    const QDateTime day(QDate(2026, 12, 1), QTime(9, 0));
    const QHash<QString, ProfileUse> use{{"phone 10", {day, 7}},
                                         {"Phone 9", {day.addSecs(60), 7}},
                                         {"a", {day.addDays(1), 2}},
                                         {"Default", {day.addDays(2), 1}}};
    QStringList ordered;
    for (const int row :
         OrderedRows(order, names, [&use](const QString &name) { return use.value(name); }))
        ordered.append(names.at(row));
    QCOMPARE(ordered.join('|'), shown);
}

void TestCommandLine::largeLogReadInParts_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qint64>("before");
    QTest::addColumn<qint64>("after");

    const QByteArray four = "one\ntwo\nthree\nfour\n";
    QTest::newRow("the end first, from a line's start")
        << 12 << 100 << four << QStringList() << QStringList{"three", "four"} << 8LL << 0LL;
    QTest::newRow("an earlier part, the end given up to stay bounded")
        << 12 << 100 << four << QStringList{"earlier"} << QStringList{"two", "three"} << 4LL << 5LL;
    QTest::newRow("earlier again, to the start")
        << 12 << 100 << four << QStringList{"earlier", "earlier"} << QStringList{"one", "two"}
        << 0LL << 11LL;
    QTest::newRow("nothing before the start")
        << 100 << 100 << four << QStringList{"earlier"}
        << QStringList{"one", "two", "three", "four"} << 0LL << 0LL;
    QTest::newRow("back to the end") << 12 << 100 << four << QStringList{"earlier", "latest"}
                                     << QStringList{"three", "four"} << 8LL << 0LL;
    QTest::newRow("growth only counted while an earlier part is read")
        << 12 << 100 << four << QStringList{"earlier", "+five\n"} << QStringList{"two", "three"}
        << 4LL << 10LL;
    QTest::newRow("following moves on by half a window")
        << 8 << 100 << QByteArray("a\nb\nc\nd\n") << QStringList{"+e\n", "+f\n", "+g\n"}
        << QStringList{"d", "e", "f", "g"} << 6LL << 0LL;
    QTest::newRow("a last line longer than the window, by its end")
        << 4 << 100 << QByteArray("abcdefghij") << QStringList() << QStringList{"ghij"} << 6LL
        << 0LL;
    QTest::newRow("at most so many lines") << 100 << 2 << QByteArray("1\n2\n3\n4\n")
                                           << QStringList() << QStringList{"3", "4"} << 4LL << 0LL;
}

void TestCommandLine::largeLogReadInParts()
{
    QFETCH(int, window);
    QFETCH(int, maxLines);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, lines);
    QFETCH(qint64, before);
    QFETCH(qint64, after);
    const QString path = TestEnvironment::current()->root() + "/large.log";
    QVERIFY(WriteBytes(path, content));
    LogText log(window, maxLines);
    QCOMPARE(log.ReadMore(path), LogText::Read::Restarted);
    for (const QString &step : steps) {
        if (step == "earlier") {
            log.ReadEarlier();
        } else if (step == "latest") {
            QCOMPARE(log.ReadLatest(), LogText::Read::Restarted);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            file.write(step.mid(1).toUtf8());
            file.close();
            log.ReadMore(path);
        }
    }
    QStringList shown;
    for (qsizetype i = 0; i < log.LineCount(); ++i)
        shown.append(log.Line(i));
    QCOMPARE(shown, lines);
    QCOMPARE(log.Before(), before);
    QCOMPARE(log.After(), after);
    QVERIFY(log.Bytes().size() <= window + window / 2);
    // Saving the unfiltered log saves all of it, whatever part is read.
    const QString saved = path + ".saved";
    QCOMPARE(SaveLogLines(log, nullptr, saved), QString());
    QFile all(path), copy(saved);
    QVERIFY(all.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), all.readAll());
    QFile::remove(saved);
    QFile::remove(path);
}

void TestCommandLine::logFilterAndLogsOfAProfile()
{
    using R = LogFilter::Result;
    const QString costly = QString(40, QLatin1Char('a')) + QLatin1Char('b');
    const struct
    {
        const char *typed;
        QString line;
        R result;
    } cases[] = {
        {"", "anything", R::Yes},
        {"ERROR", "an error here", R::Yes},
        {"/err.r", "an ERROR", R::Yes},
        {"/^an$", "an error", R::No},
        {"a.b", "axb", R::No},
        {"/(", "(", R::No},
        {"/", "the empty expression", R::Yes},
        {"/Grüße", "GRÜSSE und grüße", R::Yes},
        // Backtracking that would take seconds stops at the budget of a line.
        {"/(a+)+$", costly, R::TooCostly},
        {"/(a+)+b$", costly, R::Yes},
    };
    for (const auto &c : cases)
        QVERIFY2(LogFilter::Parse(c.typed).Test(c.line) == c.result, c.typed);
    QVERIFY(LogFilter::Parse("/(").Problem().contains("at character 2"));

    // Newest first, only the profile's own logs: never another whose name ends the same.
    for (const char *name :
         {"20261207-101530-123-Phone.log", "20261208-090000-000-Phone.log",
          "20261208-090000-000-Phone_2.log", "20261208-090000-000-My_Phone.log",
          "20261208-090000-000-Old-Phone.log", "notes-Phone.log", "20261209-090000-000-Phone.txt"})
        QVERIFY(WriteBytes(LogDirectory() + '/' + name, "x\n"));
    // A second launch of the same name in the same millisecond gets a log of its own; the first
    // is left as it was.
    QString problem;
    const QString stem = LogDirectory() + "/20261208-090000-000-Phone";
    QCOMPARE(CreateLog(stem, &problem), stem + "+2.log");
    // The collision on the way is no problem of the log made: a launch would discard its output.
    QCOMPARE(problem, QString());
    QCOMPARE(CreateLog(stem, &problem), stem + "+3.log");
    QCOMPARE(ReadBytes(stem + ".log"), QByteArray("x\n"));
    QVERIFY(IsLogName("20261208-090000-000-Phone+3.log"));
    QVERIFY(!IsLogName("20261208-090000-000-Phone+.log"));
    QCOMPARE(LogsOf("Phone"), (QStringList{stem + "+3.log", stem + "+2.log", stem + ".log",
                                           LogDirectory() + "/20261207-101530-123-Phone.log"}));
    QCOMPARE(LogsOf("My Phone"),
             (QStringList{LogDirectory() + "/20261208-090000-000-My_Phone.log"}));
    // Without records of it (deleted, or the records lost) the newest of the folder.
    QCOMPARE(NewestLog("Phone"), stem + "+3.log");
    QCOMPARE(CreateLog(LogDirectory() + "/missing/x", &problem), QString());
    QVERIFY(!problem.isEmpty());
}

#include "tst_commandline.moc"
