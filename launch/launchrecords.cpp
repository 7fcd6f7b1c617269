#include "launchrecords.h"

#include "profileuse.h"

#include "emulators_p.h"
#include "filelocations.h"

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
#include <optional>
#include <vector>

// The records of the emulators the launcher started, in launches.json under an flock: read,
// written in one step, and what follows a profile's name there.

Q_LOGGING_CATEGORY(lcInstances, "velmora.launcher.instances", QtWarningMsg)

QString RecordsPath()
{
    return StateDirectory() + QStringLiteral("/launches.json");
}

namespace {

constexpr int KeptEnds = 50;

QJsonObject RecordJson(const LaunchRecord &record)
{
    // A long command is kept in part, with its whole length: the records stay small enough to
    // be read whole however long the commands are.
    QJsonArray command;
    qint64 whole = record.commandChars;
    qsizetype kept = 0;
    for (const QString &word : record.command) {
        if (record.commandChars == 0)
            whole += word.size();
        if (kept < MaxKeptCommandChars)
            command.append(word.left(MaxKeptCommandChars - kept));
        kept += word.size();
    }
    QJsonObject o{
        {QStringLiteral("profile"), record.profile},
        {QStringLiteral("pid"), double(record.pid)},
        {QStringLiteral("identity"), record.identity},
        {QStringLiteral("started"), record.started.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("log"), record.log},
        {QStringLiteral("stopping"), record.stopping},
        {QStringLiteral("command"), command},
    };
    if (record.commandChars > 0 || kept > MaxKeptCommandChars)
        o.insert(QStringLiteral("commandChars"), double(whole));
    if (!record.environment.isEmpty())
        o.insert(QStringLiteral("environment"), QJsonArray::fromStringList(record.environment));
    if (!record.hooks.IsEmpty())
        o.insert(QStringLiteral("hooks"),
                 QJsonObject{{QStringLiteral("beforeLaunch"), record.hooks.before},
                             {QStringLiteral("afterExit"), record.hooks.after},
                             {QStringLiteral("timeoutSeconds"), record.hooks.timeout}});
    return o;
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
    for (const QJsonValue &word : o.value(QStringLiteral("command")).toArray())
        record.command.append(word.toString());
    record.commandChars = qint64(o.value(QStringLiteral("commandChars")).toDouble());
    for (const QJsonValue &variable : o.value(QStringLiteral("environment")).toArray())
        record.environment.append(variable.toString());
    const QJsonObject hooks = o.value(QStringLiteral("hooks")).toObject();
    record.hooks = {
        hooks.value(QStringLiteral("beforeLaunch")).toString(),
        hooks.value(QStringLiteral("afterExit")).toString(),
        hooks.value(QStringLiteral("timeoutSeconds")).toInt(ProfileExtras::DefaultHookTimeout)};
    return record;
}

} // namespace

// Reads the records; a file that is not a plain file of this user, or not ours to read, is
// reported and treated as empty (the next write replaces it).
RecordsFile ReadRecords()
{
    RecordsFile file;
    const QString path = RecordsPath();
    bool exists = false;
    if (!IsOwnPlainFile(path, &exists)) {
        if (exists) {
            qCWarning(lcInstances).noquote()
                << QStringLiteral("%1 is not a file of yours; it is replaced").arg(path);
            QFile::remove(path);
        }
        return file;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return file;
    if (in.size() > MaxRecordsBytes) {
        // Not the launcher's: set aside for whoever made it, and begun anew.
        const QString aside = path + QStringLiteral(".too-large");
        QFile::remove(aside);
        in.close();
        QFile::rename(path, aside);
        qCWarning(lcInstances).noquote()
            << QStringLiteral("%1 is larger than %2 MiB; it is set aside as %3")
                   .arg(path)
                   .arg(MaxRecordsBytes >> 20)
                   .arg(aside);
        return file;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &error);
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
             o.value(QStringLiteral("how")).toString(), o.value(QStringLiteral("status")).toInt(-1),
             o.value(QStringLiteral("exited")).toBool(true),
             o.value(QStringLiteral("code")).toInt(-1)});
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
        if (end.status >= 0)
            o.insert(QStringLiteral("status"), end.status);
        if (end.code >= 0) {
            o.insert(QStringLiteral("exited"), end.exited);
            o.insert(QStringLiteral("code"), end.code);
        }
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

QList<EndedLaunch> RecordedEnds(QList<LaunchRecord> *listedRunning)
{
    const RecordsLock lock;
    RecordsFile file = ReadRecords();
    if (listedRunning)
        *listedRunning = std::move(file.records);
    return file.ended;
}

QList<LaunchRecord> RunningEmulators(QList<EndedLaunch> *ended)
{
    RecordsFile file = CurrentRecords();
    if (ended)
        *ended = std::move(file.ended);
    return file.records;
}

QString RecordLaunch(const LaunchRecord &launched)
{
    return RecordLaunches({launched});
}

