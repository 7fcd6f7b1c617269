#pragma once

#include <QObject>

class QSocketNotifier;

// While it lives, SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, a service manager, Ctrl+C,
// a closed terminal) end the application's event loops with exit code 0, as closing the window
// does, so that everything that follows exec() still runs. The handler only writes a byte to a
// pipe; the rest happens in the event loop. A signal that the process was started with ignored
// (nohup ignores SIGHUP) stays ignored.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // Catches the signals from now on, before any object exists: one that comes early is kept
    // and acted on once the event loop runs. Does nothing when they are already caught.
    static void Catch();
    // Gives the signals back what they did before Catch.
    static void Release();
    // Release, and a signal caught meanwhile is sent again: it does what it would have done
    // had it never been caught (a script's launcher ends as killed).
    static void ReleaseAndRedeliver();

    // Catches the signals if that was not done yet, and acts on them in the event loop.
    explicit TerminationSignals(QObject *parent = nullptr);
    // Releases the signals.
    ~TerminationSignals() override;

    // Whether a signal asked the run to end. exec() clears that request when it starts, so
    // one that came before must be looked at.
    bool requested();

private:
    void OnSignal();

    QSocketNotifier *notifier = nullptr;
    bool wasRequested = false;
};
