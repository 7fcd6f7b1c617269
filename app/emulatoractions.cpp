#include "optionactions_p.h"

#include "emulatorlauncher.h"
#include "emulatorstop.h"
#include "emulatorwindows.h"
#include "filelocations.h"
#include "jsonoutput.h"
#include "launchrecords.h"
#include "logtext.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QThread>

#include <algorithm>

// The command line's actions on emulators: listing, stopping, a profile's log, launching and
// watching the start.

namespace {

// A field of a TAB-separated line: a control character in it (a TAB that a name stored before
// such names were refused holds) written as "\t" or "\xHH", so that the line keeps its fields.
QString Field(const QString &text)
{
    if (!ContainsControlCharacter(text))
        return text;
    QString field;
    for (const QChar c : text) {
        if (c == u'\t')
            field += QStringLiteral("\\t");
        else if (c.category() == QChar::Other_Control)
            field += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            field += c;
    }
    return field;
}

// Watches the emulators just started for five seconds each: 0 while all run, else the status of
// the first seen to have ended (1 for a code of 0 or an end nobody saw), with its output.
int WaitForLaunched(const QList<LaunchRecord> &launched, QTextStream &err)
{
    constexpr qint64 WatchedMs = 5000;
    // How long an end may take to be noted by the process that waited for it.
    constexpr qint64 NotedMs = 2000;
    QDateTime until;
    for (const LaunchRecord &record : launched)
        until = qMax(until, record.started.addMSecs(WatchedMs));
    QHash<qint64, QDateTime> seenEnded;
    for (;;) {
        // An emulator seen to have ended whose end is not noted yet: it is no success.
        bool awaitingNote = false;
        QList<EndedLaunch> ended;
        const QList<LaunchRecord> running = RunningEmulators(&ended);
        const QDateTime now = QDateTime::currentDateTime();
        for (const LaunchRecord &record : launched) {
            const auto same = [&record](const LaunchRecord &other) {
                return other.pid == record.pid && other.identity == record.identity;
            };
            if (std::any_of(running.cbegin(), running.cend(), same))
                continue;
            const auto end = std::find_if(ended.cbegin(), ended.cend(),
                                          [&same](const EndedLaunch &e) { return same(e.record); });
            const QDateTime first = seenEnded.value(record.pid, now);
            seenEnded.insert(record.pid, first);
            if ((end == ended.cend() || end->status < 0) && first.msecsTo(now) < NotedMs) {
                awaitingNote = true;
                continue;
            }
            const int status = end != ended.cend() ? end->status : -1;
            const QString how = end != ended.cend() ? HowEnded(*end) : QString();
            Say(err,
                how.isEmpty()
                    ? Tr(QT_TRANSLATE_NOOP("LauncherOptions", "the emulator for \"%1\" ended"))
                          .arg(record.profile)
                    : Tr(QT_TRANSLATE_NOOP("LauncherOptions", "the emulator for \"%1\" ended: %2"))
                          .arg(record.profile, how));
            if (!record.log.isEmpty())
                err << LogExcerpt(record.log) << '\n';
            return status > 0 ? status : 1;
        }
        if (now >= until && !awaitingNote)
            return 0;
        QThread::msleep(100);
    }
}

} // namespace

int ListRunning(bool json, QTextStream &out)
{
    if (json) {
        WriteRunningJson(out, RunningEmulators());
        return 0;
    }
    for (const LaunchRecord &record : RunningEmulators())
        out << record.pid << '\t' << Field(record.profile) << '\t' << LocalIsoTime(record.started)
            << '\t' << Field(record.log) << '\n';
    return 0;
}

int ArrangeWindows(const QString &arrangement, QTextStream &err)
{
    QString problem = WindowPlacementProblem();
    QList<qint64> pids;
    for (const LaunchRecord &record : RunningEmulators())
        pids.append(record.pid);
    const QList<EmulatorWindow> windows =
        problem.isEmpty() ? FindEmulatorWindows(pids, &problem) : QList<EmulatorWindow>();
    if (windows.isEmpty()) {
        Say(err, problem.isEmpty()
                     ? Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                            "no window of a running emulator was found"))
                     : Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                            "the emulators' windows cannot be arranged: %1"))
                           .arg(problem));
        return 1;
    }
    QList<QSize> sizes;
    for (const EmulatorWindow &window : windows)
        sizes.append(window.frame.size());
    const QList<QRect> rects = ArrangedRects(
        arrangement == QLatin1String("cascade") ? Arrangement::Cascade : Arrangement::Tile, sizes,
        DesktopWorkArea());
    QList<std::pair<EmulatorWindow, QRect>> places;
    for (qsizetype i = 0; i < windows.size() && i < rects.size(); ++i)
        places.append({windows.at(i), rects.at(i)});
    return PlaceWindows(places, &problem) ? 0 : 1;
}

