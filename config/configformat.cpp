#include "configformat.h"

#include <QFileInfo>
#include <QStringBuilder>
#include <QStringDecoder>
#include <QVarLengthArray>

#include <iterator>
#include <limits>

namespace {

const QChar quote(u'"');

// The comment the writer puts at the top of every file. Read back, it is the file's own and no
// user's: it is not kept as a comment of the file.
const char *const headerComment[] = {
    "# A configuration out for the Velmora Mobile Launcher.",
    "# It makes it easy to start multiple instances with various command line",
    "# options.",
    "#",
    "# Note that the arguments are just concatenated together, so start new",
    "# arguments with a space in the string to avoid errors.",
};
constexpr int HeaderCommentLines = int(std::size(headerComment));

bool IsSeparator(QChar c)
{
    return c == u' ' || c == u',' || c == u'=' || c == u'\t';
}

// The text before the first run of separators; empty when the line begins with one.
QStringView FirstToken(QStringView line)
{
    qsizetype end = 0;
    while (end < line.size() && !IsSeparator(line.at(end)))
        ++end;
    return line.first(end);
}

// The written form "name"<TAB>"value", recognised whole when the value itself holds double
// quotes: everything between the third quote and the last one is the value.
//
// A line of this shape whose value holds no double quote cuts at its quotes into the same name
// and value: so it is taken this way whether or not the value holds one, without counting them.
bool ParseQuotedValueLine(QStringView line, QStringView *name, QStringView *value)
{
    if (!line.startsWith(quote) || !line.endsWith(quote))
        return false;
    const qsizetype nameEnd = line.indexOf(quote, 1);
    if (nameEnd <= 1 || nameEnd + 3 >= line.size() || line.at(nameEnd + 1) != u'\t' ||
        line.at(nameEnd + 2) != quote)
        return false;
    *name = line.sliced(1, nameEnd - 1);
    *value = line.sliced(nameEnd + 3, line.size() - nameEnd - 4);
    return true;
}

// What QString::toInt(&ok, 10) accepts from a token without blanks: an optional sign and ASCII
// digits that fit an int. Profile texts hold three numbers each, so this runs often.
bool ParseDecimal(QStringView token, int *value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < token.size() && (token.at(i) == u'+' || token.at(i) == u'-')) {
        negative = token.at(i) == u'-';
        ++i;
    }
    if (i == token.size())
        return false;
    qint64 result = 0;
    for (; i < token.size(); ++i) {
        const char16_t c = token.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        result = result * 10 + (c - u'0');
        if (result > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    result = negative ? -result : result;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return false;
    *value = int(result);
    return true;
}

} // namespace

bool IsSupportedConfigVersion(int version)
{
    return version >= OldestConfigFormatVersion && version <= ConfigFormatVersion;
}

ConfigLineKind ClassifyConfigLine(QStringView line, const LauncherConfig &config)
{
    if (line.isEmpty())
        return ConfigLineKind::Empty;
    const QStringView first = FirstToken(line);
    if (first.startsWith(u'#'))
        return ConfigLineKind::Comment;
    if (first == u"$VERSION")
        return ConfigLineKind::Version;
    if (config.FindSection(first) >= 0)
        return ConfigLineKind::Header;
    return ConfigLineKind::Entry;
}

bool ParseVersionLine(QStringView line, int *version)
{
    qsizetype pos = FirstToken(line).size();
    while (pos < line.size()) {
        while (pos < line.size() && IsSeparator(line.at(pos)))
            ++pos;
        const qsizetype start = pos;
        while (pos < line.size() && !IsSeparator(line.at(pos)))
            ++pos;
        if (pos == start)
            continue;
        // The whole token or nothing, blanks around it trimmed as a conversion of a string
        // trims them (a CR of CR CR LF line ends, a form feed); QString::toInt would also stop
        // at a NUL and call the rest done, which is no number.
        int number = 0;
        if (ParseDecimal(line.sliced(start, pos - start).trimmed(), &number)) {
            *version = number;
            return true;
        }
    }
    return false;
}

namespace {
// ParseEntryLine without copying: the name and value as parts of the line.
bool ParseEntryViews(QStringView line, QStringView *name, QStringView *value)
{
    if (ParseQuotedValueLine(line, name, value))
        return true;

    // Cut at every double quote and drop the empty pieces: name, separator, value.
    QStringView pieces[3];
    int found = 0;
    qsizetype pos = 0;
    while (found < 3 && pos <= line.size()) {
        qsizetype end = line.indexOf(quote, pos);
        if (end < 0)
            end = line.size();
        if (end > pos)
            pieces[found++] = line.sliced(pos, end - pos);
        pos = end + 1;
    }
    if (found == 0)
        return false;
    // Names are read as they are written: "C:\\temp" stays what the user typed.
    *name = pieces[0];
    *value = found == 3 ? pieces[2] : QStringView();
    return true;
}
} // namespace

bool ParseEntryLine(QStringView line, QString *name, QString *value)
{
    QStringView nameView, valueView;
    if (!ParseEntryViews(line, &nameView, &valueView))
        return false;
    *name = nameView.toString();
    *value = valueView.toString();
    return true;
}

LauncherProfile ParseProfileText(const QString &name, QStringView text,
                                 const QList<ConfigSection> &sections)
{
    LauncherProfile profile;
    profile.name = name;
    profile.optionIndex = QList<int>(OptionSectionCount, 0);

    // Tokens are cut at the same white space that QString::trimmed removes, so that a stored
    // text and the trimmed arguments it came from agree.
    qsizetype pos = 0;
    const auto nextToken = [&text](qsizetype &from) {
        while (from < text.size() && text.at(from).isSpace())
            ++from;
        const qsizetype start = from;
        while (from < text.size() && !text.at(from).isSpace())
            ++from;
        return text.sliced(start, from - start);
    };

    QVarLengthArray<QStringView, 16> arguments;
    qsizetype argumentsLength = 0;
    for (QStringView token = nextToken(pos); !token.isEmpty(); token = nextToken(pos)) {
        int section = -1;
        if (token.startsWith(u'[')) {
            for (int s = 1; s <= OptionSectionCount && s < sections.size(); ++s) {
                if (token == sections.at(s).header) {
                    section = s;
                    break;
                }
            }
        }
        if (section < 0) {
            arguments.append(token);
            argumentsLength += 1 + token.size();
            continue;
        }
        // A header takes the number after it; anything else after it is looked at on its own.
        qsizetype after = pos;
        int number = 0;
        if (ParseDecimal(nextToken(after), &number)) {
            profile.optionIndex[section - 1] = number;
            pos = after;
        }
    }

    profile.arguments.reserve(argumentsLength);
    for (QStringView argument : arguments) {
        profile.arguments += QLatin1Char(' ');
        profile.arguments += argument;
    }
    return profile;
}

namespace {

QString DecodeWindows1252(QByteArrayView bytes)
{
    // Code page 1252 of old Windows launchers. 0x80 to 0x9F; the five bytes the code page leaves
    // undefined keep their own value, as Windows itself maps them.
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(high[byte - 0x80]) : QChar(byte);
    }
    return text;
}

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
            const int section = config.FindSection(FirstToken(line));
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
                pending.size() >= HeaderCommentLines &&
                std::equal(headerComment, headerComment + HeaderCommentLines, pending.cbegin(),
                           [](const char *own, const QString &read) {
                               return read == QLatin1StringView(own);
                           });
            if (header)
                pending.remove(0, HeaderCommentLines);
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

bool IsAscii(QByteArrayView bytes)
{
    // Without an early way out, so that the compiler can look at many bytes at once.
    unsigned char any = 0;
    for (const char c : bytes)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

// ASCII bytes as the characters they are, into `out`, whose room is used again.
void WidenAscii(QByteArrayView bytes, QString &out)
{
    out = QLatin1StringView(bytes);
}

} // namespace

QString DecodeConfigText(const QByteArray &bytes)
{
    struct Mark
    {
        QByteArrayView bytes;
        QStringConverter::Encoding encoding;
    };
    // UTF-32 LE first: its mark begins with the UTF-16 LE one.
    static const Mark marks[] = {
        {QByteArrayView("\xff\xfe\x00\x00", 4), QStringConverter::Utf32LE},
        {QByteArrayView("\x00\x00\xfe\xff", 4), QStringConverter::Utf32BE},
        {QByteArrayView("\xff\xfe", 2), QStringConverter::Utf16LE},
        {QByteArrayView("\xfe\xff", 2), QStringConverter::Utf16BE},
    };
    for (const Mark &mark : marks) {
        if (bytes.startsWith(mark.bytes)) {
            // The encoding's own mark is cut off above; a mark after it belongs to the first
            // line, which skips exactly one, as every line does.
            QStringDecoder decoder(mark.encoding, QStringConverter::Flag::Stateless |
                                                      QStringConverter::Flag::ConvertInitialBom);
            return decoder.decode(QByteArrayView(bytes).sliced(mark.bytes.size()));
        }
    }

    QByteArrayView rest(bytes);
    if (rest.startsWith("\xef\xbb\xbf"))
        rest = rest.sliced(3);
    // Stateless, so that a sequence cut off at the end counts as invalid.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(rest);
    if (!utf8.hasError())
        return text;

    // A file that an old Windows launcher wrote, perhaps with lines added in UTF-8 since: each
    // line is read in whichever of the two it is valid in.
    text.clear();
    text.reserve(rest.size());
    while (!rest.isEmpty()) {
        const qsizetype newline = rest.indexOf('\n');
        const qsizetype length = newline < 0 ? rest.size() : newline + 1;
        QByteArrayView line = rest.first(length);
        rest = rest.sliced(length);
        QStringDecoder lineDecoder(QStringConverter::Utf8,
                                   QStringConverter::Flag::Stateless |
                                       QStringConverter::Flag::ConvertInitialBom);
        const QString decoded = lineDecoder.decode(line);
        if (!lineDecoder.hasError()) {
            text += decoded;
            continue;
        }
        // A mark that starts a line of the old encoding is still a mark: the line skips it as
        // it would in a UTF-8 line.
        if (line.startsWith("\xef\xbb\xbf")) {
            text += QChar::ByteOrderMark;
            line = line.sliced(3);
        }
        text += DecodeWindows1252(line);
    }
    return text;
}

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

namespace {

// Appends text as UTF-8. Configuration text is nearly all ASCII, which is copied byte for byte;
// only a piece holding anything else goes through the converter.
void AppendUtf8(QByteArray &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= 0x80) {
            out += text.sliced(i).toUtf8();
            return;
        }
        out += char(c);
    }
}

} // namespace

