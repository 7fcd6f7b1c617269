#pragma once

#include <QHash>

#include <functional>
#include <optional>

#include "launcherconfig.h"

#include <QByteArray>
#include <QByteArrayView>
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

// What a line is, tested in the format's order. `config` supplies the section headers.
ConfigLineKind ClassifyConfigLine(QStringView line, const LauncherConfig &config);

// The number of a "$VERSION" line: the first later token that is a whole signed decimal
// integer. Returns false when the line has none.
bool ParseVersionLine(QStringView line, int *version);

// Cuts an entry line into name and value. Returns false when the line yields no entry
// (nothing but double quotes).
bool ParseEntryLine(QStringView line, QString *name, QString *value);

// Turns a stored profile text back into a profile named `name` with three option positions.
LauncherProfile ParseProfileText(const QString &name, QStringView text,
                                 const QList<ConfigSection> &sections);

// The text of a Launcher.ini: UTF-16 or UTF-32 when the file begins with their byte-order mark;
// otherwise each line (a UTF-8 mark skipped) as UTF-8 when it is valid UTF-8, and in the
// Windows code page 1252, which old Windows launchers wrote, when it is not.
QString DecodeConfigText(const QByteArray &bytes);

// A line that the reader drops, and why; numbered from 1.
struct DroppedConfigLine
{
    enum Reason
    {
        BeforeAnyHeader, // an entry before the first section header
        OnlyQuotes,      // nothing but double quotes
    };
    qsizetype line = 0;
    Reason reason = BeforeAnyHeader;
};

// Reads a whole file's text into `config` as the launcher loads it: the option sections, a
// "Default" entry in every empty one, and one profile per [Profile] entry (a "Default" profile
// when there is none; the [Profile] section itself is left empty: the writer writes it from the
// profiles). Returns the version found (0 when no version line has a number); the caller
// decides whether it is supported. Lines that yield nothing are listed in `dropped` when it is
// given.
int ParseConfigText(QStringView text, LauncherConfig &config,
                    QList<DroppedConfigLine> *dropped = nullptr);

// ParseConfigText in two steps, so that a window can be built from the names while the rest
// of each profile is read on another thread: ScanConfigText reads the option sections and the
// profiles' names; ReadProfiles, which only reads what the scan holds, makes the profiles.
struct ScannedConfigText
{
    int version = 0;
    LauncherConfig config; // the option sections, complete; no profiles
    QStringList profileNames;
    // Each profile's stored text, in file order: parts of `text`; or, scanned from UTF-8,
    // ASCII in `bytes` (which holds only these) and, for a line with other characters, a string
    // of its own in `ownTexts` (by position).
    QString text;
    QList<QStringView> profileTexts;
    QByteArray bytes;
    QList<QByteArrayView> profileBytes;
    QHash<qsizetype, QString> ownTexts;
};
ScannedConfigText ScanConfigText(const QString &text, QList<DroppedConfigLine> *dropped = nullptr);
// The same straight from a file's bytes when they are UTF-8 throughout (the form the launcher
// writes), without decoding the whole text: names are decoded as they are met, the rest of a
// profile when it is read. Nothing when the bytes are anything else (then DecodeConfigText and
// ScanConfigText read them); the result is always what those two would give.
std::optional<ScannedConfigText> ScanConfigUtf8(const QByteArray &bytes,
                                                QList<DroppedConfigLine> *dropped = nullptr);
QList<LauncherProfile> ReadProfiles(const ScannedConfigText &scanned);
// The profile at `index` (below profileNames.size(), which is at least 1: a file without
// profiles has the "Default" one); `buffer` is scratch space a caller may keep from one call
// to the next.
LauncherProfile ReadProfile(const ScannedConfigText &scanned, qsizetype index, QString &buffer);

// The model that stands for a file whose contents are not used (an out-of-date default file):
// the four sections with only their "Default" entries, and the one profile "Default".
LauncherConfig DefaultsOnlyConfig();

// The whole file as written, lines ended by '\n'. The [Profile] section is written from
// `profiles`, the authoritative copy, whatever the section held when it was read.
QString FormatConfigText(const LauncherConfig &config);
// The same, as the UTF-8 bytes of the file.
QByteArray FormatConfigUtf8(const LauncherConfig &config);
// The same bytes handed to `sink` a piece (about 256 KiB) at a time, so that a writer never
// holds the whole file; stops with false as soon as `sink` returns false.
bool FormatConfigUtf8(const LauncherConfig &config,
                      const std::function<bool(QByteArrayView)> &sink);
