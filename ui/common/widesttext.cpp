#include "widesttext.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <numeric>

std::vector<int> WidestTextCandidates(const QFontMetrics &metrics, int count,
                                      const std::function<QString(int)> &textAt, int limit)
{
    std::vector<int> positions(size_t(std::max(count, 0)));
    std::iota(positions.begin(), positions.end(), 0);
    if (count <= limit)
        return positions;

    std::array<int, 256> latin1;
    latin1.fill(-1);
    QHash<char16_t, int> others;
    const auto advance = [&](QChar c) {
        const char16_t u = c.unicode();
        if (u < 256) {
            int &w = latin1[u];
            if (w < 0)
                w = metrics.horizontalAdvance(c);
            return w;
        }
        auto it = others.find(u);
        if (it == others.end())
            it = others.insert(u, metrics.horizontalAdvance(c));
        return *it;
    };
    std::vector<int> estimate(static_cast<size_t>(count), 0);
    for (int i = 0; i < count; ++i) {
        int width = 0;
        for (const QChar c : textAt(i))
            width += advance(c);
        estimate[size_t(i)] = width;
    }
    std::nth_element(positions.begin(), positions.begin() + limit, positions.end(),
                     [&](int a, int b) { return estimate[size_t(a)] > estimate[size_t(b)]; });
    positions.resize(size_t(limit));
    return positions;
}
