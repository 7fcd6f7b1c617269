#pragma once

#include "commandline.h"
#include "emulatorstop.h"
#include "launchrecords.h"
#include "serialworker.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>

class EmulatorMonitor;
class QThread;

// One emulator to start: for the profile `profile`, with `command`.
struct LaunchRequest
{
    QString profile;
    SplitCommand command;
};

// An emulator that did not start, and why.
struct LaunchFailure
{
    QString profile;
    QString program;
    QString error;
};

// The one way emulators are started and stopped. The window, a batch of selected profiles,
// Launch Again and --launch ask it; it starts each emulator, records it, watches it, and says
// what happened by its signals. Nothing here shows anything.
//
// In a window (Mode::Window) the records are written and the logs pruned on a thread of their
// own, in the order asked, and the monitor watches the emulators; for a process that ends at
// once (Mode::Script) each emulator is started by a small waiter process of the launcher that
// records it and notes how it ended, and no monitor runs.
class EmulatorLauncher : public QObject
{
    Q_OBJECT

public:
    enum class Mode
    {
        Window,
        Script
    };

    explicit EmulatorLauncher(Mode mode = Mode::Window, QObject *parent = nullptr);
    // Waits for the records still being written and for stops under way (five seconds at most).
    ~EmulatorLauncher() override;

    // Window: looks for the emulators started before, watches them from now on, and prunes the
    // logs of those that ended while no launcher ran.
    void Start();
    // Starts one emulator per request, in order. Each start is `launched`; those that failed
    // come in one `failed`. A window's emulators start on another thread (the signals follow,
    // and nothing is returned); a script's start before this returns their records.
    QList<LaunchRecord> Launch(const QList<LaunchRequest> &requests);

    // Stops in the background (it may wait five seconds per emulator): the emulators of
    // `profile`, or every one when `profile` is null. `stopped` follows.
    void Stop(const QString &profile);
    // The same for one emulator.
    void Stop(const LaunchRecord &emulator);

    // The records of `oldName` follow a renamed profile.
    void RenameRecords(const QString &oldName, const QString &newName);
    // Returns once every record asked for so far is written; any thread may wait.
    void WaitForRecords() { records.Wait(); }

    // Window only: the emulators watched.
    EmulatorMonitor *Monitor() const { return monitor; }

signals:
    void launched(const LaunchRecord &record);
    void failed(const QList<LaunchFailure> &failures);
    // No log could be kept: the emulator runs, its output is discarded.
    void logProblem(const QString &reason);
    // The emulator runs but its record could not be written (in a window, after the start).
    void recordProblem(const QString &reason);
    // A stop ended; `failures` names each emulator that could not be stopped.
    void stopped(const QStringList &failures);

private:
    void StopInBackground(const std::function<StopResult()> &stop);
    void StartInBackground(const QList<LaunchRequest> &requests);

    Mode mode;
    EmulatorMonitor *monitor = nullptr;
    // Set when the launcher goes: a batch still starting ends where it is.
    std::atomic<bool> closing{false};
    // Writes the launch records and prunes the logs, in the order asked, off the window's
    // thread: each write waits for the disk.
    SerialWorker records;
    QList<QThread *> stopping; // stops under way
};
