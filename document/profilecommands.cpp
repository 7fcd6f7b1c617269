#include "profilecommands.h"

#include <QUndoStack>

ProfileCommand::ProfileCommand(ProfileDocument *d, const QString &text, QUndoCommand *parent)
    : QUndoCommand(text, parent), document(d)
{
}

void ProfileCommand::Run(bool forward)
{
    const QString problem = Apply(forward);
    const bool first = !ran;
    ran = true;
    if (!problem.isEmpty()) {
        // The history drops a step marked so once it has run.
        setObsolete(true);
        emit document->stepSkipped(forward
                                       ? tr("%1 could not be redone: %2.").arg(text(), problem)
                                       : tr("%1 could not be undone: %2.").arg(text(), problem));
        return;
    }
    if (!first || !saved)
        document->SaveChanges();
    if (!first)
        emit document->stepShown(Subject(forward));
}

void ProfileCommand::InsertProfile(int row, const LauncherProfile &profile)
{
    document->config.profiles.insert(row, profile);
    emit document->profileInserted(row);
}

void ProfileCommand::RemoveProfileAt(int row)
{
    const QString name = document->config.profiles.at(row).name;
    document->config.RemoveProfile(row);
    emit document->profileRemoved(row, name);
}

void ProfileCommand::SetProfile(int row, const QList<int> &optionIndex, const QString &arguments)
{
    LauncherProfile &profile = document->config.profiles[row];
    profile.optionIndex = optionIndex;
    profile.arguments = arguments;
    emit document->profileChanged(row);
}

void ProfileCommand::MoveProfileAt(int from, int to)
{
    document->config.profiles.move(from, to);
    emit document->profileMoved(from, to);
}

void ProfileCommand::RenameProfileAt(int row, const QString &name)
{
    const QString oldName = document->config.profiles.at(row).name;
    document->config.RenameProfile(row, name);
    emit document->profileRenamed(row, oldName);
}

void ProfileCommand::InsertEntry(int section, int index, const ConfigEntry &entry)
{
    document->config.InsertEntry(section, index, entry);
    emit document->optionInserted(section, index);
}

void ProfileCommand::RemoveEntry(int section, int index, QList<int> *users)
{
    LauncherConfig &config = document->config;
    QList<int> rows;
    for (int row = 0; row < config.profiles.size(); ++row) {
        if (config.profiles.at(row).optionIndex.value(section - 1, -1) == index)
            rows.append(row);
    }
    config.RemoveOption(section, index);
    emit document->optionRemoved(section, index);
    for (const int row : std::as_const(rows))
        emit document->profileChanged(row);
    if (users)
        *users = rows;
}

void ProfileCommand::Reset(LauncherConfig model)
{
    document->ResetTo(std::move(model));
}

QString ProfileCommand::Quoted(const QString &name)
{
    return tr("\"%1\"").arg(ShownText(name, 200));
}

QString ProfileCommand::EntryGone(const QString &name)
{
    return tr("the option %1 is no longer in its list").arg(Quoted(name));
}

std::optional<QList<int>> ProfileCommand::Positions(const ProfileSettings &settings,
                                                    QString *problem) const
{
    QString missing;
    std::optional<QList<int>> positions = settings.Positions(Model(), &missing);
    if (!positions)
        *problem = EntryGone(missing);
    return positions;
}

QString ProfileCommand::Gone(const QString &name)
{
    return tr("the profile %1 no longer exists").arg(Quoted(name));
}

QString ProfileCommand::Taken(const QString &name)
{
    return tr("another profile is named %1").arg(Quoted(name));
}

AddProfileCommand::AddProfileCommand(ProfileDocument *document, const QString &profileName,
                                     const ProfileSettings &profileSettings, QUndoCommand *parent)
    : ProfileCommand(document, tr("Add %1").arg(Quoted(profileName)), parent), name(profileName),
      settings(profileSettings)
{
}

QString AddProfileCommand::Apply(bool forward)
{
    const int row = Model().FindProfile(name);
    if (!forward) {
        if (row < 1)
            return Gone(name);
        RemoveProfileAt(row);
        return QString();
    }
    if (row >= 0)
        return Taken(name);
    QString problem;
    const std::optional<QList<int>> positions = Positions(settings, &problem);
    if (!positions)
        return problem;
    InsertProfile(int(Model().profiles.size()), {name, settings.arguments, *positions});
    return QString();
}

UpdateProfileCommand::UpdateProfileCommand(ProfileDocument *document, const QString &profileName,
                                           const ProfileSettings &was, const ProfileSettings &now,
                                           QUndoCommand *parent)
    : ProfileCommand(document, tr("Update %1").arg(Quoted(profileName)), parent), name(profileName),
      before(was), after(now)
{
}

QString UpdateProfileCommand::Apply(bool forward)
{
    const int row = Model().FindProfile(name);
    if (row < 0)
        return Gone(name);
    const ProfileSettings &settings = forward ? after : before;
    QString problem;
    const std::optional<QList<int>> positions = Positions(settings, &problem);
    if (!positions)
        return problem;
    SetProfile(row, *positions, settings.arguments);
    return QString();
}

RemoveProfileCommand::RemoveProfileCommand(ProfileDocument *document, const QString &profileName,
                                           QUndoCommand *parent)
    : ProfileCommand(document, tr("Remove %1").arg(Quoted(profileName)), parent), name(profileName)
{
}

