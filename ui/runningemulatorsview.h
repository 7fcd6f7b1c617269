#pragma once

#include "serialworker.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class EarlyEndNotice;
class EmulatorMonitor;
class QMessageBox;
class QPushButton;
class ProfileDocument;
class ProfileQListWidget;
class QWidget;
struct LaunchRecord;
struct LaunchResult;

// What the window shows of the emulators the launcher started: how many run on each profile's
// row (drawn by RunningCountDelegate, said in words to screen readers and in the tooltip), the
// list menu's Stop entries, and a notice that does not block when one quits right after its
// start.
class RunningEmulatorsView : public QObject
{
    Q_OBJECT

public:
    // The records of a renamed profile follow its name.
    RunningEmulatorsView(QWidget *window, ProfileDocument *document, ProfileQListWidget *list);
    // Waits for the records still being written.
    ~RunningEmulatorsView() override;
    // Looks for the emulators started before and watches them from now on.
    void Start();
    // Returns once the records asked for so far are written; any thread may wait.
    void WaitForRecords() { records.Wait(); }
    // An emulator the window just started (by StartEmulator): recorded in the background.
    void Launched(const LaunchResult &launched);
    // Shows the counts again; `rowsRebuilt` when the list's rows were made anew.
    void Refresh(bool rowsRebuilt);
    EmulatorMonitor *Monitor() const { return monitor; }

signals:
    // Start() looked for the emulators started before.
    void started();
    // How many emulators run on the selected profile and in all.
    void runningCountsChanged(int ofCurrentProfile, int all);

private:
    void ShowEarlyEnd(const LaunchRecord &record, const QString &how);
    void ShowRecordProblem(const QString &reason);

    QWidget *window = nullptr;
    const ProfileDocument *document = nullptr;
    ProfileQListWidget *list = nullptr;
    EmulatorMonitor *monitor = nullptr;
    QHash<QString, int> shownCounts;
    // The notice listing the emulators that ended right after their start.
    QPointer<EarlyEndNotice> notice;
    bool logProblemShown = false;
    bool recordProblemShown = false;
    // Writes the launch records and prunes the logs, in the order asked, off the window's
    // thread: each write waits for the disk.
    SerialWorker records;
};
