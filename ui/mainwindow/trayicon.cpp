#include "trayicon.h"

#include "emulatorcontrol.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "profilecompanions.h"
#include "profiledocument.h"
#include "windowmemory.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QSystemTrayIcon>

#include <algorithm>

namespace {
const char *const ShowKey = "tray/show";
const char *const KeepKey = "tray/keepRunning";
} // namespace

LauncherTray::LauncherTray(QWidget *w, ProfileDocument *d, EmulatorLauncher *l, EmulatorControl *c,
                           ProfileCompanions *p)
    : QObject(w), window(w), document(d), launcher(l), control(c), companions(p)
{
    showAction = new QAction(tr("Show in &Tray"), this);
    showAction->setCheckable(true);
    keepAction = new QAction(tr("&Keep Running in the Tray"), this);
    keepAction->setCheckable(true);
    keepAction->setChecked(WindowSettings().value(QLatin1String(KeepKey), false).toBool());
    connect(keepAction, &QAction::toggled, this,
            [](bool keep) { WindowSettings().setValue(QLatin1String(KeepKey), keep); });
    // The menu and its fixed entries are made once, as the window's other actions.
    menu = new QMenu(window);
    recentEnd = menu->addSeparator();
    menu->addAction(tr("Running &Emulators…"), control, &EmulatorControl::OpenRunningPanel);
    menu->addAction(tr("S&top All Emulators"), control, &EmulatorControl::StopAll);
    menu->addSeparator();
    menu->addAction(tr("Show &Window"), this, &LauncherTray::ShowWindow);
    menu->addAction(tr("&Quit"), this, [this] {
        // The window closes for good (what it saves on closing is saved), whatever Keep
        // Running says.
        quitting = true;
        window->close();
        QApplication::quit();
    });
    connect(menu, &QMenu::aboutToShow, this, &LauncherTray::FillRecent);

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        showAction->setEnabled(false);
        keepAction->setEnabled(false);
        showAction->setToolTip(tr("This desktop has no tray to show the launcher in."));
        keepAction->setToolTip(showAction->toolTip());
        return;
    }
    connect(showAction, &QAction::toggled, this, [this](bool shown) {
        WindowSettings().setValue(QLatin1String(ShowKey), shown);
        Show(shown);
    });
    showAction->setChecked(WindowSettings().value(QLatin1String(ShowKey), false).toBool());
    keepAction->setEnabled(showAction->isChecked());
}

bool LauncherTray::KeepsRunning() const
{
    return icon && icon->isVisible() && keepAction->isChecked() && !quitting;
}

void LauncherTray::Show(bool shown)
{
    keepAction->setEnabled(shown);
    if (!shown) {
        delete icon;
        icon = nullptr;
        return;
    }
    if (icon)
        return;
    icon = new QSystemTrayIcon(QApplication::windowIcon(), this);
    icon->setContextMenu(menu);
    connect(icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger)
            ShowWindow();
    });
    if (EmulatorMonitor *monitor = launcher->Monitor())
        connect(monitor, &EmulatorMonitor::countsChanged, this, &LauncherTray::UpdateToolTip);
    UpdateToolTip();
    icon->show();
}

void LauncherTray::UpdateToolTip()
{
    if (!icon)
        return;
    const int running = launcher->Monitor() ? int(launcher->Monitor()->Records().size()) : 0;
    icon->setToolTip(
        running == 0 ? tr("Velmora Mobile Emulator Launcher: no emulator runs")
                     : tr("Velmora Mobile Emulator Launcher: emulators running: %1").arg(running));
}

void LauncherTray::FillRecent()
{
    for (QAction *action : menu->actions()) {
        if (action == recentEnd)
            break;
        menu->removeAction(action);
        action->deleteLater();
    }
    // The most recently launched first.
    QList<std::pair<QDateTime, QString>> used;
    for (const LauncherProfile &profile : document->Config().profiles) {
        const ProfileUse use = companions->Use(profile.name);
        if (use.lastLaunched.isValid())
            used.append({use.lastLaunched, profile.name});
    }
    std::sort(used.begin(), used.end(),
              [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<QAction *> recent;
    for (qsizetype i = 0; i < used.size() && i < RecentProfiles; ++i) {
        const QString name = used.at(i).second;
        auto *action = new QAction(
            tr("Launch %1").arg(ShownName(name, 60).replace(QLatin1Char('&'), QLatin1String("&&"))),
            menu);
        connect(action, &QAction::triggered, control,
                [this, name] { control->LaunchStored(name); });
        recent.append(action);
    }
    menu->insertActions(recentEnd, recent);
    recentEnd->setVisible(!recent.isEmpty());
}

void LauncherTray::ShowWindow()
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
