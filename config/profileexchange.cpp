#include "profileexchange.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

LauncherConfig ExportProfiles(const LauncherConfig &config, const QList<int> &rows)
{
    LauncherConfig out;
    out.ResetSections();
    // Old position -> new position, per option section; the first entry always goes along.
    QList<QHash<int, int>> moved(SectionCount);
    for (int s = 1; s < SectionCount && s < config.sections.size(); ++s) {
        const auto take = [&](int entry) {
            if (!config.HasEntry(s, entry) || moved[s].contains(entry))
                return;
            moved[s].insert(entry, int(out.sections.at(s).entries.size()));
            out.sections[s].entries.append(config.sections.at(s).entries.at(entry));
        };
        take(0);
        for (const int row : rows) {
            if (row >= 0 && row < config.profiles.size())
                take(config.profiles.at(row).optionIndex.value(s - 1, -1));
        }
    }
    for (const int row : rows) {
        if (row < 0 || row >= config.profiles.size())
            continue;
        LauncherProfile profile = config.profiles.at(row);
        profile.optionIndex.resize(OptionSectionCount);
        for (int s = 1; s < SectionCount; ++s)
            profile.optionIndex[s - 1] = moved[s].value(profile.optionIndex.at(s - 1), -1);
        out.AppendProfile(profile);
    }
    out.EnsureDefaultEntries();
    return out;
}

namespace {

// The target's position of the source's entry: the entry with the same value, or a new one.
int MergeEntry(LauncherConfig &target, int section, const ConfigEntry &entry, int *added)
{
    QList<ConfigEntry> &entries = target.sections[section].entries;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).value == entry.value)
            return i;
    }
    const auto taken = [&entries](const QString &name) {
        return std::any_of(entries.cbegin(), entries.cend(),
                           [&name](const ConfigEntry &e) { return e.name == name; });
    };
    QString name = entry.name;
    for (int n = 2; taken(name); ++n)
        name = QStringLiteral("%1 (%2)").arg(entry.name).arg(n);
    entries.append({name, entry.value});
    ++*added;
    return int(entries.size()) - 1;
}

} // namespace

bool IsStorableProfileName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('"')) && !ContainsLineBreak(name);
}

ImportReport ImportProfiles(LauncherConfig &target, const LauncherConfig &source,
                            const std::function<ImportChoice(const QString &name)> &decide)
{
    ImportReport report;
    // Entries are merged only for the profiles that come in, as they come.
    QList<QHash<int, int>> mapped(SectionCount);
    for (const LauncherProfile &incoming : source.profiles) {
        if (!IsStorableProfileName(incoming.name)) {
            report.refused.append(incoming.name);
            continue;
        }
        const int existing = target.FindProfile(incoming.name);
        if (existing >= 0 && decide(incoming.name) == ImportChoice::Skip) {
            report.skipped.append(incoming.name);
            continue;
        }
        LauncherProfile profile = incoming;
        profile.optionIndex.resize(OptionSectionCount);
        for (int s = 1; s < SectionCount; ++s) {
            const int position = incoming.optionIndex.value(s - 1, -1);
            if (!source.HasEntry(s, position)) {
                profile.optionIndex[s - 1] = -1;
                continue;
            }
            if (!mapped[s].contains(position))
                mapped[s].insert(position,
                                 MergeEntry(target, s, source.sections.at(s).entries.at(position),
                                            &report.entriesAdded));
            profile.optionIndex[s - 1] = mapped[s].value(position);
        }
        if (existing >= 0) {
            target.profiles[existing] = profile;
            report.replaced.append(profile.name);
        } else {
            target.AppendProfile(profile);
            report.added.append(profile.name);
        }
    }
    return report;
}

namespace {

int FindEntry(const LauncherConfig &config, int section, const ConfigEntry &entry)
{
    const QList<ConfigEntry> &entries = config.sections.at(section).entries;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i) == entry)
            return i;
    }
    return -1;
}

// Whether two profiles of two models store the same: the same arguments and the same entries.
bool SameProfile(const LauncherConfig &a, const LauncherProfile &p, const LauncherConfig &b,
                 const LauncherProfile &q)
{
    if (p.name != q.name || p.arguments != q.arguments)
        return false;
    for (int s = 1; s < SectionCount; ++s) {
        const int i = p.optionIndex.value(s - 1, -1);
        const int j = q.optionIndex.value(s - 1, -1);
        const bool hasI = a.HasEntry(s, i);
        if (hasI != b.HasEntry(s, j))
            return false;
        if (hasI && !(a.sections.at(s).entries.at(i) == b.sections.at(s).entries.at(j)))
            return false;
    }
    return true;
}

