#include "optionactions.h"
#include "optionactions_p.h"

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

// What every action says goes through these (optionactions_p.h).

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

namespace {

// The profiles' extras as their side file has them (none when it cannot be read).
ExtrasMap StoredExtras()
{
    return ReadExtras(ExtrasPath(GetFilePath(UserConfigFile))).extras;
}

// The profiles tagged `tag`, in the list's order.
QStringList Tagged(const LauncherConfig &config, const ExtrasMap &extras, const QString &tag)
{
    QStringList names;
    for (const LauncherProfile &profile : config.profiles) {
        if (HasTag(extras.value(profile.name), tag))
            names.append(profile.name);
    }
    return names;
}

int SayNoTag(QTextStream &err, const QString &tag)
{
    Say(err,
        Tr(QT_TRANSLATE_NOOP("LauncherOptions", "No profile has the tag \"%1\".")).arg(Shown(tag)));
    return 2;
}

int ListProfiles(const LauncherConfig &config, const LauncherOptions &options, QTextStream &out,
                 QTextStream &err)
{
    const ExtrasMap extras = StoredExtras();
    if (!options.tag.isEmpty() && Tagged(config, extras, options.tag).isEmpty())
        return SayNoTag(err, options.tag);
    if (options.json) {
        WriteProfilesJson(out, config, GetFilePath(EmulatorFile), extras, ReadProfileUse(),
                          options.tag);
        return 0;
    }
    for (const LauncherProfile &profile : config.profiles) {
        if (options.tag.isEmpty() || HasTag(extras.value(profile.name), options.tag))
            out << profile.name << '\n';
    }
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
    SplitCommand command = StoredCommand(config, config.profiles.at(found));
    AddExtras(command, StoredExtras().value(name));
    out << ShellCommand(command) << '\n';
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
        ExportProfilesToFile(config, rows, target, GetFilePath(UserConfigFile), StoredExtras());
    if (!saved.saved) {
        Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions", "cannot write %1: %2"))
                     .arg(Shown(target), saved.reason));
        return 1;
    }
    return 0;
}

int TakeCarriedExtras(const QString &userPath, const ExtrasMap &carried, const QStringList &names,
                      QTextStream &err);

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
        return TakeCarriedExtras(store.UserPath(), ExtrasFromComments(source.config.comments),
                                 report.added + report.replaced, err);
    }
    Say(err,
        Tr(QT_TRANSLATE_NOOP("LauncherOptions", "cannot write %1: %2"))
            .arg(Shown(store.UserPath()),
                 saved.changedOnDisk
                     ? Tr(QT_TRANSLATE_NOOP("LauncherOptions", "another program keeps changing it"))
                     : saved.reason));
    return 1;
}

// The tags and notes an imported file carries, into the side file. Environment and hooks are
// left out: nobody has seen those commands yet (the window shows them and asks).
int TakeCarriedExtras(const QString &userPath, const ExtrasMap &carried, const QStringList &names,
                      QTextStream &err)
{
    const QString path = ExtrasPath(userPath);
    for (int attempt = 0; attempt < 5; ++attempt) {
        const ExtrasFile side = ReadExtras(path);
        if (!side.readable) {
            Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                          "the tags and notes were not imported: %1 cannot be "
                                          "read (%2)"))
                         .arg(Shown(path), side.problem));
            return 1;
        }
        ExtrasMap extras = side.extras;
        QStringList leftOut;
        bool changed = false;
        for (const QString &name : names) {
            // A file that carries nothing for a profile (one another tool wrote) leaves what the
            // profile has here.
            if (!carried.contains(name))
                continue;
            if (CarriesCommands(carried.value(name)))
                leftOut.append(name);
            const ProfileExtras now = TakenOnImport(extras.value(name), carried.value(name), false);
            if (now == extras.value(name))
                continue;
            if (now.IsEmpty())
                extras.remove(name);
            else
                extras.insert(name, now);
            changed = true;
        }
        bool changedMeanwhile = false;
        const QString problem = !changed ? QString()
                                         : WriteExtras(
                                               path, extras,
                                               [&path, &side] {
                                                   const ExtrasFile now = ReadExtras(path);
                                                   return now.readable && now.extras == side.extras;
                                               },
                                               &changedMeanwhile);
        if (changedMeanwhile)
            continue;
        if (!problem.isEmpty()) {
            Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                          "the tags and notes were not imported: cannot write "
                                          "%1: %2"))
                         .arg(Shown(path), problem));
            return 1;
        }
        for (const QString &name : std::as_const(leftOut))
            Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                          "left out the environment and hooks of \"%1\": "
                                          "import the file in the window to see and take them"))
                         .arg(name));
        return 0;
    }
    Say(err, Tr(QT_TRANSLATE_NOOP("LauncherOptions",
                                  "the tags and notes were not imported: another program keeps "
                                  "changing %1"))
                 .arg(Shown(path)));
    return 1;
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
    case LauncherOptions::Arrange:
        return ArrangeWindows(options.arrangement, err);
    case LauncherOptions::Stop:
    case LauncherOptions::Log:
    case LauncherOptions::List:
    case LauncherOptions::Launch:
    case LauncherOptions::LaunchTag:
    case LauncherOptions::ListTags:
    case LauncherOptions::PrintCommand:
    case LauncherOptions::Export:
        break;
    }

    LauncherConfig config;
    if (!LoadForOptions(&config, err))
        return 1;
    switch (options.action) {
    case LauncherOptions::List:
        return ListProfiles(config, options, out, err);
    case LauncherOptions::ListTags: {
        const ExtrasMap extras = StoredExtras();
        ExtrasMap stored;
        for (const LauncherProfile &profile : config.profiles) {
            if (extras.contains(profile.name))
                stored.insert(profile.name, extras.value(profile.name));
        }
        for (const QString &tag : AllTags(stored))
            out << tag << '\n';
        return 0;
    }
    case LauncherOptions::LaunchTag: {
        LauncherOptions tagged = options;
        tagged.names = Tagged(config, StoredExtras(), options.tag);
        if (tagged.names.isEmpty())
            return SayNoTag(err, options.tag);
        return LaunchProfiles(config, tagged, err);
    }
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
