#include "groupcommands.h"

#include <QHash>

// Steps of many parts: an import's difference, and a device profile with the entries it
// needed.

ImportCommand::ImportCommand(ProfileDocument *document, const QString &text,
                             const LauncherConfig &before, const LauncherConfig &after,
                             const ImportReport &report)
    : ProfileCommand(document, text)
{
    const QHash<QString, int> beforeRows = before.ProfileRows();
    const QHash<QString, int> afterRows = after.ProfileRows();
    for (const QString &name : report.added + report.replaced) {
        const int now = afterRows.value(name, -1);
        if (now < 0)
            continue;
        const int was = beforeRows.value(name, -1);
        members.push_back({name,
                           was >= 0
                               ? std::optional(ProfileSettings::Of(before, before.profiles.at(was)))
                               : std::nullopt,
                           ProfileSettings::Of(after, after.profiles.at(now))});
    }
    // The import appends the entries it needs.
    for (int s = 1; s < SectionCount && s < after.sections.size(); ++s) {
        const QList<ConfigEntry> &entries = after.sections.at(s).entries;
        for (qsizetype i = before.sections.value(s).entries.size(); i < entries.size(); ++i)
            this->entries.append({s, entries.at(i)});
    }
    weight = 1024;
    for (const Member &member : members)
        weight += WeightOf(member.name, member.after) +
                  (member.before ? WeightOf(QString(), *member.before) : 0);
    for (const auto &[section, entry] : std::as_const(entries))
        weight += 64 + 2 * (entry.name.size() + entry.value.size());
}

void ImportCommand::Release()
{
    std::vector<Member>().swap(members);
    entries = {};
}

QStringList ImportCommand::Subjects(bool forward) const
{
    QStringList names;
    for (const Member &member : members) {
        if (!member.dropped && (forward || member.before))
            names.append(member.name);
    }
    return names;
}

ProfileCommand::Result ImportCommand::Apply(bool forward)
{
    if (first) {
        // The model is the import's already: it was saved before it was taken.
        first = false;
        return {};
    }
    LauncherConfig model = Model();
    Result result;
    result.applied = false;
    if (forward) {
        for (const auto &[section, entry] : std::as_const(entries)) {
            if (!model.sections.at(section).entries.contains(entry))
                model.AppendEntry(section, entry.name, entry.value);
        }
    }
    QHash<QString, int> rows = model.ProfileRows();
    const EntryPositions index(model);
    QList<bool> going(model.profiles.size(), false);
    bool removing = false;
    for (Member &member : members) {
        if (member.dropped)
            continue;
        const int row = rows.value(member.name, -1);
        // Forwards from what it replaced (or from nothing), back from what it brought.
        QString problem;
        if (forward && !member.before)
            problem = row >= 0 ? Taken(member.name) : QString();
        else
            problem = Expect(row, member.name, forward ? *member.before : member.after);
        if (!problem.isEmpty()) {
            member.dropped = true;
            result.skipped.append(problem);
            continue;
        }
        if (!forward && !member.before) {
            going[row] = true;
            removing = true;
            result.applied = true;
            continue;
        }
        const ProfileSettings &settings = forward ? member.after : *member.before;
        QString missing;
        const std::optional<QList<int>> positions = settings.Positions(model, &missing, &index);
        if (!positions) {
            member.dropped = true;
            result.skipped.append(EntryGone(missing));
            continue;
        }
        const LauncherProfile profile{member.name, settings.arguments, *positions};
        if (row >= 0) {
            model.profiles[row] = profile;
        } else {
            rows.insert(member.name, int(model.profiles.size()));
            model.profiles.append(profile);
            going.append(false);
        }
        result.applied = true;
    }
    if (removing) {
        QList<LauncherProfile> kept;
        kept.reserve(model.profiles.size());
        for (int row = 0; row < model.profiles.size(); ++row) {
            if (!going.at(row))
                kept.append(model.profiles.at(row));
        }
        model.profiles = std::move(kept);
    }
    if (!forward) {
        // Its entries go once no profile uses them; one another program took up stays.
        for (qsizetype e = entries.size() - 1; e >= 0; --e) {
            const auto &[section, entry] = entries.at(e);
            const int index = int(model.sections.at(section).entries.lastIndexOf(entry));
            if (index < 1 || !model.ProfilesUsingOption(section, index).isEmpty())
                continue;
            model.RemoveOption(section, index);
        }
    }
    if (result.applied)
        Reset(std::move(model));
    return result;
}

GroupCommand::GroupCommand(ProfileDocument *document, const QString &text, const QString &shownName)
    : ProfileCommand(document, text), shown(shownName)
{
}

GroupCommand::~GroupCommand()
{
    for (const Part &part : std::as_const(parts))
        delete part.command;
}

void GroupCommand::Add(ProfileCommand *part)
{
    parts.append({part, false});
}

ProfileCommand::Result GroupCommand::Apply(bool forward)
{
    Result result;
    result.applied = false;
    // Forwards in order, back in reverse: a profile goes before the entry it used.
    for (qsizetype i = 0; i < parts.size(); ++i) {
        Part &part = parts[forward ? i : parts.size() - 1 - i];
        if (part.dropped)
            continue;
        const Result done = part.command->Apply(forward);
        result.skipped += done.skipped;
        if (done.applied)
            result.applied = true;
        else
            part.dropped = true;
    }
    return result;
}
