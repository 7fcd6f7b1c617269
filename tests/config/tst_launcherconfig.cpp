#include "launcherconfig.h"
#include "profileextras.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QtTest>

namespace {

// A loaded-looking model: the four sections, `sizes` entries in the option sections, and
// profiles given as name -> option positions.
LauncherConfig MakeConfig(const QList<int> &sizes = {4, 4, 2})
{
    LauncherConfig config;
    config.ResetSections();
    for (int s = 1; s <= OptionSectionCount; ++s) {
        for (int i = 0; i < sizes.at(s - 1); ++i)
            config.AppendEntry(s, QStringLiteral("e%1").arg(i),
                               QStringLiteral(" -o%1 %2").arg(s).arg(i));
    }
    return config;
}

LauncherProfile Profile(const QString &name, const QList<int> &index, const QString &arguments = {})
{
    LauncherProfile p;
    p.name = name;
    p.optionIndex = index;
    p.arguments = arguments;
    return p;
}

} // namespace

class TestLauncherConfig : public QObject
{
    Q_OBJECT

private slots:
    void resetGivesFourEmptySections();
    void sectionLabel_data();
    void sectionLabel();
    void findSection_data();
    void findSection();
    void profileValueText_data();
    void profileValueText();
    void removeOptionRepairsProfiles_data();
    void removeOptionRepairsProfiles();
    void removeOptionOutsideChangesNothing_data();
    void removeOptionOutsideChangesNothing();
    void profilesUsingOption();
    void findProfileIsExactAndFirst();
    void ensureDefaultEntriesOnlyFillsEmpty();
    void duplicatesAreKept();
    void positionsOutsideListsChangeNothing();
    void shownNames_data();
    void shownNames();
    void profileExtras_data();
    void profileExtras();
};

void TestLauncherConfig::resetGivesFourEmptySections()
{
    LauncherConfig config = MakeConfig();
    config.profiles.append(Profile(QStringLiteral("kept"), {0, 0, 0}));
    config.ResetSections();
    QCOMPARE(config.sections.size(), 4);
    const QStringList headers = {QStringLiteral("[Profile]"), QStringLiteral("[Resolution]"),
                                 QStringLiteral("[PixelDensity]"), QStringLiteral("[Input]")};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(config.sections.at(i).header, headers.at(i));
        QVERIFY(config.sections.at(i).entries.isEmpty());
    }
    QCOMPARE(config.profiles.size(), 1);
}

void TestLauncherConfig::sectionLabel_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("lowerCase");
    QTest::addColumn<QString>("label");
    QTest::newRow("resolution") << "[Resolution]" << false << "Resolution";
    QTest::newRow("pixel density") << "[PixelDensity]" << false << "Pixel Density";
    QTest::newRow("pixel density lower") << "[PixelDensity]" << true << "pixel density";
    QTest::newRow("input lower") << "[Input]" << true << "input";
    QTest::newRow("capitals stay together") << "[HDMIOutput]" << false << "HDMIOutput";
    QTest::newRow("after a digit no space") << "[Mode2Fast]" << false << "Mode2Fast";
    QTest::newRow("non-ASCII letters") << "[ÉcranÉtat]" << true << "écran état";
}

void TestLauncherConfig::sectionLabel()
{
    QFETCH(QString, header);
    QFETCH(bool, lowerCase);
    QFETCH(QString, label);
    QCOMPARE(SectionLabel(header, lowerCase), label);
}

void TestLauncherConfig::findSection_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("position");
    QTest::newRow("profile") << "[Profile]" << 0;
    QTest::newRow("input") << "[Input]" << 3;
    QTest::newRow("lower case") << "[resolution]" << -1;
    QTest::newRow("no brackets") << "Resolution" << -1;
    QTest::newRow("trailing blank") << "[Resolution] " << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestLauncherConfig::findSection()
{
    QFETCH(QString, header);
    QFETCH(int, position);
    QCOMPARE(MakeConfig().FindSection(header), position);
}

