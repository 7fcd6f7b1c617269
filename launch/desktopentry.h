#pragma once

#include <QString>
#include <QStringList>

// A desktop entry per profile ("Add to Applications Menu"): a file in the user's applications
// folder ($XDG_DATA_HOME/applications) that starts the launcher with --launch and the profile's
// name, so that the desktop's menu, search and docks offer the profile itself.

// Where the entry for `profileName` lives: the launcher's reverse-DNS name and a hash of the
// profile name, safe for any name.
QString DesktopEntryPath(const QString &profileName);

// The entry's text: `Name` the profile's name, the launcher's icon, the profile name in a key of
// its own (X-Velmora-Profile), and an Exec line that runs `launcherPath` with --launch and the
// name, quoted and escaped so that desktops hand any name over unchanged.
QString DesktopEntryText(const QString &launcherPath, const QString &profileName);

// Writes the entry in one step; false with the system's reason when it cannot.
bool WriteDesktopEntry(const QString &launcherPath, const QString &profileName,
                       QString *error = nullptr);

// Whether the profile has an entry.
bool HasDesktopEntry(const QString &profileName);

// A renamed profile's entry follows it; a removed profile's entry goes. Nothing happens for a
// profile without an entry.
void RenameDesktopEntry(const QString &launcherPath, const QString &oldName,
                        const QString &newName);
void RemoveDesktopEntry(const QString &profileName);
// The profiles that have an entry (the entry's own record of the name, in an entry of the
// name's own file).
QStringList DesktopEntryProfiles();
// Removes the entries of profiles that are not among `profiles` (removed outside the launcher,
// say); returns whose went.
QStringList RemoveStaleDesktopEntries(const QStringList &profiles);
