#pragma once
// What both the launcher and the bare form do once their window has painted for the first
// time: tell bench_spawn when (CLOCK_MONOTONIC, through the descriptor in BENCH_SHOWN_FD), and
// close once the event loop is idle. Both measure the same moment, so their difference is the
// launcher's own work on the way to the first paint.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <unistd.h>

class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QWidget *window) : QObject(window), window(window)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window && event->type() == QEvent::Paint && !seen) {
            seen = true;
            // The paint is complete once control returns to the event loop.
            QTimer::singleShot(0, window, [this] {
                Report();
                window->close();
            });
        }
        return false;
    }

private:
    static void Report()
    {
        const char *fd = std::getenv("BENCH_SHOWN_FD");
        if (!fd)
            return;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%lld\n",
                                    (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
        if (::write(std::atoi(fd), line, size_t(n)) != n)
            std::perror("BENCH_SHOWN_FD");
    }

    QWidget *window;
    bool seen = false;
};
