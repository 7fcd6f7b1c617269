#include "profiledocument.h"

#include "devicecatalogue.h"
#include "diagnostics.h"
#include "profilecommands.h"

#include <QDeadlineTimer>
#include <QScopedValueRollback>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <QUndoStack>

namespace {

// Steps kept for undo; an import keeps only the profiles and entries it changed.
constexpr int HistoryLimit = 1000;

bool SameEntries(const LauncherConfig &a, const LauncherConfig &b)
{
    for (int s = 1; s < SectionCount; ++s) {
        if (a.sections.value(s).entries != b.sections.value(s).entries)
            return false;
    }
    return true;
}

// Arguments as the file keeps them: words separated by one blank.
bool SameArguments(const QString &a, const QString &b)
{
    return a == b || a.simplified() == b.simplified();
}

} // namespace

ProfileSettings ProfileSettings::Of(const LauncherConfig &config, const QList<int> &optionIndex,
                                    const QString &arguments)
{
    ProfileSettings settings;
    settings.arguments = arguments;
    for (int s = 1; s <= OptionSectionCount; ++s) {
        const int index = optionIndex.value(s - 1, -1);
        settings.positions.append(index);
        settings.entries.append(
            config.HasEntry(s, index)
                ? std::optional<ConfigEntry>(config.sections.at(s).entries.at(index))
                : std::nullopt);
    }
    return settings;
}

std::optional<QList<int>> ProfileSettings::Positions(const LauncherConfig &config,
                                                     QString *missing) const
{
    QList<int> positions;
    for (int s = 1; s <= OptionSectionCount; ++s) {
        const std::optional<ConfigEntry> &entry = entries.value(s - 1);
        if (!entry) {
            positions.append(this->positions.value(s - 1, -1));
            continue;
        }
        const int found =
            s < config.sections.size() ? int(config.sections.at(s).entries.indexOf(*entry)) : -1;
        if (found < 0) {
            if (missing)
                *missing = entry->name;
            return std::nullopt;
        }
        positions.append(found);
    }
    return positions;
}

bool ProfileSettings::Matches(const LauncherConfig &config, const LauncherProfile &profile) const
{
    for (int s = 1; s <= OptionSectionCount; ++s) {
        const int index = profile.optionIndex.value(s - 1, -1);
        const std::optional<ConfigEntry> &entry = entries.value(s - 1);
        const bool has = config.HasEntry(s, index);
        if (has != entry.has_value())
            return false;
        if (has ? !(config.sections.at(s).entries.at(index) == *entry)
                : index != positions.value(s - 1, -1))
            return false;
    }
    return SameArguments(arguments, profile.arguments);
}

ProfileDocument::ProfileDocument(QObject *parent) : QObject(parent)
{
    Init();
}

ProfileDocument::ProfileDocument(const QString &userPath, const QString &defaultPath,
                                 QObject *parent)
    : QObject(parent), store(userPath, defaultPath)
{
    Init();
}

void ProfileDocument::Init()
{
    history = new QUndoStack(this);
    history->setUndoLimit(HistoryLimit);
    connect(&store, &ConfigStore::saved, this, &ProfileDocument::OnSaved);
    connect(&store, &ConfigStore::userFileChanged, this, &ProfileDocument::TakeInOutsideChange);
}

ProfileDocument::~ProfileDocument()
{
    // The steps go before the model they name.
    delete history;
    history = nullptr;
}

ConfigStore::ReadResult ProfileDocument::Read(const QString &path, bool isUserFile,
                                              PendingProfiles *later)
{
    ConfigStore::ReadResult read = store.Read(path, isUserFile, later);
    // An out-of-date default file comes with the defaults-only model to use instead.
    if (read.status == ConfigStore::ReadResult::Loaded ||
        (read.status == ConfigStore::ReadResult::OutOfDate && !isUserFile))
        config = savedConfig = read.config;
    return read;
}

void ProfileDocument::TakeStartupProfiles(PendingProfiles &pending)
{
    if (pending.Pending()) {
        config.profiles = pending.Take();
        savedConfig = config;
    }
}

