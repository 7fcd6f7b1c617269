#include "extrasactions.h"

#include "dialogs.h"
#include "emulatorcontrol.h"
#include "extrascompanion.h"
#include "hooksdialog.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"

#include <QInputDialog>
#include <QMenu>

ExtrasActions::ExtrasActions(QWidget *w, ProfileDocument *d, ProfileQListWidget *l,
                             EmulatorControl *c, ExtrasCompanion *e)
    : QObject(w), window(w), document(d), list(l), control(c), extras(e)
{
    // The filter finds a profile by its tags and note too; "tag:" finds by tag only.
    list->SetMatcher([this](int row, QStringView text) {
        const LauncherConfig &config = document->Config();
        if (row >= config.profiles.size())
            return ProfileMatch::None;
        const LauncherProfile &profile = config.profiles.at(row);
        return MatchWithExtras(MatchProfile(config, profile, text), extras->Of(profile.name), text);
    });
    // "tag:" changes what a text means: typing it, or more after it, is no narrowing of the text
    // before unless both are of one kind.
    list->SetNarrowing([](const QString &before, const QString &now) {
        const bool wasTag = before.startsWith(QLatin1String("tag:"), Qt::CaseInsensitive);
        const bool isTag = now.startsWith(QLatin1String("tag:"), Qt::CaseInsensitive);
        if (wasTag != isTag)
            return false;
        return isTag ? now.trimmed().startsWith(before.trimmed(), Qt::CaseInsensitive)
                     : now.contains(before, Qt::CaseInsensitive);
    });
    list->SetDescriber([this](int row) {
        const LauncherConfig &config = document->Config();
        return row >= 0 && row < config.profiles.size() ? Describe(config.profiles.at(row).name)
                                                        : QString();
    });
    // Made once, as the list's other actions are: they belong to the window.
    organize = new QMenu(tr("Organi&ze"), window);
    organize->addAction(tr("&Tags…"), this, &ExtrasActions::EditTags);
    organize->addAction(tr("&Notes…"), this, &ExtrasActions::EditNotes);
    organize->addAction(tr("&Environment…"), this, &ExtrasActions::EditEnvironment);
    organize->addAction(tr("&Hooks…"), this, &ExtrasActions::EditHooks);
    launchTag = new QMenu(tr("Launc&h Tag"), window);
    stopTag = new QMenu(tr("Sto&p Tag"), window);
    for (QMenu *submenu : {organize, launchTag, stopTag})
        list->addAction(submenu->menuAction());
    // A side file that cannot be read is left alone; the user is told what is not kept.
    connect(extras, &ExtrasCompanion::problemFound, this, [this](const QString &problem) {
        ShowMessage(
            window, QMessageBox::Warning, window->windowTitle(),
            tr("The tags, notes and environments of the profiles are not kept: %1.").arg(problem));
    });
    connect(extras, &ExtrasCompanion::changed, list, [this] {
        if (!list->Filter().isEmpty())
            list->SetFilter(list->Filter());
    });
}

void ExtrasActions::AddTo(QMenu *menu)
{
    menu->addMenu(organize);
    menu->addMenu(launchTag);
    menu->addMenu(stopTag);
    // The tags as they are now.
    launchTag->clear();
    stopTag->clear();
    const QStringList tags = AllTags(extras->All());
    for (const QString &tag : tags) {
        const QString shown = ShownName(tag, 60).replace(QLatin1Char('&'), QLatin1String("&&"));
        launchTag->addAction(shown, control, [this, tag] { control->LaunchTag(tag); });
        stopTag->addAction(shown, control, [this, tag] { control->StopTag(tag); });
    }
    launchTag->setEnabled(!tags.isEmpty());
    stopTag->setEnabled(!tags.isEmpty());
}

QStringList ExtrasActions::SelectedNames() const
{
    QStringList names;
    const LauncherConfig &config = document->Config();
    for (const int row : list->SelectedShownRows()) {
        if (row >= 0 && row < config.profiles.size())
            names.append(config.profiles.at(row).name);
    }
    return names;
}

