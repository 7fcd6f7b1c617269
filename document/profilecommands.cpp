#include "profilecommands.h"

#include <QHash>
#include <QUndoStack>

#include <iterator>
#include <list>

namespace {

// More reasons than this are counted, not listed: a message must fit on the screen.
constexpr qsizetype ListedReasons = 10;

QString JoinedReasons(const QStringList &reasons)
{
    if (reasons.size() <= ListedReasons)
        return reasons.join(QStringLiteral("; "));
    return ProfileCommand::tr("%1; and %n more", nullptr, int(reasons.size() - ListedReasons))
        .arg(reasons.first(ListedReasons).join(QStringLiteral("; ")));
}

} // namespace

ProfileCommand::ProfileCommand(ProfileDocument *d, const QString &text)
    : QUndoCommand(text), document(d)
{
}

void ProfileCommand::LetGo()
{
    letGo = true;
    Release();
}

qsizetype ProfileCommand::WeightOf(const QString &name, const ProfileSettings &settings)
{
    // The strings' characters, and what a list, an entry and a string cost besides.
    qsizetype weight = 160 + 2 * (name.size() + settings.arguments.size());
    for (const std::optional<ConfigEntry> &entry : settings.entries)
        weight += 48 + (entry ? 2 * (entry->name.size() + entry->value.size()) : 0);
    return weight + 4 * settings.positions.size();
}

void ProfileCommand::Run(bool forward)
{
    const Result result =
        letGo ? Result::Skipped(ProfileCommand::tr(
                    "it is among the oldest steps, let go to keep the history within its memory"))
              : Apply(forward);
    const bool first = !ran;
    ran = true;
    if (!result.applied) {
        // The history drops a step marked so once it has run.
        setObsolete(true);
        const QString why = JoinedReasons(result.skipped);
        document->TellStepSkipped(
            forward ? ProfileCommand::tr("%1 could not be redone: %2.").arg(text(), why)
                    : ProfileCommand::tr("%1 could not be undone: %2.").arg(text(), why));
        return;
    }
    if (!first || !saved)
        document->SaveStep(SavesSoon());
    if (!result.skipped.isEmpty()) {
        const QString why = JoinedReasons(result.skipped);
        document->TellStepSkipped(
            forward ? ProfileCommand::tr("%1 could not be redone in full: %2.").arg(text(), why)
                    : ProfileCommand::tr("%1 could not be undone in full: %2.").arg(text(), why));
    }
    if (!first)
        document->ShowStep(Subjects(forward));
}

void ProfileCommand::InsertProfile(int row, const LauncherProfile &profile)
{
    document->InsertProfileAt(row, profile);
}

void ProfileCommand::RemoveProfileAt(int row)
{
    document->RemoveProfileAt(row);
}

void ProfileCommand::SetProfile(int row, const QList<int> &optionIndex, const QString &arguments)
{
    document->SetProfileAt(row, optionIndex, arguments);
}

void ProfileCommand::MoveProfileAt(int from, int to)
{
    document->MoveProfileAt(from, to);
}

void ProfileCommand::RenameProfileAt(int row, const QString &name)
{
    document->RenameProfileAt(row, name);
}

void ProfileCommand::InsertEntry(int section, int index, const ConfigEntry &entry)
{
    document->InsertEntryAt(section, index, entry);
}

void ProfileCommand::RemoveEntry(int section, int index)
{
    document->RemoveEntryAt(section, index);
}

void ProfileCommand::Reset(LauncherConfig model)
{
    document->ReplaceModel(std::move(model));
}

QString ProfileCommand::Quoted(const QString &name)
{
    return ProfileCommand::tr("\"%1\"").arg(ShownName(name, 200));
}

QString ProfileCommand::Gone(const QString &name)
{
    return ProfileCommand::tr("the profile %1 no longer exists").arg(Quoted(name));
}

QString ProfileCommand::Taken(const QString &name)
{
    return ProfileCommand::tr("another profile is named %1").arg(Quoted(name));
}

