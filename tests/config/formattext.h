#pragma once

// What the format's suites share: an empty model with its sections, a text read as the
// launcher reads an accepted file, and the lines every written file begins with.

#include "configformat.h"
#include "launcherconfig.h"

#include <QString>

inline LauncherConfig Sections()
{
    LauncherConfig config;
    config.ResetSections();
    return config;
}

// Reads a text the way the launcher loads an accepted file.
inline LauncherConfig Load(const QString &text, int *version = nullptr)
{
    LauncherConfig config;
    const int found = ParseConfigText(text, config);
    if (version)
        *version = found;
    return config;
}

inline const QString Header = QStringLiteral("$VERSION\t106\n");

// The comment the writer puts at the top of every file, and the blank line after it.
inline const QString WrittenHeader =
    QStringLiteral("# A configuration out for the Velmora Mobile Launcher.\n"
                   "# It makes it easy to start multiple instances with various command line\n"
                   "# options.\n"
                   "#\n"
                   "# Note that the arguments are just concatenated together, so start new\n"
                   "# arguments with a space in the string to avoid errors.\n"
                   "\n");
