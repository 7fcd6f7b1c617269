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
    if (!isRunning())
        return;
    name = QStringLiteral(":%1").arg(display);

    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (withWindowManager && !openbox.isEmpty()) {
        windowManager.setProcessEnvironment(Environment());
        windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        windowManager.start(openbox, {});
        windowManager.waitForStarted();
        // openbox owns the screen once it has set its supporting-window property.
        const QDeadlineTimer ready(5000);
        while (!ready.hasExpired()) {
            QByteArray out;
            QProcess probe;
            probe.setProcessEnvironment(Environment());
            probe.start(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
            if (probe.waitForFinished(2000) && probe.readAllStandardOutput().contains("window id"))
                break;
            QThread::msleep(50);
        }
    }
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
    if (!tool.waitForFinished(15000))
        return false;
    if (output)
        *output = tool.readAllStandardOutput();
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

QString XServer::WaitForWindow(const QString &titlePattern, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QByteArray out;
        Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"), titlePattern},
                &out);
        const QString id = QString::fromLatin1(out).section(QLatin1Char('\n'), 0, 0).trimmed();
        if (!id.isEmpty())
            return id;
        QThread::msleep(50);
    }
    return QString();
}
