#pragma once

#include <QFontMetrics>
#include <QString>

#include <functional>
#include <vector>

// Among `count` texts, the positions (at most `limit`) of those that are probably widest in
// `metrics`: laying out every text to measure it exactly costs far more than adding up cached
// character advances, so the advances pick the candidates and the caller measures only those.
// With no more than `limit` texts every position is returned.
std::vector<int> WidestTextCandidates(const QFontMetrics &metrics, int count,
                                      const std::function<QString(int)> &textAt, int limit);
