// How Launcher.ini's bytes become text and back: the encodings a file may come in, a byte order
// mark, the quick UTF-8 scan against the decoder, a code page's high bytes, the bytes written.

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

class TestConfigEncoding : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void oneMarkSkipped_data();
    void oneMarkSkipped();
    void utf8ScanAgrees_data();
    void utf8ScanAgrees();
    void codePageHighBytes();
    void writtenBytes();
};

void TestConfigEncoding::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("[Input]\n") << "[Input]\n";
    QTest::newRow("utf-8") << QByteArray("Caf\xc3\xa9 \xe2\x82\xac") << QStringLiteral("Café €");
    QTest::newRow("utf-8 byte-order mark skipped")
        << QByteArray("\xef\xbb\xbf[Input]") << "[Input]";
    QTest::newRow("code-page file")
        << QByteArray("Caf\xe9 M\xfcller") << QStringLiteral("Café Müller");
    QTest::newRow("code-page euro and curly quotes")
        << QByteArray("\x80 \x93q\x94 \x81") << QStringLiteral("€ “q” \u0081");
    QTest::newRow("truncated utf-8 is the code page")
        << QByteArray("a\xc3") << QStringLiteral("a\u00c3");
    QTest::newRow("encoded surrogate is the code page")
        << QByteArray("\xed\xa0\x80") << QStringLiteral("\u00ed\u00a0€");
    QTest::newRow("mixed lines each in their own")
        << QByteArray("Caf\xc3\xa9\r\nM\xfcller\n\xe2\x82\xac\n")
        << QStringLiteral("Café\r\nMüller\n€\n");
    QTest::newRow("utf-8 mark before a code-page line")
        << QByteArray("\xef\xbb\xbf[Input]\n\x80\n") << QStringLiteral("[Input]\n€\n");
    QTest::newRow("utf-16 le with mark")
        << QByteArray("\xff\xfe[\0I\0]\0\n\0\xac\x20", 12) << QStringLiteral("[I]\n€");
    QTest::newRow("utf-16 be with mark")
        << QByteArray("\xfe\xff\0[\0I\0]\0\n\x20\xac", 12) << QStringLiteral("[I]\n€");
    QTest::newRow("utf-32 le with mark")
        << QByteArray("\xff\xfe\0\0a\0\0\0\x00\xf6\x01\0", 12) << QStringLiteral("a😀");
    QTest::newRow("utf-32 be with mark")
        << QByteArray("\0\0\xfe\xff\0\0\0a\0\x01\xf6\x00", 12) << QStringLiteral("a😀");
}

void TestConfigEncoding::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeConfigText(bytes), text);
}

void TestConfigEncoding::oneMarkSkipped_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("resolutions");
    QTest::addColumn<QStringList>("inputs");
    // Each line skips one mark at its start, whatever else the file holds; a second one is part
    // of the line. The first line comes after the encoding's own mark.
    const QByteArray mark = "\xef\xbb\xbf";
    const QByteArray codePageLine = "# M\xfcller\n";
    const QByteArray tail = "$VERSION\t106\n";
    const QStringList one = {"r"};
    // Built from a QChar: QString::fromUtf8 drops a mark that starts its text.
    const QString bom(QChar::ByteOrderMark);
    const QStringList two = {bom + "[Resolution]", "r"};
    const QStringList none = {"Default"};
    for (const auto &[label, extra] :
         {std::pair{"utf-8", QByteArray()}, std::pair{"with a code-page line", codePageLine}}) {
        QTest::addRow("%s, one mark on a later line", label)
            << mark + "[Input]\n" + mark + "[Resolution]\nr\n" + extra + tail << one << none;
        QTest::addRow("%s, two marks on a later line", label)
            << mark + "[Input]\n" + mark + mark + "[Resolution]\nr\n" + extra + tail << none << two;
        QTest::addRow("%s, file mark and one on the first line", label)
            << mark + mark + "[Resolution]\nr\n" + extra + tail << one << none;
        QTest::addRow("%s, file mark and two on the first line", label)
            << mark + mark + mark + "[Resolution]\nr\n" + extra + tail << none << none;
    }
    const auto utf16 = [](const QString &text) {
        QByteArray bytes("\xff\xfe");
        for (const QChar c : text)
            bytes.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
        return bytes;
    };
    QTest::newRow("utf-16, file mark and one on the first line")
        << utf16(bom + "[Resolution]\nr\n$VERSION\t106\n") << one << none;
    QTest::newRow("utf-16, file mark and two on the first line")
        << utf16(bom + bom + "[Resolution]\nr\n$VERSION\t106\n") << none << none;
    QTest::newRow("utf-16, two marks on a later line")
        << utf16("[Input]\n" + bom + bom + "[Resolution]\nr\n$VERSION\t106\n") << none << two;
}

void TestConfigEncoding::oneMarkSkipped()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, resolutions);
    QFETCH(QStringList, inputs);
    const QString path = TestEnvironment::current()->root() + QStringLiteral("/marks.ini");
    QVERIFY(WriteBytes(path, bytes));
    const ConfigLoadResult loaded = LoadConfigFile(path);
    QCOMPARE(loaded.status, ConfigLoadResult::Loaded);
    QCOMPARE(loaded.config.EntryNames(SectionResolution), resolutions);
    QCOMPARE(loaded.config.EntryNames(SectionInput), inputs);
}

