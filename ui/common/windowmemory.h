#pragma once

#include <QString>
#include <QtGlobal>

class QFileDialog;
class QSettings;
class QWidget;

// What the launcher's windows remember between runs lives apart from Launcher.ini, in
// $XDG_CONFIG_HOME/Velmora/VelmoraMobileEmuLauncher.conf: one settings object, made when first
// asked for and used on the window's thread only.
QSettings &WindowSettings();

// What the launcher writes there is a few KiB; a larger file was made by something else.
constexpr qint64 MaxWindowSettingsBytes = qint64(1) << 20;
// Moves the file at `path` aside (to "<path>.too-large") when it is larger than `limit`, with a
// warning; whether it did.
bool SetAsideIfTooLarge(const QString &path, qint64 limit);

// Makes `window` fit the available part of the screen it is on (or the primary one), and moves
// it onto that part where it reaches past it.
void FitOnScreen(QWidget *window);

// Gives `window` the size and place it had when it was last closed or hidden under `key` (put
// back on a screen that is there now), and remembers them again from now on.
void RememberGeometry(QWidget *window, const QString &key);

// Starts `dialog` in the folder a file was last chosen in, and remembers the folder of the file
// it returns (call once the dialog was accepted).
void StartInLastFolder(QFileDialog *dialog);
void NoteLastFolder(const QString &chosenFile);
