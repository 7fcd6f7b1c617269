#pragma once

#include "launcherconfig.h"
#include "launcheroptions.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// What the command line's actions share: how they speak, and the actions on emulators (in
// emulatoractions.cpp). Not for use outside app/.

// `text` (marked with QT_TRANSLATE_NOOP("LauncherOptions", ...)) in the user's language.
QString Tr(const char *text);
// One line on stderr: the program's name, then what is to be said.
void Say(QTextStream &err, const QString &text);
// A path as the user's system writes it.
QString Shown(const QString &path);
// The configuration the window would start with, what was wrong with the user's file said on
// `err`; false when none can be read.
bool LoadForOptions(LauncherConfig *config, QTextStream &err);
// "No profile named "A"" or "No profiles named "A", "B"".
QString NoProfilesNamed(const QStringList &unknown);
// That, with the names there are.
void SayUnknown(QTextStream &err, const QStringList &unknown, const LauncherConfig &config);
void SayNoProfile(QTextStream &err, const QString &name);

// --running, --stop, --stop-all, --log and --launch (with --wait). Each returns the process's
// exit code.
int ListRunning(bool json, QTextStream &out);
int ArrangeWindows(const QString &arrangement, QTextStream &err);
int StopAndReport(const QString &profile, QTextStream &err);
int StopProfiles(const LauncherConfig &config, const QStringList &names, QTextStream &err);
int ShowLog(const LauncherConfig &config, const QString &name, QTextStream &out, QTextStream &err);
int LaunchProfiles(const LauncherConfig &config, const LauncherOptions &options, QTextStream &err);