LauncherConfig DefaultsOnlyConfig()
{
    LauncherConfig config;
    ParseConfigText(QStringView(), config);
    return config;
}

bool FormatConfigUtf8(const LauncherConfig &config, const std::function<bool(QByteArrayView)> &sink)
{
    // Written at every change, so straight into the bytes that go to the disk: no text of the
    // whole file in UTF-16 first, and no more than a piece of it at a time.
    constexpr qsizetype Piece = 256 * 1024;
    QByteArray out;
    out.reserve(Piece + 4096);
    const auto flushIfFull = [&out, &sink] {
        if (out.size() < Piece)
            return true;
        const bool taken = sink(out);
        out.clear();
        out.reserve(Piece + 4096);
        return taken;
    };
    const auto appendEntry = [&out](QStringView name, QStringView value) {
        out += '"';
        AppendUtf8(out, name);
        out += "\"\t\"";
        AppendUtf8(out, value);
        out += "\"\n";
    };

    // A user's comments are looked up only when there are any: a file without them is written
    // exactly as it always was.
    const QList<ConfigComment> &comments = config.comments;
    const auto appendLines = [&out](const ConfigComment &comment) {
        for (const QString &line : comment.lines) {
            AppendUtf8(out, line);
            out += '\n';
        }
    };
    const auto appendComments = [&](ConfigComment::Place place, int section) {
        for (const ConfigComment &comment : comments) {
            if (comment.place == place &&
                (place == ConfigComment::BeforeVersion || comment.section == section))
                appendLines(comment);
        }
    };
    // The comments before an entry go before the first entry of their name; those whose entry
    // is gone (a profile removed or renamed outside the launcher) end the section, and find it
    // again should it come back.
    QHash<QString, QList<const ConfigComment *>> beforeEntry;
    const auto appendCommentsBefore = [&](const QString &name) {
        if (beforeEntry.isEmpty())
            return;
        const auto found = beforeEntry.constFind(name);
        if (found == beforeEntry.cend())
            return;
        for (const ConfigComment *comment : *found)
            appendLines(*comment);
        beforeEntry.erase(found);
    };

    for (const char *line : headerComment) {
        out += line;
        out += '\n';
    }
    out += '\n';
    appendComments(ConfigComment::BeforeVersion, -1);
    out += "$VERSION\t";
    out += QByteArray::number(ConfigFormatVersion);
    out += "\n\n";
    for (int s = 0; s < config.sections.size(); ++s) {
        const ConfigSection &section = config.sections.at(s);
        if (!comments.isEmpty()) {
            appendComments(ConfigComment::BeforeHeader, s);
            beforeEntry.clear();
            for (const ConfigComment &comment : comments) {
                if (comment.place == ConfigComment::BeforeEntry && comment.section == s)
                    beforeEntry[comment.entry].append(&comment);
            }
        }
        AppendUtf8(out, section.header);
        out += '\n';
        if (s == SectionProfile) {
            for (const LauncherProfile &profile : config.profiles) {
                appendCommentsBefore(profile.name);
                appendEntry(profile.name, config.ProfileValueText(profile));
                if (!flushIfFull())
                    return false;
            }
        } else {
            for (const ConfigEntry &entry : section.entries) {
                appendCommentsBefore(entry.name);
                appendEntry(entry.name, entry.value);
                if (!flushIfFull())
                    return false;
            }
        }
        if (!comments.isEmpty()) {
            // In the order they were read.
            for (const ConfigComment &comment : comments) {
                if (comment.place == ConfigComment::BeforeEntry && comment.section == s &&
                    beforeEntry.contains(comment.entry))
                    appendLines(comment);
            }
            appendComments(ConfigComment::SectionEnd, s);
        }
        out += '\n';
    }
    return out.isEmpty() || sink(out);
}

QByteArray FormatConfigUtf8(const LauncherConfig &config)
{
    qsizetype size = 512;
    for (const ConfigSection &section : config.sections) {
        size += section.header.size() + 2;
        if (&section != &config.sections.first()) {
            for (const ConfigEntry &entry : section.entries)
                size += entry.name.size() + entry.value.size() + 6;
        }
    }
    for (const LauncherProfile &profile : config.profiles)
        size += profile.name.size() + profile.arguments.size() + 64;
    QByteArray whole;
    whole.reserve(size);
    FormatConfigUtf8(config, [&whole](QByteArrayView piece) {
        whole += piece;
        return true;
    });
    return whole;
}

QString FormatConfigText(const LauncherConfig &config)
{
    return QString::fromUtf8(FormatConfigUtf8(config));
}

QString FreeOutdatedConfigPath(const QString &userFilePath, int version)
{
    // "Launcher.ini" loses its "ini", so the path ends in "Launcher.".
    const QString base =
        userFilePath.chopped(qMin<qsizetype>(3, userFilePath.size())) + QString::number(version);
    QString candidate = base + QLatin1String(".ini");
    for (int n = 1; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = base + QLatin1Char('.') + QString::number(n) + QLatin1String(".ini");
    return candidate;
}