QString ProfileCommand::Changed(const QString &name)
{
    return ProfileCommand::tr("the profile %1 was changed outside the launcher since")
        .arg(Quoted(name));
}

QString ProfileCommand::EntryGone(const QString &name)
{
    return ProfileCommand::tr("the option %1 is no longer in its list").arg(Quoted(name));
}

QString ProfileCommand::EntryUsed(const QString &entry, const QString &profile)
{
    return ProfileCommand::tr("the profile %1 uses the option %2 now")
        .arg(Quoted(profile), Quoted(entry));
}

std::optional<QList<int>> ProfileCommand::Positions(const ProfileSettings &settings,
                                                    QString *problem,
                                                    const EntryPositions *index) const
{
    QString missing;
    std::optional<QList<int>> positions = settings.Positions(Model(), &missing, index);
    if (!positions)
        *problem = EntryGone(missing);
    return positions;
}

QString ProfileCommand::Expect(int row, const QString &name, const ProfileSettings &settings) const
{
    if (row < 0)
        return Gone(name);
    if (!settings.Matches(Model(), Model().profiles.at(row)))
        return Changed(name);
    return QString();
}

AddProfileCommand::AddProfileCommand(ProfileDocument *document, const QString &profileName,
                                     const ProfileSettings &profileSettings)
    : ProfileCommand(document, ProfileCommand::tr("Add %1").arg(Quoted(profileName))),
      name(profileName), settings(profileSettings)
{
}

QStringList AddProfileCommand::Subjects(bool forward) const
{
    if (forward)
        return {name};
    const LauncherConfig &model = Model();
    const int next = qMin(row, int(model.profiles.size()) - 1);
    return next >= 0 ? QStringList{model.profiles.at(next).name} : QStringList();
}

ProfileCommand::Result AddProfileCommand::Apply(bool forward)
{
    const int found = Model().FindProfile(name);
    if (!forward) {
        // Only the profile as it was added: one changed outside since is someone's work.
        const QString problem = found == 0 ? Gone(name) : Expect(found, name, settings);
        if (!problem.isEmpty())
            return Result::Skipped(problem);
        row = found;
        RemoveProfileAt(found);
        return {};
    }
    const int row = found;
    if (row >= 0)
        return Result::Skipped(Taken(name));
    QString problem;
    const std::optional<QList<int>> positions = Positions(settings, &problem);
    if (!positions)
        return Result::Skipped(problem);
    InsertProfile(int(Model().profiles.size()), {name, settings.arguments, *positions});
    return {};
}

UpdateProfileCommand::UpdateProfileCommand(ProfileDocument *document, const QString &profileName,
                                           const ProfileSettings &was, const ProfileSettings &now)
    : ProfileCommand(document, ProfileCommand::tr("Update %1").arg(Quoted(profileName))),
      name(profileName), before(was), after(now)
{
}

ProfileCommand::Result UpdateProfileCommand::Apply(bool forward)
{
    const int row = Model().FindProfile(name);
    // Undone only from what it stored, redone only from what it replaced.
    const QString expected = Expect(row, name, forward ? before : after);
    if (!expected.isEmpty())
        return Result::Skipped(expected);
    const ProfileSettings &settings = forward ? after : before;
    QString problem;
    const std::optional<QList<int>> positions = Positions(settings, &problem);
    if (!positions)
        return Result::Skipped(problem);
    SetProfile(row, *positions, settings.arguments);
    return {};
}

RemoveProfileCommand::RemoveProfileCommand(ProfileDocument *document, const QString &profileName,
                                           const ProfileSettings &profileSettings)
    : ProfileCommand(document, ProfileCommand::tr("Remove %1").arg(Quoted(profileName))),
      name(profileName), settings(profileSettings)
{
}

