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

Q_DECLARE_METATYPE(ConfigLineKind)

class TestConfigFormat : public QObject
{
    Q_OBJECT

private slots:
    void classify_data();
    void classify();
    void version_data();
    void version();
    void entryCut_data();
    void entryCut();
    void profileText_data();
    void profileText();
    void sectionsAndLines_data();
    void sectionsAndLines();
    void commentsKept_data();
    void commentsKept();
    void roundTripOfHostileModels();
};

void TestConfigFormat::classify_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<ConfigLineKind>("kind");
    QTest::newRow("empty") << "" << ConfigLineKind::Empty;
    QTest::newRow("blanks are an entry") << "   " << ConfigLineKind::Entry;
    QTest::newRow("comment") << "# text" << ConfigLineKind::Comment;
    QTest::newRow("comment glued") << "#[Input]" << ConfigLineKind::Comment;
    QTest::newRow("indented comment is an entry") << " # text" << ConfigLineKind::Entry;
    QTest::newRow("version tab") << "$VERSION\t106" << ConfigLineKind::Version;
    QTest::newRow("version equals") << "$VERSION=105" << ConfigLineKind::Version;
    QTest::newRow("version word only") << "$VERSION" << ConfigLineKind::Version;
    QTest::newRow("version glued") << "$VERSION106" << ConfigLineKind::Entry;
    QTest::newRow("version lower case") << "$version 106" << ConfigLineKind::Entry;
    QTest::newRow("header") << "[Input]" << ConfigLineKind::Header;
    QTest::newRow("header with rest") << "[Profile], ignored = x" << ConfigLineKind::Header;
    QTest::newRow("header lower case") << "[input]" << ConfigLineKind::Entry;
    QTest::newRow("header indented") << " [Input]" << ConfigLineKind::Entry;
    QTest::newRow("header without brackets") << "Input" << ConfigLineKind::Entry;
    QTest::newRow("unknown header") << "[Other]" << ConfigLineKind::Entry;
    QTest::newRow("header glued to text") << "[Input]x" << ConfigLineKind::Entry;
    QTest::newRow("quoted entry") << "\"a\"\t\"b\"" << ConfigLineKind::Entry;
}

void TestConfigFormat::classify()
{
    QFETCH(QString, line);
    QFETCH(ConfigLineKind, kind);
    QCOMPARE(ClassifyConfigLine(line, Sections()), kind);
}

void TestConfigFormat::version_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("number");
    QTest::newRow("tab") << "$VERSION\t104" << true << 104;
    QTest::newRow("blanks, commas, equals") << "$VERSION , = 103" << true << 103;
    QTest::newRow("words before the number") << "$VERSION is 105" << true << 105;
    QTest::newRow("first number wins") << "$VERSION 105 106" << true << 105;
    QTest::newRow("sign") << "$VERSION -7" << true << -7;
    QTest::newRow("plus sign") << "$VERSION +104" << true << 104;
    QTest::newRow("too large") << "$VERSION 99999999999" << false << 0;
    QTest::newRow("not a number") << "$VERSION 10x6" << false << 0;
    QTest::newRow("nothing") << "$VERSION" << false << 0;
    QTest::newRow("trailing separators") << "$VERSION 106\t" << true << 106;
    QTest::newRow("NUL inside the number")
        << QStringLiteral("$VERSION\t106") + QChar(0) + QStringLiteral("x") << false << 0;
    QTest::newRow("NUL after the number")
        << QStringLiteral("$VERSION\t106") + QChar(0) << false << 0;
    // Blanks around a number convert with it, as a conversion that trims them does: a
    // vertical tab, a form feed, a CR left by CR CR LF line ends.
    QTest::newRow("vertical tab after") << "$VERSION\t105\v" << true << 105;
    QTest::newRow("form feed after") << "$VERSION\t105\f" << true << 105;
    QTest::newRow("CR after") << "$VERSION\t105\r" << true << 105;
    QTest::newRow("no-break space before") << QStringLiteral("$VERSION \u00a0104") << true << 104;
}

void TestConfigFormat::version()
{
    QFETCH(QString, line);
    QFETCH(bool, found);
    QFETCH(int, number);
    int version = 0;
    QCOMPARE(ParseVersionLine(line, &version), found);
    QCOMPARE(version, number);
}

