#pragma once

#include "launcherconfig.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Launcher.ini on disk: loading a file into a model, moving an out-of-date file aside, and
// saving a model. These decide and report; telling the user is the caller's business.

// What the system says of a file without reading it: which file it is, how long it is and when
// it changed. Another program's edit changes at least one of them, but for an edit of the same
// size within the file system's time granularity: see IsRacy.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0; // the inode's change time: a rename or a write moves it on

    bool operator==(const FileStamp &o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modifiedNs == o.modifiedNs && changedNs == o.changedNs;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
    // Whether a write made now could leave the same stamp: the file changed so recently (at
    // `nowNs`) that the file system's coarse clock may not have moved on since. Only its
    // contents tell then.
    bool IsRacy(qint64 nowNs) const;
};

// The file's stamp (following links); one that does not exist when nothing is there.
FileStamp StampOfFile(const QString &path);
// A digest of a file's bytes, to tell a racy stamp's file from another.
QByteArray ContentDigest(QByteArrayView bytes);

struct ConfigLoadResult
{
    enum Status
    {
        Loaded,     // `config` is complete: default entries ensured, profiles built
        Missing,    // no file at the path
        Unreadable, // a file is there but cannot be read; `reason` says why
        OutOfDate,  // read, but of a version that is not supported; `version` is what it said
    };

    Status status = Missing;
    LauncherConfig config;
    int version = 0;
    QString reason;
    // The file that was read, and a digest of its bytes.
    FileStamp stamp;
    QByteArray digest;
    // Someone wrote to the file or replaced it while it was being read: what was read may be
    // half of it.
    bool changedWhileRead = false;
    // It ends with a line break and has all four section headers, as every file the launcher
    // writes has: one that does not may be cut off by a writer that is not done yet.
    bool complete = false;
    bool cutInLine = false; // it does not end with a line break
};

// Larger than five times a file of 100,000 profiles: no Launcher.ini a person keeps.
constexpr qint64 MaxConfigFileSize = qint64(64) << 20;

struct ConfigLoadResult;

// The profiles of a loaded file while they are still being read on a thread of their own.
class PendingProfiles
{
public:
    QStringList names; // in file order, known at once

    // Whether they are being read.
    bool Pending() const { return reading != nullptr; }
    // Reads, on this thread too, those the other thread has not come to, and returns them all;
    // nothing is pending afterwards.
    QList<LauncherProfile> Take();

    struct Reading;

private:
    friend ConfigLoadResult LoadConfigFile(const QString &path, PendingProfiles *later);
    std::shared_ptr<Reading> reading;
};

// Only a regular file (after following links) of at most MaxConfigFileSize is read; anything
// else there counts as unreadable, so that it is never replaced by mistake.
// With `later`, the profiles of a long file are read on a thread of their own: a loaded
// result's `config` then has none, `later->names` has their names and `later->Take()` gives
// them (nothing is pending when they were read at once).
ConfigLoadResult LoadConfigFile(const QString &path, PendingProfiles *later = nullptr);

struct ConfigMoveResult
{
    QString path; // where the file went, or where it could not go
    bool moved = false;
};

// Moves an out-of-date file to the first free Launcher.<version>[.<n>].ini beside it, never
// over an existing file.
ConfigMoveResult MoveOutdatedConfig(const QString &path, int version);

struct ConfigSaveResult
{
    bool saved = false;
    QString reason;             // why not, when not saved
    bool firstFailure = false;  // set by ConfigStore: the first failure since a save worked
    bool changedOnDisk = false; // someone else changed the file; not saved
    // Set by ConfigStore: not written, since someone else's change of the file is not taken in
    // yet (it may still be being written).
    bool waiting = false;
    // Once saved: the file written, and a digest of its bytes.
    FileStamp stamp;
    QByteArray digest;
};

// Writes the whole model to `path` in one step: the old file stays whole until the new one is
// complete and flushed to the disk. The directory is created when it is missing. Only when
// `inPlaceIfNeeded` and the directory refuses a temporary file is the file written in place. A
// model whose file would be larger than MaxConfigFileSize is not written. `stillUnchanged`, when
// given, is asked at the last moment before the new file replaces the old one (right before the
// rename): false leaves the old file and sets changedOnDisk. `complete`, when given, is called
// once the new file is complete, before that question.
ConfigSaveResult SaveConfigFile(const QString &path, const LauncherConfig &config,
                                bool inPlaceIfNeeded = true,
                                const std::function<bool()> &stillUnchanged = {},
                                const std::function<void()> &complete = {});

// Where an out-of-date user file is moved: Launcher.<version>.ini beside it, or, when that is
// taken, the first free Launcher.<version>.<n>.ini.
QString FreeOutdatedConfigPath(const QString &userFilePath, int version);
