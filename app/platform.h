#pragma once

#include <QByteArray>
#include <QString>

// What the process asks of the system beyond Qt, one small function each. The Unix answers are
// in platform_unix.cpp; a Windows port adds platform_win.cpp (and localsocket_win.cpp and
// terminationsignals_win.cpp beside the _unix ones).

uint CurrentUserId();
// Whether a process runs with this id as another user (its /proc entry is theirs).
bool IsOtherUsersProcess(qint64 pid);
// Removes `path` when something of another user's is there; false when that fails.
bool RemoveForeignEntry(const QString &path);
// A directory only this user can enter: created with mode 0700 when missing; an existing one
// must be a real directory (not a link) owned by the user, and is closed to others.
bool MakePrivateDirectory(const QString &path);
// Orphaned descendants (an emulator whose starter left) become this process's children, so that
// it can learn how they ended.
void AdoptOrphanedChildren();
// A descriptor 0, 1 or 2 that is closed would be handed to the next file opened, and text meant
// for stderr could end up in Launcher.ini: /dev/null takes its place. True when standard output
// was closed.
bool ReopenClosedStandardStreams();
// Writes all of `bytes` to standard output (`closed`: it was, and fails); false, with the
// system's reason, when it cannot.
bool WriteStandardOutput(const QByteArray &bytes, bool closed, QString *error);
// Whether standard input, output or error is a terminal: someone there reads what goes wrong.
bool AttachedToTerminal();
