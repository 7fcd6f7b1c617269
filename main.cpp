#include "afterfirstpaint.h"
#include "applicationsetup.h"
#include "desktopbus.h"
#include "dialogs.h"
#include "emulatorcontrol.h"
#include "emulatorlauncher.h"
#include "extrascompanion.h"
#include "filelocations.h"
#include "launcheroptions.h"
#include "mainwindow.h"
#include "optionactions.h"
#include "platform.h"
#include "profilecompanions.h"
#include "singleapplication.h"
#include "startupnotification.h"
#include "terminationsignals.h"
#include "translations.h"
#include "windowmemory.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

#include <csignal>

int main(int argc, char *argv[])
{
    // First, so that no descriptor made below takes the place of a closed standard stream.
    OpenClosedStandardStreams();
    // From the first moment a termination signal ends the window's run as a close does; the
    // paths that open no window give it back its own action below.
    TerminationSignals::Catch();
    // Before any application object: Qt's X11 plugin takes DESKTOP_STARTUP_ID away.
    TakeActivationToken();
    // A reader that went away makes a write fail with an error, which is reported, instead of
    // ending the process.
    std::signal(SIGPIPE, SIG_IGN);
    IgnoreRelativeBaseDirectories();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const LauncherOptions options = ParseLauncherOptions(arguments);
    if (options.action != LauncherOptions::OpenWindow) {
        // For scripts: no window, no instance lock, no file written.
        // Termination signals keep their default action, so that Ctrl+C stops them.
        TerminationSignals::ReleaseAndRedeliver();
        QString said;
        int code = 0;
        {
            QCoreApplication core(argc, argv);
            // What it says follows the user's language, as the window does.
            InstallTranslations(&core);
            code = RunLauncherOptionsOnStandardStreams(options, &said);
        }
        // Started from the applications menu: nobody reads stderr, so a launch that failed
        // says why in a message.
        if (code != 0 && options.action == LauncherOptions::Launch && !AttachedToTerminal() &&
            (qEnvironmentVariableIsSet("DISPLAY") ||
             qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))) {
            QApplication gui(argc, argv);
            PrepareApplication(&gui);
            ShowLaunchFailure(options.names, said);
        }
        return code;
    }

    if (!WindowCanOpen(arguments)) {
        TerminationSignals::ReleaseAndRedeliver();
        QCoreApplication core(argc, argv);
        InstallTranslations(&core);
        return SayNoDisplay();
    }

    SingleApplication app(argc, argv);
    if (app.isRunning()) {
        // Another launcher runs for this user: bring it to the front and touch nothing. This
        // start shows no window, so it ends the desktop's launch feedback itself.
        TerminationSignals::ReleaseAndRedeliver();
        // The files it was asked to open go to the running one, one path a line.
        const bool handedOver = app.sendMessage(options.files.join(QLatin1Char('\n')), 5000);
        EndStartupFeedback(StartupId());
        return handedOver ? 0 : 1;
    }
    // The emulators this window starts become its children when their starter leaves, so that
    // it learns how one that quits at once ended; they still outlive the launcher.
    AdoptOrphanedChildren();
    // A file-size limit makes a save fail with an error, which is reported, instead of ending
    // the process.
    std::signal(SIGXFSZ, SIG_IGN);
    TerminationSignals termination;
    PrepareApplication(&app);

    // The window is destroyed before the application object, and writes Launcher.ini as it goes.
    MainWindow window;
    // A session that ends asks for the data first, in case it kills the process afterwards.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window] { window.WriteConfig(); });
    RememberGeometry(&window, QStringLiteral("mainWindow"));
    // Started by the session bus for a request: the window shows when the request asks for it.
    if (!options.service)
        window.show();
    app.setActivationWindow(&window, true);
    // A later start's files, after its message is answered: the questions are modal.
    QObject::connect(
        &app, &SingleApplication::messageReceived, &window,
        [&window](const QString &message) {
            window.ImportFiles(message.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
        },
        Qt::QueuedConnection);
    // The desktop's ways in, once the window is up: joining the bus costs no time at start.
    DesktopBus bus(
        [&window](const QStringList &terms) {
            ProfileCompanions *companions = window.Companions();
            return SearchProfiles(
                window.Config(), companions->Extras()->All(),
                [companions](const QString &name) { return companions->Use(name); }, terms);
        },
        [&window](const QString &profile) -> std::optional<QString> {
            const int row = window.Config().FindProfile(profile);
            if (row < 0)
                return std::nullopt;
            return SearchDescription(window.Config(), window.Config().profiles.at(row),
                                     window.Companions()->Extras()->Of(profile));
        });
    // The desktop's launch feedback for its request ends once the window is forward, as a
    // second start ends its own.
    const auto activate = [&app](const QByteArray &token) {
        app.Activate(token);
        EndStartupFeedback(token);
    };
    QObject::connect(&bus, &DesktopBus::activateRequested, &app, activate);
    QObject::connect(
        &bus, &DesktopBus::launchRequested, &window,
        [&window](const QString &profile) { window.Control()->LaunchStored(profile); });
    QObject::connect(&bus, &DesktopBus::stopAllRequested, &window,
                     [&window] { window.Launcher()->Stop(QString()); });
    QObject::connect(
        &bus, &DesktopBus::openRequested, &window,
        [activate, &window](const QStringList &paths, const QByteArray &token) {
            activate(token);
            window.ImportFiles(paths);
        },
        Qt::QueuedConnection);
    QObject::connect(&bus, &DesktopBus::searchRequested, &window,
                     [activate, &window](const QString &text, const QByteArray &token) {
                         activate(token);
                         window.ShowFiltered(text);
                     });
    RunAfterFirstPaint(&window, &window, [&bus, &window, files = options.files] {
        const QString problem = bus.Join();
        if (!problem.isEmpty())
            qInfo("not on the session bus (%s); the local socket still finds this launcher",
                  qPrintable(problem));
        // After the window's own work that follows its first paint.
        if (!files.isEmpty())
            QTimer::singleShot(0, &window, [&window, files] { window.ImportFiles(files); });
    });
    // Nothing asked a service start for its window within a minute: it goes again.
    if (options.service)
        QTimer::singleShot(60 * 1000, &window, [&app, &window] {
            if (!window.isVisible())
                app.quit();
        });
    if (!app.lockProblem().isEmpty()) {
        QMessageBox::warning(
            &window, MainWindow::tr("Velmora Mobile Emulator Launcher Warning"),
            MainWindow::tr("The launcher cannot make sure that it runs only once: %1. A launcher "
                           "started while this one runs will not find it, and the two will "
                           "overwrite each other's changes.")
                .arg(app.lockProblem()));
    }
    // A signal that came while the window was being built or a message was open ends the run
    // here, as a close would.
    return termination.requested() ? 0 : app.exec();
}
