#include "profiledocument.h"

#include "devicecatalogue.h"
#include "profilecommands.h"

#include <QScopedValueRollback>
#include <QTimer>
#include <QUndoStack>

namespace {

// Steps kept for undo: an import keeps two models, everything else a few names.
constexpr int HistoryLimit = 1000;

bool SameEntries(const LauncherConfig &a, const LauncherConfig &b)
{
    for (int s = 1; s < SectionCount; ++s) {
        if (a.sections.value(s).entries != b.sections.value(s).entries)
            return false;
    }
    return true;
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
    unreadableSettle = new QTimer(this);
    unreadableSettle->setSingleShot(true);
    unreadableSettle->setInterval(200);
    connect(unreadableSettle, &QTimer::timeout, this, &ProfileDocument::OnUnreadableSettled);
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
    connect(&store, &ConfigStore::userFileChanged, this, &ProfileDocument::TakeInOutsideChange,
            Qt::UniqueConnection);
    store.WatchUserFile();
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

ProfileDocument::EditResult ProfileDocument::UpdateProfile(const QString &name,
                                                           const ProfileSettings &settings)
{
    const int row = config.FindProfile(name);
    if (row < 0 || !settings.Positions(config))
        return EditResult::Missing;
    const ProfileSettings before = ProfileSettings::Of(config, config.profiles.at(row));
    Push(new UpdateProfileCommand(this, name, before, settings));
    return EditResult::Done;
}

ProfileDocument::EditResult ProfileDocument::RemoveProfile(const QString &name)
{
    if (config.FindProfile(name) < 1)
        return EditResult::Missing;
    Push(new RemoveProfileCommand(this, name));
    return EditResult::Done;
}

ProfileDocument::EditResult ProfileDocument::RemoveProfiles(const QStringList &names)
{
    QStringList there;
    for (const QString &name : names) {
        if (config.FindProfile(name) >= 1 && !there.contains(name))
            there.append(name);
    }
    if (there.size() <= 1)
        return there.isEmpty() ? EditResult::Missing : RemoveProfile(there.first());
    auto *group = new GroupCommand(
        this, ProfileCommand::tr("Remove %n profiles", nullptr, int(there.size())), QString());
    for (const QString &name : std::as_const(there))
        new RemoveProfileCommand(this, name, group);
    Push(group);
    return EditResult::Done;
}

ProfileDocument::EditResult ProfileDocument::RenameProfile(const QString &name,
                                                           const QString &newName)
{
    if (config.FindProfile(name) < 0)
        return EditResult::Missing;
    if (config.FindProfile(newName) >= 0)
        return EditResult::NameTaken;
    Push(new RenameProfileCommand(this, name, newName));
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

ProfileDocument::EditResult ProfileDocument::RemoveOption(int section, const ConfigEntry &entry)
{
    if (section < 1 || section > OptionSectionCount || section >= config.sections.size() ||
        config.sections.at(section).entries.indexOf(entry) < 1)
        return EditResult::Missing;
    Push(new RemoveOptionCommand(this, section, entry));
    return EditResult::Done;
}

ProfileDocument::EditResult ProfileDocument::AddDeviceProfile(const DeviceSpec &device,
                                                              bool landscape, bool replace)
{
    const QString name = DeviceProfileName(device, landscape);
    const int existing = config.FindProfile(name);
    if (replace ? existing < 0 : existing >= 0)
        return replace ? EditResult::Missing : EditResult::NameTaken;
    // The entries the device needs, found by value or added, worked out on a copy.
    LauncherConfig probe = config;
    const DeviceEntries entries = EnsureDeviceEntries(probe, device, landscape);
    const ConfigEntry resolution =
        probe.sections.at(SectionResolution).entries.at(entries.resolution);
    const ConfigEntry density = probe.sections.at(SectionPixelDensity).entries.at(entries.density);
    ProfileSettings settings =
        ProfileSettings::Of(probe, {entries.resolution, entries.density, 0}, QString());

    auto *group = new GroupCommand(this,
                                   ProfileCommand::tr("New Profile from Device %1")
                                       .arg(ProfileCommand::tr("\"%1\"").arg(name)),
                                   name);
    if (entries.resolutionAdded)
        new AddOptionCommand(this, SectionResolution, resolution, group);
    if (entries.densityAdded)
        new AddOptionCommand(this, SectionPixelDensity, density, group);
    if (existing >= 0)
        new UpdateProfileCommand(
            this, name, ProfileSettings::Of(config, config.profiles.at(existing)), settings, group);
    else
        new AddProfileCommand(this, name, settings, group);
    Push(group);
    return EditResult::Done;
}

ProfileDocument::ImportOutcome ProfileDocument::Import(const QString &path,
                                                       const ImportDecider &decide)
{
    ImportOutcome outcome;
    const ConfigLoadResult source = LoadConfigFile(path);
    outcome.read = source.status;
    outcome.readReason = source.reason;
    if (source.status != ConfigLoadResult::Loaded)
        return outcome;
    // Whatever changed on disk first, so that the import goes into the newest file.
    store.FinishSaves();
    if (!store.UserFileUnchanged())
        TakeInOutsideChange();
    LauncherConfig merged = config;
    outcome.report = ImportProfiles(merged, source.config, decide);
    outcome.saved = store.Save(merged);
    // Nothing half-imported: the model and the file stay as they were.
    if (!outcome.saved.saved)
        return outcome;
    savedConfig = merged;
    const ImportReport &report = outcome.report;
    auto *command = new ModelChangeCommand(this, ProfileCommand::tr("Import Profiles"), config,
                                           std::move(merged), report.First());
    command->SetSaved();
    Push(command);
    return outcome;
}

bool ProfileDocument::WriteAll()
{
    // Closing, or the session asking for the data: nobody is there to answer a message.
    const QScopedValueRollback<bool> quiet(tellSaveFailures, false);
    lastSave = {};
    store.SaveInBackground(config);
    WaitForSaves();
    return lastSave.saved;
}

void ProfileDocument::WaitForSaves()
{
    // A save that found the file changed by someone else takes that file in and saves again;
    // a few rounds are enough for anything but a program rewriting the file all the time.
    for (int round = 0; round < 3 && store.Saving(); ++round)
        store.FinishSaves();
}

void ProfileDocument::SaveChanges()
{
    store.SaveInBackground(config);
}

void ProfileDocument::OnSaved(const ConfigSaveResult &result, const LauncherConfig &written)
{
    lastSave = result;
    if (result.saved) {
        savedConfig = written;
        return;
    }
    // Someone else changed the file since it was read: this change goes into theirs.
    if (result.changedOnDisk) {
        TakeInOutsideChange();
        return;
    }
    // Once until a save succeeds again: every change of a session on a full disk would
    // otherwise ask to be clicked away.
    if (result.firstFailure && tellSaveFailures)
        emit saveFailed(store.UserPath(), result.reason);
}

void ProfileDocument::TakeInOutsideChange()
{
    // What was saved meanwhile is part of what it compares with.
    store.FinishSaves();
    ConfigStore::ReadResult read = store.ReadChangedUserFile();
    switch (read.status) {
    case ConfigStore::ReadResult::Loaded: {
        store.HoldUserFile(false);
        outsideProblemShown = false;
        // The change made here since the last save, applied to what is on disk now.
        const bool changedHere =
            config.profiles != savedConfig.profiles || !SameEntries(config, savedConfig);
        LauncherConfig merged = std::move(read.config);
        ApplyModelChange(merged, savedConfig, config);
        ResetTo(std::move(merged));
        savedConfig = config;
        if (changedHere)
            SaveChanges();
        return;
    }
    case ConfigStore::ReadResult::Missing:
        // Removed: the profiles here make it again.
        store.HoldUserFile(false);
        store.AcceptDiskState();
        SaveChanges();
        return;
    case ConfigStore::ReadResult::Unreadable:
    case ConfigStore::ReadResult::OutOfDate:
        // An editor that saves by truncating and writing shows an empty or half-written file
        // for a moment: saves wait, and the file is judged once it has stopped changing.
        store.HoldUserFile(true);
        heldFile = {read.empty, read.status == ConfigStore::ReadResult::OutOfDate && !read.empty
                                    ? tr("it is of version %1").arg(read.version)
                                    : read.reason};
        unreadableSettle->start();
        return;
    }
}

void ProfileDocument::OnUnreadableSettled()
{
    if (!store.HoldsUserFile())
        return;
    // Changed again since it was read: read it again.
    if (!store.UserFileUnchanged()) {
        TakeInOutsideChange();
        return;
    }
    if (heldFile.empty) {
        // Emptied and left so: nothing of anyone's is lost by writing the profiles here.
        store.HoldUserFile(false);
        SaveChanges();
        return;
    }
    // Saves wait until it can be read again; the next change of the file is read as usual.
    if (!outsideProblemShown) {
        outsideProblemShown = true;
        emit outsideChangeUnusable(store.UserPath(), heldFile.reason);
    }
}

void ProfileDocument::ResetTo(LauncherConfig model)
{
    emit aboutToReset();
    config = std::move(model);
    emit reset();
}
