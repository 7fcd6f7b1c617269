#include "configformat.h"
#include "configformat_p.h"

#include <QVarLengthArray>

#include <limits>

// The line grammar of Launcher.ini: what a line is, the version line, the entry cut and the
// stored profile text.

const char *const ConfigHeaderComment[6] = {
    "# A configuration out for the Velmora Mobile Launcher.",
    "# It makes it easy to start multiple instances with various command line",
    "# options.",
    "#",
    "# Note that the arguments are just concatenated together, so start new",
    "# arguments with a space in the string to avoid errors.",
};

namespace {

const QChar quote(u'"');

bool IsSeparator(QChar c)
{
    return c == u' ' || c == u',' || c == u'=' || c == u'\t';
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

QStringView FirstConfigToken(QStringView line)
{
    qsizetype end = 0;
    while (end < line.size() && !IsSeparator(line.at(end)))
        ++end;
    return line.first(end);
}

bool IsSupportedConfigVersion(int version)
{
    return version >= OldestConfigFormatVersion && version <= ConfigFormatVersion;
}

ConfigLineKind ClassifyConfigLine(QStringView line, const LauncherConfig &config)
{
    if (line.isEmpty())
        return ConfigLineKind::Empty;
    const QStringView first = FirstConfigToken(line);
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
    qsizetype pos = FirstConfigToken(line).size();
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
