#pragma once

#include "configstore.h"
#include "launcherconfig.h"
#include "profileexchange.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class ProfileCommand;
class QTimer;
class QUndoStack;
struct DeviceSpec;

// What a profile stores, with each option named by its entry (name and value) rather than its
// position, so that a change made later finds it again however the lists changed meanwhile. A
// position that lies outside its list has no entry and stays a position.
// Where each option entry stands, by name and value: many profiles' settings are found in
// their lists by one look each instead of a walk of the list each.
class EntryPositions
{
public:
    explicit EntryPositions(const LauncherConfig &config);
    // The first position of `entry` in `section`, or -1.
    int Find(int section, const ConfigEntry &entry) const;

private:
    QList<QHash<QString, int>> bySection;
};

struct ProfileSettings
{
    QList<std::optional<ConfigEntry>> entries; // one per option section
    QList<int> positions;                      // used where an entry is none
    QString arguments;

    static ProfileSettings Of(const LauncherConfig &config, const QList<int> &optionIndex,
                              const QString &arguments);
    static ProfileSettings Of(const LauncherConfig &config, const LauncherProfile &profile)
    {
        return Of(config, profile.optionIndex, profile.arguments);
    }
    // The positions in `config`, or nothing when an entry is no longer in its list (`missing`
    // then names it).
    std::optional<QList<int>> Positions(const LauncherConfig &config, QString *missing = nullptr,
                                        const EntryPositions *index = nullptr) const;
    // Whether `profile` of `config` stores these settings: the same entries, the same positions
    // where there are none, and the same arguments as the file keeps them (blanks between
    // words as one).
    bool Matches(const LauncherConfig &config, const LauncherProfile &profile) const;
};

// The profiles as the user edits them: the model, what was last read or saved, the store, and
// every change as a command on the undo history. Commands name their profile and option entry
// by name and value and apply to the model as it is when they run, so that an edit made
// outside the launcher meanwhile never makes one land on another profile; an answered
// question, an undo or a redo applies to a profile only while it still stores what the step
// expects. Everything the widgets show follows the signals; nothing here knows a widget.
class ProfileDocument : public QObject
{
    Q_OBJECT

public:
    // How long a close or a termination signal waits at most for someone else's change of the
    // file to settle before the user's changes are written into what is there by then.
    static constexpr int CloseWaitMs = 2000;
    // How long a launch waits at most for someone else's change to be taken in before it
    // starts what the window shows.
    static constexpr int LaunchWaitMs = 3000;
    // How long after its own save a replacement of the file is taken to come from a program
    // that read the file before that save: long enough for a script's read, change and rename.
    static constexpr int OwnSaveGraceMs = 2000;

    // The user's and the default file at their usual places, or the given ones.
    explicit ProfileDocument(QObject *parent = nullptr);
    ProfileDocument(const QString &userPath, const QString &defaultPath, QObject *parent = nullptr);
    // Waits for the saves under way.
    ~ProfileDocument() override;

    const LauncherConfig &Config() const { return config; }
    ConfigStore &Store() { return store; }
    const ConfigStore &Store() const { return store; }
    QUndoStack *History() const { return history; }
    // How much memory the history may keep (128 MiB): past it, the oldest steps let go of what
    // they keep and can no longer be undone.
    void SetHistoryBytes(qsizetype bytes) { historyBytes = bytes; }

    // Reads `path` (the user's file when `isUserFile`); the model is what it holds when it is
    // loaded, or the defaults-only model of an out-of-date default file. With `later`, a long
    // file's profiles arrive on a thread of their own (TakeStartupProfiles).
    ConfigStore::ReadResult Read(const QString &path, bool isUserFile,
                                 PendingProfiles *later = nullptr);
    void TakeStartupProfiles(PendingProfiles &pending);
    // From here on edits made outside are taken in.
    void StartWatching();

