#include "configformat.h"
#include "configformat_p.h"

#include <QStringDecoder>

// Reading a Launcher.ini's text into a model: every line scanned once, the profiles' texts
// read after, perhaps on another thread.

namespace {

// Reads the lines of a file, one at a time, into the option sections of `config` (which it
// resets first). Of a profile line it only gives the name and the stored text, as parts of
// the line: they are read into a profile later.
class LineScanner
{
public:
    LineScanner(LauncherConfig &config, QList<DroppedConfigLine> *dropped)
        : config(config), dropped(dropped)
    {
        config.ResetSections();
        config.comments.clear();
    }

    // `line` as cut at '\n'. True for a profile line, with its name and stored text.
    bool Feed(QStringView line, QStringView *name, QStringView *value)
    {
        ++lineNumber;
        // LF, CR LF, and a CR at the very end of the text end a line; any other CR belongs to it.
        if (line.endsWith(u'\r'))
            line.chop(1);
        // Two files joined by `cat`: the second one's byte-order mark starts a line.
        if (line.startsWith(QChar::ByteOrderMark))
            line = line.sliced(1);

        switch (ClassifyConfigLine(line, config)) {
        case ConfigLineKind::Empty:
            commentsAboveBlank = pending.size();
            break;
        case ConfigLineKind::Comment:
            // Without the CRs at its end: written back, the last of them would end the line.
            while (line.endsWith(u'\r'))
                line.chop(1);
            pending.append(line.toString());
            break;
        case ConfigLineKind::Version:
            if (currentSection < 0)
                Attach(ConfigComment::BeforeVersion, -1);
            ParseVersionLine(line, &fileVersion);
            break;
        case ConfigLineKind::Header: {
            const int section = config.FindSection(FirstConfigToken(line));
            // Comments above a blank line close the section above; those below it belong to
            // the header.
            if (commentsAboveBlank > 0 && currentSection >= 0) {
                QStringList below = pending.mid(commentsAboveBlank);
                pending.resize(commentsAboveBlank);
                Attach(ConfigComment::SectionEnd, currentSection);
                pending = std::move(below);
            }
            Attach(ConfigComment::BeforeHeader, section);
            currentSection = section;
            break;
        }
        case ConfigLineKind::Entry:
            if (currentSection < 0) {
                Drop(DroppedConfigLine::BeforeAnyHeader);
                break;
            }
            if (!ParseEntryViews(line, name, value)) {
                Drop(DroppedConfigLine::OnlyQuotes);
                break;
            }
            if (!pending.isEmpty())
                Attach(ConfigComment::BeforeEntry, currentSection, name->toString());
            if (currentSection == SectionProfile)
                return true;
            config.AppendEntry(currentSection, name->toString(), value->toString());
            break;
        }
        return false;
    }

    // After the last line: comments still waiting end the section they are in.
    void Finish()
    {
        Attach(currentSection < 0 ? ConfigComment::BeforeVersion : ConfigComment::SectionEnd,
               currentSection);
    }

    // The format version found, 0 when no version line had a number.
    int Version() const { return fileVersion; }

private:
    // Keeps the comment lines read since the last line that was not one, before or after the
    // place given.
    void Attach(ConfigComment::Place place, int section, const QString &entry = QString())
    {
        if (atStart) {
            atStart = false;
            const bool header =
                pending.size() >= ConfigHeaderCommentLines &&
                std::equal(ConfigHeaderComment, ConfigHeaderComment + ConfigHeaderCommentLines,
                           pending.cbegin(), [](const char *own, const QString &read) {
                               return read == QLatin1StringView(own);
                           });
            if (header)
                pending.remove(0, ConfigHeaderCommentLines);
        }
        commentsAboveBlank = 0;
        if (pending.isEmpty())
            return;
        config.comments.append({place, section, entry, std::move(pending)});
        pending.clear();
    }

    void Drop(DroppedConfigLine::Reason reason)
    {
        if (dropped)
            dropped->append({lineNumber, reason});
    }

    LauncherConfig &config;
    QList<DroppedConfigLine> *dropped;
    int currentSection = -1;
    int fileVersion = 0;
    qsizetype lineNumber = 0;
    QStringList pending;              // comment lines not yet kept with what they stand before
    qsizetype commentsAboveBlank = 0; // of those, the lines above the last blank line
    bool atStart = true;              // nothing but comments and blank lines read so far
};

// Reads every line of `text`; of each profile line only the name is made, its stored text is
// pointed to. Returns the format version found.
int ParseConfigSections(QStringView text, LauncherConfig &config, QStringList *profileNames,
                        QList<QStringView> *profileTexts, QList<DroppedConfigLine> *dropped)
{
    LineScanner scanner(config, dropped);
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0)
            end = text.size();
        QStringView name;
        QStringView value;
        if (scanner.Feed(text.sliced(pos, end - pos), &name, &value)) {
            profileNames->append(name.toString());
            profileTexts->append(value);
        }
        pos = end + 1;
    }
    scanner.Finish();
    return scanner.Version();
}

} // namespace

