#pragma once

#include <QObject>

class EmulatorControl;
class EmulatorLauncher;
class ProfileCompanions;
class ProfileDocument;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

// The launcher in the desktop's tray, off until the user chooses "Show in Tray" (remembered):
// the running count in its tooltip, and a menu of the recently used profiles to launch,
// Running Emulators, Stop All, Show Window and Quit. With "Keep Running in the Tray" closing
// the window hides it; else closing still ends the launcher. Where the desktop has no tray
// the choice is off and says why.
class LauncherTray : public QObject
{
    Q_OBJECT

public:
    LauncherTray(QWidget *window, ProfileDocument *document, EmulatorLauncher *launcher,
                 EmulatorControl *control, ProfileCompanions *companions);

    QAction *ShowAction() const { return showAction; }
    QAction *KeepAction() const { return keepAction; }
    // Whether closing the window hides it: the icon shows and the user chose so.
    bool KeepsRunning() const;

    // How many recently used profiles the menu offers.
    static constexpr int RecentProfiles = 8;

private:
    void Show(bool shown);
    void UpdateToolTip();
    void FillRecent();
    void ShowWindow();

    QWidget *window;
    ProfileDocument *document;
    EmulatorLauncher *launcher;
    EmulatorControl *control;
    ProfileCompanions *companions;
    QAction *showAction = nullptr;
    QAction *keepAction = nullptr;
    QMenu *menu = nullptr;
    QAction *recentEnd = nullptr; // the separator after the recent profiles
    QSystemTrayIcon *icon = nullptr;
    bool quitting = false;
};
