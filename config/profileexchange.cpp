#include "profileexchange.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <functional>
#include <iterator>
#include <list>
#include <optional>
#include <vector>

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

// A section's entries by value and by name, kept up to date as entries are appended, so that
// merging a long file's entries costs one look-up each.
struct EntryIndex
{
    QHash<QString, int> byValue; // the first entry of each value
    QSet<QString> names;

    explicit EntryIndex(const QList<ConfigEntry> &entries)
    {
        for (int i = 0; i < entries.size(); ++i) {
            if (!byValue.contains(entries.at(i).value))
                byValue.insert(entries.at(i).value, i);
            names.insert(entries.at(i).name);
        }
    }
};

// The target's position of the source's entry: the entry with the same value, or a new one.
int MergeEntry(LauncherConfig &target, int section, EntryIndex &index, const ConfigEntry &entry,
               int *added)
{
    const auto found = index.byValue.constFind(entry.value);
    if (found != index.byValue.cend())
        return *found;
    QList<ConfigEntry> &entries = target.sections[section].entries;
    QString name = entry.name;
    for (int n = 2; index.names.contains(name); ++n)
        name = QStringLiteral("%1 (%2)").arg(entry.name).arg(n);
    entries.append({name, entry.value});
    const int position = int(entries.size()) - 1;
    index.byValue.insert(entry.value, position);
    index.names.insert(name);
    ++*added;
    return position;
}

} // namespace

bool IsStorableProfileName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('"')) && !ContainsLineBreak(name) &&
           !ContainsControlCharacter(name);
}

ImportReport ImportProfiles(LauncherConfig &target, const LauncherConfig &source,
                            const std::function<ImportChoice(const QString &name)> &decide)
{
    ImportReport report;
    // Entries are merged only for the profiles that come in, as they come.
    QList<QHash<int, int>> mapped(SectionCount);
    std::vector<std::optional<EntryIndex>> entryIndexes(SectionCount);
    QHash<QString, int> existingProfiles = target.ProfileRows();
    for (const LauncherProfile &incoming : source.profiles) {
        if (!IsStorableProfileName(incoming.name)) {
            report.refused.append(incoming.name);
            continue;
        }
        const int existing = existingProfiles.value(incoming.name, -1);
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
            if (!mapped[s].contains(position)) {
                if (!entryIndexes[s])
                    entryIndexes[s].emplace(target.sections.at(s).entries);
                mapped[s].insert(position, MergeEntry(target, s, *entryIndexes[s],
                                                      source.sections.at(s).entries.at(position),
                                                      &report.entriesAdded));
            }
            profile.optionIndex[s - 1] = mapped[s].value(position);
        }
        if (existing >= 0) {
            target.profiles[existing] = profile;
            report.replaced.append(profile.name);
        } else {
            existingProfiles.insert(profile.name, int(target.profiles.size()));
            target.AppendProfile(profile);
            report.added.append(profile.name);
        }
    }
    return report;
}

namespace {

// A section's entries by name and value: the first position of each, as a linear search finds
// it. Kept up to date as entries are appended.
class EntryPositions
{
public:
    EntryPositions(const LauncherConfig &config, int section)
    {
        const QList<ConfigEntry> &entries = config.sections.at(section).entries;
        positions.reserve(entries.size());
        for (int i = 0; i < entries.size(); ++i)
            Note(entries.at(i), i);
    }
    int Find(const ConfigEntry &entry) const
    {
        return positions.value(std::pair(entry.name, entry.value), -1);
    }
    void Note(const ConfigEntry &entry, int position)
    {
        const std::pair<QString, QString> key(entry.name, entry.value);
        if (!positions.contains(key))
            positions.insert(key, position);
    }

private:
    QHash<std::pair<QString, QString>, int> positions;
};

// Whether two profiles of two models store the same: the same arguments and the same entries.
bool SameProfile(const LauncherConfig &a, const LauncherProfile &p, const LauncherConfig &b,
                 const LauncherProfile &q)
{
    // Arguments as the file keeps them: words separated by one blank.
    if (p.name != q.name ||
        (p.arguments != q.arguments && p.arguments.simplified() != q.arguments.simplified()))
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
// appended); `inTarget` holds the target's entries of each option section.
LauncherProfile Resolve(const LauncherConfig &from, const LauncherProfile &profile,
                        LauncherConfig &target, std::vector<EntryPositions> &inTarget)
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
        int found = inTarget[s - 1].Find(entry);
        if (found < 0) {
            target.AppendEntry(s, entry.name, entry.value);
            found = int(target.sections.at(s).entries.size()) - 1;
            inTarget[s - 1].Note(entry, found);
        }
        resolved.optionIndex[s - 1] = found;
    }
    return resolved;
}

} // namespace

