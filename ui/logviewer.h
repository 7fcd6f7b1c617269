#pragma once

#include "logtext.h"

#include <QAbstractListModel>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QTimer;

// The lines of a log, or those a filter lets through, as a list's rows.
class LogLinesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // Reads what the file has that is new; true when rows came or went.
    bool Follow(const QString &path);
    void SetFilter(const LogFilter &filter);
    const LogText &Text() const { return log; }
    const LogFilter &Filter() const { return filter; }
    // The shown rows' line numbers; null while every line is shown.
    const QList<qsizetype> *Shown() const { return filter.IsEmpty() ? nullptr : &shown; }
    qsizetype LineAt(int row) const { return filter.IsEmpty() ? row : shown.value(row, -1); }

private:
    LogText log;
    LogFilter filter;
    QList<qsizetype> shown;
    // The rows the views know of while every line is shown: the log has more once it grew,
    // until the rows are inserted.
    qsizetype lines = 0;
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LogViewer(QWidget *parent, const QString &profile);
    void ShowLog(const QString &path);
    void OnFilterEdited();
    void OnWrap(bool wrap);
    void CopySelected();
    void SaveAs();
    void UpdateStatus();

    QString profile;
    LogLinesModel *model = nullptr;
    QListView *view = nullptr;
    QComboBox *logs = nullptr;
    QLineEdit *filterEdit = nullptr;
    QCheckBox *wrapBox = nullptr;
    QLabel *status = nullptr;
    QTimer *follow = nullptr;
};
