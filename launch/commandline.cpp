#include "commandline.h"

#include "filelocations.h"

#include <QCoreApplication>
#include <QProcess>

QString ComposeOptionText(const LauncherConfig &config, const QList<int> &optionIndexes,
                          const QString &profileName, const QString &arguments)
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
    return options;
}

SplitCommand EmulatorCommand(const QString &emulatorPath, const LauncherConfig &config,
                             const QList<int> &optionIndexes, const QString &profileName,
                             const QString &arguments)
{
    SplitCommand command;
    if (emulatorPath.isEmpty())
        return command;
    command.program = emulatorPath;
    // The path's own quotes are balanced and followed by a blank, so the rest of the command
    // line splits the same whether or not the path goes through the split; only a path holding
    // a double quote would split apart.
    command.arguments =
        QProcess::splitCommand(ComposeOptionText(config, optionIndexes, profileName, arguments));
    return command;
}

QString DescribeCommand(const SplitCommand &command)
{
    if (command.program.isEmpty())
        return QCoreApplication::translate("Command", "Nothing to start.");
    // A tooltip or a screen reader shows a line of a few hundred characters at most.
    constexpr qsizetype shown = 1024;
    QString text =
        QCoreApplication::translate("Command", "Starts %1").arg(ShownText(command.program, shown));
    if (command.arguments.isEmpty()) {
        text += QLatin1Char('\n') + QCoreApplication::translate("Command", "with no arguments.");
    } else {
        text += QLatin1Char('\n') + QCoreApplication::translate("Command", "with the arguments:");
        for (const QString &argument : command.arguments)
            text += QLatin1String("\n  ") + ShownText(argument, shown);
    }
    if (!command.environment.isEmpty()) {
        text +=
            QLatin1Char('\n') + QCoreApplication::translate("Command", "and in its environment:");
        for (const QString &variable : command.environment)
            text += QLatin1String("\n  ") + ShownText(variable, shown);
    }
    return text;
}

QString ShellCommand(const SplitCommand &command)
{
    const auto quoted = [](const QString &word) {
        static const QString plain = QStringLiteral(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@%+=:,./_-");
        bool safe = !word.isEmpty();
        for (const QChar c : word)
            safe = safe && plain.contains(c);
        if (safe)
            return word;
        // Inside single quotes nothing is special but the single quote itself.
        return QLatin1Char('\'') +
               QString(word).replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\'');
    };
    if (command.program.isEmpty())
        return QString();
    // The profile's environment goes first, as env(1) gives it.
    QString text;
    if (!command.environment.isEmpty()) {
        text = QStringLiteral("env");
        for (const QString &variable : command.environment)
            text += QLatin1Char(' ') + quoted(variable);
        text += QLatin1Char(' ');
    }
    text += quoted(command.program);
    for (const QString &argument : command.arguments)
        text += QLatin1Char(' ') + quoted(argument);
    return text;
}

SplitCommand StoredCommand(const LauncherConfig &config, const LauncherProfile &profile)
{
    return EmulatorCommand(GetFilePath(EmulatorFile), config, profile.optionIndex, profile.name,
                           profile.arguments);
}
