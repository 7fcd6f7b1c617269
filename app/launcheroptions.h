#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The launcher's own command-line options, for scripts and desktop shortcuts: what was asked.
// Carrying it out is optionactions' business, the JSON it prints jsonoutput's.
struct LauncherOptions
{
    enum Action
    {
        OpenWindow, // no option of ours: the window, as always; `files` to import
        Help,
        Version,
        List,
        Launch,
        PrintCommand,
        ListDevices,
        Export, // `file`, `names` (all profiles when empty)
        Import, // `file`
        Running,
        Stop, // `names`
        StopAll,
        Log,       // `profileName`
        LaunchTag, // `tag`
        ListTags,
        Arrange,    // `arrangement`
        UsageError, // `usage` says what is wrong
    };

    Action action = OpenWindow;
    QString profileName; // for PrintCommand and Log
    QString file;
    QString tag;       // for LaunchTag, and --list --tag
    QStringList names; // for Launch, Stop and Export
    bool json = false; // --list or --running as JSON
    bool wait = false; // --launch waits to see each emulator run
    // The window, started by the session bus for a request: it shows once the desktop asks
    // for it, and ends a minute after its start when nothing did.
    bool service = false;
    QStringList files;   // profile files to import into the window, with its questions
    QString arrangement; // "tile" or "cascade"

    // A usage error as a text to translate (QT_TRANSLATE_NOOP in "LauncherOptions") and what
    // fills its %1, %2: the parser runs before any translation is installed.
    struct Usage
    {
        const char *text = nullptr;
        QStringList arguments;
    } usage;
};

// `arguments` as main() gets them, the program first.
LauncherOptions ParseLauncherOptions(const QStringList &arguments);

// The usage error in the language the launcher speaks.
QString UsageErrorText(const LauncherOptions &options);

// What --help prints, in the language the launcher speaks.
QString LauncherHelpText();

// The program's name, as the messages begin.
QString ProgramName();
