#pragma once

#include <QString>

// The four files the launcher touches. The numbers are part of the interface.
enum FileKind
{
    UserConfigFile = 0,
    DefaultConfigFile = 1,
    HelpFile = 2,
    EmulatorFile = 3,
};

// The launcher's own directory, one "/", and `name`.
QString AppDirFilePath(const QString &name);

// The absolute path of a file kind; an empty string for any other value.
QString GetFilePath(FileKind kind);

// Unsets the base-directory variables (XDG_DATA_HOME, XDG_RUNTIME_DIR, ...) that hold a
// relative path: XDG directories are absolute, and a relative one would put the user's files
// below whatever folder the launcher happened to start in.
void IgnoreRelativeBaseDirectories();

// A path as the user's system writes it (backslashes on Windows), for messages.
QString ShownPath(const QString &path);

// Where the launch records and the logs of the emulators live: $XDG_STATE_HOME when it is an
// absolute path, else ~/.local/state, then "/Velmora/VelmoraMobileEmulator"; the logs in
// "logs" there.
QString StateDirectory();
QString LogDirectory();
