#pragma once

#include "launchrecords.h"

struct StopResult
{
    int stopped = 0;
    QStringList failures; // one line per emulator that could not be stopped
};

// Stops the running emulators of `profile` (all when `profile` is null): after checking that
// each still is its record's process, SIGTERM to its process group, up to `graceMs` for it to
// end, then SIGKILL. Blocks while it waits.
StopResult StopEmulators(const QString &profile, int graceMs = 5000);
// The same for one emulator (by its process id and identity).
StopResult StopEmulator(const LaunchRecord &emulator, int graceMs = 5000);