void ProfileDocument::StartWatching()
{
    store.WatchUserFile();
}

std::optional<ProfileDocument::Expected> ProfileDocument::ExpectedOf(const QString &name) const
{
    const int row = config.FindProfile(name);
    if (row < 0)
        return std::nullopt;
    return Expected{name, ProfileSettings::Of(config, config.profiles.at(row))};
}

void ProfileDocument::Push(ProfileCommand *command)
{
    history->push(command);
}

ProfileDocument::EditResult ProfileDocument::AddProfile(const QString &name,
                                                        const ProfileSettings &settings)
{
    if (config.FindProfile(name) >= 0)
        return EditResult::NameTaken;
    if (!settings.Positions(config))
        return EditResult::Missing;
    Push(new AddProfileCommand(this, name, settings));
    return EditResult::Done;
}

ProfileDocument::EditResult
ProfileDocument::UpdateProfile(const QString &name, const ProfileSettings &settings,
                               const std::optional<ProfileSettings> &expected)
{
    const int row = config.FindProfile(name);
    if (row < 0 || !settings.Positions(config))
        return EditResult::Missing;
    if (expected && !expected->Matches(config, config.profiles.at(row)))
        return EditResult::Changed;
    const ProfileSettings before = ProfileSettings::Of(config, config.profiles.at(row));
    Push(new UpdateProfileCommand(this, name, before, settings));
    return EditResult::Done;
}

ProfileDocument::EditResult
ProfileDocument::RemoveProfile(const QString &name, const std::optional<ProfileSettings> &expected)
{
    const int row = config.FindProfile(name);
    if (row < 1)
        return EditResult::Missing;
    if (expected && !expected->Matches(config, config.profiles.at(row)))
        return EditResult::Changed;
    Push(
        new RemoveProfileCommand(this, name, ProfileSettings::Of(config, config.profiles.at(row))));
    return EditResult::Done;
}

ProfileDocument::Removal ProfileDocument::RemoveProfiles(const QList<Expected> &which)
{
    Removal removal;
    QList<Expected> there;
    const QHash<QString, int> rows = config.ProfileRows();
    QSet<QString> seen;
    for (const Expected &profile : which) {
        if (seen.contains(profile.name))
            continue;
        seen.insert(profile.name);
        const int row = rows.value(profile.name, -1);
        // The first profile is never removed.
        if (row == 0)
            continue;
        if (row < 0)
            removal.gone.append(profile.name);
        else if (!profile.settings.Matches(config, config.profiles.at(row)))
            removal.changed.append(profile.name);
        else
            there.append(profile);
    }
    if (there.size() == 1)
        Push(new RemoveProfileCommand(this, there.first().name, there.first().settings));
    else if (!there.isEmpty())
        Push(new RemoveProfilesCommand(this, there));
    for (const Expected &profile : std::as_const(there))
        removal.removed.append(profile.name);
    return removal;
}

ProfileDocument::EditResult
ProfileDocument::RenameProfile(const QString &name, const QString &newName,
                               const std::optional<ProfileSettings> &expected)
{
    const int row = config.FindProfile(name);
    if (row < 0)
        return EditResult::Missing;
    if (config.FindProfile(newName) >= 0)
        return EditResult::NameTaken;
    if (expected && !expected->Matches(config, config.profiles.at(row)))
        return EditResult::Changed;
    Push(new RenameProfileCommand(this, name, newName,
                                  ProfileSettings::Of(config, config.profiles.at(row))));
    return EditResult::Done;
}

ProfileDocument::EditResult ProfileDocument::MoveProfile(const QString &name, int to)
{
    const int from = config.FindProfile(name);
    if (from < 1)
        return EditResult::Missing;
    if (to >= 1 && to < config.profiles.size() && to != from)
        Push(new MoveProfileCommand(this, name, to));
    return EditResult::Done;
}

