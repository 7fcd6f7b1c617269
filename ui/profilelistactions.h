#pragma once

#include "commandline.h"
#include "instances.h"
#include "profiledocument.h"
#include "profileexchange.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSet>

#include <functional>
#include <optional>

struct DeviceSpec;
class ProfileDocument;
class ProfileQListWidget;
class RunningEmulatorsView;
class RunningPanel;
class QAction;
class QLineEdit;
class QPushButton;
class QThread;

// What the profile list does beyond selecting: its context menu and keys (Enter and a double
// click launch, F2 renames, Delete removes, Shift+F10 opens the menu), Duplicate, Rename,
// New Profile from Device, Copy Command Line, import and export, moving, stopping, and undo and
// redo of every change. Changes go to the document; what the window must do (launch, remove,
// store what it shows) it is asked for by a signal.
class ProfileListActions : public QObject
{
    Q_OBJECT

public:
    // `filter` is the field above the list: Ctrl+F reaches it, Escape clears it.
    // `command` gives what a launch would start now.
    ProfileListActions(QWidget *window, ProfileDocument *document, ProfileQListWidget *list,
                       QPushButton *launchButton, QLineEdit *filter, RunningEmulatorsView *running,
                       std::function<SplitCommand()> command);
    ~ProfileListActions() override;

    // "Stop" is for a profile whose emulators run, "Stop All Emulators" while any runs.
    void SetRunningCount(int ofCurrentProfile, int all);

    // Gives the profile named `oldName` another name (one no other profile has); says so when
    // either no longer holds (the file changed outside meanwhile).
    // `asked`, when given, is what it stored when the user was asked: it is renamed only while
    // it still does.
    void RenameProfile(const QString &oldName, const QString &name,
                       const std::optional<ProfileSettings> &asked = std::nullopt);
    // Adds a profile for the device at the end of the list (with its resolution and density,
    // found by value or appended), or replaces the profile of that name if the user agrees;
    // selects it. False when the user declined to replace.
    bool AddDeviceProfile(const DeviceSpec &device, bool landscape);
    using ImportDecider = std::function<ImportChoice(const QString &name)>;
    // Merges the profiles of the Launcher.ini-format file at `path`; `decide` answers for a
    // name that exists. Saved at once; nothing changes when the save fails. The outcome is
    // told once the answers are applied (at once, unless another program is writing the file).
    void ImportProfilesFrom(const QString &path, const ImportDecider &decide);
    // Launch and Remove on a selection of several profiles: each selected profile launched as
    // stored (asked first when more than five), or all removed after one question. False,
    // doing nothing, when only one profile is selected.
    bool LaunchSelection();
    bool RemoveSelection();
    // Moves the profile at row `from` to row `to` (never to or from the first place).
    void MoveProfile(int from, int to);

signals:
    void launchRequested();
    void removeRequested();
    // Duplicate: the window stores what it shows under a name asked with these texts.
    void storeWindowRequested(const QString &title, const QString &label,
                              const QString &suggestion);

public slots:
    void OnDuplicateProfile();
    void OnRenameProfile();
    void OnCopyCommandLine();
    void OnNewProfileFromDevice();
    void OnExportProfiles();
    void OnImportProfiles();
    void OnAddToApplicationsMenu();
    void OnRemoveFromApplicationsMenu();
    void OnStop();
    void OnStopAll();
    void OnShowLog();
    // Opens the Running Emulators window, or raises it.
    void OnRunningEmulators();

private:
    void ShowImportOutcome(const QString &path, const ProfileDocument::ImportOutcome &outcome);
    // The list's context menu, at `pos` in its viewport (a keyboard request: the current row).
    void ShowMenu(QPoint pos);
    // The focus widget's context menu, as the Menu key opens it.
    void OpenFocusContextMenu();
    // Stops in the background (it may wait five seconds) and tells what could not be stopped:
    // the emulators of `profile` (all of them when it is null), or only `emulator`.
    void StopInBackground(const QString &profile, const std::optional<LaunchRecord> &emulator);
    // Alt+Up (-1) and Alt+Down (+1): the selected profile past the neighbour shown.
    void MoveCurrent(int step);
    // Undo and Redo from anywhere in the window but a text field, named after their step.
    void BuildHistoryActions();
    void RunHistoryStep(bool undo);
    // Menu entries follow their profile's name, and go and come back with it.
    void FollowDesktopEntries();

    QWidget *window = nullptr;
    ProfileDocument *document = nullptr;
    RunningEmulatorsView *running = nullptr;
    std::function<SplitCommand()> command;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    QString historyTitle;
    // Profiles whose menu entry went with them this run: it comes back with an undo.
    QSet<QString> entriesRemoved;
    ProfileQListWidget *list = nullptr;
    QAction *launchAction = nullptr;
    QAction *duplicateAction = nullptr;
    QAction *renameAction = nullptr;
    QAction *removeAction = nullptr;
    QAction *copyCommandAction = nullptr;
    QAction *deviceAction = nullptr;
    QAction *exportAction = nullptr;
    QAction *importAction = nullptr;
    QAction *menuEntryAction = nullptr;
    QAction *removeMenuEntryAction = nullptr;
    QAction *stopAction = nullptr;
    QAction *stopAllAction = nullptr;
    QAction *showLogAction = nullptr;
    QAction *runningAction = nullptr;
    QPointer<RunningPanel> panel;
    QLineEdit *filter = nullptr;
    QList<QThread *> stopping; // stops under way
};
