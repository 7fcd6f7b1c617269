#pragma once

#include <QComboBox>

// A combo box of option names that stays quick to lay out with thousands of entries. Up to a
// few dozen entries it is a plain QComboBox; beyond that its size hint comes from the entries
// that are probably widest instead of from measuring every one.
class OptionComboBox : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;

private:
    QSize WidestEntriesHint() const;

    // Like QComboBox's own hint under AdjustToContentsOnFirstShow: computed once, kept while
    // entries come and go.
    mutable QSize cachedHint;
};
