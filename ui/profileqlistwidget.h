#pragma once

#include <QListWidget>

// The profile list: just wide enough for its widest name and a scroll bar.
class ProfileQListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit ProfileQListWidget(QWidget *parent = nullptr);
    ~ProfileQListWidget() override;

    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;
    // A row's tooltip is its whole name, for names a narrow window cuts off; asked for only
    // when shown, so that long lists carry no tooltip per row.
    bool viewportEvent(QEvent *event) override;

private:
    // What sizeHintForColumn(0) gives, without laying out the text of every row.
    int WidestItemWidth() const;

    mutable int cachedWidth = -1;
};
