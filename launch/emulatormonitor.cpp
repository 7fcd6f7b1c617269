#include "emulatormonitor.h"

#include "emulators_p.h"
#include "filelocations.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

QString Key(const LaunchRecord &record)
{
    return QString::number(record.pid) + QLatin1Char('@') +
           QString::number(record.started.toMSecsSinceEpoch());
}

// The ends as the records list them, found by process id and start: a thousand ends at once
// are a thousand lookups, not a thousand walks of the list.
QHash<QString, EndedLaunch> ByKey(const QList<EndedLaunch> &ended)
{
    QHash<QString, EndedLaunch> byKey;
    byKey.reserve(ended.size());
    for (const EndedLaunch &end : ended)
        byKey.insert(Key(end.record), end);
    return byKey;
}

} // namespace

EmulatorMonitor::EmulatorMonitor(QObject *parent) : QObject(parent) {}

EmulatorMonitor::~EmulatorMonitor()
{
    for (const int handle : std::as_const(handles))
        CloseProcessHandle(handle);
    delete ends;
    CloseProcessHandle(handleSet);
}

void EmulatorMonitor::Start()
{
    if (watcher)
        return;
    startedWatching = QDateTime::currentDateTime();
    watcher = new QFileSystemWatcher(this);
    QDir().mkpath(StateDirectory());
    watcher->addPath(StateDirectory());
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, &EmulatorMonitor::Reload);
    Reload();
}

void EmulatorMonitor::Add(const LaunchRecord &record)
{
    if (record.identity.isEmpty()) {
        // Ended before it could be recorded.
        if (!reported.contains(Key(record)) &&
            record.started.msecsTo(QDateTime::currentDateTime()) < EarlyEndMs) {
            reported.insert(Key(record));
            const std::optional<ProcessEnd> end = ReapEnded(record.pid);
            emit endedEarly(record, end ? DescribeEnd(end->exited, end->code) : QString());
        }
        return;
    }
    // The records' watcher may have brought it first.
    if (std::any_of(records.cbegin(), records.cend(),
                    [&record](const LaunchRecord &r) { return r.pid == record.pid; }))
        return;
    records.append(record);
    Watch(record);
    CountsChanged();
}

void EmulatorMonitor::CountsChanged()
{
    // Told once per turn of the event loop: a thousand ends seen together, or a slice of a
    // batch's starts, are one change to show.
    if (std::exchange(countsPending, true))
        return;
    QTimer::singleShot(0, this, [this] {
        countsPending = false;
        emit countsChanged();
    });
}

QHash<QString, int> EmulatorMonitor::Counts() const
{
    QHash<QString, int> counts;
    for (const LaunchRecord &record : records)
        ++counts[record.profile];
    return counts;
}

template <typename Result>
void EmulatorMonitor::OnDisk(std::function<Result()> work, std::function<void(const Result &)> then)
{
    disk.Post([this, work = std::move(work), then = std::move(then)] {
        Result result = work();
        QMetaObject::invokeMethod(
            this, [then, result = std::move(result)] { then(result); }, Qt::QueuedConnection);
    });
}

void EmulatorMonitor::ReadAgain()
{
    Reload();
}

namespace {

struct RecordsSeen
{
    QList<LaunchRecord> running;
    QList<EndedLaunch> ended;
};

} // namespace

void EmulatorMonitor::Reload()
{
    OnDisk<RecordsSeen>(
        [] {
            RecordsSeen seen;
            seen.running = RunningEmulators(&seen.ended);
            return seen;
        },
        [this](const RecordsSeen &seen) { Reloaded(seen.running, seen.ended); });
}

void EmulatorMonitor::Reloaded(const QList<LaunchRecord> &now, const QList<EndedLaunch> &ended)
{
    lastEnded = ended;
    lastListed = now;
    // Ends whose starter has noted meanwhile how they came.
    for (const EndedLaunch &end : std::as_const(ended)) {
        const auto waiting = awaitingHow.constFind(Key(end.record));
        if (waiting == awaitingHow.cend() || (end.how.isEmpty() && !end.record.stopping))
            continue;
        const LaunchRecord record = *waiting;
        awaitingHow.erase(waiting);
        if (!end.record.stopping)
            emit endedEarly(record, HowEnded(end));
    }
    bool changed = false;
    for (const LaunchRecord &record : now) {
        const auto same = [&record](const LaunchRecord &r) {
            return r.pid == record.pid;
        };
        const auto known = std::find_if(records.begin(), records.end(), same);
        if (known == records.end()) {
            records.append(record);
            Watch(record);
            changed = true;
        } else if (known->profile != record.profile) {
            known->profile = record.profile; // renamed
            changed = true;
        }
    }
    // Stopped elsewhere: ended, so their pidfds say so too; nothing more to do here.
    if (changed)
        CountsChanged();
    // Started by another launcher process and ended before this one could watch it.
    const QHash<QString, EndedLaunch> endedByKey = ByKey(ended);
    for (const EndedLaunch &end : std::as_const(ended)) {
        const LaunchRecord &record = end.record;
        if (record.stopping || reported.contains(Key(record)) || record.started < startedWatching ||
            record.started.msecsTo(end.ended) >= EarlyEndMs ||
            std::any_of(records.cbegin(), records.cend(),
                        [&record](const LaunchRecord &r) { return r.pid == record.pid; }))
            continue;
        reported.insert(Key(record));
        ReportEnd(record, QString(), endedByKey);
    }
    emit recordsRead();
}

