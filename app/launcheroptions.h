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
    };

    Action action = OpenWindow;
    QString profileName; // for Launch and PrintCommand
    QString helpText;
};

// `arguments` as main() gets them, the program first.
LauncherOptions ParseLauncherOptions(const QStringList &arguments);

// Carries out an action other than OpenWindow and returns the process's exit code: 0 when it
// worked, 1 when no configuration could be read or the emulator did not start, 2 for a name
// that no profile has. Needs a QCoreApplication for the launcher's directory.
int RunLauncherOptions(const LauncherOptions &options, QTextStream &out, QTextStream &err);