QString RemoveProfileCommand::Apply(bool forward)
{
    const LauncherConfig &model = Model();
    const int found = model.FindProfile(name);
    if (forward) {
        // The first profile is never removed.
        if (found < 1)
            return Gone(name);
        settings = ProfileSettings::Of(model, model.profiles.at(found));
        row = found;
        above = model.profiles.at(found - 1).name;
        RemoveProfileAt(found);
        return QString();
    }
    if (found >= 0)
        return Taken(name);
    QString problem;
    const std::optional<QList<int>> positions = Positions(settings, &problem);
    if (!positions)
        return problem;
    // Back below the profile it followed, wherever that is now; else where it stood.
    const int after = model.FindProfile(above);
    const int at = after >= 0 ? after + 1 : qBound(1, row, int(model.profiles.size()));
    InsertProfile(at, {name, settings.arguments, *positions});
    return QString();
}

RenameProfileCommand::RenameProfileCommand(ProfileDocument *document, const QString &oldName,
                                           const QString &newName)
    : ProfileCommand(document, tr("Rename %1 to %2").arg(Quoted(oldName), Quoted(newName))),
      from(oldName), to(newName)
{
}

QString RenameProfileCommand::Apply(bool forward)
{
    const QString &was = forward ? from : to;
    const QString &now = forward ? to : from;
    const int row = Model().FindProfile(was);
    if (row < 0)
        return Gone(was);
    if (Model().FindProfile(now) >= 0)
        return Taken(now);
    RenameProfileAt(row, now);
    return QString();
}

MoveProfileCommand::MoveProfileCommand(ProfileDocument *document, const QString &profileName,
                                       int row)
    : ProfileCommand(document, tr("Move %1").arg(Quoted(profileName))), name(profileName), to(row)
{
}

QString MoveProfileCommand::Apply(bool forward)
{
    const int row = Model().FindProfile(name);
    if (row < 1)
        return Gone(name);
    const int last = int(Model().profiles.size()) - 1;
    if (forward)
        from = row;
    const int target = qBound(1, forward ? to : from, last);
    if (target != row)
        MoveProfileAt(row, target);
    return QString();
}

AddOptionCommand::AddOptionCommand(ProfileDocument *document, int optionSection,
                                   const ConfigEntry &optionEntry, QUndoCommand *parent)
    : ProfileCommand(document,
                     (optionSection == SectionResolution ? tr("Add Resolution %1")
                                                         : tr("Add Pixel Density %1"))
                         .arg(Quoted(optionEntry.name)),
                     parent),
      section(optionSection), entry(optionEntry)
{
}

QString AddOptionCommand::Apply(bool forward)
{
    const QList<ConfigEntry> &entries = Model().sections.at(section).entries;
    if (forward) {
        InsertEntry(section, int(entries.size()), entry);
        return QString();
    }
    // The one added last: an equal entry before it was there already.
    const int index = int(entries.lastIndexOf(entry));
    if (index < 1)
        return EntryGone(entry.name);
    RemoveEntry(section, index);
    return QString();
}

RemoveOptionCommand::RemoveOptionCommand(ProfileDocument *document, int optionSection,
                                         const ConfigEntry &optionEntry)
    : ProfileCommand(document,
                     (optionSection == SectionResolution ? tr("Remove Resolution %1")
                                                         : tr("Remove Pixel Density %1"))
                         .arg(Quoted(optionEntry.name)),
                     nullptr),
      section(optionSection), entry(optionEntry)
{
}

QString RemoveOptionCommand::Apply(bool forward)
{
    const LauncherConfig &model = Model();
    if (forward) {
        const int found = int(model.sections.at(section).entries.indexOf(entry));
        // The first entry is never removed.
        if (found < 1)
            return EntryGone(entry.name);
        index = found;
        QList<User> before;
        for (const LauncherProfile &profile : model.profiles) {
            if (profile.optionIndex.value(section - 1, -1) == found)
                before.append({profile.name, profile.arguments, QString()});
        }
        QList<int> rows;
        RemoveEntry(section, found, &rows);
        for (int i = 0; i < before.size() && i < rows.size(); ++i)
            before[i].argumentsAfter = Model().profiles.at(rows.at(i)).arguments;
        users = before;
        return QString();
    }
    const int at = qBound(1, index, int(model.sections.at(section).entries.size()));
    InsertEntry(section, at, entry);
    // Each profile that used it takes it again, unless its arguments changed since.
    for (const User &user : std::as_const(users)) {
        const int row = Model().FindProfile(user.name);
        // Blanks as the file keeps them: an edit taken in from outside read it back.
        if (row < 0 ||
            Model().profiles.at(row).arguments.simplified() != user.argumentsAfter.simplified())
            continue;
        QList<int> positions = Model().profiles.at(row).optionIndex;
        if (section - 1 < positions.size())
            positions[section - 1] = at;
        SetProfile(row, positions, user.argumentsBefore);
    }
    return QString();
}

ModelChangeCommand::ModelChangeCommand(ProfileDocument *document, const QString &text,
                                       LauncherConfig was, LauncherConfig now,
                                       const QString &shownName)
    : ProfileCommand(document, text), before(std::move(was)), after(std::move(now)),
      shown(shownName)
{
}

QString ModelChangeCommand::Apply(bool forward)
{
    if (first) {
        // What the change was made on is the model now.
        first = false;
        Reset(after);
        return QString();
    }
    LauncherConfig model = Model();
    ApplyModelChange(model, forward ? before : after, forward ? after : before);
    Reset(std::move(model));
    return QString();
}

GroupCommand::GroupCommand(ProfileDocument *document, const QString &text, const QString &shownName)
    : ProfileCommand(document, text), shown(shownName)
{
}

QString GroupCommand::Apply(bool forward)
{
    // Each part finds its own profile or entry and says when it cannot.
    if (forward)
        QUndoCommand::redo();
    else
        QUndoCommand::undo();
    return QString();
}
