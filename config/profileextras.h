#pragma once

#include "launcherconfig.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

// What a profile carries beyond Launcher.ini's four fields: tags, a note and the environment
// its emulator is given. Launcher.ini keeps its format (other tools read it); these live in a
// file of their own beside it, "Launcher.extras.json", by profile name.
struct ProfileExtras
{
    QStringList tags;
    QString notes;
    // NAME=value pairs, in the order the user gave them.
    QList<std::pair<QString, QString>> environment;
    // Commands for /bin/sh -c: one run before the emulator starts (a failure, or taking longer
    // than `hookTimeout` seconds, stops the launch) and one after it ends.
    QString beforeLaunch;
    QString afterExit;
    int hookTimeout = DefaultHookTimeout;

    static constexpr int DefaultHookTimeout = 60;
    static constexpr int MaxHookTimeout = 24 * 60 * 60;

    bool HasHooks() const { return !beforeLaunch.isEmpty() || !afterExit.isEmpty(); }
    bool IsEmpty() const
    {
        return tags.isEmpty() && notes.isEmpty() && environment.isEmpty() && !HasHooks();
    }
    bool operator==(const ProfileExtras &other) const
    {
        return tags == other.tags && notes == other.notes && environment == other.environment &&
               beforeLaunch == other.beforeLaunch && afterExit == other.afterExit &&
               hookTimeout == other.hookTimeout;
    }
    bool operator!=(const ProfileExtras &other) const { return !(*this == other); }
};

// By profile name.
using ExtrasMap = QMap<QString, ProfileExtras>;

// The side file beside `userConfig` (Launcher.ini).
QString ExtrasPath(const QString &userConfig);

// The side file as read: its profiles, or why it cannot be read. A file that cannot be read
// (damaged, or written by a newer launcher) is never replaced: `readable` is false then.
struct ExtrasFile
{
    ExtrasMap extras;
    bool readable = true;
    QString problem;
};
// The file's version; a newer one is left alone.
constexpr int ExtrasVersion = 1;
// Larger than this is no file the launcher wrote.
constexpr qint64 MaxExtrasBytes = qint64(64) << 20;
ExtrasFile ParseExtras(const QByteArray &bytes);
ExtrasFile ReadExtras(const QString &path);
QByteArray FormatExtras(const ExtrasMap &extras);
// Replaces the file in one step, as Launcher.ini is replaced; empty when it worked, else why
// not. `stillUnchanged`, asked right before the new file takes the old one's place, may refuse
// (another program wrote the file meanwhile): `*changed` is set then.
QString WriteExtras(const QString &path, const ExtrasMap &extras,
                    const std::function<bool()> &stillUnchanged = {}, bool *changed = nullptr);

// Three-way: per profile, what changed here since `base` wins over what the file has, and what
// changed in the file (another program, a hand edit) is taken where nothing changed here.
ExtrasMap MergeExtras(const ExtrasMap &base, const ExtrasMap &ours, const ExtrasMap &theirs);

// An exported file carries its profiles' extras in comment lines at its end, which every reader
// of Launcher.ini's format passes over: a line saying what they are, then "#velmora-extras "
// and the side file's JSON on one line. Nothing when none of `names` has any.
QStringList ExtrasCommentLines(const ExtrasMap &extras, const QStringList &names);
// What such lines carry (the last readable one), by profile name.
ExtrasMap ExtrasFromComments(const QList<ConfigComment> &comments);
// What a profile has after an import whose file carries `carried` for it: the carried tags
// and note, as it takes the file's settings; the carried environment and hooks only
// `withCommands` (another person's commands, taken once the user has seen them), else its own.
ProfileExtras TakenOnImport(ProfileExtras here, const ProfileExtras &carried, bool withCommands);
// Whether the extras carry anything that runs or reaches a process: environment or hooks.
bool CarriesCommands(const ProfileExtras &extras);

// Tags as typed: separated by commas (or new lines), blanks around each dropped, each once
// (the first spelling kept; compared ignoring case).
QStringList ParseTags(const QString &typed);
// The environment as typed, one NAME=value per line (blank lines and lines starting with "#"
// skipped); nothing, with the line that is wrong in `problem`, when a name is no shell name.
std::optional<QList<std::pair<QString, QString>>> ParseEnvironment(const QString &typed,
                                                                   QString *problem);
QString EnvironmentText(const QList<std::pair<QString, QString>> &environment);
// NAME=value, as a process's environment lists them.
QStringList EnvironmentList(const ProfileExtras &extras);
// How a profile meets a filter text with its extras: `byName` is how it meets it without
// them. "tag:BEGIN" finds only the profiles with a tag that begins with BEGIN; other text finds
// a profile by its name and settings as before, or by a tag or a note that contains it.
ProfileMatch MatchWithExtras(ProfileMatch byName, const ProfileExtras &extras, QStringView text);
// Whether `extras` carry `tag` (ignoring case).
bool HasTag(const ProfileExtras &extras, const QString &tag);
// Every tag in use, sorted ignoring case, each once.
QStringList AllTags(const ExtrasMap &extras);
