#include "instances.h"

#include "emulatorlaunch.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <vector>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

Q_LOGGING_CATEGORY(lcInstances, "velmora.launcher.instances", QtWarningMsg)

namespace {

constexpr int KeptLogs = 50;
constexpr qint64 KeptLogBytes = qint64(20) << 20;
constexpr int RemovedLogsPerPrune = 100;

QString RecordsPath()
{
    return StateDirectory() + QStringLiteral("/launches.json");
}

// Holds the records' lock while it lives: launches from several processes lose no record.
class RecordsLock
{
public:
    RecordsLock()
    {
#ifdef Q_OS_UNIX
        QDir().mkpath(StateDirectory());
        // Only when it is not so already: a change of mode wakes every launcher watching the
        // folder, which would lock and look again.
        const QByteArray folder = QFile::encodeName(StateDirectory());
        struct stat st;
        if (::stat(folder.constData(), &st) == 0 && (st.st_mode & 07777) != 0700)
            ::chmod(folder.constData(), 0700);
        const QByteArray path =
            QFile::encodeName(StateDirectory() + QStringLiteral("/launches.lock"));
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0) {
            while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
#endif
    }
    ~RecordsLock()
    {
#ifdef Q_OS_UNIX
        if (fd >= 0)
            ::close(fd);
#endif
    }
    RecordsLock(const RecordsLock &) = delete;
    RecordsLock &operator=(const RecordsLock &) = delete;

private:
    int fd = -1;
};

struct RecordsFile
{
    QList<LaunchRecord> records;
    QJsonObject newestLogs; // profile name -> its newest log
    // Emulators seen to have ended, with when: a window reports those that quit right after
    // their start, whoever started them.
    QList<EndedLaunch> ended;
};

constexpr int KeptEnds = 20;

QJsonObject RecordJson(const LaunchRecord &record)
{
    return QJsonObject{
        {QStringLiteral("profile"), record.profile},
        {QStringLiteral("pid"), double(record.pid)},
        {QStringLiteral("identity"), record.identity},
        {QStringLiteral("started"), record.started.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("log"), record.log},
        {QStringLiteral("stopping"), record.stopping},
    };
}

LaunchRecord RecordFromJson(const QJsonObject &o)
{
    LaunchRecord record;
    record.profile = o.value(QStringLiteral("profile")).toString();
    record.pid = qint64(o.value(QStringLiteral("pid")).toDouble());
    record.identity = o.value(QStringLiteral("identity")).toString();
    record.started =
        QDateTime::fromString(o.value(QStringLiteral("started")).toString(), Qt::ISODateWithMs);
    record.log = o.value(QStringLiteral("log")).toString();
    record.stopping = o.value(QStringLiteral("stopping")).toBool();
    return record;
}

// Reads the records; a file that is not a plain file of this user, or not ours to read, is
// reported and treated as empty (the next write replaces it).
RecordsFile ReadRecords()
{
    RecordsFile file;
    const QString path = RecordsPath();
#ifdef Q_OS_UNIX
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return file;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        qCWarning(lcInstances).noquote()
            << QStringLiteral("%1 is not a file of yours; it is replaced").arg(path);
        ::unlink(QFile::encodeName(path).constData());
        return file;
    }
#endif
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return file;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(in.read(qint64(4) << 20), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qCWarning(lcInstances).noquote() << QStringLiteral("%1 cannot be read (%2); it is replaced")
                                                .arg(path, error.errorString());
        return file;
    }
    const QJsonObject root = document.object();
    for (const QJsonValue &value : root.value(QStringLiteral("running")).toArray()) {
        const LaunchRecord record = RecordFromJson(value.toObject());
        if (record.pid > 1 && !record.identity.isEmpty())
            file.records.append(record);
    }
    for (const QJsonValue &value : root.value(QStringLiteral("ended")).toArray()) {
        const QJsonObject o = value.toObject();
        file.ended.append(
            {RecordFromJson(o),
             QDateTime::fromString(o.value(QStringLiteral("ended")).toString(), Qt::ISODateWithMs),
             o.value(QStringLiteral("how")).toString()});
    }
    file.newestLogs = root.value(QStringLiteral("newestLogs")).toObject();
    return file;
}