void TestConfigFormat::entryCut_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("written form") << "\"480x800\"\t\" -windowsize 480x800\"" << true << "480x800"
                                  << " -windowsize 480x800";
    QTest::newRow("bare word") << "Plain" << true << "Plain"
                               << "";
    QTest::newRow("name only") << "\"Name\"" << true << "Name"
                               << "";
    QTest::newRow("quotes glued") << "\"n\"\"v\"" << true << "n"
                                  << "";
    QTest::newRow("blanks before the name") << "  \"n\"\t\"v\"" << true << "  "
                                            << "\t";
    QTest::newRow("only quotes") << "\"\"\"\"" << false << ""
                                 << "";
    QTest::newRow("empty name written") << "\"\"\t\"\"" << true << "\t"
                                        << "";
    QTest::newRow("backslash-t in name")
        << "\"C:\\temp\\tools\"\t\"C:\\temp\"" << true << "C:\\temp\\tools"
        << "C:\\temp";
    QTest::newRow("extra pieces ignored") << "\"a\" \"b\" \"c\"" << true << "a"
                                          << "b";
    QTest::newRow("only blanks") << "   " << true << "   "
                                 << "";
    QTest::newRow("value with inner quotes")
        << "\"P\"\t\"[Resolution] 0 -ua \"Foo Bar\"\"" << true << "P"
        << "[Resolution] 0 -ua \"Foo Bar\"";
    QTest::newRow("value with one inner quote") << "\"P\"\t\"a\"b\"" << true << "P"
                                                << "a\"b";
    QTest::newRow("value of a lone quote") << "\"P\"\t\"\"\"" << true << "P"
                                           << "\"";
    QTest::newRow("five quotes, blank separator") << "\"P\" \"a\"b\"" << true << "P"
                                                  << "a";
    QTest::newRow("five quotes, no closing quote") << "\"P\"\t\"a\"b\"c" << true << "P"
                                                   << "a";
    QTest::newRow("five quotes, two tabs") << "\"P\"\t\t\"a\"b\"" << true << "P"
                                           << "a";
}

void TestConfigFormat::entryCut()
{
    QFETCH(QString, line);
    QFETCH(bool, found);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QString gotName;
    QString gotValue;
    QCOMPARE(ParseEntryLine(line, &gotName, &gotValue), found);
    if (found) {
        QCOMPARE(gotName, name);
        QCOMPARE(gotValue, value);
    }
}

void TestConfigFormat::profileText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("index");
    QTest::addColumn<QString>("arguments");
    QTest::newRow("written form") << "[Resolution] 2 [PixelDensity] 0 [Input] 1 -a -b"
                                  << QList<int>{2, 0, 1} << " -a -b";
    QTest::newRow("header without number")
        << "[Resolution] 3 -a [Input] x 5" << QList<int>{3, 0, 0} << " -a x 5";
    QTest::newRow("ends with a header") << "-a [Input]" << QList<int>{0, 0, 0} << " -a";
    QTest::newRow("later number wins") << "[Input] 1 [Input] 2" << QList<int>{0, 0, 2} << "";
    QTest::newRow("out of range taken")
        << "[Resolution] -1 [PixelDensity] 99" << QList<int>{-1, 99, 0} << "";
    QTest::newRow("profile is free text") << "[Profile] 3" << QList<int>{0, 0, 0} << " [Profile] 3";
    QTest::newRow("white space collapses") << "  -a \t\t b  " << QList<int>{0, 0, 0} << " -a b";
    QTest::newRow("unicode white space")
        << QStringLiteral("-a\u00a0b\u2003c") << QList<int>{0, 0, 0} << " -a b c";
    QTest::newRow("signs and limits") << "[Resolution] +5 [PixelDensity] -2147483648 [Input] -0"
                                      << QList<int>{5, -2147483648, 0} << "";
    QTest::newRow("beyond int is free text")
        << "[Resolution] 2147483648 [Input] 1x" << QList<int>{0, 0, 0} << " 2147483648 1x";
    QTest::newRow("lone sign is free text")
        << "[Input] - [PixelDensity] +" << QList<int>{0, 0, 0} << " - +";
    QTest::newRow("header case matters") << "[input] 1" << QList<int>{0, 0, 0} << " [input] 1";
    QTest::newRow("empty") << "" << QList<int>{0, 0, 0} << "";
}

void TestConfigFormat::profileText()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, index);
    QFETCH(QString, arguments);
    const LauncherProfile profile =
        ParseProfileText(QStringLiteral("n"), text, Sections().sections);
    QCOMPARE(profile.name, QStringLiteral("n"));
    QCOMPARE(profile.optionIndex, index);
    QCOMPARE(profile.arguments, arguments);
}

