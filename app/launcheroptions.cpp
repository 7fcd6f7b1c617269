#include "launcheroptions.h"

#include "platform.h"

#include "commandline.h"
#include "configformat.h"
#include "configstore.h"
#include "devicecatalogue.h"
#include "emulatorlaunch.h"
#include "filelocations.h"
#include "instances.h"
#include "profileexchange.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace {

const QString program = QStringLiteral("VelmoraMobileEmuLauncher");

// The configuration the window would start with: the user's file, or the default file when
// that is missing, cannot be read or is out of date (what is wrong with it is said on `err`;
// nothing is moved or written). False when neither can be used.
bool LoadForOptions(LauncherConfig *config, QTextStream &err)
{
    ConfigStore store;
    // Not half of what another program is writing at this moment.
    ConfigStore::ReadResult user = store.ReadUserFileOnce();
    const QString userPath = QDir::toNativeSeparators(store.UserPath());
    switch (user.status) {
    case ConfigStore::ReadResult::Loaded:
        *config = std::move(user.config);
        return true;
    case ConfigStore::ReadResult::Missing:
    case ConfigStore::ReadResult::Changing: // never, when read once quiet
        break;
    case ConfigStore::ReadResult::Unreadable:
        err << program << ": " << userPath << " cannot be read: " << user.reason
            << "; using the default configuration\n";
        break;
    case ConfigStore::ReadResult::OutOfDate:
        err << program << ": " << userPath << " is out of date (version " << user.version
            << "); using the default configuration\n";
        break;
    }

    ConfigStore::ReadResult fallback = store.Read(store.DefaultPath(), false);
    const QString defaultPath = QDir::toNativeSeparators(store.DefaultPath());
    switch (fallback.status) {
    case ConfigStore::ReadResult::Loaded:
    case ConfigStore::ReadResult::OutOfDate: // as the window does: its defaults only
        *config = std::move(fallback.config);
        return true;
    case ConfigStore::ReadResult::Missing:
    case ConfigStore::ReadResult::Changing:
        err << program << ": no configuration can be read: " << defaultPath << " is missing\n";
        return false;
    case ConfigStore::ReadResult::Unreadable:
        err << program << ": no configuration can be read: " << defaultPath
            << " cannot be read: " << fallback.reason << '\n';
        return false;
    }
    return false;
}

// A JSON string: quotes, backslashes and control characters escaped, the rest as it is.
void WriteJsonString(QTextStream &out, const QString &text)
{
    out << '"';
    qsizetype plain = 0; // the start of the run of characters that need no escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        out << QStringView(text).sliced(plain, i - plain);
        plain = i + 1;
        switch (c) {
        case u'"':
            out << "\\\"";
            break;
        case u'\\':
            out << "\\\\";
            break;
        case u'\n':
            out << "\\n";
            break;
        case u'\r':
            out << "\\r";
            break;
        case u'\t':
            out << "\\t";
            break;
        case u'\b':
            out << "\\b";
            break;
        case u'\f':
            out << "\\f";
            break;
        default:
            out << QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
        }
    }
    out << QStringView(text).sliced(plain) << '"';
}

void WriteJsonEntry(QTextStream &out, const LauncherConfig &config, int section, int position)
{
    if (!config.HasEntry(section, position)) {
        out << "null";
        return;
    }
    const ConfigEntry &entry = config.sections.at(section).entries.at(position);
    out << "{\n            \"name\": ";
    WriteJsonString(out, entry.name);
    out << ",\n            \"value\": ";
    WriteJsonString(out, entry.value);
    out << "\n        }";
}

