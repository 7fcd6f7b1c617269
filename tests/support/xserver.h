#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// A real X server (Xvfb) on a display number that no other server uses, with openbox as its
// window manager when asked for, for tests that drive the launcher as a user would: through
// xdotool from another process. Both are stopped when the object goes.
class XServer
{
public:
    explicit XServer(bool windowManager = true);
    ~XServer();

    bool isRunning() const { return server.state() == QProcess::Running; }
    // Whether the server runs and, when one was asked for, the window manager has said which
    // hints it supports; else problem() says what is missing.
    bool isReady() const { return isRunning() && whyNotReady.isEmpty(); }
    QString problem() const { return whyNotReady; }
    QString display() const { return name; }
    // `base` with DISPLAY set to this server and Qt on its xcb platform.
    QProcessEnvironment
    Environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

    // The id of the first visible window whose title matches `titlePattern` (a regular
    // expression for xdotool), or an empty string when none appears in time.
    QString WaitForWindow(const QString &titlePattern, int timeoutMs = 20000) const;
    // Runs xdotool with these arguments against this display; true when it succeeded. What it
    // said on stderr is in lastError() for the failure message.
    // The id of the first visible window whose title matches, or an empty string.
    QString FirstVisibleWindow(const QString &titlePattern) const;
    // Whether no visible window's title matches any more, within the time.
    bool WaitForWindowGone(const QString &titlePattern, int timeoutMs = 20000) const;
    bool Xdotool(const QStringList &arguments, QByteArray *output = nullptr) const;
    QString lastError() const { return xdotoolError; }

private:
    QProcess server;
    QProcess windowManager;
    QString name;
    QString whyNotReady;
    mutable QString xdotoolError;
};
