// Measures the launcher side by side with what it is compared with, alternating the two in the
// same run, and prints one table of medians (with the middle half of the runs as the spread)
// and ratios. See scripts/bench and the README's table.
//   bench_runner [--quick] [--runs N]

#include "benchsupport.h"
#include "configfile.h"
#include "configformat.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "filelocations.h"
#include "launchrecords.h"
#include "logviewer.h"
#include "mainwindow.h"
#include "profiledocument.h"
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
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

int main(int argc, char *argv[])
{
    QList<Row> &rows = Rows();
    bool quick = false;
    int runs = 21;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (qstrcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, atoi(argv[++i]));
    }
    if (quick)
        runs = std::min(runs, 3);

    QTemporaryDir temp;
    const QString root = temp.path();
    // The in-process rows run a real MainWindow in a home of their own.
    const QProcessEnvironment own = HomeEnvironment(root + QStringLiteral("/self"));
    for (const char *key : {"HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME",
                            "XDG_STATE_HOME", "XDG_CACHE_HOME", "QT_QPA_PLATFORM"})
        qputenv(key, own.value(QLatin1String(key)).toLocal8Bit());
    QApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    const QString launcher = bin + QStringLiteral("/bench_launcher");
    const QString bare = bin + QStringLiteral("/bench_barewindow");
    const int largest = quick ? 10000 : 100000;

    // Whole processes, exec to the first paint, each against the bare form with the same names.
    {
        const QString home = root + QStringLiteral("/default");
        CompareStartUps(QStringLiteral("shipped default"), launcher, bare, HomeEnvironment(home),
                        HomeEnvironment(root + QStringLiteral("/bare-default")), runs,
                        QStringLiteral("≤ 1.05x"), QString(), UserConfig(home));
    }
    QList<int> sizes = {10000, 100000};
    if (quick)
        sizes = {10000};
    for (int size : sizes) {
        const QString home = root + QStringLiteral("/p%1").arg(size);
        const QString bareHome = root + QStringLiteral("/bare-p%1").arg(size);
        const QByteArray text = MakeConfigText(size).toUtf8();
        WriteFile(UserConfig(home), text);
        WriteFile(UserConfig(bareHome), text);
        CompareStartUps(QStringLiteral("%L1 profiles").arg(size), launcher, bare,
                        HomeEnvironment(home), HomeEnvironment(bareHome), runs,
                        QStringLiteral("≤ 1.15x"),
                        size == 100000 ? QStringLiteral("≤ 1.5x") : QString());
    }

    // A second start handing over to a running launcher, start to exit.
    {
        const QString home = root + QStringLiteral("/second");
        const QProcessEnvironment env = HomeEnvironment(home);
        QProcess primary;
        primary.setProcessEnvironment(env);
        primary.start(bin + QStringLiteral("/VelmoraMobileEmuLauncher"), {});
        if (WaitForListening(RuntimeOf(home))) {
            Sample handOver;
            for (int i = 0; i < runs; ++i)
                handOver.values.append(
                    Run(bin + QStringLiteral("/VelmoraMobileEmuLauncher"), {}, env).ms);
            rows.append({QStringLiteral("second start hands over, start to exit"),
                         QStringLiteral("ms"),
                         handOver,
                         {},
                         QString()});
        }
        primary.kill();
        primary.waitForFinished();
    }

    // Reading and writing the format: plain function calls.
    {
        const QByteArray bytes = MakeConfigText(largest).toUtf8();
        Sample read, write;
        const QString path = root + QStringLiteral("/rw/Launcher.ini");
        const QString savedPath = root + QStringLiteral("/rw/Saved.ini");
        WriteFile(path, bytes);
        for (int i = 0; i < std::max(3, runs / 3); ++i) {
            double start = NowMs();
            const ConfigLoadResult loaded = LoadConfigFile(path);
            read.values.append(NowMs() - start);
            if (loaded.status != ConfigLoadResult::Loaded)
                qWarning("read failed");
            start = NowMs();
            if (!SaveConfigFile(savedPath, loaded.config).saved)
                qWarning("write failed");
            write.values.append(NowMs() - start);
        }
        const double mib = double(bytes.size()) / (1024 * 1024);
        rows.append({QStringLiteral("read %L1 profiles (%2 MiB)").arg(largest).arg(mib, 0, 'f', 1),
                     QStringLiteral("ms"),
                     read,
                     {},
                     QStringLiteral("%1 MiB/s").arg(mib / (read.Median() / 1000), 0, 'f', 0)});
        rows.append({QStringLiteral("write %L1 profiles (%2 MiB), with fsync")
                         .arg(largest)
                         .arg(mib, 0, 'f', 1),
                     QStringLiteral("ms"),
                     write,
                     {},
                     QStringLiteral("%1 MiB/s; off the window's thread")
                         .arg(mib / (write.Median() / 1000), 0, 'f', 0)});
    }

    // Merging an outside edit and importing: plain function calls, whose time must grow with
    // the number of profiles, not with its square.
    {
        LauncherConfig base;
        ParseConfigText(MakeConfigText(largest), base);
        LauncherConfig after = base;
        after.RenameProfile(largest / 2, QStringLiteral("Renamed in the window"));
        after.profiles.move(1, largest - 2);
        LauncherProfile added = base.profiles.at(3);
        added.name = QStringLiteral("Added in the window");
        after.AppendProfile(added);
        LauncherConfig theirs = base;
        theirs.profiles[7].arguments = QStringLiteral("-changed outside");
        theirs.RemoveProfile(largest / 3);
        LauncherConfig incoming = base;
        for (LauncherProfile &profile : incoming.profiles)
            profile.name += QStringLiteral(" (theirs)");
        Sample merge, import;
        for (int i = 0; i < std::max(3, runs / 3); ++i) {
            LauncherConfig target = theirs;
            double start = NowMs();
            ApplyModelChange(target, base, after);
            merge.values.append(NowMs() - start);
            target = base;
            start = NowMs();
            ImportProfiles(target, incoming, [](const QString &) { return ImportChoice::Replace; });
            import.values.append(NowMs() - start);
        }
        rows.append({QStringLiteral("merge an outside edit, %L1 profiles").arg(largest),
                     QStringLiteral("ms"),
                     merge,
                     {},
                     QStringLiteral("linear (10,000 took 10 to 15 s)")});
        rows.append({QStringLiteral("import %L1 new profiles into %L1").arg(largest),
                     QStringLiteral("ms"),
                     import,
                     {},
                     QStringLiteral("linear (10,000 took 6.4 s)")});
    }

    // Removing every profile but the first in one step, and its undo: the work must grow with
    // the number of profiles, and the step is saved once, whole.
    {
        const QString path = root + QStringLiteral("/remove/Launcher.ini");
        WriteFile(path, MakeConfigText(largest).toUtf8());
        Sample remove, undo;
        for (int i = 0; i < std::max(3, runs / 3); ++i) {
            ProfileDocument document(path, path + QStringLiteral(".default"));
            document.Read(path, true);
            QList<ProfileDocument::Expected> all;
            for (const LauncherProfile &profile : document.Config().profiles.mid(1))
                all.append(*document.ExpectedOf(profile.name));
            double start = NowMs();
            document.RemoveProfiles(all);
            remove.values.append(NowMs() - start);
            start = NowMs();
            document.History()->undo();
            undo.values.append(NowMs() - start);
            document.WaitForSaves();
        }
        rows.append({QStringLiteral("remove %L1 profiles in one step").arg(largest - 1),
                     QStringLiteral("ms"),
                     remove,
                     {},
                     QStringLiteral("linear; saved once")});
        rows.append({QStringLiteral("undo that removal"),
                     QStringLiteral("ms"),
                     undo,
                     {},
                     QStringLiteral("linear")});
    }

    // --list --json of the largest file: a whole process, its time and peak memory.
    {
        const QString home = root + QStringLiteral("/p%1").arg(largest);
        WriteFile(UserConfig(home), MakeConfigText(largest).toUtf8());
        Sample time, peak;
        QProcessEnvironment env = HomeEnvironment(home);
        env.insert(QStringLiteral("BENCH_DISCARD_OUTPUT"), QStringLiteral("1"));
        for (int i = 0; i < std::max(3, runs / 3); ++i) {
            const ProcessResult r = Run(bin + QStringLiteral("/VelmoraMobileEmuLauncher"),
                                        {QStringLiteral("--list"), QStringLiteral("--json")}, env);
            if (r.code != 0)
                qWarning("--list --json: exit code %d", r.code);
            time.values.append(r.ms);
            peak.values.append(r.peakMiB);
        }
        rows.append({QStringLiteral("--list --json, %L1 profiles").arg(largest),
                     QStringLiteral("ms"),
                     time,
                     {},
                     QStringLiteral("< 1 s")});
        rows.append({QStringLiteral("peak memory, --list --json, %L1 profiles").arg(largest),
                     QStringLiteral("MiB"),
                     peak,
                     {},
                     QStringLiteral("< 200 MB")});
    }

    // --launch beside 1,000 launch records and 10,000 logs of emulators long gone.
    {
        const QString home = root + QStringLiteral("/records");
        QProcessEnvironment env = HomeEnvironment(home);
        env.insert(QStringLiteral("BENCH_DISCARD_OUTPUT"), QStringLiteral("1"));
        // The stand-in emulator notes what it got and ends.
        env.insert(QStringLiteral("VELMORA_EMU_RECORD"), home + QStringLiteral("/record.jsonl"));
        const QString state = home + QStringLiteral("/state/Velmora/VelmoraMobileEmulator");
        QDir().mkpath(state + QStringLiteral("/logs"));
        const QByteArray records = RunningRecords(1000);
        Sample launch;
        for (int i = 0; i < std::max(3, runs / 3); ++i) {
            WriteFile(state + QStringLiteral("/launches.json"), records);
            for (int n = QDir(state + QStringLiteral("/logs")).count(); n < 10000; ++n)
                WriteFile(state + QStringLiteral("/logs/20200101-000000-%1-Old %2.log")
                                      .arg(n % 1000, 3, 10, QLatin1Char('0'))
                                      .arg(n)
                                      .replace(QLatin1Char(' '), QLatin1Char('_')),
                          "old\n");
            const ProcessResult r =
                Run(bin + QStringLiteral("/VelmoraMobileEmuLauncher"),
                    {QStringLiteral("--launch"), QStringLiteral("Default")}, env);
            if (r.code != 0)
                qWarning("--launch: exit code %d", r.code);
            launch.values.append(r.ms);
        }
        rows.append({QStringLiteral("--launch beside 1,000 records and 10,000 old logs"),
                     QStringLiteral("ms"),
                     launch,
                     {},
                     QStringLiteral("< 100 ms (19 s before)")});
    }

    // The window with the largest file: how long a change and a filter keystroke keep it busy,
    // and a launch from the click to the emulator's first instruction.
    {
        WriteFile(UserConfig(root + QStringLiteral("/self")), MakeConfigText(largest).toUtf8());
        auto window = std::make_unique<MainWindow>();
        window->show();
        QCoreApplication::processEvents();
        auto *list = window->findChild<ProfileQListWidget *>(QStringLiteral("profileList"));
        auto *filter = window->findChild<QLineEdit *>(QStringLiteral("profileFilter"));
        auto *launch = window->findChild<QPushButton *>(QStringLiteral("launchButton"));

        Sample rename;
        for (int i = 0; i < runs; ++i) {
            const int row = 1 + (i * 7919) % (largest - 1);
            const QString name = window->Config().profiles.at(row).name;
            rename.values.append(BusyMs([&] {
                window->ListActions()->RenameProfile(name, QStringLiteral("Renamed %1").arg(i));
            }));
            // Each save is written before the next rename, as a user's pace would allow.
            window->WaitForSaves();
        }
        rows.append({QStringLiteral("window busy after a rename, %L1 profiles").arg(largest),
                     QStringLiteral("ms"),
                     rename,
                     {},
                     QStringLiteral("≤ 16 ms (one frame)")});

        Sample keystroke;
        for (int i = 0; i < std::max(1, runs / 7); ++i) {
            // Typing "Profile 99", then taking it back character by character.
            const QString typed = QStringLiteral("Profile 99");
            for (int n = 1; n <= typed.size(); ++n)
                keystroke.values.append(BusyMs([&] { filter->setText(typed.left(n)); }));
            // The benchmark measures a filter that works: "Profile 99" shows 1,111 of 100,000.
            QDeadlineTimer applied(10000);
            while (!list->FilterApplied() && !applied.hasExpired())
                QCoreApplication::processEvents();
            int shown = 0;
            for (int row = 0; row < list->count(); ++row)
                shown += list->isRowHidden(row) ? 0 : 1;
            std::printf("filter \"%s\" shows %d rows\n", qPrintable(typed), shown);
            for (int n = typed.size() - 1; n >= 0; --n)
                keystroke.values.append(BusyMs([&] { filter->setText(typed.left(n)); }));
        }
        rows.append({QStringLiteral("window busy after a filter keystroke, %L1 profiles (worst: "
                                    "%2 ms)")
                         .arg(largest)
                         .arg(keystroke.Quantile(1), 0, 'f', 1),
                     QStringLiteral("ms"),
                     keystroke,
                     {},
                     QStringLiteral("≤ 16 ms (one frame)")});

        // The log viewer: opening a 20 MiB log, and following an emulator that writes 10,000
        // lines a second (2,500 new lines at each look, four looks a second).
        {
            const QString log = LogDirectory() + QStringLiteral("/20261207-101530-000-Bench.log");
            const auto lines = [](int from, int count) {
                QByteArray text;
                for (int n = from; n < from + count; ++n)
                    text += "12-07 10:15:30.123  1234  1234 I Emulator: output line " +
                            QByteArray::number(n) + " of the stand-in, as long as a real one\n";
                return text;
            };
            QByteArray big;
            for (int n = 0; big.size() < (qsizetype(20) << 20); n += 10000)
                big += lines(n, 10000);
            WriteFile(log, big);
            Sample open;
            for (int i = 0; i < std::max(3, runs / 3); ++i) {
                LogViewer *viewer = nullptr;
                open.values.append(BusyMs(
                    [&] {
                        viewer = LogViewer::Open(window.get(), QStringLiteral("Bench"), log);
                        QCoreApplication::processEvents();
                    },
                    0));
                viewer->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            rows.append({QStringLiteral("log viewer opens a 20 MiB log"),
                         QStringLiteral("ms"),
                         open,
                         {},
                         QStringLiteral("< 300 ms")});
            // A 2 GB log (256 MiB in a quick run) opens at its end, with bounded memory.
            {
                const QString huge =
                    LogDirectory() + QStringLiteral("/20261207-101531-000-Bench.log");
                const qint64 hugeSize = quick ? qint64(64) << 20 : qint64(2000) << 20;
                {
                    QFile out(huge);
                    out.open(QIODevice::WriteOnly);
                    for (qint64 written = 0; written < hugeSize; written += big.size())
                        out.write(big);
                }
                Sample hugeOpen, hugeMemory;
                for (int i = 0; i < 3; ++i) {
                    LogViewer *viewer = nullptr;
                    const double before = ResidentMiB();
                    hugeOpen.values.append(BusyMs(
                        [&] {
                            viewer = LogViewer::Open(window.get(), QStringLiteral("Bench"), huge);
                            QCoreApplication::processEvents();
                        },
                        0));
                    // Freed memory may stay with the process: only the first opening tells.
                    if (i == 0)
                        hugeMemory.values.append(ResidentMiB() - before);
                    viewer->close();
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                }
                const QString size = quick ? QStringLiteral("64 MiB") : QStringLiteral("2 GB");
                rows.append({QStringLiteral("log viewer opens a %1 log").arg(size),
                             QStringLiteral("ms"),
                             hugeOpen,
                             {},
                             QStringLiteral("< 300 ms")});
                rows.append({QStringLiteral("memory the viewer of a %1 log adds").arg(size),
                             QStringLiteral("MiB"),
                             hugeMemory,
                             {},
                             QStringLiteral("≤ 64 MiB")});
                QFile::remove(huge);
            }
            LogViewer *viewer = LogViewer::Open(window.get(), QStringLiteral("Bench"), log);
            QCoreApplication::processEvents();
            Sample follow;
            QFile out(log);
            out.open(QIODevice::Append);
            for (int i = 0; i < runs; ++i) {
                out.write(lines(i * 2500, 2500));
                out.flush();
                follow.values.append(BusyMs([&] { viewer->FollowNow(); }, 0));
            }
            viewer->close();
            rows.append(
                {QStringLiteral("log viewer busy per look, following 10,000 lines a second"),
                 QStringLiteral("ms"),
                 follow,
                 {},
                 QStringLiteral("≤ 16 ms (one frame)")});
        }

        // The Running Emulators window over 1,000 records: how long a refresh keeps the window
        // busy (the records of a process that runs: this one).
        {
            const QByteArray records = RunningRecords(1000);
            const QString file = StateDirectory() + QStringLiteral("/launches.json");
            WriteFile(file, records);
            EmulatorLauncher launcher;
            launcher.Start();
            RunningPanel panel(window.get(), &launcher);
            panel.show();
            QCoreApplication::processEvents();
            Sample refresh;
            for (int i = 0; i < runs; ++i)
                refresh.values.append(BusyMs([&] { panel.Refresh(); }, 0));
            rows.append({QStringLiteral("Running Emulators window, refresh with 1,000 records"),
                         QStringLiteral("ms"),
                         refresh,
                         {},
                         QStringLiteral("≤ 16 ms (one frame)")});
            panel.close();
            QFile::remove(file);
        }

        // The stand-in emulator notes when it starts and exits at once.
        const QString started = root + QStringLiteral("/started.txt");
        qputenv("VELMORA_EMU_RECORD", QFile::encodeName(root + QStringLiteral("/record.jsonl")));
        qputenv("VELMORA_EMU_STARTED", QFile::encodeName(started));
        const QString emulator = bin + QStringLiteral("/VelmoraMobileEmu.exe");
        const QStringList arguments = {"-profile-name", "Default"};
        Sample launched, bareStart, clickBusy;
        int lines = 0;
        for (int i = 0; i < runs; ++i) {
            double start = NowMs();
            launch->click();
            clickBusy.values.append(NowMs() - start);
            launched.values.append(WaitForLine(started, lines++) - start);
            start = NowMs();
            QProcess::startDetached(emulator, arguments);
            bareStart.values.append(WaitForLine(started, lines++) - start);
        }
        rows.append({QStringLiteral("launch, click to the emulator's start"), QStringLiteral("ms"),
                     launched, bareStart,
                     QStringLiteral("within 5 ms of QProcess::startDetached")});
        rows.append({QStringLiteral("window busy after a launch click, %L1 profiles").arg(largest),
                     QStringLiteral("ms"),
                     clickBusy,
                     {},
                     QStringLiteral("≤ 16 ms (one frame)")});
        // A thousand launches at once (200 in a quick run), of programs that stay and of
        // programs that quit at once
        // (whose ends make one notice), and stopping those that stay.
        {
            EmulatorLauncher *service = window->Launcher();
            // A quick run starts 200: enough to see a stall, a fifth of the time.
            const int batch = quick ? 200 : 1000;
            int launches = 0;
            bool stopped = false;
            QObject::connect(service, &EmulatorLauncher::launched, [&launches] { ++launches; });
            QObject::connect(service, &EmulatorLauncher::stopped, [&stopped] { stopped = true; });
            const auto thousand = [batch](const QString &program, const QStringList &arguments) {
                QList<LaunchRequest> requests;
                for (int i = 0; i < batch; ++i)
                    requests.append({QStringLiteral("Batch %1").arg(i), {program, arguments}});
                return requests;
            };
            const QList<LaunchRequest> staying =
                thousand(QStringLiteral("/bin/sleep"), {QStringLiteral("600")});
            const BusySpan stay = BusyUntil([&] { service->Launch(staying); },
                                            [&] { return launches >= batch; }, 60000);
            const BusySpan stopAll =
                BusyUntil([&] { service->Stop(QString()); }, [&] { return stopped; }, 60000);
            launches = 0;
            const QList<LaunchRequest> quitting = thousand(QStringLiteral("/bin/true"), {});
            const BusySpan quit = BusyUntil(
                [&] { service->Launch(quitting); },
                [&] { return launches >= batch && service->Monitor()->Records().isEmpty(); },
                60000);
            // The ends' notice is made after the records are read.
            const double afterQuit = BusyMs([] {}, 1000);
            for (auto *notice : window->findChildren<QWidget *>(QStringLiteral("earlyEndNotice")))
                notice->close();
            const auto row = [&rows](const QString &what, const BusySpan &span) {
                rows.append({what + QStringLiteral(" (all in %1 ms)").arg(span.totalMs, 0, 'f', 0),
                             QStringLiteral("ms"),
                             Sample{{span.worstMs}},
                             {},
                             QStringLiteral("≤ 100 ms (frozen 2.4 s, then 250 ms stalls)")});
            };
            const QString many = quick ? QStringLiteral("200") : QStringLiteral("1,000");
            row(QStringLiteral("window's longest stall, launching %1 that stay").arg(many), stay);
            row(QStringLiteral("window's longest stall, stopping those %1").arg(many), stopAll);
            row(QStringLiteral("window's longest stall, launching %1 that quit at once").arg(many),
                {std::max(quit.worstMs, afterQuit), quit.totalMs});
        }

        // Select all, Delete, Yes: the window removing every profile but the first in one step,
        // and undoing that.
        {
            ProfileDocument *document = window->Document();
            QList<ProfileDocument::Expected> all;
            const LauncherConfig &config = document->Config();
            for (qsizetype row = 1; row < config.profiles.size(); ++row)
                all.append({config.profiles.at(row).name,
                            ProfileSettings::Of(config, config.profiles.at(row))});
            const double removed = BusyMs([&] { document->RemoveProfiles(all); }, 300);
            window->WaitForSaves();
            const double undone = BusyMs([&] { document->History()->undo(); }, 300);
            window->WaitForSaves();
            rows.append(
                {QStringLiteral("window busy removing %L1 profiles in one step").arg(all.size()),
                 QStringLiteral("ms"),
                 Sample{{removed}},
                 {},
                 QStringLiteral("linear (100,000 never ended)")});
            rows.append({QStringLiteral("window busy undoing that removal"),
                         QStringLiteral("ms"),
                         Sample{{undone}},
                         {},
                         QStringLiteral("linear")});
        }

        window.reset();
        qunsetenv("VELMORA_EMU_RECORD");
        qunsetenv("VELMORA_EMU_STARTED");
    }

    PrintTable(runs);
    return 0;
}
