#pragma once

#include "commandline.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

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
    QString log;              // the file its output goes to; empty when it goes nowhere
    bool stopping = false;    // a launcher is stopping it: its end is no failure
    QStringList command = {}; // what it was started with: the program, then each argument
};

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

// Where records and logs live: $XDG_STATE_HOME when it is an absolute path, else
// ~/.local/state, then "/Velmora/VelmoraMobileEmulator".
QString StateDirectory();
QString LogDirectory();
// Why no log can be kept in LogDirectory() (made when missing): a link, not a folder, or a
// folder of another user. Empty when logs can be kept there.
QString LogDirectoryProblem();

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

// The two halves of LaunchEmulator, for a window that starts the emulator at once and leaves
// the records and the logs to a thread of their own: the start, and the record of `launched`
// with the pruning of the logs.
LaunchResult StartEmulator(const SplitCommand &command, const QString &profile);
// Returns why the records could not be written (they stay as they were), or an empty string.
QString RecordLaunch(const LaunchRecord &launched);

// Records of `oldName` are renamed, so that the profile keeps its count.
void RenameLaunchRecords(const QString &oldName, const QString &newName);

// Prunes the logs as LaunchEmulator does.
void PruneLogs();

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

// The newest log of `profile`, running or not; empty when there is none.
QString NewestLog(const QString &profile);
// The same for many profiles at once, with one read of the records and at most one look at the
// log folder: those without a log are left out.
QHash<QString, QString> NewestLogs(const QStringList &profiles);

// A log's lines: all of them when there are at most `head` + `tail`, else the first `head`, a
// line saying how many are left out, and the last `tail`.
QString LogExcerpt(const QString &path, int head = 5, int tail = 15);
