#pragma once

#include "configfile.h"
#include "launcherconfig.h"
#include "serialworker.h"

#include <QList>
#include <QObject>
#include <QString>

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
class ConfigStore : public QObject
{
    Q_OBJECT

public:
    // The user's and the default file at their usual places.
    ConfigStore();
    ConfigStore(const QString &userPath, const QString &defaultPath);
    // Waits for a save that is being written.
    ~ConfigStore() override;

    // From now on userFileChanged() says, within a second, that someone else changed the
    // user's file (an editor, a sync tool, another program): the file and its folder are
    // watched, since editors replace files by renaming.
    void WatchUserFile();
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
        };
        Status status = Missing;
        LauncherConfig config;
        int version = 0;
        QString reason;
        bool empty = false; // not loaded: the file is there and holds nothing
    };

    // Reads `path`, which is the user's file when `isUserFile`. An unreadable user file is kept
    // from then on: Save writes nothing over it. Says on the log which file it read, and why it
    // did not use one.
    // With `later`, the profiles of a long file are read on a thread of their own, as
    // LoadConfigFile does.
    ReadResult Read(const QString &path, bool isUserFile, PendingProfiles *later = nullptr);
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
    // incomplete, nor when the file changed on disk since it was last read or written (then
    // `changedOnDisk` is set: the caller reads it again, applies its change and saves again).
    // A failure is logged each time; `firstFailure` is true only for the first since the last
    // success.
    // It first waits for a background save that is being written.
    ConfigSaveResult Save(const LauncherConfig &config);

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

    // Whether the user's file on disk is still the one this store last read or wrote (its size,
    // modification time and inode): false when someone else changed, replaced or removed it.
    bool UserFileUnchanged() const;

    // Takes the file on disk as the one last read or written: after the caller has taken in
    // what changed there.
    void AcceptDiskState();

    // While it lives, no other launcher process of this user writes Launcher.ini: the window's
    // saves and the command line's import take it (an flock on a sibling lock file).
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
    void userFileChanged();
    // A background save ended: `config` is the model it was asked to write.
    void saved(const ConfigSaveResult &result, const LauncherConfig &config);

private:
    void OnWatched();
    ReadResult ReadFile(const QString &path, bool isUserFile, PendingProfiles *later,
                        bool keepUnreadable);
    // The save itself, on whichever thread calls it.
    ConfigSaveResult Write(const LauncherConfig &config);
    void WritePending();
    void DeliverFinished();

    QFileSystemWatcher *watcher = nullptr;
    QTimer *settle = nullptr;

    struct Stamp
    {
        bool exists = false;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        quint64 inode = 0;
        bool operator==(const Stamp &o) const
        {
            return exists == o.exists && size == o.size && modifiedNs == o.modifiedNs &&
                   inode == o.inode;
        }
    };
    static Stamp StampOf(const QString &path);
    QString userPath;
    QString defaultPath;

    // What the saving thread shares with this one.
    mutable std::mutex stateMutex;
    Stamp known;
    bool keepUserFile = false;
    bool holdUserFile = false;
    bool failureReported = false;
    std::optional<LauncherConfig> pending;
    QList<std::pair<ConfigSaveResult, LauncherConfig>> finished;

    // Last, so that it ends (after writing what is queued) before the members above go.
    SerialWorker worker;
};
