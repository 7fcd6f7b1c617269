#pragma once

#include <QObject>

class QSocketNotifier;

// While it lives, SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, a service manager, Ctrl+C,
// a closed terminal) end the application's event loops with exit code 0, as closing the window
// does, so that everything that follows exec() still runs. The handler only writes a byte to a
// pipe; the rest happens in the event loop.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // Whether a signal asked the run to end. exec() clears that request when it starts, so
    // one that came before must be looked at.
    bool requested() const { return wasRequested; }

private:
    void OnSignal();

    QSocketNotifier *notifier = nullptr;
    bool wasRequested = false;
};