// The profiles as a JSON array, written as it goes (a long file's model built as JSON objects
// first took several times its size): the layout and key order QJsonDocument's indented form
// has.
void WriteProfilesJson(QTextStream &out, const LauncherConfig &config)
{
    const QString emulator = GetFilePath(EmulatorFile);
    out << "[\n";
    for (qsizetype p = 0; p < config.profiles.size(); ++p) {
        const LauncherProfile &profile = config.profiles.at(p);
        const SplitCommand command =
            EmulatorCommand(emulator, config, profile.optionIndex, profile.name, profile.arguments);
        out << "    {\n        \"arguments\": ";
        WriteJsonString(out, profile.arguments);
        out << ",\n        \"command\": [\n            ";
        WriteJsonString(out, command.program);
        for (const QString &argument : command.arguments) {
            out << ",\n            ";
            WriteJsonString(out, argument);
        }
        out << "\n        ],\n        \"input\": ";
        WriteJsonEntry(out, config, SectionInput, profile.optionIndex.value(2, -1));
        out << ",\n        \"name\": ";
        WriteJsonString(out, profile.name);
        out << ",\n        \"pixelDensity\": ";
        WriteJsonEntry(out, config, SectionPixelDensity, profile.optionIndex.value(1, -1));
        out << ",\n        \"resolution\": ";
        WriteJsonEntry(out, config, SectionResolution, profile.optionIndex.value(0, -1));
        out << (p + 1 < config.profiles.size() ? "\n    },\n" : "\n    }\n");
    }
    out << "]\n";
}

