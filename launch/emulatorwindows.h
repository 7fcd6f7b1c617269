#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// The windows of the emulators the launcher started, on the X display: found by _NET_WM_PID
// over each emulator's process tree (a profile's hooks run it as a child of a shell), and
// placed as the window manager is asked to (_NET_MOVERESIZE_WINDOW). A Wayland compositor lets
// no program place another's windows: there the functions find nothing and say why.

struct EmulatorWindow
{
    quint32 id = 0;
    qint64 pid = 0; // the process of the launcher's records it belongs to
    QRect frame;    // with the window manager's frame, in root coordinates
    QRect client;   // the window itself
};

enum class Arrangement
{
    Tile,
    Cascade,
};

// Why windows cannot be placed here (no X display: Wayland, or none), or empty.
QString WindowPlacementProblem();
// The top-level windows of the processes `pids` and every process they started, in the order
// of `pids`; `problem` says why none could be looked for.
QList<EmulatorWindow> FindEmulatorWindows(const QList<qint64> &pids, QString *problem = nullptr);
// The part of the screen free for windows (_NET_WORKAREA), or the whole root window.
QRect DesktopWorkArea();
// Asks the window manager to put each window's frame at its rect; whether all were asked.
bool PlaceWindows(const QList<std::pair<EmulatorWindow, QRect>> &places,
                  QString *problem = nullptr);

// Where `frames` go in `area`: a grid of cells as near square as it can be (Tile) or a stair
// of steps down and right (Cascade). Each keeps its size where it fits, and is made smaller
// where it does not.
QList<QRect> ArrangedRects(Arrangement arrangement, const QList<QSize> &frames, const QRect &area);
