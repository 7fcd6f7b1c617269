#pragma once

#include "commandline.h"
#include "configstore.h"
#include "devicecatalogue.h"
#include "launcherconfig.h"
#include "profileexchange.h"

#include <QHash>
#include <QMainWindow>

#include <functional>

class RunningEmulatorsView;
class ProfileListActions;
struct LaunchRecord;
class ProfileQListWidget;
class QDialogButtonBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimer;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Loads the configuration first; when neither the user's nor the default file can be read
    // it tells the user and ends the process with exit code 1.
    explicit MainWindow(QWidget *parent = nullptr);
    // Writes the configuration back to the user's Launcher.ini.
    ~MainWindow() override;

    // With `later`, the profiles of a long file are read on a thread of their own (see
    // LoadConfigFile): the window is built from their names meanwhile.
    bool ReadConfig(const QString &path, bool isUserFile, PendingProfiles *later = nullptr);
    // Moves the out-of-date user file aside without overwriting anything and returns the path
    // it was moved to (or, when `renamed` comes back false, the path it could not be moved to).
    QString RenameOutdatedConfig(int version, bool *renamed = nullptr);
    // Writes the model and waits until it and every save before it is on disk. False when
    // there is nothing to write, the user's file is not to be written over, or it could not be
    // written. Says nothing to the user: it runs as the window closes.
    bool WriteConfig();
    // Returns once every change made so far has been written (or has failed to be), its
    // result taken in.
    void WaitForSaves();

    void UpdateAddUpdateButton();
    QString CurrentValueText() const;
    // What "&Launch" would start now: the program and each argument as the emulator gets it.
    SplitCommand CurrentCommand() const;

    // "[PixelDensity]" gives "Pixel Density", or "pixel density" with `lowerCase`. The text is
    // the header's own; the window translates it for display.
    static QString SectionLabel(const QString &header, bool lowerCase);

    const LauncherConfig &Config() const { return config; }
    ProfileListActions *ListActions() const { return listActions; }
    RunningEmulatorsView *Running() const { return running; }
    QString UserConfigPath() const { return store.UserPath(); }
    // Whether saves wait for a changed Launcher.ini that cannot be read at the moment.
    bool SavesHeld() const { return store.HoldsUserFile(); }

    // What the arguments line stands for: its text, or the whole stored text that it shows cut.
    QString CurrentArguments() const;
    // False, after telling the user, when the arguments hold a word that Launcher.ini would
    // read back as an option.
    bool ArgumentsCanBeStored(const QString &title);
    // Stores the window's options and arguments under a name the user gives: a new profile at
    // the end of the list, or an existing one the user agrees to replace.
    void StoreWindowAsNewProfile(const QString &title, const QString &label,
                                 const QString &suggestion);
    // Adds a profile for the device at the end of the list (with its resolution and density,
    // found by value or appended), or replaces the profile of that name if the user agrees;
    // selects it and saves. False when the user declined to replace.
    bool AddDeviceProfile(const DeviceSpec &device, bool landscape);
    using ImportDecider = std::function<ImportChoice(const QString &name)>;
    // Merges the profiles of the Launcher.ini-format file at `path`; `decide` answers for a
    // name that exists. Saved at once; nothing changes when the save fails.
    void ImportProfilesFrom(const QString &path, const ImportDecider &decide);
    // Moves the profile at `from` to `to` (never to or from the first place), keeping what the
    // widgets show, and saves the order.
    void MoveProfile(int from, int to);
    // Gives the profile named `oldName` another name (one no other profile has) and saves;
    // says so when either no longer holds (the file changed outside meanwhile).
    void RenameProfile(const QString &oldName, const QString &name);

public slots:
    void OnProfileChanged(int index);
    void OnAddUpdateProfile();
    void OnRemoveProfile();
    void OnResolution(int index);
    void OnAddResolution();
    void OnRemoveResolution();
    void OnPixelDensity(int index);
    void OnAddPixelDensity();
    void OnRemovePixelDensity();
    void OnInput();
    void OnTextCtrlEdit();
    void OnHelp();
    void OnLaunch();

private:
    // Someone else changed Launcher.ini: their file is read again, the window's change since
    // the last save is applied to it and saved, and the window shows the result, keeping the
    // selected profile (by name) and what was typed. A file that cannot be read holds the saves
    // until it can; it is told of once it stays so (OnUnreadableSettled).
    void TakeInOutsideChange();
    // The user's file, unreadable when it was last read, has not changed for a moment.
    void OnUnreadableSettled();
    // A background save ended.
    void OnSaved(const ConfigSaveResult &result, const LauncherConfig &written);
    // Shows `model` in the window's widgets, keeping the selection and unsaved edits.
    void AdoptConfig(LauncherConfig model);
    static bool SameEntries(const LauncherConfig &a, const LauncherConfig &b);
    // The row of the profile named `name`, found again after a question; -1, after telling the
    // user, when an outside edit took it away meanwhile.
    int ProfileStillThere(const QString &title, const QString &name);
    void RemoveSelectedOption(int section);
    // Saves the model after a change, in the background; OnSaved tells the user once when
    // changes cannot be saved.
    void SaveChanges();
    QList<int> CurrentOptionIndexes() const;
    void AddOption(int section, const QString &name, const QString &value);

    // The steps of construction, in creation order: the group box with the profile list, the
    // option rows and the arguments line; then the "&Help" and "&Launch" buttons.
    QGroupBox *BuildProfileGroup();
    struct OptionRow;
    QGridLayout *BuildOptionRow(const OptionRow &row);
    QDialogButtonBox *BuildButtonBox();
    static const OptionRow optionRows[];

    LauncherConfig config;
    ProfileQListWidget *profileList = nullptr;
    QPushButton *addUpdateButton = nullptr;
    QPushButton *removeProfileButton = nullptr;
    QLineEdit *argumentsEdit = nullptr;
    QLineEdit *filterEdit = nullptr;
    QPushButton *removeResolutionButton = nullptr;
    QPushButton *removePixelDensityButton = nullptr;
    QPushButton *launchButton = nullptr;
    ProfileListActions *listActions = nullptr;
    // Where the configuration is read from and saved to, and what the run learnt about it.
    ConfigStore store;
    // The model as it was last read or saved: what the window changed since is its difference
    // to `config`.
    LauncherConfig savedConfig;
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
    RunningEmulatorsView *running = nullptr;
    // The profiles of a long Launcher.ini while they are read during start-up.
    PendingProfiles startupProfiles;
    // The selected profile's arguments while the line shows them cut (and is read-only).
    QString shownArgumentsWhole;
};
