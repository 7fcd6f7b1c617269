#include "launcherconfig.h"

#include <algorithm>
#include <charconv>

namespace {

const char *const sectionHeaders[SectionCount] = {"[Profile]", "[Resolution]", "[PixelDensity]",
                                                  "[Input]"};

bool IsLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool IsOptionSection(int section)
{
    return section >= 1 && section <= OptionSectionCount;
}

} // namespace

QString OptionValueText(const QList<ConfigSection> &sections, const QList<int> &optionIndex,
                        const QString &arguments)
{
    // Written once per profile at every save, so it avoids temporary strings.
    const QStringView trimmed = QStringView(arguments).trimmed();
    QString text;
    text.reserve(64 + trimmed.size());
    for (int s = 1; s <= OptionSectionCount && s < sections.size(); ++s) {
        const int index = s - 1 < optionIndex.size() ? optionIndex.at(s - 1) : 0;
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
        text += sections.at(s).header;
        text += QLatin1Char(' ');
        text += QLatin1String(digits, end - digits);
        text += QLatin1Char(' ');
    }
    text += trimmed;
    return text;
}

void LauncherConfig::ResetSections()
{
    sections.clear();
    sections.reserve(SectionCount);
    for (const char *header : sectionHeaders) {
        ConfigSection section;
        section.header = QString::fromLatin1(header);
        sections.append(section);
    }
}

int LauncherConfig::FindSection(QStringView header) const
{
    for (int i = 0; i < sections.size(); ++i) {
        if (sections.at(i).header == header)
            return i;
    }
    return -1;
}

void LauncherConfig::AppendEntry(int section, const QString &name, const QString &value)
{
    if (section < 0 || section >= sections.size())
        return;
    sections[section].entries.append({name, value});
}

void LauncherConfig::EnsureDefaultEntries()
{
    for (ConfigSection &section : sections) {
        if (section.entries.isEmpty())
            section.entries.append({QStringLiteral("Default"), QString()});
    }
}

QStringList LauncherConfig::ProfileNames() const
{
    QStringList names;
    names.reserve(profiles.size());
    for (const LauncherProfile &profile : profiles)
        names.append(profile.name);
    return names;
}

QStringList LauncherConfig::EntryNames(int section) const
{
    QStringList names;
    if (section < 0 || section >= sections.size())
        return names;
    const QList<ConfigEntry> &entries = sections.at(section).entries;
    names.reserve(entries.size());
    for (const ConfigEntry &entry : entries)
        names.append(entry.name);
    return names;
}

QString LauncherConfig::ProfileValueText(const LauncherProfile &profile) const
{
    return OptionValueText(sections, profile.optionIndex, profile.arguments);
}

int LauncherConfig::FindProfile(const QString &name) const
{
    for (int i = 0; i < profiles.size(); ++i) {
        if (profiles.at(i).name == name)
            return i;
    }
    return -1;
}

QHash<QString, int> LauncherConfig::ProfileRows() const
{
    QHash<QString, int> rows;
    rows.reserve(profiles.size());
    for (int i = 0; i < profiles.size(); ++i) {
        if (!rows.contains(profiles.at(i).name))
            rows.insert(profiles.at(i).name, i);
    }
    return rows;
}

void LauncherConfig::AppendProfile(const LauncherProfile &profile)
{
    profiles.append(profile);
}

void LauncherConfig::UpdateProfile(int profile, int resolution, int pixelDensity, int input,
                                   const QString &arguments)
{
    if (profile < 0 || profile >= profiles.size())
        return;
    LauncherProfile &p = profiles[profile];
    p.optionIndex = {resolution, pixelDensity, input};
    p.arguments = arguments;
}

void LauncherConfig::RemoveProfile(int profile)
{
    if (profile < 0 || profile >= profiles.size())
        return;
    profiles.removeAt(profile);
}

void LauncherConfig::RenameProfile(int profile, const QString &name)
{
    if (profile < 0 || profile >= profiles.size())
        return;
    QString &was = profiles[profile].name;
    for (ConfigComment &comment : comments) {
        if (comment.place == ConfigComment::BeforeEntry && comment.section == SectionProfile &&
            comment.entry == was)
            comment.entry = name;
    }
    was = name;
}

QStringList LauncherConfig::ProfilesUsingOption(int section, int entry) const
{
    QStringList names;
    if (!IsOptionSection(section))
        return names;
    for (const LauncherProfile &profile : profiles) {
        if (section - 1 < profile.optionIndex.size() &&
            profile.optionIndex.at(section - 1) == entry)
            names.append(profile.name);
    }
    return names;
}

