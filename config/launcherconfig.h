#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Positions of the four sections in LauncherConfig::sections, whatever their order in the file.
enum ConfigSectionId
{
    SectionProfile = 0,
    SectionResolution = 1,
    SectionPixelDensity = 2,
    SectionInput = 3,
};

// Sections 1 to 3 are the option sections; walks over them always go 1, 2, 3.
constexpr int OptionSectionCount = 3;
constexpr int SectionCount = OptionSectionCount + 1;

struct ConfigEntry
{
    QString name;
    // In an option section the command-line fragment, carrying its own leading blank;
    // in [Profile] the profile's stored text.
    QString value;

    bool operator==(const ConfigEntry &other) const
    {
        return name == other.name && value == other.value;
    }
};

struct ConfigSection
{
    QString header; // the header line, brackets included
    QList<ConfigEntry> entries;
};

struct LauncherProfile
{
    QString name;
    QString arguments;      // exactly as entered; trimmed only when the stored text is composed
    QList<int> optionIndex; // one position per option section once the profile is in a config

    bool operator==(const LauncherProfile &other) const
    {
        return name == other.name && arguments == other.arguments &&
               optionIndex == other.optionIndex;
    }
};

// Comment lines a user wrote into Launcher.ini, kept with what they stood before so that
// every save writes them back there: before the version line, a section's header or an entry
// (a profile or an option entry, by its name), or at the end of a section.
struct ConfigComment
{
    enum Place
    {
        BeforeVersion,
        BeforeHeader,
        BeforeEntry,
        SectionEnd,
    };
    Place place = BeforeVersion;
    int section = -1;  // the section's position, but for BeforeVersion
    QString entry;     // BeforeEntry: the entry's name
    QStringList lines; // whole lines, '#' included

    bool operator==(const ConfigComment &other) const
    {
        return place == other.place && section == other.section && entry == other.entry &&
               lines == other.lines;
    }
};

class LauncherConfig
{
public:
    QList<LauncherProfile> profiles;
    QList<ConfigSection> sections;
    QList<ConfigComment> comments;

    void ResetSections();
    // Returns -1 when no section has exactly this header.
    int FindSection(QStringView header) const;
    void AppendEntry(int section, const QString &name, const QString &value);
    void EnsureDefaultEntries();
    QStringList ProfileNames() const;
    QStringList EntryNames(int section) const;
    QString ProfileValueText(const LauncherProfile &profile) const;
    // Returns -1 when no profile has exactly this name.
    int FindProfile(const QString &name) const;
    // Name -> row of the first profile of each name, as FindProfile finds it: for work on many
    // profiles at once.
    QHash<QString, int> ProfileRows() const;
    void AppendProfile(const LauncherProfile &profile);
    void UpdateProfile(int profile, int resolution, int pixelDensity, int input,
                       const QString &arguments);
    void RemoveProfile(int profile);
    // Changes only the name; comments before the profile stay with it.
    void RenameProfile(int profile, const QString &name);
    QStringList ProfilesUsingOption(int section, int entry) const;
    void RemoveOption(int section, int entry);
    // Puts `entry` at position `index` of an option section; profiles keep the entries they
    // chose.
    void InsertEntry(int section, int index, const ConfigEntry &entry);

    // Whether `section` is a valid position and `entry` lies inside that section.
    bool HasEntry(int section, int entry) const;
};

// The header and position pairs of a stored profile text, "[Resolution] 2 [PixelDensity] 0 ...".
// Shared by the model and the main window, which composes the same text from its widgets.
QString OptionValueText(const QList<ConfigSection> &sections, const QList<int> &optionIndex,
                        const QString &arguments);

// Whether the text holds a line break: LF, CR, or the Unicode line or paragraph separator.
// Such a character would end a line of Launcher.ini in the middle of a name or arguments.
bool ContainsLineBreak(QStringView text);

// The text with each line break (CR LF counting as one) turned into a blank, as a terminal's
// command line takes pasted lines.
QString LineBreaksToBlanks(QStringView text);

// The first word of `arguments` that is the header of an option section ("[Input]"), or an
// empty string. Stored, such a word would be read back as an option position: arguments that
// hold one cannot be kept in Launcher.ini.
QString OptionHeaderWord(const QList<ConfigSection> &sections, QStringView arguments);

// Longer texts than this are never laid out whole: no window can show them, and laying out
// megabytes of text takes seconds.
constexpr qsizetype MaxShownLength = 65536;

// `text` when it is at most `limit` characters long, else its beginning and "…".
QString ShownText(const QString &text, qsizetype limit = MaxShownLength);
// A name as ShownText shows it, its control characters (a TAB, an escape) shown as the symbols
// that stand for them ("␉", "␛"): a name is shown on one line, and such a character would
// show as nothing or move the text.
QString ShownName(const QString &name, qsizetype limit = MaxShownLength);
// `texts`, each cut as ShownText cuts it; a list with nothing to cut stays shared.
QStringList ShownTexts(QStringList texts, qsizetype limit = MaxShownLength);
// The same for names, as ShownName shows them.
QStringList ShownNames(QStringList names, qsizetype limit = MaxShownLength);
// Whether the text holds a control character (a TAB, an escape, DEL...); line breaks are ones.
bool ContainsControlCharacter(QStringView text);

// How a profile meets the filter above the list, ignoring case: by its name, else by the
// name or command-line fragment of an option it chose, or by its arguments. An empty text
// meets every name.
enum class ProfileMatch
{
    None,
    Name,
    Settings,
};
ProfileMatch MatchProfile(const LauncherConfig &config, const LauncherProfile &profile,
                          QStringView text);

// "[PixelDensity]" gives "Pixel Density", or "pixel density" with `lowerCase`. The text is the
// header's own; the window translates it for display.
QString SectionLabel(const QString &header, bool lowerCase);
