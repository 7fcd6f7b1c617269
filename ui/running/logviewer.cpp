#include "logviewer.h"

#include "logpartbar.h"

#include "dialogs.h"
#include "emulatorlaunch.h"
#include "filelocations.h"
#include "launchrecords.h"
#include "mnemonics.h"
#include "windowmemory.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// A line longer than this is shown cut: laying out megabytes in one row stalls every paint.
constexpr qsizetype ShownLineLength = 4000;
constexpr int FollowMs = 250;

QString WrapKey()
{
    return QStringLiteral("logViewer/wrap");
}

QList<QPointer<LogViewer>> &OpenViewers()
{
    static QList<QPointer<LogViewer>> viewers;
    return viewers;
}

// "2026-12-07 10:15:30" from a log's name, which starts with its start time.
QString StartOf(const QString &log)
{
    const QDateTime started = QDateTime::fromString(QFileInfo(log).fileName().left(15),
                                                    QStringLiteral("yyyyMMdd-HHmmss"));
    return started.isValid() ? ShownTime(started) : QFileInfo(log).fileName();
}

} // namespace

LogLinesModel::LogLinesModel(QObject *parent) : QAbstractListModel(parent)
{
    searchPoll = new QTimer(this);
    searchPoll->setInterval(30);
    connect(searchPoll, &QTimer::timeout, this, &LogLinesModel::TakeFound);
}

// Stops the search: closing the viewer ends the work under way.
LogLinesModel::~LogLinesModel() = default;

int LogLinesModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(filter.IsEmpty() ? lines : shown.size());
}

QVariant LogLinesModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    return ShownText(log.Line(LineAt(index.row())), ShownLineLength);
}

bool LogLinesModel::Follow(const QString &path)
{
    const qsizetype before = log.LineCount();
    const bool wasOpen = log.LastLineOpen();
    switch (log.ReadMore(path)) {
    case LogText::Read::Unchanged:
    case LogText::Read::Failed:
        return false;
    case LogText::Read::Restarted:
        SetFilter(filter);
        return true;
    case LogText::Read::Grown:
        break;
    }
    // The last line may have grown; the lines after it are new.
    const qsizetype firstNew = wasOpen ? before - 1 : before;
    if (filter.IsEmpty()) {
        if (wasOpen && before > 0)
            emit dataChanged(index(int(before - 1)), index(int(before - 1)));
        if (log.LineCount() > lines) {
            beginInsertRows(QModelIndex(), int(lines), int(log.LineCount() - 1));
            lines = log.LineCount();
            endInsertRows();
        }
        return true;
    }
    // What the search found so far is shown; where it got to and the lines that are new (the
    // last one grown, perhaps matching now) are searched next.
    TakeFound();
    search.Stop();
    TakeFound();
    SearchFrom(qMin(search.Reached(), firstNew));
    return true;
}

qsizetype LogLinesModel::ReadEarlier()
{
    const qsizetype came = log.ReadEarlier();
    if (came > 0)
        SetFilter(filter);
    return came;
}

void LogLinesModel::ReadLatest()
{
    if (log.ReadLatest() != LogText::Read::Failed)
        SetFilter(filter);
}

void LogLinesModel::SetFilter(const LogFilter &newFilter)
{
    search.Stop();
    beginResetModel();
    filter = newFilter;
    shown.clear();
    tooCostly = 0;
    searchedAll = true;
    lines = log.LineCount();
    endResetModel();
    if (!filter.IsEmpty() && filter.Problem().isEmpty())
        SearchFrom(0);
    emit searchProgressed();
}

void LogLinesModel::SearchFrom(qsizetype from)
{
    if (filter.IsEmpty() || !filter.Problem().isEmpty())
        return;
    // Rows of lines searched again go first: a grown last line is judged anew.
    const qsizetype first = std::lower_bound(shown.cbegin(), shown.cend(), from) - shown.cbegin();
    if (first < shown.size()) {
        beginRemoveRows(QModelIndex(), int(first), int(shown.size() - 1));
        shown.resize(first);
        endRemoveRows();
    }
    searchedAll = false;
    search.Start(log, filter, from, log.LineCount());
    searchPoll->start();
}

void LogLinesModel::TakeFound()
{
    const bool running = search.Running();
    const LogMatches found = search.Take();
    tooCostly += found.tooCostly;
    if (!found.lines.isEmpty()) {
        beginInsertRows(QModelIndex(), int(shown.size()),
                        int(shown.size() + found.lines.size() - 1));
        shown.append(found.lines);
        endInsertRows();
    }
    if (!running) {
        searchPoll->stop();
        searchedAll = true;
    }
    if (!found.lines.isEmpty() || !running)
        emit searchProgressed();
}

