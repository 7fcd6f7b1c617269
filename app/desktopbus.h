#pragma once

#include "desktopsearch.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

// The launcher on the session bus, for the desktop: com.velmora.MobileEmulatorLauncher with
// org.freedesktop.Application at /com/velmora/MobileEmulatorLauncher (how GNOME and KDE
// activate a program and hand it its activation token), GNOME Shell's search provider and
// KRunner's runner beside it. It only hears requests and says them as signals; the window
// carries them out. Where no session bus runs it is not there, and the local socket remains
// the way a second start reaches the first.
class DesktopBus : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *ServiceName = "com.velmora.MobileEmulatorLauncher";
    static constexpr const char *ApplicationPath = "/com/velmora/MobileEmulatorLauncher";
    static constexpr const char *SearchProviderPath =
        "/com/velmora/MobileEmulatorLauncher/SearchProvider";
    static constexpr const char *RunnerPath = "/com/velmora/MobileEmulatorLauncher/Runner";

    using Search = std::function<QList<SearchHit>(const QStringList &terms)>;
    // The line under a profile's result; nothing for a profile that is not there.
    using Describe = std::function<std::optional<QString>(const QString &profile)>;
    DesktopBus(Search search, Describe describe, QObject *parent = nullptr);
    ~DesktopBus() override;

    // Joins the session bus and takes the name; why not when it could not (the name is
    // another's), else empty. Where no session bus runs it joins nothing and says nothing.
    QString Join();

    // For the objects on the bus.
    QList<SearchHit> Find(const QStringList &terms) const { return search(terms); }
    std::optional<QString> Description(const QString &profile) const { return describe(profile); }
    bool Knows(const QString &profile) const { return describe(profile).has_value(); }

signals:
    // The token (Wayland) or startup id (X11) the desktop gave, possibly empty.
    void activateRequested(const QByteArray &token);
    // Launch that profile ("launch" action, a search result chosen). A failure to find it is
    // answered on the bus; one to start it is shown by the window.
    void launchRequested(const QString &profile, const QByteArray &token);
    void stopAllRequested();
    // Files to import, with the usual questions.
    void openRequested(const QStringList &paths, const QByteArray &token);
    // The desktop's search handed over: show the list filtered by the terms.
    void searchRequested(const QString &text, const QByteArray &token);

private:
    Search search;
    Describe describe;
    bool joined = false;
};

// Whether a session bus runs: one is named (DBUS_SESSION_BUS_ADDRESS) or the user's bus of
// systemd is there.
bool SessionBusRuns();
// The platform data's token: "activation-token" (Wayland), else "desktop-startup-id" (X11).
QByteArray ActivationTokenOf(const QVariantMap &platformData);
// The local file a URI or path names; empty for one that is no local file.
QString LocalPathOf(const QString &uriOrPath);