namespace {
// What every scan ends with: a "Default" entry in each empty option section, the [Profile]
// section left empty (the profiles are what it held), and a "Default" profile with an empty
// text when the file has none.
void FinishScan(ScannedConfigText &scanned, int version)
{
    scanned.version = version;
    scanned.config.EnsureDefaultEntries();
    scanned.config.sections[SectionProfile].entries.clear();
    if (scanned.profileNames.isEmpty()) {
        scanned.profileNames.append(QStringLiteral("Default"));
        scanned.profileTexts.append(QStringView());
    }
}
} // namespace

int ParseConfigText(QStringView text, LauncherConfig &config, QList<DroppedConfigLine> *dropped)
{
    ScannedConfigText scanned;
    FinishScan(scanned, ParseConfigSections(text, scanned.config, &scanned.profileNames,
                                            &scanned.profileTexts, dropped));
    QList<LauncherProfile> profiles = ReadProfiles(scanned);
    config = std::move(scanned.config);
    config.profiles = std::move(profiles);
    return scanned.version;
}

ScannedConfigText ScanConfigText(const QString &text, QList<DroppedConfigLine> *dropped)
{
    ScannedConfigText scanned;
    // A shared copy: the views below point into the text it keeps.
    scanned.text = text;
    FinishScan(scanned, ParseConfigSections(scanned.text, scanned.config, &scanned.profileNames,
                                            &scanned.profileTexts, dropped));
    return scanned;
}

std::optional<ScannedConfigText> ScanConfigUtf8(const QByteArray &bytes,
                                                QList<DroppedConfigLine> *dropped)
{
    QByteArrayView rest(bytes);
    // The marks of UTF-16 and UTF-32 begin so.
    if (rest.startsWith("\xff\xfe") || rest.startsWith("\xfe\xff") ||
        rest.startsWith(QByteArrayView("\x00\x00\xfe\xff", 4)))
        return std::nullopt;
    if (rest.startsWith("\xef\xbb\xbf"))
        rest = rest.sliced(3);

    ScannedConfigText scanned;
    // The profiles' texts are copied side by side into a buffer of their own, which the views
    // below point into: it never grows past the file's size, so it is never moved, and the
    // rest of the file need not be kept while the profiles are read.
    scanned.bytes.reserve(bytes.size());
    LineScanner scanner(scanned.config, dropped);
    QString line;
    qsizetype pos = 0;
    while (pos < rest.size()) {
        qsizetype end = rest.indexOf('\n', pos);
        if (end < 0)
            end = rest.size();
        const QByteArrayView lineBytes = rest.sliced(pos, end - pos);
        pos = end + 1;
        const bool ascii = IsAscii(lineBytes);
        if (ascii) {
            WidenAscii(lineBytes, line);
        } else {
            // Marks are kept as characters: the scanner skips exactly one at a line's start.
            QStringDecoder utf8(QStringConverter::Utf8,
                                QStringConverter::Flag::Stateless |
                                    QStringConverter::Flag::ConvertInitialBom);
            line = utf8.decode(lineBytes);
            if (utf8.hasError())
                return std::nullopt;
        }
        QStringView name;
        QStringView value;
        if (!scanner.Feed(line, &name, &value))
            continue;
        scanned.profileNames.append(name.toString());
        if (!ascii)
            scanned.ownTexts.insert(scanned.profileBytes.size(), value.toString());
        QByteArrayView kept;
        if (ascii && !value.isEmpty()) {
            const qsizetype at = scanned.bytes.size();
            scanned.bytes.append(lineBytes.sliced(value.data() - line.constData(), value.size()));
            kept = QByteArrayView(scanned.bytes.constData() + at, value.size());
        }
        scanned.profileBytes.append(kept);
    }
    scanner.Finish();
    FinishScan(scanned, scanner.Version());
    return scanned;
}

LauncherProfile ReadProfile(const ScannedConfigText &scanned, qsizetype index, QString &buffer)
{
    const QString &name = scanned.profileNames.at(index);
    if (scanned.profileBytes.isEmpty())
        return ParseProfileText(name, scanned.profileTexts.at(index), scanned.config.sections);
    const auto own = scanned.ownTexts.constFind(index);
    if (own != scanned.ownTexts.cend())
        return ParseProfileText(name, *own, scanned.config.sections);
    WidenAscii(scanned.profileBytes.at(index), buffer);
    return ParseProfileText(name, buffer, scanned.config.sections);
}

QList<LauncherProfile> ReadProfiles(const ScannedConfigText &scanned)
{
    QList<LauncherProfile> profiles;
    profiles.reserve(scanned.profileNames.size());
    QString buffer;
    for (qsizetype i = 0; i < scanned.profileNames.size(); ++i)
        profiles.append(ReadProfile(scanned, i, buffer));
    return profiles;
}