int StopAndReport(const QString &profile, QTextStream &err)
{
    const StopResult result = StopEmulators(profile);
    for (const QString &failure : result.failures)
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "cannot stop %1")).arg(failure));
    return result.failures.isEmpty() ? 0 : 1;
}

int StopProfiles(const LauncherConfig &config, const QStringList &names, QTextStream &err)
{
    const QList<LaunchRecord> records = RunningEmulators();
    QStringList unknown;
    for (const QString &name : names) {
        const bool recorded =
            std::any_of(records.cbegin(), records.cend(),
                        [&name](const LaunchRecord &r) { return r.profile == name; });
        if (!recorded && config.FindProfile(name) < 0 && !unknown.contains(name))
            unknown.append(name);
    }
    if (!unknown.isEmpty()) {
        Say(err,
            (unknown.size() == 1
                 ? Tr(QT_TRANSLATE_NOOP("LauncherOptions", "%1, and no emulator runs for one."))
                 : Tr(QT_TRANSLATE_NOOP("LauncherOptions", "%1, and no emulator runs for them.")))
                .arg(NoProfilesNamed(unknown)));
        return 2;
    }
    int code = 0;
    for (const QString &name : names)
        code = qMax(code, StopAndReport(name, err));
    return code;
}

int ShowLog(const LauncherConfig &config, const QString &name, QTextStream &out, QTextStream &err)
{
    const QString log = NewestLog(name);
    if (!log.isEmpty()) {
        out << log << '\n';
        return 0;
    }
    if (config.FindProfile(name) < 0) {
        SayNoProfile(err, name);
        return 2;
    }
    Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "No emulator of \"%1\" has left a log yet."))
                 .arg(name));
    return 1;
}

int LaunchProfiles(const LauncherConfig &config, const LauncherOptions &options, QTextStream &err)
{
    QStringList unknown;
    for (const QString &name : options.names) {
        if (config.FindProfile(name) < 0 && !unknown.contains(name))
            unknown.append(name);
    }
    if (!unknown.isEmpty()) {
        SayUnknown(err, unknown, config);
        return 2;
    }
    int code = 0;
    // The same service as the window's; its waiter process records each emulator and notes
    // how it ended, since this process ends at once.
    EmulatorLauncher launcher(EmulatorLauncher::Mode::Script);
    QObject::connect(
        &launcher, &EmulatorLauncher::failed, [&err, &code](const QList<LaunchFailure> &failures) {
            for (const LaunchFailure &failure : failures)
                Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "cannot start %1: %2"))
                             .arg(Shown(failure.program), failure.error));
            code = 1;
        });
    QObject::connect(&launcher, &EmulatorLauncher::logProblem, [&err](const QString &reason) {
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "no log can be kept in %1 (%2); the "
                                                         "emulator's output is discarded"))
                     .arg(Shown(LogDirectory()), reason));
    });
    QObject::connect(&launcher, &EmulatorLauncher::recordProblem, [&err](const QString &reason) {
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                      "the emulator runs, but its record cannot be written to "
                                      "%1 (%2); --running and --stop do not know it"))
                     .arg(Shown(StateDirectory()), reason));
    });
    QList<LaunchRequest> requests;
    const ExtrasMap extras = ReadExtras(ExtrasPath(GetFilePath(UserConfigFile))).extras;
    for (const QString &name : options.names) {
        const LauncherProfile &profile = config.profiles.at(config.FindProfile(name));
        SplitCommand command = StoredCommand(config, profile);
        AddExtras(command, extras.value(profile.name));
        requests.append({profile.name, command});
    }
    const QList<LaunchRecord> started = launcher.Launch(requests);
    if (code == 0 && options.wait)
        return WaitForLaunched(started, err);
    return code;
}
