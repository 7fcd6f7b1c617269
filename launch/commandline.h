#pragma once

#include "launcherconfig.h"

#include <QString>
#include <QStringList>

// What the user's choices start: the quoted emulator path, the selected options' fragments,
// " -profile-name " with the quoted profile name, one blank and the arguments as typed.
// `optionIndexes` holds the current position of each option section's combo box (-1 for none);
// a position outside its section contributes nothing.
QString ComposeCommandLine(const QString &emulatorPath, const LauncherConfig &config,
                           const QList<int> &optionIndexes, const QString &profileName,
                           const QString &arguments);

struct SplitCommand
{
    QString program; // empty when the command line holds nothing to start
    QStringList arguments;
};

// Splits a command line the way the emulator receives it: white space separates, double
// quotes group and are dropped, three double quotes make one literal quote.
SplitCommand SplitCommandLine(const QString &commandLine);

// Plain text for a tooltip: the program and then each argument on a line of its own.
QString DescribeCommand(const SplitCommand &command);
