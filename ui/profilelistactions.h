#pragma once

#include <QObject>
#include <QPoint>

class MainWindow;
class ProfileQListWidget;
class QAction;
class QPushButton;

// What the profile list does beyond selecting: its context menu and keys (Enter and a double
// click launch, F2 renames, Delete removes, Shift+F10 opens the menu), Duplicate, Rename,
// New Profile from Device and Copy Command Line. The window keeps the model and the widgets' state;
// this class asks it.
class ProfileListActions : public QObject
{
    Q_OBJECT

public:
    ProfileListActions(MainWindow *window, ProfileQListWidget *list, QPushButton *launchButton);

    // "Remove" follows the Remove button: never on the first profile.
    void SetRemoveEnabled(bool enabled);

public slots:
    void OnDuplicateProfile();
    void OnRenameProfile();
    void OnCopyCommandLine();
    void OnNewProfileFromDevice();

private:
    // The list's context menu, at `pos` in its viewport (a keyboard request: the current row).
    void ShowMenu(QPoint pos);
    // The focus widget's context menu, as the Menu key opens it.
    void OpenFocusContextMenu();

    MainWindow *window = nullptr;
    ProfileQListWidget *list = nullptr;
    QAction *launchAction = nullptr;
    QAction *duplicateAction = nullptr;
    QAction *renameAction = nullptr;
    QAction *removeAction = nullptr;
    QAction *copyCommandAction = nullptr;
    QAction *deviceAction = nullptr;
};