void TestConfigFormat::sectionsAndLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("resolutions"); // names, then "name=value" for the first
    QTest::addColumn<QStringList>("inputs");

    QTest::newRow("entries before any header are dropped")
        << "\"x\"\t\"y\"\n$VERSION 104\n[Resolution]\n\"a\"\t\" -w\"\n"
        << 104 << QStringList{"a"} << QStringList{"Default"};
    QTest::newRow("section opened twice collects both parts")
        << "[Resolution]\na\n[Input]\ni\n[Resolution]\nb\n"
        << 0 << QStringList{"a", "b"} << QStringList{"i"};
    QTest::newRow("unknown header stays in the current section")
        << "[Input]\n[Other]\nz\n"
        << 0 << QStringList{"Default"} << QStringList{"[Other]", "z"};
    QTest::newRow("last version line counts")
        << "$VERSION 103\n[Input]\n$VERSION 107\n$VERSION none\nk\n"
        << 107 << QStringList{"Default"} << QStringList{"k"};
    QTest::newRow("CR LF ends lines, lone CR stays")
        << "$VERSION 106\r\n[Input]\r\na\rb\r\n\r\n"
        << 106 << QStringList{"Default"} << QStringList{"a\rb"};
    QTest::newRow("no final line end")
        << "[Input]\nlast" << 0 << QStringList{"Default"} << QStringList{"last"};
    QTest::newRow("lone CR at the very end ends the last line")
        << "[Resolution]\nr\n[Input]\r" << 0 << QStringList{"r"} << QStringList{"Default"};
    QTest::newRow("byte-order marks of a second file joined on")
        << "[Input]\na\n\uFEFF$VERSION 106\n\uFEFF[Resolution]\n\uFEFFr\n"
        << 106 << QStringList{"r"} << QStringList{"a"};
    QTest::newRow("blank line is an entry, empty line is not")
        << "[Input]\n\n  \n"
        << 0 << QStringList{"Default"} << QStringList{"  "};
}

void TestConfigFormat::sectionsAndLines()
{
    QFETCH(QString, text);
    QFETCH(int, version);
    QFETCH(QStringList, resolutions);
    QFETCH(QStringList, inputs);
    int found = -1;
    const LauncherConfig config = Load(text, &found);
    QCOMPARE(found, version);
    QCOMPARE(config.EntryNames(SectionResolution), resolutions);
    QCOMPARE(config.EntryNames(SectionInput), inputs);
    QCOMPARE(config.sections.size(), 4);
    // An empty [Profile] section gives the one profile "Default".
    QCOMPARE(config.ProfileNames(), QStringList{"Default"});
    QCOMPARE(config.profiles.at(0).optionIndex, (QList<int>{0, 0, 0}));
}

void TestConfigFormat::commentsKept_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("edit"); // "", "rename", "remove", "move"
    QTest::addColumn<QString>("written");
    const QString rest = QStringLiteral("[Resolution]\n"
                                        "# small ones\n"
                                        "\"Small\"\t\" -windowsize 1x1\"\n"
                                        "\n"
                                        "[PixelDensity]\n"
                                        "\"Default\"\t\"\"\n"
                                        "\n"
                                        "[Input]\n"
                                        "\"Default\"\t\"\"\n"
                                        "# last\n"
                                        "\n");
    const QString a = QStringLiteral("\"A\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 0 -a\"\n");
    const QString b = QStringLiteral("\"B\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 0 \"\n");
    const QString file = WrittenHeader + "# mine, above the version\n" + Header +
                         "\n# profiles\n[Profile]\n" + "# the phone\n#\n" + a + b +
                         "# ends the profiles\n\n# resolutions\n" + rest;
    QTest::newRow("each at its place, the file's own header once") << file << "" << file;
    QTest::newRow("a renamed profile keeps its comment")
        << file << "rename" << QString(file).replace("\"A\"", "\"Alpha\"");
    QTest::newRow("a moved profile takes its comment along")
        << file << "move"
        << QString(file).replace("# the phone\n#\n" + a + b, b + "# the phone\n#\n" + a);
    QTest::newRow("a removed profile's comment ends the section")
        << file << "remove"
        << QString(file).replace("# the phone\n#\n" + a + b + "# ends the profiles\n",
                                 b + "# the phone\n#\n# ends the profiles\n");
    QTest::newRow("without the file's header or version line")
        << "# first\n[Profile]\n" + a + "; not a comment\n[Input]\n\"Default\"\t\"\"\n# end"
        << ""
        << WrittenHeader + Header + "\n# first\n[Profile]\n" + a +
               "\"; not a comment\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 0 \"\n\n"
               "[Resolution]\n\"Default\"\t\"\"\n\n[PixelDensity]\n\"Default\"\t\"\"\n\n"
               "[Input]\n\"Default\"\t\"\"\n# end\n\n";
    const QString changedHeader = QString(WrittenHeader).replace("various", "several");
    QTest::newRow("a header the user changed is the user's")
        << changedHeader + Header + "[Profile]\n" + a + rest << ""
        << WrittenHeader + changedHeader.chopped(1) + Header + "\n[Profile]\n" + a + "\n" + rest;
    QTest::newRow("comments before a dropped line go with the next entry")
        << Header + "[Profile]\n# x\n\"\"\"\"\n" + a + rest << ""
        << WrittenHeader + Header + "\n[Profile]\n# x\n" + a + "\n" + rest;
}

