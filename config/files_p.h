#pragma once

#include "configfile.h"

#include <QString>

#include <functional>

// What the configuration's files ask of the system beyond Qt. The Unix answers are in
// files_unix.cpp (with ConfigStore's write lock); a Windows port adds files_win.cpp.

// The stamp of the open file `descriptor`.
FileStamp StampOfDescriptor(int descriptor);

// Nanoseconds since the epoch on the clock the file system stamps files with.
qint64 FileClockNowNs();

// A new file that takes the place of `path` in one step once it is complete: written beside
// the file that `path` leads to (through links), flushed to the disk, and renamed over it only
// after a last look at what is there. It takes the old file's owner, group and mode where the
// system lets it. Only when the folder refuses a new file and `inPlaceIfNeeded` is the old file
// written in place instead.
class ReplacementFile
{
public:
    ReplacementFile(const QString &path, bool inPlaceIfNeeded);
    // Removes the new file unless it was put in place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile &) = delete;
    ReplacementFile &operator=(const ReplacementFile &) = delete;

    bool Open();
    // Writes all of it; false with a reason when the system takes less.
    bool Write(const char *data, qint64 size);

    enum class Outcome
    {
        Replaced,
        Changed, // `stillUnchanged` said no: the old file stays as it is
        Failed,
    };
    // Flushes the new file to the disk, asks `stillUnchanged` (when given) at the last moment
    // and renames the new file over the old one. In place, the question comes before anything
    // of the old file is touched.
    Outcome Commit(const std::function<bool()> &stillUnchanged);
    // Of the file now at the path, once replaced.
    FileStamp Stamp() const { return stamp; }
    QString Reason() const { return reason; }

private:
    bool Fail(int error);

    QString target;    // the file itself, links followed
    QString temporary; // the new file while it is written
    int fd = -1;
    bool inPlaceIfNeeded = false;
    bool inPlace = false;
    bool committed = false;
    QByteArray pendingInPlace;
    FileStamp stamp;
    QString reason;
};