void TestConfigEncoding::utf8ScanAgrees_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("scanned"); // whether the UTF-8 scan takes the file
    const QByteArray options = "[Resolution]\n\"Small\"\t\" -windowsize 1x1\"\n"
                               "[Input]\n\"Pen\"\t\" -input pen\"\n";
    const auto file = [&options](const QByteArray &head, const QByteArray &profiles) {
        return head + "$VERSION\t106\n[Profile]\n" + profiles + options;
    };
    QTest::newRow("ascii") << file("", "\"A\"\t\"[Resolution] 1 [Input] 1 -x\"\n") << true;
    QTest::newRow("names and arguments with accents")
        << file("", "\"Caf\xc3\xa9\"\t\"[Resolution] 1 -n M\xc3\xbcller\"\n\"B\"\t\"-y\"\n")
        << true;
    QTest::newRow("quotes in the value, an empty value, no value")
        << file("", "\"A\"\t\"[Input] 1 -ua \"Foo Bar\"\"\n\"B\"\t\"\"\n\"C\"\n") << true;
    QTest::newRow("two marks at the start")
        << file("\xef\xbb\xbf\xef\xbb\xbf", "\"A\"\t\"-x\"\n") << true;
    QTest::newRow("marks starting later lines, CR LF")
        << file("", "\xef\xbb\xbf\"A\"\t\"-x\"\r\n\xef\xbb\xbf\xef\xbb\xbf\"B\"\t\"-y\"\r\n")
        << true;
    QTest::newRow("comments, one in UTF-8")
        << file("# top\n", "# caf\xc3\xa9\n\"A\"\t\"-x\"\n# end\n\n") << true;
    QTest::newRow("a code-page line") << file("", "\"Caf\xe9\"\t\"-x\"\n") << false;
    QTest::newRow("utf-16") << QByteArray("\xff\xfe[\0I\0]\0", 8) << false;
}

// Reading a UTF-8 file from its bytes gives what decoding the whole text and reading that gives.
void TestConfigEncoding::utf8ScanAgrees()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, scanned);
    LauncherConfig expected;
    const int version = ParseConfigText(DecodeConfigText(bytes), expected);
    const std::optional<ScannedConfigText> scan = ScanConfigUtf8(bytes);
    QCOMPARE(scan.has_value(), scanned);
    if (!scan)
        return;
    QCOMPARE(scan->version, version);
    QCOMPARE(ReadProfiles(*scan), expected.profiles);
    QCOMPARE(scan->config.comments, expected.comments);
    for (int s = 1; s < SectionCount; ++s)
        QCOMPARE(scan->config.sections.at(s).entries, expected.sections.at(s).entries);
}

// Bytes 0x80 to 0x9F of code page 1252 as the system's iconv decodes them; the five it leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) are the control characters of the same value, as
// Windows maps them.
void TestConfigEncoding::codePageHighBytes()
{
    const iconv_t cp1252 = iconv_open("UTF-16LE", "CP1252");
    QVERIFY2(cp1252 != iconv_t(-1), "iconv has no CP1252 here");
    const auto closeIconv = qScopeGuard([cp1252] { iconv_close(cp1252); });
    int undefined = 0;
    for (int byte = 0x80; byte < 0xA0; ++byte) {
        char in = char(byte);
        char16_t out = 0;
        char *inPtr = &in;
        auto *outPtr = reinterpret_cast<char *>(&out);
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        iconv(cp1252, nullptr, nullptr, nullptr, nullptr);
        const bool defined = iconv(cp1252, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
        undefined += defined ? 0 : 1;
        const QChar expected = defined ? QChar(out) : QChar(byte);
        // A lone high byte is no UTF-8, so the line is read in the code page.
        QCOMPARE(DecodeConfigText(QByteArray(1, char(byte))), QString(expected));
    }
    QCOMPARE(undefined, 5);
}

void TestConfigEncoding::writtenBytes()
{
    LauncherConfig config =
        Load(QStringLiteral("$VERSION 103\n[Profile]\n"
                            "\"Default\"\t\"[Resolution]  0   x \"\n"
                            "\"Two\"\t\"[Resolution] 3 -a [Input] x 5\"\n"
                            "[Input]\n\"Touch\"\t\"\"\n\"Pen\"\t\" -input pen\"\n"));
    const QString expected =
        WrittenHeader +
        QStringLiteral("$VERSION\t106\n"
                       "\n"
                       "[Profile]\n"
                       "\"Default\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 0 x\"\n"
                       "\"Two\"\t\"[Resolution] 3 [PixelDensity] 0 [Input] 0 -a x 5\"\n"
                       "\n"
                       "[Resolution]\n"
                       "\"Default\"\t\"\"\n"
                       "\n"
                       "[PixelDensity]\n"
                       "\"Default\"\t\"\"\n"
                       "\n"
                       "[Input]\n"
                       "\"Touch\"\t\"\"\n"
                       "\"Pen\"\t\" -input pen\"\n"
                       "\n");
    QCOMPARE(FormatConfigText(config), expected);

    // Removed and added profiles: the section follows the profile list, whatever it held.
    config.AppendEntry(SectionProfile, "stale", "[Resolution] 9");
    config.RemoveProfile(1);
    config.AppendProfile(ParseProfileText("New", u"[Input] 1", config.sections));
    const QString text = FormatConfigText(config);
    QVERIFY(text.contains("[Profile]\n\"Default\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 0 "
                          "x\"\n\"New\"\t\"[Resolution] 0 [PixelDensity] 0 [Input] 1 \"\n\n"));
    QVERIFY(!text.contains("Two"));
    QVERIFY(!text.contains("stale"));
}

VELMORA_GUILESS_TEST_MAIN(TestConfigEncoding)
#include "tst_configencoding.moc"
