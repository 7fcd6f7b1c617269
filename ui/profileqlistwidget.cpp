#include "profileqlistwidget.h"

#include "tooltipprovider.h"
#include "widesttext.h"

#include <QEvent>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

namespace {
// Up to this many rows every row is measured by its delegate, exactly as sizeHintForColumn
// does; beyond it only the rows whose estimated width is among the largest.
constexpr int MeasuredRows = 64;
constexpr int UniformRowsFrom = 200;
} // namespace

ProfileQListWidget::ProfileQListWidget(QWidget *parent) : QListWidget(parent)
{
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
    connect(model(), &QAbstractItemModel::dataChanged, this, invalidate);
    connect(model(), &QAbstractItemModel::modelReset, this, invalidate);
    connect(model(), &QAbstractItemModel::layoutChanged, this, invalidate);
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
        if (const QListWidgetItem *row = itemAt(help->pos()))
            QToolTip::showText(help->globalPos(), ToolTipProvider::ToolTipHtml(row->text()),
                               viewport(), visualItemRect(row));
        else
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
        QFontMetrics(font()), rows, [this](int row) { return item(row)->text(); }, MeasuredRows);
    for (int row : candidates) {
        const QModelIndex index = model()->index(row, 0);
        if (const QAbstractItemDelegate *delegate = itemDelegateForIndex(index))
            widest = qMax(widest, delegate->sizeHint(option, index).width());
    }
    return widest;
}