// `profile` of `from`, its positions taken to `target` (entries found by name and value, or
// appended).
LauncherProfile Resolve(const LauncherConfig &from, const LauncherProfile &profile,
                        LauncherConfig &target)
{
    LauncherProfile resolved = profile;
    resolved.optionIndex.resize(OptionSectionCount);
    for (int s = 1; s < SectionCount; ++s) {
        const int position = profile.optionIndex.value(s - 1, -1);
        if (!from.HasEntry(s, position)) {
            resolved.optionIndex[s - 1] = position;
            continue;
        }
        const ConfigEntry &entry = from.sections.at(s).entries.at(position);
        int found = FindEntry(target, s, entry);
        if (found < 0) {
            target.AppendEntry(s, entry.name, entry.value);
            found = int(target.sections.at(s).entries.size()) - 1;
        }
        resolved.optionIndex[s - 1] = found;
    }
    return resolved;
}

} // namespace

void ApplyModelChange(LauncherConfig &target, const LauncherConfig &before,
                      const LauncherConfig &after)
{
    if (target.sections.size() < SectionCount || before.sections.size() < SectionCount ||
        after.sections.size() < SectionCount)
        return;
    // Option entries the window removed or added.
    for (int s = 1; s < SectionCount; ++s) {
        for (const ConfigEntry &entry : before.sections.at(s).entries) {
            const int found = FindEntry(target, s, entry);
            if (FindEntry(after, s, entry) < 0 && found > 0)
                target.RemoveOption(s, found);
        }
        for (const ConfigEntry &entry : after.sections.at(s).entries) {
            if (FindEntry(before, s, entry) < 0 && FindEntry(target, s, entry) < 0)
                target.AppendEntry(s, entry.name, entry.value);
        }
    }
    // Renamed in the window: a name gone and a new one in its place storing the same. Renamed
    // in the target too, keeping what it stores there.
    QHash<QString, QString> renamed;
    for (int i = 0; i < after.profiles.size() && i < before.profiles.size(); ++i) {
        const LauncherProfile &now = after.profiles.at(i);
        const LauncherProfile &was = before.profiles.at(i);
        LauncherProfile sameName = now;
        sameName.name = was.name;
        if (now.name != was.name && before.FindProfile(now.name) < 0 &&
            after.FindProfile(was.name) < 0 && SameProfile(before, was, after, sameName)) {
            renamed.insert(was.name, now.name);
            const int there = target.FindProfile(was.name);
            if (there >= 0 && target.FindProfile(now.name) < 0)
                target.profiles[there].name = now.name;
        }
    }
    // Profiles the window removed.
    for (const LauncherProfile &profile : before.profiles) {
        const int found = target.FindProfile(profile.name);
        if (!renamed.contains(profile.name) && after.FindProfile(profile.name) < 0 && found > 0)
            target.RemoveProfile(found);
    }
    // The first profile: changed in place.
    if (!after.profiles.isEmpty() && !before.profiles.isEmpty() && !target.profiles.isEmpty() &&
        !SameProfile(before, before.profiles.first(), after, after.profiles.first()) &&
        (target.profiles.first().name == before.profiles.first().name ||
         target.profiles.first().name == after.profiles.first().name))
        target.profiles.first() = Resolve(after, after.profiles.first(), target);
    // The others: added, changed or moved, each placed after the profile it follows in the
    // window.
    for (int i = 1; i < after.profiles.size(); ++i) {
        const LauncherProfile &profile = after.profiles.at(i);
        const QString &previous = after.profiles.at(i - 1).name;
        const int was = before.FindProfile(renamed.key(profile.name, profile.name));
        if (was >= 0 && renamed.contains(before.profiles.at(was).name))
            continue; // renamed above, in place
        const bool changed =
            was < 0 || !SameProfile(before, before.profiles.at(was), after, profile);
        const bool moved = was >= 1 && before.profiles.at(was - 1).name != previous;
        if (!changed && !moved)
            continue;
        const int there = target.FindProfile(profile.name);
        if (there == 0)
            continue;
        const LauncherProfile placed =
            changed || there < 0 ? Resolve(after, profile, target) : target.profiles.at(there);
        if (there > 0 && !moved) {
            target.profiles[there] = placed;
            continue;
        }
        if (there > 0)
            target.RemoveProfile(there);
        // A profile the window added at its end goes to the end; others after the profile they
        // follow in the window.
        const int predecessor =
            was < 0 && i == after.profiles.size() - 1 ? -1 : target.FindProfile(previous);
        target.profiles.insert(predecessor >= 0 ? predecessor + 1 : target.profiles.size(), placed);
    }
}

ConfigSaveResult ExportProfilesToFile(const LauncherConfig &config, const QList<int> &rows,
                                      const QString &path, const QString &userConfigPath)
{
    const QFileInfo target(path);
    const QFileInfo user(userConfigPath);
    if (target.absoluteFilePath() == user.absoluteFilePath() ||
        (target.exists() && user.exists() &&
         target.canonicalFilePath() == user.canonicalFilePath())) {
        ConfigSaveResult refused;
        refused.reason = QCoreApplication::translate(
            "LauncherFile", "it is the launcher's own configuration, which is never exported over");
        return refused;
    }
    return SaveConfigFile(path, ExportProfiles(config, rows), false);
}
