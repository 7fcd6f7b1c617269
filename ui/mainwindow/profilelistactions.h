#pragma once

#include "commandline.h"
#include "profilecompanions.h"
#include "profiledocument.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSet>

#include <functional>
#include <optional>

struct DeviceSpec;
class ExtrasActions;
class ListOrder;
class QMenu;
class EmulatorControl;
class ExchangeDialogs;
class HistoryActions;
class ProfileDocument;
class ProfileQListWidget;
class RunningEmulatorsView;
class QAction;
class QLineEdit;
class QPushButton;

// What the profile list does beyond selecting: its context menu and keys (Enter and a double
// click launch, F2 renames, Delete removes, Shift+F10 opens the menu), Duplicate, Rename,
// New Profile from Device, Copy Command Line, moving, the applications menu; the menu also
// reaches undo and redo (HistoryActions), import and export (ExchangeDialogs) and the emulators
// (EmulatorControl). Changes go to the document; what the window must do (launch, remove, store
// what it shows) it is asked for by a signal.
class ProfileListActions : public QObject
{
    Q_OBJECT

public:
    // What the menu reaches of the emulators and of what follows a profile.
    struct Emulators
    {
        RunningEmulatorsView *running = nullptr;
        EmulatorControl *control = nullptr;
        ProfileCompanions *companions = nullptr;
    };
    // `filter` is the field above the list: Ctrl+F reaches it, Escape clears it.
    // `command` gives what a launch would start now.
    ProfileListActions(QWidget *window, ProfileDocument *document, ProfileQListWidget *list,
                       QPushButton *launchButton, QLineEdit *filter, const Emulators &emulators,
                       std::function<SplitCommand()> command);

    HistoryActions *History() const { return history; }
    ExtrasActions *Extras() const { return extras; }
    ListOrder *Order() const { return order; }
    // One more submenu at the end of the list's menu's organizing part (the window's own).
    void AddMenu(QMenu *submenu);
    ExchangeDialogs *Exchange() const { return exchange; }

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
    // Remove on a selection of several profiles: all removed after one question. False, doing
    // nothing, when only one profile is selected.
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
    void OnAddToApplicationsMenu();
    void OnRemoveFromApplicationsMenu();

private:
    void ShowMenuEntryFailures(const QList<CompanionFailure> &failures);
    // The list's context menu, at `pos` in its viewport (a keyboard request: the current row).
    void ShowMenu(QPoint pos);
    // The focus widget's context menu, as the Menu key opens it.
    void OpenFocusContextMenu();
    // Alt+Up (-1) and Alt+Down (+1): the selected profile past the neighbour shown.
    void MoveCurrent(int step);

    QWidget *window = nullptr;
    ProfileDocument *document = nullptr;
    EmulatorControl *control = nullptr;
    ProfileCompanions *companions = nullptr;
    ExtrasActions *extras = nullptr;
    ListOrder *order = nullptr;
    QList<QMenu *> moreMenus;
    HistoryActions *history = nullptr;
    ExchangeDialogs *exchange = nullptr;
    std::function<SplitCommand()> command;
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
    QLineEdit *filter = nullptr;
};
