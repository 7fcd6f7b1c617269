#pragma once

#include <QString>

// What the configuration's files ask of the system beyond Qt. The Unix answers are in
// files_unix.cpp (with ConfigStore's file stamp and write lock); a Windows port adds
// files_win.cpp.

// The new file takes the place of the old one, so it takes its owner and group as well, where
// the system lets it: a file shared through a group stays in that group, and one that root
// saves for a user (sudo with the user's HOME) stays the user's.
void KeepOwnership(const QString &path, int descriptor);
// Whether `descriptor` is the file at `path` itself: QSaveFile fell back to writing in place.
bool IsFileAt(const QString &path, int descriptor);
