#include "profileqlistwidget.h"

#include <QAccessible>

#include "tooltipprovider.h"
#include "widesttext.h"

#include <QDropEvent>
#include <QEvent>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace {
// Up to this many rows every row is measured by its delegate, exactly as sizeHintForColumn
// does; beyond it only the rows whose estimated width is among the largest.
constexpr int MeasuredRows = 64;
constexpr int UniformRowsFrom = 200;
// Rows filtered in one turn of the event loop: hiding a row costs about a microsecond, and a
// frame is 16 ms.
constexpr int FilterSlice = 4000;
} // namespace

ProfileQListWidget::ProfileQListWidget(QWidget *parent) : QListWidget(parent)
{
    filterSlices = new QTimer(this);
    filterSlices->setSingleShot(true);
    filterSlices->setInterval(0);
    connect(filterSlices, &QTimer::timeout, this, &ProfileQListWidget::ContinueFilter);
    const auto invalidate = [this] {
        cachedWidth = -1;
    };
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] {
        cachedWidth = -1;
        // Every row is one line of text in the list's font, so all rows are equally high;
        // for long lists that spares the view from measuring every row to lay them out. Short
        // lists keep the exact layout, which also scrolls sideways to a name wider than the
        // view.
        if (!uniformItemSizes() && count() > UniformRowsFrom)
            setUniformItemSizes(true);
    });
    connect(model(), &QAbstractItemModel::rowsRemoved, this, invalidate);
    // Rows are dragged to another place in the list; the window keeps the order.
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    // Ctrl+click, Shift+click, Shift+Up/Down and Ctrl+A choose several profiles; the current
    // row is still the one the window shows.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(model(), &QAbstractItemModel::dataChanged, this, invalidate);
    connect(model(), &QAbstractItemModel::modelReset, this, invalidate);
    connect(model(), &QAbstractItemModel::layoutChanged, this, invalidate);
    sortLater = new QTimer(this);
    sortLater->setSingleShot(true);
    sortLater->setInterval(0);
    connect(sortLater, &QTimer::timeout, this, &ProfileQListWidget::SortIfAsked);
    connect(this, &QListWidget::currentRowChanged, this, [this](int viewRow) {
        const int row = viewRow < 0 ? -1 : ProfileRow(viewRow);
        // Sorting moves the current row without making another profile current.
        if (sorting && row == currentProfile)
            return;
        currentProfile = row;
        emit currentProfileRowChanged(row);
    });
}

void ProfileQListWidget::SetFilter(const QString &text)
{
    // A longer text can only hide more: then only the rows shown now are looked at, if the
    // last text was applied to all of them.
    filterNarrowing =
        FilterApplied() && !filterText.isEmpty() &&
        (narrows ? narrows(filterText, text) : text.contains(filterText, Qt::CaseInsensitive));
    filterText = text;
    if (FilterApplied())
        setUpdatesEnabled(false);
    filterNext = 0;
    ContinueFilter();
}

void ProfileQListWidget::ContinueFilter()
{
    if (FilterApplied())
        return;
    const int end = std::min(count(), filterNext + FilterSlice);
    for (int v = filterNext; v < end; ++v) {
        const bool hidden = QListWidget::isRowHidden(v);
        if (filterNarrowing && hidden)
            continue;
        ShowAs(v, Match(v));
    }
    if (end < count()) {
        filterNext = end;
        // One chain of slices, however many keys were typed meanwhile.
        filterSlices->start();
        return;
    }
    filterNext = -1;
    setUpdatesEnabled(true);
    if (CurrentRowShown())
        scrollToItem(currentItem());
}

int ProfileQListWidget::ShownViewNeighbour(int viewRow, int step) const
{
    for (int v = viewRow + step; v >= 0 && v < count(); v += step) {
        if (!QListWidget::isRowHidden(v))
            return v;
    }
    return -1;
}

int ProfileQListWidget::ShownNeighbour(int row, int step) const
{
    const int found = ShownViewNeighbour(ViewRow(row), step);
    return found < 0 ? -1 : ProfileRow(found);
}

void ProfileQListWidget::ApplyFilterTo(int row)
{
    if (row >= 0 && row < count())
        ShowAs(ViewRow(row), Match(ViewRow(row)));
}

void ProfileQListWidget::SetMatcher(RowMatcher rowMatcher)
{
    matcher = std::move(rowMatcher);
}

ProfileMatch ProfileQListWidget::Match(int viewRow) const
{
    if (filterText.isEmpty())
        return ProfileMatch::Name;
    if (matcher)
        return matcher(ProfileRow(viewRow), filterText);
    return QListWidget::item(viewRow)->text().contains(filterText, Qt::CaseInsensitive)
               ? ProfileMatch::Name
               : ProfileMatch::None;
}

void ProfileQListWidget::ShowAs(int viewRow, ProfileMatch match)
{
    const bool hide = match == ProfileMatch::None;
    if (hide != QListWidget::isRowHidden(viewRow))
        setRowHidden(viewRow, hide);
    if (hide)
        return;
    QListWidgetItem *shown = QListWidget::item(viewRow);
    const bool bySettings = match == ProfileMatch::Settings;
    if (bySettings == shown->data(Qt::FontRole).isValid())
        return;
    if (bySettings) {
        QFont italic = font();
        italic.setItalic(true);
        shown->setFont(italic);
    } else {
        shown->setData(Qt::FontRole, QVariant());
    }
    Describe(ProfileRow(viewRow));
}

