#pragma once

#include "launcheroptions.h"

#include <QStringList>

class QTextStream;

// Carrying out the command-line options: one function per action. None of them shows a window,
// takes the single-instance lock or writes a file but --import and --export, so each works
// whether or not a launcher window is open. What they say follows the launcher's language.

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

// Whether the window has a display to open on: DISPLAY, WAYLAND_DISPLAY, or a platform the user
// chose (QT_QPA_PLATFORM, -platform among `arguments`).
bool WindowCanOpen(const QStringList &arguments);

// Says on stderr that no window can open without a display and returns the exit code, 1.
// Needs a QCoreApplication for the launcher's language.
int SayNoDisplay();
