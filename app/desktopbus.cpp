#include "desktopbus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QFileInfo>
#include <QUrl>

namespace {

// KRunner's match: id, text, icon name, type, relevance, properties.
struct RunnerMatch
{
    QString id;
    QString text;
    QString icon;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;
};
// KRunner's action: id, text, icon name.
struct RunnerAction
{
    QString id;
    QString text;
    QString icon;
};

QDBusArgument &operator<<(QDBusArgument &argument, const RunnerMatch &match)
{
    argument.beginStructure();
    argument << match.id << match.text << match.icon << match.type << match.relevance
             << match.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, RunnerMatch &match)
{
    argument.beginStructure();
    argument >> match.id >> match.text >> match.icon >> match.type >> match.relevance >>
        match.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const RunnerAction &action)
{
    argument.beginStructure();
    argument << action.id << action.text << action.icon;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, RunnerAction &action)
{
    argument.beginStructure();
    argument >> action.id >> action.text >> action.icon;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(RunnerMatch)
Q_DECLARE_METATYPE(RunnerAction)

namespace {

QString LaunchText(const QString &profile)
{
    return QCoreApplication::translate("DesktopBus", "Launch %1").arg(ShownName(profile, 80));
}

QString Unwrapped(const QVariant &value)
{
    return value.canConvert<QDBusVariant>() ? value.value<QDBusVariant>().variant().toString()
                                            : value.toString();
}

// org.freedesktop.Application: how the desktop activates a program.
class ApplicationObject : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationObject(DesktopBus *bus) : QObject(bus), bus(bus) {}

public slots:
    void Activate(const QVariantMap &platformData)
    {
        emit bus->activateRequested(ActivationTokenOf(platformData));
    }

    void Open(const QStringList &uris, const QVariantMap &platformData)
    {
        QStringList paths;
        for (const QString &uri : uris) {
            const QString path = LocalPathOf(uri);
            if (path.isEmpty()) {
                sendErrorReply(QDBusError::InvalidArgs,
                               QStringLiteral("not a local file: %1").arg(uri));
                return;
            }
            paths.append(path);
        }
        emit bus->openRequested(paths, ActivationTokenOf(platformData));
    }

    void ActivateAction(const QString &name, const QVariantList &parameter,
                        const QVariantMap &platformData)
    {
        const QByteArray token = ActivationTokenOf(platformData);
        if (name == QLatin1String("stop-all")) {
            emit bus->stopAllRequested();
        } else if (name == QLatin1String("launch") && parameter.size() == 1) {
            const QString profile = Unwrapped(parameter.first());
            if (!bus->Knows(profile)) {
                sendErrorReply(QDBusError::InvalidArgs,
                               QStringLiteral("no profile named \"%1\"").arg(profile));
                return;
            }
            emit bus->launchRequested(profile, token);
        } else {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("no action \"%1\" with %2 parameters; the actions are "
                                          "launch (a profile name) and stop-all")
                               .arg(name)
                               .arg(parameter.size()));
        }
    }

private:
    DesktopBus *bus;
};

// GNOME Shell's search: the profiles found, "Launch <profile>", chosen to launch.
class SearchProviderObject : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")

public:
    explicit SearchProviderObject(DesktopBus *bus) : QObject(bus), bus(bus) {}

public slots:
    QStringList GetInitialResultSet(const QStringList &terms) { return Ids(terms); }

    QStringList GetSubsearchResultSet(const QStringList &previous, const QStringList &terms)
    {
        Q_UNUSED(previous);
        // The profiles may have changed since: searched again, which is quick.
        return Ids(terms);
    }

    QList<QVariantMap> GetResultMetas(const QStringList &identifiers)
    {
        QList<QVariantMap> metas;
        for (const QString &id : identifiers) {
            QVariantMap meta;
            meta.insert(QStringLiteral("id"), id);
            meta.insert(QStringLiteral("name"), LaunchText(id));
            if (const std::optional<QString> description = bus->Description(id))
                meta.insert(QStringLiteral("description"), *description);
            meta.insert(QStringLiteral("gicon"),
                        QStringLiteral("com.velmora.MobileEmulatorLauncher"));
            metas.append(meta);
        }
        return metas;
    }

