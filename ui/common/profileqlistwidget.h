#pragma once

#include "launcherconfig.h"

#include <QListWidget>

#include <functional>

class QTimer;

// The profile list: just wide enough for its widest name and a scroll bar.
class ProfileQListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit ProfileQListWidget(QWidget *parent = nullptr);
    ~ProfileQListWidget() override;

    QSize sizeHint() const override;

    // Tells how the row meets a filter text; without one, a row meets it by its text.
    using RowMatcher = std::function<ProfileMatch(int row, QStringView text)>;
    void SetMatcher(RowMatcher matcher);
    // More lines for a row's tooltip (what the profile carries beside its name), asked for
    // only when the tooltip shows.
    using RowDescriber = std::function<QString(int row)>;
    void SetDescriber(RowDescriber describer) { this->describer = std::move(describer); }
    // Whether every row that meets `now` meets `before` too, so that only the rows shown need
    // a look; without it, a text that contains the one before narrows.
    using Narrowing = std::function<bool(const QString &before, const QString &now)>;
    void SetNarrowing(Narrowing narrowing) { narrows = std::move(narrowing); }

    // Shows only the rows that meet `text` (all rows for an empty text); those met by their
    // settings rather than their name are in italics. The current row stays current, shown
    // or not. A long list is filtered a slice of
    // rows per turn of the event loop, so that typing never stalls the window; a new text
    // starts over.
    void SetFilter(const QString &text);
    // Whether every row shows or hides as the filter says.
    bool FilterApplied() const { return filterNext < 0; }
    QString Filter() const { return filterText; }
    // The first row shown whose name meets the filter, else the first row shown, or -1.
    int FirstShownRow() const;
    // The nearest row shown above (`step` -1) or below (+1) `row`, or -1.
    int ShownNeighbour(int row, int step) const;
    // Makes `row` the current row and the only one selected. QListWidget's own adds the row
    // to the selection of an extended list: the window moving its selection (a profile added,
    // found again, undone) is not the user choosing one more.
    void setCurrentRow(int row)
    {
        QListWidget::setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    // Whether the current row is one the user sees.
    bool CurrentRowShown() const;
    // The selected rows the filter shows, top to bottom; the current row when none is.
    QList<int> SelectedShownRows() const;
    // Shows or hides one row as the filter says: a row added or renamed under a filter.
    void ApplyFilterTo(int row);
    // What a row says to screen readers beside its name (and in its tooltip): how many of its
    // emulators run (RunningTextRole, set by whoever knows) and that the filter found it by
    // its settings only, which the list shows in italics.
    static constexpr int RunningTextRole = Qt::UserRole + 20;
    void Describe(int row);

signals:
    // A row dragged onto another place; the window moves the profile.
    void moveRequested(int from, int to);

protected:
    void changeEvent(QEvent *event) override;
    // A row's tooltip is its whole name, for names a narrow window cuts off; asked for only
    // when shown, so that long lists carry no tooltip per row.
    bool viewportEvent(QEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // Keys never make a hidden row current: with every row filtered out, Home and End stay.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    // A row selected without becoming current (as screen readers select) becomes current, so
    // that the widgets show the profile that is selected.
    void selectionChanged(const QItemSelection &selected,
                          const QItemSelection &deselected) override;

private:
    // What sizeHintForColumn(0) gives, without laying out the text of every row.
    int WidestItemWidth() const;

    ProfileMatch Match(int row) const;
    // Shows or hides the row, in italics when only its settings meet the filter.
    void ShowAs(int row, ProfileMatch match);
    // Applies the filter to the next slice of rows; once all are done, shows the result.
    void ContinueFilter();

    mutable int cachedWidth = -1;
    QString filterText;
    RowMatcher matcher;
    RowDescriber describer;
    Narrowing narrows;
    bool filterNarrowing = false;
    int filterNext = -1; // the next row to filter, -1 once all are
    QTimer *filterSlices = nullptr;
};
