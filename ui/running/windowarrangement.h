#pragma once

#include "emulatorwindows.h"

#include <QObject>

class EmulatorLauncher;
class ProfileDocument;
class ProfileQListWidget;
class QAction;
class QMenu;
class QWidget;

// "Arrange Emulators ▸ Tile / Cascade": the windows of the running emulators in a grid, or
// cascaded, on the screen the launcher's window is on. "Remember Window Place": the current
// profile's emulator window's place, where its next emulator's window is put. On Wayland, where
// no program may place another's windows, both are off and say why.
class WindowArrangement : public QObject
{
    Q_OBJECT

public:
    WindowArrangement(QWidget *window, ProfileDocument *document, ProfileQListWidget *list,
                      EmulatorLauncher *launcher);

    QMenu *ArrangeMenu() const { return arrangeMenu; }
    QAction *RememberAction() const { return rememberAction; }

    // How many windows were placed; the window says so when none.
    int Arrange(Arrangement arrangement);
    // Whether a window of the current profile's emulators was found and its place kept.
    bool RememberPlace();
    // Where the profile's emulator windows go, as remembered; empty when nowhere.
    static QRect RememberedPlace(const QString &profile);

    // How long a launched emulator's window is waited for, to put it at its place.
    static constexpr int WindowWaitMs = 15000;

private:
    void PlaceWhenShown(const QString &profile, qint64 pid);

    QWidget *window;
    ProfileDocument *document;
    ProfileQListWidget *list;
    EmulatorLauncher *launcher;
    QMenu *arrangeMenu = nullptr;
    QAction *rememberAction = nullptr;
};