    // A profile as a question showed it to the user: what the answer expects to find.
    struct Expected
    {
        QString name;
        ProfileSettings settings;
    };
    // The profile named `name` as it is now; none when there is none.
    std::optional<Expected> ExpectedOf(const QString &name) const;

    enum class EditResult
    {
        Done,
        Missing,   // the profile or entry named is not there (any more)
        NameTaken, // another profile has the new name
        Changed,   // it no longer stores what the question showed: changed outside since
    };
    EditResult AddProfile(const QString &name, const ProfileSettings &settings);
    // `expected`, when given, is what the profile stored when the user was asked.
    EditResult UpdateProfile(const QString &name, const ProfileSettings &settings,
                             const std::optional<ProfileSettings> &expected = std::nullopt);
    // The first profile is never removed.
    EditResult RemoveProfile(const QString &name,
                             const std::optional<ProfileSettings> &expected = std::nullopt);
    struct Removal
    {
        QStringList removed;
        QStringList gone;    // no longer there
        QStringList changed; // changed outside since the question
    };
    // Several in one step; those no longer there or no longer as expected are left out.
    Removal RemoveProfiles(const QList<Expected> &which);
    EditResult RenameProfile(const QString &name, const QString &newName,
                             const std::optional<ProfileSettings> &expected = std::nullopt);
    // To the row `to` (never the first place); the profile stays the same.
    EditResult MoveProfile(const QString &name, int to);
    void AddOption(int section, const ConfigEntry &entry);
    // Profiles that used it keep its value in their arguments and take the first entry.
    // `users`, when given, are the profiles the question named: Changed when others use it now
    // or one of them changed since.
    EditResult RemoveOption(int section, const ConfigEntry &entry,
                            const std::optional<QList<Expected>> &users = std::nullopt);
    // A profile for the device, its resolution and density found by value or added; with
    // `replace` the profile of that name takes them, else it is added at the end.
    EditResult AddDeviceProfile(const DeviceSpec &device, bool landscape, bool replace,
                                const std::optional<ProfileSettings> &expected = std::nullopt);

    struct ImportOutcome
    {
        ConfigLoadResult::Status read = ConfigLoadResult::Missing;
        QString readReason;
        ConfigSaveResult saved;
        ImportReport report;
        // Profiles the answers could not be applied to: why, one line each.
        QStringList notApplied;
        // The tags, notes, environment and hooks the file carries, by profile name.
        ExtrasMap carried;
    };
    using ImportDecider = std::function<ImportChoice(const QString &name)>;
    using ImportDone = std::function<void(const ImportOutcome &)>;
    // Merges the profiles of the Launcher.ini-format file at `path`: `decide` is asked about
    // each name that exists now; the answers are applied to the model as it is once they are
    // all given and any change made outside meanwhile is taken in, and saved at once. Nothing
    // changes when the file cannot be read or the result cannot be written. `done` is told the
    // outcome (at once when nothing outside is changing).
    void Import(const QString &path, const ImportDecider &decide, const ImportDone &done);

    // Whether the model is the file as it stands: no change made outside is waiting.
    bool Settled() const;
    // Runs `action` once the model is the file as it stands (at once when it is), or after
    // LaunchWaitMs when the file keeps changing; never once `context` is gone.
    void WhenSettled(QObject *context, std::function<void()> action);

    // Saves the model and waits for it and every save before it; false when nothing was
    // written. A change of the file made outside is waited for up to CloseWaitMs and merged.
    // Failures are not signalled: this runs as the window closes.
    bool WriteAll();
    // Returns once every change made so far is written (or failed to be, or waits for a change
    // made outside), its result taken in.
    void WaitForSaves();
    bool SavesHeld() const { return store.HoldsUserFile(); }

    // Someone else changed Launcher.ini: it is read again and the change made here since the
    // last save is applied to it; a file that cannot be read holds the saves until it can.
    void TakeInOutsideChange();

