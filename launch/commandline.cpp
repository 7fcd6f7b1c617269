#include "commandline.h"

#include "profileextras.h"

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
    if (!command.hooks.before.isEmpty())
        text += QLatin1Char('\n') +
                QCoreApplication::translate(
                    "Command", "Before it starts, runs (stopping the launch when it fails or "
                               "takes longer than %1 s):")
                    .arg(command.hooks.timeout) +
                QLatin1String("\n  ") + ShownText(command.hooks.before, shown);
    if (!command.hooks.after.isEmpty())
        text += QLatin1Char('\n') + QCoreApplication::translate("Command", "After it ends, runs:") +
                QLatin1String("\n  ") + ShownText(command.hooks.after, shown);
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

void AddExtras(SplitCommand &command, const ProfileExtras &extras)
{
    command.environment = EnvironmentList(extras);
    command.hooks = {extras.beforeLaunch, extras.afterExit, extras.hookTimeout};
}

SplitCommand HookedCommand(const SplitCommand &command, const QString &profile, const QString &log)
{
    if (command.hooks.IsEmpty())
        return command;
    // Until the emulator has ended the shell only notes a stop: the stop reaches the hook or the
    // emulator too (one session), and the hook after still runs. timeout(1) stays in the
    // session's process group (--foreground) so that a stop reaches the hook it runs.
    static const QString script = QStringLiteral(
        "before=$1 after=$2 limit=$3 profile=$4 log=$5 failed1=$6 failed2=$7 late=$8\n"
        "shift 8\n"
        "trap : INT TERM HUP\n"
        "if [ -n \"$before\" ]; then\n"
        "  VELMORA_PROFILE=$profile VELMORA_LOG=$log timeout --foreground -k 5 \"$limit\" "
        "/bin/sh -c \"$before\" </dev/null\n"
        "  code=$?\n"
        "  if [ \"$code\" -eq 124 ] || [ \"$code\" -eq 137 ]; then\n"
        "    printf '%s\\n' \"$late\" >&2; exit 124\n"
        "  elif [ \"$code\" -ne 0 ]; then\n"
        "    printf '%s%s%s\\n' \"$failed1\" \"$code\" \"$failed2\" >&2; exit \"$code\"\n"
        "  fi\n"
        "fi\n"
        "\"$@\"\n"
        "code=$?\n"
        "if [ -n \"$after\" ]; then\n"
        "  VELMORA_PROFILE=$profile VELMORA_LOG=$log VELMORA_EXIT_CODE=$code /bin/sh -c "
        "\"$after\" </dev/null\n"
        "fi\n"
        "trap - INT TERM HUP\n"
        "if [ \"$code\" -gt 128 ] && [ \"$code\" -lt 192 ]; then kill -s \"$((code - 128))\" "
        "$$ 2>/dev/null; fi\n"
        "exit \"$code\"\n");
    const QString failed = QCoreApplication::translate(
        "Command", "The command before launch failed with exit code %1; the emulator was not "
                   "started.");
    const qsizetype code = failed.indexOf(QLatin1String("%1"));
    const QString late =
        QCoreApplication::translate("Command", "The command before launch did not end within %1 "
                                               "s and was stopped; the emulator was not started.")
            .arg(command.hooks.timeout);
    SplitCommand hooked;
    hooked.program = QStringLiteral("/bin/sh");
    hooked.arguments = {
        QStringLiteral("-c"),
        script,
        QStringLiteral("velmora-hooks"),
        command.hooks.before,
        command.hooks.after,
        QString::number(qBound(1, command.hooks.timeout, ProfileExtras::MaxHookTimeout)),
        profile,
        log,
        code < 0 ? failed : failed.left(code),
        code < 0 ? QString() : failed.mid(code + 2),
        late};
    hooked.arguments.append(command.program);
    hooked.arguments.append(command.arguments);
    hooked.environment = command.environment;
    return hooked;
}