// Replaces the records file in one step; on failure the old one stays whole and the reason is
// returned (and logged).
QString WriteRecords(const RecordsFile &file)
{
    QJsonArray running;
    for (const LaunchRecord &record : file.records)
        running.append(RecordJson(record));
    QJsonArray ended;
    for (const EndedLaunch &end :
         file.ended.mid(qMax<qsizetype>(0, file.ended.size() - KeptEnds))) {
        QJsonObject o = RecordJson(end.record);
        o.insert(QStringLiteral("ended"), end.ended.toUTC().toString(Qt::ISODateWithMs));
        if (!end.how.isEmpty())
            o.insert(QStringLiteral("how"), end.how);
        ended.append(o);
    }
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{QStringLiteral("running"), running},
                                  {QStringLiteral("ended"), ended},
                                  {QStringLiteral("newestLogs"), file.newestLogs}})
            .toJson(QJsonDocument::Indented);
    QSaveFile out(RecordsPath());
    out.setDirectWriteFallback(false);
    // Unbuffered: a buffered write that fails only when the file is closed goes unnoticed by
    // QSaveFile, which would then put an empty file in place of the records.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        out.write(bytes) != bytes.size()) {
        const QString reason = out.errorString();
        out.cancelWriting();
        qCWarning(lcInstances).noquote()
            << QStringLiteral("cannot write %1: %2").arg(RecordsPath(), reason);
        return reason;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!out.commit()) {
        qCWarning(lcInstances).noquote()
            << QStringLiteral("cannot write %1: %2").arg(RecordsPath(), out.errorString());
        return out.errorString();
    }
    return QString();
}

// Drops the records whose process has ended or is another process now.
bool DropEnded(RecordsFile &file)
{
    const qsizetype before = file.records.size();
    const QDateTime now = QDateTime::currentDateTime();
    file.records.removeIf([&file, &now](const LaunchRecord &record) {
        if (IsRunning(record))
            return false;
        file.ended.append({record, now, QString()});
        return true;
    });
    return file.records.size() != before;
}

QString SafeFilePart(const QString &name)
{
    QString part;
    for (const QChar c : name.left(40)) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u'.';
        part += plain ? c : QChar(u'_');
    }
    return part;
}

// The names StartEmulator gives its logs: "20261207-101530-123-Profile_name.log".
bool IsLogName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\d{8}-\\d{6}-\\d{3}-[A-Za-z0-9._-]{0,40}\\.log$"));
    return pattern.match(name).hasMatch();
}

