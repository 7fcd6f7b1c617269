#pragma once

#include "commandline.h"

#include <QString>

class QProcess;

// The desktop's activation variables: a token belongs to one activation of the launcher's own
// window, never to the programs it starts.
extern const char *const ActivationVariables[2];

// Sets the program, its arguments and the launcher's environment less any desktop activation
// token: a token belongs to one activation of the launcher's own window, never to the programs
// it starts.
void PrepareEmulatorProcess(QProcess &process, const SplitCommand &command);

// Starts the command detached in the launcher's working directory, with the launcher's
// environment less any desktop activation token: a token belongs to one activation of the
// launcher's own window, never to the programs it starts. An empty command starts nothing and
// counts as a failed start. On failure `error`, when given, receives the system's reason.
bool StartDetached(const SplitCommand &command, QString *error = nullptr);

// Hands the local file to the desktop's default viewer. Returns whether it was accepted.
bool OpenLocalPage(const QString &path);
