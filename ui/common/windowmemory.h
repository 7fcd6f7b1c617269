#pragma once

#include <QString>

class QFileDialog;
class QSettings;
class QWidget;

// What the launcher's windows remember between runs lives apart from Launcher.ini, in
// $XDG_CONFIG_HOME/Velmora/VelmoraMobileEmuLauncher.conf: one settings object, made when first
// asked for and used on the window's thread only.
QSettings &WindowSettings();

// Gives `window` the size and place it had when it was last closed or hidden under `key` (put
// back on a screen that is there now), and remembers them again from now on.
void RememberGeometry(QWidget *window, const QString &key);

// Starts `dialog` in the folder a file was last chosen in, and remembers the folder of the file
// it returns (call once the dialog was accepted).
void StartInLastFolder(QFileDialog *dialog);
void NoteLastFolder(const QString &chosenFile);