void LauncherConfig::RemoveOption(int section, int entry)
{
    if (!IsOptionSection(section) || !HasEntry(section, entry))
        return;
    const QString value = sections.at(section).entries.at(entry).value;
    for (LauncherProfile &profile : profiles) {
        if (section - 1 >= profile.optionIndex.size())
            continue;
        int &index = profile.optionIndex[section - 1];
        if (index == entry) {
            // The profile keeps the removed option's effect as free text and falls back to the
            // section's first entry.
            index = 0;
            if (!profile.arguments.isEmpty())
                profile.arguments += QLatin1Char(' ');
            profile.arguments += value;
        } else if (index > entry) {
            --index;
        }
    }
    sections[section].entries.removeAt(entry);
}

void LauncherConfig::InsertEntry(int section, int index, const ConfigEntry &entry)
{
    if (!IsOptionSection(section) || section >= sections.size() || index < 0 ||
        index > sections.at(section).entries.size())
        return;
    for (LauncherProfile &profile : profiles) {
        if (section - 1 < profile.optionIndex.size() &&
            profile.optionIndex.at(section - 1) >= index)
            ++profile.optionIndex[section - 1];
    }
    sections[section].entries.insert(index, entry);
}

bool LauncherConfig::HasEntry(int section, int entry) const
{
    return section >= 0 && section < sections.size() && entry >= 0 &&
           entry < sections.at(section).entries.size();
}

bool ContainsLineBreak(QStringView text)
{
    for (const QChar c : text) {
        if (IsLineBreak(c))
            return true;
    }
    return false;
}

QString LineBreaksToBlanks(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!IsLineBreak(c)) {
            result += c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        result += QLatin1Char(' ');
    }
    return result;
}

QString OptionHeaderWord(const QList<ConfigSection> &sections, QStringView arguments)
{
    // Cut at the same white space as the stored text is when it is read.
    qsizetype pos = 0;
    while (pos < arguments.size()) {
        while (pos < arguments.size() && arguments.at(pos).isSpace())
            ++pos;
        const qsizetype start = pos;
        while (pos < arguments.size() && !arguments.at(pos).isSpace())
            ++pos;
        const QStringView word = arguments.sliced(start, pos - start);
        if (!word.startsWith(u'['))
            continue;
        for (int s = 1; s <= OptionSectionCount && s < sections.size(); ++s) {
            if (word == sections.at(s).header)
                return word.toString();
        }
    }
    return QString();
}

QString ShownText(const QString &text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    qsizetype cut = limit;
    // Never between the two halves of a character outside the basic plane.
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

bool ContainsControlCharacter(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString ShownName(const QString &name, qsizetype limit)
{
    if (!ContainsControlCharacter(name))
        return ShownText(name, limit);
    QString shown = name;
    for (QChar &c : shown) {
        if (c.category() != QChar::Other_Control)
            continue;
        const char16_t code = c.unicode();
        c = code < 0x20    ? QChar(char16_t(0x2400 + code))
            : code == 0x7f ? QChar(char16_t(0x2421))
                           : QChar(QChar::ReplacementCharacter);
    }
    return ShownText(shown, limit);
}

ProfileMatch MatchProfile(const LauncherConfig &config, const LauncherProfile &profile,
                          QStringView text)
{
    const auto has = [text](QStringView in) {
        return in.contains(text, Qt::CaseInsensitive);
    };
    if (has(profile.name))
        return ProfileMatch::Name;
    for (int s = 1; s <= OptionSectionCount && s < config.sections.size(); ++s) {
        const int index = profile.optionIndex.value(s - 1, -1);
        if (!config.HasEntry(s, index))
            continue;
        const ConfigEntry &entry = config.sections.at(s).entries.at(index);
        if (has(entry.name) || has(entry.value))
            return ProfileMatch::Settings;
    }
    return has(profile.arguments) ? ProfileMatch::Settings : ProfileMatch::None;
}

QString SectionLabel(const QString &header, bool lowerCase)
{
    QString label;
    bool afterLower = false;
    for (const QChar c : header) {
        if (c == u'[' || c == u']')
            continue;
        if (afterLower && c.category() == QChar::Letter_Uppercase)
            label += QLatin1Char(' ');
        afterLower = c.category() == QChar::Letter_Lowercase;
        label += (lowerCase && c.category() == QChar::Letter_Uppercase) ? c.toLower() : c;
    }
    return label;
}

QStringList ShownTexts(QStringList texts, qsizetype limit)
{
    // Looked at before anything is changed: a list with nothing to cut stays shared.
    const auto tooLong = [limit](const QString &text) {
        return text.size() > limit;
    };
    if (std::none_of(texts.cbegin(), texts.cend(), tooLong))
        return texts;
    for (QString &text : texts) {
        if (tooLong(text))
            text = ShownText(text, limit);
    }
    return texts;
}

QStringList ShownNames(QStringList names, qsizetype limit)
{
    const auto needsWork = [limit](const QString &name) {
        return name.size() > limit || ContainsControlCharacter(name);
    };
    if (std::none_of(names.cbegin(), names.cend(), needsWork))
        return names;
    for (QString &name : names) {
        if (needsWork(name))
            name = ShownName(name, limit);
    }
    return names;
}
