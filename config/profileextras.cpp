#include "profileextras.h"

#include "files_p.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

QString ExtrasPath(const QString &userConfig)
{
    return QFileInfo(userConfig).absolutePath() + QStringLiteral("/Launcher.extras.json");
}

ExtrasFile ParseExtras(const QByteArray &bytes)
{
    ExtrasFile file;
    if (bytes.trimmed().isEmpty())
        return file;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (!document.isObject()) {
        file.readable = false;
        file.problem =
            error.error != QJsonParseError::NoError
                ? QCoreApplication::translate("ProfileExtras", "it is no JSON: %1 at byte %2")
                      .arg(error.errorString())
                      .arg(error.offset + 1)
                : QCoreApplication::translate("ProfileExtras", "it holds no JSON object");
        return file;
    }
    const QJsonObject root = document.object();
    const int version = root.value(QStringLiteral("version")).toInt(0);
    if (version < 1 || version > ExtrasVersion) {
        file.readable = false;
        file.problem = QCoreApplication::translate("ProfileExtras",
                                                   "its version %1 is not one this launcher reads")
                           .arg(version);
        return file;
    }
    const QJsonObject profiles = root.value(QStringLiteral("profiles")).toObject();
    for (auto it = profiles.constBegin(); it != profiles.constEnd(); ++it) {
        const QJsonObject object = it.value().toObject();
        ProfileExtras extras;
        // What is not of its kind is left out: a hand edit's slip costs that field only.
        for (const QJsonValue &tag : object.value(QStringLiteral("tags")).toArray()) {
            if (tag.isString())
                extras.tags.append(tag.toString());
        }
        extras.tags = ParseTags(extras.tags.join(QLatin1Char(',')));
        extras.notes = object.value(QStringLiteral("notes")).toString();
        const QJsonArray environment = object.value(QStringLiteral("environment")).toArray();
        for (const QJsonValue &pair : environment) {
            const QJsonArray both = pair.toArray();
            if (both.size() == 2 && both.at(0).isString() && both.at(1).isString())
                extras.environment.append({both.at(0).toString(), both.at(1).toString()});
        }
        const QJsonObject hooks = object.value(QStringLiteral("hooks")).toObject();
        extras.beforeLaunch = hooks.value(QStringLiteral("beforeLaunch")).toString();
        extras.afterExit = hooks.value(QStringLiteral("afterExit")).toString();
        const double timeout = hooks.value(QStringLiteral("timeoutSeconds")).toDouble(-1);
        if (timeout >= 1 && timeout <= ProfileExtras::MaxHookTimeout)
            extras.hookTimeout = int(timeout);
        if (!extras.IsEmpty())
            file.extras.insert(it.key(), extras);
    }
    return file;
}

ExtrasFile ReadExtras(const QString &path)
{
    QFile in(path);
    if (!in.exists())
        return {};
    ExtrasFile file;
    if (!in.open(QIODevice::ReadOnly)) {
        file.readable = false;
        file.problem = in.errorString();
        return file;
    }
    if (in.size() > MaxExtrasBytes) {
        file.readable = false;
        file.problem = QCoreApplication::translate("ProfileExtras", "it is larger than %1 MiB")
                           .arg(MaxExtrasBytes >> 20);
        return file;
    }
    return ParseExtras(in.readAll());
}