LogViewer *LogViewer::Open(QWidget *parent, const QString &profile, const QString &log)
{
    const QString path = log.isEmpty() ? NewestLog(profile) : log;
    QList<QPointer<LogViewer>> &viewers = OpenViewers();
    viewers.removeAll(nullptr);
    LogViewer *viewer = nullptr;
    for (LogViewer *open : std::as_const(viewers)) {
        if (open->LogPath() == path)
            viewer = open;
    }
    if (!viewer) {
        viewer = new LogViewer(parent, profile);
        viewers.append(viewer);
        viewer->ShowLog(path);
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

LogViewer::LogViewer(QWidget *parent, const QString &profileName)
    : QWidget(parent, Qt::Window), profile(profileName)
{
    setObjectName(QStringLiteral("logViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the launcher's window ends the launcher, whether logs are open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Log of \"%1\"").arg(ShownName(profile, 100)));
    setAccessibleName(windowTitle());
    model = new LogLinesModel(this);

    logs = new QComboBox;
    logs->setObjectName(QStringLiteral("logChoice"));
    // Two logs of one second read apart by their milliseconds (and number).
    const QStringList all = LogsOf(profile);
    QStringList shown;
    for (const QString &log : all)
        shown.append(StartOf(log));
    for (qsizetype i = 0; i < all.size(); ++i) {
        QString text = shown.at(i);
        if (shown.count(text) > 1) {
            const QString name = QFileInfo(all.at(i)).fileName();
            static const QRegularExpression number(QStringLiteral("\\+\\d+(?=\\.log$)"));
            text += QStringLiteral(" (%1%2)").arg(name.mid(16, 3), number.match(name).captured());
        }
        logs->addItem(text, all.at(i));
    }
    connect(logs, &QComboBox::activated, this,
            [this](int index) { ShowLog(logs->itemData(index).toString()); });
    filterEdit = new QLineEdit;
    filterEdit->setObjectName(QStringLiteral("logFilter"));
    filterEdit->setPlaceholderText(tr("Text, or /regular expression"));
    filterEdit->setClearButtonEnabled(true);
    connect(filterEdit, &QLineEdit::textChanged, this, &LogViewer::OnFilterEdited);
    wrapBox = new QCheckBox(tr("&Wrap lines"));
    wrapBox->setObjectName(QStringLiteral("logWrap"));
    auto *form = new QFormLayout;
    form->addRow(tr("&Started:"), logs);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterEdit, 1);
    filterRow->addWidget(wrapBox);
    // A row of two has no field of its own: Alt+F is led to the text.
    auto *filterLabel = new QLabel(tr("&Filter:"));
    filterLabel->setBuddy(filterEdit);
    form->addRow(filterLabel, filterRow);

    view = new QListView;
    view->setObjectName(QStringLiteral("logLines"));
    view->setAccessibleName(tr("Log lines"));
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setUniformItemSizes(true);
    view->setTextElideMode(Qt::ElideNone);
    status = new QLabel;
    status->setObjectName(QStringLiteral("logStatus"));
    partBar = new LogPartBar;
    connect(partBar, &LogPartBar::earlierRequested, this, &LogViewer::ReadEarlier);
    connect(partBar, &LogPartBar::latestRequested, this, &LogViewer::ReadLatest);

    auto *buttons = new QDialogButtonBox;
    QPushButton *copy = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    QPushButton *save = buttons->addButton(tr("Save &As…"), QDialogButtonBox::ActionRole);
    QPushButton *editor = buttons->addButton(tr("Open in &Editor"), QDialogButtonBox::ActionRole);
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    connect(copy, &QPushButton::clicked, this, &LogViewer::CopySelected);
    connect(save, &QPushButton::clicked, this, &LogViewer::SaveAs);
    connect(editor, &QPushButton::clicked, this, [this] {
        if (!OpenLocalPage(LogPath()))
            ShowMessage(this, QMessageBox::Warning, windowTitle(),
                        tr("The log %1 could not be opened: no program to show it was found.")
                            .arg(ShownPath(LogPath())));
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // The list's own Ctrl+C copies one line: this one copies every selected line.
    view->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(partBar);
    layout->addWidget(view, 1);
    layout->addWidget(status);
    layout->addWidget(buttons);
    // Close's letter comes from the platform's theme; the window's own letters come first.
    CompleteMnemonics(this);

    const bool wrap = WindowSettings().value(WrapKey(), false).toBool();
    wrapBox->setChecked(wrap);
    OnWrap(wrap);
    connect(wrapBox, &QCheckBox::toggled, this, [this](bool on) {
        WindowSettings().setValue(WrapKey(), on);
        OnWrap(on);
    });
    // At the end, the view follows what comes, also before its first layout (when the end is
    // not known yet); scrolled up, it stays where the user is.
    QScrollBar *bar = view->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (following)
            bar->setValue(maximum);
    });
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { following = value >= bar->maximum(); });
    connect(model, &LogLinesModel::searchProgressed, this, &LogViewer::UpdateStatus);
    follow = new QTimer(this);
    follow->setInterval(FollowMs);
    connect(follow, &QTimer::timeout, this, &LogViewer::FollowNow);
    follow->start();
    resize(800, 500);
    RememberGeometry(this, QStringLiteral("logViewer"));
}