void TestLauncherConfig::profileValueText_data()
{
    QTest::addColumn<QList<int>>("index");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("text");
    QTest::newRow("arguments trimmed") << QList<int>{2, 0, 1} << "  -a -b "
                                       << "[Resolution] 2 [PixelDensity] 0 [Input] 1 -a -b";
    QTest::newRow("empty arguments end in a blank") << QList<int>{2, 0, 1} << ""
                                                    << "[Resolution] 2 [PixelDensity] 0 [Input] 1 ";
    QTest::newRow("only white space") << QList<int>{0, 0, 0} << " \t "
                                      << "[Resolution] 0 [PixelDensity] 0 [Input] 0 ";
    QTest::newRow("inner blanks kept") << QList<int>{0, 0, 0} << "-a   b"
                                       << "[Resolution] 0 [PixelDensity] 0 [Input] 0 -a   b";
    QTest::newRow("out of range and negative")
        << QList<int>{-1, 7, 2147483647} << "x"
        << "[Resolution] -1 [PixelDensity] 7 [Input] 2147483647 x";
    QTest::newRow("no-break space trimmed like QString::trimmed")
        << QList<int>{0, 1, 0} << QStringLiteral("\u00a0-a\u2003")
        << "[Resolution] 0 [PixelDensity] 1 [Input] 0 -a";
}

void TestLauncherConfig::profileValueText()
{
    QFETCH(QList<int>, index);
    QFETCH(QString, arguments);
    QFETCH(QString, text);
    const LauncherConfig config = MakeConfig();
    QCOMPARE(config.ProfileValueText(Profile(QStringLiteral("p"), index, arguments)), text);
}

void TestLauncherConfig::removeOptionRepairsProfiles_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QList<int>>("before"); // the three profiles' positions in `section`
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<QStringList>("arguments"); // the three profiles' arguments afterwards

    // Profile arguments before: "-a", "", "-c".
    QTest::newRow("below, at, above") << 1 << 2 << QList<int>{1, 2, 3} << QList<int>{1, 0, 2}
                                      << QStringList{"-a", " -o1 2", "-c"};
    QTest::newRow("two users, one with arguments")
        << 2 << 1 << QList<int>{1, 1, 0} << QList<int>{0, 0, 0}
        << QStringList{"-a  -o2 1", " -o2 1", "-c"};
    QTest::newRow("out-of-range positions move down too")
        << 1 << 3 << QList<int>{7, -1, 3} << QList<int>{6, -1, 0}
        << QStringList{"-a", "", "-c  -o1 3"};
    QTest::newRow("input section") << 3 << 1 << QList<int>{1, 0, 1} << QList<int>{0, 0, 0}
                                   << QStringList{"-a  -o3 1", "", "-c  -o3 1"};
}

void TestLauncherConfig::removeOptionRepairsProfiles()
{
    QFETCH(int, section);
    QFETCH(int, entry);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    QFETCH(QStringList, arguments);

    LauncherConfig config = MakeConfig();
    const QStringList initialArguments = {"-a", "", "-c"};
    for (int i = 0; i < 3; ++i) {
        QList<int> index = {1, 1, 1};
        index[section - 1] = before.at(i);
        config.profiles.append(
            Profile(QStringLiteral("p%1").arg(i), index, initialArguments.at(i)));
    }
    const int size = config.sections.at(section).entries.size();
    const ConfigEntry removed = config.sections.at(section).entries.at(entry);

    config.RemoveOption(section, entry);

    QCOMPARE(config.sections.at(section).entries.size(), size - 1);
    QVERIFY(!config.sections.at(section).entries.contains(removed));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(config.profiles.at(i).optionIndex.at(section - 1), after.at(i));
        QCOMPARE(config.profiles.at(i).arguments, arguments.at(i));
        // The other sections' positions are untouched.
        for (int s = 1; s <= OptionSectionCount; ++s) {
            if (s != section)
                QCOMPARE(config.profiles.at(i).optionIndex.at(s - 1), 1);
        }
    }
}

