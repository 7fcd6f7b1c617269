#include "profileqlistwidget.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

QSize ProfileQListWidget::sizeHint() const
{
    QStyleOptionSlider option;
    const QScrollBar *bar = verticalScrollBar();
    const int barWidth = bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, &option, bar);
    return QSize(sizeHintForColumn(0) + barWidth + 5, 192);
}
