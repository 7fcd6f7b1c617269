#pragma once

#include "commandline.h"
#include "launchrecords.h"

// Why no log can be kept in LogDirectory() (made when missing): a link, not a folder, or a
// folder of another user. Empty when logs can be kept there.
QString LogDirectoryProblem();

struct LaunchResult
{
    bool started = false;
    QString error; // why not
    LaunchRecord record;
    QString logProblem;    // set when no log could be made (the output is discarded)
    QString recordProblem; // set by LaunchEmulator when the records could not be written
};

// Starts the command detached, in a session of its own (so that stopping it reaches what it
// started), its output going to a new log file, and records it for `profile`. Prunes the logs of
// emulators that no longer run: the newest 50 are kept, at most 20 MiB in all. Only files named
// as the launcher names its logs are pruned, and none in a log folder that is a link or another
// user's (no log is kept there).
LaunchResult LaunchEmulator(const SplitCommand &command, const QString &profile);

// LaunchEmulator for a process that ends at once (the command line): a small process of the
// launcher, detached from the terminal and the caller's pipes, starts the emulator, waits for
// it and notes how it ended (RecordHowEnded), so that a window can tell the user why an
// emulator quit. Unix only; elsewhere it is LaunchEmulator.
LaunchResult LaunchEmulatorWatched(const SplitCommand &command, const QString &profile);

// The first half of LaunchEmulator, for a window that starts the emulator at once and leaves
// the record (RecordLaunch) and the pruning of the logs to a thread of their own.
LaunchResult StartEmulator(const SplitCommand &command, const QString &profile);
// Prunes the logs as LaunchEmulator does.
void PruneLogs();
