#include "profileqlistwidget.h"

#include <QAccessible>

#include "tooltipprovider.h"
#include "widesttext.h"

#include <QDropEvent>
#include <QEvent>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <utility>

namespace {
// Up to this many rows every row is measured by its delegate, exactly as sizeHintForColumn
// does; beyond it only the rows whose estimated width is among the largest.
constexpr int MeasuredRows = 64;
constexpr int UniformRowsFrom = 200;
// Rows filtered in one turn of the event loop: hiding a row costs about a microsecond, and a
// frame is 16 ms.
constexpr int FilterSlice = 4000;

// A row that knows its profile's row and its place in the order shown: QListWidget sorts by
// the items' operator<.
class ProfileItem : public QListWidgetItem
{
public:
    explicit ProfileItem(const QString &text) : QListWidgetItem(text, nullptr, UserType + 1) {}
    // A copy is a ProfileItem too.
    explicit ProfileItem(const QListWidgetItem &other)
        : QListWidgetItem(QString(), nullptr, UserType + 1)
    {
        QListWidgetItem::operator=(other);
    }
    bool operator<(const QListWidgetItem &other) const override
    {
        return rank < static_cast<const ProfileItem &>(other).rank;
    }
    int profileRow = 0;
    int rank = 0;
};

ProfileItem *AsProfileItem(QListWidgetItem *item)
{
    return static_cast<ProfileItem *>(item);
}
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

int ProfileQListWidget::ProfileRow(int viewRow) const
{
    if (!order || viewRow < 0 || viewRow >= count())
        return viewRow;
    return AsProfileItem(QListWidget::item(viewRow))->profileRow;
}

void ProfileQListWidget::Replace()
{
    places.fill(-1, count());
    for (int v = 0; v < count(); ++v) {
        const int row = AsProfileItem(QListWidget::item(v))->profileRow;
        if (row >= 0 && row < places.size())
            places[row] = v;
    }
}

int ProfileQListWidget::currentRow() const
{
    return ProfileRow(QListWidget::currentRow());
}

QListWidgetItem *ProfileQListWidget::item(int row) const
{
    return QListWidget::item(ViewRow(row));
}

int ProfileQListWidget::row(const QListWidgetItem *item) const
{
    return ProfileRow(QListWidget::row(item));
}

void ProfileQListWidget::insertItem(int row, const QString &text)
{
    if (!order)
        QListWidget::insertItem(row, text);
    else
        insertItem(row, new ProfileItem(text));
}

void ProfileQListWidget::insertItem(int row, QListWidgetItem *item)
{
    if (!order) {
        QListWidget::insertItem(row, item);
        return;
    }
    // Shown last until the next sort, a moment later.
    for (int v = 0; v < count(); ++v) {
        ProfileItem *shown = AsProfileItem(QListWidget::item(v));
        if (shown->profileRow >= row)
            ++shown->profileRow;
    }
    ProfileItem *added = AsProfileItem(item);
    if (item->type() != QListWidgetItem::UserType + 1) {
        added = new ProfileItem(*item);
        delete item;
    }
    added->profileRow = row;
    added->rank = count();
    QListWidget::addItem(added);
    Replace();
    Resort();
}

QListWidgetItem *ProfileQListWidget::takeItem(int row)
{
    if (!order)
        return QListWidget::takeItem(row);
    QListWidgetItem *taken = QListWidget::takeItem(ViewRow(row));
    for (int v = 0; v < count(); ++v) {
        ProfileItem *shown = AsProfileItem(QListWidget::item(v));
        if (shown->profileRow > row)
            --shown->profileRow;
    }
    Replace();
    return taken;
}

void ProfileQListWidget::addItems(const QStringList &texts)
{
    if (!order) {
        QListWidget::addItems(texts);
        return;
    }
    for (const QString &text : texts) {
        auto *added = new ProfileItem(text);
        added->profileRow = count();
        added->rank = count();
        QListWidget::addItem(added);
    }
    Replace();
    Resort();
}

void ProfileQListWidget::clear()
{
    QListWidget::clear();
    places.clear();
}

void ProfileQListWidget::SetOrder(RowOrder rowOrder)
{
    if (!order && !rowOrder)
        return;
    if (!order) {
        // The rows become ProfileItems that know their profile, shown as they were.
        const int current = QListWidget::currentRow();
        QList<ProfileItem *> items;
        QList<bool> hidden;
        QList<bool> selected;
        for (int v = 0; v < count(); ++v) {
            QListWidgetItem *shown = QListWidget::item(v);
            auto *copy = new ProfileItem(*shown);
            copy->profileRow = v;
            copy->rank = v;
            items.append(copy);
            hidden.append(QListWidget::isRowHidden(v));
            selected.append(shown->isSelected());
        }
        const QSignalBlocker blocker(this);
        QListWidget::clear();
        for (ProfileItem *copy : std::as_const(items))
            QListWidget::addItem(copy);
        for (int v = 0; v < count(); ++v) {
            QListWidget::setRowHidden(v, hidden.at(v));
            QListWidget::item(v)->setSelected(selected.at(v));
        }
        if (current >= 0)
            QListWidget::setCurrentRow(current, QItemSelectionModel::NoUpdate);
        order = std::move(rowOrder);
        Replace();
    } else if (rowOrder) {
        order = std::move(rowOrder);
    } else {
        // Back to the profiles' own order: each row's rank is its profile's row.
        for (int v = 0; v < count(); ++v) {
            ProfileItem *shown = AsProfileItem(QListWidget::item(v));
            shown->rank = shown->profileRow;
        }
        sorting = true;
        sortItems();
        sorting = false;
        order = nullptr;
        places.clear();
        sortLater->stop();
        sortAsked = false;
    }
    // Only the profiles' own order is changed by dragging a row.
    setDragDropMode(order ? QAbstractItemView::NoDragDrop : QAbstractItemView::InternalMove);
    if (order) {
        Resort();
        SortIfAsked();
    }
}

void ProfileQListWidget::Resort()
{
    if (!order)
        return;
    sortAsked = true;
    sortLater->start();
}

void ProfileQListWidget::SortIfAsked()
{
    if (!order || !std::exchange(sortAsked, false))
        return;
    sortLater->stop();
    const QList<int> shown = order();
    QList<int> ranks(count(), count());
    for (int place = 0; place < shown.size(); ++place) {
        if (shown.at(place) >= 0 && shown.at(place) < ranks.size())
            ranks[shown.at(place)] = place;
    }
    for (int v = 0; v < count(); ++v) {
        ProfileItem *row = AsProfileItem(QListWidget::item(v));
        row->rank = ranks.value(row->profileRow, count());
    }
    sorting = true;
    sortItems();
    sorting = false;
    Replace();
    if (CurrentRowShown())
        scrollToItem(currentItem());
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
