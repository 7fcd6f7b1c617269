#pragma once

#include "launcherconfig.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Launcher.ini on disk: loading a file into a model, moving an out-of-date file aside, and
// saving a model. These decide and report; telling the user is the caller's business.

struct ConfigLoadResult
{
    enum Status
    {
        Loaded,     // `config` is complete: default entries ensured, profiles built
        Missing,    // no file at the path
        Unreadable, // a file is there but cannot be read; `reason` says why
        OutOfDate,  // read, but of a version that is not supported; `version` is what it said
    };

    Status status = Missing;
    LauncherConfig config;
    int version = 0;
    QString reason;
};

// Larger than five times a file of 100,000 profiles: no Launcher.ini a person keeps.
constexpr qint64 MaxConfigFileSize = qint64(64) << 20;

struct ConfigLoadResult;

// The profiles of a loaded file while they are still being read on a thread of their own.
class PendingProfiles
{
public:
    QStringList names; // in file order, known at once

    // Whether they are being read.
    bool Pending() const { return reading != nullptr; }
    // Reads, on this thread too, those the other thread has not come to, and returns them all;
    // nothing is pending afterwards.
    QList<LauncherProfile> Take();

    struct Reading;

private:
    friend ConfigLoadResult LoadConfigFile(const QString &path, PendingProfiles *later);
    std::shared_ptr<Reading> reading;
};

// Only a regular file (after following links) of at most MaxConfigFileSize is read; anything
// else there counts as unreadable, so that it is never replaced by mistake.
// With `later`, the profiles of a long file are read on a thread of their own: a loaded
// result's `config` then has none, `later->names` has their names and `later->Take()` gives
// them (nothing is pending when they were read at once).
ConfigLoadResult LoadConfigFile(const QString &path, PendingProfiles *later = nullptr);

struct ConfigMoveResult
{
    QString path; // where the file went, or where it could not go
    bool moved = false;
};

// Moves an out-of-date file to the first free Launcher.<version>[.<n>].ini beside it, never
// over an existing file.
ConfigMoveResult MoveOutdatedConfig(const QString &path, int version);

struct ConfigSaveResult
{
    bool saved = false;
    QString reason;             // why not, when not saved
    bool firstFailure = false;  // set by ConfigStore: the first failure since a save worked
    bool changedOnDisk = false; // set by ConfigStore: someone else changed the file; not saved
};

// Writes the whole model to `path` in one step: the old file stays whole until the new one is
// complete. The directory is created when it is missing. Only when `inPlaceIfNeeded` and the
// directory refuses a temporary file is the file written in place. A model whose file would be
// larger than MaxConfigFileSize is not written. `stillUnchanged`, when given, is asked just
// before the new file replaces the old one: false leaves the old file and sets changedOnDisk.
ConfigSaveResult SaveConfigFile(const QString &path, const LauncherConfig &config,
                                bool inPlaceIfNeeded = true,
                                const std::function<bool()> &stillUnchanged = {});
