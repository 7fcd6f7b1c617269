#include "profiledocument.h"

#include "diagnostics.h"

#include <QDeadlineTimer>
#include <QScopedValueRollback>
#include <QThread>
#include <QTimer>

namespace {

bool SameEntries(const LauncherConfig &a, const LauncherConfig &b)
{
    for (int s = 1; s < SectionCount; ++s) {
        if (a.sections.value(s).entries != b.sections.value(s).entries)
            return false;
    }
    return true;
}

} // namespace

// The document and its file: saves, the close's write, and another program's change taken in
// once it has settled, with the change made here applied to it.

bool ProfileDocument::Settled() const
{
    return !store.OutsideChangePending();
}

void ProfileDocument::WhenSettled(QObject *context, std::function<void()> action)
{
    if (Settled()) {
        action();
        return;
    }
    const quint64 id = ++nextActionId;
    settledActions.append({context, std::move(action), id});
    // A file that never settles (a program rewriting it all the time) keeps nobody waiting.
    QTimer::singleShot(LaunchWaitMs, this, [this, id] {
        for (qsizetype i = 0; i < settledActions.size(); ++i) {
            if (settledActions.at(i).id != id)
                continue;
            const SettledAction waiting = settledActions.takeAt(i);
            if (waiting.context)
                waiting.action();
            return;
        }
    });
}

void ProfileDocument::RunSettledActions()
{
    while (!settledActions.isEmpty() && Settled()) {
        const SettledAction waiting = settledActions.takeFirst();
        if (waiting.context)
            waiting.action();
    }
}

bool ProfileDocument::WriteAll()
{
    // Closing, or the session asking for the data: nobody is there to answer a message.
    const QScopedValueRollback<bool> quiet(tellSaveFailures, false);
    const QDeadlineTimer deadline(CloseWaitMs);
    // The whole model is written below: a save waiting for quiet is part of it.
    saveSoon->stop();
    store.FinishSaves();
    for (;;) {
        // Someone else's change is waited for while it settles, within the bound; after it,
        // what is there is taken in as it is, and the model is written over whatever the file
        // is doing by then.
        while (store.OutsideChangePending() && !deadline.hasExpired()) {
            QThread::msleep(20);
            store.CheckUserFile();
        }
        const bool late = deadline.hasExpired();
        if (store.OutsideChangePending()) {
            ConfigStore::ReadResult read = store.ReadChangedUserFile();
            if (read.status == ConfigStore::ReadResult::Changing)
                read = store.ReadUserFileOnce(0);
            // A file cut off by a writer that stopped is not merged into: the model, made from
            // the last whole file and the changes since, takes its place.
            if (read.status != ConfigStore::ReadResult::Loaded || read.complete)
                TakeIn(std::move(read));
            else
                heldCutOff = true;
        }
        if (heldCutOff) {
            // Nothing changed here: the cut-off file is left to whoever writes it.
            if (!saveWanted && config.profiles == savedConfig.profiles &&
                SameEntries(config, savedConfig))
                return false;
            store.HoldUserFile(false);
            qCWarning(lcLauncher).noquote()
                << QStringLiteral("%1 is cut off; the whole configuration is written over it")
                       .arg(store.UserPath());
        }
        saveWanted = false;
        lastSave = store.Save(config, late || heldCutOff);
        if (lastSave.saved) {
            NoteOwnSave(config);
            return true;
        }
        if (!lastSave.changedOnDisk && !lastSave.waiting)
            return false;
        // Changed under the save: taken in (once settled, within the bound) and saved again.
        store.NoteOutsideChange();
    }
}

void ProfileDocument::WaitForSaves()
{
    SaveNowIfSoon();
    // A save that found the file changed by someone else waits for that change to settle; a
    // few rounds finish what is written meanwhile.
    for (int round = 0; round < 3 && store.Saving(); ++round)
        store.FinishSaves();
}

void ProfileDocument::SaveChanges()
{
    // Someone else's change comes first: this one goes into their file once it is taken in.
    if (store.OutsideChangePending()) {
        saveWanted = true;
        return;
    }
    store.SaveInBackground(config);
}

void ProfileDocument::OnSaved(const ConfigSaveResult &result, const LauncherConfig &written)
{
    lastSave = result;
    if (result.saved) {
        NoteOwnSave(written);
        return;
    }
    // Someone else changed the file since it was read: this change goes into theirs.
    if (result.changedOnDisk || result.waiting) {
        saveWanted = true;
        store.NoteOutsideChange();
        return;
    }
    // Once until a save succeeds again: every change of a session on a full disk would
    // otherwise ask to be clicked away.
    if (result.firstFailure && tellSaveFailures)
        emit saveFailed(store.UserPath(), result.reason);
}

