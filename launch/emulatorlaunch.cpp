#include "emulatorlaunch.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

void PrepareEmulatorProcess(QProcess &process, const SplitCommand &command)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    environment.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    process.setProcessEnvironment(environment);
}

bool StartDetached(const SplitCommand &command, QString *error)
{
    if (command.program.isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("Command", "there is no program to start");
        return false;
    }
    QProcess process;
    PrepareEmulatorProcess(process, command);
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString();
    return false;
}

bool OpenLocalPage(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
