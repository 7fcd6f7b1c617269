#include "commandline.h"

#include <QProcess>

QString ComposeCommandLine(const QString &emulatorPath, const LauncherConfig &config,
                           const QList<int> &optionIndexes, const QString &profileName,
                           const QString &arguments)
{
    QString options;
    for (int s = 1; s <= OptionSectionCount && s < config.sections.size(); ++s) {
        const int k = s - 1 < optionIndexes.size() ? optionIndexes.at(s - 1) : -1;
        if (config.HasEntry(s, k))
            options += config.sections.at(s).entries.at(k).value;
    }
    options += QLatin1String(" -profile-name ");
    options += QLatin1Char('"') + profileName + QLatin1Char('"');
    options += QLatin1Char(' ') + arguments;

    return QLatin1Char('"') + emulatorPath + QLatin1Char('"') + QLatin1Char(' ') + options;
}

SplitCommand SplitCommandLine(const QString &commandLine)
{
    SplitCommand command;
    QStringList pieces = QProcess::splitCommand(commandLine);
    if (pieces.isEmpty())
        return command;
    command.program = pieces.takeFirst();
    command.arguments = pieces;
    return command;
}

QString DescribeCommand(const SplitCommand &command)
{
    if (command.program.isEmpty())
        return QStringLiteral("Nothing to start.");
    QString text = QStringLiteral("Starts %1").arg(command.program);
    if (command.arguments.isEmpty())
        return text + QStringLiteral("\nwith no arguments.");
    text += QStringLiteral("\nwith the arguments:");
    for (const QString &argument : command.arguments)
        text += QLatin1String("\n  ") + argument;
    return text;
}
