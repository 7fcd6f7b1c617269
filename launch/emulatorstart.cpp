#include "emulatorstart.h"

#include "emulators_p.h"
#include "filelocations.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

// Starting an emulator: its log made new, the process spawned in a session of its own, the
// logs of those that ended pruned.

// The names StartEmulator gives its logs: "20261207-101530-123-Profile_name.log", with "+2",
// "+3"... before ".log" for another started in the same millisecond under the same name.
bool IsLogName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\d{8}-\\d{6}-\\d{3}-[A-Za-z0-9._-]{0,40}(\\+\\d{1,4})?\\.log$"));
    return pattern.match(name).hasMatch();
}

QString CreateLog(const QString &stem, QString *problem)
{
    // Made new, never opened as it is: two launches of one name in the same millisecond (or of
    // two names that read the same in a file name) each get a log of their own.
    for (int n = 1; n <= 9999; ++n) {
        const QString log =
            n == 1 ? stem + QStringLiteral(".log") : stem + QStringLiteral("+%1.log").arg(n);
        QFile made(log);
        if (made.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            made.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            problem->clear();
            return log;
        }
        *problem = made.errorString();
        if (!QFileInfo::exists(log))
            return QString();
    }
    return QString();
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
    const QString stem = LogDirectory() + QLatin1Char('/') +
                         now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + QLatin1Char('-') +
                         SafeFilePart(profile);
    result.logProblem = LogDirectoryProblem();
    const QString log =
        result.logProblem.isEmpty() ? CreateLog(stem, &result.logProblem) : QString();

    qint64 pid = 0;
    const QString kept = result.logProblem.isEmpty() ? log : QString();
    if (!SpawnEmulator(HookedCommand(command, profile, kept), kept, &pid, &result.error)) {
        if (result.logProblem.isEmpty())
            QFile::remove(log);
        return result;
    }
    result.started = true;
    result.record = {profile,
                     pid,
                     ProcessIdentity(pid),
                     now,
                     result.logProblem.isEmpty() ? log : QString(),
                     false,
                     QStringList{command.program} + command.arguments};
    result.record.environment = command.environment;
    result.record.hooks = command.hooks;
    return result;
}

void PruneLogs()
{
    PruneLogsKeeping(RunningEmulators());
}
