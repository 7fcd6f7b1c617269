#include "runningemulatorsview.h"

#include "configmessages.h"
#include "dialogs.h"
#include "emulatorlaunch.h"
#include "emulatormonitor.h"
#include "filelocations.h"
#include "instances.h"
#include "mainwindow.h"
#include "profilelistactions.h"
#include "profileqlistwidget.h"
#include "runningcountdelegate.h"

#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>

RunningEmulatorsView::RunningEmulatorsView(MainWindow *w, ProfileQListWidget *profileList,
                                           ProfileListActions *listActions)
    : QObject(w), window(w), list(profileList), actions(listActions)
{
    monitor = new EmulatorMonitor(this);
    connect(monitor, &EmulatorMonitor::countsChanged, this, [this] { Refresh(false); });
    connect(monitor, &EmulatorMonitor::endedEarly, this, &RunningEmulatorsView::ShowEarlyEnd);
    connect(list, &QListWidget::currentRowChanged, this, [this] { Refresh(false); });
}

RunningEmulatorsView::~RunningEmulatorsView() = default;

void RunningEmulatorsView::Start()
{
    monitor->Start();
    // The logs of emulators that ended while no launcher ran.
    records.Post([] { PruneLogs(); });
}

void RunningEmulatorsView::RenameRecords(const QString &oldName, const QString &newName)
{
    records.Post([oldName, newName] { RenameLaunchRecords(oldName, newName); });
}

void RunningEmulatorsView::Launched(const LaunchResult &launched)
{
    const LaunchRecord record = launched.record;
    records.Post([record] { RecordLaunch(record); });
    monitor->Add(launched.record);
    // Once: a log folder that cannot be written never stops a launch.
    if (!launched.logProblem.isEmpty() && !logProblemShown) {
        logProblemShown = true;
        ShowMessage(window, QMessageBox::Warning, WarningTitle(),
                    tr("The emulator's output cannot be kept in %1: %2. It is discarded.")
                        .arg(ShownPath(LogDirectory()), launched.logProblem));
    }
}

void RunningEmulatorsView::Refresh(bool rowsRebuilt)
{
    if (rowsRebuilt)
        shownCounts.clear();
    const QHash<QString, int> counts = monitor->Counts();
    // Only the rows whose count changed are touched.
    QSet<QString> names(shownCounts.keyBegin(), shownCounts.keyEnd());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        names.insert(it.key());
    for (const QString &name : std::as_const(names)) {
        const int count = counts.value(name);
        if (count == shownCounts.value(name))
            continue;
        const int row = window->Config().FindProfile(name);
        if (QListWidgetItem *item = row >= 0 ? list->item(row) : nullptr) {
            item->setData(RunningCountDelegate::CountRole, count);
            item->setData(Qt::AccessibleDescriptionRole,
                          count > 0 ? tr("%n running", nullptr, count) : QString());
        }
    }
    shownCounts = counts;
    const int current = list->currentRow();
    const LauncherConfig &config = window->Config();
    actions->SetRunningCount(counts.value(current >= 0 && current < config.profiles.size()
                                              ? config.profiles.at(current).name
                                              : QString()),
                             int(monitor->Records().size()));
}

void RunningEmulatorsView::ShowEarlyEnd(const LaunchRecord &record, const QString &how)
{
    // Not modal: the user goes on working, and several of these may stand side by side.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Velmora Mobile Emulator Launcher"),
                                QString(), QMessageBox::Close, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Nor does it take the keyboard from what the user is doing.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setModal(false);
    const double seconds = record.started.msecsTo(QDateTime::currentDateTime()) / 1000.0;
    box->setText(how.isEmpty()
                     ? tr("The emulator for \"%1\" ended %2 seconds after it started.")
                           .arg(ShownText(record.profile, 200))
                           .arg(seconds, 0, 'f', 1)
                     : tr("The emulator for \"%1\" ended %2 seconds after it started: %3.")
                           .arg(ShownText(record.profile, 200))
                           .arg(seconds, 0, 'f', 1)
                           .arg(how));
    if (!record.log.isEmpty()) {
        box->setInformativeText(tr("The last lines of its output:\n\n%1").arg(LogTail(record.log)));
        QPushButton *open = box->addButton(tr("Open Log"), QMessageBox::ActionRole);
        const QString log = record.log;
        // Opening the log leaves the notice where it is.
        open->disconnect();
        connect(open, &QPushButton::clicked, this, [log] { OpenLocalPage(log); });
    }
    FitTitle(box);
    box->show();
}