void TestLauncherConfig::removeOptionOutsideChangesNothing_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("entry");
    QTest::newRow("past the end") << 1 << 4;
    QTest::newRow("negative") << 1 << -1;
    QTest::newRow("profile section") << 0 << 1;
    QTest::newRow("no such section") << 4 << 1;
    QTest::newRow("negative section") << -1 << 0;
}

void TestLauncherConfig::removeOptionOutsideChangesNothing()
{
    QFETCH(int, section);
    QFETCH(int, entry);
    LauncherConfig config = MakeConfig();
    config.AppendEntry(SectionProfile, QStringLiteral("p"), QStringLiteral("text"));
    config.profiles.append(Profile(QStringLiteral("p"), {4, -1, 1}, QStringLiteral("-x")));
    const LauncherConfig before = config;
    config.RemoveOption(section, entry);
    QCOMPARE(config.profiles, before.profiles);
    for (int s = 0; s < SectionCount; ++s)
        QCOMPARE(config.sections.at(s).entries, before.sections.at(s).entries);
}

void TestLauncherConfig::profilesUsingOption()
{
    LauncherConfig config = MakeConfig();
    config.profiles = {Profile("A", {2, 0, 0}), Profile("B", {1, 2, 0}), Profile("C", {2, 1, 0})};
    QCOMPARE(config.ProfilesUsingOption(1, 2), (QStringList{"A", "C"}));
    QCOMPARE(config.ProfilesUsingOption(2, 2), QStringList{"B"});
    QCOMPARE(config.ProfilesUsingOption(1, 3), QStringList());
    QCOMPARE(config.ProfilesUsingOption(0, 0), QStringList());
}

void TestLauncherConfig::findProfileIsExactAndFirst()
{
    LauncherConfig config = MakeConfig();
    config.profiles = {Profile("Default", {0, 0, 0}), Profile("Phone", {1, 0, 0}),
                       Profile("Phone", {2, 0, 0})};
    QCOMPARE(config.FindProfile("Default"), 0);
    QCOMPARE(config.FindProfile("default"), -1);
    QCOMPARE(config.FindProfile("Phone"), 1);
    QCOMPARE(config.FindProfile("Phone "), -1);
    QCOMPARE(config.FindProfile(""), -1);
}

void TestLauncherConfig::ensureDefaultEntriesOnlyFillsEmpty()
{
    LauncherConfig config;
    config.ResetSections();
    config.AppendEntry(SectionPixelDensity, "mdpi", " -ppi 160");
    config.EnsureDefaultEntries();
    config.EnsureDefaultEntries();
    const ConfigEntry fallback{"Default", ""};
    QCOMPARE(config.sections.at(SectionProfile).entries, QList<ConfigEntry>{fallback});
    QCOMPARE(config.sections.at(SectionResolution).entries, QList<ConfigEntry>{fallback});
    QCOMPARE(config.sections.at(SectionPixelDensity).entries,
             (QList<ConfigEntry>{{"mdpi", " -ppi 160"}}));
    QCOMPARE(config.sections.at(SectionInput).entries, QList<ConfigEntry>{fallback});
}

void TestLauncherConfig::duplicatesAreKept()
{
    LauncherConfig config = MakeConfig({1, 1, 1});
    config.AppendEntry(SectionResolution, "e0", " -other");
    QCOMPARE(config.EntryNames(SectionResolution), (QStringList{"e0", "e0"}));
    config.AppendProfile(Profile("x", {0, 0, 0}));
    config.AppendProfile(Profile("x", {1, 0, 0}));
    QCOMPARE(config.ProfileNames(), (QStringList{"x", "x"}));
}

void TestLauncherConfig::positionsOutsideListsChangeNothing()
{
    LauncherConfig config = MakeConfig();
    config.profiles = {Profile("A", {1, 2, 0}, "-a")};
    const LauncherConfig before = config;
    config.AppendEntry(-1, "n", "v");
    config.AppendEntry(4, "n", "v");
    config.UpdateProfile(1, 0, 0, 0, "x");
    config.UpdateProfile(-1, 0, 0, 0, "x");
    config.RemoveProfile(1);
    config.RemoveProfile(-1);
    QCOMPARE(config.EntryNames(9), QStringList());
    QCOMPARE(config.profiles, before.profiles);
    for (int s = 0; s < SectionCount; ++s)
        QCOMPARE(config.sections.at(s).entries, before.sections.at(s).entries);

    config.UpdateProfile(0, 3, -1, 1, " y ");
    QCOMPARE(config.profiles.at(0), Profile("A", {3, -1, 1}, " y "));
    config.RemoveProfile(0);
    QVERIFY(config.profiles.isEmpty());
}

