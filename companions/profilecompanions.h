#pragma once

#include "profileuse.h"
#include "serialworker.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class EmulatorLauncher;
class ExtrasCompanion;
class ProfileDocument;

// A profile's companion that could not follow it, and why.
struct CompanionFailure
{
    QString profile;
    QString error;
};

// What hangs on a profile's name outside Launcher.ini follows the profile: its entry in the
// applications menu and its launch records follow a rename; its menu entry goes with it and
// comes back with it (an undo); and after any change of the whole model (another program's
// edit, an import, a step of several) the entries of profiles gone go. It also knows, without
// asking the disk, which profiles have a menu entry and the newest log of each.
//
// The file work runs on a thread of its own, in the order asked; what it learns comes back to
// the object's thread. Nothing here shows anything.
class ProfileCompanions : public QObject
{
    Q_OBJECT

public:
    // `launcherPath` is what menu entries start.
    ProfileCompanions(ProfileDocument *document, EmulatorLauncher *launcher,
                      const QString &launcherPath, QObject *parent = nullptr);
    // Finishes the file work asked for.
    ~ProfileCompanions() override;

    // Looks at the files as they stand: removes the entries of profiles gone while no launcher
    // ran, and learns which profiles have an entry and a log.
    void Start();

    bool HasMenuEntry(const QString &profile) const { return entries.contains(profile); }
    // The newest log of `profile` known (it may have been removed since); empty when none.
    QString NewestLog(const QString &profile) const { return logs.value(profile); }

    // Writes or removes the menu entries of `profiles`; the entries that cannot be written come
    // back in `menuEntriesFailed`.
    void AddMenuEntries(const QStringList &profiles);
    void RemoveMenuEntries(const QStringList &profiles);

    // When each profile was last launched and how often, as last read and since learnt.
    ProfileUse Use(const QString &profile) const { return use.value(profile); }

    // The tags, notes and environment of the profiles, in their side file.
    ExtrasCompanion *Extras() const { return extras; }

    // Returns once the file work asked for so far is done and what it learnt is known here.
    // For a window that closes, and for tests.
    void WaitForFiles();

signals:
    void menuEntriesFailed(const QList<CompanionFailure> &failures);
    // What NewestLog() knows changed.
    void logsChanged();
    // What Use() knows changed.
    void useChanged();

private:
    void OnRenamed(int row, const QString &oldName);
    void OnRemoved(const QString &name);
    void OnInserted(int row);
    // The whole model changed: entries of profiles gone go, those of profiles back come back,
    // and what is known is read again.
    void Resync();
    void RefreshLogs();
    // Runs `work` on the files' thread; `learnt` runs here with its result.
    template <typename Result>
    void Post(std::function<Result()> work, std::function<void(const Result &)> learnt);

    ProfileDocument *document = nullptr;
    EmulatorLauncher *launcher = nullptr;
    QString launcherPath;
    // Profiles with a menu entry, as known here: set when asked, confirmed by the files.
    QSet<QString> entries;
    // Profiles whose menu entry went with them this run: it comes back with them.
    QSet<QString> entriesRemoved;
    QHash<QString, QString> logs;
    QHash<QString, ProfileUse> use;
    // Counts the work on menu entries posted, so that an older look at the folder never
    // overwrites what was asked since.
    quint64 entryWork = 0;
    bool logsAsked = false;
    bool logsAgain = false;
    ExtrasCompanion *extras = nullptr;
    SerialWorker files;
};