QByteArray FormatExtras(const ExtrasMap &extras)
{
    QJsonObject profiles;
    for (auto it = extras.cbegin(); it != extras.cend(); ++it) {
        if (it->IsEmpty())
            continue;
        QJsonObject object;
        if (!it->tags.isEmpty())
            object.insert(QStringLiteral("tags"), QJsonArray::fromStringList(it->tags));
        if (!it->notes.isEmpty())
            object.insert(QStringLiteral("notes"), it->notes);
        if (!it->environment.isEmpty()) {
            // Pairs, not an object: the order the user gave is the order the emulator gets.
            QJsonArray environment;
            for (const auto &[name, value] : it->environment)
                environment.append(QJsonArray{name, value});
            object.insert(QStringLiteral("environment"), environment);
        }
        if (it->HasHooks()) {
            QJsonObject hooks;
            if (!it->beforeLaunch.isEmpty())
                hooks.insert(QStringLiteral("beforeLaunch"), it->beforeLaunch);
            if (!it->afterExit.isEmpty())
                hooks.insert(QStringLiteral("afterExit"), it->afterExit);
            hooks.insert(QStringLiteral("timeoutSeconds"), it->hookTimeout);
            object.insert(QStringLiteral("hooks"), hooks);
        }
        profiles.insert(it.key(), object);
    }
    QJsonObject root;
    root.insert(QStringLiteral("version"), ExtrasVersion);
    root.insert(QStringLiteral("profiles"), profiles);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString WriteExtras(const QString &path, const ExtrasMap &extras,
                    const std::function<bool()> &stillUnchanged, bool *changed)
{
    if (changed)
        *changed = false;
    const QByteArray bytes = FormatExtras(extras);
    ReplacementFile file(path, false);
    if (!file.Open() || !file.Write(bytes.constData(), bytes.size()))
        return file.Reason();
    switch (file.Commit(stillUnchanged)) {
    case ReplacementFile::Outcome::Replaced:
        return QString();
    case ReplacementFile::Outcome::Changed:
        if (changed)
            *changed = true;
        return QCoreApplication::translate("ProfileExtras", "another program changed it meanwhile");
    case ReplacementFile::Outcome::Failed:
        break;
    }
    return file.Reason();
}

ExtrasMap MergeExtras(const ExtrasMap &base, const ExtrasMap &ours, const ExtrasMap &theirs)
{
    ExtrasMap merged = theirs;
    QStringList names = ours.keys() + base.keys();
    for (const QString &name : std::as_const(names)) {
        const ProfileExtras was = base.value(name);
        const ProfileExtras now = ours.value(name);
        if (now == was)
            continue; // unchanged here: the file's stands
        if (now.IsEmpty())
            merged.remove(name);
        else
            merged.insert(name, now);
    }
    return merged;
}

QStringList ParseTags(const QString &typed)
{
    static const QRegularExpression separators(QStringLiteral("[,\\n]"));
    QStringList tags;
    for (const QString &part : typed.split(separators)) {
        const QString tag = part.simplified();
        if (!tag.isEmpty() && !tags.contains(tag, Qt::CaseInsensitive))
            tags.append(tag);
    }
    return tags;
}

std::optional<QList<std::pair<QString, QString>>> ParseEnvironment(const QString &typed,
                                                                   QString *problem)
{
    static const QRegularExpression shellName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    QList<std::pair<QString, QString>> environment;
    for (const QString &line : typed.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? QString() : line.left(equals).trimmed();
        if (!shellName.match(name).hasMatch()) {
            *problem = trimmed;
            return std::nullopt;
        }
        QString value = line.mid(equals + 1);
        if (value.endsWith(QLatin1Char('\r')))
            value.chop(1);
        // A later line of the same name replaces the earlier, as in a shell.
        environment.removeIf([&name](const auto &pair) { return pair.first == name; });
        environment.append({name, value});
    }
    return environment;
}

QString EnvironmentText(const QList<std::pair<QString, QString>> &environment)
{
    QStringList lines;
    for (const auto &[name, value] : environment)
        lines.append(name + QLatin1Char('=') + value);
    return lines.join(QLatin1Char('\n'));
}

QStringList EnvironmentList(const ProfileExtras &extras)
{
    QStringList variables;
    for (const auto &[name, value] : extras.environment)
        variables.append(name + QLatin1Char('=') + value);
    return variables;
}

ProfileMatch MatchWithExtras(ProfileMatch byName, const ProfileExtras &extras, QStringView text)
{
    // Both narrow as the text grows, as the list's filter expects of a longer text: a tag that
    // contains the text, or after "tag:" one that begins with it.
    if (text.startsWith(QLatin1String("tag:"), Qt::CaseInsensitive)) {
        const QStringView begun = text.sliced(4).trimmed();
        return std::any_of(extras.tags.cbegin(), extras.tags.cend(),
                           [&begun](const QString &tag) {
                               return tag.startsWith(begun, Qt::CaseInsensitive);
                           })
                   ? ProfileMatch::Settings
                   : ProfileMatch::None;
    }
    if (byName != ProfileMatch::None)
        return byName;
    const bool tagged =
        std::any_of(extras.tags.cbegin(), extras.tags.cend(), [&text](const QString &tag) {
            return tag.contains(text, Qt::CaseInsensitive);
        });
    return tagged || extras.notes.contains(text, Qt::CaseInsensitive) ? ProfileMatch::Settings
                                                                      : ProfileMatch::None;
}

bool HasTag(const ProfileExtras &extras, const QString &tag)
{
    return extras.tags.contains(tag, Qt::CaseInsensitive);
}

QStringList AllTags(const ExtrasMap &extras)
{
    QStringList tags;
    for (const ProfileExtras &profile : extras) {
        for (const QString &tag : profile.tags) {
            if (!tags.contains(tag, Qt::CaseInsensitive))
                tags.append(tag);
        }
    }
    std::sort(tags.begin(), tags.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return tags;
}

namespace {
const QLatin1String ExtrasCommentMark("#velmora-extras ");
}

QStringList ExtrasCommentLines(const ExtrasMap &extras, const QStringList &names)
{
    ExtrasMap carried;
    for (const QString &name : names) {
        const ProfileExtras of = extras.value(name);
        if (!of.IsEmpty())
            carried.insert(name, of);
    }
    if (carried.isEmpty())
        return {};
    // Compact: one line, whatever the notes and commands hold (line breaks are escaped).
    const QByteArray json =
        QJsonDocument::fromJson(FormatExtras(carried)).toJson(QJsonDocument::Compact);
    return {QStringLiteral("# Tags, notes, environment and hooks of these profiles, for the "
                           "Velmora Mobile Emulator Launcher's import:"),
            ExtrasCommentMark + QString::fromUtf8(json)};
}

ExtrasMap ExtrasFromComments(const QList<ConfigComment> &comments)
{
    ExtrasMap carried;
    for (const ConfigComment &comment : comments) {
        for (const QString &line : comment.lines) {
            if (!line.startsWith(ExtrasCommentMark))
                continue;
            const ExtrasFile file = ParseExtras(line.mid(ExtrasCommentMark.size()).toUtf8());
            if (file.readable)
                carried = file.extras;
        }
    }
    return carried;
}

ProfileExtras TakenOnImport(ProfileExtras here, const ProfileExtras &carried, bool withCommands)
{
    here.tags = carried.tags;
    here.notes = carried.notes;
    if (withCommands && CarriesCommands(carried)) {
        here.environment = carried.environment;
        here.beforeLaunch = carried.beforeLaunch;
        here.afterExit = carried.afterExit;
        here.hookTimeout = carried.hookTimeout;
    }
    return here;
}

bool CarriesCommands(const ProfileExtras &extras)
{
    return !extras.environment.isEmpty() || extras.HasHooks();
}
