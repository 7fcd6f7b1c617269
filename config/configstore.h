#pragma once

#include "configfile.h"
#include "launcherconfig.h"
#include "serialworker.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>
#include <utility>

class QFileSystemWatcher;
class QTimer;

// The user's Launcher.ini as the launcher keeps it during a run: where it lives, reading it or
// the default file, moving an out-of-date file aside, and the one way of saving. It remembers
// what the run learnt about the file: a file that exists but cannot be read is never written
// over, and a save that fails is reported once until one works again. It decides and reports;
// telling the user is the window's business.
//
// Other programs write the file too (editors, sync tools, scripts), and many write in steps: a
// truncate, a part, a pause, the rest. A change of theirs is taken in only once the file has
// kept the same stamp for the settle time, and nothing is written while such a change is
// waiting: a rename over a file that someone is still writing would send the rest of their
// write into a file nobody sees.
class ConfigStore : public QObject
{
    Q_OBJECT

public:
    // How long the file must stay as it is before someone else's change of it is read. Editors
    // and sync tools write a file in well under a tenth of a second; a script that writes
    // half, waits for something and writes the rest may pause longer, and half a second covers
    // such a pause several times over while it still takes in an edit before the user looks
    // for it. A half-written file nearly always ends in the middle of a line, and is given five
    // times as long. A writer that pauses longer still is read half-written, and read again
    // once it is done; a change made in the window meanwhile is saved into the half file, and
    // what the writer writes after that goes to the file it had open, which nobody sees.
    static constexpr int DefaultSettleMs = 500;
    // A file that does not end with a line break is waited for this many settle times: it is
    // most likely cut off by a writer that pauses.
    static constexpr int UnfinishedSettleFactor = 5;

    // The user's and the default file at their usual places.
    ConfigStore();
    ConfigStore(const QString &userPath, const QString &defaultPath);
    // Waits for a save that is being written.
    ~ConfigStore() override;

    // Milliseconds on a clock that never goes back; tests drive their own.
    using Clock = std::function<qint64()>;
    void SetClock(Clock clock);
    // Called on the saving thread once a save's new file is on the disk, right before the last
    // look at the old one: tests change the file there, as another program may.
    void SetBeforeReplace(std::function<void()> call);
    void SetSettleTime(int ms);
    int SettleTime() const { return settleMs; }

    // From now on userFileChanged() says that someone else changed the user's file, once that
    // change has settled: the file and its folder are watched, since editors replace files by
    // renaming, and the file is looked at again and again while it changes.
    void WatchUserFile();
    // Looks at the user's file now, as a notification of the watcher does: a change starts the
    // settle time, a settled one is announced.
    void CheckUserFile();
    // Whether someone else's change of the user's file is waiting to be taken in: while it is,
    // nothing is written.
    bool OutsideChangePending() const;
    // A save found the file changed by someone else: the change is taken in once it settles.
    void NoteOutsideChange();
    // Keeps the user's file as it is for the rest of the run: nothing is written over it.
    void KeepUserFile();

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
            Changing,   // the file changed while it was read: it is read again once it settles
        };
        Status status = Missing;
        LauncherConfig config;
        int version = 0;
        QString reason;
        bool empty = false;     // not loaded: the file is there and holds nothing
        bool complete = false;  // as ConfigLoadResult::complete
        bool cutInLine = false; // it does not end with a line break
        bool changedWhileRead = false;
    };

    // Reads `path`, which is the user's file when `isUserFile`. An unreadable user file is kept
    // from then on: Save writes nothing over it. Says on the log which file it read, and why it
    // did not use one.
    // With `later`, the profiles of a long file are read on a thread of their own, as
    // LoadConfigFile does.
    ReadResult Read(const QString &path, bool isUserFile, PendingProfiles *later = nullptr);
    // Reads the user's file for a process that reads it once (the command line): again when it
    // changed while it was read, or when it ends in the middle of a line and was written less
    // than five settle times ago (someone is still writing it); after `boundMs` as it is.
    // Never Changing.
    ReadResult ReadUserFileOnce(int boundMs = 2000);
    // Reads the user's file again after someone else changed it. A file that cannot be read
    // now is not kept for the rest of the run: an editor may have truncated it and be about to
    // write it. Saves wait meanwhile (HoldUserFile).
    ReadResult ReadChangedUserFile();
    // While held, Save writes nothing (and reports no failure): the user's file cannot be read
    // at the moment, and is neither written over nor given up on.
    void HoldUserFile(bool held);
    bool HoldsUserFile() const;

    // Moves the out-of-date user file to the first free Launcher.<version>[.<n>].ini beside it.
    ConfigMoveResult MoveOutdated(int version);

    // The one way to write the user's file: the whole model, atomically, under the write lock.
    // Nothing is written (and `saved` is false) while the user's file is kept or the model is
    // incomplete; nor while someone else's change is waiting to be taken in (`waiting`), nor
    // when the file changed on disk since it was last read or written, which is asked once more
    // right before the new file takes the old one's place (`changedOnDisk`: the caller takes
    // the change in, applies its own and saves again).
    // A failure is logged each time; `firstFailure` is true only for the first since the last
    // success.
    // It first waits for a background save that is being written. With `overOutsideChanges`
    // it writes whatever the file is doing: for the last save of a run that cannot wait for
    // ever on a file that keeps changing.
    ConfigSaveResult Save(const LauncherConfig &config, bool overOutsideChanges = false);

    // Save, on a thread of its own, of a copy of `config` (the model is implicitly shared: the
    // copy costs nothing); returns at once. saved() tells the result on this object's thread.
    // One save is written at a time; a request made meanwhile replaces one that has not
    // started, so that the newest model is the one that ends up on disk.
    void SaveInBackground(const LauncherConfig &config);
    // Returns once every requested save has been written and its saved() delivered.
    void FinishSaves();
    // Whether a requested save is not written yet or its result not delivered yet.
    bool Saving() const;

    // Whether the user's file is left alone for the rest of the run.
    bool KeepsUserFile() const;

    // Whether the user's file on disk is still the one this store last read or wrote: false
    // when someone else changed, replaced or removed it. A file stamped so recently that the
    // file system's clock cannot tell two writes apart is compared by its contents.
    bool UserFileUnchanged() const;

    // Takes the file on disk as the one last read or written: after the caller has taken in
    // what changed there.
    void AcceptDiskState();

    // While it lives, no other launcher process of this user writes Launcher.ini: the window's
    // saves and the command line's import take it (an flock on the folder).
    class WriteLock
    {
    public:
        explicit WriteLock(const QString &userPath);
        ~WriteLock();
        WriteLock(const WriteLock &) = delete;
        WriteLock &operator=(const WriteLock &) = delete;

    private:
        int fd = -1;
    };