VELMORA_GUILESS_TEST_MAIN(TestLauncherConfig)
void TestLauncherConfig::shownNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("control");
    QTest::newRow("plain") << "HD phone"
                           << "HD phone" << false;
    QTest::newRow("a tab") << "Two\tcolumns" << QString("Two\u2409columns") << true;
    QTest::newRow("an escape") << "Red \x1b[31m" << QString("Red \u241b[31m") << true;
    QTest::newRow("delete") << "Del\x7f" << QString("Del\u2421") << true;
    QTest::newRow("a C1 control") << QString("C1\u0085") << QString("C1\ufffd") << true;
    QTest::newRow("long, cut after the escape")
        << "\t" + QString(300, 'x') << QString("\u2409") + QString(199, 'x') + "\u2026" << true;
    QTest::newRow("non-ASCII is no control") << "Grüße 電話"
                                             << "Grüße 電話" << false;
}

// A name with a control character is shown with the symbol standing for it, on one line.
void TestLauncherConfig::shownNames()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(bool, control);
    QCOMPARE(ShownName(name, 200), shown);
    QCOMPARE(ContainsControlCharacter(name), control);
}

// What a profile carries beside Launcher.ini, as typed and as the filter meets it. `kind`:
// "tags" (typed, shown joined by "|"), "environment" (typed; "!" and the line when refused),
// "filter" (the profile tagged "Android, big screens" with the note "Flaky on CI"; the typed
// text, "-" for no match or "*" when met by its extras), "file" (bytes; what they hold).
void TestLauncherConfig::profileExtras_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tags: commas, blanks, each once ignoring case")
        << "tags"
        << " android,, Tablets ,ANDROID,\nregression "
        << "android|Tablets|regression";
    QTest::newRow("tags: inner blanks kept as one") << "tags"
                                                    << "big   screens"
                                                    << "big screens";
    QTest::newRow("environment: in order, the last of a name wins, comments skipped")
        << "environment"
        << "A=1\n# no\n\nB = x y \nA=2\r"
        << "B= x y |A=2";
    QTest::newRow("environment: an empty value") << "environment"
                                                 << "EMPTY="
                                                 << "EMPTY=";
    QTest::newRow("environment: a value with =") << "environment"
                                                 << "Q=a=b"
                                                 << "Q=a=b";
    QTest::newRow("environment: no name") << "environment"
                                          << "=x"
                                          << "!=x";
    QTest::newRow("environment: a name with a dash") << "environment"
                                                     << "OK=1\nBAD-NAME=2"
                                                     << "!BAD-NAME=2";
    QTest::newRow("environment: a name starting with a digit") << "environment"
                                                               << "1A=2"
                                                               << "!1A=2";
    QTest::newRow("filter: a tag as typed") << "filter"
                                            << "big screens"
                                            << "*";
    QTest::newRow("filter: part of a tag") << "filter"
                                           << "screen"
                                           << "*";
    QTest::newRow("filter: tag: the beginning of a tag") << "filter"
                                                         << "tag:big"
                                                         << "*";
    QTest::newRow("filter: tag: not its middle") << "filter"
                                                 << "tag:screens"
                                                 << "-";
    QTest::newRow("filter: tag: finds by tag only") << "filter"
                                                    << "TAG: android"
                                                    << "*";
    QTest::newRow("filter: tag: ignores the name") << "filter"
                                                   << "tag:Phone"
                                                   << "-";
    QTest::newRow("filter: the name still finds it") << "filter"
                                                     << "phone"
                                                     << "name";
    QTest::newRow("filter: a note") << "filter"
                                    << "on ci"
                                    << "*";
    QTest::newRow("file: tags, note, environment in order")
        << "file"
        << R"({"version":1,"profiles":{"P":{"tags":["a","A","b"],"notes":"n","environment":[["Z","1"],["A","2"]]}}})"
        << "P a|b n Z=1|A=2";
    QTest::newRow("file: fields of the wrong kind left out")
        << "file"
        << R"({"version":1,"profiles":{"P":{"tags":"a","notes":3,"environment":[["X"]]},"Q":{"tags":["q"]}}})"
        << "Q q  ";
    QTest::newRow("file: hooks alone keep a profile; a time limit out of range is the default")
        << "file"
        << R"({"version":1,"profiles":{"P":{"hooks":{"beforeLaunch":"adb wait","timeoutSeconds":0}},"Q":{"hooks":{"afterExit":"x","timeoutSeconds":5}}}})"
        << "P    [adb wait||60];Q    [|x|5]";
    // An export carries the exported profiles' extras in comment lines; an import reads them.
    QTest::newRow("exported: only the profiles exported, read back whole")
        << "exported"
        << R"({"version":1,"profiles":{"P":{"notes":"a\nb","hooks":{"afterExit":"x"}},"Q":{"tags":["q"]}}})"
        << "P  a\nb  [|x|60]";
    QTest::newRow("exported: a damaged line carries nothing")
        << "exported!"
        << R"({"version":1,"profiles":{"P":{"tags":["p"]}}})"
        << "";
    QTest::newRow("file: a newer version is not read") << "file"
                                                       << R"({"version":2})"
                                                       << "unreadable";
    QTest::newRow("file: no JSON") << "file"
                                   << "tags: a"
                                   << "unreadable";
    QTest::newRow("file: empty is none") << "file"
                                         << ""
                                         << "";
}

