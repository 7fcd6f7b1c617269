#include "runningcountdelegate.h"

#include <QPainter>

void RunningCountDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const int count = index.data(CountRole).toInt();
    if (count <= 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QString badge = QStringLiteral("▶ %1").arg(count);
    const int badgeWidth = option.fontMetrics.horizontalAdvance(badge) + 8;
    // The name keeps the rest of the row; the badge is drawn over nothing.
    QStyleOptionViewItem named = option;
    named.rect.setRight(option.rect.right() - badgeWidth);
    QStyledItemDelegate::paint(painter, named, index);
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Link));
    QRect area = option.rect;
    area.setLeft(option.rect.right() - badgeWidth);
    if (selected)
        painter->fillRect(area, option.palette.highlight());
    painter->drawText(area.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, badge);
    painter->restore();
}