void ProfileQListWidget::Describe(int row)
{
    QListWidgetItem *shown = item(row);
    if (!shown)
        return;
    QStringList parts;
    const QString running = shown->data(RunningTextRole).toString();
    if (!running.isEmpty())
        parts.append(running);
    if (shown->data(Qt::FontRole).isValid())
        parts.append(tr("found by its options or arguments"));
    const QString description = parts.join(QStringLiteral(", "));
    if (description == shown->data(Qt::AccessibleDescriptionRole).toString())
        return;
    shown->setData(Qt::AccessibleDescriptionRole, description);
    // Said to screen readers as it changes, not only when the row is next read.
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    changed.setChild(ViewRow(row));
    QAccessible::updateAccessibility(&changed);
}

int ProfileQListWidget::FirstShownRow() const
{
    const int first = ShownNeighbour(-1, 1);
    for (int row = first; row >= 0; row = ShownNeighbour(row, 1)) {
        if (!item(row)->data(Qt::FontRole).isValid())
            return row;
    }
    return first;
}

QModelIndex ProfileQListWidget::moveCursor(CursorAction cursorAction,
                                           Qt::KeyboardModifiers modifiers)
{
    if (cursorAction == MoveHome || cursorAction == MoveEnd) {
        const int from = cursorAction == MoveHome ? -1 : count();
        const int v = ShownViewNeighbour(from, cursorAction == MoveHome ? 1 : -1);
        return v >= 0 ? model()->index(v, 0) : currentIndex();
    }
    const QModelIndex next = QListWidget::moveCursor(cursorAction, modifiers);
    return next.isValid() && QListWidget::isRowHidden(next.row()) ? currentIndex() : next;
}

void ProfileQListWidget::selectionChanged(const QItemSelection &selected,
                                          const QItemSelection &deselected)
{
    QListWidget::selectionChanged(selected, deselected);
    // A row selected by other means than the keys and the mouse (a screen reader) becomes the
    // one the window shows, the others staying selected.
    const QModelIndexList added = selected.indexes();
    if (added.size() == 1 && added.first() != currentIndex())
        selectionModel()->setCurrentIndex(added.first(), QItemSelectionModel::NoUpdate);
}

QList<int> ProfileQListWidget::SelectedShownRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows()) {
        if (!QListWidget::isRowHidden(index.row()))
            rows.append(ProfileRow(index.row()));
    }
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && CurrentRowShown())
        rows.append(currentRow());
    return rows;
}

bool ProfileQListWidget::CurrentRowShown() const
{
    const int v = QListWidget::currentRow();
    return v >= 0 && !QListWidget::isRowHidden(v);
}

void ProfileQListWidget::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    // Only in the profiles' own order: rows and profile rows are one.
    const int from = currentRow();
    const QModelIndex target = indexAt(event->position().toPoint());
    int to = target.isValid() ? target.row() : count() - 1;
    // Taken over by the window, which moves the profile with its row: the view itself moves
    // nothing and removes nothing.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (from >= 0 && to != from)
        emit moveRequested(from, to);
}

ProfileQListWidget::~ProfileQListWidget()
{
    // QListWidget empties its model after this class is gone; that must not reach the cache.
    disconnect(model(), nullptr, this, nullptr);
}

QSize ProfileQListWidget::sizeHint() const
{
    QStyleOptionSlider option;
    const QScrollBar *bar = verticalScrollBar();
    const int barWidth = bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, &option, bar);
    if (cachedWidth < 0)
        cachedWidth = WidestItemWidth();
    return QSize(cachedWidth + barWidth + 5, 192);
}

void ProfileQListWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        cachedWidth = -1;
    QListWidget::changeEvent(event);
}

bool ProfileQListWidget::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (const QListWidgetItem *row = itemAt(help->pos())) {
            // The name, and how many of its emulators run.
            QStringList lines{row->text()};
            const QString running = row->data(RunningTextRole).toString();
            if (!running.isEmpty())
                lines.append(running);
            const QString more = describer ? describer(this->row(row)) : QString();
            if (!more.isEmpty())
                lines.append(more);
            QToolTip::showText(help->globalPos(),
                               ToolTipProvider::ToolTipHtml(lines.join(QLatin1Char('\n'))),
                               viewport(), visualItemRect(row));
        } else
            QToolTip::hideText();
        return true;
    }
    return QListWidget::viewportEvent(event);
}

int ProfileQListWidget::WidestItemWidth() const
{
    const int rows = count();
    if (rows <= MeasuredRows)
        return sizeHintForColumn(0);

    ensurePolished();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int widest = 0;
    const std::vector<int> candidates = WidestTextCandidates(
        QFontMetrics(font()), rows, [this](int v) { return QListWidget::item(v)->text(); },
        MeasuredRows);
    for (int row : candidates) {
        const QModelIndex index = model()->index(row, 0);
        if (const QAbstractItemDelegate *delegate = itemDelegateForIndex(index))
            widest = qMax(widest, delegate->sizeHint(option, index).width());
    }
    return widest;
}
