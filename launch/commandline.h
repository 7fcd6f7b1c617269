#pragma once

#include "launcherconfig.h"
#include "profileextras.h"

#include <QString>
#include <QStringList>

// What follows the emulator's path on its command line: the selected options' fragments,
// " -profile-name " with the quoted profile name, one blank and the arguments as typed.
// `optionIndexes` holds the current position of each option section's combo box (-1 for none);
// a position outside its section contributes nothing.
QString ComposeOptionText(const LauncherConfig &config, const QList<int> &optionIndexes,
                          const QString &profileName, const QString &arguments);

// Commands a profile runs around its emulator, each through /bin/sh -c in the emulator's
// environment, their output in its log: `before` (its failure, or taking longer than `timeout`
// seconds, stops the launch) and `after` (given VELMORA_EXIT_CODE and VELMORA_LOG).
struct LaunchHooks
{
    QString before;
    QString after;
    int timeout = ProfileExtras::DefaultHookTimeout;

    bool IsEmpty() const { return before.isEmpty() && after.isEmpty(); }
    bool operator==(const LaunchHooks &other) const
    {
        return before == other.before && after == other.after && timeout == other.timeout;
    }
};

struct SplitCommand
{
    QString program; // empty when there is nothing to start
    QStringList arguments;
    // NAME=value for the emulator's environment beside the launcher's own (a profile's).
    QStringList environment = {};
    LaunchHooks hooks = {};
};

// The command with what the profile carries beside Launcher.ini: its environment and hooks.
void AddExtras(SplitCommand &command, const ProfileExtras &extras);

// What is started for a command with hooks: /bin/sh, running the hook before (with its time
// limit), then the emulator as its child, then the hook after, and ending as the emulator ended
// (its code, or its signal raised again). A stop reaches all of them: they share the session.
// The command itself when it has no hooks. `log` is the log's path for VELMORA_LOG.
SplitCommand HookedCommand(const SplitCommand &command, const QString &profile, const QString &log);

// What the emulator receives for the same choices: the path itself as the program, whatever
// characters it holds, and the option text split as a command line is split: white space
// separates, double quotes group and are dropped, three double quotes make one literal quote.
SplitCommand EmulatorCommand(const QString &emulatorPath, const LauncherConfig &config,
                             const QList<int> &optionIndexes, const QString &profileName,
                             const QString &arguments);

// What "&Launch" starts for `profile` as it is stored: the emulator beside the launcher.
SplitCommand StoredCommand(const LauncherConfig &config, const LauncherProfile &profile);

// Plain text for a tooltip: the program and then each argument on a line of its own.
QString DescribeCommand(const SplitCommand &command);

// The command as a POSIX shell reads it: every word that needs it in single quotes, so that
// pasting it into a terminal starts the same program with the same arguments.
QString ShellCommand(const SplitCommand &command);