void ProfileDocument::AddOption(int section, const ConfigEntry &entry)
{
    if (section >= 1 && section <= OptionSectionCount && section < config.sections.size())
        Push(new AddOptionCommand(this, section, entry));
}

ProfileDocument::EditResult
ProfileDocument::RemoveOption(int section, const ConfigEntry &entry,
                              const std::optional<QList<Expected>> &users)
{
    if (section < 1 || section > OptionSectionCount || section >= config.sections.size())
        return EditResult::Missing;
    const int index = int(config.sections.at(section).entries.indexOf(entry));
    if (index < 1)
        return EditResult::Missing;
    QList<Expected> inUse;
    for (const LauncherProfile &profile : std::as_const(config.profiles)) {
        if (profile.optionIndex.value(section - 1, -1) == index)
            inUse.append({profile.name, ProfileSettings::Of(config, profile)});
    }
    if (users) {
        // Exactly the profiles the question named, each as it stood: the removal changes them.
        QHash<QString, ProfileSettings> asked;
        for (const Expected &user : *users)
            asked.insert(user.name, user.settings);
        if (asked.size() != inUse.size())
            return EditResult::Changed;
        for (const Expected &user : std::as_const(inUse)) {
            const auto question = asked.constFind(user.name);
            if (question == asked.cend() ||
                !question->Matches(config, config.profiles.at(config.FindProfile(user.name))))
                return EditResult::Changed;
        }
    }
    Push(new RemoveOptionCommand(this, section, entry, inUse));
    return EditResult::Done;
}

ProfileDocument::EditResult
ProfileDocument::AddDeviceProfile(const DeviceSpec &device, bool landscape, bool replace,
                                  const std::optional<ProfileSettings> &expected)
{
    const QString name = DeviceProfileName(device, landscape);
    const int existing = config.FindProfile(name);
    if (replace ? existing < 0 : existing >= 0)
        return replace ? EditResult::Missing : EditResult::NameTaken;
    if (replace && expected && !expected->Matches(config, config.profiles.at(existing)))
        return EditResult::Changed;
    // The entries the device needs, found by value or added, worked out on a copy.
    LauncherConfig probe = config;
    const DeviceEntries entries = EnsureDeviceEntries(probe, device, landscape);
    const ConfigEntry resolution =
        probe.sections.at(SectionResolution).entries.at(entries.resolution);
    const ConfigEntry density = probe.sections.at(SectionPixelDensity).entries.at(entries.density);
    ProfileSettings settings =
        ProfileSettings::Of(probe, {entries.resolution, entries.density, 0}, QString());

    auto *group = new GroupCommand(
        this, ProfileCommand::tr("New Profile from Device %1").arg(ProfileCommand::Quoted(name)),
        name);
    if (entries.resolutionAdded)
        group->Add(new AddOptionCommand(this, SectionResolution, resolution));
    if (entries.densityAdded)
        group->Add(new AddOptionCommand(this, SectionPixelDensity, density));
    if (existing >= 0)
        group->Add(new UpdateProfileCommand(
            this, name, ProfileSettings::Of(config, config.profiles.at(existing)), settings));
    else
        group->Add(new AddProfileCommand(this, name, settings));
    Push(group);
    return EditResult::Done;
}

void ProfileDocument::Import(const QString &path, const ImportDecider &decide,
                             const ImportDone &done)
{
    ImportOutcome outcome;
    const ConfigLoadResult source = LoadConfigFile(path);
    outcome.read = source.status;
    outcome.readReason = source.reason;
    if (source.status != ConfigLoadResult::Loaded) {
        done(outcome);
        return;
    }
    // The questions first, about the profiles as they are while each is asked; a question
    // lets the window run, so the names are looked up afresh after each one.
    QHash<QString, ImportAnswer> answers;
    QHash<QString, int> rows = config.ProfileRows();
    for (const LauncherProfile &incoming : source.config.profiles) {
        if (!IsStorableProfileName(incoming.name) || answers.contains(incoming.name))
            continue;
        const int row = rows.value(incoming.name, -1);
        if (row < 0)
            continue;
        const ProfileSettings asked = ProfileSettings::Of(config, config.profiles.at(row));
        const QList<LauncherProfile> profilesBefore = config.profiles;
        answers.insert(incoming.name, {decide(incoming.name), asked});
        if (config.profiles.constData() != profilesBefore.constData() ||
            config.profiles.size() != profilesBefore.size())
            rows = config.ProfileRows();
    }
    // Then the answers, to the model as it is once any change made outside meanwhile is in.
    WhenSettled(this, [this, model = source.config, answers, outcome, done] {
        FinishImport(model, answers, outcome, done, 0);
    });
}

