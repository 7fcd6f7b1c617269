#pragma once

#include "configfile.h"
#include "launcherconfig.h"
#include "profileextras.h"

#include <QList>
#include <QStringList>

#include <functional>

// Sharing profiles in Launcher.ini's own format: a file that holds some profiles and the option
// entries they use, and merging such a file into a configuration.

// A configuration holding the profiles at `rows` (in their order) and exactly the option
// entries they use, plus each section's first entry, so that the file is complete on its own. A
// position that lies outside its section stays outside (-1).
LauncherConfig ExportProfiles(const LauncherConfig &config, const QList<int> &rows);

enum class ImportChoice
{
    Replace,
    Skip,
};

struct ImportReport
{
    QStringList added;    // profiles appended at the end
    QStringList replaced; // profiles of the same name, replaced where they stood
    QStringList skipped;  // profiles of the same name, left as they were
    QStringList refused;  // names Launcher.ini cannot hold (empty, a double quote, a line break)
    int entriesAdded = 0; // option entries appended

    // The profile to show once it is in: the first added, else the first replaced.
    QString First() const { return !added.isEmpty() ? added.first() : replaced.value(0); }
};

// Merges `source` into `target`. An option entry is matched by its value, else appended under
// its name ("name (2)", "name (3)", ... when the name is taken by another value). Each profile is
// added at the end; for a name that exists, `decide` says whether it replaces that profile.
ImportReport ImportProfiles(LauncherConfig &target, const LauncherConfig &source,
                            const std::function<ImportChoice(const QString &name)> &decide);

// Whether a profile name can be stored in Launcher.ini and given on a command line.
bool IsStorableProfileName(const QString &name);

// Applies to `target` (the file as someone else left it) the change that turned `before` into
// `after` (the window's model before and after its edit): profiles by name, option entries by
// name and value. Profiles removed, added, changed, renamed or moved in the window are so in
// `target` too; what else changed in `target` stays. The first profile is never removed.
// A profile that both changed in `target` (from what `before` has) and was changed, renamed or
// removed by the window keeps what `target` has: the window's change of it is left out and
// named in `notKept`, one line each.
void ApplyModelChange(LauncherConfig &target, const LauncherConfig &before,
                      const LauncherConfig &after, QStringList *notKept = nullptr);

// Whether `target` holds the change that turned `before` into `after`: whoever wrote it had
// seen that change. False only when some profile the change added, altered or removed is in
// `target` as `before` had it and none as `after` has it.
bool ChangeSeenIn(const LauncherConfig &target, const LauncherConfig &before,
                  const LauncherConfig &after);

// Writes ExportProfiles(config, rows) to `path`, only ever by replacing the file in one step, and
// never over `userConfigPath` itself (however it is reached). The exported profiles' `extras`
// go along in comment lines at the file's end (ExtrasCommentLines).
ConfigSaveResult ExportProfilesToFile(const LauncherConfig &config, const QList<int> &rows,
                                      const QString &path, const QString &userConfigPath,
                                      const ExtrasMap &extras = {});
