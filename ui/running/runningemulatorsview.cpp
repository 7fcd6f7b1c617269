#include "runningemulatorsview.h"

#include <utility>

#include "configmessages.h"
#include "dialogs.h"
#include "earlyendnotice.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "filelocations.h"
#include "launchrecords.h"
#include "logviewer.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"
#include "runningcountdelegate.h"

#include <QAccessible>
#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>

RunningEmulatorsView::RunningEmulatorsView(QWidget *w, ProfileDocument *d,
                                           ProfileQListWidget *profileList, EmulatorLauncher *l)
    : QObject(w), window(w), document(d), list(profileList), launcher(l)
{
    EmulatorMonitor *monitor = launcher->Monitor();
    connect(monitor, &EmulatorMonitor::countsChanged, this, [this] { Refresh(false); });
    connect(monitor, &EmulatorMonitor::endedEarly, this, &RunningEmulatorsView::ShowEarlyEnd);
    connect(list, &ProfileQListWidget::currentProfileRowChanged, this, [this] { Refresh(false); });
    connect(launcher, &EmulatorLauncher::failed, this, &RunningEmulatorsView::ShowFailures);
    connect(launcher, &EmulatorLauncher::logProblem, this, &RunningEmulatorsView::ShowLogProblem);
    connect(launcher, &EmulatorLauncher::recordProblem, this,
            &RunningEmulatorsView::ShowRecordProblem);
}

void RunningEmulatorsView::ShowFailures(const QList<LaunchFailure> &failures)
{
    // One text, whoever asked: the window, a selection, Launch Again. Of several, each line
    // names its profile.
    QStringList lines;
    for (const LaunchFailure &failure : failures) {
        const QString line = tr("%1: %2").arg(ShownPath(failure.program), failure.error);
        lines.append(failures.size() == 1
                         ? line
                         : tr("\"%1\": %2").arg(ShownName(failure.profile, 200), line));
    }
    ShowMessage(window, QMessageBox::Critical, tr("Velmora Mobile Emulator Launcher"),
                tr("Failed to start Velmora Mobile Emulator!"), QMessageBox::Ok,
                lines.join(QLatin1Char('\n')));
}

void RunningEmulatorsView::ShowLogProblem(const QString &reason)
{
    // Once: a log folder that cannot be written never stops a launch.
    if (logProblemShown)
        return;
    logProblemShown = true;
    ShowMessage(window, QMessageBox::Warning, WarningTitle(),
                tr("The emulator's output cannot be kept in %1: %2. It is discarded.")
                    .arg(ShownPath(LogDirectory()), reason));
}

void RunningEmulatorsView::ShowRecordProblem(const QString &reason)
{
    // Once a run: the emulators still start.
    if (recordProblemShown)
        return;
    recordProblemShown = true;
    ShowMessage(window, QMessageBox::Warning, WarningTitle(),
                tr("The emulator runs, but the launcher cannot write down that it does in %1: "
                   "%2. It cannot show or stop it.")
                    .arg(ShownPath(StateDirectory()), reason));
}

void RunningEmulatorsView::Refresh(bool rowsRebuilt)
{
    if (rowsRebuilt)
        shownCounts.clear();
    const QHash<QString, int> counts = launcher->Monitor()->Counts();
    // Only the rows whose count changed are touched.
    QSet<QString> names(shownCounts.keyBegin(), shownCounts.keyEnd());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        names.insert(it.key());
    // A thousand emulators that end together change a thousand rows: their rows are found in
    // one pass over the profiles, not one pass each.
    QHash<QString, int> rows;
    if (names.size() > 16) {
        const QList<LauncherProfile> &profiles = document->Config().profiles;
        rows.reserve(profiles.size());
        for (int row = int(profiles.size()) - 1; row >= 0; --row)
            rows.insert(profiles.at(row).name, row);
    }
    for (const QString &name : std::as_const(names)) {
        const int count = counts.value(name);
        if (count == shownCounts.value(name))
            continue;
        const int row =
            rows.isEmpty() ? document->Config().FindProfile(name) : rows.value(name, -1);
        if (QListWidgetItem *item = row >= 0 ? list->item(row) : nullptr) {
            item->setData(RunningCountDelegate::CountRole, count);
            item->setData(ProfileQListWidget::RunningTextRole,
                          count > 0 ? tr("%n running", nullptr, count) : QString());
            list->Describe(row);
        }
    }
    shownCounts = counts;
    const int current = list->currentRow();
    const LauncherConfig &config = document->Config();
    emit runningCountsChanged(counts.value(current >= 0 && current < config.profiles.size()
                                               ? config.profiles.at(current).name
                                               : QString()),
                              int(launcher->Monitor()->Records().size()));
}

void RunningEmulatorsView::ShowEarlyEnd(const LaunchRecord &record, const QString &how)
{
    const QString seconds =
        QLocale().toString(record.started.msecsTo(QDateTime::currentDateTime()) / 1000.0, 'f', 1);
    const QString name = ShownName(record.profile, 200);
    const QString text =
        how.isEmpty()
            ? tr("The emulator for \"%1\" ended %2 seconds after it started.").arg(name, seconds)
            : tr("The emulator for \"%1\" ended %2 seconds after it started: %3.")
                  .arg(name, seconds, how);
    // One notice lists every failure not yet dismissed, newest first: several quick failures
    // would otherwise open windows on top of each other.
    if (!notice) {
        notice = new EarlyEndNotice(window);
        connect(notice, &EarlyEndNotice::openLogRequested, this,
                [this](const QString &profile, const QString &log) {
                    LogViewer::Open(window, profile, log);
                });
    }
    if (flushScheduled) {
        pendingEnds.append({record.profile, record.log, text});
        return;
    }
    notice->Add({{record.profile, record.log, text}});
    flushScheduled = true;
    QTimer::singleShot(0, this, &RunningEmulatorsView::AddPendingEnds);
}

void RunningEmulatorsView::AddPendingEnds()
{
    flushScheduled = false;
    const QList<EarlyEndNotice::End> ends = std::exchange(pendingEnds, {});
    if (!ends.isEmpty() && notice)
        notice->Add(ends);
}