signals:
    // Someone else's change of the user's file has settled: read it now (ReadChangedUserFile).
    void userFileChanged();
    // A background save ended: `config` is the model it was asked to write.
    void saved(const ConfigSaveResult &result, const LauncherConfig &config);

private:
    enum class Reading
    {
        Startup, // an unreadable file is kept for the run; a change while it is read is read
                 // again once watched
        Again,   // after a change: a change while it is read makes it Changing
        AsItIs,  // whatever happens meanwhile
    };
    ReadResult ReadFile(const QString &path, bool isUserFile, PendingProfiles *later,
                        Reading reading);
    // The save itself, on whichever thread calls it.
    ConfigSaveResult Write(const LauncherConfig &config, bool overOutsideChanges = false);
    void WritePending();
    void DeliverFinished();
    void EnsureWatched();
    // The file changed (again): the settle time starts anew. Called with stateMutex held.
    void StartSettlingLocked(const FileStamp &seen);
    // What was last read or written, as the file then was.
    void NoteKnownLocked(const FileStamp &stamp, const QByteArray &digest);

    QFileSystemWatcher *watcher = nullptr;
    QTimer *poll = nullptr;
    Clock clock;
    int settleMs = DefaultSettleMs;

    QString userPath;
    std::function<void()> beforeReplace;
    QString defaultPath;

    // What the saving thread shares with this one.
    mutable std::mutex stateMutex;
    // The file as last read or written, and whether its stamp is too recent to tell a write of
    // the same size apart (then `digest` does).
    struct Known
    {
        FileStamp stamp;
        QByteArray digest;
        bool racy = false;
    };
    mutable Known known;
    // Someone else's change seen and not taken in: the last stamp seen and when it was seen.
    bool changing = false;
    FileStamp lastSeen;
    qint64 lastChangeAt = 0;
    // A settled file that was read and looked cut off: not read again until it changes or has
    // been left so for UnfinishedSettleFactor settle times.
    FileStamp unfinished;
    // A save is replacing the file: what the watcher reports meanwhile is looked at after it.
    bool writing = false;
    bool keepUserFile = false;
    bool holdUserFile = false;
    bool failureReported = false;
    std::optional<LauncherConfig> pending;
    QList<std::pair<ConfigSaveResult, LauncherConfig>> finished;

    // Last, so that it ends (after writing what is queued) before the members above go.
    SerialWorker worker;
};
