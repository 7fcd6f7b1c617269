#include "emulatorlauncher.h"

#include "emulatormonitor.h"
#include "emulatorstart.h"
#include "emulatorstop.h"

#include <QElapsedTimer>
#include <QThread>

#include <memory>

EmulatorLauncher::EmulatorLauncher(Mode m, QObject *parent) : QObject(parent), mode(m)
{
    if (mode == Mode::Window)
        monitor = new EmulatorMonitor(this);
}

EmulatorLauncher::~EmulatorLauncher()
{
    closing = true;
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
    if (mode == Mode::Window) {
        StartInBackground(requests);
        return {};
    }
    QList<LaunchRecord> started;
    QList<LaunchFailure> failures;
    for (const LaunchRequest &request : requests) {
        // A script's waiter records before it answers.
        const LaunchResult result = LaunchEmulatorWatched(request.command, request.profile);
        if (!result.started) {
            failures.append({request.profile, request.command.program, result.error});
            continue;
        }
        started.append(result.record);
        if (!result.logProblem.isEmpty())
            emit logProblem(result.logProblem);
        if (!result.recordProblem.isEmpty())
            emit recordProblem(result.recordProblem);
        emit launched(result.record);
    }
    if (!failures.isEmpty())
        emit failed(failures);
    return started;
}

void EmulatorLauncher::StartInBackground(const QList<LaunchRequest> &requests)
{
    if (requests.isEmpty())
        return;
    // Starting a thousand emulators takes seconds: they start on the records' thread, which
    // records them too, and the window hears of them a slice at a time as they come.
    records.Post([this, requests] {
        QList<LaunchFailure> failures;
        QList<LaunchResult> slice;
        QElapsedTimer sliceTime;
        sliceTime.start();
        const auto deliver = [this, &slice, &sliceTime] {
            if (slice.isEmpty())
                return;
            // The window hears first: the records' lock may be held by another launcher.
            QList<LaunchRecord> started;
            for (const LaunchResult &result : std::as_const(slice))
                started.append(result.record);
            QMetaObject::invokeMethod(
                this,
                [this, slice] {
                    for (const LaunchResult &result : slice) {
                        if (!result.logProblem.isEmpty())
                            emit logProblem(result.logProblem);
                        monitor->Add(result.record);
                        emit launched(result.record);
                    }
                },
                Qt::QueuedConnection);
            const QString problem = RecordLaunches(started);
            if (!problem.isEmpty())
                QMetaObject::invokeMethod(
                    this, [this, problem] { emit recordProblem(problem); }, Qt::QueuedConnection);
            slice.clear();
            sliceTime.restart();
        };
        for (const LaunchRequest &request : requests) {
            // The launcher is going: what was not started yet is not.
            if (closing)
                break;
            LaunchResult result = StartEmulator(request.command, request.profile);
            if (!result.started) {
                failures.append({request.profile, request.command.program, result.error});
                continue;
            }
            slice.append(std::move(result));
            // A batch is recorded a slice at a time: a thousand launches are a few writes, not
            // a thousand of a growing file, and the window gets a few events, not a thousand.
            if (slice.size() >= 100 || sliceTime.elapsed() >= 100)
                deliver();
        }
        deliver();
        if (!failures.isEmpty())
            QMetaObject::invokeMethod(
                this, [this, failures] { emit failed(failures); }, Qt::QueuedConnection);
    });
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
