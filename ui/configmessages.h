#pragma once

#include <QString>

class QWidget;

// What the window tells the user about Launcher.ini: the store decides, these say it.

// Neither the user's nor the default configuration could be read; the caller ends the process.
void ShowNoConfigurationError();
// The user's file is there but cannot be read, and is left alone for the run.
void TellUnreadableConfig(QWidget *parent, const QString &path, const QString &reason);
// The user's file is out of date; it was moved to `newPath`, or could not be.
void TellOutdatedConfig(QWidget *parent, bool moved, const QString &newPath);
// The default file is out of date; its defaults-only model is used.
void TellOutdatedDefaultConfig(QWidget *parent);
// A change could not be saved (said once until a save works again).
void TellChangesNotSaved(QWidget *parent, const QString &path, const QString &reason);

// Launcher.ini was changed outside and can no longer be used; it is left alone.
void TellOutsideChangeUnusable(QWidget *parent, const QString &path, const QString &reason);

// The title of the launcher's warnings.
QString WarningTitle();