    void ActivateResult(const QString &identifier, const QStringList &terms, uint timestamp)
    {
        Q_UNUSED(terms);
        Q_UNUSED(timestamp);
        // A result of a profile that went meanwhile launches nothing.
        if (bus->Knows(identifier))
            emit bus->launchRequested(identifier, QByteArray());
    }

    void LaunchSearch(const QStringList &terms, uint timestamp)
    {
        Q_UNUSED(timestamp);
        emit bus->searchRequested(terms.join(QLatin1Char(' ')), QByteArray());
    }

private:
    QStringList Ids(const QStringList &terms) const
    {
        QStringList ids;
        for (const SearchHit &hit : bus->Find(terms))
            ids.append(hit.profile);
        return ids;
    }

    DesktopBus *bus;
};

// KRunner's D-Bus runner: the same search, as Plasma asks it.
class RunnerObject : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")

public:
    explicit RunnerObject(DesktopBus *bus) : QObject(bus), bus(bus) {}

public slots:
    QList<RunnerAction> Actions() { return {}; }

    QList<RunnerMatch> Match(const QString &query)
    {
        QList<RunnerMatch> matches;
        const QList<SearchHit> hits = bus->Find(query.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        // KRunner sorts by relevance: the order found, most recently used first.
        for (qsizetype i = 0; i < hits.size(); ++i) {
            const SearchHit &hit = hits.at(i);
            RunnerMatch match;
            match.id = hit.profile;
            match.text = LaunchText(hit.profile);
            match.icon = QStringLiteral("com.velmora.MobileEmulatorLauncher");
            match.type = hit.byName ? 100 : 30; // an exact match, else a possible one
            match.relevance = 1.0 - 0.5 * double(i) / double(hits.size());
            match.properties.insert(QStringLiteral("subtext"), hit.description);
            matches.append(match);
        }
        return matches;
    }

    void Run(const QString &matchId, const QString &actionId)
    {
        Q_UNUSED(actionId);
        if (bus->Knows(matchId))
            emit bus->launchRequested(matchId, QByteArray());
    }

private:
    DesktopBus *bus;
};

} // namespace

DesktopBus::DesktopBus(Search find, Describe describer, QObject *parent)
    : QObject(parent), search(std::move(find)), describe(std::move(describer))
{
}

DesktopBus::~DesktopBus()
{
    if (joined)
        QDBusConnection::sessionBus().unregisterService(QLatin1String(ServiceName));
}

QString DesktopBus::Join()
{
    // Only a bus that runs: asked for one that does not, libdbus would start a daemon of its
    // own for the X display (autolaunch), a process nobody asked for.
    if (!SessionBusRuns())
        return QString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return bus.lastError().message().isEmpty() ? QStringLiteral("no session bus")
                                                   : bus.lastError().message();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    qDBusRegisterMetaType<RunnerMatch>();
    qDBusRegisterMetaType<QList<RunnerMatch>>();
    qDBusRegisterMetaType<RunnerAction>();
    qDBusRegisterMetaType<QList<RunnerAction>>();
    const auto flags = QDBusConnection::ExportAllSlots;
    if (!bus.registerObject(QLatin1String(ApplicationPath), new ApplicationObject(this), flags) ||
        !bus.registerObject(QLatin1String(SearchProviderPath), new SearchProviderObject(this),
                            flags) ||
        !bus.registerObject(QLatin1String(RunnerPath), new RunnerObject(this), flags))
        return bus.lastError().message();
    // The name last, once every object answers: the bus may have started this process for a
    // call that waits for it.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(QLatin1String(ServiceName),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return reply.error().message();
    if (reply.value() != QDBusConnectionInterface::ServiceRegistered)
        return QStringLiteral("the name %1 is taken").arg(QLatin1String(ServiceName));
    joined = true;
    return QString();
}

bool SessionBusRuns()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    // Where none is named, the user's bus of systemd, as libdbus finds it.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists();
}

QByteArray ActivationTokenOf(const QVariantMap &platformData)
{
    for (const char *key : {"activation-token", "desktop-startup-id"}) {
        const QString token = Unwrapped(platformData.value(QLatin1String(key)));
        if (!token.isEmpty())
            return token.toUtf8();
    }
    return QByteArray();
}

QString LocalPathOf(const QString &uriOrPath)
{
    if (uriOrPath.startsWith(QLatin1Char('/')))
        return uriOrPath;
    const QUrl url(uriOrPath);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

#include "desktopbus.moc"