void ProfileDocument::NoteOwnSave(const LauncherConfig &written)
{
    // A run of saves keeps what the file was before each; a few are enough for any program
    // that reads, changes and renames within the grace time.
    constexpr qsizetype KeptStates = 4;
    if (ownSavesRecent.hasExpired())
        beforeOwnSaves.clear();
    beforeOwnSaves.append(savedConfig);
    if (beforeOwnSaves.size() > KeptStates)
        beforeOwnSaves.removeFirst();
    ownSavesRecent.setRemainingTime(OwnSaveGraceMs);
    savedConfig = written;
}

void ProfileDocument::TakeInOutsideChange()
{
    // What was saved meanwhile is part of what it compares with.
    store.FinishSaves();
    TakeIn(store.ReadChangedUserFile());
}

void ProfileDocument::TakeIn(ConfigStore::ReadResult read)
{
    switch (read.status) {
    case ConfigStore::ReadResult::Changing:
        // Written again while it was read: the store looks once more when it has settled.
        return;
    case ConfigStore::ReadResult::Loaded: {
        if (!read.complete) {
            // Cut off, and left so longer than any writer pauses: merged into, it would take
            // every option list along. The changes here wait for a whole file, and the window
            // keeps the last whole one.
            store.HoldUserFile(true);
            heldCutOff = true;
            if (!outsideProblemShown) {
                outsideProblemShown = true;
                emit outsideChangeUnusable(
                    store.UserPath(),
                    tr("it ends in the middle of a line or lacks a section, as a file that "
                       "another program has not finished writing does"));
            }
            break;
        }
        store.HoldUserFile(false);
        heldCutOff = false;
        outsideProblemShown = false;
        // The change made here since the last save, applied to what is on disk now.
        saveWanted = false;
        LauncherConfig theirs = std::move(read.config);
        LauncherConfig merged = theirs;
        QStringList notKept;
        // Right after a save of ours, theirs may be built on the file before it: what the saves
        // brought is applied first (where theirs has it already, nothing changes), then what
        // changed here since.
        if (!ownSavesRecent.hasExpired()) {
            // The newest of the saved states their file has seen is what it was built on.
            qsizetype built = beforeOwnSaves.size();
            while (built > 0 &&
                   !ChangeSeenIn(merged, beforeOwnSaves.at(built - 1),
                                 built < beforeOwnSaves.size() ? beforeOwnSaves.at(built)
                                                               : savedConfig))
                --built;
            if (built < beforeOwnSaves.size())
                ApplyModelChange(merged, beforeOwnSaves.at(built), savedConfig, &notKept);
        }
        ApplyModelChange(merged, savedConfig, config, &notKept);
        beforeOwnSaves.clear();
        // The file holds theirs: what differs from it is still to be saved.
        const bool toSave = merged.profiles != theirs.profiles || !SameEntries(merged, theirs);
        ReplaceModel(std::move(merged));
        savedConfig = std::move(theirs);
        if (toSave)
            SaveChanges();
        if (!notKept.isEmpty())
            emit changesNotKept(notKept.join(QLatin1Char('\n')));
        break;
    }
    case ConfigStore::ReadResult::Missing:
        // Removed: the profiles here make it again.
        store.HoldUserFile(false);
        store.AcceptDiskState();
        saveWanted = false;
        SaveChanges();
        break;
    case ConfigStore::ReadResult::Unreadable:
    case ConfigStore::ReadResult::OutOfDate:
        if (read.empty) {
            // Emptied and left so for the settle time: nothing of anyone's is lost by writing
            // the profiles here.
            store.HoldUserFile(false);
            saveWanted = false;
            SaveChanges();
            break;
        }
        // Saves wait until it can be read again; the next change of the file is read as usual.
        store.HoldUserFile(true);
        heldCutOff = false;
        if (!outsideProblemShown) {
            outsideProblemShown = true;
            emit outsideChangeUnusable(store.UserPath(),
                                       read.status == ConfigStore::ReadResult::OutOfDate
                                           ? tr("it is of version %1").arg(read.version)
                                           : read.reason);
        }
        break;
    }
    RunSettledActions();
}

void ProfileDocument::SaveStep(bool soon)
{
    if (soon) {
        saveSoon->start();
        return;
    }
    saveSoon->stop();
    SaveChanges();
}

void ProfileDocument::SaveNowIfSoon()
{
    if (!saveSoon->isActive())
        return;
    saveSoon->stop();
    SaveChanges();
}