int ExportFile(const LauncherConfig &config, const QString &file, const QStringList &names,
               QTextStream &err)
{
    QList<int> rows;
    for (const QString &name : names) {
        const int row = config.FindProfile(name);
        if (row < 0) {
            err << program << ": No profile named \"" << name << "\".\n";
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
        err << program << ": cannot write " << QDir::toNativeSeparators(target) << ": "
            << saved.reason << '\n';
        return 1;
    }
    return 0;
}

int ImportFile(const QString &file, QTextStream &err)
{
    const ConfigLoadResult source = LoadConfigFile(file);
    if (source.status != ConfigLoadResult::Loaded) {
        err << program << ": cannot import " << QDir::toNativeSeparators(file) << ": "
            << (source.status == ConfigLoadResult::Missing ? QStringLiteral("it does not exist")
                : source.status == ConfigLoadResult::Unreadable
                    ? source.reason
                    : QStringLiteral("it is no launcher configuration of a version read here"))
            << '\n';
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
            err << program << ": cannot import: " << QDir::toNativeSeparators(store.UserPath())
                << " cannot be used ("
                << (user.reason.isEmpty() ? QStringLiteral("out of date") : user.reason)
                << ") and is left as it is\n";
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
            err << program << ": replaced the profile \"" << name << "\"\n";
        for (const QString &name : report.refused)
            err << program << ": refused the profile \"" << name
                << "\": a name cannot be empty or hold a double quote, a line break or another "
                   "control character\n";
        return 0;
    }
    err << program << ": cannot write " << QDir::toNativeSeparators(store.UserPath()) << ": "
        << (saved.changedOnDisk ? QStringLiteral("another program keeps changing it")
                                : saved.reason)
        << '\n';
    return 1;
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

// "2026-12-07T10:15:30+01:00": local time to the second, with its offset.
QString LocalIsoTime(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QLatin1Char(offset < 0 ? '-' : '+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

int StopAndReport(const QString &profile, QTextStream &err)
{
    const StopResult result = StopEmulators(profile);
    for (const QString &failure : result.failures)
        err << program << ": cannot stop " << failure << '\n';
    return result.failures.isEmpty() ? 0 : 1;
}

// "\"A\", \"B\"": names as the messages list them.
QString QuotedNames(const QStringList &names)
{
    return QLatin1Char('"') + names.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

// "No profile named \"A\"" or "No profiles named \"A\", \"B\"".
QString NoProfilesNamed(const QStringList &unknown)
{
    return (unknown.size() == 1 ? QStringLiteral("No profile named ")
                                : QStringLiteral("No profiles named ")) +
           QuotedNames(unknown);
}

void WriteRunningJson(QTextStream &out, const QList<LaunchRecord> &records)
{
    out << "[";
    for (qsizetype r = 0; r < records.size(); ++r) {
        const LaunchRecord &record = records.at(r);
        out << (r ? ",\n" : "\n") << "    {\n        \"command\": [";
        for (qsizetype w = 0; w < record.command.size(); ++w) {
            out << (w ? ",\n            " : "\n            ");
            WriteJsonString(out, record.command.at(w));
        }
        out << (record.command.isEmpty() ? "],\n" : "\n        ],\n") << "        \"log\": ";
        WriteJsonString(out, record.log);
        out << ",\n        \"pid\": " << record.pid << ",\n        \"profile\": ";
        WriteJsonString(out, record.profile);
        out << ",\n        \"started\": ";
        WriteJsonString(out, LocalIsoTime(record.started));
        out << "\n    }";
    }
    out << (records.isEmpty() ? "]\n" : "\n]\n");
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
            err << program << ": the emulator for \"" << record.profile << "\" ended";
            if (end != ended.cend() && !HowEnded(*end).isEmpty())
                err << ": " << HowEnded(*end);
            err << '\n';
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
        err << program << ": " << NoProfilesNamed(unknown)
            << ". The profiles are: " << QuotedNames(config.ProfileNames()) << ".\n";
        return 2;
    }
    int code = 0;
    QList<LaunchRecord> started;
    for (const QString &name : options.names) {
        const LauncherProfile &profile = config.profiles.at(config.FindProfile(name));
        const SplitCommand command = StoredCommand(config, profile);
        const LaunchResult launched = LaunchEmulatorWatched(command, profile.name);
        if (!launched.started) {
            err << program << ": cannot start " << QDir::toNativeSeparators(command.program) << ": "
                << launched.error << '\n';
            code = 1;
            continue;
        }
        started.append(launched.record);
        if (!launched.logProblem.isEmpty())
            err << program << ": no log can be kept in " << QDir::toNativeSeparators(LogDirectory())
                << " (" << launched.logProblem << "); the emulator's output is discarded\n";
        if (!launched.recordProblem.isEmpty())
            err << program << ": the emulator runs, but its record cannot be written to "
                << QDir::toNativeSeparators(StateDirectory()) << " (" << launched.recordProblem
                << "); --running and --stop do not know it\n";
    }
    if (code == 0 && options.wait)
        return WaitForLaunched(started, err);
    return code;
}

// The long name of `options` that `typed` most likely meant: the same but for case, or at most
// two letters off; empty when none is that close.
QString ClosestOption(const QString &typed, const QList<QCommandLineOption> &options)
{
    const auto distance = [](QStringView a, QStringView b) {
        QList<int> row(b.size() + 1);
        for (qsizetype j = 0; j <= b.size(); ++j)
            row[j] = int(j);
        for (qsizetype i = 1; i <= a.size(); ++i) {
            int diagonal = row[0];
            row[0] = int(i);
            for (qsizetype j = 1; j <= b.size(); ++j) {
                const int above = row[j];
                row[j] = std::min(
                    {row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        return row[b.size()];
    };
    QString best;
    int bestDistance = 3;
    for (const QCommandLineOption &option : options) {
        for (const QString &name : option.names()) {
            if (name.size() < 3)
                continue;
            const int d =
                name.compare(typed, Qt::CaseInsensitive) == 0 ? 0 : distance(typed.toLower(), name);
            if (d < bestDistance) {
                bestDistance = d;
                best = name;
            }
        }
    }
    return best;
}

// Options that Qt's application object takes from the command line, with a value in the next
// argument. Qt reads each with one dash or two.
const char *const qtValueOptions[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "qwindowicon",
    "qwindowtitle",
    "session",
    "style",
    "stylesheet",
    "display",
    "geometry",
    "name",
    "title",
    "visual",
    "ncols",
    "cmap",
    "im",
    "inputstyle",
    "dialogs",
    "fontengine",
    "qmljsdebugger",
};
// Qt's options without a value.
const char *const qtFlagOptions[] = {
    "reverse", "widgetcount", "nograb", "dograb", "sync", "testability", "darkmode",
};

bool IsQtOption(QStringView argument, const char *const *names, std::size_t count)
{
    if (!argument.startsWith(u'-'))
        return false;
    argument = argument.sliced(argument.startsWith(u"--") ? 2 : 1);
    for (std::size_t i = 0; i < count; ++i) {
        if (argument == QLatin1String(names[i]))
            return true;
    }
    return false;
}

// The option of `options` that takes a value and is spelt `argument` ("-l", "--launch").
const QCommandLineOption *ValueOption(QStringView argument,
                                      const QList<QCommandLineOption> &options)
{
    if (!argument.startsWith(u'-'))
        return nullptr;
    argument = argument.sliced(argument.startsWith(u"--") ? 2 : 1);
    for (const QCommandLineOption &option : options) {
        if (!option.valueName().isEmpty() && option.names().contains(argument))
            return &option;
    }
    return nullptr;
}

// The arguments less those that belong to Qt's application object, so that "-platform xcb"
// is not read as "-l atform" and "-reverse" not as "-v". The value of one of our options is
// the next argument, kept whatever it looks like: a profile named "-l" or "-platform" is a
// name there. `missing` gets the option that ends the arguments without its value.
QStringList WithoutQtOptions(const QStringList &arguments, const QList<QCommandLineOption> &ours,
                             const QCommandLineOption **missing)
{
    QStringList rest;
    rest.reserve(arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (const QCommandLineOption *option = i > 0 ? ValueOption(argument, ours) : nullptr) {
            rest.append(argument);
            if (i + 1 == arguments.size())
                *missing = option;
            else
                rest.append(arguments.at(++i));
            continue;
        }
        if (i > 0 && IsQtOption(argument, qtValueOptions, std::size(qtValueOptions))) {
            ++i; // its value
            continue;
        }
        if (i > 0 && IsQtOption(argument, qtFlagOptions, std::size(qtFlagOptions)))
            continue;
        if (argument == QLatin1String("--")) {
            rest += arguments.mid(i);
            break;
        }
        rest.append(argument);
    }
    return rest;
}

} // namespace

LauncherOptions ParseLauncherOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Keeps named profiles for the Velmora Mobile Emulator and starts it.\n"
                       "Without options it opens its window, or brings the open one to the "
                       "front."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the launcher's version and exits."));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Lists the stored profile names, one per line."));
    const QCommandLineOption launch(
        {QStringLiteral("l"), QStringLiteral("launch")},
        QStringLiteral("Starts the emulator for the stored profile <name>, as Launch would; "
                       "more names may follow, one emulator each. Nothing starts when a name is "
                       "unknown."),
        QStringLiteral("name"));
    const QCommandLineOption wait(
        QStringLiteral("wait"),
        QStringLiteral("With --launch: waits up to 5 seconds for each emulator. Exits 0 when all "
                       "still run, else with the exit code of the first that ended (128 plus "
                       "its signal; 1 for a code of 0), its first 5 and last 15 lines of output "
                       "on stderr."));
    const QCommandLineOption print(
        QStringLiteral("print-command"),
        QStringLiteral("Prints the command that --launch <name> would start, quoted for a "
                       "POSIX shell."),
        QStringLiteral("name"));
    const QCommandLineOption devices(
        QStringLiteral("list-devices"),
        QStringLiteral("Lists the phones and tablets the launcher knows: name, TAB, portrait "
                       "WIDTHxHEIGHT in pixels, TAB, density."));
    const QCommandLineOption json(
        QStringLiteral("json"),
        QStringLiteral("With --list: prints the profiles as a JSON array, each with its name, "
                       "arguments, options and the command it starts. With --running: the "
                       "emulators, each with its pid, profile, start time, log and command."));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Writes the profiles named after the options (all when none is named), "
                       "with the option entries they use, to <file> in Launcher.ini's format."),
        QStringLiteral("file"));
    const QCommandLineOption importOption(
        QStringLiteral("import"),
        QStringLiteral("Adds the profiles of <file> to the stored ones; a profile of the same "
                       "name is replaced."),
        QStringLiteral("file"));
    const QCommandLineOption running(
        QStringLiteral("running"),
        QStringLiteral("Lists the running emulators the launcher started: process id, TAB, "
                       "profile, TAB, start time, TAB, log file."));
    const QCommandLineOption stop(
        QStringLiteral("stop"),
        QStringLiteral("Stops every running emulator started for the profile <name>; more names "
                       "may follow."),
        QStringLiteral("name"));
    const QCommandLineOption log(
        QStringLiteral("log"),
        QStringLiteral("Prints the path of the newest log of the profile <name> (exit code 1 "
                       "when it has none)."),
        QStringLiteral("name"));
    const QCommandLineOption stopAll(QStringLiteral("stop-all"),
                                     QStringLiteral("Stops every running emulator the launcher "
                                                    "started."));
    const QList<QCommandLineOption> all = {help,    version, list,    json,         launch,
                                           wait,    print,   devices, exportOption, importOption,
                                           running, stop,    stopAll, log};
    parser.addOptions(all);
    parser.addPositionalArgument(
        QStringLiteral("names"),
        QStringLiteral("With --export: the profiles to write; with --launch and --stop: more "
                       "profiles."),
        QStringLiteral("[name...]"));
    // Short options are whole words: "-lTwo" is no launch, and "-style" no "-s -t -y -l e".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption *missing = nullptr;
    const QStringList ours = WithoutQtOptions(arguments, all, &missing);
    // Unknown arguments leave the window as it always was.
    parser.parse(ours);

    LauncherOptions options;
    // An option that needs a name and comes last has none; the parser would count it as given
    // with an empty name.
    if (missing) {
        options.action = LauncherOptions::UsageError;
        options.usageError = QStringLiteral("option %1 needs a %2")
                                 .arg(ours.last(), missing->valueName() == QLatin1String("file")
                                                       ? QStringLiteral("file name")
                                                       : QStringLiteral("profile name"));
        return options;
    }
    // Parsed before any application object exists, when Qt cannot name the program itself.
    options.helpText = parser.helpText().replace(QStringLiteral("<executable_name>"), program);
    if (parser.isSet(help)) {
        options.action = LauncherOptions::Help;
    } else if (parser.isSet(version)) {
        options.action = LauncherOptions::Version;
    } else if (parser.isSet(list)) {
        options.action = LauncherOptions::List;
    } else if (parser.isSet(devices)) {
        options.action = LauncherOptions::ListDevices;
    } else if (parser.isSet(launch)) {
        options.action = LauncherOptions::Launch;
        options.names = parser.values(launch) + parser.positionalArguments();
    } else if (parser.isSet(print)) {
        options.action = LauncherOptions::PrintCommand;
        options.profileName = parser.value(print);
    } else if (parser.isSet(exportOption)) {
        options.action = LauncherOptions::Export;
        options.file = parser.value(exportOption);
        options.names = parser.positionalArguments();
    } else if (parser.isSet(importOption)) {
        options.action = LauncherOptions::Import;
        options.file = parser.value(importOption);
    } else if (parser.isSet(running)) {
        options.action = LauncherOptions::Running;
    } else if (parser.isSet(stop)) {
        options.action = LauncherOptions::Stop;
        options.names = parser.values(stop) + parser.positionalArguments();
    } else if (parser.isSet(stopAll)) {
        options.action = LauncherOptions::StopAll;
    } else if (parser.isSet(log)) {
        options.action = LauncherOptions::Log;
        options.profileName = parser.value(log);
    }
    options.json = parser.isSet(json);
    options.wait = parser.isSet(wait);
    const auto usage = [&options](const QString &problem) {
        options.action = LauncherOptions::UsageError;
        options.usageError = problem;
        return options;
    };
    // A mistyped option is a mistake of the caller, never a silent start of the window.
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString unknown = parser.unknownOptionNames().first();
        const QString written =
            (unknown.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + unknown;
        const QString meant = ClosestOption(unknown, all);
        return usage(
            meant.isEmpty()
                ? QStringLiteral("unknown option %1").arg(written)
                : QStringLiteral("unknown option %1 (did you mean --%2?)").arg(written, meant));
    }
    if (options.action == LauncherOptions::OpenWindow && !options.json && !options.wait)
        return options; // other arguments open the window, as they always did
    int actions = 0;
    for (const QCommandLineOption &action :
         {help, version, list, launch, print, devices, exportOption, importOption, running, stop,
          stopAll, log})
        actions += parser.isSet(action) ? 1 : 0;
    if (actions > 1)
        return usage(QStringLiteral("give one action at a time"));
    if (options.json && options.action != LauncherOptions::List &&
        options.action != LauncherOptions::Running)
        return usage(QStringLiteral("--json goes with --list or --running"));
    if (options.wait && options.action != LauncherOptions::Launch)
        return usage(QStringLiteral("--wait goes with --launch"));
    if (options.action != LauncherOptions::Export && options.action != LauncherOptions::Launch &&
        options.action != LauncherOptions::Stop && !parser.positionalArguments().isEmpty())
        return usage(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    return options;
}

int RunLauncherOptions(const LauncherOptions &options, QTextStream &out, QTextStream &err)
{
    switch (options.action) {
    case LauncherOptions::OpenWindow:
        return 0;
    case LauncherOptions::UsageError:
        err << program << ": " << options.usageError << "; see --help\n";
        return 2;
    case LauncherOptions::Help:
        out << options.helpText;
        return 0;
    case LauncherOptions::Version:
        out << program << ' ' << QStringLiteral(VELMORA_VERSION) << '\n';
        return 0;
    case LauncherOptions::ListDevices:
        for (const DeviceSpec &device : DeviceCatalogue())
            out << device.name << '\t' << device.width << 'x' << device.height << '\t'
                << device.density << '\n';
        return 0;
    case LauncherOptions::Import:
        return ImportFile(options.file, err);
    case LauncherOptions::Running:
        if (options.json) {
            WriteRunningJson(out, RunningEmulators());
            return 0;
        }
        for (const LaunchRecord &record : RunningEmulators())
            out << record.pid << '\t' << Field(record.profile) << '\t'
                << LocalIsoTime(record.started) << '\t' << Field(record.log) << '\n';
        return 0;
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
    if (options.action == LauncherOptions::List) {
        if (options.json) {
            WriteProfilesJson(out, config);
            return 0;
        }
        for (const LauncherProfile &profile : std::as_const(config.profiles))
            out << profile.name << '\n';
        return 0;
    }
    if (options.action == LauncherOptions::Export)
        return ExportFile(config, options.file, options.names, err);
    if (options.action == LauncherOptions::Log) {
        const QString log = NewestLog(options.profileName);
        if (!log.isEmpty()) {
            out << log << '\n';
            return 0;
        }
        if (config.FindProfile(options.profileName) < 0) {
            err << program << ": No profile named \"" << options.profileName << "\".\n";
            return 2;
        }
        err << program << ": No emulator of \"" << options.profileName
            << "\" has left a log yet.\n";
        return 1;
    }
    if (options.action == LauncherOptions::Stop) {
        const QList<LaunchRecord> records = RunningEmulators();
        QStringList unknown;
        for (const QString &name : options.names) {
            const bool recorded =
                std::any_of(records.cbegin(), records.cend(),
                            [&name](const LaunchRecord &r) { return r.profile == name; });
            if (!recorded && config.FindProfile(name) < 0 && !unknown.contains(name))
                unknown.append(name);
        }
        if (!unknown.isEmpty()) {
            err << program << ": " << NoProfilesNamed(unknown) << ", and no emulator runs for "
                << (unknown.size() == 1 ? "one" : "them") << ".\n";
            return 2;
        }
        int code = 0;
        for (const QString &name : options.names)
            code = qMax(code, StopAndReport(name, err));
        return code;
    }
    if (options.action == LauncherOptions::Launch)
        return LaunchProfiles(config, options, err);

    const int found = config.FindProfile(options.profileName);
    if (found < 0) {
        err << program << ": " << NoProfilesNamed({options.profileName})
            << ". The profiles are: " << QuotedNames(config.ProfileNames()) << ".\n";
        return 2;
    }
    out << ShellCommand(StoredCommand(config, config.profiles.at(found))) << '\n';
    return 0;
}

namespace {
bool standardOutputClosed = false;
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
        QTextStream(stderr) << program << ": write error: " << error << '\n';
        return 1;
    }
    return code;
}
