#include "optioncombobox.h"

#include "widesttext.h"

#include <QEvent>

namespace {
constexpr int MeasuredEntries = 64;
} // namespace

QSize OptionComboBox::sizeHint() const
{
    if (count() <= MeasuredEntries && !cachedHint.isValid())
        return QComboBox::sizeHint();
    return WidestEntriesHint();
}

QSize OptionComboBox::minimumSizeHint() const
{
    if (count() <= MeasuredEntries && !cachedHint.isValid())
        return QComboBox::minimumSizeHint();
    return WidestEntriesHint();
}

void OptionComboBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        cachedHint = QSize();
    QComboBox::changeEvent(event);
}

QSize OptionComboBox::WidestEntriesHint() const
{
    if (cachedHint.isValid())
        return cachedHint;
    // A box of the same font and style holding only the candidates gives Qt's own hint for
    // them, margins and frame included.
    QComboBox probe;
    probe.setFont(font());
    probe.setStyle(style());
    probe.setSizeAdjustPolicy(sizeAdjustPolicy());
    const std::vector<int> candidates = WidestTextCandidates(
        fontMetrics(), count(), [this](int i) { return itemText(i); }, MeasuredEntries);
    QStringList texts;
    for (int i : candidates)
        texts.append(itemText(i));
    probe.addItems(texts);
    cachedHint = probe.sizeHint();
    return cachedHint;
}