void PruneLogsKeeping(const QList<LaunchRecord> &running)
{
    // Only a folder of the user's own, and only the files the launcher made there: what else
    // lies in it is the user's.
    if (!LogDirectoryProblem().isEmpty())
        return;
    QSet<QString> inUse;
    for (const LaunchRecord &record : running)
        inUse.insert(QFileInfo(record.log).fileName());
#ifdef Q_OS_UNIX
    // One listing of the folder and nothing more: a log's name starts with its start time, so
    // the names give the order, and only the logs kept are looked at for their size. Links and
    // anything but plain files are never followed or removed; removing goes through the folder
    // that was listed.
    DIR *dir = ::opendir(QFile::encodeName(LogDirectory()).constData());
    if (!dir)
        return;
    struct Entry
    {
        QByteArray name;
        bool plainFile; // as the listing says; else it has to be asked
    };
    std::vector<Entry> entries;
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if ((entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) && IsLogName(name) &&
            !inUse.contains(name))
            entries.push_back({QByteArray(entry->d_name), entry->d_type == DT_REG});
    }
    // Newest first.
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.name > b.name; });
    const int folder = ::dirfd(dir);
    const auto plainFile = [folder](const Entry &entry, qint64 *size) {
        struct stat st;
        if (::fstatat(folder, entry.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            return false;
        *size = qint64(st.st_size);
        return true;
    };
    int kept = 0;
    qint64 bytes = 0;
    size_t next = 0;
    std::vector<const Entry *> excess;
    for (; next < entries.size() && kept < KeptLogs; ++next) {
        qint64 size = 0;
        if (!plainFile(entries[next], &size))
            continue;
        if (bytes + size <= KeptLogBytes) {
            ++kept;
            bytes += size;
        } else {
            excess.push_back(&entries[next]);
        }
    }
    // The rest go, but a folder that holds thousands of old logs is emptied over several
    // launches, the oldest first: each launch stays quick.
    for (size_t i = entries.size(); i > next && excess.size() < size_t(RemovedLogsPerPrune); --i)
        excess.push_back(&entries[i - 1]);
    for (const Entry *entry : excess) {
        qint64 size = 0;
        if (entry->plainFile || plainFile(*entry, &size))
            ::unlinkat(folder, entry->name.constData(), 0);
    }
    ::closedir(dir);
#endif
}

// Starts the emulator in a session of its own (so that stopping it reaches what it started, and
// the launcher's terminal or session ending does not end it), its output going to `log` (or
// nowhere), and without the desktop's activation token. posix_spawn shares the launcher's
// memory until the exec instead of copying its page tables twice as QProcess::startDetached
// does: with a long Launcher.ini in memory that took a frame and more, and every page the window
// wrote afterwards took a fault.
bool SpawnEmulator(const SplitCommand &command, const QString &log, qint64 *pid, QString *error)
{
#if defined(Q_OS_LINUX)
    const QByteArray program = QFile::encodeName(command.program);
    QList<QByteArray> words{program};
    for (const QString &argument : command.arguments)
        words.append(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (char **variable = environ; *variable; ++variable) {
        const QByteArrayView name = QByteArrayView(*variable).first(
            qMax<qsizetype>(0, QByteArrayView(*variable).indexOf('=')));
        if (std::none_of(std::begin(ActivationVariables), std::end(ActivationVariables),
                         [&name](const char *activation) { return name == activation; }))
            envp.push_back(*variable);
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray output = log.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(log);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(),
                                     O_WRONLY | O_APPEND, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    // Nothing else the launcher holds goes along: an inherited pipe would keep whoever reads
    // its other end waiting for as long as the emulator runs.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // What the launcher ignores (SIGPIPE, SIGXFSZ) or blocks is the emulator's default again.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP)
            sigaddset(&defaults, signal);
    }
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t child = 0;
    const int failure =
        ::posix_spawn(&child, program.constData(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        *error = QString::fromLocal8Bit(std::strerror(failure));
        return false;
    }
    *pid = child;
    return true;
#else
    QProcess process;
    PrepareEmulatorProcess(process, command);
    process.setStandardOutputFile(log.isEmpty() ? QProcess::nullDevice() : log, QIODevice::Append);
    process.setStandardErrorFile(log.isEmpty() ? QProcess::nullDevice() : log, QIODevice::Append);
#ifdef Q_OS_UNIX
    process.setChildProcessModifier([] { ::setsid(); });
#endif
    if (process.startDetached(pid))
        return true;
    *error = process.errorString();
    return false;
#endif
}
} // namespace

QString StateDirectory()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // Qt has no state location yet; a relative value would differ with the working directory.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Velmora/VelmoraMobileEmulator");
}

QString LogDirectory()
{
    return StateDirectory() + QStringLiteral("/logs");
}

QString LogDirectoryProblem()
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(LogDirectory());
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) {
        if (errno != ENOENT)
            return QString::fromLocal8Bit(std::strerror(errno));
        QDir().mkpath(LogDirectory());
        if (::lstat(path.constData(), &st) != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
    // A link may lead into someone else's folder, where pruning would delete their files.
    if (S_ISLNK(st.st_mode))
        return QCoreApplication::translate("Emulators", "it is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return QCoreApplication::translate("Emulators", "it is not a folder");
    if (st.st_uid != ::geteuid())
        return QCoreApplication::translate("Emulators", "it belongs to another user");
    return QString();
#else
    QDir().mkpath(LogDirectory());
    return QString();
#endif
}

QString ProcessIdentity(qint64 pid)
{
#ifdef Q_OS_LINUX
    if (pid <= 1)
        return QString();
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray line = stat.readAll();
    // The name in parentheses may hold blanks and parentheses: the fields follow the last ')'.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return QString();
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // Field 3 is the state (a zombie has ended), field 22 the start time.
    if (fields.size() < 20 || fields.at(0) == "Z" || fields.at(0) == "X")
        return QString();
    return QString::fromLatin1(fields.at(19));
#else
    Q_UNUSED(pid);
    return QString();
#endif
}

bool IsRunning(const LaunchRecord &record)
{
    return !record.identity.isEmpty() && ProcessIdentity(record.pid) == record.identity;
}

namespace {
// The records as they stand now: read under the lock, with what ended moved to `ended`.
RecordsFile CurrentRecords()
{
    const RecordsLock lock;
    RecordsFile file = ReadRecords();
    if (DropEnded(file))
        WriteRecords(file);
    return file;
}
} // namespace

QList<LaunchRecord> RunningEmulators(QList<EndedLaunch> *ended)
{
    RecordsFile file = CurrentRecords();
    if (ended)
        *ended = std::move(file.ended);
    return file.records;
}

LaunchResult LaunchEmulator(const SplitCommand &command, const QString &profile)
{
    LaunchResult result = StartEmulator(command, profile);
    if (result.started)
        result.recordProblem = RecordLaunch(result.record);
    return result;
}

LaunchResult StartEmulator(const SplitCommand &command, const QString &profile)
{
    LaunchResult result;
    if (command.program.isEmpty()) {
        result.error = QCoreApplication::translate("Command", "there is no program to start");
        return result;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString log = LogDirectory() + QLatin1Char('/') +
                        now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + QLatin1Char('-') +
                        SafeFilePart(profile) + QStringLiteral(".log");
    result.logProblem = LogDirectoryProblem();
    if (result.logProblem.isEmpty()) {
        QFile made(log);
        if (made.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            made.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        else
            result.logProblem = made.errorString();
    }

    qint64 pid = 0;
    if (!SpawnEmulator(command, result.logProblem.isEmpty() ? log : QString(), &pid,
                       &result.error)) {
        if (result.logProblem.isEmpty())
            QFile::remove(log);
        return result;
    }
    result.started = true;
    result.record = {profile, pid, ProcessIdentity(pid), now,
                     result.logProblem.isEmpty() ? log : QString()};
    return result;
}

QString RecordLaunch(const LaunchRecord &launched)
{
    // An emulator that ended already has no identity to record; its log stays for the user.
    const RecordsLock lock;
    RecordsFile file = ReadRecords();
    DropEnded(file);
    if (!launched.identity.isEmpty())
        file.records.append(launched);
    else
        file.ended.append({launched, QDateTime::currentDateTime(), QString()});
    if (!launched.log.isEmpty())
        file.newestLogs.insert(launched.profile, launched.log);
    const QString problem = WriteRecords(file);
    PruneLogsKeeping(file.records);
    return problem;
}

QString DescribeEnd(bool exited, int status)
{
    if (exited)
        return QCoreApplication::translate("Emulators", "it exited with code %1").arg(status);
    return QCoreApplication::translate("Emulators", "it was ended by signal %1 (%2)")
        .arg(status)
        .arg(QString::fromLocal8Bit(::strsignal(status)));
}

void RecordHowEnded(qint64 pid, const QString &identity, const QString &how)
{
    const RecordsLock lock;
    RecordsFile file = ReadRecords();
    DropEnded(file);
    for (EndedLaunch &end : file.ended) {
        if (end.record.pid == pid && end.record.identity == identity) {
            end.how = how;
            WriteRecords(file);
            return;
        }
    }
}

LaunchResult LaunchEmulatorWatched(const SplitCommand &command, const QString &profile)
{
#ifdef Q_OS_LINUX
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return LaunchEmulator(command, profile);
    const pid_t waiter = ::fork();
    if (waiter < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return LaunchEmulator(command, profile);
    }
    if (waiter == 0) {
        // The caller's terminal and pipes are not held while the emulator runs: a script
        // reading this command's output gets its end at once.
        ::setsid();
        ::signal(SIGHUP, SIG_IGN);
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
            ::dup2(null, fd);
        const LaunchResult launched = LaunchEmulator(command, profile);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << launched.started << launched.error << launched.logProblem
                << launched.recordProblem << launched.record.profile << launched.record.pid
                << launched.record.identity << launched.record.started << launched.record.log;
        }
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n =
                ::write(report[1], bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0 && errno != EINTR)
                break;
            done += n > 0 ? n : 0;
        }
        ::close(report[1]);
        if (launched.started) {
            siginfo_t info{};
            while (::waitid(P_PID, id_t(launched.record.pid), &info, WEXITED) != 0 &&
                   errno == EINTR) {
            }
            if (info.si_pid != 0)
                RecordHowEnded(launched.record.pid, launched.record.identity,
                               DescribeEnd(info.si_code == CLD_EXITED, info.si_status));
        }
        ::_exit(0);
    }
    ::close(report[1]);
    QByteArray bytes;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(report[0], chunk, sizeof chunk);
        if (n > 0)
            bytes.append(chunk, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(report[0]);
    LaunchResult result;
    QDataStream in(bytes);
    in >> result.started >> result.error >> result.logProblem >> result.recordProblem >>
        result.record.profile >> result.record.pid >> result.record.identity >>
        result.record.started >> result.record.log;
    if (in.status() != QDataStream::Ok) {
        result = {};
        result.error = QCoreApplication::translate("Emulators", "the launcher's helper ended");
    }
    return result;
#else
    return LaunchEmulator(command, profile);
#endif
}

void RenameLaunchRecords(const QString &oldName, const QString &newName)
{
    const RecordsLock lock;
    RecordsFile file = ReadRecords();
    bool changed = DropEnded(file);
    for (LaunchRecord &record : file.records) {
        if (record.profile == oldName) {
            record.profile = newName;
            changed = true;
        }
    }
    if (file.newestLogs.contains(oldName)) {
        file.newestLogs.insert(newName, file.newestLogs.take(oldName));
        changed = true;
    }
    if (changed)
        WriteRecords(file);
}

void PruneLogs()
{
    PruneLogsKeeping(RunningEmulators());
}

QString NewestLog(const QString &profile)
{
    const RecordsLock lock;
    const QString log = ReadRecords().newestLogs.value(profile).toString();
    return QFileInfo::exists(log) ? log : QString();
}

StopResult StopEmulators(const QString &profile, int graceMs)
{
    StopResult result;
    QList<LaunchRecord> targets;
    {
        // Marked in the records before any is signalled: whichever launcher sees one end
        // knows that it was stopped, not that it failed.
        const RecordsLock lock;
        RecordsFile file = ReadRecords();
        bool changed = DropEnded(file);
        for (LaunchRecord &record : file.records) {
            if (!profile.isNull() && record.profile != profile)
                continue;
            changed = changed || !record.stopping;
            record.stopping = true;
            targets.append(record);
        }
        if (changed)
            WriteRecords(file);
    }
#ifdef Q_OS_UNIX
    uid_t owner = ::geteuid();
    struct stat recordsFile;
    if (::stat(QFile::encodeName(RecordsPath()).constData(), &recordsFile) == 0)
        owner = recordsFile.st_uid;
    const auto signalGroup = [&result, owner](const LaunchRecord &record, int signal) {
        // Checked right before: a process id used again is never signalled.
        if (!IsRunning(record))
            return true;
        // Nor is a process of another user, whatever the records say (root could signal it).
        struct stat process;
        if (::stat(QByteArray("/proc/" + QByteArray::number(record.pid)).constData(), &process) ==
                0 &&
            process.st_uid != owner) {
            result.failures.append(
                QStringLiteral("%1 (%2): it belongs to another user and is not signalled")
                    .arg(record.pid)
                    .arg(record.profile));
            return false;
        }
        // Its own session and process group hold what it started; never the launcher's own.
        const pid_t group = ::getpgid(pid_t(record.pid));
        if (group > 1 && group != ::getpgrp() && ::kill(-group, signal) == 0)
            return true;
        if (::kill(pid_t(record.pid), signal) == 0 || errno == ESRCH)
            return true;
        result.failures.append(QStringLiteral("%1 (%2): %3")
                                   .arg(record.pid)
                                   .arg(record.profile, QString::fromLocal8Bit(strerror(errno))));
        return false;
    };
    QList<LaunchRecord> asked;
    for (const LaunchRecord &record : targets) {
        if (signalGroup(record, SIGTERM))
            asked.append(record);
    }
    const auto anyRunning = [&asked] {
        return std::any_of(asked.cbegin(), asked.cend(), IsRunning);
    };
    for (int waited = 0; waited < graceMs && anyRunning(); waited += 50)
        QThread::msleep(50);
    for (const LaunchRecord &record : std::as_const(asked)) {
        if (IsRunning(record))
            signalGroup(record, SIGKILL);
    }
    for (int waited = 0; waited < 2000 && anyRunning(); waited += 50)
        QThread::msleep(50);
    for (const LaunchRecord &record : std::as_const(asked)) {
        if (IsRunning(record))
            result.failures.append(
                QStringLiteral("%1 (%2): still running").arg(record.pid).arg(record.profile));
        else
            ++result.stopped;
    }
#else
    for (const LaunchRecord &record : targets)
        result.failures.append(
            QStringLiteral("%1 (%2): cannot be stopped here").arg(record.pid).arg(record.profile));
#endif
    RunningEmulators(); // drops what ended
    return result;
}

QString LogExcerpt(const QString &path, int head, int tail)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // The first lines come from the start, the last from the end, and the lines between are
    // only counted: a log may be long, and its reason is often in its first lines.
    constexpr qint64 Piece = 64 * 1024;
    const qint64 size = file.size();
    const QByteArray start = file.read(Piece);
    if (start.isEmpty())
        return QString();
    QList<QByteArray> first = start.split('\n');
    QList<QByteArray> last;
    qint64 lineEnds = start.count('\n');
    if (size <= Piece) {
        last = first;
    } else {
        for (qint64 at = Piece; at < size - Piece;) {
            const QByteArray chunk = file.read(qMin<qint64>(1 << 20, size - Piece - at));
            if (chunk.isEmpty())
                break;
            lineEnds += chunk.count('\n');
            at += chunk.size();
        }
        file.seek(qMax<qint64>(Piece, size - Piece));
        const QByteArray end = file.readAll();
        lineEnds += end.count('\n');
        last = end.split('\n');
    }
    // A final line end closes the last line; it starts none.
    const bool closed = last.last().isEmpty();
    if (closed)
        last.removeLast();
    const qint64 lines = closed ? lineEnds : lineEnds + 1;
    if (lines <= head + tail)
        return QString::fromUtf8(last.join('\n'));
    QList<QByteArray> shown = first.first(qMin<qsizetype>(head, first.size()));
    shown.append(QCoreApplication::translate("Emulators", "[lines left out: %n]", nullptr,
                                             int(lines - head - tail))
                     .toUtf8());
    shown += last.mid(qMax<qsizetype>(0, last.size() - tail));
    return QString::fromUtf8(shown.join('\n'));
}
