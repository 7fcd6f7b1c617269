#include "launcheroptions.h"

#include "desktopbus.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace {

// The options, in the order --help lists them. A description is translated when the help is
// printed; parsing needs none.
struct OptionEntry
{
    LauncherOptions::Action action; // OpenWindow for one that is no action
    QStringList names;
    const char *valueName; // null for an option without a value
    const char *description;
};

const QList<OptionEntry> &OptionTable()
{
    using A = LauncherOptions;
    static const QList<OptionEntry> entries = {
        {A::Help,
         {"h", "help"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions", "Shows this help and exits.")},
        {A::Version,
         {"v", "version"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions", "Shows the launcher's version and exits.")},
        {A::List,
         {"list"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions", "Lists the stored profile names, one per line.")},
        {A::OpenWindow,
         {"json"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "With --list: prints the profiles as a JSON array, each with its name, "
                           "arguments, options and the command it starts. With --running: the "
                           "emulators, each with its pid, profile, start time, log and command.")},
        {A::Launch,
         {"l", "launch"},
         QT_TRANSLATE_NOOP("LauncherOptions", "name"),
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "Starts the emulator for the stored profile <name>, as Launch would; "
                           "more names may follow, one emulator each. Nothing starts when a name "
                           "is unknown.")},
        {A::LaunchTag,
         {"launch-tag"},
         QT_TRANSLATE_NOOP("LauncherOptions", "tag"),
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "Starts the emulator of every profile tagged <tag>, in the list's "
                           "order (exit code 2 when no profile has it).")},
        {A::ListTags,
         {"list-tags"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "Lists the tags the stored profiles have, one per line.")},
        {A::OpenWindow,
         {"tag"},
         QT_TRANSLATE_NOOP("LauncherOptions", "tag"),
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "With --list: only the profiles tagged <tag> (exit code 2 when no "
                           "profile has it).")},
        {A::OpenWindow,
         {"wait"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "With --launch: waits up to 5 seconds for each emulator. Exits 0 when "
                           "all still run, else with the exit code of the first that ended (128 "
                           "plus its signal; 1 for a code of 0), its first 5 and last 15 lines of "
                           "output on stderr.")},
        {A::OpenWindow,
         {"dbus-service"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "Starts as the desktop's D-Bus activation does: the window shows once "
                           "the desktop asks for it (activation, a search result, an action), "
                           "and the launcher ends after a minute when nothing did.")},
        {A::PrintCommand,
         {"print-command"},
         QT_TRANSLATE_NOOP("LauncherOptions", "name"),
         QT_TRANSLATE_NOOP("LauncherOptions", "Prints the command that --launch <name> would "
                                              "start, quoted for a POSIX shell.")},
        {A::ListDevices,
         {"list-devices"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "Lists the phones and tablets the launcher knows: name, TAB, portrait "
                           "WIDTHxHEIGHT in pixels, TAB, density.")},
        {A::Export,
         {"export"},
         QT_TRANSLATE_NOOP("LauncherOptions", "file"),
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "Writes the profiles named after the options (all when none is named), "
                           "with the option entries they use, to <file> in Launcher.ini's "
                           "format.")},
        {A::Import,
         {"import"},
         QT_TRANSLATE_NOOP("LauncherOptions", "file"),
         QT_TRANSLATE_NOOP("LauncherOptions", "Adds the profiles of <file> to the stored ones; a "
                                              "profile of the same name is replaced.")},
        {A::Running,
         {"running"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "Lists the running emulators the launcher started: process id, TAB, "
                           "profile, TAB, start time, TAB, log file.")},
        {A::Stop,
         {"stop"},
         QT_TRANSLATE_NOOP("LauncherOptions", "name"),
         QT_TRANSLATE_NOOP("LauncherOptions", "Stops every running emulator started for the "
                                              "profile <name>; more names may follow.")},
        {A::StopAll,
         {"stop-all"},
         nullptr,
         QT_TRANSLATE_NOOP("LauncherOptions", "Stops every running emulator the launcher "
                                              "started.")},
        {A::Arrange,
         {"arrange"},
         QT_TRANSLATE_NOOP("LauncherOptions", "layout"),
         QT_TRANSLATE_NOOP("LauncherOptions",
                           "Places the windows of the running emulators the launcher started: "
                           "tile (a grid) or cascade, on the screen's free area, each keeping its "
                           "size where it fits (X11; exit code 1 on Wayland or when no window is "
                           "found).")},
        {A::Log,
         {"log"},
         QT_TRANSLATE_NOOP("LauncherOptions", "name"),
         QT_TRANSLATE_NOOP("LauncherOptions", "Prints the path of the newest log of the profile "
                                              "<name> (exit code 1 when it has none).")},
    };
    return entries;
}

QString Tr(const char *text)
{
    return QCoreApplication::translate("LauncherOptions", text);
}

// The parser's options, described in the launcher's language when `translated`.
QList<QCommandLineOption> Options(bool translated)
{
    QList<QCommandLineOption> options;
    for (const OptionEntry &entry : OptionTable()) {
        const QString description = translated ? Tr(entry.description) : QString();
        options.append(entry.valueName
                           ? QCommandLineOption(entry.names, description,
                                                translated ? Tr(entry.valueName)
                                                           : QLatin1String(entry.valueName))
                           : QCommandLineOption(entry.names, description));
    }
    return options;
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

QCommandLineOption OptionNamed(const QList<QCommandLineOption> &options, const char *name)
{
    for (const QCommandLineOption &option : options) {
        if (option.names().contains(QLatin1String(name)))
            return option;
    }
    return options.first();
}

} // namespace

QString ProgramName()
{
    return QStringLiteral("VelmoraMobileEmuLauncher");
}

LauncherOptions ParseLauncherOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QList<QCommandLineOption> all = Options(false);
    parser.addOptions(all);
    // Short options are whole words: "-lTwo" is no launch, and "-style" no "-s -t -y -l e".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption *missing = nullptr;
    const QStringList ours = WithoutQtOptions(arguments, all, &missing);
    parser.parse(ours);

    LauncherOptions options;
    const auto usage = [&options](const char *text, const QStringList &arguments = {}) {
        options.action = LauncherOptions::UsageError;
        options.usage = {text, arguments};
        return options;
    };
    // An option that needs a name and comes last has none; the parser would count it as given
    // with an empty name.
    if (missing)
        return usage(missing->valueName() == QLatin1String("file")
                         ? QT_TRANSLATE_NOOP("LauncherOptions", "option %1 needs a file name")
                     : missing->valueName() == QLatin1String("tag")
                         ? QT_TRANSLATE_NOOP("LauncherOptions", "option %1 needs a tag")
                         : QT_TRANSLATE_NOOP("LauncherOptions", "option %1 needs a profile name"),
                     {ours.last()});
    // The first action given is the one; a second is a mistake, said below.
    int actions = 0;
    for (int i = 0; i < OptionTable().size(); ++i) {
        const OptionEntry &entry = OptionTable().at(i);
        if (entry.action == LauncherOptions::OpenWindow || !parser.isSet(all.at(i)))
            continue;
        ++actions;
        if (options.action != LauncherOptions::OpenWindow)
            continue;
        options.action = entry.action;
        switch (entry.action) {
        case LauncherOptions::Launch:
        case LauncherOptions::Stop:
            options.names = parser.values(all.at(i)) + parser.positionalArguments();
            break;
        case LauncherOptions::PrintCommand:
        case LauncherOptions::Log:
            options.profileName = parser.value(all.at(i));
            break;
        case LauncherOptions::Export:
            options.file = parser.value(all.at(i));
            options.names = parser.positionalArguments();
            break;
        case LauncherOptions::Import:
            options.file = parser.value(all.at(i));
            break;
        case LauncherOptions::LaunchTag:
            options.tag = parser.value(all.at(i));
            break;
        case LauncherOptions::Arrange:
            options.arrangement = parser.value(all.at(i));
            break;
        default:
            break;
        }
    }
    options.json = parser.isSet(OptionNamed(all, "json"));
    options.wait = parser.isSet(OptionNamed(all, "wait"));
    const bool tagged = parser.isSet(OptionNamed(all, "tag"));
    if (tagged && options.action != LauncherOptions::LaunchTag)
        options.tag = parser.value(OptionNamed(all, "tag"));
    // A mistyped option is a mistake of the caller, never a silent start of the window.
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString unknown = parser.unknownOptionNames().first();
        // Said as it was typed: "-lTwo" with its one dash.
        QString written =
            (unknown.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + unknown;
        for (const QString &argument : ours) {
            const QStringView spelt = QStringView(argument).first(
                argument.indexOf(QLatin1Char('=')) < 0 ? argument.size()
                                                       : argument.indexOf(QLatin1Char('=')));
            if (spelt.startsWith(u'-') &&
                (spelt.sliced(1) == unknown ||
                 spelt.sliced(1) == QString(QLatin1Char('-') + unknown))) {
                written = spelt.toString();
                break;
            }
        }
        const QString meant = ClosestOption(unknown, all);
        return meant.isEmpty()
                   ? usage(QT_TRANSLATE_NOOP("LauncherOptions", "unknown option %1"), {written})
                   : usage(QT_TRANSLATE_NOOP("LauncherOptions",
                                             "unknown option %1 (did you mean --%2?)"),
                           {written, meant});
    }
    options.service = parser.isSet(OptionNamed(all, "dbus-service"));
    if (options.action == LauncherOptions::OpenWindow && !options.json && !options.wait &&
        !tagged) {
        // The window's arguments are files to import, as a file manager's "Open With" gives
        // them: paths, or file URIs.
        for (const QString &file : parser.positionalArguments()) {
            const QString local = LocalPathOf(file);
            options.files.append(local.isEmpty() ? QFileInfo(file).absoluteFilePath() : local);
        }
        return options;
    }
    if (actions > 1)
        return usage(QT_TRANSLATE_NOOP("LauncherOptions", "give one action at a time"));
    if (options.json && options.action != LauncherOptions::List &&
        options.action != LauncherOptions::Running)
        return usage(QT_TRANSLATE_NOOP("LauncherOptions", "--json goes with --list or --running"));
    if (options.wait && options.action != LauncherOptions::Launch &&
        options.action != LauncherOptions::LaunchTag)
        return usage(QT_TRANSLATE_NOOP("LauncherOptions", "--wait goes with --launch"));
    if (tagged && options.action != LauncherOptions::List)
        return usage(QT_TRANSLATE_NOOP("LauncherOptions", "--tag goes with --list"));
    if (options.service)
        return usage(QT_TRANSLATE_NOOP("LauncherOptions", "--dbus-service opens no action"));
    if (options.action == LauncherOptions::Arrange &&
        options.arrangement != QLatin1String("tile") &&
        options.arrangement != QLatin1String("cascade"))
        return usage(QT_TRANSLATE_NOOP("LauncherOptions", "--arrange takes tile or cascade, not "
                                                          "\"%1\""),
                     {options.arrangement});
    if (options.action != LauncherOptions::Export && options.action != LauncherOptions::Launch &&
        options.action != LauncherOptions::Stop && !parser.positionalArguments().isEmpty())
        return usage(QT_TRANSLATE_NOOP("LauncherOptions", "unexpected argument \"%1\""),
                     {parser.positionalArguments().first()});
    return options;
}

QString UsageErrorText(const LauncherOptions &options)
{
    if (!options.usage.text)
        return QString();
    QString text = Tr(options.usage.text);
    for (const QString &argument : options.usage.arguments)
        text = text.arg(argument);
    return text;
}

QString LauncherHelpText()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Tr(QT_TRANSLATE_NOOP(
        "LauncherOptions", "Keeps named profiles for the Velmora Mobile Emulator and starts it.\n"
                           "Without options it opens its window, or brings the open one to "
                           "the front.")));
    parser.addOptions(Options(true));
    parser.addPositionalArgument(
        Tr(QT_TRANSLATE_NOOP("LauncherOptions", "names")),
        Tr(QT_TRANSLATE_NOOP("LauncherOptions", "With --export: the profiles to write; with "
                                                "--launch and --stop: more profiles.")),
        Tr(QT_TRANSLATE_NOOP("LauncherOptions", "[name...]")));
    // The program by its name, not by the path it was started with; without an application
    // object Qt names it "<executable_name>".
    QString text = parser.helpText();
    const QStringList arguments =
        QCoreApplication::instance() ? QCoreApplication::arguments() : QStringList();
    const QString started =
        arguments.isEmpty() ? QStringLiteral("<executable_name>") : arguments.first();
    const qsizetype at = text.indexOf(started);
    if (at >= 0)
        text.replace(at, started.size(), ProgramName());
    return text;
}
