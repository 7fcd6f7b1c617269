#include "optionactions.h"

#include "jsonoutput.h"
#include "platform.h"

#include "commandline.h"
#include "configstore.h"
#include "devicecatalogue.h"
#include "emulatorlauncher.h"
#include "emulatorstop.h"
#include "filelocations.h"
#include "launchrecords.h"
#include "logtext.h"
#include "profileexchange.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <QThread>

#include <algorithm>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("LauncherOptions", text);
}

// One line on stderr: the program's name, then what is to be said.
void Say(QTextStream &err, const QString &text)
{
    err << ProgramName() << ": " << text << '\n';
}

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The configuration the window would start with: the user's file, or the default file when
// that is missing, cannot be read or is out of date (what is wrong with it is said on `err`;
// nothing is moved or written). False when neither can be used.
bool LoadForOptions(LauncherConfig *config, QTextStream &err)
{
    ConfigStore store;
    // Not half of what another program is writing at this moment.
    ConfigStore::ReadResult user = store.ReadUserFileOnce();
    switch (user.status) {
    case ConfigStore::ReadResult::Loaded:
        *config = std::move(user.config);
        return true;
    case ConfigStore::ReadResult::Missing:
    case ConfigStore::ReadResult::Changing: // never, when read once
        break;
    case ConfigStore::ReadResult::Unreadable:
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                      "%1 cannot be read: %2; using the default configuration"))
                     .arg(Shown(store.UserPath()), user.reason));
        break;
    case ConfigStore::ReadResult::OutOfDate:
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "%1 is out of date (version %2); using "
                                                         "the default configuration"))
                     .arg(Shown(store.UserPath()))
                     .arg(user.version));
        break;
    }

    ConfigStore::ReadResult fallback = store.Read(store.DefaultPath(), false);
    switch (fallback.status) {
    case ConfigStore::ReadResult::Loaded:
    case ConfigStore::ReadResult::OutOfDate: // as the window does: its defaults only
        *config = std::move(fallback.config);
        return true;
    case ConfigStore::ReadResult::Missing:
    case ConfigStore::ReadResult::Changing:
        Say(err,
            Tr(QT_TRANSLATE_NOOP("LauncherOptions", "no configuration can be read: %1 is missing"))
                .arg(Shown(store.DefaultPath())));
        return false;
    case ConfigStore::ReadResult::Unreadable:
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                      "no configuration can be read: %1 cannot be read: %2"))
                     .arg(Shown(store.DefaultPath()), fallback.reason));
        return false;
    }
    return false;
}

// "\"A\", \"B\"": names as the messages list them.
QString QuotedNames(const QStringList &names)
{
    return QLatin1Char('"') + names.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

// "No profile named \"A\"" or "No profiles named \"A\", \"B\"".
QString NoProfilesNamed(const QStringList &unknown)
{
    return (unknown.size() == 1 ? Tr(QT_TRANSLATE_NOOP("LauncherOptions", "No profile named %1"))
                                : Tr(QT_TRANSLATE_NOOP("LauncherOptions", "No profiles named %1")))
        .arg(QuotedNames(unknown));
}

// The unknown names, and which profiles there are.
void SayUnknown(QTextStream &err, const QStringList &unknown, const LauncherConfig &config)
{
    Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "%1. The profiles are: %2."))
                 .arg(NoProfilesNamed(unknown), QuotedNames(config.ProfileNames())));
}

void SayNoProfile(QTextStream &err, const QString &name)
{
    Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "No profile named \"%1\".")).arg(name));
}

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

int ListProfiles(const LauncherConfig &config, bool json, QTextStream &out)
{
    if (json) {
        WriteProfilesJson(out, config, GetFilePath(EmulatorFile));
        return 0;
    }
    for (const LauncherProfile &profile : config.profiles)
        out << profile.name << '\n';
    return 0;
}