void TestLauncherConfig::profileExtras()
{
    QFETCH(QString, kind);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    if (kind == "tags") {
        QCOMPARE(ParseTags(input).join('|'), expected);
    } else if (kind == "environment") {
        QString problem;
        const auto environment = ParseEnvironment(input, &problem);
        ProfileExtras extras;
        if (environment)
            extras.environment = *environment;
        QCOMPARE(environment ? EnvironmentList(extras).join('|') : '!' + problem, expected);
    } else if (kind == "filter") {
        ProfileExtras extras;
        extras.tags = QStringList{"Android", "big screens"};
        extras.notes = "Flaky on CI";
        const ProfileMatch byName = QString("Phone").contains(input, Qt::CaseInsensitive)
                                        ? ProfileMatch::Name
                                        : ProfileMatch::None;
        const ProfileMatch match = MatchWithExtras(byName, extras, input);
        QCOMPARE(match == ProfileMatch::None       ? QString("-")
                 : match == ProfileMatch::Settings ? QString("*")
                                                   : QString("name"),
                 expected);
    } else {
        ExtrasFile file = ParseExtras(input.toUtf8());
        if (kind.startsWith("exported")) {
            QStringList lines = ExtrasCommentLines(file.extras, {"P"});
            QCOMPARE(lines.size(), 2);
            QVERIFY(!lines.last().contains('\n')); // one line, whatever the notes hold
            if (kind.endsWith('!'))
                lines.last().chop(1);
            file.extras = ExtrasFromComments({{ConfigComment::SectionEnd, 0, QString(), lines}});
        }
        QStringList parts;
        for (auto it = file.extras.cbegin(); it != file.extras.cend(); ++it)
            parts.append(it.key() + ' ' + it->tags.join('|') + ' ' + it->notes + ' ' +
                         EnvironmentList(*it).join('|') +
                         (it->HasHooks() ? QString(" [%1|%2|%3]")
                                               .arg(it->beforeLaunch, it->afterExit)
                                               .arg(it->hookTimeout)
                                         : QString()));
        QCOMPARE(file.readable ? parts.join(';') : QString("unreadable"), expected);
        // What is read is written back the same.
        if (file.readable)
            QCOMPARE(ParseExtras(FormatExtras(file.extras)).extras, file.extras);
    }
}

#include "tst_launcherconfig.moc"
