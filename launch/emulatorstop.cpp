#include "emulatorstop.h"

#include "emulators_p.h"

#include <QThread>

#include <algorithm>

// Stopping emulators: marked in the records first, then SIGTERM to each process group, a
// grace period, SIGKILL; a process id used again by another process is never signalled.

static StopResult StopRecorded(const std::function<bool(const LaunchRecord &)> &which, int graceMs);

StopResult StopEmulators(const QString &profile, int graceMs)
{
    return StopRecorded(
        [&profile](const LaunchRecord &record) {
            return profile.isNull() || record.profile == profile;
        },
        graceMs);
}

StopResult StopEmulator(const LaunchRecord &emulator, int graceMs)
{
    return StopRecorded(
        [&emulator](const LaunchRecord &record) {
            return record.pid == emulator.pid && record.identity == emulator.identity;
        },
        graceMs);
}

static StopResult StopRecorded(const std::function<bool(const LaunchRecord &)> &which, int graceMs)
{
    StopResult result;
    QList<LaunchRecord> targets;
    {
        // Marked in the records before any is signalled: whichever launcher sees one end
        // knows that it was stopped, not that it failed.
        const RecordsLock lock;
        RecordsFile file = ReadRecords();
        bool changed = DropEnded(file);
        for (LaunchRecord &record : file.records) {
            if (!which(record))
                continue;
            changed = changed || !record.stopping;
            record.stopping = true;
            targets.append(record);
        }
        if (changed)
            WriteRecords(file);
    }
    const uint owner = RecordsOwner();
    const auto signalGroup = [&result, owner](const LaunchRecord &record, bool force) {
        // Checked right before: a process id used again is never signalled.
        return !IsRunning(record) || SignalEmulator(record, force, owner, &result.failures);
    };
    QList<LaunchRecord> asked;
    for (const LaunchRecord &record : targets) {
        if (signalGroup(record, false))
            asked.append(record);
    }
    const auto anyRunning = [&asked] {
        return std::any_of(asked.cbegin(), asked.cend(), IsRunning);
    };
    for (int waited = 0; waited < graceMs && anyRunning(); waited += 50)
        QThread::msleep(50);
    for (const LaunchRecord &record : std::as_const(asked)) {
        if (IsRunning(record))
            signalGroup(record, true);
    }
    for (int waited = 0; waited < 2000 && anyRunning(); waited += 50)
        QThread::msleep(50);
    for (const LaunchRecord &record : std::as_const(asked)) {
        if (IsRunning(record))
            result.failures.append(
                QStringLiteral("%1 (%2): still running").arg(record.pid).arg(record.profile));
        else
            ++result.stopped;
    }
    RunningEmulators(); // drops what ended
    return result;
}
