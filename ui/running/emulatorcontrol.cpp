#include "emulatorcontrol.h"

#include "dialogs.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "extrascompanion.h"
#include "launchrecords.h"
#include "logviewer.h"
#include "profilecompanions.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"
#include "runningpanel.h"

#include <QFileInfo>
#include <QMessageBox>

EmulatorControl::EmulatorControl(QWidget *w, ProfileDocument *d, ProfileQListWidget *l,
                                 EmulatorLauncher *service, ProfileCompanions *c)
    : QObject(w), window(w), document(d), list(l), launcher(service), companions(c)
{
    connect(launcher, &EmulatorLauncher::stopped, this, &EmulatorControl::ShowStopFailures);
}

void EmulatorControl::Launch(const QString &profile, const SplitCommand &shown)
{
    const QList<int> rows = list->SelectedShownRows();
    if (rows.size() <= 1) {
        launcher->Launch({{profile, shown}});
        return;
    }
    // A slip of Ctrl+A should not start dozens of emulators.
    if (rows.size() > MaxLaunchedUnasked &&
        ShowMessage(
            window, QMessageBox::Question, tr("Launch"),
            tr("Start %n emulators, one for each selected profile?", nullptr, int(rows.size())),
            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    // Read after the question: the list may have changed while it was open.
    const LauncherConfig &config = document->Config();
    QList<LaunchRequest> requests;
    for (const int row : list->SelectedShownRows())
        requests.append(Stored(config.profiles.at(row)));
    launcher->Launch(requests);
}

LaunchRequest EmulatorControl::Stored(const LauncherProfile &profile) const
{
    SplitCommand command = StoredCommand(document->Config(), profile);
    AddExtras(command, companions->Extras()->Of(profile.name));
    return {profile.name, command};
}

void EmulatorControl::LaunchTag(const QString &tag)
{
    const QStringList names = TaggedProfiles(tag);
    if (names.size() > MaxLaunchedUnasked &&
        ShowMessage(window, QMessageBox::Question, tr("Launch Tag"),
                    tr("Start %n emulators, one for each profile tagged \"%1\"?", nullptr,
                       int(names.size()))
                        .arg(ShownName(tag)),
                    QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    // Read after the question: the list may have changed while it was open.
    const LauncherConfig &config = document->Config();
    QList<LaunchRequest> requests;
    for (const QString &name : TaggedProfiles(tag)) {
        const int row = config.FindProfile(name);
        if (row >= 0)
            requests.append(Stored(config.profiles.at(row)));
    }
    launcher->Launch(requests);
}

bool EmulatorControl::LaunchStored(const QString &name)
{
    const int row = document->Config().FindProfile(name);
    if (row < 0)
        return false;
    launcher->Launch({Stored(document->Config().profiles.at(row))});
    return true;
}

void EmulatorControl::StopTag(const QString &tag)
{
    for (const QString &name : TaggedProfiles(tag))
        launcher->Stop(name);
}

QStringList EmulatorControl::TaggedProfiles(const QString &tag) const
{
    // In the list's order.
    QStringList names;
    for (const LauncherProfile &profile : document->Config().profiles) {
        if (HasTag(companions->Extras()->Of(profile.name), tag))
            names.append(profile.name);
    }
    return names;
}

void EmulatorControl::StopSelected()
{
    for (const int row : list->SelectedShownRows())
        launcher->Stop(document->Config().profiles.at(row).name);
}

void EmulatorControl::StopAll()
{
    const int count = int(launcher->Monitor()->Records().size());
    if (count > 1 && ShowMessage(window, QMessageBox::Question, tr("Stop All Emulators"),
                                 tr("Stop all %n running emulators?", nullptr, count),
                                 QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    launcher->Stop(QString());
}

void EmulatorControl::ShowStopFailures(const QStringList &failures)
{
    if (panel)
        panel->Refresh();
    if (!failures.isEmpty())
        ShowMessage(window, QMessageBox::Warning, tr("Stop"),
                    tr("These emulators could not be stopped:\n\n%1")
                        .arg(failures.join(QLatin1Char('\n'))));
}

bool EmulatorControl::HasLog(int row) const
{
    return row >= 0 && row < document->Config().profiles.size() &&
           !companions->NewestLog(document->Config().profiles.at(row).name).isEmpty();
}

void EmulatorControl::ShowLog()
{
    const int row = list->currentRow();
    if (row < 0 || row >= document->Config().profiles.size())
        return;
    const QString profile = document->Config().profiles.at(row).name;
    QString log = companions->NewestLog(profile);
    // Removed since it was learnt: asked of the records and the folder now.
    if (!log.isEmpty() && !QFileInfo::exists(log))
        log = LogsOf(profile).value(0); // a look at the folder; the records' lock is not taken
    if (log.isEmpty()) {
        ShowMessage(window, QMessageBox::Information, tr("Show Log"),
                    tr("No emulator of this profile has left a log yet."));
        return;
    }
    LogViewer::Open(window, profile, log);
}

void EmulatorControl::OpenRunningPanel()
{
    if (!panel) {
        panel = new RunningPanel(window, launcher, arrangeMenu);
        connect(panel, &RunningPanel::stopRequested, launcher,
                qOverload<const LaunchRecord &>(&EmulatorLauncher::Stop));
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void EmulatorControl::ReopenRunningPanel()
{
    if (RunningPanel::WasOpen())
        OpenRunningPanel();
}
