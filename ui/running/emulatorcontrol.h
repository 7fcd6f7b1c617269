#pragma once

#include "commandline.h"

#include <QObject>
#include <QPointer>

class EmulatorLauncher;
class ProfileCompanions;
class ProfileDocument;
class ProfileQListWidget;
class RunningPanel;
class QMenu;
class QWidget;
struct LaunchRecord;
struct LaunchRequest;
struct LauncherProfile;

// What the window asks of the emulators: a launch of the profile shown or of every selected
// one, Stop, Stop All, Show Log and the Running Emulators window. The launch service does the
// work; this asks the user first where a slip would cost (many emulators, stopping all) and
// says what a stop could not do.
class EmulatorControl : public QObject
{
    Q_OBJECT

public:
    // More than this many launched at once are asked about first.
    static constexpr int MaxLaunchedUnasked = 5;

    EmulatorControl(QWidget *window, ProfileDocument *document, ProfileQListWidget *list,
                    EmulatorLauncher *launcher, ProfileCompanions *companions);

    // One profile selected: starts `shown` (what the window shows) for `profile`. Several:
    // each selected profile as stored (what the window shows belongs to the current one only),
    // asked first when more than MaxLaunchedUnasked would start.
    void Launch(const QString &profile, const SplitCommand &shown);
    // The emulators of the selected profiles; of every profile (asked first when more than one
    // runs).
    void StopSelected();
    // Every profile tagged `tag`, in the list's order (asked first when many would start).
    void LaunchTag(const QString &tag);
    // The stored profile of that name, as the list's Launch starts it; false when there is none.
    bool LaunchStored(const QString &name);
    void StopTag(const QString &tag);
    QStringList TaggedProfiles(const QString &tag) const;
    void StopAll();
    // The newest log of the current profile, in a viewer; whether there is one to show.
    void ShowLog();
    bool HasLog(int row) const;
    // Opens the Running Emulators window, or raises it; opens it when it was open at the last
    // end.
    void OpenRunningPanel();
    // The "Arrange Emulators" menu Running Emulators offers too.
    void SetArrangeMenu(QMenu *menu) { arrangeMenu = menu; }
    void ReopenRunningPanel();

private:
    // A stored profile's command, with its environment.
    LaunchRequest Stored(const LauncherProfile &profile) const;

    void ShowStopFailures(const QStringList &failures);

    QWidget *window = nullptr;
    ProfileDocument *document = nullptr;
    ProfileQListWidget *list = nullptr;
    EmulatorLauncher *launcher = nullptr;
    ProfileCompanions *companions = nullptr;
    QPointer<RunningPanel> panel;
    QMenu *arrangeMenu = nullptr;
};
