#pragma once

#include "logsearch.h"
#include "logtext.h"

#include <QAbstractListModel>
#include <QWidget>

class LogPartBar;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTimer;

// The lines of a log, or those a filter lets through, as a list's rows. The filter searches on
// a thread of its own: its rows come as they are found, and the window never waits for it.
class LogLinesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit LogLinesModel(QObject *parent = nullptr);
    ~LogLinesModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // Reads what the file has that is new; true when rows came or went.
    bool Follow(const QString &path);
    // Reads the part of a large log before the lines shown (how many lines came), or its end.
    qsizetype ReadEarlier();
    void ReadLatest();
    void SetFilter(const LogFilter &filter);
    const LogText &Text() const { return log; }
    const LogFilter &Filter() const { return filter; }
    // The shown rows' line numbers; null while every line is shown.
    const QList<qsizetype> *Shown() const { return filter.IsEmpty() ? nullptr : &shown; }
    qsizetype LineAt(int row) const { return filter.IsEmpty() ? row : shown.value(row, -1); }
    // Whether the filter is still searching, and how many lines were too costly for it.
    bool Searching() const { return search.Running() || !searchedAll; }
    qsizetype TooCostly() const { return tooCostly; }

signals:
    // Rows came from the search, or it ended.
    void searchProgressed();

private:
    void TakeFound();
    // Searches the lines from `from` on (those from there on shown go first).
    void SearchFrom(qsizetype from);

    LogText log;
    LogFilter filter;
    QList<qsizetype> shown;
    // The rows the views know of while every line is shown: the log has more once it grew,
    // until the rows are inserted.
    qsizetype lines = 0;
    LogSearch search;
    QTimer *searchPoll = nullptr;
    bool searchedAll = true;
    qsizetype tooCostly = 0;
};

// A window of the launcher that shows an emulator's log and follows it as the emulator writes:
// new lines appear within a quarter of a second, and the view stays at the end unless the
// user scrolled up. A filter, wrapping (remembered), Copy, Save As, Open in Editor, and the
// profile's earlier logs. Not modal; one window per log.
class LogViewer : public QWidget
{
    Q_OBJECT

public:
    // Shows the viewer of `log` (the profile's newest when empty), raising the one open for it.
    static LogViewer *Open(QWidget *parent, const QString &profile, const QString &log);

    QString LogPath() const { return model->Text().Path(); }
    // Reads what the emulator wrote since the last look (the timer does this by itself).
    void FollowNow();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LogViewer(QWidget *parent, const QString &profile);
    void ShowLog(const QString &path);
    void OnFilterEdited();
    void OnWrap(bool wrap);
    void CopySelected();
    void SaveAs();
    void UpdateStatus();
    void ReadEarlier();
    void ReadLatest();

    QString profile;
    // Whether the view keeps to the end as lines come: until the user scrolls up, and again once
    // they scroll to the end.
    bool following = true;
    LogLinesModel *model = nullptr;
    QListView *view = nullptr;
    QComboBox *logs = nullptr;
    QLineEdit *filterEdit = nullptr;
    QCheckBox *wrapBox = nullptr;
    QLabel *status = nullptr;
    // Shown for a log larger than what is read of it at once.
    LogPartBar *partBar = nullptr;
    QTimer *follow = nullptr;
};
