#pragma once

#include "commandline.h"

#include <QString>

// Starts the command detached in the launcher's working directory. An empty command starts
// nothing and counts as a failed start.
bool StartDetached(const SplitCommand &command);

// Hands the local file to the desktop's default viewer. Returns whether it was accepted.
bool OpenLocalPage(const QString &path);
