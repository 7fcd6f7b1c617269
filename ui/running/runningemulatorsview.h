#pragma once

#include "earlyendnotice.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class EarlyEndNotice;
class EmulatorLauncher;
class ProfileDocument;
class ProfileQListWidget;
class QWidget;
struct LaunchFailure;
struct LaunchRecord;

// What the window shows of the emulators the launcher started: how many run on each profile's
// row (drawn by RunningCountDelegate, said in words to screen readers and in the tooltip), a
// notice that does not block when one quits right after its start, and what went wrong with a
// launch: one that did not start, a log or a record that could not be written.
class RunningEmulatorsView : public QObject
{
    Q_OBJECT

public:
    RunningEmulatorsView(QWidget *window, ProfileDocument *document, ProfileQListWidget *list,
                         EmulatorLauncher *launcher);

    // Shows the counts again; `rowsRebuilt` when the list's rows were made anew.
    void Refresh(bool rowsRebuilt);

signals:
    // How many emulators run on the selected profile and in all.
    void runningCountsChanged(int ofCurrentProfile, int all);

private:
    void ShowEarlyEnd(const LaunchRecord &record, const QString &how);
    void ShowFailures(const QList<LaunchFailure> &failures);
    void ShowLogProblem(const QString &reason);
    void ShowRecordProblem(const QString &reason);

    QWidget *window = nullptr;
    const ProfileDocument *document = nullptr;
    ProfileQListWidget *list = nullptr;
    EmulatorLauncher *launcher = nullptr;
    QHash<QString, int> shownCounts;
    // The notice listing the emulators that ended right after their start.
    QPointer<EarlyEndNotice> notice;
    // Ends told in this turn of the event loop after the first: added to the notice at once at
    // its end (a thousand that quit together update it twice, not a thousand times).
    QList<EarlyEndNotice::End> pendingEnds;
    bool flushScheduled = false;
    void AddPendingEnds();
    bool logProblemShown = false;
    bool recordProblemShown = false;
};