// A user's comment lines come back at their place at every save, through the edits that move,
// rename or remove what they stand before; written and read again, they stay put.
void TestConfigFormat::commentsKept()
{
    QFETCH(QString, file);
    QFETCH(QString, edit);
    QFETCH(QString, written);
    LauncherConfig config = Load(file);
    if (edit == "rename")
        config.RenameProfile(0, "Alpha");
    else if (edit == "move")
        config.profiles.move(0, 1);
    else if (edit == "remove")
        config.RemoveProfile(0);
    const QString text = FormatConfigText(config);
    QCOMPARE(text, written);
    QCOMPARE(FormatConfigText(Load(text)), text);
}

// Random models built from hostile pieces go through the writer and the reader. What the
// format cannot carry (a double quote in a name, an empty name) must
// change exactly as documented; everything else must come back unchanged.
void TestConfigFormat::roundTripOfHostileModels()
{
    const QStringList pieces = {
        "a",       " ",        "\t",      "=",    ",",      "#",  "\"",  "\\t",
        "[Input]", "$VERSION", "Ünïcødé", "日本", "\u00a0", "\r", "x y", "[Resolution]",
        "-1",      "7",        "\\"};
    QRandomGenerator random(20261207);
    auto text = [&](int maxPieces) {
        QString result;
        const int n = int(random.bounded(maxPieces + 1));
        for (int i = 0; i < n; ++i)
            result += pieces.at(int(random.bounded(pieces.size())));
        return result;
    };

    for (int round = 0; round < 300; ++round) {
        LauncherConfig model;
        model.ResetSections();
        for (int s = 1; s <= OptionSectionCount; ++s) {
            const int count = 1 + int(random.bounded(4));
            for (int i = 0; i < count; ++i)
                model.AppendEntry(s, text(4), text(5));
        }
        const int profileCount = 1 + int(random.bounded(4));
        for (int i = 0; i < profileCount; ++i) {
            LauncherProfile p;
            p.name = text(3);
            p.optionIndex = {int(random.bounded(6)) - 1, int(random.bounded(4)),
                             int(random.bounded(4))};
            p.arguments = text(6);
            model.AppendProfile(p);
        }

        const QString written = FormatConfigText(model);
        const QString reread = DecodeConfigText(written.toUtf8());
        int version = 0;
        const LauncherConfig back = Load(reread, &version);
        QCOMPARE(version, ConfigFormatVersion);

        auto expectName = [](const QString &name, QString *expected) {
            // Returns false when the name is one the format cannot carry.
            if (name.contains('"') || name.isEmpty())
                return false;
            *expected = name;
            return true;
        };
        for (int s = 1; s <= OptionSectionCount; ++s) {
            const QList<ConfigEntry> &in = model.sections.at(s).entries;
            const QList<ConfigEntry> &out = back.sections.at(s).entries;
            // Every entry line yields an entry, whatever it holds.
            QCOMPARE(out.size(), in.size());
            for (int i = 0; i < in.size(); ++i) {
                QString name;
                if (!expectName(in.at(i).name, &name))
                    continue;
                QCOMPARE(out.at(i).name, name);
                QCOMPARE(out.at(i).value, in.at(i).value);
            }
        }
        // Profiles: positions exact, arguments as white-space separated tokens, unless the
        // arguments themselves hold header tokens that the parse takes as positions.
        QCOMPARE(back.profiles.size(), model.profiles.size());
        for (int i = 0; i < model.profiles.size(); ++i) {
            const LauncherProfile &in = model.profiles.at(i);
            const LauncherProfile &out = back.profiles.at(i);
            QString name;
            if (!expectName(in.name, &name))
                continue;
            QCOMPARE(out.name, name);
            const LauncherProfile reparsed =
                ParseProfileText(in.name, model.ProfileValueText(in), model.sections);
            QCOMPARE(out.optionIndex, reparsed.optionIndex);
            QCOMPARE(out.arguments, reparsed.arguments);
            if (!in.arguments.contains("[Resolution]") && !in.arguments.contains("[Input]")) {
                QCOMPARE(out.optionIndex, in.optionIndex);
                QCOMPARE(out.arguments.simplified(), in.arguments.simplified());
            }
        }
        // What was read once reads back the same after a second write.
        const LauncherConfig third = Load(FormatConfigText(back));
        QCOMPARE(third.profiles, back.profiles);
        for (int s = 1; s < SectionCount; ++s)
            QCOMPARE(third.sections.at(s).entries, back.sections.at(s).entries);
    }
}

VELMORA_GUILESS_TEST_MAIN(TestConfigFormat)
#include "tst_configformat.moc"