QStringList RemoveProfileCommand::Subjects(bool forward) const
{
    // Removed: the profile that took its row.
    if (!forward)
        return {name};
    const LauncherConfig &model = Model();
    const int next = qMin(row, int(model.profiles.size()) - 1);
    return next >= 0 ? QStringList{model.profiles.at(next).name} : QStringList();
}

ProfileCommand::Result RemoveProfileCommand::Apply(bool forward)
{
    const LauncherConfig &model = Model();
    const int found = model.FindProfile(name);
    if (forward) {
        // The first profile is never removed; another program's profile of the same name is
        // not the one the user removed.
        const QString problem = found == 0 ? Gone(name) : Expect(found, name, settings);
        if (!problem.isEmpty())
            return Result::Skipped(problem);
        row = found;
        above = model.profiles.at(found - 1).name;
        RemoveProfileAt(found);
        return {};
    }
    if (found >= 0)
        return Result::Skipped(Taken(name));
    QString problem;
    const std::optional<QList<int>> positions = Positions(settings, &problem);
    if (!positions)
        return Result::Skipped(problem);
    // Back below the profile it followed, wherever that is now; else where it stood.
    const int after = model.FindProfile(above);
    const int at = after >= 0 ? after + 1 : qBound(1, row, int(model.profiles.size()));
    InsertProfile(at, {name, settings.arguments, *positions});
    return {};
}

RemoveProfilesCommand::RemoveProfilesCommand(ProfileDocument *document,
                                             const QList<ProfileDocument::Expected> &which)
    : ProfileCommand(document, ProfileCommand::tr("Remove %n profiles", nullptr, int(which.size())))
{
    members.reserve(size_t(which.size()));
    for (const ProfileDocument::Expected &profile : which)
        members.push_back({profile.name, profile.settings, -1, QString(), false, false});
    weight = 1024;
    for (const Member &member : members)
        weight += WeightOf(member.name, member.settings);
}

void RemoveProfilesCommand::Release()
{
    std::vector<Member>().swap(members);
}

QStringList RemoveProfilesCommand::Subjects(bool) const
{
    return lastShown;
}

