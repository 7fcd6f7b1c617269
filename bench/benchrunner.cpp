// Measures the launcher side by side with what it is compared with, alternating the two in the
// same run, and prints one table of medians and ratios. See scripts/bench.
//   bench_runner [--quick] [--runs N]

#include "configfile.h"
#include "configformat.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

struct ProcessResult
{
    double ms = 0;
    double peakMiB = 0;
    int code = -1;
};

struct Row
{
    QString what;
    QString unit;
    double a = 0;
    double b = 0;
    double peakA = 0;
    double peakB = 0;
    QString note;
};

QList<Row> rows;

double Median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
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
    if (fields.size() == 3) {
        result.ms = fields.at(0).toDouble();
        result.peakMiB = fields.at(1).toDouble() / 1024.0;
        result.code = fields.at(2).toInt();
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

// A home of its own for one row: HOME, XDG directories and a runtime directory.
QProcessEnvironment HomeEnvironment(const QString &home)
{
    QDir().mkpath(home + QStringLiteral("/data"));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
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

void CompareProcesses(const QString &what, const QString &programA, const QString &programB,
                      const QProcessEnvironment &envA, const QProcessEnvironment &envB, int runs,
                      const QString &note = {})
{
    QList<double> a, b, peakA, peakB;
    for (int i = 0; i < runs; ++i) {
        const ProcessResult ra = Run(programA, {}, envA);
        const ProcessResult rb = Run(programB, {}, envB);
        if (ra.code != 0 || rb.code != 0)
            qWarning("%s: exit codes %d and %d", qPrintable(what), ra.code, rb.code);
        a.append(ra.ms);
        b.append(rb.ms);
        peakA.append(ra.peakMiB);
        peakB.append(rb.peakMiB);
    }
    rows.append(
        {what, QStringLiteral("ms"), Median(a), Median(b), Median(peakA), Median(peakB), note});
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

void PrintTable()
{
    std::printf("\n| measurement | launcher | compared with | ratio | peak MiB (launcher / "
                "compared) | note |\n");
    std::printf("|---|---:|---:|---:|---:|---|\n");
    for (const Row &row : std::as_const(rows)) {
        const QString peaks =
            row.peakA > 0
                ? QStringLiteral("%1 / %2").arg(row.peakA, 0, 'f', 1).arg(row.peakB, 0, 'f', 1)
                : QStringLiteral("-");
        const QString compared = row.b > 0
                                     ? QStringLiteral("%1 %2").arg(row.b, 0, 'f', 1).arg(row.unit)
                                     : QStringLiteral("-");
        const QString ratio =
            row.b > 0 ? QString::number(row.a / row.b, 'f', 2) : QStringLiteral("-");
        std::printf("| %s | %.1f %s | %s | %s | %s | %s |\n", qPrintable(row.what), row.a,
                    qPrintable(row.unit), qPrintable(compared), qPrintable(ratio),
                    qPrintable(peaks), qPrintable(row.note));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    bool quick = false;
    int runs = 7;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (qstrcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, atoi(argv[++i]));
    }
    if (quick)
        runs = std::min(runs, 2);

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
    const QProcessEnvironment bareEnv = HomeEnvironment(root + QStringLiteral("/bare"));

    // Whole processes: start, window shown, event loop idle, closed, configuration written.
    {
        const QString home = root + QStringLiteral("/default");
        CompareProcesses(QStringLiteral("start-up, shipped default configuration"), launcher, bare,
                         HomeEnvironment(home), bareEnv, runs, QStringLiteral("vs bare window"));
    }
    QList<int> sizes = {1000, 10000, 100000};
    if (quick)
        sizes = {1000};
    QMap<int, double> startupBySize;
    for (int size : sizes) {
        const QString home = root + QStringLiteral("/p%1").arg(size);
        const QProcessEnvironment env = HomeEnvironment(home);
        WriteFile(UserConfig(home), MakeConfigText(size).toUtf8());
        CompareProcesses(QStringLiteral("start-up, %L1 profiles").arg(size), launcher, bare, env,
                         bareEnv, runs, QStringLiteral("vs bare window"));
        startupBySize[size] = rows.last().a;
    }

    // A second start handing over to a running launcher, start to exit.
    {
        const QString home = root + QStringLiteral("/second");
        const QProcessEnvironment env = HomeEnvironment(home);
        QProcess primary;
        primary.setProcessEnvironment(env);
        primary.start(bin + QStringLiteral("/VelmoraMobileEmuLauncher"), {});
        if (WaitForListening(home + QStringLiteral("/runtime"))) {
            CompareProcesses(QStringLiteral("second start hands over"),
                             bin + QStringLiteral("/VelmoraMobileEmuLauncher"), bare, env, bareEnv,
                             runs, QStringLiteral("vs bare window start-up"));
        }
        primary.kill();
        primary.waitForFinished();
    }

    // Reading and writing the format: plain function calls.
    {
        const int size = quick ? 10000 : 100000;
        const QByteArray bytes = MakeConfigText(size).toUtf8();
        QList<double> read, write;
        const QString path = root + QStringLiteral("/rw/Launcher.ini");
        const QString savedPath = root + QStringLiteral("/rw/Saved.ini");
        WriteFile(path, bytes);
        for (int i = 0; i < std::max(3, runs); ++i) {
            QElapsedTimer t;
            t.start();
            const ConfigLoadResult loaded = LoadConfigFile(path);
            read.append(t.nsecsElapsed() / 1e6);
            if (loaded.status != ConfigLoadResult::Loaded)
                qWarning("read failed");

            t.restart();
            if (!SaveConfigFile(savedPath, loaded.config).saved)
                qWarning("write failed");
            write.append(t.nsecsElapsed() / 1e6);
        }
        const double mib = double(bytes.size()) / (1024 * 1024);
        rows.append({QStringLiteral("read %L1 profiles (%2 MiB)").arg(size).arg(mib, 0, 'f', 1),
                     QStringLiteral("ms"), Median(read), 0, 0, 0,
                     QStringLiteral("%1 MiB/s").arg(mib / (Median(read) / 1000), 0, 'f', 0)});
        rows.append({QStringLiteral("write %L1 profiles (%2 MiB)").arg(size).arg(mib, 0, 'f', 1),
                     QStringLiteral("ms"), Median(write), 0, 0, 0,
                     QStringLiteral("%1 MiB/s").arg(mib / (Median(write) / 1000), 0, 'f', 0)});
    }

    // A launch: the click until the emulator's process runs (startDetached returns once the
    // program was executed), versus starting the same stand-in directly.
    {
        qputenv("VELMORA_EMU_RECORD", "/dev/null");
        auto window = std::make_unique<MainWindow>();
        auto *launch = window->findChild<QPushButton *>(QStringLiteral("launchButton"));
        const QString emulator = bin + QStringLiteral("/VelmoraMobileEmu.exe");
        const QStringList arguments = {"-profile-name", "Default"};
        QList<double> a, b;
        for (int i = 0; i < std::max(5, runs * 3); ++i) {
            QElapsedTimer t;
            t.start();
            launch->click();
            a.append(t.nsecsElapsed() / 1e6);
            t.restart();
            QProcess::startDetached(emulator, arguments);
            b.append(t.nsecsElapsed() / 1e6);
        }
        rows.append({QStringLiteral("launch, click to emulator running"), QStringLiteral("ms"),
                     Median(a), Median(b), 0, 0, QStringLiteral("vs QProcess::startDetached")});
        window.reset();
        qunsetenv("VELMORA_EMU_RECORD");
    }

    PrintTable();
    if (startupBySize.contains(10000) && startupBySize.contains(100000))
        std::printf("\nStart-up growth from 10,000 to 100,000 profiles: %.1f-fold\n",
                    startupBySize[100000] / startupBySize[10000]);
    return 0;
}