void LogViewer::keyPressEvent(QKeyEvent *event)
{
    // Escape empties the filter first, and closes the viewer when there is none.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!filterEdit->text().isEmpty())
            filterEdit->clear();
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool LogViewer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        CopySelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void LogViewer::ShowLog(const QString &path)
{
    model->Follow(path);
    const int index = logs->findData(path);
    if (index >= 0)
        logs->setCurrentIndex(index);
    following = true;
    view->scrollToBottom();
    UpdateStatus();
}

void LogViewer::FollowNow()
{
    if (model->Follow(LogPath()))
        UpdateStatus();
}

void LogViewer::ReadEarlier()
{
    // The line that was at the top stays there.
    const QModelIndex top = view->indexAt(QPoint(0, 0));
    const qsizetype topLine = top.isValid() ? model->LineAt(top.row()) : 0;
    const qsizetype came = model->ReadEarlier();
    if (came <= 0) {
        // The file went (the logs of emulators long gone are pruned) or another took its place.
        if (model->Text().Before() > 0)
            status->setText(tr("The earlier lines cannot be read: the log was removed or "
                               "replaced."));
        return;
    }
    following = false;
    const qsizetype line = topLine + came;
    const QList<qsizetype> *shown = model->Shown();
    const qsizetype row =
        shown ? std::lower_bound(shown->cbegin(), shown->cend(), line) - shown->cbegin() : line;
    view->scrollTo(model->index(int(qMin<qsizetype>(row, model->rowCount() - 1))),
                   QAbstractItemView::PositionAtTop);
    UpdateStatus();
}

void LogViewer::ReadLatest()
{
    model->ReadLatest();
    following = true;
    view->scrollToBottom();
    UpdateStatus();
}

void LogViewer::OnFilterEdited()
{
    model->SetFilter(LogFilter::Parse(filterEdit->text()));
    following = true;
    view->scrollToBottom();
    UpdateStatus();
}

void LogViewer::OnWrap(bool wrap)
{
    // Rows of one height lay out at once however long the log; wrapped rows are measured in
    // batches as they come into view.
    view->setWordWrap(wrap);
    view->setUniformItemSizes(!wrap);
    view->setLayoutMode(wrap ? QListView::Batched : QListView::SinglePass);
    view->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void LogViewer::CopySelected()
{
    QModelIndexList rows = view->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const QModelIndex &row : std::as_const(rows))
        lines.append(model->Text().Line(model->LineAt(row.row())));
    if (!lines.isEmpty())
        QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void LogViewer::SaveAs()
{
    QFileDialog dialog(this, tr("Save Log"), QString(), tr("Logs (*.log *.txt);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    StartInLastFolder(&dialog);
    dialog.selectFile(QFileInfo(LogPath()).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    NoteLastFolder(path);
    // What the filter shows, or the whole log.
    const QString problem = SaveLogLines(model->Text(), model->Shown(), path);
    if (!problem.isEmpty())
        ShowMessage(this, QMessageBox::Warning, tr("Save Log"),
                    tr("The log could not be saved: %1 cannot be written: %2.")
                        .arg(ShownPath(path), problem));
}

void LogViewer::UpdateStatus()
{
    partBar->Show(model->Text());
    const QString problem = model->Filter().Problem();
    const qsizetype all = model->Text().LineCount();
    if (!problem.isEmpty()) {
        status->setText(tr("The filter is no regular expression: %1.").arg(problem));
        return;
    }
    if (model->Filter().IsEmpty()) {
        status->setText(tr("Lines: %1").arg(QLocale().toString(all)));
        return;
    }
    QString text =
        tr("Lines: %1 of %2")
            .arg(QLocale().toString(qsizetype(model->rowCount())), QLocale().toString(all));
    if (model->Searching())
        text += QLatin1Char(' ') + tr("(searching…)");
    if (model->TooCostly() > 0)
        text += QLatin1Char(' ') +
                tr("The expression is too costly for %n lines, which are not shown: simplify "
                   "it.",
                   nullptr, int(qMin<qsizetype>(model->TooCostly(), INT_MAX)));
    status->setText(text);
}