void ProfileDocument::FinishImport(const LauncherConfig &source,
                                   const QHash<QString, ImportAnswer> &answers,
                                   ImportOutcome outcome, const ImportDone &done, int attempt)
{
    LauncherConfig merged = config;
    const QHash<QString, int> rows = merged.ProfileRows();
    LauncherConfig incoming = source;
    outcome.notApplied.clear();
    // An answer to replace a profile that is gone by now has nothing left to replace.
    incoming.profiles.removeIf([&](const LauncherProfile &profile) {
        const auto answer = answers.constFind(profile.name);
        if (answer == answers.cend() || rows.contains(profile.name))
            return false;
        if (answer->choice == ImportChoice::Replace)
            outcome.notApplied.append(ProfileCommand::Gone(profile.name));
        return true;
    });
    outcome.report = ImportProfiles(merged, incoming, [&](const QString &name) {
        const auto answer = answers.constFind(name);
        // The file's own second profile of a name: the first is the one the launcher uses.
        if (answer == answers.cend() && !rows.contains(name))
            return ImportChoice::Skip;
        if (answer == answers.cend()) {
            // Made outside while the questions were open: nobody was asked about it.
            outcome.notApplied.append(
                ProfileCommand::tr("the profile %1 was added outside the launcher meanwhile")
                    .arg(ProfileCommand::Quoted(name)));
            return ImportChoice::Skip;
        }
        if (answer->choice == ImportChoice::Skip)
            return ImportChoice::Skip;
        if (!answer->expected.Matches(config, config.profiles.at(rows.value(name)))) {
            outcome.notApplied.append(ProfileCommand::Changed(name));
            return ImportChoice::Skip;
        }
        return ImportChoice::Replace;
    });
    // Those skipped for a reason are not the ones the user skipped.
    outcome.report.skipped.removeIf([&](const QString &name) {
        const auto answer = answers.constFind(name);
        return answer == answers.cend() || answer->choice == ImportChoice::Replace;
    });
    const ImportReport &report = outcome.report;
    if (report.added.isEmpty() && report.replaced.isEmpty() && report.entriesAdded == 0) {
        // Nothing to bring: the file stays as it is, and nothing needs writing.
        outcome.saved.saved = true;
        done(outcome);
        return;
    }
    outcome.saved = store.Save(merged);
    if ((outcome.saved.changedOnDisk || outcome.saved.waiting) && attempt < 3) {
        // Someone wrote the file meanwhile: the answers go into theirs once it has settled.
        store.NoteOutsideChange();
        WhenSettled(this, [=] { FinishImport(source, answers, outcome, done, attempt + 1); });
        return;
    }
    // Nothing half-imported: the model and the file stay as they were.
    if (!outcome.saved.saved) {
        done(outcome);
        return;
    }
    auto *command = new ImportCommand(this, ProfileCommand::tr("Import Profiles"), config, merged,
                                      outcome.report);
    command->SetSaved();
    NoteOwnSave(merged);
    ResetTo(std::move(merged));
    Push(command);
    done(outcome);
}

bool ProfileDocument::Settled() const
{
    return !store.OutsideChangePending();
}

