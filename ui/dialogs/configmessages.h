#pragma once

#include <QString>

class ProfileDocument;
class PendingProfiles;
class QWidget;

// What the window tells the user about Launcher.ini: the store decides, these say it.

// Reads `path` into the document and tells the user what kept it from being used: an
// unreadable user file, an out-of-date one (moved aside), an out-of-date default file (whose
// defaults are used). False when the file gives no model.
bool ReadConfigTelling(QWidget *parent, ProfileDocument &document, const QString &path,
                       bool isUserFile, PendingProfiles *later);

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

// The profile `name` went while a question about it was open (an edit made outside was taken
// in); `nothingDone` ends the message ("Nothing was changed.").
void TellProfileGone(QWidget *parent, const QString &title, const QString &name,
                     const QString &nothingDone = QString());
// The profile `name` no longer stores what the question showed: another program changed it
// meanwhile, and the answer is not applied to what it stores now.
void TellProfileChanged(QWidget *parent, const QString &title, const QString &name,
                        const QString &nothingDone = QString());
