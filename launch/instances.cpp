#include "instances.h"

#include "emulatorlaunch.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

Q_LOGGING_CATEGORY(lcInstances, "velmora.launcher.instances", QtWarningMsg)

namespace {

constexpr int KeptLogs = 50;
constexpr qint64 KeptLogBytes = qint64(20) << 20;

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
        ::chmod(QFile::encodeName(StateDirectory()).constData(), 0700);
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
            {RecordFromJson(o), QDateTime::fromString(o.value(QStringLiteral("ended")).toString(),
                                                      Qt::ISODateWithMs)});
    }
    file.newestLogs = root.value(QStringLiteral("newestLogs")).toObject();
    return file;
}

void WriteRecords(const RecordsFile &file)
{
    QJsonArray running;
    for (const LaunchRecord &record : file.records)
        running.append(RecordJson(record));
    QJsonArray ended;
    for (const EndedLaunch &end :
         file.ended.mid(qMax<qsizetype>(0, file.ended.size() - KeptEnds))) {
        QJsonObject o = RecordJson(end.record);
        o.insert(QStringLiteral("ended"), end.ended.toUTC().toString(Qt::ISODateWithMs));
        ended.append(o);
    }
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{QStringLiteral("running"), running},
                                  {QStringLiteral("ended"), ended},
                                  {QStringLiteral("newestLogs"), file.newestLogs}})
            .toJson(QJsonDocument::Indented);
    QSaveFile out(RecordsPath());
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        qCWarning(lcInstances).noquote() << QStringLiteral("cannot write %1").arg(RecordsPath());
        return;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!out.commit())
        qCWarning(lcInstances).noquote()
            << QStringLiteral("cannot write %1: %2").arg(RecordsPath(), out.errorString());
}

// Drops the records whose process has ended or is another process now.
bool DropEnded(RecordsFile &file)
{
    const qsizetype before = file.records.size();
    const QDateTime now = QDateTime::currentDateTime();
    file.records.removeIf([&file, &now](const LaunchRecord &record) {
        if (IsRunning(record))
            return false;
        file.ended.append({record, now});
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

void PruneLogsKeeping(const QList<LaunchRecord> &running)
{
    QDir dir(LogDirectory());
    const QFileInfoList logs =
        dir.entryInfoList({QStringLiteral("*.log")}, QDir::Files | QDir::NoSymLinks, QDir::Time);
    int kept = 0;
    qint64 bytes = 0;
    for (const QFileInfo &log : logs) {
        const bool inUse =
            std::any_of(running.cbegin(), running.cend(),
                        [&log](const LaunchRecord &r) { return QFileInfo(r.log) == log; });
        if (inUse)
            continue;
        if (kept < KeptLogs && bytes + log.size() <= KeptLogBytes) {
            ++kept;
            bytes += log.size();
            continue;
        }
        QFile::remove(log.absoluteFilePath());
    }
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
    const LaunchResult result = StartEmulator(command, profile);
    if (result.started)
        RecordLaunch(result.record);
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
    QDir().mkpath(LogDirectory());
    const QString log = LogDirectory() + QLatin1Char('/') +
                        now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + QLatin1Char('-') +
                        SafeFilePart(profile) + QStringLiteral(".log");
    {
        QFile made(log);
        if (made.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            made.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        else
            result.logProblem = made.errorString();
    }

    QProcess process;
    PrepareEmulatorProcess(process, command);
    if (result.logProblem.isEmpty()) {
        process.setStandardOutputFile(log, QIODevice::Append);
        process.setStandardErrorFile(log, QIODevice::Append);
    } else {
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
#ifdef Q_OS_UNIX
    // A session of its own: stopping it reaches what it started, and the launcher's terminal
    // or session ending does not end it.
    process.setChildProcessModifier([] { ::setsid(); });
#endif
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        result.error = process.errorString();
        QFile::remove(log);
        return result;
    }
    result.started = true;
    result.record = {profile, pid, ProcessIdentity(pid), now,
                     result.logProblem.isEmpty() ? log : QString()};
    return result;
}

void RecordLaunch(const LaunchRecord &launched)
{
    // An emulator that ended already has no identity to record; its log stays for the user.
    const RecordsLock lock;
    RecordsFile file = ReadRecords();
    DropEnded(file);
    if (!launched.identity.isEmpty())
        file.records.append(launched);
    else
        file.ended.append({launched, QDateTime::currentDateTime()});
    if (!launched.log.isEmpty())
        file.newestLogs.insert(launched.profile, launched.log);
    WriteRecords(file);
    PruneLogsKeeping(file.records);
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
    for (const LaunchRecord &record : RunningEmulators()) {
        if (profile.isNull() || record.profile == profile)
            targets.append(record);
    }
#ifdef Q_OS_UNIX
    const auto signalGroup = [&result](const LaunchRecord &record, int signal) {
        // Checked right before: a process id used again is never signalled.
        if (!IsRunning(record))
            return true;
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

QString LogTail(const QString &path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const qint64 size = file.size();
    file.seek(qMax<qint64>(0, size - 64 * 1024));
    QList<QByteArray> all = file.readAll().split('\n');
    if (!all.isEmpty() && all.last().isEmpty())
        all.removeLast();
    return QString::fromUtf8(all.mid(qMax<qsizetype>(0, all.size() - lines)).join('\n'));
}