void EmulatorMonitor::Watch(const LaunchRecord &record)
{
    if (handleSet < 0 && !fallback) {
        handleSet = OpenHandleSet();
        if (handleSet >= 0) {
            ends = new QSocketNotifier(handleSet, QSocketNotifier::Read, this);
            connect(ends, &QSocketNotifier::activated, this, [this] {
                for (const qint64 pid : ReadyInHandleSet(handleSet))
                    OnEnded(pid);
            });
        }
    }
    const int handle = handleSet >= 0 ? OpenProcessHandle(record.pid) : -1;
    if (handle >= 0 && AddToHandleSet(handleSet, handle, record.pid)) {
        handles.insert(record.pid, handle);
        return;
    }
    CloseProcessHandle(handle);
    if (!fallback) {
        fallback = new QTimer(this);
        connect(fallback, &QTimer::timeout, this, &EmulatorMonitor::CheckAll);
        fallback->start(1000);
    }
}

void EmulatorMonitor::CheckAll()
{
    const QList<LaunchRecord> known = records;
    for (const LaunchRecord &record : known) {
        if (!handles.contains(record.pid) && !IsRunning(record))
            OnEnded(record.pid);
    }
}

void EmulatorMonitor::OnEnded(qint64 pid)
{
    const auto handle = handles.constFind(pid);
    if (handle != handles.cend()) {
        RemoveFromHandleSet(handleSet, *handle);
        CloseProcessHandle(*handle);
        handles.erase(handle);
    }
    const auto found = std::find_if(records.begin(), records.end(),
                                    [pid](const LaunchRecord &r) { return r.pid == pid; });
    if (found == records.end())
        return;
    const LaunchRecord record = *found;
    records.erase(found);
    const std::optional<ProcessEnd> end = ReapEnded(pid);
    const QString how = end ? DescribeEnd(end->exited, end->code) : QString();
    // When it ended is when it was seen to, not when the records could be read.
    seenEnding.append({record, how, QDateTime::currentDateTime(), end.has_value(),
                       end ? end->exited : true, end ? end->code : 0});
    CountsChanged();
    // Ends seen in the same turn of the event loop (a thousand emulators that quit at once)
    // go to the records in one look.
    if (seenEnding.size() == 1)
        QTimer::singleShot(0, this, &EmulatorMonitor::NoteEnds);
}

void EmulatorMonitor::NoteEnds()
{
    const QList<SeenEnd> ends = std::exchange(seenEnding, {});
    QList<NotedEnd> noted;
    for (const SeenEnd &end : ends) {
        if (end.reaped)
            noted.append({end.record.pid, end.record.identity, end.exited, end.code});
    }
    // Their records dropped and, for those this window started, how they ended noted for the
    // Running Emulators window and other launchers (known here only).
    OnDisk<QList<EndedLaunch>>(
        [noted] {
            QList<EndedLaunch> ended;
            RunningEmulators(&ended);
            RecordHowEnded(noted);
            return ended;
        },
        [this, ends](const QList<EndedLaunch> &ended) {
            const QHash<QString, EndedLaunch> endedByKey = ByKey(ended);
            for (const SeenEnd &end : ends) {
                if (reported.contains(Key(end.record)) ||
                    end.record.started.msecsTo(end.at) >= EarlyEndMs)
                    continue;
                reported.insert(Key(end.record));
                ReportEnd(end.record, end.how, endedByKey);
            }
        });
}

void EmulatorMonitor::ReportEnd(const LaunchRecord &record, const QString &how,
                                const QHash<QString, EndedLaunch> &ended)
{
    const auto end = ended.constFind(Key(record));
    // A launcher stopped it (this one or another): that is no failed launch.
    if (end != ended.cend() && end->record.stopping)
        return;
    const QString noted = how.isEmpty() && end != ended.cend() ? HowEnded(*end) : how;
    if (!noted.isEmpty()) {
        emit endedEarly(record, noted);
        return;
    }
    // Not this launcher's child: the process that started it notes how it ended, which the
    // records folder's watcher brings (Reload); without it the end is told as it is.
    const QString key = Key(record);
    awaitingHow.insert(key, record);
    QTimer::singleShot(HowWaitMs, this, [this, key] {
        const auto waiting = awaitingHow.constFind(key);
        if (waiting == awaitingHow.cend())
            return;
        const LaunchRecord unexplained = *waiting;
        awaitingHow.erase(waiting);
        emit endedEarly(unexplained, QString());
    });
}
