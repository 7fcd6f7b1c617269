#include "profileqlistwidget.h"

#include <QSignalBlocker>
#include <QTimer>

#include <utility>

// The order the list shows its rows in, and QListWidget's functions of a row by profile row.

namespace {

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
