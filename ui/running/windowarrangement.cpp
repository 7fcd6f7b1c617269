#include "windowarrangement.h"

#include "dialogs.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"
#include "windowmemory.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTimer>

namespace {
// Profile names may hold what a settings key may not ('/', '\').
QString PlaceKey(const QString &profile)
{
    return QStringLiteral("emulatorPlaces/") + QString::fromLatin1(profile.toUtf8().toHex());
}
} // namespace

WindowArrangement::WindowArrangement(QWidget *w, ProfileDocument *d, ProfileQListWidget *l,
                                     EmulatorLauncher *e)
    : QObject(w), window(w), document(d), list(l), launcher(e)
{
    arrangeMenu = new QMenu(tr("&Arrange Emulators"), window);
    arrangeMenu->addAction(tr("&Tile"), this, [this] { Arrange(Arrangement::Tile); });
    arrangeMenu->addAction(tr("&Cascade"), this, [this] { Arrange(Arrangement::Cascade); });
    rememberAction = new QAction(tr("&Remember Window Place"), this);
    connect(rememberAction, &QAction::triggered, this, &WindowArrangement::RememberPlace);
    const QString problem = WindowPlacementProblem();
    if (!problem.isEmpty()) {
        for (QAction *action : {arrangeMenu->menuAction(), rememberAction}) {
            action->setEnabled(false);
            action->setToolTip(problem);
        }
        arrangeMenu->setToolTipsVisible(true);
        return;
    }
    // A place remembered follows its profile's rename.
    connect(
        document, &ProfileDocument::profileRenamed, this, [this](int row, const QString &oldName) {
            const QRect place = RememberedPlace(oldName);
            if (place.isEmpty())
                return;
            WindowSettings().remove(PlaceKey(oldName));
            WindowSettings().setValue(PlaceKey(document->Config().profiles.at(row).name), place);
        });
    connect(launcher, &EmulatorLauncher::launched, this, [this](const LaunchRecord &record) {
        if (!RememberedPlace(record.profile).isEmpty())
            PlaceWhenShown(record.profile, record.pid);
    });
}

int WindowArrangement::Arrange(Arrangement arrangement)
{
    QList<qint64> pids;
    if (EmulatorMonitor *monitor = launcher->Monitor()) {
        for (const LaunchRecord &record : monitor->Records())
            pids.append(record.pid);
    }
    QString problem;
    const QList<EmulatorWindow> windows = FindEmulatorWindows(pids, &problem);
    if (windows.isEmpty()) {
        ShowMessage(window, QMessageBox::Information, tr("Arrange Emulators"),
                    problem.isEmpty()
                        ? tr("No window of a running emulator was found.")
                        : tr("The emulators' windows cannot be arranged: %1.").arg(problem));
        return 0;
    }
    QList<QSize> sizes;
    for (const EmulatorWindow &found : windows)
        sizes.append(found.frame.size());
    // On the screen the launcher's window is on.
    const QRect area = window->screen() ? window->screen()->availableGeometry() : QRect();
    const QList<QRect> rects = ArrangedRects(arrangement, sizes, area);
    QList<std::pair<EmulatorWindow, QRect>> places;
    for (qsizetype i = 0; i < windows.size() && i < rects.size(); ++i)
        places.append({windows.at(i), rects.at(i)});
    PlaceWindows(places);
    return int(places.size());
}

bool WindowArrangement::RememberPlace()
{
    const int row = list->currentRow();
    if (row < 0 || row >= document->Config().profiles.size())
        return false;
    const QString profile = document->Config().profiles.at(row).name;
    QList<qint64> pids;
    if (EmulatorMonitor *monitor = launcher->Monitor()) {
        for (const LaunchRecord &record : monitor->Records()) {
            if (record.profile == profile)
                pids.append(record.pid);
        }
    }
    const QList<EmulatorWindow> windows = FindEmulatorWindows(pids);
    if (windows.isEmpty()) {
        ShowMessage(window, QMessageBox::Information, tr("Remember Window Place"),
                    tr("No window of an emulator of \"%1\" was found: launch it and put its "
                       "window where it should go, then choose this again.")
                        .arg(ShownName(profile, 60)));
        return false;
    }
    WindowSettings().setValue(PlaceKey(profile), windows.first().frame);
    return true;
}

QRect WindowArrangement::RememberedPlace(const QString &profile)
{
    return WindowSettings().value(PlaceKey(profile)).toRect();
}

void WindowArrangement::PlaceWhenShown(const QString &profile, qint64 pid)
{
    // Looked for a few times a second until the window shows (or the wait is over): the window
    // never waits for it.
    auto *poll = new QTimer(this);
    auto *since = new QElapsedTimer;
    since->start();
    connect(poll, &QTimer::timeout, this, [poll, since, profile, pid] {
        const QList<EmulatorWindow> windows = FindEmulatorWindows({pid});
        if (!windows.isEmpty()) {
            const QRect place = RememberedPlace(profile);
            PlaceWindows({{windows.first(), place}});
        }
        if (!windows.isEmpty() || since->elapsed() > WindowWaitMs) {
            poll->deleteLater();
            delete since;
        }
    });
    poll->start(200);
}
