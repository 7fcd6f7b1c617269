#pragma once

#include "commandline.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The emulators the launcher started: a record per emulator in a file of the user's own
// ($XDG_STATE_HOME/Velmora/VelmoraMobileEmulator/launches.json, mode 0600, replaced in one step
// under an flock on launches.lock beside it), its output in a log file in logs/ there, and
// stopping them. Launcher.ini is not touched. Linux implementation: the identity of a process
// is its start time in /proc/PID/stat (field 22), so that a process id used again by another
// process is never taken for an emulator; elsewhere (see the README) a process handle would
// serve, and records without an identity are never signalled.

struct LaunchRecord
{
    QString profile;
    qint64 pid = 0;
    QString identity; // the process's start time as the system reports it
    QDateTime started;
    QString log;                  // the file its output goes to; empty when it goes nowhere
    bool stopping = false;        // a launcher is stopping it: its end is no failure
    QStringList command = {};     // what it was started with: the program, then each argument
    QStringList environment = {}; // NAME=value given beside the launcher's own
    LaunchHooks hooks = {};       // run around it: Launch Again runs them again
    // When the records keep only the start of a long command: the whole command's length in
    // characters; 0 when `command` is whole.
    qint64 commandChars = 0;
};

// What a record keeps of a command at most, in characters: a thousand running emulators with
// commands of megabytes stay a records file that is read in a moment.
constexpr qsizetype MaxKeptCommandChars = 16 * 1024;
// A records file larger than this was not written by the launcher; it is set aside.
constexpr qint64 MaxRecordsBytes = qint64(64) << 20;

struct EndedLaunch
{
    LaunchRecord record;
    QDateTime ended; // when it was seen to have ended (at the latest)
    QString how;     // how it ended, in the words of the process that noted it (older records)
    // The same as a shell gives it: the exit code, or 128 plus the signal; -1 when unknown.
    int status = -1;
    // How it ended, when known: it exited with `code`, or was ended by the signal `code`.
    bool exited = true;
    int code = -1;
};

// How `end` ended, in the words of this process's language; empty when nobody saw how.
QString HowEnded(const EndedLaunch &end);

// "it exited with code 3", "it was ended by signal 9 (Killed)": from waitid's code and status.
QString DescribeEnd(bool exited, int status);
// The shell's status for an end: the exit code, or 128 plus the signal.
int ShellStatus(bool exited, int status);
// Notes in the records how the emulator `pid` (of `identity`) ended (waitid's code and status),
// for the launchers that report it.
void RecordHowEnded(qint64 pid, const QString &identity, bool exited, int status);
// The same for many at once, in one look at the records.
struct NotedEnd
{
    qint64 pid = 0;
    QString identity;
    bool exited = true;
    int status = 0;
};
void RecordHowEnded(const QList<NotedEnd> &ends);

// The identity of a running process, or an empty string when none runs with that id.
QString ProcessIdentity(qint64 pid);
// Whether `pid` still is the process of the record.
bool IsRunning(const LaunchRecord &record);

// The records of emulators that still run; records of emulators that ended, or whose process
// id now belongs to another process, are dropped from the file. A records file that is corrupt,
// another user's, a link or not a regular file is set aside with a warning and replaced.
// `ended`, when given, receives the last emulators seen to have ended, oldest first (at most
// 50), read in the same step.
QList<LaunchRecord> RunningEmulators(QList<EndedLaunch> *ended = nullptr);
// The emulators the records list as ended (at most 50, oldest first), as they stand: nothing is
// looked up or written, so that a view refreshing often stays quick. `listedRunning` gets those
// still listed as running, which may have ended since.
QList<EndedLaunch> RecordedEnds(QList<LaunchRecord> *listedRunning = nullptr);

// Records the emulator just started (see StartEmulator) and prunes the logs of those that
// ended. Returns why the records could not be written (they stay as they were), or an empty
// string.
QString RecordLaunch(const LaunchRecord &launched);
// The same for a batch, in one look at the records and one pruning.
QString RecordLaunches(const QList<LaunchRecord> &launched);

// Records of `oldName` are renamed, so that the profile keeps its count.
void RenameLaunchRecords(const QString &oldName, const QString &newName);

// The newest log of `profile`, running or not; empty when there is none.
QString NewestLog(const QString &profile);
// The same for many profiles at once, with one read of the records and at most one look at the
// log folder: those without a log are left out.
QHash<QString, QString> NewestLogs(const QStringList &profiles);

// The profile's logs in LogDirectory(), newest first.
QStringList LogsOf(const QString &profile);
// Every log of LogDirectory() by the part of its name that holds the profile's (SafeFilePart),
// each list newest first: one look at the folder for many profiles.
QHash<QString, QStringList> LogsByName();
