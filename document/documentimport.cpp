#include "profiledocument.h"

#include "groupcommands.h"

#include <QUndoStack>

// An import: the questions first, then the answers applied to the model as it is by then.

void ProfileDocument::Import(const QString &path, const ImportDecider &decide,
                             const ImportDone &done)
{
    ImportOutcome outcome;
    const ConfigLoadResult source = LoadConfigFile(path);
    outcome.read = source.status;
    outcome.readReason = source.reason;
    outcome.carried = ExtrasFromComments(source.config.comments);
    if (source.status != ConfigLoadResult::Loaded) {
        done(outcome);
        return;
    }
    // The questions first, about the profiles as they are while each is asked; a question
    // lets the window run, so the names are looked up afresh after each one.
    QHash<QString, ImportAnswer> answers;
    QHash<QString, int> rows = config.ProfileRows();
    for (const LauncherProfile &incoming : source.config.profiles) {
        if (!IsStorableProfileName(incoming.name) || answers.contains(incoming.name))
            continue;
        const int row = rows.value(incoming.name, -1);
        if (row < 0)
            continue;
        const ProfileSettings asked = ProfileSettings::Of(config, config.profiles.at(row));
        const QList<LauncherProfile> profilesBefore = config.profiles;
        answers.insert(incoming.name, {decide(incoming.name), asked});
        if (config.profiles.constData() != profilesBefore.constData() ||
            config.profiles.size() != profilesBefore.size())
            rows = config.ProfileRows();
    }
    // Then the answers, to the model as it is once any change made outside meanwhile is in.
    WhenSettled(this, [this, model = source.config, answers, outcome, done] {
        FinishImport(model, answers, outcome, done, 0);
    });
}

void ProfileDocument::FinishImport(const LauncherConfig &source,
                                   const QHash<QString, ImportAnswer> &answers,
                                   ImportOutcome outcome, const ImportDone &done, int attempt)
{
    LauncherConfig merged = config;
    const QHash<QString, int> rows = merged.ProfileRows();
    LauncherConfig incoming = source;
    outcome.notApplied.clear();
    // An answer to replace a profile that is gone by now has nothing left to replace.
    incoming.profiles.removeIf([&](const LauncherProfile &profile) {
        const auto answer = answers.constFind(profile.name);
        if (answer == answers.cend() || rows.contains(profile.name))
            return false;
        if (answer->choice == ImportChoice::Replace)
            outcome.notApplied.append(ProfileCommand::Gone(profile.name));
        return true;
    });
    outcome.report = ImportProfiles(merged, incoming, [&](const QString &name) {
        const auto answer = answers.constFind(name);
        // The file's own second profile of a name: the first is the one the launcher uses.
        if (answer == answers.cend() && !rows.contains(name))
            return ImportChoice::Skip;
        if (answer == answers.cend()) {
            // Made outside while the questions were open: nobody was asked about it.
            outcome.notApplied.append(
                ProfileCommand::tr("the profile %1 was added outside the launcher meanwhile")
                    .arg(ProfileCommand::Quoted(name)));
            return ImportChoice::Skip;
        }
        if (answer->choice == ImportChoice::Skip)
            return ImportChoice::Skip;
        if (!answer->expected.Matches(config, config.profiles.at(rows.value(name)))) {
            outcome.notApplied.append(ProfileCommand::Changed(name));
            return ImportChoice::Skip;
        }
        return ImportChoice::Replace;
    });
    // Those skipped for a reason are not the ones the user skipped.
    outcome.report.skipped.removeIf([&](const QString &name) {
        const auto answer = answers.constFind(name);
        return answer == answers.cend() || answer->choice == ImportChoice::Replace;
    });
    const ImportReport &report = outcome.report;
    if (report.added.isEmpty() && report.replaced.isEmpty() && report.entriesAdded == 0) {
        // Nothing to bring: the file stays as it is, and nothing needs writing.
        outcome.saved.saved = true;
        done(outcome);
        return;
    }
    outcome.saved = store.Save(merged);
    if ((outcome.saved.changedOnDisk || outcome.saved.waiting) && attempt < 3) {
        // Someone wrote the file meanwhile: the answers go into theirs once it has settled.
        store.NoteOutsideChange();
        WhenSettled(this, [=] { FinishImport(source, answers, outcome, done, attempt + 1); });
        return;
    }
    // Nothing half-imported: the model and the file stay as they were.
    if (!outcome.saved.saved) {
        done(outcome);
        return;
    }
    auto *command = new ImportCommand(this, ProfileCommand::tr("Import Profiles"), config, merged,
                                      outcome.report);
    command->SetSaved();
    NoteOwnSave(merged);
    ReplaceModel(std::move(merged));
    Push(command);
    done(outcome);
}
