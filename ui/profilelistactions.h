#pragma once

#include <QList>
#include <QObject>
#include <QPoint>

class MainWindow;
class ProfileQListWidget;
class QAction;
class QLineEdit;
class QPushButton;
class QThread;

// What the profile list does beyond selecting: its context menu and keys (Enter and a double
// click launch, F2 renames, Delete removes, Shift+F10 opens the menu), Duplicate, Rename,
// New Profile from Device and Copy Command Line. The window keeps the model and the widgets' state;
// this class asks it.
class ProfileListActions : public QObject
{
    Q_OBJECT

public:
    // `filter` is the field above the list: Ctrl+F reaches it, Escape clears it.
    ProfileListActions(MainWindow *window, ProfileQListWidget *list, QPushButton *launchButton,
                       QLineEdit *filter);
    ~ProfileListActions() override;

    // "Remove" follows the Remove button: never on the first profile.
    void SetRemoveEnabled(bool enabled);
    // "Stop" is for a profile whose emulators run, "Stop All Emulators" while any runs.
    void SetRunningCount(int ofCurrentProfile, int all);

public slots:
    void OnDuplicateProfile();
    void OnRenameProfile();
    void OnCopyCommandLine();
    void OnNewProfileFromDevice();
    void OnExportProfiles();
    void OnImportProfiles();
    void OnAddToApplicationsMenu();
    void OnStop();
    void OnStopAll();
    void OnShowLog();

private:
    // The list's context menu, at `pos` in its viewport (a keyboard request: the current row).
    void ShowMenu(QPoint pos);
    // The focus widget's context menu, as the Menu key opens it.
    void OpenFocusContextMenu();
    // Stops in the background (it may wait five seconds) and tells what could not be stopped.
    void StopInBackground(const QString &profile);
    // Alt+Up (-1) and Alt+Down (+1): the selected profile past the neighbour shown.
    void MoveCurrent(int step);
    // Runs `slot` of the window only for a row the user sees.
    template <typename Slot> void OnShownRow(Slot slot);

    MainWindow *window = nullptr;
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
    QAction *stopAction = nullptr;
    QAction *stopAllAction = nullptr;
    QAction *showLogAction = nullptr;
    QLineEdit *filter = nullptr;
    QList<QThread *> stopping; // stops under way
};
