#pragma once

#include "configstore.h"
#include "launcherconfig.h"
#include "profileexchange.h"

#include <QList>
#include <QObject>

#include <functional>
#include <optional>

class ProfileCommand;
class QTimer;
class QUndoStack;
struct DeviceSpec;

// What a profile stores, with each option named by its entry (name and value) rather than its
// position, so that a change made later finds it again however the lists changed meanwhile. A
// position that lies outside its list has no entry and stays a position.
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
    std::optional<QList<int>> Positions(const LauncherConfig &config,
                                        QString *missing = nullptr) const;
};

// The profiles as the user edits them: the model, what was last read or saved, the store, and
// every change as a command on the undo history. Commands name their profile and option entry
// by name and value and apply to the model as it is when they run, so that an edit made
// outside the launcher meanwhile never makes one land on another profile. Everything the
// widgets show follows the signals; nothing here knows a widget.
class ProfileDocument : public QObject
{
    Q_OBJECT

public:
    // The user's and the default file at their usual places, or the given ones.
    explicit ProfileDocument(QObject *parent = nullptr);
    ProfileDocument(const QString &userPath, const QString &defaultPath, QObject *parent = nullptr);
    // Waits for the saves under way.
    ~ProfileDocument() override;

    const LauncherConfig &Config() const { return config; }
    ConfigStore &Store() { return store; }
    const ConfigStore &Store() const { return store; }
    QUndoStack *History() const { return history; }

    // Reads `path` (the user's file when `isUserFile`); the model is what it holds when it is
    // loaded, or the defaults-only model of an out-of-date default file. With `later`, a long
    // file's profiles arrive on a thread of their own (TakeStartupProfiles).
    ConfigStore::ReadResult Read(const QString &path, bool isUserFile,
                                 PendingProfiles *later = nullptr);
    void TakeStartupProfiles(PendingProfiles &pending);
    // From here on edits made outside are taken in.
    void StartWatching();

    enum class EditResult
    {
        Done,
        Missing,   // the profile or entry named is not there (any more)
        NameTaken, // another profile has the new name
    };
    EditResult AddProfile(const QString &name, const ProfileSettings &settings);
    EditResult UpdateProfile(const QString &name, const ProfileSettings &settings);
    // The first profile is never removed.
    EditResult RemoveProfile(const QString &name);
    // Several in one step; those no longer there are left out (Missing when none is).
    EditResult RemoveProfiles(const QStringList &names);
    EditResult RenameProfile(const QString &name, const QString &newName);
    // To the row `to` (never the first place); the profile stays the same.
    EditResult MoveProfile(const QString &name, int to);
    void AddOption(int section, const ConfigEntry &entry);
    // Profiles that used it keep its value in their arguments and take the first entry.
    EditResult RemoveOption(int section, const ConfigEntry &entry);
    // A profile for the device, its resolution and density found by value or added; with
    // `replace` the profile of that name takes them, else it is added at the end.
    EditResult AddDeviceProfile(const DeviceSpec &device, bool landscape, bool replace);

    struct ImportOutcome
    {
        ConfigLoadResult::Status read = ConfigLoadResult::Missing;
        QString readReason;
        ConfigSaveResult saved;
        ImportReport report;
    };
    using ImportDecider = std::function<ImportChoice(const QString &name)>;
    // Merges the profiles of the Launcher.ini-format file at `path`, saved at once: nothing
    // changes when it cannot be read or the result cannot be written.
    ImportOutcome Import(const QString &path, const ImportDecider &decide);

    // Saves the model and waits for it and every save before it; false when nothing was
    // written. Failures are not signalled: this runs as the window closes.
    bool WriteAll();
    // Returns once every change made so far is written (or failed to be), its result taken in.
    void WaitForSaves();
    bool SavesHeld() const { return store.HoldsUserFile(); }

    // Someone else changed Launcher.ini: it is read again and the change made here since the
    // last save is applied to it; a file that cannot be read holds the saves until it can.
    void TakeInOutsideChange();

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
    // An undone or redone step concerned this profile: the view may show it.
    void stepShown(const QString &name);
    // A step that no longer applies was left out of the history: `what` says which and why.
    void stepSkipped(const QString &what);
    void saveFailed(const QString &path, const QString &reason);
    void outsideChangeUnusable(const QString &path, const QString &reason);

private:
    friend class ProfileCommand;

    void Init();
    void Push(ProfileCommand *command);
    void SaveChanges();
    void OnSaved(const ConfigSaveResult &result, const LauncherConfig &written);
    void OnUnreadableSettled();
    void ResetTo(LauncherConfig model);

    LauncherConfig config;
    // The model as it was last read or saved: what changed here since is the difference.
    LauncherConfig savedConfig;
    ConfigStore store;
    QUndoStack *history = nullptr;
    bool outsideProblemShown = false;
    // What the last read of a changed, unreadable user file found; saves are held meanwhile.
    struct HeldFile
    {
        bool empty = false;
        QString reason;
    } heldFile;
    QTimer *unreadableSettle = nullptr;
    // Off while the window closes: a failing save is then only logged.
    bool tellSaveFailures = true;
    ConfigSaveResult lastSave;
};
