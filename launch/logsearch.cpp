#include "logsearch.h"

#include <atomic>
#include <mutex>

struct LogSearch::State
{
    std::atomic<bool> stop{false};
    std::atomic<bool> running{true};
    std::atomic<qsizetype> reached{0};
    std::mutex mutex;
    LogMatches found;
};

LogSearch::~LogSearch()
{
    Stop();
}

void LogSearch::Start(const LogText &log, const LogFilter &filter, qsizetype from, qsizetype to)
{
    Stop();
    auto search = std::make_shared<State>();
    search->reached = from;
    state = search;
    worker = std::thread([search, log, filter, from, to] {
        // A slice at a time, so that what is found shows while the rest is searched.
        constexpr qsizetype Slice = 256;
        for (qsizetype start = from; start < to && !search->stop; start += Slice) {
            const qsizetype end = qMin(to, start + Slice);
            const LogMatches slice =
                MatchingLines(log, filter, start, end, [&search] { return bool(search->stop); });
            const std::lock_guard<std::mutex> lock(search->mutex);
            search->found.lines.append(slice.lines);
            search->found.tooCostly += slice.tooCostly;
            // A slice stopped part-way is searched again by whoever starts from here.
            if (!search->stop)
                search->reached = end;
        }
        search->running = false;
    });
}

void LogSearch::Stop()
{
    if (state)
        state->stop = true;
    if (worker.joinable())
        worker.join();
}

LogMatches LogSearch::Take()
{
    LogMatches taken;
    if (!state)
        return taken;
    const std::lock_guard<std::mutex> lock(state->mutex);
    std::swap(taken, state->found);
    // Lines of a slice that was stopped part-way come again from Reached().
    if (state->stop)
        taken.lines.removeIf([this](qsizetype line) { return line >= state->reached; });
    return taken;
}

bool LogSearch::Running() const
{
    return state && state->running;
}

qsizetype LogSearch::Reached() const
{
    return state ? qsizetype(state->reached) : 0;
}
