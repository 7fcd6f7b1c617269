#include "benchsupport.h"

#include <QEventLoop>
#include <QTimer>

#include "configfile.h"
#include "configformat.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "filelocations.h"
#include "launchrecords.h"
#include "logviewer.h"
#include "mainwindow.h"
#include "profileexchange.h"
#include "profilelistactions.h"
#include "profileqlistwidget.h"
#include "runningpanel.h"
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocalSocket>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

QList<Row> &Rows()
{
    static QList<Row> rows;
    return rows;
}

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Runs a program through bench_spawn, which times it and reports its own peak memory.
ProcessResult Run(const QString &program, const QStringList &arguments,
                  const QProcessEnvironment &environment)
{
    QProcess spawn;
    spawn.setProcessEnvironment(environment);
    spawn.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    spawn.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_spawn"),
                QStringList{program} + arguments);
    ProcessResult result;
    if (!spawn.waitForFinished(120000))
        return result;
    const QList<QByteArray> fields = spawn.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() == 4) {
        result.ms = fields.at(0).toDouble();
        result.peakMiB = fields.at(1).toDouble() / 1024.0;
        result.code = fields.at(2).toInt();
        result.shownMs = fields.at(3).toDouble();
    }
    return result;
}

QString MakeConfigText(int profiles)
{
    LauncherConfig config;
    config.ResetSections();
    const int resolutions = std::max(7, profiles / 10);
    const int densities = std::max(6, profiles / 20);
    for (int i = 0; i < resolutions; ++i)
        config.AppendEntry(SectionResolution, QStringLiteral("Resolution %1").arg(i),
                           QStringLiteral(" -windowsize %1x%2").arg(320 + i).arg(480 + i));
    for (int i = 0; i < densities; ++i)
        config.AppendEntry(SectionPixelDensity, QStringLiteral("Density %1").arg(i),
                           QStringLiteral(" -ppi %1").arg(100 + i));
    for (const char *input : {"Touch", "Mouse", "Keyboard", "Stylus"})
        config.AppendEntry(SectionInput, QLatin1String(input), QStringLiteral(" -input x"));
    for (int i = 0; i < profiles; ++i) {
        LauncherProfile p;
        p.name = QStringLiteral("Profile %1 of the benchmark").arg(i);
        p.optionIndex = {i % resolutions, (i * 7) % densities, i % 4};
        p.arguments = QStringLiteral("-arg %1 -orientation landscape").arg(i);
        config.AppendProfile(p);
    }
    return FormatConfigText(config);
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Where the runtime directories go: on a desktop XDG_RUNTIME_DIR is a tmpfs (/run/user/UID),
// so a tmpfs here too when there is one, for the launcher's lock and socket.
QString RuntimeRoot(const QString &fallback)
{
    static QTemporaryDir shm(QStringLiteral("/dev/shm/velmora-bench-XXXXXX"));
    return shm.isValid() ? shm.path() : fallback;
}

// The runtime directory of the home at `home`.
QString RuntimeOf(const QString &home)
{
    return RuntimeRoot(home) + QLatin1Char('/') +
           QString::fromLatin1(QFile::encodeName(home).toHex().right(24));
}

// A home of its own for one row: HOME, XDG directories and a runtime directory.
QProcessEnvironment HomeEnvironment(const QString &home)
{
    const QString runtime = RuntimeOf(home);
    QDir().mkpath(home + QStringLiteral("/data"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    // Launch records and logs, and the launcher's private folders, stay in the home too.
    env.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/state"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

QString UserConfig(const QString &home)
{
    return home + QStringLiteral("/data/Velmora/VelmoraMobileEmulator/Launcher.ini");
}

void CompareStartUps(const QString &what, const QString &programA, const QString &programB,
                     const QProcessEnvironment &envA, const QProcessEnvironment &envB, int runs,
                     const QString &goal, const QString &memoryGoal, const QString &removeBefore)
{
    Sample shownA, shownB, peakA, peakB;
    for (int i = 0; i < runs; ++i) {
        // The launcher writes Launcher.ini as it closes: a run from the default file starts
        // without one.
        if (!removeBefore.isEmpty())
            QFile::remove(removeBefore);
        const ProcessResult ra = Run(programA, {}, envA);
        const ProcessResult rb = Run(programB, {}, envB);
        if (ra.code != 0 || rb.code != 0 || ra.shownMs < 0 || rb.shownMs < 0)
            qWarning("%s: exit codes %d and %d", qPrintable(what), ra.code, rb.code);
        shownA.values.append(ra.shownMs);
        shownB.values.append(rb.shownMs);
        peakA.values.append(ra.peakMiB);
        peakB.values.append(rb.peakMiB);
    }
    Rows().append({QStringLiteral("start-up to first paint, %1").arg(what), QStringLiteral("ms"),
                   shownA, shownB, goal});
    Rows().append({QStringLiteral("peak memory, %1").arg(what), QStringLiteral("MiB"), peakA, peakB,
                   memoryGoal});
}

bool WaitForListening(const QString &runtimeDir)
{
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        for (const QString &name : QDir(runtimeDir).entryList({"*.sock"}, QDir::System)) {
            QLocalSocket socket;
            socket.connectToServer(runtimeDir + QLatin1Char('/') + name);
            if (socket.waitForConnected(100))
                return true;
        }
        QThread::msleep(10);
    }
    return false;
}

// A records file of `count` emulators that all are a process that runs (this one), so that
// none of them is dropped.
QByteArray RunningRecords(int count)
{
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    const QByteArray identity = ProcessIdentity(QCoreApplication::applicationPid()).toLatin1();
    QByteArray records = "{\"running\": [";
    for (int i = 0; i < count; ++i)
        records += QByteArray(i ? "," : "") + "{\"profile\": \"Profile " + QByteArray::number(i) +
                   "\", \"pid\": " + pid + ", \"identity\": \"" + identity +
                   "\", \"started\": \"2026-01-01T00:00:00.000Z\", \"log\": \"\", "
                   "\"command\": [\"emu\", \"-profile-name\", \"x\"]}";
    return records + "]}";
}

void PrintTable(int runs)
{
    std::printf("\nMedians of %d runs; in brackets the middle half of them.\n\n", runs);
    std::printf("| measurement | launcher | floor | ratio | goal |\n");
    std::printf("|---|---:|---:|---:|---|\n");
    for (const Row &row : std::as_const(Rows())) {
        const auto shown = [&row](const Sample &sample) {
            return QStringLiteral("%1 %2 (%3)")
                .arg(sample.Median(), 0, 'f', sample.Median() < 10 ? 2 : 1)
                .arg(row.unit, sample.Spread());
        };
        const bool compared = !row.b.values.isEmpty() && row.b.Median() > 0;
        std::printf("| %s | %s | %s | %s | %s |\n", qPrintable(row.what), qPrintable(shown(row.a)),
                    compared ? qPrintable(shown(row.b)) : "-",
                    compared ? qPrintable(QString::number(row.a.Median() / row.b.Median(), 'f', 2) +
                                          QLatin1Char('x'))
                             : "-",
                    qPrintable(row.goal));
    }
}

// Waits, handling events, until `path` holds more than `lines` lines; returns the last line's
// number, or -1 after ten seconds.
double WaitForLine(const QString &path, int lines)
{
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> all = file.readAll().split('\n');
            if (all.size() - 1 > lines)
                return all.at(all.size() - 2).toDouble();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return -1;
}

// How long an event queued now waits until it is handled.
double PingMs()
{
    const double sent = NowMs();
    double answered = -1;
    QMetaObject::invokeMethod(
        qApp, [&answered] { answered = NowMs(); }, Qt::QueuedConnection);
    while (answered < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return answered - sent;
}

// How long the window stays busy with `step`, as a window manager's ping would find it: the
// time until an event queued right after the step is handled, or, if longer, until one queued
// during the `afterMs` that follow is (what the step left for later turns of the event loop,
// such as a filter applied slice by slice or the result of a save, counts too).
double BusyMs(const std::function<void()> &step, int afterMs)
{
    const double start = NowMs();
    step();
    const double stepMs = NowMs() - start;
    double worst = stepMs + PingMs();
    const double until = NowMs() + afterMs;
    while (NowMs() < until)
        worst = std::max(worst, PingMs());
    return worst;
}

BusySpan BusyUntil(const std::function<void()> &step, const std::function<bool()> &done,
                   int timeoutMs)
{
    BusySpan span;
    const double start = NowMs();
    step();
    span.worstMs = NowMs() - start + PingMs();
    // A ping every few milliseconds, as a window manager or the user would find the window:
    // pinging without a pause would take a core from the work measured.
    while (!done() && NowMs() - start < timeoutMs) {
        span.worstMs = std::max(span.worstMs, PingMs());
        QEventLoop pause;
        QTimer::singleShot(5, &pause, &QEventLoop::quit);
        pause.exec();
    }
    span.totalMs = NowMs() - start;
    return span;
}

double ResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}
