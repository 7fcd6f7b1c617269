#pragma once

#include "launchrecords.h"

#include <QAbstractTableModel>
#include <QWidget>

class EmulatorLauncher;
class EmulatorMonitor;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

// One row per emulator the launcher knows: those that run, and those that ended (the newest
// 50 of the records, across runs).
class EmulatorTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        ProfileColumn,
        PidColumn,
        StartedColumn,
        StateColumn,
        ColumnCount
    };
    // What sorting a column compares.
    static constexpr int SortRole = Qt::UserRole;

    struct Row
    {
        LaunchRecord record;
        bool running = false;
        QDateTime ended;
        QString how;
    };

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetRows(QList<Row> rows);
    const Row &RowAt(int row) const { return rows.at(row); }
    // "running", "stopped by the launcher", "it exited with code 3 after 2 s", ...
    static QString State(const Row &row);

private:
    QList<Row> rows;
};

// The Running Emulators window: the table, and Stop (this emulator only), Show Log, Copy
// Command Line and Launch Again on the selected rows. Not modal; remembered open or closed.
class RunningPanel : public QWidget
{
    Q_OBJECT

public:
    // `arrange`, when given, is offered as "Arrange Emulators" beside the buttons.
    RunningPanel(QWidget *parent, EmulatorLauncher *launcher, QMenu *arrange = nullptr);
    // Reads the records again while shown: after a change the monitor saw.
    void Refresh();
    // Whether the panel was open when the launcher last ended.
    static bool WasOpen();

signals:
    // Stop on a row: this emulator only.
    void stopRequested(const LaunchRecord &emulator);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QList<EmulatorTableModel::Row> Selected() const;
    void UpdateButtons();
    void StopSelected();
    void ShowLogs();
    void CopyCommands();
    void LaunchAgain();

    EmulatorLauncher *launcher = nullptr;
    EmulatorMonitor *monitor = nullptr;
    EmulatorTableModel *model = nullptr;
    QSortFilterProxyModel *sorted = nullptr;
    QTableView *table = nullptr;
    QPushButton *stopButton = nullptr;
    QPushButton *logButton = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *againButton = nullptr;
    QTimer *clock = nullptr;
};
