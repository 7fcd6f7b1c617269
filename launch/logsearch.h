#pragma once

#include "logtext.h"

#include <memory>
#include <thread>

// Searches a log's lines for what the viewer's filter asks, on a thread of its own, so that an
// expression that is slow on every line never holds up the window: the lines come as they are
// found, and a new search or the end of the viewer stops the one under way within a line.
class LogSearch
{
public:
    LogSearch() = default;
    // Stops the search under way.
    ~LogSearch();
    LogSearch(const LogSearch &) = delete;
    LogSearch &operator=(const LogSearch &) = delete;

    // Searches the lines [from, to) of `log` (a copy, which costs nothing: its text is shared).
    void Start(const LogText &log, const LogFilter &filter, qsizetype from, qsizetype to);
    // Stops the search under way; what it found so far is still there to Take.
    void Stop();
    // What was found since the last call, in line order.
    LogMatches Take();
    bool Running() const;
    // The first line not searched yet: where a search that was stopped got to.
    qsizetype Reached() const;

private:
    struct State;
    std::shared_ptr<State> state;
    std::thread worker;
};
