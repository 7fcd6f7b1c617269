#pragma once

#include "launcherconfig.h"
#include "profileextras.h"
#include "profileuse.h"

#include <QDateTime>
#include <QList>
#include <QString>

class QTextStream;
struct LaunchRecord;

// What --list --json and --running --json print: written as it goes (a long file's model built
// as JSON objects first took several times its size), in the layout and key order of
// QJsonDocument's indented form, which scripts may already parse by eye.

// A JSON string: quotes, backslashes and control characters escaped, the rest as it is.
void WriteJsonString(QTextStream &out, const QString &text);
// The profiles, each with its name, arguments, options and the command `emulator` it starts.
void WriteProfilesJson(QTextStream &out, const LauncherConfig &config, const QString &emulator,
                       const ExtrasMap &extras = {}, const QHash<QString, ProfileUse> &use = {},
                       const QString &tag = QString());
// The running emulators, each with its command, log, pid, profile and start.
void WriteRunningJson(QTextStream &out, const QList<LaunchRecord> &records);

// "2026-12-07T10:15:30+01:00": local time to the second, with its offset.
QString LocalIsoTime(const QDateTime &time);