int ListDevices(QTextStream &out)
{
    for (const DeviceSpec &device : DeviceCatalogue())
        out << device.name << '\t' << device.width << 'x' << device.height << '\t' << device.density
            << '\n';
    return 0;
}

int PrintCommand(const LauncherConfig &config, const QString &name, QTextStream &out,
                 QTextStream &err)
{
    const int found = config.FindProfile(name);
    if (found < 0) {
        SayUnknown(err, {name}, config);
        return 2;
    }
    out << ShellCommand(StoredCommand(config, config.profiles.at(found))) << '\n';
    return 0;
}

int ExportFile(const LauncherConfig &config, const QString &file, const QStringList &names,
               QTextStream &err)
{
    QList<int> rows;
    for (const QString &name : names) {
        const int row = config.FindProfile(name);
        if (row < 0) {
            SayNoProfile(err, name);
            return 2;
        }
        rows.append(row);
    }
    if (names.isEmpty()) {
        for (int row = 0; row < config.profiles.size(); ++row)
            rows.append(row);
    }
    const QString target = QFileInfo(file).absoluteFilePath();
    const ConfigSaveResult saved =
        ExportProfilesToFile(config, rows, target, GetFilePath(UserConfigFile));
    if (!saved.saved) {
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "cannot write %1: %2"))
                     .arg(Shown(target), saved.reason));
        return 1;
    }
    return 0;
}

int ImportFile(const QString &file, QTextStream &err)
{
    const ConfigLoadResult source = LoadConfigFile(file);
    if (source.status != ConfigLoadResult::Loaded) {
        Say(err,
            Tr(QT_TRANSLATE_NOOP("LauncherOptions", "cannot import %1: %2"))
                .arg(Shown(file),
                     source.status == ConfigLoadResult::Missing
                         ? Tr(QT_TRANSLATE_NOOP("LauncherOptions", "it does not exist"))
                     : source.status == ConfigLoadResult::Unreadable
                         ? source.reason
                         : Tr(QT_TRANSLATE_NOOP("LauncherOptions", "it is no launcher "
                                                                   "configuration of a version "
                                                                   "read here"))));
        return 1;
    }
    ConfigStore store;
    // Read, merged and saved under the lock, so that a window's save cannot come in between;
    // a program that is not the launcher may still write the file, so the save checks at its
    // last moment that the file is still the one read, and the import goes into theirs if not.
    const ConfigStore::WriteLock lock(store.UserPath());
    ConfigSaveResult saved;
    for (int attempt = 0; attempt < 5; ++attempt) {
        ConfigStore::ReadResult user = store.ReadUserFileOnce();
        if (user.status == ConfigStore::ReadResult::Missing)
            user = store.Read(store.DefaultPath(), false);
        if (user.status != ConfigStore::ReadResult::Loaded) {
            Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                          "cannot import: %1 cannot be used (%2) and is left as "
                                          "it is"))
                         .arg(Shown(store.UserPath()),
                              user.reason.isEmpty()
                                  ? Tr(QT_TRANSLATE_NOOP("LauncherOptions", "out of date"))
                                  : user.reason));
            return 1;
        }
        LauncherConfig config = std::move(user.config);
        const ImportReport report = ImportProfiles(
            config, source.config, [](const QString &) { return ImportChoice::Replace; });
        // The store's own Save takes the lock held here already.
        saved = SaveConfigFile(store.UserPath(), config, true,
                               [&store] { return store.UserFileUnchanged(); });
        if (saved.changedOnDisk)
            continue;
        if (!saved.saved)
            break;
        for (const QString &name : report.replaced)
            Say(err,
                Tr(QT_TRANSLATE_NOOP("LauncherOptions", "replaced the profile \"%1\"")).arg(name));
        for (const QString &name : report.refused)
            Say(err,
                Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                     "refused the profile \"%1\": a name cannot be empty or hold "
                                     "a double quote, a line break or another control character"))
                    .arg(name));
        return 0;
    }
    Say(err,
        Tr(QT_TRANSLATE_NOOP("LauncherOptions", "cannot write %1: %2"))
            .arg(Shown(store.UserPath()),
                 saved.changedOnDisk
                     ? Tr(QT_TRANSLATE_NOOP("LauncherOptions", "another program keeps changing it"))
                     : saved.reason));
    return 1;
}

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
    for (const QString &name : options.names) {
        const LauncherProfile &profile = config.profiles.at(config.FindProfile(name));
        requests.append({profile.name, StoredCommand(config, profile)});
    }
    const QList<LaunchRecord> started = launcher.Launch(requests);
    if (code == 0 && options.wait)
        return WaitForLaunched(started, err);
    return code;
}

