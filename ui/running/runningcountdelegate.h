#pragma once

#include <QStyledItemDelegate>

// Draws a row of the profile list as usual and, when emulators of that profile run, their
// number at the row's right edge, so that the name and the list's texts stay as they are.
class RunningCountDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The item data role that holds the count.
    static constexpr int CountRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
