#include "serialworker.h"

SerialWorker::~SerialWorker()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}

void SerialWorker::Post(std::function<void()> task)
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        tasks.push_back(std::move(task));
        if (!thread.joinable())
            thread = std::thread(&SerialWorker::Run, this);
    }
    wake.notify_one();
}

void SerialWorker::Wait()
{
    std::unique_lock<std::mutex> lock(mutex);
    idle.wait(lock, [this] { return tasks.empty() && !busy; });
}

bool SerialWorker::Idle() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return tasks.empty() && !busy;
}

void SerialWorker::Run()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stopping || !tasks.empty(); });
        // Stopping still runs what is queued: a posted write is never dropped.
        if (tasks.empty())
            return;
        std::function<void()> task = std::move(tasks.front());
        tasks.pop_front();
        busy = true;
        lock.unlock();
        task();
        lock.lock();
        busy = false;
        if (tasks.empty())
            idle.notify_all();
    }
}
