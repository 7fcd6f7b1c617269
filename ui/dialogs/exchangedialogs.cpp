#include "exchangedialogs.h"

#include "extrascompanion.h"

#include "configmessages.h"
#include "dialogs.h"
#include "filelocations.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"
#include "windowmemory.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <optional>

ExchangeDialogs::ExchangeDialogs(QWidget *w, ProfileDocument *d, ProfileQListWidget *l,
                                 ExtrasCompanion *e)
    : QObject(w), window(w), document(d), list(l), extras(e)
{
}

void ExchangeDialogs::OnExportProfiles()
{
    const LauncherConfig &config = document->Config();
    // By name: the list may change while the dialogs are open.
    QStringList only;
    for (const int row : list->SelectedShownRows())
        only.append(config.profiles.at(row).name);
    bool chosen = false;
    if (!only.isEmpty()) {
        QMessageBox box(
            QMessageBox::Question, tr("Export Profiles"),
            only.size() == 1
                ? tr("Export all profiles, or only \"%1\"?").arg(ShownName(only.first()))
                : tr("Export all profiles, or only the %n selected?", nullptr, int(only.size())),
            QMessageBox::Cancel, window);
        QPushButton *all = box.addButton(tr("All Profiles"), QMessageBox::AcceptRole);
        QPushButton *some =
            box.addButton(only.size() == 1 ? tr("Selected Profile") : tr("Selected Profiles"),
                          QMessageBox::AcceptRole);
        // Several chosen on purpose are what Enter exports; the current row alone is no choice.
        box.setDefaultButton(only.size() > 1 ? some : all);
        FitTitle(&box);
        box.exec();
        if (box.clickedButton() == some)
            chosen = true;
        else if (box.clickedButton() != all)
            return;
    }
    // Launcher.ini's format either way; the type of its own opens with the launcher.
    QFileDialog dialog(window, tr("Export Profiles"), QString(),
                       tr("Velmora profiles (*.vmprofiles);;Launcher configurations (*.ini);;All "
                          "files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("vmprofiles"));
    StartInLastFolder(&dialog);
    dialog.selectFile(QStringLiteral("Profiles.vmprofiles"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    NoteLastFolder(path);
    QList<int> rows;
    if (chosen) {
        for (const QString &name : std::as_const(only)) {
            const int now = config.FindProfile(name);
            if (now < 0) {
                TellProfileGone(window, tr("Export Profiles"), name, tr("Nothing was exported."));
                return;
            }
            rows.append(now);
        }
    } else {
        for (int r = 0; r < config.profiles.size(); ++r)
            rows.append(r);
    }
    const ConfigSaveResult saved =
        ExportProfilesToFile(config, rows, path, document->Store().UserPath(), extras->All());
    if (!saved.saved)
        ShowMessage(window, QMessageBox::Warning, tr("Export Profiles"),
                    tr("The profiles could not be exported: %1 cannot be written: %2.")
                        .arg(ShownPath(path), saved.reason));
}

void ExchangeDialogs::OnImportProfiles()
{
    QFileDialog dialog(window, tr("Import Profiles"), QString(),
                       tr("Profile files (*.vmprofiles *.ini);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    StartInLastFolder(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    NoteLastFolder(dialog.selectedFiles().first());
    ImportAsking(dialog.selectedFiles().first());
}

void ExchangeDialogs::ImportAsking(const QString &path)
{
    // Asked once per name that exists, unless the user says to do the same for the rest.
    std::optional<ImportChoice> forTheRest;
    ImportProfilesFrom(path, [&](const QString &name) {
        if (forTheRest)
            return *forTheRest;
        QMessageBox box(QMessageBox::Question, tr("Import Profiles"),
                        tr("A profile named \"%1\" already exists. Replace it with the imported "
                           "one, or skip the imported one?")
                            .arg(ShownName(name)),
                        QMessageBox::NoButton, window);
        QPushButton *replace = box.addButton(tr("Replace"), QMessageBox::AcceptRole);
        box.addButton(tr("Skip"), QMessageBox::RejectRole);
        auto *rest = new QCheckBox(tr("Do the same for the other profiles of the file"));
        box.setCheckBox(rest);
        FitTitle(&box);
        box.exec();
        const ImportChoice choice =
            box.clickedButton() == replace ? ImportChoice::Replace : ImportChoice::Skip;
        if (rest->isChecked())
            forTheRest = choice;
        return choice;
    });
}

void ExchangeDialogs::ImportProfilesFrom(const QString &path, const ImportDecider &decide)
{
    document->Import(path, decide, [this, path](const ProfileDocument::ImportOutcome &outcome) {
        ShowImportOutcome(path, outcome);
    });
}

void ExchangeDialogs::ShowImportOutcome(const QString &path,
                                        const ProfileDocument::ImportOutcome &outcome)
{
    const QString title = tr("Import Profiles");
    if (outcome.read != ConfigLoadResult::Loaded) {
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("%1 cannot be imported: %2.")
                        .arg(ShownPath(path),
                             outcome.read == ConfigLoadResult::Missing ? tr("it does not exist")
                             : outcome.read == ConfigLoadResult::Unreadable
                                 ? outcome.readReason
                                 : tr("it is no launcher configuration of a version read here")));
        return;
    }
    if (!outcome.saved.saved) {
        // Nothing half-imported: the window and the file stay as they were.
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("Nothing was imported: %1 cannot be written: %2.")
                        .arg(ShownPath(document->Store().UserPath()),
                             outcome.saved.reason.isEmpty() ? tr("it is left as it is")
                                                            : outcome.saved.reason));
        return;
    }
    const ImportReport &report = outcome.report;
    if (!report.First().isEmpty())
        list->setCurrentRow(document->Config().FindProfile(report.First()));
    TakeCarriedExtras(outcome);
    if (!report.refused.isEmpty()) {
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("These profiles were not imported: a name cannot be empty or hold a "
                       "double quote, a line break or another control character.\n\n") +
                        ShownNames(report.refused).join(QLatin1Char('\n')));
    }
    if (!outcome.notApplied.isEmpty()) {
        // The configuration file changed while the questions were open.
        ShowMessage(window, QMessageBox::Information, title,
                    tr("These profiles were not imported as you answered:\n\n%1")
                        .arg(ShownTexts(outcome.notApplied).join(QLatin1Char('\n'))));
    }
}

void ExchangeDialogs::TakeCarriedExtras(const ProfileDocument::ImportOutcome &outcome)
{
    const QStringList names = outcome.report.added + outcome.report.replaced;
    QStringList commands;
    for (const QString &name : names) {
        const ProfileExtras of = outcome.carried.value(name);
        if (!CarriesCommands(of))
            continue;
        QStringList lines{tr("\"%1\":").arg(ShownName(name, 60))};
        for (const QString &variable : EnvironmentList(of))
            lines.append(tr("  Environment: %1").arg(ShownText(variable, 200)));
        if (!of.beforeLaunch.isEmpty())
            lines.append(tr("  Before launch: %1").arg(ShownText(of.beforeLaunch, 400)));
        if (!of.afterExit.isEmpty())
            lines.append(tr("  After it ends: %1").arg(ShownText(of.afterExit, 400)));
        commands.append(lines.join(QLatin1Char('\n')));
    }
    // Commands someone else wrote run only once the user has seen them and said so.
    bool takeCommands = false;
    if (!commands.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, tr("Import Profiles"),
                        tr("The imported profiles carry an environment and commands that run "
                           "when they launch. Take them too? Without them only the tags and "
                           "notes are taken."),
                        QMessageBox::NoButton, window);
        box.setDetailedText(commands.join(QStringLiteral("\n\n")));
        QPushButton *take = box.addButton(tr("Take Them"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(tr("Leave Them Out"), QMessageBox::RejectRole));
        FitTitle(&box);
        box.exec();
        takeCommands = box.clickedButton() == take;
    }
    QList<std::pair<QString, ProfileExtras>> changes;
    for (const QString &name : names) {
        // A file that carries nothing for a profile leaves what the profile has here.
        if (!outcome.carried.contains(name))
            continue;
        const ProfileExtras now =
            TakenOnImport(extras->Of(name), outcome.carried.value(name), takeCommands);
        if (now != extras->Of(name))
            changes.append({name, now});
    }
    if (!changes.isEmpty())
        extras->Edit(takeCommands ? tr("Import Tags, Notes, Environment and Hooks")
                                  : tr("Import Tags and Notes"),
                     changes);
}
