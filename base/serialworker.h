#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One thread that runs the tasks posted to it one after another, in the order they came: for
// the writes the window must not wait for (Launcher.ini, the launch records), which still have
// to reach the disk in order. The thread is started by the first task, so that a run that
// never writes never starts it.
class SerialWorker
{
public:
    SerialWorker() = default;
    // Runs what was posted, then ends the thread.
    ~SerialWorker();
    SerialWorker(const SerialWorker &) = delete;
    SerialWorker &operator=(const SerialWorker &) = delete;

    void Post(std::function<void()> task);
    // Returns once every task posted before has run.
    void Wait();
    bool Idle() const;

private:
    void Run();

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<std::function<void()>> tasks;
    bool busy = false;
    bool stopping = false;
    std::thread thread;
};
