#include "profileexchange.h"

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