void ExtrasActions::EditTags()
{
    const QStringList names = SelectedNames();
    if (names.isEmpty())
        return;
    // Several: the tags they all have are shown, and what is typed becomes each one's tags.
    QStringList common = extras->Of(names.first()).tags;
    for (const QString &name : names)
        common.removeIf([&](const QString &tag) { return !HasTag(extras->Of(name), tag); });
    bool ok = false;
    const QString typed = QInputDialog::getText(
        window, tr("Tags"),
        names.size() == 1
            ? tr("Tags of \"%1\", separated by commas:").arg(ShownName(names.first(), 60))
            : tr("Tags of the %n selected profiles, separated by commas (they replace the tags "
                 "each has):",
                 nullptr, int(names.size())),
        QLineEdit::Normal, common.join(QStringLiteral(", ")), &ok);
    if (!ok)
        return;
    const QStringList tags = ParseTags(typed);
    QList<std::pair<QString, ProfileExtras>> changes;
    for (const QString &name : names) {
        ProfileExtras now = extras->Of(name);
        now.tags = tags;
        changes.append({name, now});
    }
    extras->Edit(names.size() == 1 ? tr("Set Tags of \"%1\"").arg(ShownName(names.first(), 60))
                                   : tr("Set Tags of %n Profiles", nullptr, int(names.size())),
                 changes);
}

void ExtrasActions::EditNotes()
{
    const QStringList names = SelectedNames();
    if (names.isEmpty())
        return;
    const QString name = names.first();
    bool ok = false;
    const QString notes = QInputDialog::getMultiLineText(
        window, tr("Notes"), tr("Notes of \"%1\":").arg(ShownName(name, 60)),
        extras->Of(name).notes, &ok);
    if (!ok)
        return;
    ProfileExtras now = extras->Of(name);
    now.notes = notes.trimmed();
    extras->Edit(tr("Set Notes of \"%1\"").arg(ShownName(name, 60)), {{name, now}});
}

void ExtrasActions::EditEnvironment()
{
    const QStringList names = SelectedNames();
    if (names.isEmpty())
        return;
    const QString name = names.first();
    QString text = EnvironmentText(extras->Of(name).environment);
    for (;;) {
        bool ok = false;
        text = QInputDialog::getMultiLineText(
            window, tr("Environment"),
            tr("Variables the emulators of \"%1\" are given, one NAME=value per line:")
                .arg(ShownName(name, 60)),
            text, &ok);
        if (!ok)
            return;
        QString problem;
        const auto environment = ParseEnvironment(text, &problem);
        if (!environment) {
            // Asked again with what was typed: nothing is lost to a slip.
            ShowMessage(window, QMessageBox::Warning, tr("Environment"),
                        tr("\"%1\" is no NAME=value line: a name is made of letters, digits and "
                           "_, and does not start with a digit.")
                            .arg(ShownText(problem, 200)));
            continue;
        }
        ProfileExtras now = extras->Of(name);
        now.environment = *environment;
        extras->Edit(tr("Set Environment of \"%1\"").arg(ShownName(name, 60)), {{name, now}});
        return;
    }
}

void ExtrasActions::EditHooks()
{
    const QStringList names = SelectedNames();
    if (names.isEmpty())
        return;
    const QString name = names.first();
    ProfileExtras now = extras->Of(name);
    const auto answer = AskHooks(window, name, {now.beforeLaunch, now.afterExit, now.hookTimeout});
    if (!answer)
        return;
    now.beforeLaunch = answer->before;
    now.afterExit = answer->after;
    now.hookTimeout = answer->timeout;
    extras->Edit(tr("Set Hooks of \"%1\"").arg(ShownName(name, 60)), {{name, now}});
}

QString ExtrasActions::Describe(const QString &profile) const
{
    const ProfileExtras of = extras->Of(profile);
    QStringList lines;
    if (!of.tags.isEmpty())
        lines.append(tr("Tags: %1").arg(ShownText(of.tags.join(QStringLiteral(", ")), 300)));
    if (!of.notes.isEmpty())
        lines.append(ShownText(of.notes, 1000));
    if (!of.environment.isEmpty())
        lines.append(
            tr("Environment: %1").arg(ShownText(EnvironmentList(of).join(QLatin1Char(' ')), 300)));
    // Commands that run on a launch are never out of sight.
    if (!of.beforeLaunch.isEmpty())
        lines.append(tr("Before launch: %1").arg(ShownText(of.beforeLaunch, 300)));
    if (!of.afterExit.isEmpty())
        lines.append(tr("After it ends: %1").arg(ShownText(of.afterExit, 300)));
    return lines.join(QLatin1Char('\n'));
}
