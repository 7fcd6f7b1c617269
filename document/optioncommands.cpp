#include "optioncommands.h"

#include <QHash>

// Steps on the option lists: an entry added, an entry removed with what the profiles that used
// it had folded into their arguments.

AddOptionCommand::AddOptionCommand(ProfileDocument *document, int optionSection,
                                   const ConfigEntry &optionEntry)
    : ProfileCommand(document, (optionSection == SectionResolution
                                    ? ProfileCommand::tr("Add Resolution %1")
                                    : ProfileCommand::tr("Add Pixel Density %1"))
                                   .arg(Quoted(optionEntry.name))),
      section(optionSection), entry(optionEntry)
{
}

ProfileCommand::Result AddOptionCommand::Apply(bool forward)
{
    const LauncherConfig &model = Model();
    const QList<ConfigEntry> &entries = model.sections.at(section).entries;
    if (forward) {
        InsertEntry(section, int(entries.size()), entry);
        return {};
    }
    // The one added last: an equal entry before it was there already.
    const int index = int(entries.lastIndexOf(entry));
    if (index < 1)
        return Result::Skipped(EntryGone(entry.name));
    // A profile that took it up since (outside the launcher) would lose it.
    for (const LauncherProfile &profile : model.profiles) {
        if (profile.optionIndex.value(section - 1, -1) == index)
            return Result::Skipped(EntryUsed(entry.name, profile.name));
    }
    RemoveEntry(section, index);
    return {};
}

RemoveOptionCommand::RemoveOptionCommand(ProfileDocument *document, int optionSection,
                                         const ConfigEntry &optionEntry,
                                         const QList<ProfileDocument::Expected> &using_)
    : ProfileCommand(document, (optionSection == SectionResolution
                                    ? ProfileCommand::tr("Remove Resolution %1")
                                    : ProfileCommand::tr("Remove Pixel Density %1"))
                                   .arg(Quoted(optionEntry.name))),
      section(optionSection), entry(optionEntry)
{
    for (const ProfileDocument::Expected &user : using_)
        users.append({user.name, user.settings, ProfileSettings()});
}

ProfileCommand::Result RemoveOptionCommand::Apply(bool forward)
{
    const LauncherConfig &model = Model();
    const QList<ConfigEntry> &entries = model.sections.at(section).entries;
    Result result;
    if (forward) {
        const int found = int(entries.indexOf(entry));
        // The first entry is never removed.
        if (found < 1)
            return Result::Skipped(EntryGone(entry.name));
        // Removing it changes every profile that uses it: only those it changed before, each
        // as it was then.
        QHash<QString, int> expected;
        for (int i = 0; i < users.size(); ++i) {
            if (!users.at(i).dropped)
                expected.insert(users.at(i).name, i);
        }
        for (const LauncherProfile &profile : model.profiles) {
            if (profile.optionIndex.value(section - 1, -1) != found)
                continue;
            const auto user = expected.constFind(profile.name);
            if (user == expected.cend())
                return Result::Skipped(EntryUsed(entry.name, profile.name));
            if (!users.at(*user).before.Matches(model, profile))
                return Result::Skipped(Changed(profile.name));
        }
        index = found;
        neighbourEntry = entries.at(found - 1);
        RemoveEntry(section, found);
        for (User &user : users) {
            const int row = Model().FindProfile(user.name);
            if (!user.dropped && row >= 0)
                user.after = ProfileSettings::Of(Model(), Model().profiles.at(row));
        }
        return result;
    }
    // Back after the entry it followed, wherever that is now; else where it stood.
    const int neighbourAt = int(entries.indexOf(neighbourEntry));
    int at = int(entries.indexOf(entry));
    if (at < 0) {
        at = neighbourAt >= 0 ? neighbourAt + 1 : qBound(1, index, int(entries.size()));
        InsertEntry(section, at, entry);
    }
    // Each profile that used it takes it again, while it stores what the removal left there.
    for (User &user : users) {
        if (user.dropped)
            continue;
        const int row = Model().FindProfile(user.name);
        const QString problem = Expect(row, user.name, user.after);
        if (!problem.isEmpty()) {
            user.dropped = true;
            result.skipped.append(problem);
            continue;
        }
        QList<int> positions = Model().profiles.at(row).optionIndex;
        if (section - 1 < positions.size())
            positions[section - 1] = at;
        SetProfile(row, positions, user.before.arguments);
    }
    return result;
}
