#pragma once

#include "launcherconfig.h"

#include <QListWidget>

#include <functional>

class QTimer;

// The profile list: just wide enough for its widest name and a scroll bar.
//
// Its rows are the profiles' rows (the document's) everywhere in its interface, also where it
// hides QListWidget's own functions of a row: the list may show them in another order
// (SetOrder), and only the view knows where a profile's row shows.
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
        QListWidget::setCurrentRow(ViewRow(row), QItemSelectionModel::ClearAndSelect);
    }

    // The order the rows show in: the profiles' own (no order), or the profile rows as `order`
    // lists them. Only in the profiles' own order are rows dragged to another place.
    using RowOrder = std::function<QList<int>()>;
    void SetOrder(RowOrder order);
    bool InStoredOrder() const { return !order; }
    // Sorts again at the next turn of the event loop (once for many asks): what the order
    // looks at changed, or rows came.
    void Resort();
    // Sorts now, when asked to.
    void SortIfAsked();

    // QListWidget's functions of a row, by profile row.
    int currentRow() const;
    QListWidgetItem *item(int row) const;
    int row(const QListWidgetItem *item) const;
    void insertItem(int row, const QString &text);
    void insertItem(int row, QListWidgetItem *item);
    QListWidgetItem *takeItem(int row);
    void addItems(const QStringList &texts);
    void clear();
    bool isRowHidden(int row) const { return QListWidget::isRowHidden(ViewRow(row)); }
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
    // The current profile row, as currentRowChanged tells the row shown: not said when only
    // the place the row shows in changed.
    void currentProfileRowChanged(int row);

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
    // Where a profile's row shows (-1 and count() as they are), and whose row shows there.
    int ViewRow(int row) const
    {
        return order && row >= 0 && row < places.size() ? places.at(row) : row;
    }
    int ProfileRow(int viewRow) const;
    // The places of the rows, from what each row knows of its profile.
    void Replace();
    // The nearest row shown above (-1) or below (+1) the row shown at `viewRow`.
    int ShownViewNeighbour(int viewRow, int step) const;
    // What sizeHintForColumn(0) gives, without laying out the text of every row.
    int WidestItemWidth() const;

    ProfileMatch Match(int viewRow) const;
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
    RowOrder order;
    QList<int> places; // by profile row, while in an order of its own
    QTimer *sortLater = nullptr;
    bool sorting = false;
    bool sortAsked = false;
    int currentProfile = -1;
};
