#include "profiledocument.h"

#include "devicecatalogue.h"
#include "diagnostics.h"
#include "groupcommands.h"
#include "optioncommands.h"
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

static QString EntryKey(const ConfigEntry &entry)
{
    return entry.name + QChar(0) + entry.value;
}

EntryPositions::EntryPositions(const LauncherConfig &config)
{
    bySection.resize(config.sections.size());
    for (qsizetype s = 1; s < config.sections.size(); ++s) {
        const QList<ConfigEntry> &entries = config.sections.at(s).entries;
        QHash<QString, int> &positions = bySection[s];
        positions.reserve(entries.size());
        // The first of two alike wins, as a walk of the list finds it.
        for (qsizetype i = entries.size() - 1; i >= 0; --i)
            positions.insert(EntryKey(entries.at(i)), int(i));
    }
}

int EntryPositions::Find(int section, const ConfigEntry &entry) const
{
    return section < bySection.size() ? bySection.at(section).value(EntryKey(entry), -1) : -1;
}

std::optional<QList<int>> ProfileSettings::Positions(const LauncherConfig &config, QString *missing,
                                                     const EntryPositions *index) const
{
    QList<int> positions;
    for (int s = 1; s <= OptionSectionCount; ++s) {
        const std::optional<ConfigEntry> &entry = entries.value(s - 1);
        if (!entry) {
            positions.append(this->positions.value(s - 1, -1));
            continue;
        }
        const int found = index ? index->Find(s, *entry)
                          : s < config.sections.size()
                              ? int(config.sections.at(s).entries.indexOf(*entry))
                              : -1;
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
    saveSoon = new QTimer(this);
    saveSoon->setSingleShot(true);
    saveSoon->setInterval(SaveSoonMs);
    connect(saveSoon, &QTimer::timeout, this, &ProfileDocument::SaveChanges);
    connect(&store, &ConfigStore::saved, this, &ProfileDocument::OnSaved);
    connect(&store, &ConfigStore::userFileChanged, this, &ProfileDocument::TakeInOutsideChange);
}

ProfileDocument::~ProfileDocument()
{
    // A run of moves not yet written is written before the store waits for its saves.
    SaveNowIfSoon();
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
    BoundHistory();
}

void ProfileDocument::BoundHistory()
{
    // The history holds a thousand steps, and its memory is bounded too: a thousand imports of
    // 20,000 profiles would keep gigabytes. The oldest steps let go of what they keep until the
    // rest fits; the newest always keeps its own.
    QList<ProfileCommand *> steps;
    qsizetype total = 0;
    for (int i = 0; i < history->count(); ++i) {
        auto *step =
            const_cast<ProfileCommand *>(dynamic_cast<const ProfileCommand *>(history->command(i)));
        if (!step || step->Released())
            continue;
        steps.append(step);
        total += step->Weight();
    }
    for (qsizetype i = 0; i + 1 < steps.size() && total > historyBytes; ++i) {
        total -= steps.at(i)->Weight();
        steps.at(i)->LetGo();
    }
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

void ProfileDocument::ReplaceModel(LauncherConfig model)
{
    emit aboutToReset();
    config = std::move(model);
    emit reset();
}

void ProfileDocument::InsertProfileAt(int row, const LauncherProfile &profile)
{
    config.profiles.insert(row, profile);
    emit profileInserted(row);
}

void ProfileDocument::RemoveProfileAt(int row)
{
    const QString name = config.profiles.at(row).name;
    config.RemoveProfile(row);
    emit profileRemoved(row, name);
}

void ProfileDocument::SetProfileAt(int row, const QList<int> &optionIndex, const QString &arguments)
{
    LauncherProfile &profile = config.profiles[row];
    profile.optionIndex = optionIndex;
    profile.arguments = arguments;
    emit profileChanged(row);
}

void ProfileDocument::MoveProfileAt(int from, int to)
{
    config.profiles.move(from, to);
    emit profileMoved(from, to);
}

void ProfileDocument::RenameProfileAt(int row, const QString &name)
{
    const QString oldName = config.profiles.at(row).name;
    config.RenameProfile(row, name);
    emit profileRenamed(row, oldName);
}

void ProfileDocument::InsertEntryAt(int section, int index, const ConfigEntry &entry)
{
    config.InsertEntry(section, index, entry);
    emit optionInserted(section, index);
}

void ProfileDocument::RemoveEntryAt(int section, int index)
{
    QList<int> rows;
    for (int row = 0; row < config.profiles.size(); ++row) {
        if (config.profiles.at(row).optionIndex.value(section - 1, -1) == index)
            rows.append(row);
    }
    config.RemoveOption(section, index);
    emit optionRemoved(section, index);
    for (const int row : std::as_const(rows))
        emit profileChanged(row);
}
