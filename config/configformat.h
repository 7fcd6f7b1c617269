#pragma once

#include "launcherconfig.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// The Launcher.ini text format: classification of lines, the entry cut, the stored profile
// text and the written form. Everything here works on text and a model, so it runs without
// files or widgets.

constexpr int ConfigFormatVersion = 106;
constexpr int OldestConfigFormatVersion = 103;

bool IsSupportedConfigVersion(int version);

enum class ConfigLineKind
{
    Empty,
    Comment,
    Version,
    Header,
    Entry
};

// What a line is, tested in the format's order. `sections` supplies the headers.
ConfigLineKind ClassifyConfigLine(QStringView line, const QList<ConfigSection> &sections);

// The number of a "$VERSION" line: the first later token that is a whole signed decimal
// integer. Returns false when the line has none.
bool ParseVersionLine(QStringView line, int *version);

// Cuts an entry line into name and value. Returns false when the line yields no entry
// (nothing but double quotes).
bool ParseEntryLine(QStringView line, QString *name, QString *value);

// Turns a stored profile text back into a profile named `name` with three option positions.
LauncherProfile ParseProfileText(const QString &name, QStringView text,
                                 const QList<ConfigSection> &sections);

// Valid UTF-8 (a byte-order mark skipped) is read as UTF-8; anything else as Latin-1, so that
// files written in an old Windows code page keep their characters.
QString DecodeConfigText(const QByteArray &bytes);

// Resets the sections and reads every line of `text` into them. Returns the format version
// found, 0 when the text has no version line with a number.
int ParseConfigSections(QStringView text, LauncherConfig &config);

// Removes every entry from every section; the sections themselves stay.
void ClearSectionEntries(LauncherConfig &config);

// Appends one profile per [Profile] entry, each with three option positions.
void BuildProfiles(LauncherConfig &config);

// The whole file as written, lines ended by '\n'. Rebuilds the [Profile] section first.
QString FormatConfigText(LauncherConfig &config);

// Where an out-of-date user file is moved: Launcher.<version>.ini beside it, or, when that is
// taken, the first free Launcher.<version>.<n>.ini.
QString FreeOutdatedConfigPath(const QString &userFilePath, int version);
