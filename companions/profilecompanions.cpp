#include "profilecompanions.h"

#include "extrascompanion.h"

#include "desktopentry.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "launchrecords.h"
#include "profiledocument.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>

#include <utility>

namespace {

// Of two logs of one profile, the one started later: their names begin with the start time.
bool Newer(const QString &log, const QString &than)
{
    return QFileInfo(log).fileName() > QFileInfo(than).fileName();
}

} // namespace

ProfileCompanions::ProfileCompanions(ProfileDocument *d, EmulatorLauncher *l, const QString &path,
                                     QObject *parent)
    : QObject(parent), document(d), launcher(l), launcherPath(path)
{
    // A document of no file (a test's) keeps its extras in memory only.
    const QString userPath = document->Store().UserPath();
    extras =
        new ExtrasCompanion(document, userPath.isEmpty() ? QString() : ExtrasPath(userPath), this);
    connect(document, &ProfileDocument::profileRenamed, this, &ProfileCompanions::OnRenamed);
    connect(document, &ProfileDocument::profileRemoved, this,
            [this](int, const QString &name) { OnRemoved(name); });
    connect(document, &ProfileDocument::profileInserted, this, &ProfileCompanions::OnInserted);
    connect(document, &ProfileDocument::reset, this, &ProfileCompanions::Resync);
    connect(launcher, &EmulatorLauncher::launched, this, [this](const LaunchRecord &record) {
        ProfileUse &used = use[record.profile];
        ++used.launchCount;
        used.lastLaunched = record.started;
        emit useChanged();
        if (record.log.isEmpty())
            return;
        logs.insert(record.profile, record.log);
        emit logsChanged();
    });
    // Another launcher process started or ended one: its log may be the newest.
    if (EmulatorMonitor *monitor = launcher->Monitor())
        connect(monitor, &EmulatorMonitor::countsChanged, this, &ProfileCompanions::RefreshLogs);
}

ProfileCompanions::~ProfileCompanions()
{
    files.Wait();
}

template <typename Result>
void ProfileCompanions::Post(std::function<Result()> work,
                             std::function<void(const Result &)> learnt)
{
    files.Post([this, work = std::move(work), learnt = std::move(learnt)] {
        Result result = work();
        // Dropped when the object is gone by then.
        QMetaObject::invokeMethod(this, [learnt, result] { learnt(result); });
    });
}

void ProfileCompanions::Start()
{
    Resync();
    extras->Start();
}

void ProfileCompanions::WaitForFiles()
{
    extras->WaitForFiles();
    files.Wait();
    // What the work learnt waits in this thread's queue.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ProfileCompanions::OnRenamed(int row, const QString &oldName)
{
    const QString name = document->Config().profiles.at(row).name;
    launcher->RenameRecords(oldName, name);
    if (logs.contains(oldName))
        logs.insert(name, logs.take(oldName));
    if (use.contains(oldName)) {
        use.insert(name, use.take(oldName));
        emit useChanged();
    }
    if (!entries.remove(oldName))
        return;
    entries.insert(name);
    ++entryWork;
    const QString path = launcherPath;
    Post<bool>(
        [path, oldName, name] {
            RenameDesktopEntry(path, oldName, name);
            return true;
        },
        [](const bool &) {});
}

void ProfileCompanions::OnRemoved(const QString &name)
{
    if (!entries.remove(name))
        return;
    entriesRemoved.insert(name);
    ++entryWork;
    Post<bool>(
        [name] {
            RemoveDesktopEntry(name);
            return true;
        },
        [](const bool &) {});
}

void ProfileCompanions::OnInserted(int row)
{
    const QString name = document->Config().profiles.at(row).name;
    if (!entriesRemoved.remove(name))
        return;
    AddMenuEntries({name});
}

void ProfileCompanions::AddMenuEntries(const QStringList &profiles)
{
    for (const QString &name : profiles) {
        entries.insert(name);
        entriesRemoved.remove(name);
    }
    ++entryWork;
    const QString path = launcherPath;
    Post<QList<CompanionFailure>>(
        [path, profiles] {
            QList<CompanionFailure> failures;
            for (const QString &name : profiles) {
                QString error;
                if (!WriteDesktopEntry(path, name, &error))
                    failures.append({name, error});
            }
            return failures;
        },
        [this](const QList<CompanionFailure> &failures) {
            for (const CompanionFailure &failure : failures)
                entries.remove(failure.profile);
            if (!failures.isEmpty())
                emit menuEntriesFailed(failures);
        });
}

void ProfileCompanions::RemoveMenuEntries(const QStringList &profiles)
{
    for (const QString &name : profiles) {
        entries.remove(name);
        entriesRemoved.remove(name);
    }
    ++entryWork;
    Post<bool>(
        [profiles] {
            for (const QString &name : profiles)
                RemoveDesktopEntry(name);
            return true;
        },
        [](const bool &) {});
}

void ProfileCompanions::Resync()
{
    const QStringList names = document->Config().ProfileNames();
    const QSet<QString> present(names.cbegin(), names.cend());
    QStringList back;
    for (const QString &name : names) {
        if (entriesRemoved.remove(name))
            back.append(name);
    }
    for (auto it = entries.begin(); it != entries.end();) {
        if (present.contains(*it)) {
            ++it;
        } else {
            entriesRemoved.insert(*it);
            it = entries.erase(it);
        }
    }
    for (const QString &name : std::as_const(back))
        entries.insert(name);
    struct Found
    {
        QStringList removed;
        QStringList have;
    };
    const QString path = launcherPath;
    const quint64 ticket = ++entryWork;
    Post<Found>(
        [path, names, back] {
            Found found;
            for (const QString &name : back)
                WriteDesktopEntry(path, name, nullptr);
            found.removed = RemoveStaleDesktopEntries(names);
            found.have = DesktopEntryProfiles();
            return found;
        },
        [this, ticket](const Found &found) {
            for (const QString &name : found.removed)
                entriesRemoved.insert(name);
            // What the folder holds, unless work asked for since may have changed it.
            if (ticket == entryWork)
                entries = QSet<QString>(found.have.cbegin(), found.have.cend());
        });
    RefreshLogs();
}

void ProfileCompanions::RefreshLogs()
{
    // One look at a time; changes meanwhile ask for one more.
    if (logsAsked) {
        logsAgain = true;
        return;
    }
    logsAsked = true;
    const QStringList names = document->Config().ProfileNames();
    struct Found
    {
        QHash<QString, QString> logs;
        QHash<QString, ProfileUse> use;
    };
    Post<Found>(
        [names] {
            return Found{NewestLogs(names), ReadProfileUse()};
        },
        [this](const Found &read) {
            logsAsked = false;
            const QHash<QString, QString> &found = read.logs;
            if (read.use != use) {
                use = read.use;
                emit useChanged();
            }
            QHash<QString, QString> now = found;
            // A launch learnt meanwhile is newer than what was read.
            for (auto it = logs.cbegin(); it != logs.cend(); ++it) {
                const QString read = now.value(it.key());
                if (document->Config().FindProfile(it.key()) >= 0 &&
                    (read.isEmpty() || Newer(it.value(), read)))
                    now.insert(it.key(), it.value());
            }
            logs = now;
            emit logsChanged();
            if (std::exchange(logsAgain, false))
                RefreshLogs();
        });
}
