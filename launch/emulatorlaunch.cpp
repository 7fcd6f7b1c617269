#include "emulatorlaunch.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

const char *const ActivationVariables[2] = {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"};

void PrepareEmulatorProcess(QProcess &process, const SplitCommand &command)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : ActivationVariables)
        environment.remove(QLatin1String(variable));
    for (const QString &variable : command.environment) {
        const qsizetype equals = variable.indexOf(QLatin1Char('='));
        environment.insert(variable.left(equals), variable.mid(equals + 1));
    }
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
