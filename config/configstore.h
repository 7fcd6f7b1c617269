#pragma once

#include "configfile.h"
#include "launcherconfig.h"

#include <QString>

// The user's Launcher.ini as the launcher keeps it during a run: where it lives, reading it or
// the default file, moving an out-of-date file aside, and the one way of saving. It remembers
// what the run learnt about the file: a file that exists but cannot be read is never written
// over, and a save that fails is reported once until one works again. It decides and reports;
// telling the user is the window's business.
class ConfigStore
{
public:
    // The user's and the default file at their usual places.
    ConfigStore();
    ConfigStore(const QString &userPath, const QString &defaultPath);

    QString UserPath() const { return userPath; }
    QString DefaultPath() const { return defaultPath; }

    struct ReadResult
    {
        enum Status
        {
            Loaded,     // `config` holds what the file says
            Missing,    // no file there
            Unreadable, // a file is there but cannot be read; `reason` says why
            OutOfDate,  // of a version that is not read; `version` is what it said. For the
                        // default file `config` holds the defaults-only model to use instead.
        };
        Status status = Missing;
        LauncherConfig config;
        int version = 0;
        QString reason;
    };

    // Reads `path`, which is the user's file when `isUserFile`. An unreadable user file is kept
    // from then on: Save writes nothing over it. Says on the log which file it read, and why it
    // did not use one.
    ReadResult Read(const QString &path, bool isUserFile);

    // Moves the out-of-date user file to the first free Launcher.<version>[.<n>].ini beside it.
    ConfigMoveResult MoveOutdated(int version);

    // The one way to write the user's file: the whole model, atomically. Nothing is written
    // (and `saved` is false) while the user's file is kept or the model is incomplete. A failure
    // is logged each time; `firstFailure` is true only for the first since the last success.
    ConfigSaveResult Save(const LauncherConfig &config);

    // Whether the user's file is left alone for the rest of the run.
    bool KeepsUserFile() const { return keepUserFile; }

private:
    QString userPath;
    QString defaultPath;
    bool keepUserFile = false;
    bool failureReported = false;
};