ProfileCommand::Result RemoveProfilesCommand::Apply(bool forward)
{
    const LauncherConfig &model = Model();
    const QHash<QString, int> rows = model.ProfileRows();
    Result result;
    result.applied = false;
    lastShown.clear();
    LauncherConfig changed = model;
    if (forward) {
        // Which go: each only as it was when the user was asked (or as the undo left it).
        QList<bool> going(model.profiles.size(), false);
        std::vector<Member *> removing;
        for (Member &member : members) {
            if (member.dropped || member.removed)
                continue;
            const int row = rows.value(member.name, -1);
            const QString problem =
                row == 0 ? Gone(member.name) : Expect(row, member.name, member.settings);
            if (!problem.isEmpty()) {
                member.dropped = true;
                result.skipped.append(problem);
                continue;
            }
            member.row = row;
            going[row] = true;
            removing.push_back(&member);
        }
        if (removing.empty())
            return result;
        // Each goes back below the nearest profile above it that stays, found in one pass: a
        // run of 100,000 removed rows must not be walked once for each of them.
        QList<int> stayingAbove(model.profiles.size(), 0);
        for (int row = 1, staying = 0; row < model.profiles.size(); ++row) {
            stayingAbove[row] = staying;
            if (!going.at(row))
                staying = row;
        }
        for (Member *member : removing) {
            member->above = model.profiles.at(stayingAbove.at(member->row)).name;
            member->removed = true;
        }
        int next = -1;
        changed.profiles.clear();
        changed.profiles.reserve(model.profiles.size() - qsizetype(removing.size()));
        for (int row = 0; row < model.profiles.size(); ++row) {
            if (!going.at(row))
                changed.profiles.append(model.profiles.at(row));
            else if (next < 0)
                next = int(changed.profiles.size());
        }
        if (next >= changed.profiles.size())
            next = int(changed.profiles.size()) - 1;
        lastShown = {changed.profiles.at(next).name};
        Reset(std::move(changed));
        result.applied = true;
        return result;
    }

    // Back, each below the profile it followed, in the order they stood.
    using Profiles = std::list<LauncherProfile>;
    Profiles placed(model.profiles.cbegin(), model.profiles.cend());
    QHash<QString, Profiles::iterator> byName;
    byName.reserve(model.profiles.size());
    for (auto it = placed.begin(); it != placed.end(); ++it)
        if (!byName.contains(it->name))
            byName.insert(it->name, it);
    std::vector<Member *> back;
    for (Member &member : members) {
        if (member.dropped || !member.removed)
            continue;
        if (byName.contains(member.name)) {
            member.dropped = true;
            result.skipped.append(Taken(member.name));
            continue;
        }
        back.push_back(&member);
    }
    std::stable_sort(back.begin(), back.end(),
                     [](const Member *a, const Member *b) { return a->row < b->row; });
    QHash<QString, Profiles::iterator> lastAfter; // the last profile put back below each
    const EntryPositions index(model);
    for (Member *member : back) {
        QString problem;
        const std::optional<QList<int>> positions = Positions(member->settings, &problem, &index);
        if (!positions) {
            member->dropped = true;
            result.skipped.append(problem);
            continue;
        }
        Profiles::iterator at;
        const auto previous = lastAfter.constFind(member->above);
        const auto anchor = byName.constFind(member->above);
        if (previous != lastAfter.cend()) {
            at = std::next(*previous);
        } else if (anchor != byName.cend()) {
            at = std::next(*anchor);
        } else {
            at = placed.begin();
            std::advance(at, qBound(1, member->row, int(placed.size())));
        }
        const Profiles::iterator inserted =
            placed.insert(at, {member->name, member->settings.arguments, *positions});
        byName.insert(member->name, inserted);
        lastAfter.insert(member->above, inserted);
        member->removed = false;
        lastShown.append(member->name);
    }
    if (lastShown.isEmpty())
        return result;
    changed.profiles = QList<LauncherProfile>(placed.cbegin(), placed.cend());
    Reset(std::move(changed));
    result.applied = true;
    return result;
}

RenameProfileCommand::RenameProfileCommand(ProfileDocument *document, const QString &oldName,
                                           const QString &newName,
                                           const ProfileSettings &profileSettings)
    : ProfileCommand(document,
                     ProfileCommand::tr("Rename %1 to %2").arg(Quoted(oldName), Quoted(newName))),
      from(oldName), to(newName), settings(profileSettings)
{
}

ProfileCommand::Result RenameProfileCommand::Apply(bool forward)
{
    const QString &was = forward ? from : to;
    const QString &now = forward ? to : from;
    const int row = Model().FindProfile(was);
    // The profile the user renamed, storing what it did then; and the old name still free.
    const QString problem = Expect(row, was, settings);
    if (!problem.isEmpty())
        return Result::Skipped(problem);
    if (Model().FindProfile(now) >= 0)
        return Result::Skipped(Taken(now));
    RenameProfileAt(row, now);
    return {};
}

MoveProfileCommand::MoveProfileCommand(ProfileDocument *document, const QString &profileName,
                                       int row)
    : ProfileCommand(document, ProfileCommand::tr("Move %1").arg(Quoted(profileName))),
      name(profileName), to(row)
{
}

bool MoveProfileCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const MoveProfileCommand *>(other);
    if (next->name != name)
        return false;
    // One step from where it stood first to where it went last.
    to = next->to;
    return true;
}

ProfileCommand::Result MoveProfileCommand::Apply(bool forward)
{
    const int row = Model().FindProfile(name);
    if (row < 1)
        return Result::Skipped(Gone(name));
    const int last = int(Model().profiles.size()) - 1;
    if (forward && from < 0)
        from = row;
    const int target = qBound(1, forward ? to : from, last);
    if (target != row)
        MoveProfileAt(row, target);
    return {};
}
