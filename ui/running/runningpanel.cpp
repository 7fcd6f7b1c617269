#include "runningpanel.h"

#include "commandline.h"
#include "dialogs.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "logviewer.h"
#include "mnemonics.h"
#include "windowmemory.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSettings>

#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <climits>

namespace {

QString OpenKey()
{
    return QStringLiteral("runningPanel/open");
}

// "12 s", "3 min", "2 h".
QString Duration(qint64 ms)
{
    const qint64 seconds = qMax<qint64>(0, ms / 1000);
    if (seconds < 120)
        return RunningPanel::tr("%n s", nullptr, int(seconds));
    if (seconds < 120 * 60)
        return RunningPanel::tr("%n min", nullptr, int(seconds / 60));
    return RunningPanel::tr("%n h", nullptr, int(seconds / 3600));
}

} // namespace

int EmulatorTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int EmulatorTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString EmulatorTableModel::State(const Row &row)
{
    if (row.running)
        return row.record.stopping ? tr("stopping") : tr("running");
    if (row.record.stopping)
        return tr("stopped by the launcher");
    const QString after = Duration(row.record.started.msecsTo(row.ended));
    return row.how.isEmpty() ? tr("ended after %1").arg(after)
                             : tr("%1 after %2").arg(row.how, after);
}

// Only a command the records kept whole is copied or started again: a part of one would start
// another emulator than the one shown.
static bool WholeCommand(const LaunchRecord &record)
{
    return !record.command.isEmpty() && record.commandChars == 0;
}

QVariant EmulatorTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    const Row &row = rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case ProfileColumn:
            return ShownName(row.record.profile, 200);
        case PidColumn:
            return QString::number(row.record.pid);
        case StartedColumn:
            return tr("%1 (%2 ago)")
                .arg(ShownTime(row.record.started.toLocalTime()),
                     Duration(row.record.started.msecsTo(QDateTime::currentDateTime())));
        case StateColumn:
            return State(row);
        }
        break;
    case SortRole:
        switch (index.column()) {
        case ProfileColumn:
            return row.record.profile;
        case PidColumn:
            return row.record.pid;
        case StartedColumn:
            return row.record.started;
        case StateColumn:
            // Running ones first, then by when they ended.
            return row.running ? QDateTime() : row.ended;
        }
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == PidColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case Qt::ToolTipRole:
        if (row.record.commandChars > 0)
            return tr("Its command line was too long to keep whole (%n characters): it cannot be "
                      "copied or launched again from here.",
                      nullptr, int(qMin<qint64>(row.record.commandChars, INT_MAX)));
        break;
    }
    return QVariant();
}

QVariant EmulatorTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case ProfileColumn:
        return tr("Profile");
    case PidColumn:
        return tr("Process ID");
    case StartedColumn:
        return tr("Started");
    case StateColumn:
        return tr("State");
    }
    return QVariant();
}

void EmulatorTableModel::SetRows(QList<Row> newRows)
{
    beginResetModel();
    rows = std::move(newRows);
    endResetModel();
}

RunningPanel::RunningPanel(QWidget *parent, EmulatorLauncher *service, QMenu *arrange)
    : QWidget(parent, Qt::Window), launcher(service), monitor(service->Monitor())
{
    setObjectName(QStringLiteral("runningPanel"));
    setWindowTitle(tr("Running Emulators"));
    setAccessibleName(windowTitle());
    // Closing the launcher's window ends the launcher, whether this one is open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    model = new EmulatorTableModel(this);
    sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(model);
    sorted->setSortRole(EmulatorTableModel::SortRole);
    table = new QTableView;
    table->setObjectName(QStringLiteral("runningTable"));
    table->setAccessibleName(tr("Emulators"));
    table->setModel(sorted);
    table->setSortingEnabled(true);
    table->sortByColumn(EmulatorTableModel::StartedColumn, Qt::DescendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    // Tab goes on to the buttons; the arrows move among the rows.
    table->setTabKeyNavigation(false);

    auto *buttons = new QDialogButtonBox;
    stopButton = buttons->addButton(tr("S&top"), QDialogButtonBox::ActionRole);
    logButton = buttons->addButton(tr("Show &Log"), QDialogButtonBox::ActionRole);
    copyButton = buttons->addButton(tr("&Copy Command Line"), QDialogButtonBox::ActionRole);
    againButton = buttons->addButton(tr("Launch &Again"), QDialogButtonBox::ActionRole);
    if (arrange) {
        QPushButton *arrangeButton =
            buttons->addButton(tr("A&rrange Emulators"), QDialogButtonBox::ActionRole);
        arrangeButton->setMenu(arrange);
        arrangeButton->setEnabled(arrange->isEnabled());
        arrangeButton->setToolTip(arrange->menuAction()->toolTip());
    }
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    connect(stopButton, &QPushButton::clicked, this, &RunningPanel::StopSelected);
    connect(logButton, &QPushButton::clicked, this, &RunningPanel::ShowLogs);
    connect(copyButton, &QPushButton::clicked, this, &RunningPanel::CopyCommands);
    connect(againButton, &QPushButton::clicked, this, &RunningPanel::LaunchAgain);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton *button : {stopButton, logButton, copyButton, againButton}) {
        auto *action = new QAction(button->text(), table);
        connect(action, &QAction::triggered, button, &QPushButton::click);
        table->addAction(action);
    }
    connect(table, &QTableView::doubleClicked, this, &RunningPanel::ShowLogs);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table, 1);
    layout->addWidget(buttons);
    // Close's letter comes from the platform's theme; the window's own letters come first.
    CompleteMnemonics(this);

    connect(monitor, &EmulatorMonitor::countsChanged, this, &RunningPanel::Refresh);
    connect(monitor, &EmulatorMonitor::recordsRead, this, &RunningPanel::Refresh);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RunningPanel::UpdateButtons);
    clock = new QTimer(this);
    clock->setInterval(1000);
    connect(clock, &QTimer::timeout, this, [this] {
        // Only the times move: the rows stay, and so does the selection.
        emit model->dataChanged(
            model->index(0, EmulatorTableModel::StartedColumn),
            model->index(model->rowCount() - 1, EmulatorTableModel::StateColumn));
    });
    resize(700, 360);
    RememberGeometry(this, QStringLiteral("runningPanel"));
}

void RunningPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool RunningPanel::WasOpen()
{
    return WindowSettings().value(OpenKey(), false).toBool();
}

void RunningPanel::showEvent(QShowEvent *event)
{
    WindowSettings().setValue(OpenKey(), true);
    clock->start();
    // What the monitor last read at once, and what the records say now once they are read.
    Refresh();
    monitor->ReadAgain();
    // Measured once: kept up to date, a column sized to its contents measures every row.
    table->resizeColumnsToContents();
    QWidget::showEvent(event);
}

void RunningPanel::closeEvent(QCloseEvent *event)
{
    // Closed by the user; one the launcher's end takes with it is open at the next start.
    WindowSettings().setValue(OpenKey(), false);
    clock->stop();
    QWidget::closeEvent(event);
}

void RunningPanel::Refresh()
{
    // A closed panel reads nothing; it reads the records as it opens.
    if (!isVisible())
        return;
    // The selection by process id and start, across the rows made anew.
    QList<QPair<qint64, QDateTime>> chosen;
    for (const EmulatorTableModel::Row &row : Selected())
        chosen.append({row.record.pid, row.record.started});
    // What runs as the monitor knows it (an emulator just started is there before its record
    // is written); what ended as the records keep it.
    const QList<LaunchRecord> listed = monitor->Listed();
    const QList<EndedLaunch> ended = monitor->Ended();
    QList<EmulatorTableModel::Row> rows;
    QSet<QPair<qint64, QString>> runningNow;
    for (const LaunchRecord &record : monitor->Records()) {
        rows.append({record, true, QDateTime(), QString()});
        runningNow.insert({record.pid, record.identity});
    }
    for (const EndedLaunch &end : std::as_const(ended)) {
        if (!runningNow.contains({end.record.pid, end.record.identity}))
            rows.append({end.record, false, end.ended, HowEnded(end)});
    }
    // Seen to end by the monitor before the records say so.
    for (const LaunchRecord &record : std::as_const(listed)) {
        if (!runningNow.contains({record.pid, record.identity}))
            rows.append({record, false, QDateTime::currentDateTime(), QString()});
    }
    model->SetRows(rows);
    for (int row = 0; row < sorted->rowCount(); ++row) {
        const EmulatorTableModel::Row &r =
            model->RowAt(sorted->mapToSource(sorted->index(row, 0)).row());
        if (chosen.contains({r.record.pid, r.record.started}))
            table->selectionModel()->select(sorted->index(row, 0), QItemSelectionModel::Select |
                                                                       QItemSelectionModel::Rows);
    }
    UpdateButtons();
}

QList<EmulatorTableModel::Row> RunningPanel::Selected() const
{
    QList<EmulatorTableModel::Row> rows;
    if (!table || !table->selectionModel())
        return rows;
    for (const QModelIndex &index : table->selectionModel()->selectedRows())
        rows.append(model->RowAt(sorted->mapToSource(index).row()));
    return rows;
}

void RunningPanel::UpdateButtons()
{
    const QList<EmulatorTableModel::Row> rows = Selected();
    const auto any = [&rows](auto test) {
        return std::any_of(rows.cbegin(), rows.cend(), test);
    };
    stopButton->setEnabled(any([](const auto &r) { return r.running && !r.record.stopping; }));
    logButton->setEnabled(any([](const auto &r) { return !r.record.log.isEmpty(); }));
    copyButton->setEnabled(any([](const auto &r) { return WholeCommand(r.record); }));
    againButton->setEnabled(copyButton->isEnabled());
    const QList<QAction *> actions = table->actions();
    const QList<QPushButton *> buttons = {stopButton, logButton, copyButton, againButton};
    for (int i = 0; i < actions.size() && i < buttons.size(); ++i)
        actions.at(i)->setEnabled(buttons.at(i)->isEnabled());
}

void RunningPanel::StopSelected()
{
    for (const EmulatorTableModel::Row &row : Selected()) {
        if (row.running)
            emit stopRequested(row.record);
    }
}

void RunningPanel::ShowLogs()
{
    for (const EmulatorTableModel::Row &row : Selected()) {
        if (!row.record.log.isEmpty())
            LogViewer::Open(parentWidget(), row.record.profile, row.record.log);
    }
}

void RunningPanel::CopyCommands()
{
    QStringList lines;
    for (const EmulatorTableModel::Row &row : Selected()) {
        if (WholeCommand(row.record))
            lines.append(ShellCommand(
                {row.record.command.first(), row.record.command.mid(1), row.record.environment}));
    }
    if (!lines.isEmpty())
        QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

void RunningPanel::LaunchAgain()
{
    // With what each was started, for its profile.
    QList<LaunchRequest> requests;
    for (const EmulatorTableModel::Row &row : Selected()) {
        if (WholeCommand(row.record))
            requests.append({row.record.profile,
                             {row.record.command.first(), row.record.command.mid(1),
                              row.record.environment, row.record.hooks}});
    }
    launcher->Launch(requests);
}
