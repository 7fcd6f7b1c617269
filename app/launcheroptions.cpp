#include "launcheroptions.h"

#include "commandline.h"
#include "configfile.h"
#include "configformat.h"
#include "emulatorlaunch.h"
#include "filelocations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

const QString program = QStringLiteral("VelmoraMobileEmuLauncher");

// The configuration the window would start with: the user's file, or the default file when
// that is missing, cannot be read or is out of date (what is wrong with it is said on `err`;
// nothing is moved or written). False when neither can be used.
bool LoadForOptions(LauncherConfig *config, QTextStream &err)
{
    const QString userPath = GetFilePath(UserConfigFile);
    ConfigLoadResult user = LoadConfigFile(userPath);
    switch (user.status) {
    case ConfigLoadResult::Loaded:
        *config = std::move(user.config);
        return true;
    case ConfigLoadResult::Missing:
        break;
    case ConfigLoadResult::Unreadable:
        err << program << ": " << QDir::toNativeSeparators(userPath)
            << " cannot be read: " << user.reason << "; using the default configuration\n";
        break;
    case ConfigLoadResult::OutOfDate:
        err << program << ": " << QDir::toNativeSeparators(userPath) << " is out of date (version "
            << user.version << "); using the default configuration\n";
        break;
    }

    const QString defaultPath = GetFilePath(DefaultConfigFile);
    ConfigLoadResult fallback = LoadConfigFile(defaultPath);
    switch (fallback.status) {
    case ConfigLoadResult::Loaded:
        *config = std::move(fallback.config);
        return true;
    case ConfigLoadResult::OutOfDate:
        // As the window does: the default file's contents are not used.
        *config = DefaultsOnlyConfig();
        return true;
    case ConfigLoadResult::Missing:
        err << program
            << ": no configuration can be read: " << QDir::toNativeSeparators(defaultPath)
            << " is missing\n";
        return false;
    case ConfigLoadResult::Unreadable:
        err << program
            << ": no configuration can be read: " << QDir::toNativeSeparators(defaultPath)
            << " cannot be read: " << fallback.reason << '\n';
        return false;
    }
    return false;
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
        QStringLiteral("Starts the emulator for the stored profile <name>, as Launch would."),
        QStringLiteral("name"));
    const QCommandLineOption print(
        QStringLiteral("print-command"),
        QStringLiteral("Prints the command that --launch <name> would start, quoted for a "
                       "POSIX shell."),
        QStringLiteral("name"));
    parser.addOptions({help, version, list, launch, print});
    // Unknown arguments (Qt's own among them) leave the window as it always was.
    parser.parse(arguments);

    LauncherOptions options;
    // Parsed before any application object exists, when Qt cannot name the program itself.
    options.helpText = parser.helpText().replace(QStringLiteral("<executable_name>"), program);
    if (parser.isSet(help)) {
        options.action = LauncherOptions::Help;
    } else if (parser.isSet(version)) {
        options.action = LauncherOptions::Version;
    } else if (parser.isSet(list)) {
        options.action = LauncherOptions::List;
    } else if (parser.isSet(launch)) {
        options.action = LauncherOptions::Launch;
        options.profileName = parser.value(launch);
    } else if (parser.isSet(print)) {
        options.action = LauncherOptions::PrintCommand;
        options.profileName = parser.value(print);
    }
    return options;
}

int RunLauncherOptions(const LauncherOptions &options, QTextStream &out, QTextStream &err)
{
    switch (options.action) {
    case LauncherOptions::OpenWindow:
        return 0;
    case LauncherOptions::Help:
        out << options.helpText;
        return 0;
    case LauncherOptions::Version:
        out << program << ' ' << QStringLiteral(VELMORA_VERSION) << '\n';
        return 0;
    case LauncherOptions::List:
    case LauncherOptions::Launch:
    case LauncherOptions::PrintCommand:
        break;
    }

    LauncherConfig config;
    if (!LoadForOptions(&config, err))
        return 1;
    if (options.action == LauncherOptions::List) {
        for (const LauncherProfile &profile : std::as_const(config.profiles))
            out << profile.name << '\n';
        return 0;
    }

    const int found = config.FindProfile(options.profileName);
    if (found < 0) {
        err << program << ": No profile named \"" << options.profileName
            << "\". The profiles are: \"" << config.ProfileNames().join(QStringLiteral("\", \""))
            << "\".\n";
        return 2;
    }
    const LauncherProfile &profile = config.profiles.at(found);
    const SplitCommand command = EmulatorCommand(
        GetFilePath(EmulatorFile), config, profile.optionIndex, profile.name, profile.arguments);
    if (options.action == LauncherOptions::PrintCommand) {
        out << ShellCommand(command) << '\n';
        return 0;
    }
    QString error;
    if (!StartDetached(command, &error)) {
        err << program << ": cannot start " << QDir::toNativeSeparators(command.program) << ": "
            << error << '\n';
        return 1;
    }
    return 0;
}