void ProfileDocument::WhenSettled(QObject *context, std::function<void()> action)
{
    if (Settled()) {
        action();
        return;
    }
    const quint64 id = ++nextActionId;
    settledActions.append({context, std::move(action), id});
    // A file that never settles (a program rewriting it all the time) keeps nobody waiting.
    QTimer::singleShot(LaunchWaitMs, this, [this, id] {
        for (qsizetype i = 0; i < settledActions.size(); ++i) {
            if (settledActions.at(i).id != id)
                continue;
            const SettledAction waiting = settledActions.takeAt(i);
            if (waiting.context)
                waiting.action();
            return;
        }
    });
}

void ProfileDocument::RunSettledActions()
{
    while (!settledActions.isEmpty() && Settled()) {
        const SettledAction waiting = settledActions.takeFirst();
        if (waiting.context)
            waiting.action();
    }
}

bool ProfileDocument::WriteAll()
{
    // Closing, or the session asking for the data: nobody is there to answer a message.
    const QScopedValueRollback<bool> quiet(tellSaveFailures, false);
    const QDeadlineTimer deadline(CloseWaitMs);
    store.FinishSaves();
    for (;;) {
        // Someone else's change is waited for while it settles, within the bound; after it,
        // what is there is taken in as it is, and the model is written over whatever the file
        // is doing by then.
        while (store.OutsideChangePending() && !deadline.hasExpired()) {
            QThread::msleep(20);
            store.CheckUserFile();
        }
        const bool late = deadline.hasExpired();
        if (store.OutsideChangePending()) {
            ConfigStore::ReadResult read = store.ReadChangedUserFile();
            if (read.status == ConfigStore::ReadResult::Changing)
                read = store.ReadUserFileOnce(0);
            // A file cut off by a writer that stopped is not merged into: the model, made from
            // the last whole file and the changes since, takes its place.
            if (read.status != ConfigStore::ReadResult::Loaded || read.complete)
                TakeIn(std::move(read));
            else
                heldCutOff = true;
        }
        if (heldCutOff) {
            // Nothing changed here: the cut-off file is left to whoever writes it.
            if (!saveWanted && config.profiles == savedConfig.profiles &&
                SameEntries(config, savedConfig))
                return false;
            store.HoldUserFile(false);
            qCWarning(lcLauncher).noquote()
                << QStringLiteral("%1 is cut off; the whole configuration is written over it")
                       .arg(store.UserPath());
        }
        saveWanted = false;
        lastSave = store.Save(config, late || heldCutOff);
        if (lastSave.saved) {
            NoteOwnSave(config);
            return true;
        }
        if (!lastSave.changedOnDisk && !lastSave.waiting)
            return false;
        // Changed under the save: taken in (once settled, within the bound) and saved again.
        store.NoteOutsideChange();
    }
}

void ProfileDocument::WaitForSaves()
{
    // A save that found the file changed by someone else waits for that change to settle; a
    // few rounds finish what is written meanwhile.
    for (int round = 0; round < 3 && store.Saving(); ++round)
        store.FinishSaves();
}

void ProfileDocument::SaveChanges()
{
    // Someone else's change comes first: this one goes into their file once it is taken in.
    if (store.OutsideChangePending()) {
        saveWanted = true;
        return;
    }
    store.SaveInBackground(config);
}

void ProfileDocument::OnSaved(const ConfigSaveResult &result, const LauncherConfig &written)
{
    lastSave = result;
    if (result.saved) {
        NoteOwnSave(written);
        return;
    }
    // Someone else changed the file since it was read: this change goes into theirs.
    if (result.changedOnDisk || result.waiting) {
        saveWanted = true;
        store.NoteOutsideChange();
        return;
    }
    // Once until a save succeeds again: every change of a session on a full disk would
    // otherwise ask to be clicked away.
    if (result.firstFailure && tellSaveFailures)
        emit saveFailed(store.UserPath(), result.reason);
}

