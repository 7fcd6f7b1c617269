#pragma once

#include "commandline.h"
#include "launchrecords.h"

#include <QJsonObject>

#include <QLoggingCategory>
#include <QStringList>

#include <optional>

// What the records, the start and the stop share, and what they ask of the system, one small
// function each. The Unix answers are in emulators_unix.cpp; a Windows port adds
// emulators_win.cpp with the same functions (a named mutex for the lock, process handles for
// identity and stopping).

Q_DECLARE_LOGGING_CATEGORY(lcInstances)

constexpr int KeptLogs = 50;
constexpr qint64 KeptLogBytes = qint64(20) << 20;
constexpr int RemovedLogsPerPrune = 100;

QString RecordsPath();

// launches.json as read: the running emulators, each profile's newest log, and the last ends.
struct RecordsFile
{
    QList<LaunchRecord> records;
    QJsonObject newestLogs; // profile name -> its newest log
    // Emulators seen to have ended, with when: a window reports those that quit right after
    // their start, whoever started them.
    QList<EndedLaunch> ended;
};
// Read and written under RecordsLock. A records file that is corrupt, another user's, a link or
// not a regular file is set aside with a warning and read as empty.
RecordsFile ReadRecords();
// Replaces the records file in one step; on failure the old one stays whole and the reason is
// returned (and logged).
QString WriteRecords(const RecordsFile &file);
// Drops the records whose process has ended or is another process now; whether any went.
bool DropEnded(RecordsFile &file);
// A profile's name as a log's name holds it: at most 40 letters, digits, '-', '_' and '.'.
QString SafeFilePart(const QString &name);
// The names StartEmulator gives its logs: "20261207-101530-123-Profile_name.log", or
// "...-Profile_name+2.log" for the second made in the same millisecond.
bool IsLogName(const QString &name);
// Makes a new log "<stem>.log", or "<stem>+2.log" and so on when that is taken; returns its path,
// or an empty string with the reason in `problem`.
QString CreateLog(const QString &stem, QString *problem);

// Holds the records' lock while it lives: launches from several processes lose no record.
class RecordsLock
{
public:
    RecordsLock();
    ~RecordsLock();
    RecordsLock(const RecordsLock &) = delete;
    RecordsLock &operator=(const RecordsLock &) = delete;

private:
    int fd = -1;
};

// Whether `path` is a plain file of this user, not a link; `exists` says whether anything is
// there at all.
bool IsOwnPlainFile(const QString &path, bool *exists);
// Removes the logs of LogDirectory() beyond the newest KeptLogs (KeptLogBytes in all), at most
// RemovedLogsPerPrune a time, never one of `running` and never a file not named as a log.
void PruneLogsKeeping(const QList<LaunchRecord> &running);
// Starts the emulator detached, in a session of its own, its output going to `log` (or nowhere).
bool SpawnEmulator(const SplitCommand &command, const QString &log, qint64 *pid, QString *error);
// Who owns the records: only that user's processes are signalled.
uint RecordsOwner();
// Asks the emulator of `record` (and what it started) to end, or with `force` ends it. False,
// with the reason in `failures`, when it cannot be signalled or belongs to another user.
bool SignalEmulator(const LaunchRecord &record, bool force, uint owner, QStringList *failures);

// A handle that becomes readable when the process `pid` ends (a pidfd), or -1 where there is
// none; the monitor then looks again once a second.
int OpenProcessHandle(qint64 pid);
void CloseProcessHandle(int handle);
// A set of such handles behind one handle that becomes readable when any of them does (an
// epoll set): the event loop then polls one descriptor however many emulators run, where a
// notifier each made every turn of the loop look at a thousand. -1 where there is none.
int OpenHandleSet();
bool AddToHandleSet(int set, int handle, qint64 pid);
void RemoveFromHandleSet(int set, int handle);
// The processes of the set's handles that are readable now (their processes ended).
QList<qint64> ReadyInHandleSet(int set);
// Reaps the emulator when it is the launcher's child and says how it ended: whether it exited
// and its code or signal; nothing when it is not the launcher's child or has not ended.
struct ProcessEnd
{
    bool exited = true;
    int code = 0;
};
std::optional<ProcessEnd> ReapEnded(qint64 pid);
// The system's name of a signal: "Killed" for 9.
QString SignalName(int signal);