bool standardOutputClosed = false;

} // namespace

int RunLauncherOptions(const LauncherOptions &options, QTextStream &out, QTextStream &err)
{
    // What needs no configuration.
    switch (options.action) {
    case LauncherOptions::OpenWindow:
        return 0;
    case LauncherOptions::UsageError:
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "%1; see --help"))
                     .arg(UsageErrorText(options)));
        return 2;
    case LauncherOptions::Help:
        out << LauncherHelpText();
        return 0;
    case LauncherOptions::Version:
        out << ProgramName() << ' ' << QStringLiteral(VELMORA_VERSION) << '\n';
        return 0;
    case LauncherOptions::ListDevices:
        return ListDevices(out);
    case LauncherOptions::Import:
        return ImportFile(options.file, err);
    case LauncherOptions::Running:
        return ListRunning(options.json, out);
    case LauncherOptions::StopAll:
        return StopAndReport(QString(), err);
    case LauncherOptions::Stop:
    case LauncherOptions::Log:
    case LauncherOptions::List:
    case LauncherOptions::Launch:
    case LauncherOptions::PrintCommand:
    case LauncherOptions::Export:
        break;
    }

    LauncherConfig config;
    if (!LoadForOptions(&config, err))
        return 1;
    switch (options.action) {
    case LauncherOptions::List:
        return ListProfiles(config, options.json, out);
    case LauncherOptions::Export:
        return ExportFile(config, options.file, options.names, err);
    case LauncherOptions::Log:
        return ShowLog(config, options.profileName, out, err);
    case LauncherOptions::Stop:
        return StopProfiles(config, options.names, err);
    case LauncherOptions::Launch:
        return LaunchProfiles(config, options, err);
    case LauncherOptions::PrintCommand:
        return PrintCommand(config, options.profileName, out, err);
    default:
        return 0;
    }
}

void OpenClosedStandardStreams()
{
    standardOutputClosed = ReopenClosedStandardStreams();
}

int RunLauncherOptionsOnStandardStreams(const LauncherOptions &options, QString *said)
{
    // Standard output is written in one go at the end and checked, so that a full disk, a
    // closed descriptor or a reader that went away is an error, not a silent success.
    QByteArray output;
    QString errors;
    int code = 0;
    {
        QTextStream out(&output);
        QTextStream err(&errors);
        code = RunLauncherOptions(options, out, err);
    }
    if (!errors.isEmpty())
        QTextStream(stderr) << errors;
    if (said)
        *said = errors;
    QString error;
    if (!output.isEmpty() && !WriteStandardOutput(output, standardOutputClosed, &error)) {
        QTextStream err(stderr);
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "write error: %1")).arg(error));
        return 1;
    }
    return code;
}

bool WindowCanOpen(const QStringList &arguments)
{
    // Qt aborts when its platform cannot start, with advice to reinstall; without any display
    // the user learns the real reason instead. A platform named by the user is Qt's to judge.
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
           arguments.contains(QStringLiteral("-platform"));
}

int SayNoDisplay()
{
    QTextStream err(stderr);
    Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                  "the window cannot open: there is no display (neither DISPLAY "
                                  "nor WAYLAND_DISPLAY is set); see --help for what works "
                                  "without one")));
    return 1;
}
