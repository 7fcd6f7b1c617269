#include "xserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace {
QString SocketOf(int display)
{
    return QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
}
} // namespace

XServer::XServer(bool withWindowManager)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    int display = 90 + int(QCoreApplication::applicationPid() % 400);
    for (int attempt = 0; attempt < 40; ++attempt, ++display) {
        if (QFileInfo::exists(SocketOf(display)) ||
            QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
            continue;
        server.start(xvfb, {QStringLiteral(":%1").arg(display), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1024x768x24"),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        server.waitForStarted();
        const QDeadlineTimer up(5000);
        while (!QFileInfo::exists(SocketOf(display)) && server.state() == QProcess::Running &&
               !up.hasExpired())
            QThread::msleep(20);
        if (server.state() == QProcess::Running && QFileInfo::exists(SocketOf(display)))
            break;
        // Another server took the number first: try the next.
        server.kill();
        server.waitForFinished();
    }
    if (!isRunning()) {
        whyNotReady = xvfb.isEmpty() ? QStringLiteral("Xvfb is not installed")
                                     : QStringLiteral("Xvfb did not start");
        return;
    }
    name = QStringLiteral(":%1").arg(display);
    if (!withWindowManager)
        return;

    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        whyNotReady = QStringLiteral("openbox is not installed");
        return;
    }
    // The socket may be there before the server takes connections, and a window manager that
    // comes too early gives up at once: the server is asked first.
    const auto ask = [this](const QStringList &arguments, QString *said) {
        QProcess probe;
        probe.setProcessEnvironment(Environment());
        probe.start(QStringLiteral("xprop"), arguments);
        const bool finished = probe.waitForFinished(5000);
        if (said)
            *said =
                QString::fromLocal8Bit(probe.readAllStandardOutput() + probe.readAllStandardError())
                    .trimmed();
        return finished && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    };
    const QDeadlineTimer ready(30000);
    QString seen;
    while (!ask({QStringLiteral("-root"), QStringLiteral("-len"), QStringLiteral("1")}, &seen)) {
        if (ready.hasExpired()) {
            whyNotReady = QStringLiteral("Xvfb on %1 took no connection within 30 s: %2")
                              .arg(name, seen.left(200));
            return;
        }
        QThread::msleep(20);
    }

    windowManager.setProcessEnvironment(Environment());
    windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    windowManager.start(openbox, {});
    windowManager.waitForStarted();
    // xdotool activates windows through _NET_ACTIVE_WINDOW, which openbox announces in
    // _NET_SUPPORTED once it manages the screen; before that xdotool fails. On a busy machine
    // that takes a while, so it is waited for, with a generous bound.
    int starts = 1;
    for (;;) {
        if (ask({QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTED")}, &seen) &&
            seen.contains(QLatin1String("_NET_ACTIVE_WINDOW")))
            return;
        if (windowManager.waitForFinished(0)) {
            if (starts == 3) {
                whyNotReady = QStringLiteral("openbox ended %1 times before it managed %2 (exit "
                                             "code %3)")
                                  .arg(starts)
                                  .arg(name)
                                  .arg(windowManager.exitCode());
                return;
            }
            ++starts;
            windowManager.start(openbox, {});
            windowManager.waitForStarted();
        }
        if (ready.hasExpired())
            break;
        QThread::msleep(50);
    }
    whyNotReady = QStringLiteral("openbox did not announce _NET_ACTIVE_WINDOW on %1 within 30 s "
                                 "(xprop said: %2)")
                      .arg(name, seen.left(200));
}

XServer::~XServer()
{
    for (QProcess *p : {&windowManager, &server}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
}

QProcessEnvironment XServer::Environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DISPLAY"), name);
    base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    base.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return base;
}

bool XServer::Xdotool(const QStringList &arguments, QByteArray *output) const
{
    QProcess tool;
    tool.setProcessEnvironment(Environment());
    tool.start(QStringLiteral("xdotool"), arguments);
    const QString command = QStringLiteral("xdotool ") + arguments.join(QLatin1Char(' '));
    if (!tool.waitForFinished(15000)) {
        xdotoolError = command + QStringLiteral(": no answer within 15 s");
        tool.kill();
        tool.waitForFinished();
        return false;
    }
    if (output)
        *output = tool.readAllStandardOutput();
    const bool ok = tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    const QString said = QString::fromLocal8Bit(tool.readAllStandardError()).trimmed();
    xdotoolError =
        ok ? QString() : command + QStringLiteral(": exit %1: %2").arg(tool.exitCode()).arg(said);
    return ok;
}

QString XServer::FirstVisibleWindow(const QString &titlePattern) const
{
    QByteArray out;
    Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
             titlePattern},
            &out);
    return QString::fromLatin1(out).section(QLatin1Char('\n'), 0, 0).trimmed();
}

bool XServer::WaitForWindowGone(const QString &titlePattern, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (FirstVisibleWindow(titlePattern).isEmpty())
            return true;
        QThread::msleep(20);
    }
    xdotoolError = QStringLiteral("a window titled like %1 still shows after %2 ms")
                       .arg(titlePattern)
                       .arg(timeoutMs);
    return false;
}

QString XServer::WaitForWindow(const QString &titlePattern, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QString id = FirstVisibleWindow(titlePattern);
        if (!id.isEmpty())
            return id;
        QThread::msleep(50);
    }
    xdotoolError = QStringLiteral("no visible window titled like %1 within %2 ms; %3")
                       .arg(titlePattern)
                       .arg(timeoutMs)
                       .arg(xdotoolError);
    return QString();
}