void ApplyModelChange(LauncherConfig &target, const LauncherConfig &before,
                      const LauncherConfig &after, QStringList *notKept)
{
    const auto shown = [](const QString &name) {
        return name.size() > 200 ? name.left(200) + QStringLiteral("…") : name;
    };
    const auto keepTheirs = [notKept, &shown](const QString &name) {
        if (notKept)
            notKept->append(QCoreApplication::translate(
                                "LauncherFile", "Your change of the profile \"%1\" is not kept: it "
                                                "was changed outside the launcher meanwhile.")
                                .arg(shown(name)));
    };
    // Whether `target`'s profile is still what `before` had at `was`: else someone else changed
    // it too, and theirs stays.
    const auto untouched = [&](const LauncherProfile &theirs, int was) {
        if (was < 0)
            return false;
        LauncherProfile asBefore = before.profiles.at(was);
        asBefore.name = theirs.name;
        return SameProfile(before, asBefore, target, theirs);
    };
    if (target.sections.size() < SectionCount || before.sections.size() < SectionCount ||
        after.sections.size() < SectionCount)
        return;
    // Option entries the window removed or added, found by name and value.
    std::vector<EntryPositions> entriesThere;
    for (int s = 1; s < SectionCount; ++s) {
        const EntryPositions inBefore(before, s);
        const EntryPositions inAfter(after, s);
        QList<int> removed;
        {
            const EntryPositions there(target, s);
            for (const ConfigEntry &entry : before.sections.at(s).entries) {
                const int found = there.Find(entry);
                if (inAfter.Find(entry) < 0 && found > 0 && !removed.contains(found))
                    removed.append(found);
            }
        }
        // From the last, so that the positions still to remove stay where they are.
        std::sort(removed.begin(), removed.end(), std::greater<int>());
        for (const int position : std::as_const(removed))
            target.RemoveOption(s, position);
        EntryPositions there(target, s);
        for (const ConfigEntry &entry : after.sections.at(s).entries) {
            if (inBefore.Find(entry) < 0 && there.Find(entry) < 0) {
                target.AppendEntry(s, entry.name, entry.value);
                there.Note(entry, int(target.sections.at(s).entries.size()) - 1);
            }
        }
        entriesThere.push_back(std::move(there));
    }
    // Every look-up by name is hashed: a file of 100,000 profiles is merged in one pass.
    const QHash<QString, int> inBefore = before.ProfileRows();
    const QHash<QString, int> inAfter = after.ProfileRows();
    const auto findIn = [](const QHash<QString, int> &positions, const QString &name) {
        return positions.value(name, -1);
    };
    // The target as a linked list, so that moving one profile costs the same at any length.
    using Profiles = std::list<LauncherProfile>;
    Profiles placed(target.profiles.cbegin(), target.profiles.cend());
    QHash<QString, Profiles::iterator> inTarget;
    inTarget.reserve(target.profiles.size());
    for (auto it = placed.begin(); it != placed.end(); ++it) {
        if (!inTarget.contains(it->name))
            inTarget.insert(it->name, it);
    }
    const auto erase = [&](Profiles::iterator it) {
        inTarget.remove(it->name);
        placed.erase(it);
    };
    const auto isFirst = [&](Profiles::iterator it) {
        return it == placed.begin();
    };

    // Renamed in the window: a name gone and a new one in its place storing the same. Renamed
    // in the target too, keeping what it stores there.
    QHash<QString, QString> renamed;    // old name -> new name
    QHash<QString, QString> renamedTo;  // new name -> old name
    QHash<QString, QString> notRenamed; // new name -> old name, still the profile's there
    for (int i = 0; i < after.profiles.size() && i < before.profiles.size(); ++i) {
        const LauncherProfile &now = after.profiles.at(i);
        const LauncherProfile &was = before.profiles.at(i);
        if (now.name == was.name || findIn(inBefore, now.name) >= 0 ||
            findIn(inAfter, was.name) >= 0)
            continue;
        LauncherProfile sameName = now;
        sameName.name = was.name;
        if (!SameProfile(before, was, after, sameName))
            continue;
        renamed.insert(was.name, now.name);
        renamedTo.insert(now.name, was.name);
        // A rename loses nobody's work: what they changed in the profile goes along.
        const auto there = inTarget.find(was.name);
        if (there != inTarget.end() && !inTarget.contains(now.name)) {
            const Profiles::iterator it = *there;
            inTarget.erase(there);
            it->name = now.name;
            inTarget.insert(now.name, it);
            // A comment above the profile stays above it.
            for (ConfigComment &comment : target.comments) {
                if (comment.place == ConfigComment::BeforeEntry &&
                    comment.section == SectionProfile && comment.entry == was.name)
                    comment.entry = now.name;
            }
        } else if (there != inTarget.end()) {
            // Another profile took the name meanwhile: both stay, under the names they have.
            notRenamed.insert(now.name, was.name);
            if (notKept)
                notKept->append(QCoreApplication::translate(
                                    "LauncherFile",
                                    "Your renaming of the profile \"%1\" to \"%2\" is not kept: "
                                    "another profile took that name outside the launcher "
                                    "meanwhile.")
                                    .arg(shown(was.name), shown(now.name)));
        } else if (!inTarget.contains(now.name)) {
            keepTheirs(was.name); // removed there
        }
    }
    // Profiles the window removed.
    for (int i = 0; i < before.profiles.size(); ++i) {
        const LauncherProfile &profile = before.profiles.at(i);
        const auto found = inTarget.find(profile.name);
        if (found == inTarget.end() || renamed.contains(profile.name) ||
            findIn(inAfter, profile.name) >= 0 || isFirst(*found))
            continue;
        if (untouched(**found, i))
            erase(*found);
        else
            keepTheirs(profile.name);
    }
    // The first profile: changed in place.
    const bool firstChanged =
        !after.profiles.isEmpty() && !before.profiles.isEmpty() && !placed.empty() &&
        !SameProfile(before, before.profiles.first(), after, after.profiles.first()) &&
        (placed.front().name == before.profiles.first().name ||
         placed.front().name == after.profiles.first().name);
    if (firstChanged && !untouched(placed.front(), 0)) {
        LauncherProfile ours = after.profiles.first();
        ours.name = placed.front().name;
        if (!SameProfile(after, ours, target, placed.front()))
            keepTheirs(placed.front().name);
    } else if (firstChanged) {
        const QString oldName = placed.front().name;
        placed.front() = Resolve(after, after.profiles.first(), target, entriesThere);
        if (inTarget.value(oldName) == placed.begin())
            inTarget.remove(oldName);
        inTarget.insert(placed.front().name, placed.begin());
    }
    // The others: added, changed or moved, each placed after the profile it follows in the
    // window.
    for (int i = 1; i < after.profiles.size(); ++i) {
        const LauncherProfile &profile = after.profiles.at(i);
        // The profile it follows by the name it has there.
        const QString previous =
            notRenamed.value(after.profiles.at(i - 1).name, after.profiles.at(i - 1).name);
        const int was = findIn(inBefore, renamedTo.value(profile.name, profile.name));
        if (was >= 0 && renamed.contains(before.profiles.at(was).name))
            continue; // renamed above, in place
        const bool changed =
            was < 0 || !SameProfile(before, before.profiles.at(was), after, profile);
        const bool moved = was >= 1 && before.profiles.at(was - 1).name != previous;
        if (!changed && !moved)
            continue;
        const auto thereFound = inTarget.find(profile.name);
        const bool there = thereFound != inTarget.end();
        if (there && isFirst(*thereFound))
            continue;
        // Changed here and there: theirs stays where it is, unless it is what the window has.
        if (there && changed && !untouched(**thereFound, was)) {
            if (!SameProfile(after, profile, target, **thereFound))
                keepTheirs(profile.name);
            continue;
        }
        const LauncherProfile resolved =
            changed || !there ? Resolve(after, profile, target, entriesThere) : **thereFound;
        if (there && !moved) {
            **thereFound = resolved;
            continue;
        }
        if (there)
            erase(*thereFound);
        // A profile the window added at its end goes to the end; others after the profile they
        // follow in the window.
        Profiles::iterator at = placed.end();
        if (!(was < 0 && i == after.profiles.size() - 1)) {
            const auto predecessor = inTarget.find(previous);
            if (predecessor != inTarget.end())
                at = std::next(*predecessor);
        }
        const Profiles::iterator inserted = placed.insert(at, resolved);
        if (!inTarget.contains(resolved.name))
            inTarget.insert(resolved.name, inserted);
    }
    target.profiles = QList<LauncherProfile>(placed.cbegin(), placed.cend());
}

