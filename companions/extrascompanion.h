#pragma once

#include "profileextras.h"
#include "serialworker.h"

#include <QObject>

#include <functional>

class ProfileDocument;
class QFileSystemWatcher;
class QTimer;

// Keeps what profiles carry beyond Launcher.ini (tags, notes, environment) in its side file and
// has it follow the profiles by name: a rename takes it along, a removal puts it aside and an
// undo brings it back, and an edit of Launcher.ini elsewhere does the same by the names it
// leaves. Another program's edit of the side file (a hand edit, a sync tool) is taken in once
// the file has kept still for a moment, merged with what changed here meanwhile; every write
// merges the file as it stands and replaces it in one step, and only while it is the file read.
// A side file that cannot be read is never replaced. The file work runs on a thread of its own.
class ExtrasCompanion : public QObject
{
    Q_OBJECT

public:
    ExtrasCompanion(ProfileDocument *document, const QString &path, QObject *parent = nullptr);
    ~ExtrasCompanion() override;

    // Reads the file and starts watching it.
    void Start();
    QString Path() const { return path; }

    ProfileExtras Of(const QString &profile) const { return extras.value(profile); }
    const ExtrasMap &All() const { return extras; }
    // Why the file cannot be read or written; empty while all is well.
    QString Problem() const { return problem; }

    // Sets the extras of profiles as one undoable step named `text`.
    void Edit(const QString &text, const QList<std::pair<QString, ProfileExtras>> &changes);
    // Sets them now, and writes (the undo steps' own way in).
    void Put(const QString &profile, const ProfileExtras &profileExtras);

    // Returns once the file work asked for is done and what it learnt is known here.
    void WaitForFiles();

signals:
    void changed();
    // The file cannot be read or written (said once per problem).
    void problemFound(const QString &problem);

private:
    void OnRenamed(int row, const QString &oldName);
    void OnRemoved(const QString &name);
    void OnInserted(int row);
    void Resync();
    void Write();
    void ReadOutside();
    void Learn(const ExtrasFile &read, const ExtrasMap &sent, bool wrote, const QString &why);

    ProfileDocument *document = nullptr;
    QString path;
    ExtrasMap extras;
    // As the file was when last read or written: what changed here since is ours to write.
    ExtrasMap base;
    // Those of profiles removed this run: they come back with them (an undo).
    ExtrasMap putAside;
    QString problem;
    QFileSystemWatcher *watcher = nullptr;
    QTimer *settle = nullptr;
    SerialWorker files;
};
