#pragma once
// What both the launcher and the bare form do once their window has painted for the first
// time: tell bench_spawn when (CLOCK_MONOTONIC, through the descriptor in BENCH_SHOWN_FD), and
// close. Both measure the same moment, so their difference is the launcher's own work on the
// way to the first paint.

#include "afterfirstpaint.h"

#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <unistd.h>

inline void ReportFirstPaintAndClose(QWidget *window)
{
    RunAfterFirstPaint(window, window, [window] {
        if (const char *fd = std::getenv("BENCH_SHOWN_FD")) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            char line[64];
            const int n = std::snprintf(line, sizeof line, "%lld\n",
                                        (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
            if (::write(std::atoi(fd), line, size_t(n)) != n)
                std::perror("BENCH_SHOWN_FD");
        }
        window->close();
    });
}
