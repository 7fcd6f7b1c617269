#include "emulatorlaunch.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

bool StartDetached(const SplitCommand &command)
{
    if (command.program.isEmpty())
        return false;
    return QProcess::startDetached(command.program, command.arguments);
}

bool OpenLocalPage(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