void ProfileDocument::NoteOwnSave(const LauncherConfig &written)
{
    // A run of saves keeps what the file was before each; a few are enough for any program
    // that reads, changes and renames within the grace time.
    constexpr qsizetype KeptStates = 4;
    if (ownSavesRecent.hasExpired())
        beforeOwnSaves.clear();
    beforeOwnSaves.append(savedConfig);
    if (beforeOwnSaves.size() > KeptStates)
        beforeOwnSaves.removeFirst();
    ownSavesRecent.setRemainingTime(OwnSaveGraceMs);
    savedConfig = written;
}

void ProfileDocument::TakeInOutsideChange()
{
    // What was saved meanwhile is part of what it compares with.
    store.FinishSaves();
    TakeIn(store.ReadChangedUserFile());
}

void ProfileDocument::TakeIn(ConfigStore::ReadResult read)
{
    switch (read.status) {
    case ConfigStore::ReadResult::Changing:
        // Written again while it was read: the store looks once more when it has settled.
        return;
    case ConfigStore::ReadResult::Loaded: {
        if (!read.complete) {
            // Cut off, and left so longer than any writer pauses: merged into, it would take
            // every option list along. The changes here wait for a whole file, and the window
            // keeps the last whole one.
            store.HoldUserFile(true);
            heldCutOff = true;
            if (!outsideProblemShown) {
                outsideProblemShown = true;
                emit outsideChangeUnusable(
                    store.UserPath(),
                    tr("it ends in the middle of a line or lacks a section, as a file that "
                       "another program has not finished writing does"));
            }
            break;
        }
        store.HoldUserFile(false);
        heldCutOff = false;
        outsideProblemShown = false;
        // The change made here since the last save, applied to what is on disk now.
        saveWanted = false;
        LauncherConfig theirs = std::move(read.config);
        LauncherConfig merged = theirs;
        QStringList notKept;
        // Right after a save of ours, theirs may be built on the file before it: what the saves
        // brought is applied first (where theirs has it already, nothing changes), then what
        // changed here since.
        if (!ownSavesRecent.hasExpired()) {
            // The newest of the saved states their file has seen is what it was built on.
            qsizetype built = beforeOwnSaves.size();
            while (built > 0 &&
                   !ChangeSeenIn(merged, beforeOwnSaves.at(built - 1),
                                 built < beforeOwnSaves.size() ? beforeOwnSaves.at(built)
                                                               : savedConfig))
                --built;
            if (built < beforeOwnSaves.size())
                ApplyModelChange(merged, beforeOwnSaves.at(built), savedConfig, &notKept);
        }
        ApplyModelChange(merged, savedConfig, config, &notKept);
        beforeOwnSaves.clear();
        // The file holds theirs: what differs from it is still to be saved.
        const bool toSave = merged.profiles != theirs.profiles || !SameEntries(merged, theirs);
        ResetTo(std::move(merged));
        savedConfig = std::move(theirs);
        if (toSave)
            SaveChanges();
        if (!notKept.isEmpty())
            emit changesNotKept(notKept.join(QLatin1Char('\n')));
        break;
    }
    case ConfigStore::ReadResult::Missing:
        // Removed: the profiles here make it again.
        store.HoldUserFile(false);
        store.AcceptDiskState();
        saveWanted = false;
        SaveChanges();
        break;
    case ConfigStore::ReadResult::Unreadable:
    case ConfigStore::ReadResult::OutOfDate:
        if (read.empty) {
            // Emptied and left so for the settle time: nothing of anyone's is lost by writing
            // the profiles here.
            store.HoldUserFile(false);
            saveWanted = false;
            SaveChanges();
            break;
        }
        // Saves wait until it can be read again; the next change of the file is read as usual.
        store.HoldUserFile(true);
        heldCutOff = false;
        if (!outsideProblemShown) {
            outsideProblemShown = true;
            emit outsideChangeUnusable(store.UserPath(),
                                       read.status == ConfigStore::ReadResult::OutOfDate
                                           ? tr("it is of version %1").arg(read.version)
                                           : read.reason);
        }
        break;
    }
    RunSettledActions();
}

void ProfileDocument::ResetTo(LauncherConfig model)
{
    emit aboutToReset();
    config = std::move(model);
    emit reset();
}
