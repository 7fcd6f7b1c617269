#pragma once

// What the benchmark runner's measurements share: timing, a home of their own, runs through
// bench_spawn, and the table they end up in.

#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

struct ProcessResult
{
    double ms = 0;
    double peakMiB = 0;
    int code = -1;
    double shownMs = -1; // until the first paint
};

// The values of one measurement over the runs.
struct Sample
{
    QList<double> values;
    double Quantile(double q) const
    {
        if (values.isEmpty())
            return 0;
        QList<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const double at = q * double(sorted.size() - 1);
        const qsizetype low = qsizetype(at);
        const qsizetype high = std::min(low + 1, sorted.size() - 1);
        return sorted.at(low) + (sorted.at(high) - sorted.at(low)) * (at - double(low));
    }
    double Median() const { return Quantile(0.5); }
    // The middle half of the runs.
    QString Spread() const
    {
        return QStringLiteral("%1–%2")
            .arg(Quantile(0.25), 0, 'f', 1)
            .arg(Quantile(0.75), 0, 'f', 1);
    }
};

struct Row
{
    QString what;
    QString unit;
    Sample a;
    Sample b; // empty: nothing compared
    QString goal;
};

QList<Row> &Rows();

double NowMs();
// How long the window stays busy at the most while `step`'s work goes on until `done`, and how
// long that took.
struct BusySpan
{
    double worstMs = 0;
    double totalMs = 0;
};
BusySpan BusyUntil(const std::function<void()> &step, const std::function<bool()> &done,
                   int timeoutMs);
// The process's resident memory now, in MiB (from the kernel).
double ResidentMiB();

// Runs a program through bench_spawn, which times it and reports its own peak memory.
ProcessResult Run(const QString &program, const QStringList &arguments,
                  const QProcessEnvironment &environment);

QString MakeConfigText(int profiles);

bool WriteFile(const QString &path, const QByteArray &bytes);

// Where the runtime directories go: on a desktop XDG_RUNTIME_DIR is a tmpfs (/run/user/UID),
// so a tmpfs here too when there is one, for the launcher's lock and socket.
QString RuntimeRoot(const QString &fallback);

// The runtime directory of the home at `home`.
QString RuntimeOf(const QString &home);

// A home of its own for one row: HOME, XDG directories and a runtime directory.
QProcessEnvironment HomeEnvironment(const QString &home);

QString UserConfig(const QString &home);

// Start-up to the first paint and peak memory, the two programs alternating run by run.
void CompareStartUps(const QString &what, const QString &programA, const QString &programB,
                     const QProcessEnvironment &envA, const QProcessEnvironment &envB, int runs,
                     const QString &goal, const QString &memoryGoal,
                     const QString &removeBefore = QString());

bool WaitForListening(const QString &runtimeDir);

// A records file of `count` emulators that all are a process that runs (this one), so that
// none of them is dropped.
QByteArray RunningRecords(int count);

void PrintTable(int runs);

// Waits, handling events, until `path` holds more than `lines` lines; returns the last line's
// number, or -1 after ten seconds.
double WaitForLine(const QString &path, int lines);

// How long an event queued now waits until it is handled.
double PingMs();

// How long the window stays busy with `step`, as a window manager's ping would find it: the
// time until an event queued right after the step is handled, or, if longer, until one queued
// during the `afterMs` that follow is (what the step left for later turns of the event loop,
// such as a filter applied slice by slice or the result of a save, counts too).
double BusyMs(const std::function<void()> &step, int afterMs = 100);
