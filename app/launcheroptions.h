#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The launcher's own command-line options, for scripts and desktop shortcuts. None of them
// shows a window, takes the single-instance lock or writes a file, so each works whether or
// not a launcher window is open.
struct LauncherOptions
{
    enum Action
    {
        OpenWindow, // no option of ours: the window, as always; other arguments are ignored
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
        Log,        // `profileName`
        UsageError, // `usageError` says what is wrong
    };

    Action action = OpenWindow;
    QString profileName; // for PrintCommand and Log
    QString helpText;
    QString usageError;
    QString file;
    QStringList names; // for Launch, Stop and Export
    bool json = false; // --list or --running as JSON
    bool wait = false; // --launch waits to see each emulator run
};

// `arguments` as main() gets them, the program first.
LauncherOptions ParseLauncherOptions(const QStringList &arguments);

// Carries out an action other than OpenWindow and returns the process's exit code: 0 when it
// worked, 1 when no configuration could be read or the emulator did not start, 2 for a name
// that no profile has and for a usage error; with --wait, how the first emulator that ended
// ended. Needs a QCoreApplication for the launcher's directory.
int RunLauncherOptions(const LauncherOptions &options, QTextStream &out, QTextStream &err);

// Puts /dev/null on standard input, output or error where the process was started with one of
// them closed, and remembers a closed output for RunLauncherOptionsOnStandardStreams. Called
// first in main(), before anything opens a file.
void OpenClosedStandardStreams();

// The same on the process's standard output and error. Output that cannot be written all (a
// full disk, a closed descriptor, a reader that went away) is said on stderr, with exit code 1.
// `said`, when given, gets what was said on stderr.
int RunLauncherOptionsOnStandardStreams(const LauncherOptions &options, QString *said = nullptr);