bool ChangeSeenIn(const LauncherConfig &target, const LauncherConfig &before,
                  const LauncherConfig &after)
{
    const QHash<QString, int> inBefore = before.ProfileRows();
    const QHash<QString, int> inAfter = after.ProfileRows();
    const QHash<QString, int> inTarget = target.ProfileRows();
    int seen = 0;
    int unseen = 0;
    for (const LauncherProfile &profile : after.profiles) {
        const int was = inBefore.value(profile.name, -1);
        const int there = inTarget.value(profile.name, -1);
        if (was >= 0 && SameProfile(before, before.profiles.at(was), after, profile))
            continue;
        if (there >= 0 && SameProfile(after, profile, target, target.profiles.at(there)))
            ++seen;
        else if (was < 0 ? there < 0
                         : there >= 0 && SameProfile(before, before.profiles.at(was), target,
                                                     target.profiles.at(there)))
            ++unseen;
    }
    for (const LauncherProfile &profile : before.profiles) {
        if (inAfter.contains(profile.name))
            continue;
        const int there = inTarget.value(profile.name, -1);
        if (there < 0)
            ++seen;
        else if (SameProfile(before, profile, target, target.profiles.at(there)))
            ++unseen;
    }
    return seen > 0 || unseen == 0;
}

ConfigSaveResult ExportProfilesToFile(const LauncherConfig &config, const QList<int> &rows,
                                      const QString &path, const QString &userConfigPath,
                                      const ExtrasMap &extras)
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
    LauncherConfig exported = ExportProfiles(config, rows);
    const QStringList carried = ExtrasCommentLines(extras, exported.ProfileNames());
    if (!carried.isEmpty())
        exported.comments.append(
            {ConfigComment::SectionEnd, int(exported.sections.size()) - 1, QString(), carried});
    return SaveConfigFile(path, exported, false);
}