QString RecordLaunches(const QList<LaunchRecord> &launched)
{
    if (launched.isEmpty())
        return QString();
    const RecordsLock lock;
    RecordsFile file = ReadRecords();
    DropEnded(file);
    for (const LaunchRecord &record : launched) {
        // An emulator that ended already has no identity to record; its log stays for the user.
        if (!record.identity.isEmpty())
            file.records.append(record);
        else
            file.ended.append({record, QDateTime::currentDateTime(), QString()});
        if (!record.log.isEmpty())
            file.newestLogs.insert(record.profile, record.log);
    }
    const QString problem = WriteRecords(file);
    NoteProfileUse(launched);
    PruneLogsKeeping(file.records);
    return problem;
}

QString DescribeEnd(bool exited, int status)
{
    if (exited)
        return QCoreApplication::translate("Emulators", "it exited with code %1").arg(status);
    return QCoreApplication::translate("Emulators", "it was ended by signal %1 (%2)")
        .arg(status)
        .arg(SignalName(status));
}

QString HowEnded(const EndedLaunch &end)
{
    return end.code >= 0 ? DescribeEnd(end.exited, end.code) : end.how;
}

int ShellStatus(bool exited, int status)
{
    return exited ? status : 128 + status;
}

void RecordHowEnded(qint64 pid, const QString &identity, bool exited, int status)
{
    RecordHowEnded(QList<NotedEnd>{{pid, identity, exited, status}});
}

void RecordHowEnded(const QList<NotedEnd> &ends)
{
    if (ends.isEmpty())
        return;
    const RecordsLock lock;
    RecordsFile file = ReadRecords();
    DropEnded(file);
    QHash<QPair<qint64, QString>, const NotedEnd *> noted;
    for (const NotedEnd &end : ends)
        noted.insert({end.pid, end.identity}, &end);
    bool changed = false;
    for (EndedLaunch &end : file.ended) {
        const NotedEnd *how = noted.value({end.record.pid, end.record.identity});
        if (!how)
            continue;
        end.how = DescribeEnd(how->exited, how->status);
        end.status = ShellStatus(how->exited, how->status);
        // The numbers too: each launcher says it in its user's language.
        end.exited = how->exited;
        end.code = how->status;
        changed = true;
    }
    if (changed)
        WriteRecords(file);
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
    RenameProfileUse(oldName, newName);
}

QString NewestLog(const QString &profile)
{
    QString log;
    {
        const RecordsLock lock;
        log = ReadRecords().newestLogs.value(profile).toString();
    }
    if (QFileInfo::exists(log))
        return log;
    // The newest was deleted (or the records were lost): the newest of those left.
    return LogsOf(profile).value(0);
}

QHash<QString, QString> NewestLogs(const QStringList &profiles)
{
    QJsonObject recorded;
    {
        const RecordsLock lock;
        recorded = ReadRecords().newestLogs;
    }
    QHash<QString, QString> newest;
    std::optional<QHash<QString, QStringList>> listed;
    for (const QString &profile : profiles) {
        const QString log = recorded.value(profile).toString();
        if (!log.isEmpty() && QFileInfo::exists(log)) {
            newest.insert(profile, log);
            continue;
        }
        if (!listed)
            listed = LogsByName();
        const QString left = listed->value(SafeFilePart(profile)).value(0);
        if (!left.isEmpty())
            newest.insert(profile, left);
    }
    return newest;
}

QHash<QString, QStringList> LogsByName()
{
    // Named "<start time>-<profile, made safe for a file name>[+<n>].log": the names give the
    // order. The part after the time is the whole name's, not the end of a longer one.
    static const QRegularExpression own(
        QStringLiteral("^\\d{8}-\\d{6}-\\d{3}-(.*?)(\\+\\d{1,4})?\\.log$"));
    struct Log
    {
        QString name;
        int n;
    };
    QHash<QString, QList<Log>> found;
    for (const QString &name : QDir(LogDirectory()).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = own.match(name);
        if (IsLogName(name) && match.hasMatch())
            found[match.captured(1)].append(
                {name, match.captured(2).isEmpty() ? 1 : match.captured(2).mid(1).toInt()});
    }
    QHash<QString, QStringList> logs;
    for (auto it = found.begin(); it != found.end(); ++it) {
        // Newest first: by the start time, then by the number a log of the same moment got.
        std::sort(it->begin(), it->end(), [](const Log &a, const Log &b) {
            const int time = QStringView(a.name).first(19).compare(QStringView(b.name).first(19));
            return time != 0 ? time > 0 : a.n > b.n;
        });
        QStringList &paths = logs[it.key()];
        for (const Log &log : std::as_const(*it))
            paths.append(LogDirectory() + QLatin1Char('/') + log.name);
    }
    return logs;
}

QStringList LogsOf(const QString &profile)
{
    return LogsByName().value(SafeFilePart(profile));
}
