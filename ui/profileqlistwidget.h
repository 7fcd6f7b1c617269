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

    // Shows only the rows whose text contains `text`, ignoring case (all rows for an empty
    // text). The current row stays current, shown or not.
    void SetFilter(const QString &text);
    QString Filter() const { return filterText; }
    // The nearest row shown above (`step` -1) or below (+1) `row`, or -1.
    int ShownNeighbour(int row, int step) const;
    // Whether the current row is one the user sees.
    bool CurrentRowShown() const;

signals:
    // A row dragged onto another place; the window moves the profile.
    void moveRequested(int from, int to);

protected:
    void changeEvent(QEvent *event) override;
    // A row's tooltip is its whole name, for names a narrow window cuts off; asked for only
    // when shown, so that long lists carry no tooltip per row.
    bool viewportEvent(QEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // What sizeHintForColumn(0) gives, without laying out the text of every row.
    int WidestItemWidth() const;

    mutable int cachedWidth = -1;
    QString filterText;
};