    // The model's primitive changes, for the steps of its history (profilecommands): each
    // changes the model at once and says so by its signal, and none is a step or a save of its
    // own. Anything else asks the edits above, which make steps of them.
    void InsertProfileAt(int row, const LauncherProfile &profile);
    void RemoveProfileAt(int row);
    void SetProfileAt(int row, const QList<int> &optionIndex, const QString &arguments);
    void MoveProfileAt(int from, int to);
    void RenameProfileAt(int row, const QString &name);
    void InsertEntryAt(int section, int index, const ConfigEntry &entry);
    // The profiles that used the entry take the first one.
    void RemoveEntryAt(int section, int index);
    // Everything may change: `reset` follows.
    void ReplaceModel(LauncherConfig model);
    // What a step of the history reports once it applied: its change is saved (after a
    // moment's quiet when `soon`, so that a run of such steps is written once), and, when it
    // was undone or redone, the profiles it concerned are shown; a part that did not apply is
    // told with `what`.
    void SaveStep(bool soon);
    void ShowStep(const QStringList &profiles) { emit stepShown(profiles); }
    void TellStepSkipped(const QString &what) { emit stepSkipped(what); }
    // How long a step that saves `soon` waits for the next one.
    static constexpr int SaveSoonMs = 300;

signals:
    // The model changed; each signal comes once the model is whole again.
    void profileInserted(int row);
    void profileRemoved(int row, const QString &name);
    void profileMoved(int from, int to);
    void profileRenamed(int row, const QString &oldName);
    void profileChanged(int row);
    void optionInserted(int section, int index);
    void optionRemoved(int section, int index);
    // Everything may change (an edit made outside taken in, an import): before, while the old
    // model still stands, and after.
    void aboutToReset();
    void reset();
    // An undone or redone step concerned these profiles: the view may show them.
    void stepShown(const QStringList &names);
    // A step, or a part of it, that no longer applies was left out: `what` says which and why.
    void stepSkipped(const QString &what);
    // Changes made here that a change of the same profile made outside took the place of.
    void changesNotKept(const QString &what);
    void saveFailed(const QString &path, const QString &reason);
    void outsideChangeUnusable(const QString &path, const QString &reason);

private:
    void Init();
    void Push(ProfileCommand *command);
    void SaveChanges();
    void OnSaved(const ConfigSaveResult &result, const LauncherConfig &written);
    void TakeIn(ConfigStore::ReadResult read);
    void RunSettledActions();
    // A save asked for `soon` that has not started: started now.
    void SaveNowIfSoon();
    struct ImportAnswer
    {
        ImportChoice choice = ImportChoice::Skip;
        ProfileSettings expected;
    };
    void FinishImport(const LauncherConfig &source, const QHash<QString, ImportAnswer> &answers,
                      ImportOutcome outcome, const ImportDone &done, int attempt);

    qsizetype historyBytes = qsizetype(128) << 20;
    void BoundHistory();
    LauncherConfig config;
    // The model as it was last read or saved: what changed here since is the difference.
    LauncherConfig savedConfig;
    // The file as it was before each of the saves of the last moments, oldest first: a program
    // that read it then and replaces it now has not seen the saves after, and their changes
    // are applied to its file too.
    QList<LauncherConfig> beforeOwnSaves;
    QDeadlineTimer ownSavesRecent;
    void NoteOwnSave(const LauncherConfig &written);
    ConfigStore store;
    QUndoStack *history = nullptr;
    bool outsideProblemShown = false;
    // Saves wait for a file that another program left cut off (not for an unreadable one).
    bool heldCutOff = false;
    // A change made here waits for someone else's change of the file to be taken in.
    bool saveWanted = false;
    QTimer *saveSoon = nullptr;
    struct SettledAction
    {
        QPointer<QObject> context;
        std::function<void()> action;
        quint64 id = 0;
    };
    QList<SettledAction> settledActions;
    quint64 nextActionId = 0;
    // Off while the window closes: a failing save is then only logged.
    bool tellSaveFailures = true;
    ConfigSaveResult lastSave;
};
