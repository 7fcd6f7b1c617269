#include "emulatorwindows.h"

#include <QtMath>

#include <algorithm>

QList<QRect> ArrangedRects(Arrangement arrangement, const QList<QSize> &frames, const QRect &area)
{
    QList<QRect> rects;
    const int n = int(frames.size());
    if (n == 0 || area.isEmpty())
        return rects;
    if (arrangement == Arrangement::Tile) {
        // Wider than high, as screens are: columns first.
        const int columns = int(std::ceil(std::sqrt(double(n))));
        const int rows = (n + columns - 1) / columns;
        const int cellWidth = area.width() / columns;
        const int cellHeight = area.height() / rows;
        for (int i = 0; i < n; ++i) {
            const QSize size = frames.at(i).boundedTo(QSize(cellWidth, cellHeight));
            rects.append(QRect(area.left() + (i % columns) * cellWidth,
                               area.top() + (i / columns) * cellHeight, size.width(),
                               size.height()));
        }
        return rects;
    }
    // Each a title bar's height down and right of the one before; back to the top left when the
    // next would leave the area.
    constexpr int Step = 32;
    int x = area.left();
    int y = area.top();
    for (int i = 0; i < n; ++i) {
        const QSize size = frames.at(i).boundedTo(area.size());
        if (x + size.width() > area.right() + 1 || y + size.height() > area.bottom() + 1) {
            x = area.left();
            y = area.top();
        }
        rects.append(QRect(QPoint(x, y), size));
        x += Step;
        y += Step;
    }
    return rects;
}
