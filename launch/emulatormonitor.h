#pragma once

#include "launchrecords.h"
#include "serialworker.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>

#include <functional>

class QFileSystemWatcher;
class QSocketNotifier;
class QTimer;

// Keeps the launcher's view of its running emulators current without polling the disk: a
// pidfd per emulator tells when it ends (where the system has none, a check a second), and the
// records file is watched for emulators started or stopped by other launcher processes. An
// emulator the launcher itself started is its child (the launcher is their subreaper), so how
// it ended (exit code or signal) is known; of others only that they ended.
class EmulatorMonitor : public QObject
{
    Q_OBJECT

public:
    explicit EmulatorMonitor(QObject *parent = nullptr);
    ~EmulatorMonitor() override;

    // Reads the records and starts watching.
    void Start();
    // An emulator this process just started.
    void Add(const LaunchRecord &record);

    // Running emulators per profile name.
    QHash<QString, int> Counts() const;
    QList<LaunchRecord> Records() const { return records; }
    // As the records said when last read: the emulators that ended, and those listed running.
    QList<EndedLaunch> Ended() const { return lastEnded; }
    QList<LaunchRecord> Listed() const { return lastListed; }
    // Reads the records again (off this thread); recordsRead() says when it is done.
    void ReadAgain();
    // Returns once what was asked of the records has been read or written (its results are
    // delivered by the event loop).
    void WaitForDisk() { disk.Wait(); }

    // How long after its start an ending counts as a failed launch.
    static constexpr int EarlyEndMs = 5000;

signals:
    void countsChanged();
    // The records were read again: Ended() and Listed() are new.
    void recordsRead();
    // An emulator ended within EarlyEndMs of its start; `how` says how, where it is known.
    void endedEarly(const LaunchRecord &record, const QString &how);

private:
    void Reload();
    void Reloaded(const QList<LaunchRecord> &now, const QList<EndedLaunch> &ended);
    // Runs `work` on the records' thread (their lock may be held by another launcher for a
    // while) and `then` with its result on this object's thread.
    template <typename Result>
    void OnDisk(std::function<Result()> work, std::function<void(const Result &)> then);
    void Watch(const LaunchRecord &record);
    void OnEnded(qint64 pid);
    void NoteEnds();
    void CountsChanged();
    void CheckAll();
    // Says that `record` ended early, with how when it is known (`ended` as just read) or
    // comes within HowWaitMs; never for an emulator a launcher stopped.
    void ReportEnd(const LaunchRecord &record, const QString &how,
                   const QHash<QString, EndedLaunch> &ended);

    QList<LaunchRecord> records;
    bool countsPending = false;
    // Early ends waiting for how they came, by process id and start.
    QHash<QString, LaunchRecord> awaitingHow;
    static constexpr int HowWaitMs = 2000;
    // Ends already reported, by process id and start: each is told once.
    QSet<QString> reported;
    QDateTime startedWatching;
    // The pidfd of each emulator watched, all in one set that the event loop watches.
    QHash<qint64, int> handles;
    int handleSet = -1;
    QSocketNotifier *ends = nullptr;
    QFileSystemWatcher *watcher = nullptr;
    QTimer *fallback = nullptr;
    // Ends seen and not yet noted in the records, with when each was seen.
    struct SeenEnd
    {
        LaunchRecord record;
        QString how;
        QDateTime at;
        bool reaped = false; // this window's child: how it ended is known
        bool exited = true;
        int code = 0;
    };
    QList<SeenEnd> seenEnding;
    QList<EndedLaunch> lastEnded;
    QList<LaunchRecord> lastListed;
    // Last, so that it finishes (and its results are dropped) before the rest goes.
    SerialWorker disk;
};
