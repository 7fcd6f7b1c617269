#include "emulatorlauncher.h"

#include "emulatormonitor.h"
#include "emulatorstart.h"
#include "emulatorstop.h"

#include <QThread>

#include <memory>

EmulatorLauncher::EmulatorLauncher(Mode m, QObject *parent) : QObject(parent), mode(m)
{
    if (mode == Mode::Window)
        monitor = new EmulatorMonitor(this);
}

EmulatorLauncher::~EmulatorLauncher()
{
    // A stop under way ends before the launcher goes; it waits five seconds at the most.
    for (QThread *worker : std::as_const(stopping)) {
        worker->wait();
        delete worker;
    }
}

void EmulatorLauncher::Start()
{
    if (!monitor)
        return;
    monitor->Start();
    records.Post([] { PruneLogs(); });
}

QList<LaunchRecord> EmulatorLauncher::Launch(const QList<LaunchRequest> &requests)
{
    QList<LaunchRecord> started;
    QList<LaunchFailure> failures;
    QList<LaunchRecord> toRecord;
    for (const LaunchRequest &request : requests) {
        // A window starts at once and records in the background; a script's waiter records
        // before it answers.
        const LaunchResult result = mode == Mode::Window
                                        ? StartEmulator(request.command, request.profile)
                                        : LaunchEmulatorWatched(request.command, request.profile);
        if (!result.started) {
            failures.append({request.profile, request.command.program, result.error});
            continue;
        }
        started.append(result.record);
        if (!result.logProblem.isEmpty())
            emit logProblem(result.logProblem);
        if (mode == Mode::Window) {
            toRecord.append(result.record);
            monitor->Add(result.record);
        } else if (!result.recordProblem.isEmpty()) {
            emit recordProblem(result.recordProblem);
        }
        emit launched(result.record);
    }
    // A batch is recorded in one look at the records: a thousand launches are one write, not
    // a thousand of a growing file.
    if (!toRecord.isEmpty()) {
        records.Post([this, toRecord] {
            const QString problem = RecordLaunches(toRecord);
            if (!problem.isEmpty())
                QMetaObject::invokeMethod(this, [this, problem] { emit recordProblem(problem); });
        });
    }
    if (!failures.isEmpty())
        emit failed(failures);
    return started;
}

void EmulatorLauncher::Stop(const QString &profile)
{
    StopInBackground([profile] { return StopEmulators(profile); });
}

void EmulatorLauncher::Stop(const LaunchRecord &emulator)
{
    StopInBackground([emulator] { return StopEmulator(emulator); });
}

void EmulatorLauncher::StopInBackground(const std::function<StopResult()> &stop)
{
    const auto result = std::make_shared<StopResult>();
    QThread *worker = QThread::create([this, stop, result] {
        // An emulator launched a moment ago is stopped too.
        records.Wait();
        *result = stop();
    });
    // Owned here, so that it goes with the launcher even when its deferred deletion never runs.
    worker->setParent(this);
    stopping.append(worker);
    connect(worker, &QThread::finished, this, [this, worker, result] {
        stopping.removeAll(worker);
        worker->deleteLater();
        emit stopped(result->failures);
    });
    worker->start();
}

void EmulatorLauncher::RenameRecords(const QString &oldName, const QString &newName)
{
    records.Post([oldName, newName] { RenameLaunchRecords(oldName, newName); });
}
